#pragma once
// The wildcard bonus: gives the launcher wildcards. What collecting it does is its activation.

#include "game/PowerUp.h"

class WildcardPowerUp : public PowerUp {
public:
    WildcardPowerUp();
};
