#pragma once
// Controls settings: swapping the mouse buttons.

#include "app/ContextMenu.h"

class MenuOptionItem;
class MenuItemClose;

class ContextControlsOptions : public ContextMenu {
public:
    ContextControlsOptions();

    MenuOptionItem* pSwapMouse;
    MenuItemClose* pBackButton;
};
