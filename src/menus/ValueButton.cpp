#include "menus/ValueButton.h"

ValueButton::ValueButton(float x, float y, float z, uint16_t* target, uint16_t value, WStringView caption,
                         WStringView hint)
    : MenuItemButton(x, y, z, caption, hint), value(value), target(target) {}

void ValueButton::onClick() {
    bClicked = true;
    playSound(u"mouseClick", true);
    if (target) *target = value;
}
