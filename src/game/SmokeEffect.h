#pragma once
// A puff of smoke: count particles leave (x, y, z) in a cone around an angle, grow and age through
// the "smoke" frames, and slow down by a fixed amount per second; the effect ends when none has
// speed left.

#include <cstdint>
#include <vector>

#include "engine/QelBase.h"

class SmokeParticle;
class Skin;

class SmokeEffect : public QelBase {
public:
    SmokeEffect(float x, float y, float z, int count, float minSpeed, float maxSpeed, float angle, float angleRange,
                float size, uint32_t colour);
    ~SmokeEffect() override;

    void update(double t, double dt) override;
    void render() override;

    // Sends a particle off from (x, y, z). A burst draws from the game's random generator in this
    // order per particle: the roll, (a flare's random colour,) then here the direction and the
    // speed. Particles near the edge of a cone narrower than a full turn are slower: at the edge a
    // tenth of their speed.
    static void launch(SmokeParticle& p, float x, float y, float z, float minSpeed, float maxSpeed, float angle,
                       float angleRange);
    // The speed factor of a direction theta in the cone.
    static float coneFactor(float theta, float angle, float angleRange);

    float deceleration = 3.0f;
    std::vector<SmokeParticle*> particles;
    int count = 0;
    float maxSpeed = 0.0f;
    float size = 1.0f;
    std::vector<Skin*> frames;
};
