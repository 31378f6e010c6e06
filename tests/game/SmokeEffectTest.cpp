// Particle bursts: smoke and flares, their cone, their random draws, their lives; the rising heart.

#include <gtest/gtest.h>

#include <cmath>

#include "GameScreenFixture.h"
#include "engine/Random.h"
#include "game/FlareEffect.h"
#include "game/HeartEffect.h"
#include "game/SmokeEffect.h"
#include "game/SmokeParticle.h"

namespace {
constexpr float kPi = 3.14159265f;

// Seconds until the effect marks itself dead, updated in steps of dt (at most 'limit').
template <class Effect>
double lifetime(Effect& effect, double dt, double limit = 100.0) {
    double t = 0.0;
    while (!effect.bDead && t < limit) {
        effect.update(t, dt);
        t += dt;
    }
    return t;
}
}  // namespace

TEST(SmokeEffectConeTest, EdgesOfANarrowConeKeepATenth) {
    const struct {
        float theta, angle, range, factor;
    } cases[] = {
        {1.0f, 1.0f, kPi, 1.0f},                 // the centre keeps its speed
        {1.0f + kPi / 2, 1.0f, kPi, 0.1f},       // the edge keeps a tenth
        {1.0f - kPi / 4, 1.0f, kPi, 0.55f},      // half way out
        {1.0f + kPi, 1.0f, 2 * kPi, 1.0f},       // a full turn has no cone
        {1.0f + 0.3f, 1.0f, 0.0f, 1.0f},         // nor has no range
    };
    for (const auto& c : cases)
        EXPECT_NEAR(SmokeEffect::coneFactor(c.theta, c.angle, c.range), c.factor, 1e-5f) << c.theta << " " << c.range;
}

using EffectTest = GameScreenTest;

TEST_F(EffectTest, SmokeDrawsRollDirectionAndSpeedInThatOrder) {
    randomSeed = 12345;
    SmokeEffect smoke(10, 20, 0, 2, 1, 10, kPi / 2, kPi / 8, 0.6f, 0xFFFFFFFF);
    randomSeed = 12345;
    for (SmokeParticle* p : smoke.particles) {
        const float roll = 2 * kPi * randomUnit();
        const float theta = kPi / 2 + kPi / 8 * randomUnit() - kPi / 16;
        float speed = 1 + 9 * randomUnit();
        speed *= 1 - 0.9f * std::fabs(theta - kPi / 2) / (kPi / 16);
        EXPECT_FLOAT_EQ(p->rotation.z, roll);
        EXPECT_FLOAT_EQ(p->speed, speed);
        EXPECT_FLOAT_EQ(p->initialSpeed, speed);
        EXPECT_NEAR(p->velocity.x, speed * std::cos(theta), 1e-4f);
        EXPECT_NEAR(p->velocity.y, speed * std::sin(theta), 1e-4f);
        EXPECT_FLOAT_EQ(p->scale.x, 0.6f);
        EXPECT_FLOAT_EQ(p->position.x, 10.0f);
    }
}

TEST_F(EffectTest, LivesFollowSpeedAndDeceleration) {
    // Smoke loses 3 units of speed a second: a puff at 30 lives 10 s.
    SmokeEffect puff(0, 0, 0, 3, 30, 30, 0, 2 * kPi, 1, 0xFFFFFFFF);
    EXPECT_NEAR(lifetime(puff, 0.125), 10.0, 0.125 + 1e-9);
    // Flares lose 128 a second: speeds 40 to 100 are gone by 100/128 s.
    randomSeed = 99;
    FlareEffect flare(0, 0, 0, 20, 40, 100, 0, 2 * kPi, 1, 0xFFFF0000);
    const double life = lifetime(flare, 1.0 / 256);
    EXPECT_LE(life, 100.0 / 128 + 1.0 / 256);
    EXPECT_GT(life, 40.0 / 128);
    // A burst without particles ends at its first update.
    SmokeEffect empty(0, 0, 0, 0, 1, 2, 0, 1, 1, 0);
    empty.update(0, 0.016);
    EXPECT_TRUE(empty.bDead);
}

TEST_F(EffectTest, SmokeAgesGrowsAndStepsThroughItsFrames) {
    SmokeEffect puff(0, 0, 0, 1, 7, 7, 0, 0, 2.0f, 0x80FFFFFF);
    SmokeParticle* p = puff.particles[0];
    EXPECT_EQ(p->color, 0x80FFFFFFu);
    puff.update(0, 1.0);
    // Before the step: age 1 - 7/8, scale (0.25 + 0.75 age) x size, the first frame; it moved 7.
    EXPECT_FLOAT_EQ(p->age, 1.0f - 7.0f / 8.0f);
    EXPECT_FLOAT_EQ(p->scale.x, (0.25f + 0.75f * 0.125f) * 2.0f);
    EXPECT_EQ(p->pSkin, puff.frames[0]);
    EXPECT_NEAR(p->position.x, 7.0f, 1e-4f);
    EXPECT_FLOAT_EQ(p->speed, 4.0f);
    puff.update(1, 1.0);
    // Speed 4 of 7: frame int(3 x 7 / 7) = 3 of the eight.
    EXPECT_EQ(p->pSkin, puff.frames[3]);
}

TEST_F(EffectTest, FlaresShrinkAsTheySlowAndTakeRandomPrimaryColoursForColourZero) {
    randomSeed = 7;
    FlareEffect flare(0, 0, 0, 12, 64, 64, 0, 2 * kPi, 3.0f, 0);
    for (SmokeParticle* p : flare.particles) {
        const uint32_t c = p->color;
        const int full = ((c >> 16 & 0xFF) == 0xFF) + ((c >> 8 & 0xFF) == 0xFF) + ((c & 0xFF) == 0xFF);
        EXPECT_EQ(c >> 24, 0xFFu);
        EXPECT_GE(full, 1);
        EXPECT_LE(full, 2) << std::hex << c;
    }
    FlareEffect tinted(0, 0, 0, 1, 64, 64, 0, 2 * kPi, 3.0f, 0xFF00FF00);
    EXPECT_EQ(tinted.particles[0]->color, 0xFF00FF00u);
    tinted.update(0, 0.25);
    // Scale 0.1 + (speed / maxSpeed) x (size - 0.1), taken before the step.
    EXPECT_FLOAT_EQ(tinted.particles[0]->scale.x, 3.0f);
    tinted.update(0, 0.25);
    EXPECT_FLOAT_EQ(tinted.particles[0]->scale.x, 0.1f + 0.5f * 2.9f);
    EXPECT_EQ(tinted.particles[0]->pSkin, tinted.frames[0]);
}

TEST_F(EffectTest, OnlyParticlesWithSpeedAreDrawn) {
    FlareEffect flare(0, 0, 0, 2, 64, 64, 0, 2 * kPi, 1.0f, 0xFFFFFFFF);
    flare.particles[1]->speed = 0;
    device->calls.clear();
    flare.render();
    EXPECT_EQ(draws(), 1);
    flare.particles[1]->speed = 1;
    device->calls.clear();
    flare.render();
    EXPECT_EQ(draws(), 2);
}

TEST_F(EffectTest, HeartRisesSwaysShrinksAndEndsAfterTwoSeconds) {
    HeartEffect heart(50, 10, 0);
    heart.update(0, 0.5);
    EXPECT_FLOAT_EQ(heart.age, 0.25f);
    EXPECT_FLOAT_EQ(heart.position.y, 60.0f);
    EXPECT_NEAR(heart.position.x, 50.0f + std::cos(4.0f) * 18.0f, 1e-4f);
    EXPECT_FLOAT_EQ(heart.scale.x, 1.5f - 1.5f * 0.0625f);
    EXPECT_FLOAT_EQ(heart.glow.scale.x, 3.0f * heart.scale.x);
    EXPECT_FLOAT_EQ(heart.glow.rotation.z, 1.0f);
    EXPECT_FLOAT_EQ(heart.glow.position.y, heart.position.y);
    // Phase 0.5 of nine frames: frame 4.
    EXPECT_EQ(heart.pSkin, heart.frames[4]);
    heart.update(0, 0.75);
    // The phase wraps: 1.25 -> 0.25, frame 2.
    EXPECT_EQ(heart.pSkin, heart.frames[2]);
    heart.update(0, 0.75);
    EXPECT_FALSE(heart.bDead);
    heart.update(0, 0.01);
    EXPECT_TRUE(heart.bDead);
}
