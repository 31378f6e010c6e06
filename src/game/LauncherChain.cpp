#include "game/LauncherChain.h"

#include "game/Cargo.h"
#include "game/GameController.h"

LauncherChain::LauncherChain(Launcher* owner) : launcher(owner) {
    pSkin = GameController::findSkin(u"launcher:2");
    collisionSensitivity = 0.4f;
    extension.mass = 1.0f;
    extension.bClearForce = false;
    gotoState(STATE_RETRACTED);
    updateXform();
}

bool LauncherChain::grab(Cargo* piece) {
    if (state != STATE_OUT || held || !piece || !collide(piece)) return false;
    held = piece;
    if (piece->owner) static_cast<QelBase*>(piece->owner)->removeChild(piece);
    addChild(piece);
    extension.force = extension.force * 4.0f;
    piece->enterState(Cargo::STATE_CHAINED);
    return true;
}
