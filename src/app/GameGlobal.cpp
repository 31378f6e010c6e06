#include "app/GameGlobal.h"

#include "app/ContextMainGame.h"
#include "app/ContextManager.h"
#include "engine/Shell.h"

#if __has_include("game/WorldManager.h")
#include "game/WorldManager.h"
#define VESK_HAVE_WORLD 1
#endif
#if __has_include("game/GameController.h")
#include "game/GameController.h"
#define VESK_HAVE_CONTROLLER 1
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
    pContextManager->pushContext(new ContextMainGame());
}

namespace {

// The game as the shell sees it: made after the engine (with its start-up before loading), its
// screen stack ticked and drawn each frame, deleted before the engine.
void createGame() {
    auto* application = new GameGlobal();
    application->initPreLoader();
}
void destroyGame() { delete game; }
bool gameExists() { return game != nullptr; }
Context* gameRootContext() { return game ? game->pContextManager : nullptr; }
bool gameQuitRequested() { return game && game->pContextManager && game->pContextManager->bQuit; }
WString gamePageToOpen() { return game ? game->pendingUrl : WString(); }

const bool bPluggedIn = [] {
    shellApplication.create = &createGame;
    shellApplication.destroy = &destroyGame;
    shellApplication.exists = &gameExists;
    shellApplication.rootContext = &gameRootContext;
    shellApplication.quitRequested = &gameQuitRequested;
    shellApplication.pageToOpen = &gamePageToOpen;
    return true;
}();

}  // namespace
