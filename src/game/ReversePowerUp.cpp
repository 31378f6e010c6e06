#include "game/ReversePowerUp.h"

#include "game/GameController.h"

ReversePowerUp::ReversePowerUp() : PowerUp(TYPE_REVERSE_BONUS, u"bonus:1") { setCaption(BONUSREVERSE); }

bool ReversePowerUp::activate() {
    showActivation();
    // The end time is set, not added to: a second bonus of the kind only moves it later.
    if (GameController* g = game()) g->reverseUntil = now() + 5.0;
    GameController::playSoundRandomPitch(u"steam");
    return true;
}
