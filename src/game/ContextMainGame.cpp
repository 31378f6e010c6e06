#include "game/ContextMainGame.h"

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "game/WorldManager.h"

void ContextMainGame::createWorld() {
    auto* application = dynamic_cast<GameGlobal*>(game);
    if (!application || !application->pContextManager) return;
    if (Context* old = application->pWorldManager) {
        // One map at a time. A map still on the stack is the one to go back to; one that is not
        // (it never leaves the stack alive) goes before the new one comes.
        if (old->owner == application->pContextManager) return;
        delete old;
    }
    // The map registers itself as the application's pWorldManager.
    application->pContextManager->pushContext(new WorldManager());
}
