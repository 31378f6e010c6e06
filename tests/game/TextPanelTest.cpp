// The help toggle: a press near it turns its setting over and is taken from the screen under it.

#include <gtest/gtest.h>

#include "GameScreenFixture.h"
#include "media/Context.h"
#include "game/TextPanel.h"

namespace {
struct TextPanelTest : GameScreenTest {
    void SetUp() override {
        GameScreenTest::SetUp();
        qel->pCurrentContext = &screen;
    }
    void pointAt(float x, float y) {
        screen.pointerWorldPos[0] = x;
        screen.pointerWorldPos[1] = y;
    }
    // One frame with a press of the first touch point.
    void click(TextPanel& panel) {
        TouchPoint* t = addTouch(Vector3());
        t->bPressed = true;
        panel.update(0, 0.016);
        endTouches();
    }
    Context screen;
};
}  // namespace

TEST_F(TextPanelTest, TwoClicksReturnTheSettingToItsFirstValue) {
    uint8_t setting = 1;
    TextPanel panel(Vector3(100, 50, 0), u"Show these help messages", &setting);
    pointAt(105, 45);
    click(panel);
    EXPECT_EQ(setting, 0);
    click(panel);
    EXPECT_EQ(setting, 1);
}

TEST_F(TextPanelTest, ReachesTwentyUnitsAndTakesThePress) {
    const struct {
        float x, y;
        bool toggles;
    } cases[] = {{100, 50, true}, {119.9f, 50, true}, {120, 50, false}, {100, 71, false}, {112, 62, true}};
    for (const auto& c : cases) {
        uint8_t setting = 0;
        TextPanel panel(Vector3(100, 50, 0), u"label", &setting);
        pointAt(c.x, c.y);
        panel.update(0, 0.016);
        EXPECT_EQ(panel.color, c.toggles ? TextPanel::HOVER_COLOUR : TextPanel::LABEL_COLOUR);
        TouchPoint* t = addTouch(Vector3());
        t->bPressed = true;
        panel.update(0, 0.016);
        EXPECT_EQ(setting, c.toggles ? 1 : 0) << c.x << "," << c.y;
        EXPECT_EQ(input()->getTouchHandler() == &panel, c.toggles);
        endTouches();
    }
}

TEST_F(TextPanelTest, DrawsLabelBoxAndTickWhenSet) {
    uint8_t setting = 0;
    TextPanel panel(Vector3(100, 50, 0), u"label", &setting);
    traceTexts();
    panel.render();
    ASSERT_NE(TextTrace::find(u"label"), nullptr);
    EXPECT_EQ(TextTrace::find(u"label")->flags, 16);
    EXPECT_EQ(TextTrace::find(u"label")->colour, TextPanel::LABEL_COLOUR);
    const DrawnText* box = TextTrace::find(u"\x0e");
    ASSERT_NE(box, nullptr);
    EXPECT_FLOAT_EQ(box->x, 88.0f);
    EXPECT_FLOAT_EQ(box->y, 49.0f);
    EXPECT_FLOAT_EQ(box->scaleX, 0.6f);
    EXPECT_EQ(TextTrace::find(u"\x01"), nullptr);
    setting = 1;
    panel.render();
    const DrawnText* tick = TextTrace::find(u"\x01");
    ASSERT_NE(tick, nullptr);
    EXPECT_FLOAT_EQ(tick->x, 91.0f);
    EXPECT_FLOAT_EQ(tick->y, 53.0f);
}
