#include "media/QelInput.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/BasicLinkIterator.h"
#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/ObjectListEntry.h"
#include "engine/Qel.h"
#include "media/InputEnvironment.h"
#include "media/TouchPoint.h"
#include "platform/DirectInput.h"
#include "platform/JoystickDevice.h"
#include "platform/KeyCodeTable.h"
#include "platform/KeyboardDevice.h"

QEL_IMPLEMENT_CLASS(QelInput, nullptr, nullptr)

namespace {

constexpr const char16_t* section = u"QelInput";

bool down(const uint8_t* states, int code) { return (states[code] & 0x80) != 0; }

float clampUnit(float v) { return v < -1.0f ? -1.0f : v > 1.0f ? 1.0f : v; }

}  // namespace

QelInput::QelInput(InputEnvironment* environment) : env(environment ? environment : &InputEnvironment::getDefault()) {
    qelLog(u"QelInput::QelInput", u"Starting...");
    for (int n = 0; n < INPUT_MAX_JOYSTICKS; ++n) joystickNames[n] = format(u"(%d) --", n + 1);
    readSettings();

    dxInput = platform::DirectInput::create();
    QEL_ASSERT(u"QelInput::QelInput", dxInput != nullptr);
    if (bTrackKeyboard) {
        qelLog(u"QelInput::QelInput", u"Grabbing keyboard.");
        keyboardDevice = dxInput->createKeyboard();
        QEL_ASSERT(u"QelInput::QelInput", keyboardDevice != nullptr);
    }
    if (bTrackJoystick) {
        QEL_ASSERT(u"QelInput::QelInput", dxInput->enumGameControllers(enumerateCallbackHelper, this));
        if (numJoysticks == 0) qelLog(u"QelInput::QelInput", u"Did not find any joysticks.");
    }
    qelLog(u"QelInput::QelInput", u"Started.");
}

QelInput::~QelInput() {
    if (dxInput) {
        if (keyboardDevice) {
            keyboardDevice->unacquire();
            delete keyboardDevice;
            keyboardDevice = nullptr;
        }
        for (auto*& device : joystickDevice) {
            if (!device) continue;
            device->unacquire();
            delete device;
            device = nullptr;
        }
        delete dxInput;
        dxInput = nullptr;
    }
    touchList.releaseChildren();
}

void QelInput::readSettings() {
    MemoryIniFile* config = env->getConfig();
    if (!config) return;
    if (!config->hasKey(section, u"bTrackKeyboard")) config->setBool(true, section, u"bTrackKeyboard");
    bTrackKeyboard = config->getBool(section, u"bTrackKeyboard");
    if (!config->hasKey(section, u"bTrackJoystick")) config->setBool(true, section, u"bTrackJoystick");
    bTrackJoystick = config->getBool(section, u"bTrackJoystick");
    if (!config->hasKey(section, u"joystickDeadZone")) config->setDouble(0.2, section, u"joystickDeadZone");
    joystickDeadZone = config->getDouble(section, u"joystickDeadZone");
    if (!config->hasKey(section, u"repeatRate")) config->setDouble(0.1, section, u"repeatRate");
    repeatRate = config->getDouble(section, u"repeatRate");
    if (!config->hasKey(section, u"repeatDelay")) config->setDouble(0.25, section, u"repeatDelay");
    repeatDelay = config->getDouble(section, u"repeatDelay");
}

bool QelInput::enumerateCallbackHelper(const platform::JoystickInstance& instance, void* context) {
    return static_cast<QelInput*>(context)->enumerateCallback(instance);
}

bool QelInput::enumerateCallback(const platform::JoystickInstance& instance) {
    qelLog(u"QelInput::enumerateCallback", u"Enumerating joystick: %hs (%hs)", instance.instanceName, instance.productName);
    if (numJoysticks >= INPUT_MAX_JOYSTICKS) {
        qelLog(u"QelInput::enumerateCallback", u"Too many joysticks.");
        return true;
    }
    platform::JoystickDevice* device = dxInput->createJoystick(instance);
    bool ok = device != nullptr;
    if (ok && !device->setAxisRange(platform::JOYAXIS_X, -1000, 1000)) {
        qelLog(u"QelInput::enumerateCallback", u"Error: Can't set range X.");
        ok = false;
    } else if (ok && !device->setAxisRange(platform::JOYAXIS_Y, -1000, 1000)) {
        qelLog(u"QelInput::enumerateCallback", u"Error: Can't set range Y.");
        ok = false;
    }
    if (!ok) {
        // A joystick that cannot be opened (unplugged meanwhile) is dropped like one without axes.
        qelLog(u"QelInput::enumerateCallback", u"Joystick initialization failed. Removing joystick...");
        delete device;
        return true;
    }
    qelLog(u"QelInput::enumerateCallback", u"Using '%hs' as joystick %d.", instance.productName, numJoysticks);
    joystickDevice[numJoysticks] = device;
    joystickNames[numJoysticks] = format(u"(%d) %hs", numJoysticks + 1, instance.productName);
    ++numJoysticks;
    return true;
}

void QelInput::onQELmodeChange(int oldMode, int newMode) {
    if (oldMode != 3 || newMode != 2) return;  // only from running (3) to paused (2)
    touchList.releaseChildren();
    std::memset(mouseButtons, 0, sizeof mouseButtons);
    std::memset(prevMouseButtons, 0, sizeof prevMouseButtons);
}

void QelInput::poll() {
    // Key-repeat timer, on engine time (F11 speeds it up and F10 slows it down while debugging).
    if (repeatTimer <= 0) repeatTimer = repeatRate;
    double step = env->getTimeStep();
    if (!env->isDebugLocked()) {
        if (down(keys, platform::DIK_F11))
            step *= 5.0;
        else if (down(keys, platform::DIK_F10))
            step /= 10.0;
    }
    repeatTimer -= step;

    // Mouse buttons: a click completed between two frames is seen down for one frame.
    std::memcpy(prevMouseButtons, mouseButtons, sizeof mouseButtons);
    for (int b = 0; b < 4; ++b) {
        if (mouseButtonMsg[b] == 0) {
            mouseButtons[b] = 0;
        } else {
            mouseButtons[b] = 1;
            if (mouseButtonMsg[b] == 2) mouseButtonMsg[b] = 0;
        }
    }

    // The previous states are taken every frame, also without keyboard tracking: otherwise the
    // joystick codes would compare against stale states and a held button would read as new.
    std::memcpy(prevKeys, keys, sizeof keys);
    if (bTrackKeyboard && keyboardDevice) {
        uint8_t state[256];
        if (keyboardDevice->getDeviceState(state)) {
            std::memcpy(keys, state, sizeof state);
            const bool shift = down(keys, platform::DIK_LSHIFT) || down(keys, platform::DIK_RSHIFT);
            const bool ctrl = down(keys, platform::DIK_LCONTROL) || down(keys, platform::DIK_RCONTROL);
            const bool alt = down(keys, platform::DIK_LMENU) || down(keys, platform::DIK_RMENU);
            if (ctrl && alt && shift)
                modifiers = MODIFIERS_CTRL_ALT_SHIFT;
            else if (ctrl && alt)
                modifiers = MODIFIERS_CTRL_ALT;
            else if (ctrl && shift)
                modifiers = MODIFIERS_CTRL_SHIFT;
            else if (alt && shift)
                modifiers = MODIFIERS_ALT_SHIFT;
            else if (ctrl)
                modifiers = MODIFIERS_CTRL;
            else if (alt)
                modifiers = MODIFIERS_ALT;
            else if (shift)
                modifiers = MODIFIERS_SHIFT;
            else
                modifiers = MODIFIERS_NONE;
        } else {
            keyboardDevice->acquire();
        }
    }

    // Touch points.
    for (BasicLink* l = touchList.firstChild; l; l = l->next) static_cast<TouchPoint*>(l)->pInput = this;
    touchList.update(0, 0);

    // Pointer.
    const Vector3 old = pointer;
    if (inputMode == INPUTMODE_MOUSE) {
        const Vector3 p = windowToLayout(Vector3(float(mouseX), float(mouseY), 0.0f));
        pointer = Vector3(p.x, p.y, float(mouseWheel));
    } else if (inputMode == INPUTMODE_TOUCH) {
        if (TouchPoint* touch = getTouch(0)) pointer = touch->layoutPos;
    }
    pointerDelta = pointer - old;
    pointer.x = std::clamp(pointer.x, 0.0f, std::max(0.0f, env->getLayoutWidth()));
    pointer.y = std::clamp(pointer.y, 0.0f, std::max(0.0f, env->getLayoutHeight()));

    // Joysticks.
    if (!bTrackJoystick) return;
    for (int n = 0; n < numJoysticks; ++n) {
        platform::JoystickDevice* device = joystickDevice[n];
        if (!device) continue;
        prevJoyState[n] = joyState[n];
        device->poll();
        if (!device->getDeviceState(joyState[n])) {
            device->acquire();
            continue;
        }
        const Vector3 v = getJoystickPad(n) + getJoystickAnalogue(n);
        const float x = clampUnit(v.x), y = clampUnit(v.y);
        uint8_t* k = keys + INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_KEYS * n;
        k[0] = y > 0.5f ? 0x80 : 0;
        k[1] = y < -0.5f ? 0x80 : 0;
        k[2] = x < -0.5f ? 0x80 : 0;
        k[3] = x > 0.5f ? 0x80 : 0;
        for (int b = 0; b < 32; ++b) k[INPUT_JOYSTICK_BUTTONS + b] = joyState[n].rgbButtons[b];
    }
}

int QelInput::pollKeyPress() {
    for (int code = 0; code < INPUT_KEY_COUNT; ++code) {
        if (!down(keys, code) || down(prevKeys, code)) continue;
        if (code == 0) break;
        lastKey = code;
        repeatTimer = repeatDelay;
        return code;
    }
    if (lastKey > 0 && lastKey < INPUT_KEY_COUNT && down(keys, lastKey) && repeatTimer <= 0) return lastKey;
    return 0;
}

bool QelInput::wasKeyPressed(int code) const {
    if (code < 0 || code >= INPUT_KEY_COUNT) return false;
    return down(keys, code) && !down(prevKeys, code);
}

void QelInput::setInputMode(int mode) {
    if (mode == inputMode) return;
    qelLog(u"QelInput::setInputMode", u"Setting input mode to %d", mode);
    inputMode = mode;
    if (env->isDebugLocked()) env->showCursor(false);
    setPointerPosition(pointer);
    qelLog(u"QelInput::setInputMode", u"Notifying %d objects.", Qel::objectList.countChildren());
    BasicLinkIterator::forEach(&Qel::objectList, 0, [](BasicLink* entry) {
        static_cast<ObjectListEntry*>(entry)->object->onInputModeChange();
    });
}

void QelInput::setPointerPosition(float x, float y, float z) {
    pointer = Vector3(x, y, z);
    pointerDelta = Vector3();
    if (inputMode != INPUTMODE_MOUSE) return;
    const Vector3 w = layoutToWindow(pointer);
    env->setCursorPos(int(w.x), int(w.y));
}

void QelInput::centerPointer() {
    pointer = Vector3(float(int(env->getLayoutWidth()) / 2), float(int(env->getLayoutHeight()) / 2), 0.0f);
    setInputMode(INPUTMODE_TOUCH);
}

Vector3 QelInput::windowToLayout(const Vector3& raw) {
    float left, top, right, bottom;
    env->getViewport(left, top, right, bottom);
    return Vector3(remapClamped(0.0f, env->getLayoutWidth(), left, right, raw.x),
                   remapClamped(0.0f, env->getLayoutHeight(), bottom, top, raw.y), raw.z);
}

Vector3 QelInput::layoutToWindow(const Vector3& layout) {
    float left, top, right, bottom;
    env->getViewport(left, top, right, bottom);
    const float w = env->getLayoutWidth(), h = env->getLayoutHeight();
    const float tx = w != 0.0f ? layout.x / w : 0.0f;
    const float ty = h != 0.0f ? layout.y / h : 0.0f;
    return Vector3(left + tx * (right - left), bottom + ty * (top - bottom), layout.z);
}

void QelInput::createTouchAtPointer() {
    auto* touch = new TouchPoint(this);
    touch->raw = touch->startRaw = touch->prevRaw = layoutToWindow(pointer);
    touch->moveTime = touch->prevMoveTime = env->getTime();
    touch->pressFrame = touch->releaseFrame = env->getFrameCount() + 1;
    touch->tag = -1;
    touchList.addChild(touch);
}

TouchPoint* QelInput::getTouch(int n) {
    if (n < 0) return nullptr;
    for (BasicLink* l = touchList.firstChild; l; l = l->next)
        if (n-- == 0) return static_cast<TouchPoint*>(l);
    return nullptr;
}

TouchPoint* QelInput::findTouchByTag(int tag) {
    if (tag == -1) return nullptr;
    for (BasicLink* l = touchList.firstChild; l; l = l->next) {
        auto* touch = static_cast<TouchPoint*>(l);
        if (touch->tag == tag && !touch->bMouse) return touch;
    }
    return nullptr;
}

bool QelInput::isTouchPressed(int n) {
    TouchPoint* touch = getTouch(n);
    return touch && touch->bPressed;
}

bool QelInput::isAnyTouchPressed() {
    for (BasicLink* l = touchList.firstChild; l; l = l->next)
        if (static_cast<TouchPoint*>(l)->bPressed) return true;
    return false;
}

QelBase* QelInput::getTouchHandler() {
    TouchPoint* touch = getTouch(0);
    return touch ? touch->pHandler : nullptr;
}

void QelInput::setTouchHandler(QelBase* handler) {
    if (TouchPoint* touch = getTouch(0)) touch->pHandler = handler;
}

Vector3 QelInput::getJoystickAnalogue(int n) const {
    if (n < 0 || n >= numJoysticks) return Vector3();
    auto axis = [this](double a) {
        const double dz = joystickDeadZone > 0.0 ? joystickDeadZone : 0.0;  // a negative setting means none
        if (std::fabs(a) <= dz) return 0.0f;
        if (dz >= 1.0) return 0.0f;
        const double v = (a < 0 ? -1.0 : 1.0) * (std::fabs(a) - dz) / (1.0 - dz);
        return clampUnit(float(v));
    };
    return Vector3(axis(joyState[n].lX / 1000.0), axis(joyState[n].lY / -1000.0), 0.0f);
}

Vector3 QelInput::getJoystickPad(int n) const {
    if (n < 0 || n >= numJoysticks) return Vector3();
    Vector3 v;
    for (uint32_t p : joyState[n].rgdwPOV) {
        if (p <= 5999 || (p >= 30001 && p <= 41999)) v.y += 1;
        if (p >= 12001 && p <= 23999) v.y -= 1;
        if (p >= 21001 && p <= 32999) v.x -= 1;
        if (p >= 3001 && p <= 14999) v.x += 1;
    }
    return Vector3(clampUnit(v.x), clampUnit(v.y), 0.0f);
}

void QelInput::onMouseMove(int x, int y) {
    mouseX = x;
    mouseY = y;
}

void QelInput::onMouseButtonDown(int button) {
    if (button < 0 || button > 3) return;
    mouseButtonMsg[button] = 1;
    mouseButtonFrame[button] = env->getFrameCount();
}

void QelInput::onMouseButtonUp(int button) {
    if (button < 0 || button > 3) return;
    mouseButtonMsg[button] = mouseButtonFrame[button] == env->getFrameCount() ? 2 : 0;
}

void QelInput::onMouseWheel(int delta) { mouseWheel += delta; }

TouchPoint* QelInput::appendTouch(int tag, int x, int y, bool fromMouse) {
    auto* touch = new TouchPoint(this);
    touch->moveTime = touch->prevMoveTime = env->getTime();
    touch->pressFrame = env->getFrameCount() + 1;
    touch->tag = tag;
    touch->bMouse = fromMouse;
    touch->raw = touch->prevRaw = touch->startRaw = Vector3(float(x), float(y), 0.0f);
    touchList.addChild(touch);
    return touch;
}

void QelInput::moveTouch(TouchPoint* touch, int x, int y) {
    const int next = env->getFrameCount() + 1;
    if (touch->moveFrame != next) {
        touch->prevRaw = touch->raw;
        touch->prevMoveTime = touch->moveTime;
        touch->moveFrame = next;
    }
    touch->moveTime = env->getTime();
    touch->raw = Vector3(float(x), float(y), touch->raw.z);
}

void QelInput::releaseTouch(TouchPoint* touch, int x, int y) {
    touch->prevMoveTime = touch->moveTime;
    touch->moveTime = env->getTime();
    touch->releaseFrame = env->getFrameCount() + 1;
    touch->raw = Vector3(float(x), float(y), touch->raw.z);
    touch->tag = -1;
}

// The mouse's own contact while its button is down (never a finger's).
static TouchPoint* findMouseTouch(QelBase& touchList) {
    for (BasicLink* l = touchList.firstChild; l; l = l->next) {
        auto* touch = static_cast<TouchPoint*>(l);
        if (touch->bMouse && touch->tag == 0) return touch;
    }
    return nullptr;
}

void QelInput::onWindowMouseDown(int x, int y, int button) {
    setInputMode(INPUTMODE_MOUSE);
    onMouseButtonDown(button);
    if (inputMode != INPUTMODE_MOUSE || button != 0) return;
    touchList.releaseChildren();
    appendTouch(0, x, y, true);
}

void QelInput::onWindowMouseUp(int x, int y, int button) {
    onMouseButtonUp(button);
    if (inputMode != INPUTMODE_MOUSE) return;
    if (TouchPoint* touch = findMouseTouch(touchList)) releaseTouch(touch, x, y);
}

void QelInput::onWindowMouseMove(int x, int y) {
    setInputMode(INPUTMODE_MOUSE);
    onMouseMove(x, y);
    if (inputMode != INPUTMODE_MOUSE) return;
    if (TouchPoint* touch = findMouseTouch(touchList)) moveTouch(touch, x, y);
}

void QelInput::onWindowTouchDown(int id, int x, int y) {
    if (TouchPoint* old = findTouchByTag(id)) {
        old->releaseFrame = env->getFrameCount() + 1;
        old->tag = -1;
    }
    setInputMode(INPUTMODE_TOUCH);
    appendTouch(id, x, y, false);
}

void QelInput::onWindowTouchMove(int id, int x, int y) {
    if (TouchPoint* touch = findTouchByTag(id)) moveTouch(touch, x, y);
}

void QelInput::onWindowTouchUp(int id, int x, int y) {
    if (TouchPoint* touch = findTouchByTag(id)) releaseTouch(touch, x, y);
}
