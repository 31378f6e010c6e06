#pragma once
// The fireball bonus: gives the launcher fireballs. What collecting it does is its activation.

#include "game/PowerUp.h"

class FireballPowerUp : public PowerUp {
public:
    FireballPowerUp();
};
