#include "game/ThrownCargo.h"

#include "engine/Random.h"
#include "game/GameController.h"
#include "game/Level.h"

ThrownCargo::ThrownCargo() {
    const float r = randomUnit();
    const float s = randomNext() < 32768 ? 1.0f : -1.0f;
    spinRate = (4.0f + 12.0f * r) * s;
    shadow.color = 0x40000000;
    GameController* game = GameController::current();
    if (game && game->pLevel) shadow.position = game->pLevel->shadowVector * 4.0f;
}

void ThrownCargo::updateXform() {
    Cargo::updateXform();
    if (!GameController::shadowsOn()) return;
    shadow.pSkin = pSkin;
    shadow.setParentXform(worldXform);
}

void ThrownCargo::render() {
    if (bHidden) return;
    if (GameController::shadowsOn()) shadow.render();
    Cargo::render();
}
