#pragma once
// The stop bonus: stops the trains for a while. What collecting it does is its activation.

#include "game/PowerUp.h"

class StopPowerUp : public PowerUp {
public:
    StopPowerUp();
};
