#pragma once
// The engine car: no slots; it puffs smoke from its chimney, rings its bell for points while the
// train departs, and explodes when a coupling has pushed it behind another car.

#include "game/Car.h"

class LeadCar : public Car {
public:
    LeadCar();

    // The car's update, then the bell and the smoke.
    void update(double time, double dt) override;
    // Three bursts of smoke with a "boom" each, when the engine is behind another car.
    void tryComplete() override;

    double smokeTimer = 0.0;
    double smokeInterval = 0.025;
    // How far ahead of the car's centre the chimney's track position lies.
    float chimneyOffset = 4.0f;
    // The centre position at which the bell rings next (0: not armed yet).
    float nextBellPos = 0.0f;
};
