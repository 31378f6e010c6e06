#pragma once
// A game controller as a DirectInput device, on SDL's raw joystick API: axes scaled to the range
// asked for (0..65535 until set), hats in hundredths of a degree, buttons as 0x80 bytes. Reads
// fail while the device is not acquired, the window lacks input focus or the joystick is gone.

#include <cstdint>
#include <string>

#include "platform/DIJOYSTATE.h"

struct _SDL_Joystick;

namespace platform {

enum JoystickAxis : int { JOYAXIS_X = 0, JOYAXIS_Y = 1, JOYAXIS_COUNT = 8 };

class JoystickDevice {
public:
    // Opens the joystick at SDL's device index; isOpen() tells whether that worked.
    explicit JoystickDevice(int deviceIndex);
    ~JoystickDevice();
    JoystickDevice(const JoystickDevice&) = delete;
    JoystickDevice& operator=(const JoystickDevice&) = delete;

    bool isOpen() const { return joystick != nullptr; }
    // Sets the range of one axis; false when the joystick has no such axis.
    bool setAxisRange(int axis, int32_t minimum, int32_t maximum);
    bool acquire();
    void unacquire() { bAcquired = false; }
    // Brings SDL's joystick states up to date.
    void poll();
    bool getDeviceState(DIJOYSTATE& state);

    // The hat of SDL's bit mask in hundredths of a degree (POV_CENTERED when centred).
    static uint32_t hatToPov(uint8_t hat);

    bool bAcquired = false;

private:
    _SDL_Joystick* joystick = nullptr;
    int32_t rangeMin[JOYAXIS_COUNT];
    int32_t rangeMax[JOYAXIS_COUNT];
};

}  // namespace platform
