#include "game/PowerUp.h"

#include "game/GameController.h"

PowerUp::PowerUp(int powerUpType, const char16_t* skinName) {
    type = powerUpType;
    bPowerUp = true;
    lifetime = 10.0;
    bFixedRotation = true;
    rotation.z = 0.0f;
    pSkin = GameController::findSkin(skinName);
}
