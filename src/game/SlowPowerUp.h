#pragma once
// The slow bonus: slows the trains for a while. What collecting it does is its activation.

#include "game/PowerUp.h"

class SlowPowerUp : public PowerUp {
public:
    SlowPowerUp();
};
