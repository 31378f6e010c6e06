#pragma once
// The speed-shot bonus: the launcher throws and reloads faster for twenty more seconds.

#include "game/PowerUp.h"

class SpeedShotPowerUp : public PowerUp {
public:
    SpeedShotPowerUp();
    // Twenty more seconds of speed shot (repeated bonuses add up).
    bool activate() override;
};
