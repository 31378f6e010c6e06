#pragma once
// One flake of the snow effect: a sprite swaying about a falling base position.

#include "media/Renderable.h"

class SnowFlake : public Renderable {
public:
    // Radians.
    float phase = 0.0f;
    Vector3 basePosition;
};
