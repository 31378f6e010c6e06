#include "platform/JoystickDevice.h"

#include <SDL.h>

#include <cmath>
#include <cstring>

#include "platform/InputFocus.h"

namespace platform {

JoystickDevice::JoystickDevice(int deviceIndex) {
    joystick = SDL_JoystickOpen(deviceIndex);
    for (int a = 0; a < JOYAXIS_COUNT; ++a) {
        rangeMin[a] = 0;
        rangeMax[a] = 65535;
    }
}

JoystickDevice::~JoystickDevice() {
    if (joystick) SDL_JoystickClose(joystick);
}

bool JoystickDevice::setAxisRange(int axis, int32_t minimum, int32_t maximum) {
    if (!joystick || axis < 0 || axis >= JOYAXIS_COUNT || axis >= SDL_JoystickNumAxes(joystick)) return false;
    if (minimum >= maximum) return false;
    rangeMin[axis] = minimum;
    rangeMax[axis] = maximum;
    return true;
}

bool JoystickDevice::acquire() {
    bAcquired = joystick && SDL_JoystickGetAttached(joystick) && hasInputFocus();
    return bAcquired;
}

void JoystickDevice::poll() {
    if (joystick) SDL_JoystickUpdate();
}

uint32_t JoystickDevice::hatToPov(uint8_t hat) {
    switch (hat) {
        case SDL_HAT_UP: return 0;
        case SDL_HAT_RIGHTUP: return 4500;
        case SDL_HAT_RIGHT: return 9000;
        case SDL_HAT_RIGHTDOWN: return 13500;
        case SDL_HAT_DOWN: return 18000;
        case SDL_HAT_LEFTDOWN: return 22500;
        case SDL_HAT_LEFT: return 27000;
        case SDL_HAT_LEFTUP: return 31500;
        default: return POV_CENTERED;
    }
}

bool JoystickDevice::getDeviceState(DIJOYSTATE& state) {
    if (!joystick || !SDL_JoystickGetAttached(joystick) || !hasInputFocus()) bAcquired = false;
    if (!bAcquired) return false;

    DIJOYSTATE s;
    std::memset(&s, 0, sizeof s);
    int32_t* axes[JOYAXIS_COUNT] = {&s.lX, &s.lY, &s.lZ, &s.lRx, &s.lRy, &s.lRz, &s.rglSlider[0], &s.rglSlider[1]};
    const int numAxes = SDL_JoystickNumAxes(joystick);
    for (int a = 0; a < JOYAXIS_COUNT; ++a) {
        // SDL's -32768..32767 onto the axis range; an absent axis rests in the middle.
        const double raw = a < numAxes ? SDL_JoystickGetAxis(joystick, a) : -0.5;
        const double t = (raw + 32768.0) / 65535.0;
        *axes[a] = static_cast<int32_t>(std::lround(rangeMin[a] + t * (double(rangeMax[a]) - rangeMin[a])));
    }
    const int numHats = SDL_JoystickNumHats(joystick);
    for (int h = 0; h < 4; ++h) s.rgdwPOV[h] = h < numHats ? hatToPov(SDL_JoystickGetHat(joystick, h)) : POV_CENTERED;
    const int numButtons = SDL_JoystickNumButtons(joystick);
    for (int b = 0; b < 32 && b < numButtons; ++b) s.rgbButtons[b] = SDL_JoystickGetButton(joystick, b) ? 0x80 : 0;
    state = s;
    return true;
}

}  // namespace platform
