#include <gtest/gtest.h>

#include "InputTestFixture.h"
#include "media/TouchPoint.h"

using TouchPointTest = InputTestFixture;

TEST_F(TouchPointTest, ClickBetweenFramesIsPressedThenTappedThenGone) {
    makeInput();
    input->onWindowMouseDown(100, 200, 0);
    input->onWindowMouseUp(100, 200, 0);
    TouchPoint* touch = input->getTouch(0);
    ASSERT_NE(touch, nullptr);
    EXPECT_EQ(touch->tag, -1);
    EXPECT_EQ(touch->pressFrame, env.frameCount + 1);

    frame();
    EXPECT_TRUE(touch->bPressed);
    EXPECT_TRUE(input->isTouchPressed(0));
    EXPECT_TRUE(input->isAnyTouchPressed());
    EXPECT_EQ(touch->layoutStart, Vector3(100, 280, 0));
    frame();
    EXPECT_FALSE(touch->bPressed);
    EXPECT_TRUE(touch->bReleased);
    EXPECT_TRUE(touch->bTapped);
    EXPECT_EQ(touch->state, TOUCH_RELEASED);
    frame();
    EXPECT_EQ(input->getTouch(0), nullptr);
}

TEST_F(TouchPointTest, DragsOfMoreThan20PixelsAreNotTaps) {
    const struct {
        int distance;
        bool dragging;
    } cases[] = {{25, true}, {15, false}, {20, false}, {21, true}};
    for (const auto& c : cases) {
        makeInput();
        input->onWindowMouseDown(100, 100, 0);
        frame();
        frame();
        TouchPoint* touch = input->getTouch(0);
        ASSERT_TRUE(touch && touch->bHeld);
        input->onWindowMouseMove(100 + c.distance, 100);
        frame();
        EXPECT_EQ(touch->bDragging, c.dragging) << c.distance;
        input->onWindowMouseMove(100, 100);  // coming back does not undo a drag
        input->onWindowMouseUp(100, 100, 0);
        frame();
        EXPECT_TRUE(touch->bReleased);
        EXPECT_EQ(touch->bTapped, !c.dragging) << c.distance;
        input.reset();
    }
}

TEST_F(TouchPointTest, AFingerNeverTakesTheMouseContact) {
    makeInput();
    input->onWindowMouseDown(50, 50, 0);
    TouchPoint* mouse = input->getTouch(0);
    ASSERT_TRUE(mouse && mouse->bMouse && mouse->tag == 0);
    EXPECT_EQ(input->findTouchByTag(0), nullptr);

    // A finger whose id is also 0 starts a contact of its own and leaves the mouse's alone.
    input->onWindowTouchDown(0, 300, 300);
    EXPECT_EQ(input->inputMode, INPUTMODE_TOUCH);
    TouchPoint* finger = input->findTouchByTag(0);
    ASSERT_NE(finger, nullptr);
    EXPECT_NE(finger, mouse);
    EXPECT_EQ(mouse->releaseFrame, -1);
    EXPECT_EQ(mouse->tag, 0);
    input->onWindowTouchMove(0, 310, 300);
    EXPECT_EQ(mouse->raw, Vector3(50, 50, 0));
    input->onWindowTouchUp(0, 310, 300);
    EXPECT_EQ(finger->tag, -1);
    EXPECT_EQ(mouse->tag, 0);

    // And the mouse moves only its own contact, never a finger's.
    input->onWindowTouchDown(7, 400, 400);
    TouchPoint* second = input->findTouchByTag(7);
    input->onWindowMouseMove(10, 10);
    EXPECT_EQ(input->inputMode, INPUTMODE_MOUSE);
    EXPECT_EQ(second->raw, Vector3(400, 400, 0));
    EXPECT_EQ(mouse->raw, Vector3(10, 10, 0));
}

TEST_F(TouchPointTest, ASecondDownOfTheSameFingerReleasesItsOldContact) {
    makeInput();
    input->onWindowTouchDown(5, 10, 10);
    TouchPoint* first = input->getTouch(0);
    input->onWindowTouchDown(5, 20, 20);
    EXPECT_EQ(first->tag, -1);
    EXPECT_EQ(first->releaseFrame, env.frameCount + 1);
    EXPECT_EQ(input->findTouchByTag(5), input->getTouch(1));
}

TEST_F(TouchPointTest, MovesWithinOneFrameKeepTheFirstPreviousPosition) {
    makeInput();
    input->onWindowTouchDown(1, 100, 100);
    frame();
    frame();
    TouchPoint* touch = input->getTouch(0);
    env.time += 0.25;
    input->onWindowTouchMove(1, 120, 100);
    env.time += 0.25;
    input->onWindowTouchMove(1, 200, 100);
    EXPECT_EQ(touch->prevRaw, Vector3(100, 100, 0));
    EXPECT_EQ(touch->raw, Vector3(200, 100, 0));
    // Measured from the previous report, the press two frames (0.125 s) before the moves.
    EXPECT_DOUBLE_EQ(touch->moveTime - touch->prevMoveTime, 0.625);
    frame();
    EXPECT_FLOAT_EQ(touch->velocity.x, 160.0f);  // 100 layout pixels in 0.625 s
    EXPECT_FLOAT_EQ(touch->layoutDelta.x, 100.0f);
    EXPECT_EQ(input->pointer, Vector3(200, 380, 0));

    // A crawl below 10 pixels per second counts as still; velocity fades 10 frames after a move.
    env.time += 1.0;
    input->onWindowTouchMove(1, 205, 100);
    frame();
    EXPECT_EQ(touch->velocity, Vector3());
    env.time += 0.1;
    input->onWindowTouchMove(1, 255, 100);
    frame();
    EXPECT_GT(touch->velocity.x, 100.0f);
    for (int f = 0; f < 10; ++f) frame();
    EXPECT_GT(touch->velocity.x, 100.0f);
    frame();
    EXPECT_EQ(touch->velocity, Vector3());
}

TEST_F(TouchPointTest, TouchAtPointerIsATapInTheNextFrame) {
    makeInput();
    input->centerPointer();
    input->createTouchAtPointer();
    TouchPoint* touch = input->getTouch(0);
    EXPECT_EQ(touch->raw, Vector3(400, 240, 0));
    frame();
    EXPECT_TRUE(touch->bPressed);
    EXPECT_EQ(touch->layoutPos, Vector3(400, 240, 0));
    frame();
    EXPECT_TRUE(touch->bReleased);
    EXPECT_TRUE(touch->bTapped);
    frame();
    EXPECT_EQ(input->getTouch(0), nullptr);
}

TEST_F(TouchPointTest, LeftPressStartsAFreshMouseContactOtherButtonsDoNot) {
    makeInput();
    input->onWindowMouseDown(10, 10, 1);
    EXPECT_EQ(input->getTouch(0), nullptr);
    input->onWindowMouseDown(10, 10, 0);
    TouchPoint* first = input->getTouch(0);
    ASSERT_NE(first, nullptr);
    input->setTouchHandler(first);
    EXPECT_EQ(input->getTouchHandler(), first);
    input->onWindowMouseDown(20, 20, 0);  // a new press drops the old contact
    ASSERT_NE(input->getTouch(0), nullptr);
    EXPECT_EQ(input->getTouch(1), nullptr);
    EXPECT_EQ(input->getTouch(0)->startRaw, Vector3(20, 20, 0));
    EXPECT_EQ(input->getTouchHandler(), nullptr);
    input->onWindowMouseUp(20, 20, 1);  // any button's release ends the mouse contact
    EXPECT_EQ(input->getTouch(0)->tag, -1);
}
