#pragma once
// The input system object: starts SDL's event and joystick parts, keeps the keyboard states from
// SDL's key events, makes the keyboard device and enumerates and opens joysticks.

#include <string>

namespace platform {

class KeyboardDevice;
class JoystickDevice;

struct JoystickInstance {
    int deviceIndex = 0;
    std::string instanceName;
    std::string productName;
};

class DirectInput {
public:
    // Null when SDL's event or joystick subsystem cannot start.
    static DirectInput* create();
    ~DirectInput();
    DirectInput(const DirectInput&) = delete;
    DirectInput& operator=(const DirectInput&) = delete;

    KeyboardDevice* createKeyboard();
    // Calls back once per attached joystick, in SDL's order, until the callback answers false.
    bool enumGameControllers(bool (*callback)(const JoystickInstance& instance, void* context), void* context);
    // Null when the joystick cannot be opened.
    JoystickDevice* createJoystick(const JoystickInstance& instance);

private:
    DirectInput() = default;
};

}  // namespace platform
