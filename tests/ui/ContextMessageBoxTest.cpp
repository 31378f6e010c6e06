#include <gtest/gtest.h>

#include <vector>

#include "MenuTestFixture.h"
#include "ui/ContextMessageBox.h"
#include "ui/MenuItemButton.h"
#include "ui/TextLabel.h"

TEST(MessageBoxSizeTest, PanelSizeFromTextsAndButtons) {
    struct Case {
        bool hasTitle;
        float titleWidth;
        float bodyHeight, bodyWidth;
        int buttons;
        int width, height;
    };
    // Title line 40 high, line step 25.
    const Case cases[] = {
        {false, 0, 20, 100, 1, 330, 95},      // the minimum width with buttons
        {false, 0, 20, 100, 0, 192, 20},      // no buttons: the minimum of 192
        {true, 500, 20, 100, 2, 500, 160},    // title wider than everything
        {false, 0, 520, 100, 1, 595, 595},    // tall: at least as wide as high
        {false, 0, 20, 600, 2, 600, 95},
    };
    for (const Case& c : cases) {
        auto size = ContextMessageBox::panelSize(c.hasTitle, c.titleWidth, 40, 25, c.bodyHeight, c.bodyWidth, c.buttons);
        EXPECT_EQ(size.width, c.width);
        EXPECT_EQ(size.height, c.height);
    }
}

namespace {
std::vector<TextLabel*> labels(ContextMessageBox& box) {
    std::vector<TextLabel*> out;
    for (BasicLink* c = box.firstChild; c; c = c->next)
        if (auto* label = dynamic_cast<TextLabel*>(c)) out.push_back(label);
    return out;
}
}  // namespace

TEST_F(MenuTest, OneShortLineAndOneButtonIsTheMinimumWidth) {
    int result = 5;
    ContextMessageBox box;
    box.text = u"Hello";
    box.pResult = &result;
    box.layout();
    EXPECT_EQ(result, -1);
    EXPECT_EQ(box.panelWidth, 330);
    // 20 (one line) + 25 + 50.
    EXPECT_EQ(box.panelHeight, 95);
    ASSERT_NE(box.pFirstButton, nullptr);
    EXPECT_EQ(box.pSecondButton, nullptr);
    EXPECT_EQ(box.pFirstButton->caption, u"OK");
    EXPECT_TRUE(box.bAnyKeyCloses);
}

TEST_F(MenuTest, BarMakesTwoLinesEachCentred) {
    ContextMessageBox box;
    box.text = u"ab|abcd";
    box.firstButtonText = u"";
    box.layout();
    auto found = labels(box);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->text, u"ab");
    EXPECT_FLOAT_EQ(found[0]->position.x, -10.0f);
    EXPECT_EQ(found[1]->text, u"abcd");
    EXPECT_FLOAT_EQ(found[1]->position.x, -20.0f);
    // Lines step down by the line step (1.25 x the line height).
    EXPECT_FLOAT_EQ(found[0]->position.y - found[1]->position.y, 25.0f);
    EXPECT_EQ(found[0]->alignment, 3);
}

TEST_F(MenuTest, ColouredRunsFollowEachOtherOnTheirLine) {
    ContextMessageBox box;
    box.text = u"ab\x1e{00ff00}cd";
    box.layout();
    auto found = labels(box);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[0]->color, 0xFFFFFFFFu);
    EXPECT_EQ(found[1]->color, 0xFF00FF00u);
    EXPECT_FLOAT_EQ(found[1]->position.x - found[0]->position.x, 20.0f);
}

TEST_F(MenuTest, ButtonsAnswerZeroAndOne) {
    for (int which = 0; which < 2; ++which) {
        int result = 7;
        ContextMessageBox box;
        box.text = u"Are you sure?";
        box.firstButtonText = u"Yes";
        box.secondButtonText = u"No";
        box.pResult = &result;
        box.layout();
        EXPECT_FALSE(box.bAnyKeyCloses);
        ASSERT_NE(box.pSecondButton, nullptr);
        EXPECT_FLOAT_EQ(box.pFirstButton->position.x, -85.0f);
        EXPECT_FLOAT_EQ(box.pSecondButton->position.x, 85.0f);
        EXPECT_EQ(box.navigation.countChildren(), 2);
        (which == 0 ? box.pFirstButton : box.pSecondButton)->bClicked = true;
        box.tickContents(0, 0);
        EXPECT_EQ(result, which);
        EXPECT_TRUE(box.bDone);
    }
}

TEST_F(MenuTest, OneButtonBoxReturnsItsAnswer) {
    int result = 7;
    ContextMessageBox box;
    box.text = u"Done.";
    box.pResult = &result;
    box.layout();
    box.pFirstButton->bClicked = true;
    box.tickContents(0, 0);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(box.bDone);
}

TEST_F(MenuTest, PressOnTheOnlyButtonAnswersBeforeTheSkipRuleClosesTheBox) {
    int result = 7;
    ContextMessageBox box;
    box.text = u"Done.";
    box.pResult = &result;
    box.layout();
    qel->pCurrentContext = &box;
    box.pointerWorldPos[0] = box.pFirstButton->position.x;
    box.pointerWorldPos[1] = box.pFirstButton->position.y;
    addTouch(Vector3())->bPressed = true;
    box.tickContents(0, 0.016);
    EXPECT_EQ(result, 0);
    EXPECT_TRUE(box.bDone);
}

TEST_F(MenuTest, PressElsewhereLeavesTheOneButtonBoxUnanswered) {
    int result = 7;
    ContextMessageBox box;
    box.text = u"Done.";
    box.pResult = &result;
    box.layout();
    qel->pCurrentContext = &box;
    box.pointerWorldPos[0] = 390;
    box.pointerWorldPos[1] = 230;
    addTouch(Vector3())->bPressed = true;
    box.tickContents(0, 0.016);
    EXPECT_EQ(result, -1);
    EXPECT_FALSE(box.bDone);
}
