#include "menus/OutlinedText.h"

#include "app/FontAccess.h"
#include "app/TextLabel.h"
#include "media/Renderable.h"
#include "media/TextTrace.h"

void OutlinedText::draw(FontQuad* font, Renderable* at, int flags, WStringView text) {
    if (text.empty()) return;
    const Vector3 position = at->position;
    const uint32_t colour = at->color;
    const uint32_t rimAlpha = ((RIM_COLOUR >> 24) * (colour >> 24)) / 255;
    at->color = (RIM_COLOUR & 0x00FFFFFFu) | (rimAlpha << 24);
    static const float offsets[4][2] = {{-RIM, 0.0f}, {RIM, 0.0f}, {0.0f, -RIM}, {0.0f, RIM}};
    {
        TextTrace::Decoration rim;
        for (const auto& o : offsets) {
            at->position = Vector3(position.x + o[0], position.y + o[1], position.z);
            at->updateXform();
            FontAccess::drawAligned(font, at, flags, text);
        }
    }
    at->position = position;
    at->color = colour;
    at->updateXform();
    FontAccess::drawAligned(font, at, flags, text);
}

void OutlinedText::draw(TextLabel* label) {
    if (!label || label->bHidden) return;
    draw(label->pFont, label, label->alignment, label->text);
}
