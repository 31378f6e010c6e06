#include "app/NameSlot.h"

#include "app/AppLink.h"
#include "app/FontAccess.h"

NameSlot::NameSlot(float x, float y, float z, float width, float height, WStringView caption)
    : caption(caption), width(width), height(height) {
    position = Vector3(x, y, z);
    // The frame is the nine-slice skin "gui-game-square:0" with borders 20 on every side, at this
    // size; it joins with the texture's skins.
    updateXform();
}

void NameSlot::render() {
    if (bHidden) return;
    Renderable::render();
    Renderable at;
    at.position = Vector3(position.x, position.y + height / 2.0f - 30.0f, position.z);
    at.color = 0xFF808080;
    at.updateXform();
    FontAccess::drawAligned(AppLink::fontMedium(), &at, 0x14, caption);
}
