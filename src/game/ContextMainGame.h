#pragma once
// The game's main menu: it knows how to open the world map.

#include "menus/ContextMain.h"

class ContextMainGame : public ContextMain {
public:
    void createWorld() override;
};
