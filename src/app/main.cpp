// The program: the game plugged into the shell.

#include <memory>

#include "game/AutoPilot.h"
#include "game/GameGlobal.h"
#include "runtime/Shell.h"
#include "ui/ContextManager.h"
#include "ui/UserFiles.h"

namespace {

// The game as the shell sees it: made after the engine (with its start-up before loading), its
// screen stack ticked and drawn each frame, deleted before the engine.
void createGame() {
    // This copy holds the instance lock: what a killed run left half-written is no one's.
    removeLeftoverTemporaryFiles();
    auto* application = new GameGlobal();
    application->initPreLoader();
}
void destroyGame() { delete game; }
bool gameExists() { return game != nullptr; }
Context* gameRootContext() { return game ? game->pContextManager : nullptr; }
bool gameQuitRequested() { return game && game->pContextManager && game->pContextManager->bQuit; }
WString gamePageToOpen() { return game ? game->pendingUrl : WString(); }
// The unattended player, when the environment asks for it (VESK_AUTOPLAY=1).
void gameBeforeFrame() {
    static const std::unique_ptr<AutoPilot> pilot(AutoPilot::requested() ? new AutoPilot() : nullptr);
    if (pilot && game) pilot->step();
}

const bool bPluggedIn = [] {
    shellApplication.create = &createGame;
    shellApplication.destroy = &destroyGame;
    shellApplication.exists = &gameExists;
    shellApplication.rootContext = &gameRootContext;
    shellApplication.quitRequested = &gameQuitRequested;
    shellApplication.pageToOpen = &gamePageToOpen;
    shellApplication.beforeFrame = &gameBeforeFrame;
    return true;
}();

}  // namespace

int main(int argc, char** argv) { return shellMain(argc, argv); }
