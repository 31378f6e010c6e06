#pragma once
// The application object the shell makes: Global with the world map and the game in progress.

#include "app/Global.h"

class WorldManager;
class GameController;

class GameGlobal : public Global {
public:
    GameGlobal();
    // Deletes the game in progress, then the world map, then the rest (Global).
    ~GameGlobal() override;
    // Pushes the main menu.
    void createStartContexts() override;

    // The world-map screen, owned; made by the main menu.
    WorldManager* pWorldManager = nullptr;
    // The game in progress or null, owned.
    GameController* pGameController = nullptr;
};
