#include "game/StopPowerUp.h"

#include "game/GameController.h"

StopPowerUp::StopPowerUp() : PowerUp(TYPE_STOP_BONUS, u"bonus:0") { setCaption(BONUSSTOP); }

bool StopPowerUp::activate() {
    showActivation();
    // The end time is set, not added to: a second bonus of the kind only moves it later.
    if (GameController* g = game()) g->stopUntil = now() + 5.0;
    GameController::playSoundRandomPitch(u"railSqueak");
    return true;
}
