#pragma once
// The reverse bonus: the trains back away for five seconds.

#include "game/PowerUp.h"

class ReversePowerUp : public PowerUp {
public:
    ReversePowerUp();
    // The trains run backwards until five seconds from now.
    bool activate() override;
};
