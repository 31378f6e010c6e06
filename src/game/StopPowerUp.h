#pragma once
// The stop bonus: the trains stand still for five seconds.

#include "game/PowerUp.h"

class StopPowerUp : public PowerUp {
public:
    StopPowerUp();
    // The trains stop until five seconds from now.
    bool activate() override;
};
