#pragma once
// A sparkle beside a medal: it spins (4 radians a second), swells to three times its picture at
// half a second and shrinks to nothing at one second, then marks itself dead.

#include "media/Renderable.h"

class AwardSparkle : public Renderable {
public:
    AwardSparkle(float x, float y, float z);

    void update(double t, double dt) override;
};
