#pragma once
// The engine's input service. Once per frame (poll) it reads the keyboard and up to four
// joysticks into one array of 456 key states, turns the window's mouse-button messages into
// button states, keeps the key-repeat timer, places the pointer in layout pixels (from the mouse
// or from the first touch point) and ages the touch points. The window's handlers feed it mouse
// moves, buttons, wheel, typed characters and touch contacts.
// The key codes are the platform's (platform/InputCodes.h).

#include <cstdint>

#include "engine/ClassRecord.h"
#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "engine/Text.h"
#include "platform/DIJOYSTATE.h"
#include "platform/InputCodes.h"

class InputEnvironment;
class TouchPoint;
namespace platform {
class DirectInput;
class KeyboardDevice;
class JoystickDevice;
struct JoystickInstance;
}  // namespace platform

enum InputMode : int {
    INPUTMODE_NONE = 0,
    INPUTMODE_MOUSE = 1,
    INPUTMODE_TOUCH = 2,
};

// The modifier combination of the last keyboard read (a code, not a bit set).
enum InputModifiers : int {
    MODIFIERS_NONE = 0,
    MODIFIERS_SHIFT = 1,
    MODIFIERS_CTRL = 2,
    MODIFIERS_ALT = 3,
    MODIFIERS_CTRL_ALT = 4,
    MODIFIERS_CTRL_SHIFT = 5,
    MODIFIERS_ALT_SHIFT = 6,
    MODIFIERS_CTRL_ALT_SHIFT = 7,
};

class QelInput {
    QEL_DECLARE_ROOT_CLASS()
public:
    // Reads its settings and opens the devices; environment null means InputEnvironment's default.
    explicit QelInput(InputEnvironment* environment = nullptr);
    virtual ~QelInput();
    virtual void onQELmodeChange(int oldMode, int newMode);

    void poll();
    // A key code newly down in this frame, or the held last key when its repeat is due; else 0.
    int pollKeyPress();
    bool wasKeyPressed(int code) const;
    bool isKeyDown(int code) const { return code >= 0 && code < INPUT_KEY_COUNT && (keys[code] & 0x80) != 0; }

    void setInputMode(int mode);
    void setPointerPosition(float x, float y, float z);
    void setPointerPosition(const Vector3& p) { setPointerPosition(p.x, p.y, p.z); }
    void centerPointer();
    void createTouchAtPointer();

    TouchPoint* getTouch(int n);
    // The live finger contact with this id; the mouse's contact is never answered.
    TouchPoint* findTouchByTag(int tag);
    bool isTouchPressed(int n);
    bool isAnyTouchPressed();
    QelBase* getTouchHandler();
    void setTouchHandler(QelBase* handler);

    Vector3 getJoystickAnalogue(int n) const;
    Vector3 getJoystickPad(int n) const;

    // Hooks of the window's mouse messages.
    void onMouseMove(int x, int y);
    void onMouseButtonDown(int button);
    void onMouseButtonUp(int button);
    void onMouseWheel(int delta);

    // The touch-point side of the window's handlers, in window client pixels. The mouse ones
    // act only in mouse mode (the mouse press first sets it); a finger contact sets touch mode.
    void onWindowMouseDown(int x, int y, int button);
    void onWindowMouseUp(int x, int y, int button);
    void onWindowMouseMove(int x, int y);
    void onWindowTouchDown(int id, int x, int y);
    void onWindowTouchMove(int id, int x, int y);
    void onWindowTouchUp(int id, int x, int y);
    void onWindowChar(char16_t c) { typedChar = c; }

    // Window client pixels to layout pixels (x from the left, y from the bottom, clamped to the
    // viewport), and back.
    Vector3 windowToLayout(const Vector3& raw);
    Vector3 layoutToWindow(const Vector3& layout);

    bool enumerateCallback(const platform::JoystickInstance& instance);
    static bool enumerateCallbackHelper(const platform::JoystickInstance& instance, void* context);

    WString keyNames[INPUT_KEY_COUNT];
    int inputMode = INPUTMODE_NONE;
    int modifiers = MODIFIERS_NONE;
    char16_t typedChar = 0;
    QelBase touchList;
    Vector3 pointer;
    Vector3 pointerDelta;
    bool bTrackKeyboard = true;
    uint8_t keys[INPUT_KEY_COUNT] = {};
    uint8_t prevKeys[INPUT_KEY_COUNT] = {};
    double repeatRate = 0.1;
    double repeatDelay = 0.25;
    double repeatTimer = 0.0;
    int lastKey = 0;
    bool bTrackJoystick = true;
    int numJoysticks = 0;
    double joystickDeadZone = 0.2;
    platform::DIJOYSTATE joyState[INPUT_MAX_JOYSTICKS] = {};
    platform::DIJOYSTATE prevJoyState[INPUT_MAX_JOYSTICKS] = {};
    WString joystickNames[INPUT_MAX_JOYSTICKS];
    uint8_t mouseButtons[4] = {};
    uint8_t prevMouseButtons[4] = {};
    int mouseButtonMsg[4] = {};
    int mouseButtonFrame[4] = {};
    int mouseX = 0;
    int mouseY = 0;
    int mouseWheel = 0;
    platform::DirectInput* dxInput = nullptr;
    platform::KeyboardDevice* keyboardDevice = nullptr;
    platform::JoystickDevice* joystickDevice[INPUT_MAX_JOYSTICKS] = {};

    InputEnvironment* env;

private:
    void readSettings();
    void moveTouch(TouchPoint* touch, int x, int y);
    void releaseTouch(TouchPoint* touch, int x, int y);
    TouchPoint* appendTouch(int tag, int x, int y, bool fromMouse);
};
