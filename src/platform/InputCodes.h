#pragma once
// The input key codes: 0 none; 1-255 keyboard (DirectInput codes); 256 + 48 n (n = 0..3) joystick
// n: +0 up, +1 down, +2 left, +3 right, +16..+47 buttons 0-31; 448-451 mouse directions and
// 452-455 mouse buttons (named only; mouse buttons are read from their own arrays).

constexpr int INPUT_KEY_COUNT = 456;
constexpr int INPUT_JOYSTICK_BASE = 256;
constexpr int INPUT_JOYSTICK_KEYS = 48;
constexpr int INPUT_JOYSTICK_BUTTONS = 16;  // offset of button 0 from a joystick's base
constexpr int INPUT_MOUSE_BASE = 448;
constexpr int INPUT_MAX_JOYSTICKS = 4;
