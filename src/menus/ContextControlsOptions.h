#pragma once
// Controls settings: swapping the mouse buttons.

#include "ui/ContextMenu.h"

class MenuOptionItem;
class MenuItemClose;

class ContextControlsOptions : public ContextMenu {
public:
    ContextControlsOptions();

    MenuOptionItem* pSwapMouse;
    MenuItemClose* pBackButton;
};
