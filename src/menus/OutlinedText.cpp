#include "menus/OutlinedText.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "ui/FontAccess.h"
#include "ui/TextLabel.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/Renderable.h"
#include "media/TextTrace.h"

namespace {

struct Offset {
    float x, y;
};

// Over a solid rim, the text's pixels covered less than this (of 255, at full alpha) are left to
// the rim.
constexpr DWORD kSolidRimTextAlphaCut = 0x40;

// The text in the colour at each offset from the renderable's position: the rim, a decoration of
// the text. The renderable is left as it was.
void drawCopies(FontQuad* font, Renderable* at, int flags, WStringView text, uint32_t colour, const std::vector<Offset>& offsets) {
    const Vector3 position = at->position;
    const uint32_t textColour = at->color;
    at->color = colour;
    {
        TextTrace::Decoration rim;
        for (const Offset& o : offsets) {
            at->position = Vector3(position.x + o.x, position.y + o.y, position.z);
            at->updateXform();
            FontAccess::drawAligned(font, at, flags, text);
        }
    }
    at->position = position;
    at->color = textColour;
    at->updateXform();
}

// The rim's alpha follows the text's.
uint32_t rimAlpha(uint32_t rimColour, uint32_t textColour) { return ((rimColour >> 24) * (textColour >> 24)) / 255; }

// Copies a third of the width apart filling the disc of the width: neighbours lie closer than the
// glyphs' strokes are thick, so the copies merge into one band with a round outer edge.
const std::vector<Offset>& discOffsets(float width) {
    static float madeFor = -1.0f;
    static std::vector<Offset> offsets;
    if (width != madeFor) {
        constexpr int kSteps = 3;
        const float step = width / float(kSteps);
        offsets.clear();
        for (int j = -kSteps; j <= kSteps; ++j)
            for (int i = -kSteps; i <= kSteps; ++i)
                if ((i || j) && i * i + j * j <= kSteps * kSteps) offsets.push_back({float(i) * step, float(j) * step});
        madeFor = width;
    }
    return offsets;
}

double channelLinear(uint32_t c) {
    const double s = double(c & 0xFF) / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
}

}  // namespace

void OutlinedText::draw(FontQuad* font, Renderable* at, int flags, WStringView text) {
    if (text.empty()) return;
    static const std::vector<Offset> offsets = {{-RIM, 0.0f}, {RIM, 0.0f}, {0.0f, -RIM}, {0.0f, RIM}};
    drawCopies(font, at, flags, text, (RIM_COLOUR & 0x00FFFFFFu) | (rimAlpha(RIM_COLOUR, at->color) << 24), offsets);
    FontAccess::drawAligned(font, at, flags, text);
}

void OutlinedText::draw(TextLabel* label) {
    if (!label || label->bHidden) return;
    draw(label->pFont, label, label->alignment, label->text);
}

void OutlinedText::drawSolid(FontQuad* font, Renderable* at, int flags, WStringView text, uint32_t rimColour, float width) {
    if (text.empty()) return;
    IDirect3DDevice9* device = qel && qel->pQelGraphics ? qel->pQelGraphics->dxDevice : nullptr;
    // The copies are added rather than blended by their alpha: the glyph pages' clear texels are
    // black, so where the filter mixes a glyph's edge with them its colour darkens, and over the
    // copies drawn before, a white rim would show grey seams along every copy's edge. Added, with
    // the rim's colour premultiplied by its alpha, that darkened colour is just the edge's coverage
    // of the rim's colour, and the copies merge into one even band.
    const uint32_t alpha = rimAlpha(rimColour, at->color);
    uint32_t premultiplied = alpha << 24;
    for (int shift = 0; shift < 24; shift += 8) premultiplied |= ((rimColour >> shift & 0xFFu) * alpha / 255) << shift;
    DWORD sourceBlend = D3DBLEND_SRCALPHA, alphaReference = 0;
    if (device) {
        device->GetRenderState(D3DRS_SRCBLEND, &sourceBlend);
        device->GetRenderState(D3DRS_ALPHAREF, &alphaReference);
        device->SetRenderState(D3DRS_SRCBLEND, D3DBLEND_ONE);
    }
    drawCopies(font, at, flags, text, premultiplied, discOffsets(width));
    if (device) {
        device->SetRenderState(D3DRS_SRCBLEND, sourceBlend);
        // The magnifying filter spreads each glyph's edge over two pixels at the larger pictures: its
        // faint outer part would only grey the rim right beside the glyphs. Cut off, the glyphs end
        // in the rim's own colour; the part kept still smooths the edge.
        device->SetRenderState(D3DRS_ALPHAREF, std::max<DWORD>(alphaReference, kSolidRimTextAlphaCut * (at->color >> 24) / 255));
    }
    FontAccess::drawAligned(font, at, flags, text);
    if (device) device->SetRenderState(D3DRS_ALPHAREF, alphaReference);
}

uint32_t OutlinedText::contrastingRim(uint32_t colour) {
    const double luminance =
        0.2126 * channelLinear(colour >> 16) + 0.7152 * channelLinear(colour >> 8) + 0.0722 * channelLinear(colour);
    const double onBlack = (luminance + 0.05) / 0.05;
    const double onWhite = 1.05 / (luminance + 0.05);
    return onBlack >= onWhite ? 0xFF000000u : 0xFFFFFFFFu;
}
