#pragma once
// A button that finishes the front screen.

#include "ui/MenuItemButton.h"

class MenuItemClose : public MenuItemButton {
public:
    using MenuItemButton::MenuItemButton;
    void onClick() override;
};
