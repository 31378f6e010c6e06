#include <gtest/gtest.h>

#include <cmath>

#include "ui/CameraWaypoint.h"
#include "ui/ContextBlender.h"
#include "ui/GlidingCamera.h"

TEST(CameraWaypointTest, ProgressClampsAndTheClockStops) {
    CameraWaypoint w(0, 100, -400);
    w.duration = 0.5;
    const float expected[] = {0.4f, 0.8f, 1.0f, 1.0f};
    for (float e : expected) {
        w.update(0, 0.2);
        EXPECT_FLOAT_EQ(w.progress, e);
    }
    EXPECT_NEAR(w.waypointTime, 0.6, 1e-12);
}

TEST(CameraWaypointTest, ZeroDurationJumpsAtOnce) {
    CameraWaypoint w(0, 100, -400);
    w.duration = 0.0;
    w.update(0, 0.01);
    EXPECT_FLOAT_EQ(w.progress, 1.0f);
}

TEST(GlidingCameraTest, EasesTowardsTheFirstThenRestsAtTheSecond) {
    GlidingCamera camera;
    camera.jumpTo(0, 0, -400);
    auto* first = camera.addWaypoint(0, 100, -400, 1.0);
    first->easing = INTERPOLATE_LINEAR;
    auto* second = camera.addWaypoint(0, 300, -400, 2.0);
    second->easing = INTERPOLATE_LINEAR;
    camera.update(0, 0.5);
    // Halfway to the first (50), and from there a quarter of the way to the second.
    EXPECT_FLOAT_EQ(camera.position.y, 50.0f + (300.0f - 50.0f) * 0.25f);
    EXPECT_EQ(camera.countChildren(), 2);
    camera.update(0, 1.5);
    EXPECT_FLOAT_EQ(camera.position.y, 300.0f);
    // The second completed: the first is gone.
    EXPECT_EQ(camera.countChildren(), 1);
    EXPECT_EQ(camera.firstChild, second);
    camera.update(0, 1.0);
    EXPECT_FLOAT_EQ(camera.position.y, 300.0f);
    EXPECT_FLOAT_EQ(camera.target.y, 300.0f);
}

TEST(GlidingCameraTest, DelayedWaypointHoldsTheCameraUntilItsTurn) {
    GlidingCamera camera;
    camera.jumpTo(0, 0, -400);
    auto* first = camera.addWaypoint(0, 100, -400, 0.0);
    auto* later = camera.addWaypoint(0, 500, -400, 1.0);
    later->delay = 0.5;
    later->easing = INTERPOLATE_LINEAR;
    camera.update(0, 0.25);
    EXPECT_FLOAT_EQ(camera.position.y, 100.0f);
    camera.update(0, 0.25);
    EXPECT_FLOAT_EQ(camera.position.y, 100.0f);
    EXPECT_FLOAT_EQ(later->progress, 0.0f);
    camera.update(0, 0.5);
    EXPECT_FLOAT_EQ(camera.position.y, 300.0f);
    EXPECT_EQ(camera.firstChild, first);
}

TEST(GlidingCameraTest, JumpToEmptiesTheQueue) {
    GlidingCamera camera;
    camera.addWaypoint(0, 100, -400, 1.0);
    camera.addWaypoint(0, 200, -400, 1.0);
    camera.jumpTo(0, 424, -400);
    EXPECT_EQ(camera.countChildren(), 0);
    camera.update(0, 1.0);
    EXPECT_FLOAT_EQ(camera.position.y, 424.0f);
    EXPECT_FLOAT_EQ(camera.position.z, -400.0f);
}

TEST(GlidingCameraTest, ShakeDecaysToNothing) {
    GlidingCamera camera;
    camera.shakeDuration = 0.5;
    camera.shakeAmplitude = 10.0f;
    camera.update(0, 0.25);
    EXPECT_FLOAT_EQ(camera.shakeOffset, float(std::cos(0.25 * 32.0) * 0.25 * 10.0));
    camera.update(0, 1.0);
    EXPECT_FLOAT_EQ(camera.shakeOffset, 0.0f);
    EXPECT_DOUBLE_EQ(camera.shakeTime, 0.5);
}

TEST(ContextBlenderTest, HasAGlidingCamera) {
    ContextBlender blender;
    ASSERT_NE(blender.getGlidingCamera(), nullptr);
    EXPECT_EQ(static_cast<Camera*>(blender.getGlidingCamera()), blender.pCamera);
}
