#pragma once
// The one table of keyboard keys: DirectInput key codes with the SDL scancodes that make them.
// The rows run in the order of the key-name texts (from ESCAPE to MEDIASELECT), so the names of
// the keys are written from the same rows the keyboard reads.

#include <array>
#include <cstdint>

namespace platform {

struct KeyCodeRow {
    const char* name;  // the key's name without the "DIK_" prefix
    uint8_t dik;       // DirectInput keyboard scan code
    int scancode;      // SDL_Scancode, 0 when SDL has no such key
};

constexpr int KEYBOARD_KEY_ROWS = 144;
extern const std::array<KeyCodeRow, KEYBOARD_KEY_ROWS> keyCodeTable;

// The DirectInput code of an SDL scancode, 0 when the key has none.
uint8_t dikFromScancode(int scancode);

// Codes the engine tests by name.
constexpr uint8_t DIK_ESCAPE = 0x01;
constexpr uint8_t DIK_BACK = 0x0E;
constexpr uint8_t DIK_TAB = 0x0F;
constexpr uint8_t DIK_RETURN = 0x1C;
constexpr uint8_t DIK_LCONTROL = 0x1D;
constexpr uint8_t DIK_LSHIFT = 0x2A;
constexpr uint8_t DIK_RSHIFT = 0x36;
constexpr uint8_t DIK_LMENU = 0x38;
constexpr uint8_t DIK_SPACE = 0x39;
constexpr uint8_t DIK_F10 = 0x44;
constexpr uint8_t DIK_F11 = 0x57;
constexpr uint8_t DIK_NUMPADENTER = 0x9C;
constexpr uint8_t DIK_RCONTROL = 0x9D;
constexpr uint8_t DIK_RMENU = 0xB8;
constexpr uint8_t DIK_UP = 0xC8;
constexpr uint8_t DIK_LEFT = 0xCB;
constexpr uint8_t DIK_RIGHT = 0xCD;
constexpr uint8_t DIK_DOWN = 0xD0;

}  // namespace platform
