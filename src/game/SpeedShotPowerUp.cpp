#include "game/SpeedShotPowerUp.h"

#include "game/GameController.h"
#include "game/Launcher.h"

SpeedShotPowerUp::SpeedShotPowerUp() : PowerUp(TYPE_SPEED_SHOT_BONUS, u"bonus:5") { setCaption(BONUSSPEEDSHOT); }

bool SpeedShotPowerUp::activate() {
    showActivation();
    if (Launcher* bow = launcher()) bow->speedShotTime += 20.0;
    GameController::playSoundRandomPitch(u"guitar");
    return true;
}
