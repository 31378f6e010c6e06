// The hint arrow: its frame fits the text, it turns over near the top edge, its frame stays within
// the side edges, and it draws nothing without a text.

#include <gtest/gtest.h>

#include "GameScreenFixture.h"
#include "ui/FrameSkin.h"
#include "game/SpeechArrow.h"

using SpeechArrowTest = GameScreenTest;

TEST_F(SpeechArrowTest, FrameIsTheTextPlusSixteen) {
    SpeechArrow arrow;
    arrow.setText(u"right-click here");
    // The measuring font: 10 units a character, lines 20 high.
    EXPECT_FLOAT_EQ(arrow.pFrame->width, 160.0f + 16.0f);
    EXPECT_FLOAT_EQ(arrow.pFrame->height, 20.0f + 16.0f);
}

TEST_F(SpeechArrowTest, TurnsOverWithinSixtyFourUnitsOfTheTop) {
    // Layout 800 x 480: the top edge is at 240. The arrow picture is 24 high.
    const struct {
        float y;
        bool flipped;
    } cases[] = {{240 - 63, true}, {240 - 64, false}, {0, false}, {239, true}};
    for (const auto& c : cases) {
        SpeechArrow arrow;
        arrow.setText(u"grab with claw");
        arrow.pointAt(30, c.y, 0);
        EXPECT_EQ(arrow.isFlipped(), c.flipped) << c.y;
        EXPECT_FLOAT_EQ(arrow.arrow.position.y, c.y);
        EXPECT_FLOAT_EQ(arrow.arrow.position.x, 30.0f);
        const float frameHeight = arrow.pFrame->height;
        // The frame's lower edge overlaps the arrow's end by 4 units, above or below the point.
        const float expected = c.flipped ? c.y - (frameHeight + 24 - 4) : c.y + (24 - 4);
        EXPECT_FLOAT_EQ(arrow.position.y, expected) << c.y;
        EXPECT_FLOAT_EQ(arrow.arrow.scale.y, c.flipped ? -1.0f : 1.0f);
    }
}

// A frame that would stick out over a side edge slides along it, 4 units inside; the arrow stays on
// the point. Layout 800 wide: the edges are at -400 and 400; the frame here is 176 wide.
TEST_F(SpeechArrowTest, TheFrameSlidesAlongASideEdgeAndTheArrowStaysOnThePoint) {
    const struct {
        float x;
        float frameX;
    } cases[] = {{0, 0}, {308, 308}, {309, 308}, {395, 308}, {-308, -308}, {-380, -308}};
    for (const auto& c : cases) {
        for (const float y : {0.0f, 230.0f}) {
            SpeechArrow arrow;
            arrow.setText(u"right-click here");
            arrow.pointAt(c.x, y, 0);
            EXPECT_FLOAT_EQ(arrow.position.x, c.frameX) << c.x << ", " << y;
            EXPECT_FLOAT_EQ(arrow.arrow.position.x, c.x) << c.x << ", " << y;
        }
    }
}

TEST_F(SpeechArrowTest, DrawsNothingWithoutTextAndTheTextInAHalvedColour) {
    SpeechArrow arrow;
    arrow.pointAt(0, 0, 0);
    device->calls.clear();
    traceTexts();
    arrow.render();
    EXPECT_EQ(draws(), 0);
    EXPECT_TRUE(TextTrace::drawn.empty());
    arrow.setText(u"right-click here");
    arrow.pointAt(0, 0, 0);
    arrow.render();
    EXPECT_GT(draws(), 0);
    const DrawnText* text = TextTrace::find(u"right-click here");
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(text->colour, 0xFF7F765Fu);  // 0xFFFFECBF with red, green and blue halved
    EXPECT_EQ(text->flags, 20);
    EXPECT_FLOAT_EQ(text->y, 20.0f + 36.0f / 2.0f);
}
