#pragma once
// The application object the shell makes: Global with the world map and the game in progress.

#include "ui/Global.h"

class Context;

class GameGlobal : public Global {
public:
    GameGlobal();
    // Deletes the game in progress, then the world map, then the rest (Global).
    ~GameGlobal() override;
    // Pushes the main menu.
    void createStartContexts() override;

    // The world-map screen, owned; made by the main menu. (Typed by the screen class it derives
    // from until the world map and the game in progress are built.)
    Context* pWorldManager = nullptr;
    // The game in progress or null, owned.
    Context* pGameController = nullptr;
};
