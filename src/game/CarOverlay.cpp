#include "game/CarOverlay.h"

#include "game/Car.h"
#include "game/GameController.h"

CarOverlay::CarOverlay(Car* owner) : car(owner) {
    color = 0x40000000;
    pSkin = owner ? owner->pSkin : nullptr;
    coupling.pSkin = GameController::findSkin(u"car:4");
    updateXform();
}

void CarOverlay::renderAtDepth() {
    if (bHidden || GameController::detailLevel() <= 0) return;
    if (GameController::shadowsOn()) Renderable::render();
    coupling.render();
}
