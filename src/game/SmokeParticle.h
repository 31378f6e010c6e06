#pragma once
// One sprite of a particle burst (smoke and flares alike): it flies at a constant velocity while
// its speed, which only counts down its life, runs out.

#include "engine/MathUtil.h"
#include "media/Renderable.h"

class SmokeParticle : public Renderable {
public:
    Vector3 velocity;
    float speed = 0.0f;
    float initialSpeed = 0.0f;
    // 0 when made .. 1 when its speed is gone (smoke only).
    float age = 0.0f;
};
