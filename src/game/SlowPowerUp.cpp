#include "game/SlowPowerUp.h"

#include "game/GameController.h"

SlowPowerUp::SlowPowerUp() : PowerUp(TYPE_SLOW_BONUS, u"bonus:7") { setCaption(BONUSSLOW); }

bool SlowPowerUp::activate() {
    showActivation();
    // The end time is set, not added to: a second bonus of the kind only moves it later.
    if (GameController* g = game()) g->slowUntil = now() + 8.0;
    GameController::playSoundRandomPitch(u"trainSlow");
    return true;
}
