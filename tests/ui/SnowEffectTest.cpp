// The snow behind the menus: the fall, the sway and the wrap around the camera.

#include <gtest/gtest.h>

#include <cmath>

#include "ui/SnowEffect.h"
#include "ui/SnowFlake.h"
#include "engine/Random.h"
#include "media/Camera.h"

TEST(SnowEffect, FlakesStartInsideTheWindowAndStandStillWithoutTime) {
    randomSeed = 99;
    Camera camera;
    SnowEffect snow(&camera, 1.0f);
    ASSERT_EQ(snow.flakeCount, 128);
    for (int i = 0; i < snow.flakeCount; ++i) {
        const SnowFlake& f = snow.flakes[i];
        EXPECT_GE(f.basePosition.x, -400.0f);
        EXPECT_LT(f.basePosition.x, 400.0f);
        EXPECT_GE(f.basePosition.y, -240.0f);
        EXPECT_LT(f.basePosition.y, 240.0f);
        EXPECT_LE(f.basePosition.z, 0.0f);
        EXPECT_GT(f.basePosition.z, -267.0f);
        EXPECT_FLOAT_EQ(f.scale.x, 0.3f);
    }
    const Vector3 base = snow.flakes[7].basePosition;
    const float phase = snow.flakes[7].phase;
    snow.update(0, 0);
    EXPECT_EQ(snow.flakes[7].basePosition.y, base.y);
    EXPECT_EQ(snow.flakes[7].basePosition.x, base.x);
    EXPECT_EQ(snow.flakes[7].phase, phase);
}

TEST(SnowEffect, FlakesFallSwayAndComeBackAtTheTop) {
    Camera camera;
    camera.position = Vector3(1000, 50, -400);
    SnowEffect snow(&camera, 1.0f);
    SnowFlake& f = snow.flakes[0];
    f.basePosition = Vector3(1000, 50, -10);
    f.phase = 0.0f;
    snow.update(0, 0.5);
    EXPECT_FLOAT_EQ(f.basePosition.y, 50 - 32);
    EXPECT_FLOAT_EQ(f.phase, 1.0f);
    EXPECT_NEAR(f.position.x, 1000 + 16 * std::cos(1.0f), 1e-3f);
    EXPECT_FLOAT_EQ(f.rotation.x, 1.0f);

    // Below the window's bottom edge (50 - 240): back at the top, exactly one height up.
    f.basePosition = Vector3(1000, 50 - 241, -10);
    snow.update(0, 0);
    EXPECT_FLOAT_EQ(f.basePosition.y, 50 - 241 + 480);
    // Left of the window (1000 - 400): shifted right by its width.
    f.basePosition = Vector3(1000 - 401, 0, -10);
    snow.update(0, 0);
    EXPECT_FLOAT_EQ(f.basePosition.x, 1000 - 401 + 800);
}
