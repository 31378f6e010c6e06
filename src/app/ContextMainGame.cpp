#include "app/ContextMainGame.h"

void ContextMainGame::createWorld() {
    // The world map (WorldManager) is made and pushed here once it is part of the game; its
    // constructor registers it with the application object.
}
