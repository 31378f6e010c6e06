#pragma once
// The fireball: seats a piece of the slot's own colour in any slot that is not yet filled, is
// launched with its own sound, and throws yellow to orange sparks.

#include "game/ThrownCargo.h"

class FireballCargo : public ThrownCargo {
public:
    FireballCargo();
    void update(double time, double dt) override;
    // A fixed collision size of 0.85.
    void initCollision() override;

    double sparkleTimer = 0.0;
};
