#pragma once
// The fireball bonus: the launcher's queue is replaced by four fireballs.

#include "game/PowerUp.h"

class FireballPowerUp : public PowerUp {
public:
    FireballPowerUp();
    // Clears the launcher's queue and gives it four more fireball shots.
    bool activate() override;
};
