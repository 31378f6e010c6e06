#include "game/TextPanel.h"

#include "ui/FontAccess.h"
#include "media/Context.h"
#include "engine/Qel.h"
#include "game/Hud.h"
#include "media/QelInput.h"

namespace {
void drawTextAt(FontQuad* font, float x, float y, float z, float scale, uint32_t colour, int flags, WStringView text) {
    Renderable at;
    at.position = Vector3(x, y, z);
    at.scale = Vector3(scale, scale, 1.0f);
    at.color = colour;
    at.updateXform();
    FontAccess::drawAligned(font, &at, flags, text);
}
}  // namespace

TextPanel::TextPanel(const Vector3& at, WStringView label, uint8_t* target) : label(label), pTarget(target) {
    position = at;
    color = LABEL_COLOUR;
    bSkipVisibility = true;
    updateXform();
}

void TextPanel::update(double t, double dt) {
    Context* context = qel ? qel->pCurrentContext : nullptr;
    QelInput* in = qel ? qel->pQelInput : nullptr;
    bHover = false;
    if (context) {
        const float dx = context->pointerWorldPos[0] - position.x;
        const float dy = context->pointerWorldPos[1] - position.y;
        bHover = dx * dx + dy * dy < REACH * REACH;
    }
    if (bHover && in && in->isAnyTouchPressed()) {
        if (pTarget) *pTarget = *pTarget ? 0 : 1;
        // The press is this box's: the screen under it does not take it as well.
        in->setTouchHandler(this);
    }
    color = bHover ? HOVER_COLOUR : LABEL_COLOUR;
    Renderable::update(t, dt);
}

void TextPanel::render() {
    if (bHidden) return;
    drawTextAt(Hud::smallFont(), position.x, position.y, position.z, 1.0f, LABEL_COLOUR, 16, label);
    drawTextAt(Hud::textFont(), position.x - 12.0f, position.y - 1.0f, position.z, 0.6f, color, 20, u"\x0e");
    if (pTarget && *pTarget)
        drawTextAt(Hud::textFont(), position.x - 9.0f, position.y + 3.0f, position.z, 0.6f, color, 20, u"\x01");
}
