#include "game/FireballCargo.h"

#include "engine/Random.h"
#include "game/CargoSlot.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"

FireballCargo::FireballCargo() {
    type = TYPE_FIREBALL;
    spinRate = -8.0f;
    bSpinning = true;
    pSkin = GameController::findSkin(u"fireball:0");
    launchSound = GameController::findSound(u"fireballLaunch");
}

void FireballCargo::initCollision() { collisionSensitivity = 0.85f; }

void FireballCargo::update(double time, double dt) {
    ThrownCargo::update(time, dt);
    if (GameController::detailLevel() < 1) return;
    sparkleTimer += dt;
    if (sparkleTimer < 0.05) return;
    sparkleTimer = 0.0;
    if (slot && slot->bHidden) return;
    GameController* game = GameController::current();
    if (!game || !game->pEffectsLayer) return;
    const uint32_t colour = lerpColor(0xFFFFFF00, 0xFFFFA000, randomUnit());
    const float s = scale.x;
    game->pEffectsLayer->addChild(
        new FlareEffect(position.x, position.y, position.z, 2, 40.0f * s, 80.0f * s, 0.0f, 6.28318530718f, 3.0f, colour));
}
