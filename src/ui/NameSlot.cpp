#include "ui/NameSlot.h"

#include "ui/AppLink.h"
#include "ui/FontAccess.h"
#include "ui/FrameSkin.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/Quad.h"
#include "media/TextTrace.h"

NameSlot::NameSlot(float x, float y, float z, float width, float height, WStringView caption)
    : caption(caption), width(width), height(height) {
    position = Vector3(x, y, z);
    if (qel && qel->pResourceManager) {
        auto* frame = new FrameSkin(
            FrameSkin::sourceQuad(qel->pResourceManager->find(true, u"gui-game-square:0"), u"gui-game-square:0"));
        frame->setRect(20, 20, 20, 20);
        frame->setSize(width, height);
        pSkin = frame;
        bOwnsSkin = true;
    }
    updateXform();
}

void NameSlot::render() {
    if (bHidden) return;
    Renderable::render();
    // The panel is opaque: the picture's figures beneath it do not show.
    if (TextTrace::active && pSkin) TextTrace::cover(worldXform, WorldRect{-width / 2.0f, height / 2.0f, width / 2.0f, -height / 2.0f});
    Renderable at;
    at.position = Vector3(position.x, position.y + height / 2.0f - 30.0f, position.z);
    at.color = 0xFF808080;
    at.updateXform();
    FontAccess::drawAligned(AppLink::fontMedium(), &at, 0x14, caption);
}
