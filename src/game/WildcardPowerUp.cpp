#include "game/WildcardPowerUp.h"

#include "game/GameController.h"
#include "game/Launcher.h"

WildcardPowerUp::WildcardPowerUp() : PowerUp(TYPE_WILDCARD_BONUS, u"bonus:2") { setCaption(BONUSWILDCARD); }

bool WildcardPowerUp::activate() {
    showActivation();
    if (Launcher* bow = launcher()) {
        bow->clearQueue();
        bow->wildcardShots += 4;
    }
    GameController::playSoundRandomPitch(u"stardust");
    return true;
}
