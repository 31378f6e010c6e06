#include <SDL.h>
#include <gtest/gtest.h>

#include "platform/Cursor.h"
#include "platform/System.h"
#include "platform/WindowInputEvents.h"

using namespace platform;

TEST(WindowInputEvents, KeyPressesMakeTheControlCharactersTextInputOmits) {
    const struct {
        SDL_Keycode sym;
        Uint32 type;
        char16_t expected;
    } cases[] = {{SDLK_BACKSPACE, SDL_KEYDOWN, 8}, {SDLK_TAB, SDL_KEYDOWN, 9},  {SDLK_RETURN, SDL_KEYDOWN, 13},
                 {SDLK_KP_ENTER, SDL_KEYDOWN, 13}, {SDLK_ESCAPE, SDL_KEYDOWN, 27}, {SDLK_a, SDL_KEYDOWN, 0},
                 {SDLK_RETURN, SDL_KEYUP, 0}};
    for (const auto& c : cases) {
        SDL_Event event{};
        event.type = c.type;
        event.key.keysym.sym = c.sym;
        EXPECT_EQ(controlCharForKey(event), c.expected) << c.sym;
    }
}

TEST(WindowInputEvents, WheelGives120PerNotch) {
    SDL_MouseWheelEvent wheel{};
    wheel.y = 1;
    EXPECT_EQ(wheelDelta(wheel), 120);
    wheel.y = -3;
    EXPECT_EQ(wheelDelta(wheel), -360);
    wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    EXPECT_EQ(wheelDelta(wheel), 360);
}

TEST(WindowInputEvents, MouseEventsMadeFromTouchAreRecognised) {
    SDL_Event event{};
    event.type = SDL_MOUSEBUTTONDOWN;
    event.button.which = SDL_TOUCH_MOUSEID;
    EXPECT_TRUE(isTouchMadeMouseEvent(event));
    event.button.which = 0;
    EXPECT_FALSE(isTouchMadeMouseEvent(event));
    event = {};
    event.type = SDL_MOUSEMOTION;
    event.motion.which = SDL_TOUCH_MOUSEID;
    EXPECT_TRUE(isTouchMadeMouseEvent(event));
    event.type = SDL_FINGERDOWN;
    EXPECT_FALSE(isTouchMadeMouseEvent(event));
}

TEST(WindowInputEvents, FingersBecomeClientPointsAndNonNegativeTags) {
    SDL_TouchFingerEvent finger{};
    finger.x = 0.5f;
    finger.y = 0.999f;
    int x = -1, y = -1;
    fingerToClient(finger, 800, 480, x, y);
    EXPECT_EQ(x, 400);
    EXPECT_EQ(y, 479);
    EXPECT_EQ(fingerTag(0), 0);
    EXPECT_EQ(fingerTag(17), 17);
    EXPECT_GE(fingerTag(-1), 0);
    EXPECT_GE(fingerTag(SDL_FingerID(1) << 40), 0);
}

TEST(Cursor, AnErrorBoxShowsTheHiddenCursor) {
    setCursorVisible(false);
    EXPECT_FALSE(isCursorVisible());
    showErrorBox("Error", "report");  // silent in tests, but the cursor comes back all the same
    EXPECT_TRUE(isCursorVisible());
}
