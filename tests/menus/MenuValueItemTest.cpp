// Value rows: stepping and clamping by presses near the arrows in both reading orders, the arrows
// shown and their colour, the two navigation points, the level bar's marks and its immediate
// audio, and the naming of values by texts or by a list, never read outside them.

#include <gtest/gtest.h>

#include <memory>

#include "DrawRecorder.h"
#include "ui/ContextManager.h"
#include "menus/MenuApplication.h"
#include "ui/MenuTestFixture.h"
#include "language/Language.h"
#include "menus/EnumValueItem.h"
#include "menus/ListValueItem.h"
#include "menus/MenuLevelBar.h"
#include "menus/MenuValueItem.h"

namespace {

struct ValueItemTest : MenuTest {
    void SetUp() override {
        MenuTest::SetUp();
        qel->pCurrentContext = &menu;
    }
    void TearDown() override {
        setRightToLeft(false);
        MenuTest::TearDown();
    }
    void setRightToLeft(bool rtl) { qel->pLanguage->bRightToLeft = rtl; }
    template <class T>
    T* add(T* item) {
        menu.appendItem(item);
        return item;
    }
    // A press in this frame at (x, y) relative to the item's centre.
    void press(MenuItem* item, float x, float y = 0.0f) {
        menu.pointerWorldPos[0] = item->position.x + x;
        menu.pointerWorldPos[1] = item->position.y + y;
        addTouch(Vector3())->bPressed = true;
        item->update(0, 0.016);
        input()->touchList.deleteChildren();
    }

    ContextMenu menu;
};

}  // namespace

TEST_F(ValueItemTest, PressesNearTheArrowsStepAndClampInBothReadingOrders) {
    struct Case {
        bool rtl;
        int min, max, step, start;
        float pressX;  // relative to the centre; the arrow points are at -104 and +104
        int expected;
    };
    const Case cases[] = {
        {false, 0, 5, 1, 3, -104, 2},
        {false, 0, 5, 1, 3, 104, 4},
        {false, 0, 5, 1, 5, 104, 5},     // at the maximum: kept
        {false, 0, 5, 1, 0, -104, 0},    // at the minimum: kept
        {false, 0, 5, 1, 3, -55, 2},     // 49 from the left arrow point
        {false, 0, 5, 1, 3, -53, 3},     // 51 from it: neither arrow
        {false, 0, 5, 1, 3, 0, 3},       // the middle
        {false, 25, 125, 5, 25, 104, 30},
        {false, 25, 125, 5, 125, 104, 125},
        {false, 25, 125, 5, 25, -104, 25},
        {false, 0, 24, 1, 900, 0, 24},   // a damaged value is clamped at the next press
        {false, 0, 24, 1, -7, 104, 0},
        {true, 0, 5, 1, 3, -104, 4},     // right-to-left: the left arrow raises the value
        {true, 0, 5, 1, 3, 104, 2},
        {true, 0, 5, 1, 5, -104, 5},
        {true, 0, 5, 1, 0, 104, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.rtl ? "rtl " : "ltr ") << c.start << " at " << c.pressX);
        setRightToLeft(c.rtl);
        int value = c.start;
        auto* item = add(new MenuValueItem(0, 0, 0, &value, c.min, c.max, c.step, u"", u""));
        press(item, c.pressX);
        EXPECT_EQ(value, c.expected);
        // Every press clicks, whether or not it changed the value.
        EXPECT_TRUE(item->bClicked);
        item->release();
    }
}

TEST_F(ValueItemTest, PressesNeedTheItemHoveredAndEnabled) {
    int value = 3;
    auto* item = add(new MenuValueItem(0, 100, 0, &value, 0, 5, 1, u"", u""));
    // Outside the frame (32 high): not hovered.
    press(item, 104, 20);
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(item->bClicked);
    item->bDisabled = true;
    press(item, 104);
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(item->bClicked);
    // Hovered without a press: nothing either.
    item->bDisabled = false;
    menu.pointerWorldPos[0] = 104;
    menu.pointerWorldPos[1] = 100;
    item->update(0, 0.016);
    EXPECT_EQ(value, 3);
    EXPECT_FALSE(item->bClicked);
}

TEST_F(ValueItemTest, ArrowsShowWhereTheValueCanGo) {
    struct Case {
        bool rtl;
        int value;
        bool left, right;
    };
    const Case cases[] = {
        {false, 0, false, true}, {false, 2, true, true}, {false, 4, true, false},
        {true, 0, true, false},  {true, 2, true, true},  {true, 4, false, true},
    };
    DrawRecorder recorder;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.rtl ? "rtl " : "ltr ") << c.value);
        setRightToLeft(c.rtl);
        int value = c.value;
        MenuValueItem item(0, 0, 0, &value, 0, 4, 1, u"", u"");
        EXPECT_EQ(item.showsLeftArrow(), c.left);
        EXPECT_EQ(item.showsRightArrow(), c.right);
        item.hoverFade = 1.0;
        recorder.drawn.clear();
        item.render();
        const auto left = recorder.withText(u"\x07");
        const auto right = recorder.withText(u"\x08");
        ASSERT_EQ(left.size(), c.left ? 1u : 0u);
        ASSERT_EQ(right.size(), c.right ? 1u : 0u);
        // 15 units inside the ends of the 256-wide frame.
        if (c.left) {
            EXPECT_FLOAT_EQ(left[0].position.x, -113.0f);
        }
        if (c.right) {
            EXPECT_FLOAT_EQ(right[0].position.x, 113.0f);
        }
    }
}

TEST_F(ValueItemTest, ArrowsFadeInWithTheHoverAndHideWhenDisabled) {
    int value = 2;
    MenuValueItem item(0, 0, 0, &value, 0, 4, 1, u"", u"");
    DrawRecorder recorder;
    item.render();
    EXPECT_TRUE(recorder.withText(u"\x07").empty());
    struct Case {
        double fade;
        int mode;
        uint32_t colour;
    };
    const Case cases[] = {
        {0.5, INPUTMODE_MOUSE, 0x7FFF0000u},
        {1.0, INPUTMODE_MOUSE, 0xFFFF0000u},
        {3.0, INPUTMODE_MOUSE, 0xFFFF0000u},  // clamped
        {1.0, INPUTMODE_TOUCH, 0xFFCCCCCCu},  // the normal colour in touch input
    };
    for (const Case& c : cases) {
        item.hoverFade = c.fade;
        input()->inputMode = c.mode;
        recorder.drawn.clear();
        item.render();
        const auto left = recorder.withText(u"\x07");
        ASSERT_EQ(left.size(), 1u);
        EXPECT_EQ(left[0].colour, c.colour) << c.fade;
    }
    item.bDisabled = true;
    recorder.drawn.clear();
    item.render();
    EXPECT_TRUE(recorder.withText(u"\x07").empty());
    EXPECT_TRUE(recorder.withText(u"\x08").empty());
}

TEST_F(ValueItemTest, NavigationPointsAreTheTwoArrowPoints) {
    int value = 0;
    auto* item = add(new MenuValueItem(50, 100, 0, &value, 0, 4, 1, u"", u""));
    const float expectedX[2] = {-54.0f, 154.0f};
    for (int i = 0; i < 2; ++i) {
        const Vector3 world = ContextMenu::pointerToWorld(&menu, item->getNavigationPoint(i));
        EXPECT_FLOAT_EQ(world.x, expectedX[i]);
        EXPECT_FLOAT_EQ(world.y, 100.0f);
    }
    for (int i : {2, -1}) {
        const Vector3 none = item->getNavigationPoint(i);
        EXPECT_EQ(none.x, -1.0f);
        EXPECT_EQ(none.y, -1.0f);
        EXPECT_EQ(none.z, -1.0f);
    }
    // The keyboard's confirm lands on an arrow point: a step there.
    const Vector3 right = ContextMenu::pointerToWorld(&menu, item->getNavigationPoint(1));
    press(item, right.x - item->position.x, right.y - item->position.y);
    EXPECT_EQ(value, 1);
}

TEST_F(ValueItemTest, ValueIsDrawnAsANumberInTheCaptionStyle) {
    int value = 85;
    MenuValueItem item(0, 0, 0, &value, 25, 125, 5, u"", u"");
    DrawRecorder recorder;
    item.drawContents(0, 0, 0);
    ASSERT_EQ(recorder.drawn.size(), 1u);
    EXPECT_EQ(recorder.drawn[0].text, u"85");
    EXPECT_EQ(recorder.drawn[0].flags, 20);
    EXPECT_TRUE(recorder.drawn[0].shadowed);
}

TEST(LevelBarMarksTest, MarksStartAtMinus84SevenApartMirroredRightToLeft) {
    struct Case {
        int value;
        bool rtl;
        std::vector<float> offsets;
    };
    const Case cases[] = {
        {0, false, {}},
        {-3, false, {}},
        {1, false, {-84}},
        {3, false, {-84, -77, -70}},
        {3, true, {84, 77, 70}},
    };
    for (const Case& c : cases) EXPECT_EQ(MenuLevelBar::markOffsets(c.value, c.rtl), c.offsets) << c.value;
    const auto full = MenuLevelBar::markOffsets(24, false);
    ASSERT_EQ(full.size(), 24u);
    EXPECT_FLOAT_EQ(full.back(), 77.0f);
}

TEST_F(ValueItemTest, LevelBarDrawsOneMarkPerStepUpToItsMaximum) {
    int value = 5;
    MenuLevelBar bar(64, 50, 0, &value, 0, 24, u"", u"");
    DrawRecorder recorder;
    struct Case {
        int value;
        size_t marks;
    };
    for (const Case c : {Case{5, 5}, Case{0, 0}, Case{24, 24}, Case{1000, 24}, Case{-4, 0}}) {
        value = c.value;
        recorder.drawn.clear();
        bar.drawContents(bar.position.x, bar.position.y, 0);
        const auto marks = recorder.withText(u"|");
        ASSERT_EQ(marks.size(), c.marks) << c.value;
        EXPECT_EQ(recorder.drawn.size(), c.marks) << "only marks";
        if (!marks.empty()) {
            EXPECT_FLOAT_EQ(marks[0].position.x, 64.0f - 84.0f);
        }
    }
}

TEST_F(ValueItemTest, LevelBarPressAppliesTheAudioSettingsAtOnce) {
    MenuApplication application;
    application.gameConfiguration.maxFramesPerSecond = 40;
    auto* bar = add(new MenuLevelBar(64, 0, 0, &application.gameConfiguration.soundVolume, 0, 24, u"", u""));
    application.gameConfiguration.soundVolume = 10;
    press(bar, 104);
    EXPECT_EQ(application.gameConfiguration.soundVolume, 11);
    EXPECT_TRUE(bar->bClicked);
    // The frame period is one of the settings applied.
    EXPECT_DOUBLE_EQ(qel->frameTimer.period, 1.0 / 40);
}

TEST_F(ValueItemTest, EnumerationNamesValuesByConsecutiveTexts) {
    int quality = 2;
    EnumValueItem item(64, 100, 0, &quality, 0, 2, ENUMSOUNDQUALITY0, u"", u"");
    EXPECT_EQ(item.valueText(), WString(qel->pLanguage->getText(ENUMSOUNDQUALITY2)));
    quality = 0;
    EXPECT_EQ(item.valueText(), WString(qel->pLanguage->getText(ENUMSOUNDQUALITY0)));
    DrawRecorder recorder;
    item.drawContents(64, 100, 0);
    ASSERT_EQ(recorder.drawn.size(), 1u);
    EXPECT_EQ(recorder.drawn[0].text, WString(qel->pLanguage->getText(ENUMSOUNDQUALITY0)));
    EXPECT_EQ(recorder.drawn[0].flags, 20);
    EXPECT_FLOAT_EQ(recorder.drawn[0].position.x, 64.0f);
}

TEST_F(ValueItemTest, ValueOutsideTheTextsOrTheListNamesNothing) {
    std::vector<WString> names = {u"320x240", u"800x600"};
    int value = 0;
    EnumValueItem detail(0, 0, 0, &value, 0, 1, ENUMDETAIL0, u"", u"");
    ListValueItem modes(0, 0, 0, &value, 0, 1, &names, u"", u"");
    std::vector<WString> none;
    ListValueItem empty(0, 0, 0, &value, 0, -1, &none, u"", u"");
    // The last text id with a value far past it would read beyond the table.
    EnumValueItem last(0, 0, 0, &value, 0, 1000, TEXT_COUNT - 1, u"", u"");
    DrawRecorder recorder;
    for (int v : {-1, 2, 5, 1000, -2147483647 - 1, 2147483647}) {
        value = v;
        EXPECT_EQ(detail.valueText(), u"") << v;
        EXPECT_EQ(modes.valueText(), u"") << v;
        EXPECT_EQ(empty.valueText(), u"") << v;
        if (v > 0) {
            EXPECT_EQ(last.valueText(), u"") << v;
        }
        detail.drawContents(0, 0, 0);
        modes.drawContents(0, 0, 0);
        empty.drawContents(0, 0, 0);
    }
    EXPECT_TRUE(recorder.drawn.empty());
    value = 1;
    EXPECT_EQ(modes.valueText(), u"800x600");
    value = 0;
    EXPECT_EQ(empty.valueText(), u"");
}

TEST_F(ValueItemTest, LongValueTextShrinksToTheInnerWidthAndShortStaysWhole) {
    std::vector<WString> names = {u"800x600", u"1920x1080 (16:9) with far too many words"};
    int value = 0;
    ListValueItem item(0, 0, 0, &value, 0, 1, &names, u"", u"");
    item.setWidth(200);
    DrawRecorder recorder;
    item.drawContents(0, 0, 0);
    value = 1;
    item.drawContents(0, 0, 0);
    ASSERT_EQ(recorder.drawn.size(), 2u);
    EXPECT_FLOAT_EQ(recorder.drawn[0].scale.x, 1.0f);
    // 40 characters of 10 units in a frame 200 wide and 32 high: 168 units of room.
    EXPECT_FLOAT_EQ(recorder.drawn[1].scale.x, 168.0f / 400.0f);
    EXPECT_FLOAT_EQ(recorder.drawn[1].scale.y, 168.0f / 400.0f);
}

TEST_F(ValueItemTest, EmptyListHasNoArrowsAndPressesKeepTheValue) {
    std::vector<WString> none;
    int value = 0;
    auto* item = add(new ListValueItem(0, 0, 0, &value, 0, -1, &none, u"", u""));
    EXPECT_FALSE(item->showsLeftArrow());
    EXPECT_FALSE(item->showsRightArrow());
    press(item, 104);
    press(item, -104);
    EXPECT_EQ(value, 0);
}
