#include <gtest/gtest.h>

#include "engine/MathUtil.h"
#include "engine/Random.h"

namespace {

TEST(MathUtil, RemapAndLerp) {
    EXPECT_FLOAT_EQ(15.0f, remap(10, 20, 0, 1, 0.5f));
    EXPECT_FLOAT_EQ(30.0f, remap(10, 20, 0, 1, 2.0f));  // not clamped
    EXPECT_FLOAT_EQ(10.0f, remap(10, 20, 3, 3, 7));     // empty input range gives outLow
    EXPECT_FLOAT_EQ(20.0f, remapClamped(10, 20, 0, 1, 2.0f));
    EXPECT_FLOAT_EQ(0.0f, inverseLerpClamped(4, 4, 9));
    EXPECT_FLOAT_EQ(1.0f, inverseLerpClamped(0, 2, 5));
    EXPECT_FLOAT_EQ(2.0f, lerpClamped(0, 2, 3));
    EXPECT_TRUE(isWithinRadius({0, 0, 0}, {1, 0, 0}, 1.01f));
    EXPECT_FALSE(isWithinRadius({0, 0, 0}, {1, 0, 0}, 1.0f));
    EXPECT_EQ(Vector3(0, 0, 0), normalizeVector({0, 0, 0}));
    EXPECT_FLOAT_EQ(1.0f, normalizeVector({3, 4, 0}).length());
    EXPECT_FLOAT_EQ(5.0f, Vector3::distance({1, 1, 0}, {4, 5, 0}));
}

TEST(MathUtil, LerpColorTruncatesEachChannel) {
    EXPECT_EQ(0xFF7F7F7Fu, lerpColor(0xFF000000u, 0xFFFFFFFFu, 0.5f));
    EXPECT_EQ(0x00000000u, lerpColor(0x00000000u, 0xFFFFFFFFu, 0.0f));
    EXPECT_EQ(0x80402010u, lerpColor(0x80402010u, 0x00000000u, 0.0f));
}

TEST(MathUtil, EasingEndsAndMiddles) {
    const Vector3 from(1, 2, 3), to(5, 6, 7);
    for (int type = 1; type <= 17; ++type) {
        SCOPED_TRACE(type);
        const Vector3 start = interpolateVector(from, to, -1.0f, type);
        const Vector3 middle = interpolateVector(from, to, 0.5f, type);
        const Vector3 end = interpolateVector(from, to, 2.0f, type);
        EXPECT_NEAR(from.x, start.x, 1e-5);
        if (type >= 7 && type <= 9) {
            EXPECT_NEAR(from.x, end.x, 1e-5);
            EXPECT_NEAR(to.y, middle.y, 1e-5);
        } else {
            EXPECT_NEAR(to.x, end.x, 1e-5);
            EXPECT_NEAR(to.z, end.z, 1e-5);
        }
    }
    // The wobble of type 13 stands still at the middle; type 17 at both ends.
    EXPECT_NEAR(3.0f, interpolateVector(from, to, 0.5f, 13).x, 1e-5);
    EXPECT_LT(interpolateVector(from, to, 0.01f, 17).x - 1.0f, 1e-3);
    Vector3 untouched(9, 9, 9);
    interpolateVector(untouched, from, to, 0.5f, 18);
    EXPECT_EQ(Vector3(9, 9, 9), untouched);
    EXPECT_EQ(interpolateVector(from, to, 0.25f, 1), interpolateVector(from, to, 0.25f, 0));
}

TEST(MathUtil, CubicPassesThroughItsEndsWithTangentThirds) {
    const Vector3 p0(0, 0, 0), p3(3, 0, 0), t0(1, 0, 0), t3(1, 0, 0);
    EXPECT_EQ(p0, interpolateCubic(p0, t0, p3, t3, 0));
    EXPECT_EQ(p3, interpolateCubic(p0, t0, p3, t3, 1));
    // Control points evenly spaced on a line: the curve is the straight line at uniform speed.
    EXPECT_NEAR(1.5f, interpolateCubic(p0, t0, p3, t3, 0.5f).x, 1e-6);
    EXPECT_NEAR(0.75f, interpolateCubic(p0, t0, p3, t3, 0.25f).x, 1e-6);
}

TEST(Random, LinearCongruentialSequence) {
    randomSeed = 0;
    EXPECT_EQ(38u, randomNext());  // 2531011 >> 16
    EXPECT_EQ(2531011u, randomSeed);
    EXPECT_EQ(7719u, randomNext());
    EXPECT_EQ(2531011u * 214013u + 2531011u, randomSeed);
    randomSeed = 1;
    EXPECT_EQ(41u, randomNext());
    randomSeed = 12345;
    const float u = randomUnit();
    EXPECT_GE(u, 0.0f);
    EXPECT_LT(u, 1.0f);
}

TEST(Random, MersenneInitialisationMatchesTheReference) {
    MersenneState state;
    initGenrand(state, 5489u);
    EXPECT_EQ(5489u, state.words[0]);
    EXPECT_EQ(1301868182u, state.words[1]);
    EXPECT_EQ(2938499221u, state.words[2]);
    EXPECT_EQ(624u, state.index);
}

}  // namespace
