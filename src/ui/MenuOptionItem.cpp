#include "ui/MenuOptionItem.h"

#include "ui/AppLink.h"
#include "ui/FontAccess.h"
#include "engine/Qel.h"
#include "media/QelInput.h"

MenuOptionItem::MenuOptionItem(float x, float y, float z, WStringView caption, WStringView hint, uint8_t* option)
    : MenuItem(x, y, z, caption, hint), pOption(option) {
    setWidth(50);
}

void MenuOptionItem::update(double time, double dt) {
    MenuItem::update(time, dt);
    QelInput* in = qel ? qel->pQelInput : nullptr;
    if (bHovered && !bDisabled && in && in->isAnyTouchPressed()) {
        if (pOption) *pOption = *pOption ? 0 : 1;
        onClick();
    }
}

void MenuOptionItem::render() {
    MenuItem::render();
    if (bHidden || !pOption || !*pOption) return;
    Renderable at;
    at.position = position;
    at.scale = scale;
    at.color = captionColour;
    at.updateXform();
    FontAccess::drawAligned(AppLink::fontMedium(), &at, 20, u"\x01");
}
