#include "app/GameGlobal.h"

#include "app/ContextManager.h"

#if __has_include("game/WorldManager.h")
#include "game/WorldManager.h"
#define VESK_HAVE_WORLD 1
#endif
#if __has_include("game/GameController.h")
#include "game/GameController.h"
#define VESK_HAVE_CONTROLLER 1
#endif
#if __has_include("app/ContextMainGame.h")
#include "app/ContextMainGame.h"
#define VESK_HAVE_MAIN_MENU 1
#endif

GameGlobal::GameGlobal() : Global() {
    pWorldManager = nullptr;
    pGameController = nullptr;
}

GameGlobal::~GameGlobal() {
#if VESK_HAVE_CONTROLLER
    delete pGameController;
#endif
    pGameController = nullptr;
#if VESK_HAVE_WORLD
    delete pWorldManager;
#endif
    pWorldManager = nullptr;
}

void GameGlobal::createStartContexts() {
#if VESK_HAVE_MAIN_MENU
    pContextManager->pushContext(new ContextMainGame());
#endif
}
