#pragma once
// Help: links to the game's manual beside the program and to the maker's on-line help. A link
// ends the program and leaves its page to be opened afterwards.

#include "ui/ContextMenu.h"
#include "engine/Text.h"

class MenuItemClose;
class MenuItemLink;
class TextLabel;

class ContextHelp : public ContextMenu {
public:
    ContextHelp();

    // The manual "readme.htm" in the program's folder, as an absolute path: the page is opened
    // after the program has ended, whatever folder it was started from.
    static WString documentationPath();

    TextLabel* pTitle;
    MenuItemLink* pDocumentationButton;
    MenuItemLink* pOnlineHelpButton;
    MenuItemClose* pBackButton;
};
