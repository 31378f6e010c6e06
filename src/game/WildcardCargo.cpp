#include "game/WildcardCargo.h"

#include "ui/Global.h"
#include "game/CargoSlot.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"

WildcardCargo::WildcardCargo() {
    type = TYPE_WILDCARD;
    spinRate = -8.0f;
    bSpinning = true;
    pSkin = GameController::findSkin(u"wildcard:0");
}

void WildcardCargo::update(double time, double dt) {
    ThrownCargo::update(time, dt);
    if (GameController::detailLevel() < 1) return;
    sparkleTimer += dt;
    if (sparkleTimer < 0.05) return;
    sparkleTimer = 0.0;
    // No sparkles from a slot in a hidden stretch.
    if (slot && slot->bHidden) return;
    GameController* game = GameController::current();
    if (!game || !game->pEffectsLayer) return;
    // One primary colour for the whole burst.
    const uint32_t colour = randomPrimaryColor();
    game->pEffectsLayer->addChild(new FlareEffect(position.x, position.y, position.z, 2, 40.0f, 50.0f, 0.0f, 6.28318530718f, 2.0f, colour));
}
