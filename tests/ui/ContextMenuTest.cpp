#include <gtest/gtest.h>

#include "MenuTestFixture.h"
#include "ui/MenuEntry.h"
#include "ui/MenuNavigable.h"

namespace {

// An item with one navigation point given in pointer coordinates.
struct PointItem : MenuNavigable {
    explicit PointItem(Vector3 p) : point(p) {}
    Vector3 getNavigationPoint(int index) override { return index == 0 ? point : endOfPoints(); }
    Vector3 point;
};

void expectAt(const Vector3& v, float x, float y) {
    EXPECT_FLOAT_EQ(v.x, x);
    EXPECT_FLOAT_EQ(v.y, y);
}

}  // namespace

TEST(ContextMenuScoreTest, FavoursItemsInLineAndNear) {
    const Vector3 p(100, 100, 0);
    struct Case {
        Vector3 q;
        int direction;
        float expected;
    };
    const Case cases[] = {
        {{100, 110, 0}, ContextMenu::DIR_UP, 25.6f},      // straight up, 10 away: 256 / 10
        {{100, 90, 0}, ContextMenu::DIR_UP, -25.6f},      // behind
        {{100, 90, 0}, ContextMenu::DIR_DOWN, 25.6f},
        {{80, 100, 0}, ContextMenu::DIR_LEFT, 12.8f},     // 20 away
        {{110, 110, 0}, ContextMenu::DIR_RIGHT, 12.8f},   // diagonal: cos 45 / 14.14
        {{102, 102, 0}, ContextMenu::DIR_UP, -1.0f},      // under the pointer (< 4 units)
        {{100, 100.5f, 0}, ContextMenu::DIR_NEAREST, 256.0f},
        {{100, 132, 0}, ContextMenu::DIR_NEAREST, 8.0f},
    };
    for (const Case& c : cases) EXPECT_NEAR(ContextMenu::score(p, c.q, c.direction), c.expected, 1e-3f) << c.direction;
}

TEST_F(MenuTest, FindNextItemTakesTheBestScoringCandidate) {
    ContextMenu menu;
    auto* near = new PointItem({400, 300, 0});
    auto* far = new PointItem({400, 400, 0});
    auto* side = new PointItem({600, 240, 0});
    menu.appendItem(far);
    menu.appendItem(near);
    menu.appendItem(side);
    const Vector3 p(400, 240, 0);
    expectAt(menu.findNextItem(p, ContextMenu::DIR_UP), 400, 300);
    expectAt(menu.findNextItem(p, ContextMenu::DIR_RIGHT), 600, 240);
    // Nothing below or to the left: the pointer stays.
    expectAt(menu.findNextItem(p, ContextMenu::DIR_DOWN), 400, 240);
    expectAt(menu.findNextItem(p, ContextMenu::DIR_LEFT), 400, 240);
    // Hidden items are skipped.
    near->bHidden = true;
    expectAt(menu.findNextItem(p, ContextMenu::DIR_UP), 400, 400);
}

TEST_F(MenuTest, PointsOnTheScreenEdgeAreNotCandidates) {
    ContextMenu menu;
    menu.appendItem(new PointItem({400, 0, 0}));    // y = 0 is off the screen
    menu.appendItem(new PointItem({800, 240, 0}));  // x = layout width is off the screen
    const Vector3 p(400, 240, 0);
    expectAt(menu.findNextItem(p, ContextMenu::DIR_DOWN), 400, 240);
    expectAt(menu.findNextItem(p, ContextMenu::DIR_RIGHT), 400, 240);
    menu.appendItem(new PointItem({400, 480, 0}));  // y = layout height is on it
    expectAt(menu.findNextItem(p, ContextMenu::DIR_UP), 400, 480);
}

TEST_F(MenuTest, EqualScoresKeepTheEarlierItem) {
    ContextMenu menu;
    menu.appendItem(new PointItem({300, 340, 0}));
    menu.appendItem(new PointItem({500, 340, 0}));
    expectAt(menu.findNextItem(Vector3(400, 240, 0), ContextMenu::DIR_UP), 300, 340);
}

TEST_F(MenuTest, DeletedItemsLeaveTheNavigationList) {
    ContextMenu menu;
    auto* item = new PointItem({400, 300, 0});
    menu.appendItem(item);
    menu.appendItem(new PointItem({400, 400, 0}));
    menu.removeChild(item);
    delete item;
    expectAt(menu.findNextItem(Vector3(400, 240, 0), ContextMenu::DIR_UP), 400, 400);
    EXPECT_EQ(menu.navigation.countChildren(), 1);
}

TEST_F(MenuTest, ItemsOfAContentOwnerAreNavigatedThere) {
    ContextMenu owner, page;
    page.pContentOwner = &owner;
    page.appendItem(new PointItem({400, 300, 0}));
    EXPECT_EQ(page.countChildren(), 1);
    EXPECT_EQ(page.navigation.countChildren(), 0);
    EXPECT_EQ(owner.navigation.countChildren(), 1);
}

TEST_F(MenuTest, UpAndRightInOneFrameMoveUpThenRight) {
    ContextMenu menu;
    menu.appendItem(new PointItem({400, 340, 0}));
    menu.appendItem(new PointItem({600, 340, 0}));
    menu.appendItem(new PointItem({600, 240, 0}));
    input()->pointer = Vector3(400, 240, 0);
    keys({200, 205});
    menu.tickContents(0, 0);
    expectAt(input()->pointer, 600, 340);
    EXPECT_EQ(ContextMenu::menuNavigationMode, ContextMenu::NAV_KEYBOARD);
    EXPECT_EQ(input()->inputMode, INPUTMODE_MOUSE);
}

TEST_F(MenuTest, JoystickDirectionsMoveLikeArrows) {
    ContextMenu menu;
    menu.appendItem(new PointItem({400, 140, 0}));
    input()->pointer = Vector3(400, 240, 0);
    keys({305});  // joystick 2 down
    menu.tickContents(0, 0);
    expectAt(input()->pointer, 400, 140);
}

TEST_F(MenuTest, KeysDoNothingForTwoFramesAfterAModeChange) {
    ContextMenu menu;
    menu.appendItem(new PointItem({400, 340, 0}));
    input()->pointer = Vector3(400, 240, 0);
    ContextMenu::menuNavigationModeFrame = qel->frameCount;
    keys({200});
    menu.tickContents(0, 0);
    expectAt(input()->pointer, 400, 240);
    keys({});
    keys({200});
    menu.tickContents(0, 0);
    expectAt(input()->pointer, 400, 340);
}

TEST_F(MenuTest, ConfirmClicksOnReleaseOnlyAfterAPressSinceActivation) {
    ContextMenu menu;
    menu.appendItem(new PointItem({400, 340, 0}));
    input()->pointer = Vector3(400, 340, 0);
    // Return went down on the screen before; this menu comes to the front while it is held.
    keys({28});
    menu.onActivate(true);
    keys({28});
    menu.tickContents(0, 0);
    keys({});
    menu.tickContents(0, 0);
    EXPECT_EQ(touchCount(), 0);
    // A full press and release after activation clicks at the pointer (after the two quiet
    // frames that follow the switch to keyboard navigation).
    keys({});
    menu.tickContents(0, 0);
    keys({28});
    menu.tickContents(0, 0);
    EXPECT_EQ(touchCount(), 0);
    keys({});
    menu.tickContents(0, 0);
    EXPECT_EQ(touchCount(), 1);
}

TEST_F(MenuTest, JoystickBackButtonClosesUnlessEscapeAsksFirst) {
    ContextMenu plain, asking;
    asking.bConfirmEscape = true;
    keys({273});
    plain.tickContents(0, 0);
    asking.tickContents(0, 0);
    EXPECT_TRUE(plain.bDone);
    EXPECT_FALSE(asking.bDone);
}

TEST_F(MenuTest, ClearPointerMovementReturnsToPointerNavigation) {
    ContextMenu menu;
    ContextMenu::setMenuNavigationMode(ContextMenu::NAV_KEYBOARD);
    input()->pointerDelta = Vector3(2, 0, 0);
    menu.tickContents(0, 0);
    EXPECT_EQ(ContextMenu::menuNavigationMode, ContextMenu::NAV_KEYBOARD);
    input()->pointerDelta = Vector3(2, 1, 0);
    menu.tickContents(0, 0);
    EXPECT_EQ(ContextMenu::menuNavigationMode, ContextMenu::NAV_POINTER);
}

TEST(ContextMenuLayoutTest, RightToLeftMirrorsTheLayoutTable) {
    ContextMenu::fillMenuLayout(true);
    EXPECT_EQ(ContextMenu::layoutInt(1), 6);
    EXPECT_EQ(ContextMenu::layoutInt(2), 34);
    EXPECT_EQ(ContextMenu::layoutInt(11), -1);
    EXPECT_FLOAT_EQ(ContextMenu::layoutSign(), -1.0f);
    ContextMenu::fillMenuLayout(false);
    EXPECT_EQ(ContextMenu::layoutInt(0), 6);
    EXPECT_EQ(ContextMenu::layoutInt(1), 4);
    EXPECT_FLOAT_EQ(ContextMenu::layoutSign(), 1.0f);
}

TEST_F(MenuTest, UnlockedEngineOutlinesEveryNavigationPoint) {
    ContextMenu menu;
    menu.appendItem(new PointItem({400, 300, 0}));
    menu.appendItem(new PointItem({400, 400, 0}));
    auto lineDraws = [&] {
        int n = 0;
        for (const std::string& call : device->callsStartingWith("DrawPrimitive 2 ")) n += call.empty() ? 0 : 1;
        return n;
    };
    device->calls.clear();
    menu.renderContents();
    EXPECT_EQ(lineDraws(), 0);
    qel->bDebugLocked = false;
    menu.renderContents();
    EXPECT_EQ(lineDraws(), 2);
}
