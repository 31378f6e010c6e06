// Placing the program's window under Xvfb (no window manager): full screen covers the display
// without a frame, a window gets its frame and its client rectangle, and either way it is shown.

#include "platform/WindowPlacement.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {

struct Placed {
    int x, y, w, h;
    Uint32 flags;
};

Placed placedAfterEvents(SDL_Window* window) {
    // The X server's answers arrive as events.
    for (int i = 0; i < 10; ++i) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
    Placed p{};
    SDL_GetWindowPosition(window, &p.x, &p.y);
    SDL_GetWindowSize(window, &p.w, &p.h);
    p.flags = SDL_GetWindowFlags(window);
    return p;
}

TEST(WindowPlacement, FullScreenAndWindowedTakeTheirPlaceAndFrameInTurn) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_Rect display;
    ASSERT_EQ(SDL_GetDisplayBounds(0, &display), 0);
    // Made as the program makes it: small, at 50,50 and minimised.
    SDL_Window* window = SDL_CreateWindow("Vesk", 50, 50, 100, 100, SDL_WINDOW_OPENGL | SDL_WINDOW_MINIMIZED);
    ASSERT_NE(window, nullptr);
    const RECT whole{display.x, display.y, display.x + display.w, display.y + display.h};
    const RECT framed{display.x + 40, display.y + 30, display.x + 40 + 320, display.y + 30 + 200};
    // Each change of the full-screen state makes SDL wait for a window manager: a placement changes
    // it at most once, and not at all when the window is already where it should be.
    struct Step {
        bool fullScreen;
        RECT client;
        int fullScreenChanges;
    } steps[] = {{true, whole, 1}, {true, whole, 0}, {false, framed, 1}, {false, framed, 0}, {true, whole, 1}, {false, framed, 1}};
    for (const Step& step : steps) {
        SCOPED_TRACE(step.fullScreen ? "full screen" : "windowed");
        const int changesBefore = platform::fullScreenChangeCount();
        platform::placeWindow(window, step.fullScreen, step.client);
        EXPECT_EQ(platform::fullScreenChangeCount() - changesBefore, step.fullScreenChanges);
        const Placed p = placedAfterEvents(window);
        EXPECT_EQ(p.x, step.client.left);
        EXPECT_EQ(p.y, step.client.top);
        EXPECT_EQ(p.w, step.client.right - step.client.left);
        EXPECT_EQ(p.h, step.client.bottom - step.client.top);
        EXPECT_EQ((p.flags & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP, step.fullScreen);
        EXPECT_EQ((p.flags & SDL_WINDOW_BORDERLESS) != 0, step.fullScreen);
        EXPECT_EQ(p.flags & SDL_WINDOW_MINIMIZED, 0u);
        EXPECT_NE(p.flags & SDL_WINDOW_SHOWN, 0u);
    }
    SDL_DestroyWindow(window);
}

}  // namespace
