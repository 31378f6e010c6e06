#pragma once
// A button that leaves a web page to open once the program has ended, and ends it.

#include "ui/MenuItemButton.h"

class MenuItemLink : public MenuItemButton {
public:
    using MenuItemButton::MenuItemButton;
    void onClick() override;

    WString url;
};
