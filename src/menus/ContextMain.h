#pragma once
// The main menu, the bottom screen of the stack: finishing it ends the program. Four stacked
// buttons, a link to the maker's website and a quit button over the intro picture and the snow.

#include "ui/ContextMenu.h"

class MenuItemButton;
class MenuItemLink;
class MenuItemClose;

class ContextMain : public ContextMenu {
public:
    ContextMain();

    void onActivate(bool bFirst) override;
    void onDeactivate(bool bPopped) override;
    void tickContents(double total, double dt) override;
    // Opens the game; nothing here.
    virtual void createWorld() {}

    // The website's address with the product's query.
    static WString websiteUrl();

    MenuItemButton* pStartButton;
    MenuItemButton* pHighScoresButton;
    MenuItemButton* pOptionsButton;
    MenuItemButton* pCreditsButton;
    MenuItemLink* pWebsiteButton;
    MenuItemClose* pQuitButton;
};
