#pragma once
// A button that writes a fixed 16-bit value into a variable of the screen that made it: the keys
// of the on-screen keyboard. The screen clears the variable before each menu tick and reads it
// after, so the last key clicked in the tick wins.

#include <cstdint>

#include "ui/MenuItemButton.h"

class ValueButton : public MenuItemButton {
public:
    ValueButton(float x, float y, float z, uint16_t* target, uint16_t value, WStringView caption, WStringView hint);

    // Raises bClicked, plays "mouseClick" and stores the value into the target.
    void onClick() override;

    uint16_t value;
    // Not owned; may be null.
    uint16_t* target;
};
