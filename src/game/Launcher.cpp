#include "game/Launcher.h"

#include "game/GameController.h"
#include "game/LauncherChain.h"

Launcher::Launcher() {
    pSkin = GameController::findSkin(u"launcher:1");
    chain = new LauncherChain(this);
    addChild(chain);
    gotoState(STATE_DISABLED);
    updateXform();
}
