#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

#include "platform/Window.h"

namespace {

using platform::WindowMessage;

SDL_Event windowEvent(uint8_t which) {
    SDL_Event e{};
    e.type = SDL_WINDOWEVENT;
    e.window.event = which;
    return e;
}

SDL_Event keyDown(SDL_Keycode sym) {
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = sym;
    return e;
}

SDL_Event button(uint32_t type, uint8_t b, int x, int y, uint32_t which = 0) {
    SDL_Event e{};
    e.type = type;
    e.button.button = b;
    e.button.x = x;
    e.button.y = y;
    e.button.which = which;
    return e;
}

SDL_Event motion(int x, int y, uint32_t which = 0) {
    SDL_Event e{};
    e.type = SDL_MOUSEMOTION;
    e.motion.x = x;
    e.motion.y = y;
    e.motion.which = which;
    return e;
}

SDL_Event wheel(int y, uint32_t direction = SDL_MOUSEWHEEL_NORMAL, uint32_t which = 0) {
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = y;
    e.wheel.direction = direction;
    e.wheel.which = which;
    return e;
}

SDL_Event finger(uint32_t type, float x, float y, SDL_FingerID id) {
    SDL_Event e{};
    e.type = type;
    e.tfinger.x = x;
    e.tfinger.y = y;
    e.tfinger.fingerId = id;
    return e;
}

SDL_Event text(const char* utf8) {
    SDL_Event e{};
    e.type = SDL_TEXTINPUT;
    std::snprintf(e.text.text, sizeof(e.text.text), "%s", utf8);
    return e;
}

WindowMessage msg(WindowMessage::Type type, int x = 0, int y = 0, int b = 0) {
    WindowMessage m;
    m.type = type;
    m.x = x;
    m.y = y;
    m.button = b;
    return m;
}

WindowMessage chr(char16_t c) {
    WindowMessage m;
    m.type = WindowMessage::CHARACTER;
    m.character = c;
    return m;
}

WindowMessage wheelMsg(int delta) {
    WindowMessage m;
    m.type = WindowMessage::MOUSE_WHEEL;
    m.wheelDelta = delta;
    return m;
}

WindowMessage touch(WindowMessage::Type type, int x, int y, uint32_t id) {
    WindowMessage m = msg(type, x, y);
    m.touchId = id;
    return m;
}

TEST(WindowMessageTest, SdlEventsBecomeTheHandlersMessages) {
    struct Row {
        const char* name;
        SDL_Event event;
        std::vector<WindowMessage> expected;
    };
    const Row rows[] = {
        {"focus gained", windowEvent(SDL_WINDOWEVENT_FOCUS_GAINED), {msg(WindowMessage::FOCUS_GAINED)}},
        {"focus lost", windowEvent(SDL_WINDOWEVENT_FOCUS_LOST), {msg(WindowMessage::FOCUS_LOST)}},
        // Minimising is not an activation change of its own: only focus events are.
        {"minimised", windowEvent(SDL_WINDOWEVENT_MINIMIZED), {}},
        {"restored", windowEvent(SDL_WINDOWEVENT_RESTORED), {}},
        {"close button", windowEvent(SDL_WINDOWEVENT_CLOSE), {msg(WindowMessage::CLOSE)}},
        {"quit", [] { SDL_Event e{}; e.type = SDL_QUIT; return e; }(), {msg(WindowMessage::CLOSE)}},
        {"text", text("a\xC3\xA9"), {chr(u'a'), chr(u'\u00e9')}},
        {"text beyond 16 bits", text("\xF0\x9F\x98\x80"), {chr(0xD83D), chr(0xDE00)}},
        {"backspace", keyDown(SDLK_BACKSPACE), {chr(8)}},
        {"tab", keyDown(SDLK_TAB), {chr(9)}},
        {"return", keyDown(SDLK_RETURN), {chr(13)}},
        {"keypad enter", keyDown(SDLK_KP_ENTER), {chr(13)}},
        {"escape", keyDown(SDLK_ESCAPE), {chr(27)}},
        {"plain key", keyDown(SDLK_a), {}},
        {"left down", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20), {msg(WindowMessage::MOUSE_DOWN, 10, 20, 0)}},
        {"right down", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_RIGHT, 1, 2), {msg(WindowMessage::MOUSE_DOWN, 1, 2, 1)}},
        {"middle up", button(SDL_MOUSEBUTTONUP, SDL_BUTTON_MIDDLE, 3, 4), {msg(WindowMessage::MOUSE_UP, 3, 4, 2)}},
        {"extra button", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_X1, 3, 4), {}},
        {"negative position", motion(-5, -7), {msg(WindowMessage::MOUSE_MOVE, -5, -7)}},
        {"touch-made press", button(SDL_MOUSEBUTTONDOWN, SDL_BUTTON_LEFT, 10, 20, SDL_TOUCH_MOUSEID), {}},
        {"touch-made move", motion(1, 1, SDL_TOUCH_MOUSEID), {}},
        {"wheel up", wheel(1), {wheelMsg(120)}},
        {"wheel down two", wheel(-2), {wheelMsg(-240)}},
        {"wheel flipped", wheel(1, SDL_MOUSEWHEEL_FLIPPED), {wheelMsg(-120)}},
        {"sideways wheel", wheel(0), {}},
        {"finger down", finger(SDL_FINGERDOWN, 0.5f, 0.25f, 7), {touch(WindowMessage::TOUCH_DOWN, 400, 120, 7)}},
        {"finger move", finger(SDL_FINGERMOTION, 0.0f, 1.0f, 7), {touch(WindowMessage::TOUCH_MOVE, 0, 480, 7)}},
        {"finger up", finger(SDL_FINGERUP, 0.999f, 0.5f, 8), {touch(WindowMessage::TOUCH_UP, 799, 240, 8)}},
    };
    for (const Row& row : rows) EXPECT_EQ(platform::translateEvent(row.event, 800, 480), row.expected) << row.name;
}

}  // namespace

namespace {

TEST(WindowMessageTest, WaitingForAMessageEndsAsSoonAsOneIsPending) {
    ASSERT_EQ(SDL_InitSubSystem(SDL_INIT_VIDEO), 0) << SDL_GetError();
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    EXPECT_FALSE(platform::waitForMessage(0));
    // Far longer than the test may take: only the pending event can end the wait in time.
    SDL_Event event{};
    event.type = SDL_USEREVENT;
    ASSERT_EQ(SDL_PushEvent(&event), 1);
    const Uint64 start = SDL_GetTicks64();
    EXPECT_TRUE(platform::waitForMessage(60000));
    EXPECT_LT(SDL_GetTicks64() - start, 30000u);
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    platform::postCloseMessage();
    EXPECT_TRUE(platform::waitForMessage(60000));
    std::vector<platform::WindowMessage> messages;
    EXPECT_TRUE(platform::pollMessages(messages));
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

}  // namespace
