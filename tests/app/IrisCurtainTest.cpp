// The iris curtain: its motion and its radii, and that a new front screen opens it.
#if __has_include("media/Renderable.h")
#include <gtest/gtest.h>

#include <cmath>

#include "AppFixture.h"
#include "app/IrisCurtain.h"

TEST(IrisCurtain, MovesOneUnitPerSecondWithoutOvershooting) {
    struct Case {
        float from, target, dt, expected;
    } cases[] = {{0, 1, 0.25f, 0.25f}, {0, 1, 2.0f, 1.0f}, {1, 0, 0.5f, 0.5f}, {0.9f, 0.2f, 1.0f, 0.2f}, {0.4f, 0.4f, 1.0f, 0.4f}, {0.3f, 1, 0, 0.3f}};
    for (const Case& k : cases) {
        IrisCurtain curtain;
        curtain.closedness = k.from;
        curtain.targetClosedness = k.target;
        curtain.update(0, k.dt);
        EXPECT_FLOAT_EQ(curtain.closedness, k.expected) << k.from << " -> " << k.target;
    }
}

TEST(IrisCurtain, ClosedCurtainLeavesNoHole) {
    const float R = IrisCurtain::outerRadius(800, 480);
    EXPECT_FLOAT_EQ(R, std::sqrt(400.0f * 400.0f + 240.0f * 240.0f) + 32.0f);
    EXPECT_FLOAT_EQ(IrisCurtain::outerRadius(801, 481), R) << "halved with integer division";
    EXPECT_FLOAT_EQ(IrisCurtain::holeRadius(0.0f, 800, 480), R);
    EXPECT_NEAR(IrisCurtain::holeRadius(1.0f, 800, 480), 0.0f, 1e-3f);
    EXPECT_NEAR(IrisCurtain::holeRadius(0.5f, 800, 480), R * (1.0f - std::sin(3.1415927f / 4.0f)), 1e-2f);
}

class IrisCurtainStackTest : public AppTest {};

TEST_F(IrisCurtainStackTest, EveryNewFrontScreenOpensTheCurtain) {
    ASSERT_NE(stack->pCurtain, nullptr);
    stack->pushContext(new Context());
    stack->pCurtain->closedness = stack->pCurtain->targetClosedness = 1.0f;
    tick();
    EXPECT_EQ(stack->pCurtain->targetClosedness, 0.0f);
    stack->pCurtain->targetClosedness = 1.0f;
    tick();
    EXPECT_EQ(stack->pCurtain->targetClosedness, 1.0f) << "the same front screen leaves it alone";
}
#endif
