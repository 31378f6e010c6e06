#pragma once
// The keyboard as a DirectInput device: 256 key states in DirectInput key codes (0x80 = down),
// kept from SDL's key events. Reads fail while the device is not acquired or the window lacks
// input focus; acquiring works only with focus.

#include <cstdint>

union SDL_Event;

namespace platform {

class KeyboardDevice {
public:
    KeyboardDevice() = default;
    KeyboardDevice(const KeyboardDevice&) = delete;
    KeyboardDevice& operator=(const KeyboardDevice&) = delete;

    bool acquire();
    void unacquire() { bAcquired = false; }
    // Copies the 256 key states; false (and nothing copied) when not acquired or without focus.
    bool getDeviceState(uint8_t (&state)[256]);

    // Keeps the shared key states from SDL key events (installed as an event watch by DirectInput;
    // also callable directly). Other events are ignored.
    static void handleEvent(const SDL_Event& event);
    // Releases every key (all states up).
    static void clearKeys();

    bool bAcquired = false;
};

}  // namespace platform
