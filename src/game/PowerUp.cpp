#include "game/PowerUp.h"

#include <cmath>

#include "engine/Qel.h"
#include "game/CargoSlot.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"
#include "language/Language.h"

PowerUp::PowerUp(int powerUpType, const char16_t* skinName) {
    type = powerUpType;
    bPowerUp = true;
    lifetime = 10.0;
    bFixedRotation = true;
    rotation.z = 0.0f;
    pSkin = GameController::findSkin(skinName);
}

GameController* PowerUp::game() { return GameController::current(); }

Launcher* PowerUp::launcher() {
    GameController* g = game();
    return g ? g->pLauncher : nullptr;
}

double PowerUp::now() {
    GameController* g = game();
    return g ? g->getGameTime() : 0.0;
}

void PowerUp::setCaption(TextId id) {
    const char16_t* text = qel && qel->pLanguage ? qel->pLanguage->getText(id) : nullptr;
    caption = text ? WString(text) : WString();
}

void PowerUp::update(double time, double dt) {
    Cargo::update(time, dt);
    if (!slot || (state != STATE_SEATED && state != STATE_GLIDING)) return;
    const uint32_t slotColour = slot->color >= 0 && slot->color < TYPE_COLOR_COUNT ? colorTable[slot->color] : 0xFFFFFFFF;
    // On a white slot it blinks between grey and white, else between white and the slot's colour.
    const uint32_t base = slotColour == 0xFFFFFFFF ? 0xFFA0A0A0 : 0xFFFFFFFF;
    color = lerpColor(base, slotColour, 0.5f + 0.5f * std::sin(16.0f * static_cast<float>(time)));
}

void PowerUp::showActivation(bool bShowText) {
    GameController* g = game();
    if (!g) return;
    if (g->pEffectsLayer)
        g->pEffectsLayer->addChild(new FlareEffect(position.x, position.y, position.z, 10, 10.0f, 90.0f, 0.0f, 6.28318530718f, 2.0f, 0xFFFFECBF));
    if (bShowText) g->showFloatingScore(position, points, caption);
    ++g->stats_bonusesCollected;
}
