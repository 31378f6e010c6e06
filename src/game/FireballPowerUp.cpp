#include "game/FireballPowerUp.h"

#include "game/GameController.h"
#include "game/Launcher.h"

FireballPowerUp::FireballPowerUp() : PowerUp(TYPE_FIREBALL_BONUS, u"bonus:4") { setCaption(BONUSFIREBALL); }

bool FireballPowerUp::activate() {
    showActivation();
    if (Launcher* bow = launcher()) {
        bow->clearQueue();
        bow->fireballShots += 4;
    }
    GameController::playSoundRandomPitch(u"fireballSound");
    return true;
}
