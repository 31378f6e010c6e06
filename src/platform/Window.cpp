#include "platform/Window.h"

#include "platform/Clock.h"
#include "platform/GlDevice.h"
#include "platform/WindowInputEvents.h"

#include <SDL.h>
#include <signal.h>

#include <cstdlib>

namespace platform {

namespace {

SDL_Window* mainWindow = nullptr;
int foregroundOverride = -1;
bool closePosted = false;
volatile sig_atomic_t closeSignal = 0;

void onCloseSignal(int) { closeSignal = 1; }

void appendUtf16(std::vector<WindowMessage>& out, const char* utf8) {
    const auto* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        uint32_t c = *p;
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (c >= 0x80 && c < 0xC0) {  // a stray continuation byte
            ++p;
            continue;
        }
        c &= extra == 0 ? 0x7F : (0x3F >> extra);
        ++p;
        bool valid = true;
        for (int i = 0; i < extra; ++i, ++p) {
            if ((*p & 0xC0) != 0x80) {
                valid = false;
                break;
            }
            c = (c << 6) | (*p & 0x3F);
        }
        if (!valid || c > 0x10FFFF) continue;
        WindowMessage m;
        m.type = WindowMessage::CHARACTER;
        if (c >= 0x10000) {
            c -= 0x10000;
            m.character = static_cast<char16_t>(0xD800 + (c >> 10));
            out.push_back(m);
            m.character = static_cast<char16_t>(0xDC00 + (c & 0x3FF));
        } else {
            m.character = static_cast<char16_t>(c);
        }
        out.push_back(m);
    }
}

WindowMessage mouse(WindowMessage::Type type, int x, int y, int button = 0) {
    WindowMessage m;
    m.type = type;
    m.x = x;
    m.y = y;
    m.button = button;
    return m;
}

}  // namespace

bool createMainWindow(const char* title, const char* className, int x, int y, int width, int height) {
    setenv("SDL_VIDEO_X11_WMCLASS", className, 0);
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    // The window's pixel format (its buffers) is chosen as it is made: the device's wishes apply.
    GlDevice::setContextAttributes();
    mainWindow = SDL_CreateWindow(title, x, y, width, height, SDL_WINDOW_OPENGL | SDL_WINDOW_MINIMIZED);
    if (!mainWindow) {
        SDL_QuitSubSystem(SDL_INIT_VIDEO);
        return false;
    }
    SDL_StartTextInput();
    return true;
}

void destroyMainWindow() {
    if (!mainWindow) return;
    SDL_DestroyWindow(mainWindow);
    mainWindow = nullptr;
    SDL_Quit();
}

SDL_Window* getMainWindow() { return mainWindow; }

bool isMainWindowForeground() {
    if (foregroundOverride >= 0) return foregroundOverride != 0;
    return mainWindow && (SDL_GetWindowFlags(mainWindow) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void setForegroundOverride(int state) { foregroundOverride = state; }

bool isTouchAvailable() { return SDL_WasInit(SDL_INIT_VIDEO) && SDL_GetNumTouchDevices() > 0; }

void postCloseMessage() { closePosted = true; }

bool pollMessages(std::vector<WindowMessage>& out) {
    if (closeSignal || closePosted) {
        closeSignal = 0;
        closePosted = false;
        out.push_back(WindowMessage{});  // CLOSE
        return true;
    }
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    SDL_Event event;
    if (!SDL_PollEvent(&event)) return false;
    if (event.type == SDL_WINDOWEVENT && event.window.event == SDL_WINDOWEVENT_SHOWN && mainWindow &&
        !(SDL_GetWindowFlags(mainWindow) & SDL_WINDOW_INPUT_FOCUS)) {
        // No window manager may be there to give the window focus: ask for it.
        SDL_SetWindowInputFocus(mainWindow);
    }
    int w = 1, h = 1;
    if (mainWindow) SDL_GetWindowSize(mainWindow, &w, &h);
    for (const WindowMessage& m : translateEvent(event, w, h)) out.push_back(m);
    return true;
}

bool waitForMessage(uint32_t timeoutMs) {
    if (closeSignal || closePosted) return true;
    if (!SDL_WasInit(SDL_INIT_VIDEO)) {
        Clock::current().sleep(timeoutMs);
        return closeSignal || closePosted;
    }
    return SDL_WaitEventTimeout(nullptr, int(timeoutMs)) == 1 || closeSignal || closePosted;
}

std::vector<WindowMessage> translateEvent(const SDL_Event& event, int clientWidth, int clientHeight) {
    std::vector<WindowMessage> out;
    auto buttonIndex = [](uint8_t sdlButton) {
        return sdlButton == SDL_BUTTON_LEFT ? 0 : sdlButton == SDL_BUTTON_RIGHT ? 1 : sdlButton == SDL_BUTTON_MIDDLE ? 2 : -1;
    };
    switch (event.type) {
        case SDL_QUIT:
            out.push_back(WindowMessage{});
            break;
        case SDL_WINDOWEVENT: {
            WindowMessage m;
            if (event.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) m.type = WindowMessage::FOCUS_GAINED;
            else if (event.window.event == SDL_WINDOWEVENT_FOCUS_LOST) m.type = WindowMessage::FOCUS_LOST;
            else if (event.window.event == SDL_WINDOWEVENT_CLOSE) m.type = WindowMessage::CLOSE;
            else break;
            out.push_back(m);
            break;
        }
        case SDL_TEXTINPUT:
            appendUtf16(out, event.text.text);
            break;
        case SDL_KEYDOWN: {
            // Text input leaves out the control characters that the game reads as typed keys.
            if (const char16_t c = controlCharForKey(event)) {
                WindowMessage m;
                m.type = WindowMessage::CHARACTER;
                m.character = c;
                out.push_back(m);
            }
            break;
        }
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            if (isTouchMadeMouseEvent(event)) break;  // made from touch: the touch events carry it
            const int b = buttonIndex(event.button.button);
            if (b < 0) break;
            out.push_back(mouse(event.type == SDL_MOUSEBUTTONDOWN ? WindowMessage::MOUSE_DOWN : WindowMessage::MOUSE_UP,
                                event.button.x, event.button.y, b));
            break;
        }
        case SDL_MOUSEMOTION:
            if (isTouchMadeMouseEvent(event)) break;
            out.push_back(mouse(WindowMessage::MOUSE_MOVE, event.motion.x, event.motion.y));
            break;
        case SDL_MOUSEWHEEL: {
            if (isTouchMadeMouseEvent(event) || event.wheel.y == 0) break;
            WindowMessage m;
            m.type = WindowMessage::MOUSE_WHEEL;
            m.wheelDelta = wheelDelta(event.wheel);
            out.push_back(m);
            break;
        }
        case SDL_FINGERDOWN:
        case SDL_FINGERMOTION:
        case SDL_FINGERUP: {
            int x = 0, y = 0;
            fingerToClient(event.tfinger, clientWidth, clientHeight, x, y);
            WindowMessage m = mouse(event.type == SDL_FINGERDOWN   ? WindowMessage::TOUCH_DOWN
                                    : event.type == SDL_FINGERUP ? WindowMessage::TOUCH_UP
                                                                 : WindowMessage::TOUCH_MOVE,
                                    x, y);
            m.touchId = static_cast<uint32_t>(fingerTag(event.tfinger.fingerId));
            out.push_back(m);
            break;
        }
        default:
            break;
    }
    return out;
}

void installCloseSignals() {
    struct sigaction action {};
    action.sa_handler = onCloseSignal;
    sigemptyset(&action.sa_mask);
    // A closed terminal or a logout (SIGHUP) ends the game like a close, with its exit save.
    for (int sig : {SIGINT, SIGTERM, SIGHUP}) sigaction(sig, &action, nullptr);
}

}  // namespace platform
