#pragma once
// A button that leaves a web page to open once the program has ended, and ends it. When the
// desktop cannot take the page, the program keeps running and a message box shows the address,
// so that the player can copy it.

#include "ui/MenuItemButton.h"

class MenuItemLink : public MenuItemButton {
public:
    using MenuItemButton::MenuItemButton;
    void onClick() override;

    WString url;
};
