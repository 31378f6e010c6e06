#include "platform/KeyboardDevice.h"

#include <SDL.h>

#include <cstring>

#include "platform/InputFocus.h"
#include "platform/KeyCodeTable.h"

namespace platform {

namespace {
uint8_t keyStates[256] = {};
}

bool KeyboardDevice::acquire() {
    bAcquired = hasInputFocus();
    return bAcquired;
}

bool KeyboardDevice::getDeviceState(uint8_t (&state)[256]) {
    if (!hasInputFocus()) bAcquired = false;
    if (!bAcquired) return false;
    std::memcpy(state, keyStates, sizeof keyStates);
    return true;
}

void KeyboardDevice::handleEvent(const SDL_Event& event) {
    if (event.type != SDL_KEYDOWN && event.type != SDL_KEYUP) return;
    const uint8_t dik = dikFromScancode(event.key.keysym.scancode);
    if (dik == 0) return;
    keyStates[dik] = event.type == SDL_KEYDOWN ? 0x80 : 0x00;
}

void KeyboardDevice::clearKeys() { std::memset(keyStates, 0, sizeof keyStates); }

}  // namespace platform
