#include "language/KeyNames.h"

#include "platform/KeyCodeTable.h"

static_assert(KeyNames::TEXT_DIK_FIRST_KEY + platform::KEYBOARD_KEY_ROWS == KeyNames::TEXT_DIK_JOYUP);

void KeyNames::apply(WString (&keyNames)[INPUT_KEY_COUNT], const TextLookup& getText) {
    auto text = [&getText](int id) -> WStringView {
        const char16_t* t = getText(id);
        return t ? WStringView(t) : WStringView();
    };

    const WStringView unknown = text(TEXT_DIK_UNKNOWN);
    for (int code = 0; code < INPUT_KEY_COUNT; ++code) formatTo(keyNames[code], u"%s-%d", unknown, code);
    keyNames[0].clear();

    for (int row = 0; row < platform::KEYBOARD_KEY_ROWS; ++row)
        keyNames[platform::keyCodeTable[row].dik] = WString(text(TEXT_DIK_FIRST_KEY + row));

    static constexpr const char16_t* joystickFormats[INPUT_MAX_JOYSTICKS] = {u"(1) %s", u"(2) %s", u"(3) %s", u"(4) %s"};
    for (int n = 0; n < INPUT_MAX_JOYSTICKS; ++n) {
        const int base = INPUT_JOYSTICK_BASE + INPUT_JOYSTICK_KEYS * n;
        for (int d = 0; d < 4; ++d) formatTo(keyNames[base + d], joystickFormats[n], text(TEXT_DIK_JOYUP + d));
        for (int b = 0; b < 32; ++b)
            formatTo(keyNames[base + INPUT_JOYSTICK_BUTTONS + b], joystickFormats[n], text(TEXT_DIK_JOYBUTTON0 + b));
    }

    for (int m = 0; m < 4; ++m) {
        keyNames[INPUT_MOUSE_BASE + m] = WString(text(TEXT_DIK_MOUSEUP + m));
        keyNames[INPUT_MOUSE_BASE + 4 + m] = WString(text(TEXT_DIK_MOUSEBUTTON0 + m));
    }
}
