#pragma once
// The display names of the 456 input key codes in the language in use: keyboard keys from the
// key-code table, joystick directions and buttons prefixed with the joystick's number, mouse
// directions and buttons, "<unknown>-<code>" for every code without a key of its own, and the
// empty text for code 0.

#include <functional>

#include "engine/Text.h"
#include "platform/InputCodes.h"

class KeyNames {
public:
    // Text ids of the key-name texts.
    enum : int {
        TEXT_DIK_NONE = 9,
        TEXT_DIK_UNKNOWN = 10,
        TEXT_DIK_FIRST_KEY = 11,  // DIK_ESCAPE; the keyboard keys follow in the key-code table's order
        TEXT_DIK_JOYUP = 155,     // then JOYDOWN, JOYLEFT, JOYRIGHT
        TEXT_DIK_JOYBUTTON0 = 159,
        TEXT_DIK_MOUSEUP = 191,  // then MOUSEDOWN, MOUSELEFT, MOUSERIGHT
        TEXT_DIK_MOUSEBUTTON0 = 195,
    };

    // The current language's text of a text id (Language::getText).
    using TextLookup = std::function<const char16_t*(int textId)>;

    // Rebuilds all 456 names from the start.
    static void apply(WString (&keyNames)[INPUT_KEY_COUNT], const TextLookup& getText);
};
