#include "platform/WindowInputEvents.h"

namespace platform {

char16_t controlCharForKey(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN) return 0;
    switch (event.key.keysym.sym) {
        case SDLK_BACKSPACE: return 8;
        case SDLK_TAB: return 9;
        case SDLK_RETURN:
        case SDLK_KP_ENTER: return 13;
        case SDLK_ESCAPE: return 27;
        default: return 0;
    }
}

int wheelDelta(const SDL_MouseWheelEvent& wheel) {
    const int notches = wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -wheel.y : wheel.y;
    return notches * 120;
}

bool isTouchMadeMouseEvent(const SDL_Event& event) {
    switch (event.type) {
        case SDL_MOUSEMOTION: return event.motion.which == SDL_TOUCH_MOUSEID;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: return event.button.which == SDL_TOUCH_MOUSEID;
        case SDL_MOUSEWHEEL: return event.wheel.which == SDL_TOUCH_MOUSEID;
        default: return false;
    }
}

void fingerToClient(const SDL_TouchFingerEvent& finger, int windowWidth, int windowHeight, int& x, int& y) {
    x = static_cast<int>(finger.x * static_cast<float>(windowWidth));
    y = static_cast<int>(finger.y * static_cast<float>(windowHeight));
}

int fingerTag(SDL_FingerID id) { return static_cast<int>(static_cast<uint64_t>(id) & 0x7FFFFFFFu); }

}  // namespace platform
