#pragma once
// Game-play settings: in-game help, colour-blind mode, coloured pointer and cheats. The rows act
// through their own clicks.

#include "ui/ContextMenu.h"

class MenuOptionItem;
class MenuItemClose;

class ContextGameplayOptions : public ContextMenu {
public:
    ContextGameplayOptions();

    MenuOptionItem* pTutorial;
    MenuOptionItem* pColorBlind;
    MenuOptionItem* pColorizeMouse;
    MenuOptionItem* pAllowCheats;
    MenuItemClose* pBackButton;
};
