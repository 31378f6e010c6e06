// The two motion integrators: a train segment's (caps on x only, damping and friction that stop
// rather than reverse) and a flying piece's (no step longer than 0.04 s).

#include <gtest/gtest.h>

#include "game/LayoutController.h"
#include "game/MotionController.h"

namespace {

TEST(LayoutControllerTest, OneStepByHand) {
    LayoutController c;
    c.mass = 2.0f;
    c.damping = 5.0f;
    c.position = Vector3(100, 10, 0);
    c.velocity = Vector3(10, 5, 0);
    c.force = Vector3(100, 50, 0);
    c.update(0.0, 0.1);
    // a = F / m = (50, 25); v = (15, 7.5); the drag v x 0.5 leaves (7.5, 3.75).
    EXPECT_FLOAT_EQ(c.acceleration.x, 50.0f);
    EXPECT_FLOAT_EQ(c.acceleration.y, 25.0f);
    EXPECT_FLOAT_EQ(c.velocity.x, 7.5f);
    EXPECT_FLOAT_EQ(c.velocity.y, 3.75f);
    EXPECT_FLOAT_EQ(c.previousPosition.x, 100.0f);
    EXPECT_FLOAT_EQ(c.position.x, 100.75f);
    EXPECT_FLOAT_EQ(c.position.y, 10.375f);
    // The force is used up.
    EXPECT_EQ(c.force, Vector3());
}

TEST(LayoutControllerTest, VelocityIsCappedOnXOnly) {
    struct Case {
        Vector3 force;
        float vx, vy;
    };
    const Case cases[] = {
        {{1e6f, 1e6f, 0}, 1000.0f, 1e5f},      // x capped at the maximum, y not at all
        {{-1e6f, -1e6f, 0}, -2000.0f, -1e5f},  // x floored at the minimum
        {{5000, 0, 0}, 500.0f, 0.0f},          // within the caps
    };
    for (const Case& k : cases) {
        LayoutController c;
        c.maxVelocity = 1000.0f;
        c.minVelocity = -2000.0f;
        c.force = k.force;
        c.update(0.0, 0.1);
        EXPECT_FLOAT_EQ(c.velocity.x, k.vx) << k.force.x;
        EXPECT_FLOAT_EQ(c.velocity.y, k.vy) << k.force.x;
        EXPECT_FLOAT_EQ(c.position.x, k.vx * 0.1f);
    }
}

TEST(LayoutControllerTest, DampingAndFrictionStopRatherThanReverse) {
    struct Case {
        float damping, friction, v0, v1;
    };
    const Case cases[] = {
        {5.0f, 0.0f, 100.0f, 50.0f},    // drag of half the velocity in 0.1 s
        {20.0f, 0.0f, 100.0f, 0.0f},    // drag larger than the velocity: stopped
        {0.0f, 300.0f, 100.0f, 70.0f},  // friction takes 30 off the speed
        {0.0f, 2000.0f, 100.0f, 0.0f},  // friction larger than the speed: stopped
        {0.0f, 300.0f, -100.0f, -70.0f},
    };
    for (const Case& k : cases) {
        LayoutController c;
        c.damping = k.damping;
        c.friction = k.friction;
        c.velocity = Vector3(k.v0, 0, 0);
        c.update(0.0, 0.1);
        EXPECT_NEAR(c.velocity.x, k.v1, 1e-3f) << k.damping << " " << k.friction << " " << k.v0;
    }
    // At rest nothing moves, not even the previous position.
    LayoutController still;
    still.position = Vector3(7, 0, 0);
    still.previousPosition = Vector3(3, 0, 0);
    still.update(0.0, 0.1);
    EXPECT_EQ(still.position, Vector3(7, 0, 0));
    EXPECT_EQ(still.previousPosition, Vector3(3, 0, 0));
}

TEST(MotionControllerTest, LongFramesAreSplitIntoStepsOfAtMostFourHundredths) {
    // The last step starts where the previous position was left: at constant velocity 100 the
    // previous position tells the length of the last step.
    struct Case {
        double dt;
        float lastStep;
    };
    const Case cases[] = {{0.1, 0.025f}, {0.08, 0.04f}, {0.04, 0.04f}, {0.041, 0.0205f}, {0.016, 0.016f}, {0.2, 0.025f}};
    for (const Case& k : cases) {
        MotionController m;
        m.velocity = Vector3(100, 0, 0);
        m.update(0.0, k.dt);
        EXPECT_NEAR(m.position.x, 100.0f * float(k.dt), 1e-4f) << k.dt;
        EXPECT_NEAR(m.position.x - m.previousPosition.x, 100.0f * k.lastStep, 1e-4f) << k.dt;
    }
}

TEST(MotionControllerTest, ForceDampingDragAndSpeedCap) {
    MotionController m;
    m.force = Vector3(0, 1000, 0);
    m.update(0.0, 0.02);
    EXPECT_FLOAT_EQ(m.velocity.y, 20.0f);
    EXPECT_EQ(m.force, Vector3());  // cleared after the step
    // A force kept from step to step (the chain's).
    MotionController chain;
    chain.bClearForce = false;
    chain.force = Vector3(-2000, 0, 0);
    chain.velocity = Vector3(400, 0, 0);
    chain.update(0.0, 0.1);
    EXPECT_FLOAT_EQ(chain.velocity.x, 200.0f);
    EXPECT_EQ(chain.force, Vector3(-2000, 0, 0));
    // The speed cap scales the whole velocity.
    MotionController capped;
    capped.maxSpeed = 50.0f;
    capped.velocity = Vector3(60, 80, 0);
    capped.update(0.0, 0.01);
    EXPECT_NEAR(capped.velocity.x, 30.0f, 1e-4f);
    EXPECT_NEAR(capped.velocity.y, 40.0f, 1e-4f);
    // Drag takes a fixed amount off the speed, and stops rather than reverses.
    MotionController dragged;
    dragged.drag = 100.0f;
    dragged.velocity = Vector3(30, 40, 0);
    dragged.update(0.0, 0.1);
    EXPECT_NEAR(dragged.velocity.length(), 40.0f, 1e-4f);
    dragged.update(0.0, 0.5);
    EXPECT_EQ(dragged.velocity, Vector3());
}

}  // namespace
