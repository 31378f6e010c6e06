// The bear: its sprites, its waving hand and its blinking eyes; its speech bubble.

#include <gtest/gtest.h>

#include <cmath>

#include "GameScreenFixture.h"
#include "ui/FrameSkin.h"
#include "engine/Random.h"
#include "game/Mascot.h"
#include "game/SpeechBubble.h"

using MascotTest = GameScreenTest;

TEST_F(MascotTest, HandBodyAndEyesInPlace) {
    Mascot mascot;
    ASSERT_EQ(mascot.countChildren(), 3);
    EXPECT_EQ(mascot.firstChild, mascot.pHand);
    EXPECT_EQ(mascot.lastChild, mascot.pEyes);
    EXPECT_FLOAT_EQ(mascot.pHand->position.x, 400.0f - 75.0f);
    EXPECT_FLOAT_EQ(mascot.pHand->position.y, 55.0f - 240.0f);
    EXPECT_FLOAT_EQ(mascot.pHand->rotation.z, 3.337942361831665f);
    EXPECT_EQ(mascot.pHand->pSkin, qel->pResourceManager->find(false, u"bearHand:bend"));
    EXPECT_EQ(mascot.pBody->pSkin, qel->pResourceManager->find(false, u"bear:0"));
    EXPECT_FLOAT_EQ(mascot.pBody->position.y, 60.0f);
    EXPECT_FLOAT_EQ(mascot.pEyes->position.y, 60.0f);
}

TEST_F(MascotTest, HandWavesWithTheClock) {
    Mascot mascot;
    auto* hand = static_cast<AnimatedQuad*>(mascot.pHand->pSkin);
    for (double t : {0.1, 0.3, 1.0}) {
        ++qel->frameCount;
        mascot.update(t, 0.0);
        EXPECT_NEAR(hand->bend, 0.5f * std::sin(4.0f * float(t)), 1e-6f);
    }
}

TEST_F(MascotTest, EyesStayOpenARandomWhileAndCloseForATenth) {
    randomSeed = 4242;
    Mascot mascot;
    uint32_t replay = 4242;
    std::swap(randomSeed, replay);
    const double open = 0.2 + 1.8 * double(randomUnit());
    std::swap(randomSeed, replay);
    EXPECT_EQ(mascot.state, Mascot::EYES_OPEN);
    EXPECT_EQ(mascot.pEyes->pSkin, qel->pResourceManager->find(false, u"bear:1"));
    EXPECT_NEAR(mascot.stateLeft, open, 1e-9);
    mascot.update(0, open + 0.001);
    EXPECT_EQ(mascot.state, Mascot::EYES_CLOSED);
    EXPECT_EQ(mascot.pEyes->pSkin, qel->pResourceManager->find(false, u"bear:2"));
    EXPECT_NEAR(mascot.stateLeft, 0.1, 1e-9);
    mascot.update(0, 0.1);
    EXPECT_EQ(mascot.state, Mascot::EYES_OPEN);
}

TEST_F(MascotTest, BubbleFrameHasItsBordersAndSize) {
    SpeechBubble bubble(300, 150);
    ASSERT_NE(bubble.pFrame, nullptr);
    EXPECT_EQ(bubble.pSkin, bubble.pFrame);
    EXPECT_TRUE(bubble.bOwnsSkin);
    EXPECT_FLOAT_EQ(bubble.pFrame->width, 300.0f);
    EXPECT_FLOAT_EQ(bubble.pFrame->height, 150.0f);
    EXPECT_EQ(bubble.pFrame->border[0], 20);
    EXPECT_EQ(bubble.pFrame->border[1], 20);
    EXPECT_EQ(bubble.pFrame->border[2], 40);
    EXPECT_EQ(bubble.pFrame->border[3], 50);
}
