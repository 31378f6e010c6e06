#include "platform/DirectInput.h"

#include <SDL.h>

#include "platform/JoystickDevice.h"
#include "platform/KeyboardDevice.h"

namespace platform {

namespace {
constexpr Uint32 subsystems = SDL_INIT_EVENTS | SDL_INIT_JOYSTICK;

int SDLCALL keyEventWatch(void*, SDL_Event* event) {
    KeyboardDevice::handleEvent(*event);
    return 0;
}
}  // namespace

DirectInput* DirectInput::create() {
    if (SDL_InitSubSystem(subsystems) != 0) return nullptr;
    SDL_AddEventWatch(keyEventWatch, nullptr);
    return new DirectInput();
}

DirectInput::~DirectInput() {
    SDL_DelEventWatch(keyEventWatch, nullptr);
    KeyboardDevice::clearKeys();
    SDL_QuitSubSystem(subsystems);
    // Nothing else of SDL in use (tools, tests): let SDL release what it holds (its D-Bus link).
    if (SDL_WasInit(SDL_INIT_EVERYTHING) == 0) SDL_Quit();
}

KeyboardDevice* DirectInput::createKeyboard() { return new KeyboardDevice(); }

bool DirectInput::enumGameControllers(bool (*callback)(const JoystickInstance&, void*), void* context) {
    const int count = SDL_NumJoysticks();
    if (count < 0) return false;
    for (int i = 0; i < count; ++i) {
        JoystickInstance instance;
        instance.deviceIndex = i;
        const char* name = SDL_JoystickNameForIndex(i);
        instance.productName = name ? name : "Joystick";
        instance.instanceName = instance.productName;
        if (!callback(instance, context)) break;
    }
    return true;
}

JoystickDevice* DirectInput::createJoystick(const JoystickInstance& instance) {
    auto* device = new JoystickDevice(instance.deviceIndex);
    if (device->isOpen()) return device;
    delete device;
    return nullptr;
}

}  // namespace platform
