#pragma once
// A burst of sparks: count particles leave (x, y, z) in a cone around an angle, shrink from
// 'size' towards 0.1 as they slow down, and the effect ends when none has speed left. A colour of
// 0 gives every spark a random primary colour.

#include <cstdint>
#include <vector>

#include "engine/QelBase.h"

class SmokeParticle;
class Skin;

class FlareEffect : public QelBase {
public:
    FlareEffect(float x, float y, float z, int count, float minSpeed, float maxSpeed, float angle, float angleRange,
                float size, uint32_t colour);
    ~FlareEffect() override;

    void update(double t, double dt) override;
    void render() override;

    float deceleration = 128.0f;
    std::vector<SmokeParticle*> particles;
    int count = 0;
    float maxSpeed = 0.0f;
    float size = 1.0f;
    std::vector<Skin*> frames;
};
