#pragma once
// One window message as the shell's handlers take it, translated from an SDL event.

#include <cstdint>

namespace platform {

struct WindowMessage {
    enum Type : uint8_t {
        CHARACTER,     // character: one UTF-16 unit (control characters 8, 9, 13, 27 included)
        FOCUS_GAINED,
        FOCUS_LOST,
        CLOSE,
        MOUSE_DOWN,    // x, y, button: 0 left, 1 right, 2 middle
        MOUSE_UP,
        MOUSE_MOVE,    // x, y
        MOUSE_WHEEL,   // wheelDelta: 120 per notch, positive away from the user
        TOUCH_DOWN,    // x, y in client pixels, touchId
        TOUCH_MOVE,
        TOUCH_UP,
    };

    Type type = CLOSE;
    int x = 0;
    int y = 0;
    int button = 0;
    int wheelDelta = 0;
    char16_t character = 0;
    uint32_t touchId = 0;

    bool operator==(const WindowMessage&) const = default;
};

}  // namespace platform
