#pragma once
// The wildcard: fits every slot, spins steadily and sparkles in random primary colours.

#include "game/ThrownCargo.h"

class WildcardCargo : public ThrownCargo {
public:
    WildcardCargo();
    void update(double time, double dt) override;

    // Time since the last sparkle burst.
    double sparkleTimer = 0.0;
};
