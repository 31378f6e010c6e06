// The hint arrow: its frame fits the text, it turns over near the top edge, its frame stays within
// the side edges, and it draws nothing without a text.

#include <gtest/gtest.h>

#include <algorithm>

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

// The text is drawn last, in the hint's colour with red, green and blue halved, over a solid rim:
// copies of it all round, 2 units out, in opaque black or white, whichever stands out more from
// the text (the left-click hint's grey-brown and the claw's green on black, 4.66:1 and 4.60:1 against
// 4.51:1 and 4.57:1 on white; the right-click hint's dark brown on white, 7.9:1).
TEST_F(SpeechArrowTest, DrawsNothingWithoutTextAndTheTextInAHalvedColourOverARim) {
    const struct {
        uint32_t colour, text, rim;
    } cases[] = {
        {SpeechArrow::DEFAULT_COLOUR, 0xFF7F765F, 0xFF000000},
        {0xFFFF8040, 0xFF7F4020, 0xFFFFFFFF},
        {0xFFC0FF80, 0xFF607F40, 0xFF000000},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.colour);
        SpeechArrow arrow;
        arrow.setColour(c.colour);
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
        ASSERT_GE(TextTrace::drawn.size(), 9u);
        const DrawnText& text = TextTrace::drawn.back();
        EXPECT_EQ(text.text, u"right-click here");
        EXPECT_EQ(text.colour, c.text);
        EXPECT_EQ(text.flags, 20);
        EXPECT_FLOAT_EQ(text.y, 20.0f + 36.0f / 2.0f);
        float left = 0, right = 0, below = 0, above = 0;
        for (size_t i = 0; i + 1 < TextTrace::drawn.size(); ++i) {
            const DrawnText& rim = TextTrace::drawn[i];
            EXPECT_EQ(rim.text, text.text);
            EXPECT_EQ(rim.colour, c.rim);
            left = std::min(left, rim.x - text.x);
            right = std::max(right, rim.x - text.x);
            below = std::min(below, rim.y - text.y);
            above = std::max(above, rim.y - text.y);
        }
        EXPECT_FLOAT_EQ(left, -2.0f);
        EXPECT_FLOAT_EQ(right, 2.0f);
        EXPECT_FLOAT_EQ(below, -2.0f);
        EXPECT_FLOAT_EQ(above, 2.0f);
    }
}
