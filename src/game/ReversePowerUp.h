#pragma once
// The reverse bonus: backs the trains up for a while. What collecting it does is its activation.

#include "game/PowerUp.h"

class ReversePowerUp : public PowerUp {
public:
    ReversePowerUp();
};
