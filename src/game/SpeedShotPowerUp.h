#pragma once
// The speed-shot bonus: the launcher throws faster for a while. What collecting it does is its activation.

#include "game/PowerUp.h"

class SpeedShotPowerUp : public PowerUp {
public:
    SpeedShotPowerUp();
};
