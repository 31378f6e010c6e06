// The iris curtain: its motion and its radii, and that a new front screen opens it.

#include <gtest/gtest.h>

#include <cmath>

#include "AppFixture.h"
#include "runtime/QelRuntime.h"
#include "ui/IrisCurtain.h"

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

#include "game/GameGlobal.h"
#include "support/GraphicsFixture.h"

namespace {

class IrisCurtainDrawTest : public GraphicsFixtureOn<QelRuntime> {
protected:
    // The draws and alpha-blend switches of one render.
    std::vector<std::string> drawn(IrisCurtain& curtain) {
        device->calls.clear();
        curtain.render();
        std::vector<std::string> out;
        for (const std::string& c : device->calls)
            if (c.rfind("DrawPrimitive", 0) == 0 || c.rfind("SetRenderState 27 ", 0) == 0) out.push_back(c);
        return out;
    }
};

}  // namespace

TEST_F(IrisCurtainDrawTest, OpenCurtainDrawsNothingAndTheRingIsDrawnWithoutBlending) {
    GameGlobal application;
    IrisCurtain curtain;
    EXPECT_TRUE(drawn(curtain).empty());

    curtain.closedness = 1.0f;
    const std::vector<std::string> detailed = drawn(curtain);
    ASSERT_EQ(detailed.size(), 4u);
    EXPECT_EQ(detailed[0], "DrawPrimitive 5 0 256") << "the soft edge";
    EXPECT_EQ(detailed[1], "SetRenderState 27 0");
    EXPECT_EQ(detailed[2], "DrawPrimitive 5 0 256") << "the solid ring";
    EXPECT_EQ(detailed[3], "SetRenderState 27 1");

    application.gameConfiguration.detailLevel = 0;
    EXPECT_EQ(drawn(curtain), (std::vector<std::string>{"SetRenderState 27 0", "DrawPrimitive 5 0 256", "SetRenderState 27 1"}));
}
