#pragma once
// The wildcard bonus: the launcher's queue is replaced by four wildcards.

#include "game/PowerUp.h"

class WildcardPowerUp : public PowerUp {
public:
    WildcardPowerUp();
    // Clears the launcher's queue and gives it four more wildcard shots.
    bool activate() override;
};
