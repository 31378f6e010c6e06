#pragma once
// The extra-life bonus: brings the player a heart. What collecting it does is its activation.

#include "game/PowerUp.h"

class ExtraLifePowerUp : public PowerUp {
public:
    ExtraLifePowerUp();
};
