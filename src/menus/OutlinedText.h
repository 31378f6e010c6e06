#pragma once
// A line of text with a rim around it. Texts handed to the system font (player names) have no
// outline of their own, and light ones would not read on the light winter picture: they get a
// light rim, a dark translucent copy of the text offset four ways. A text whose colour is fixed
// and reads too weakly on whatever lies behind it gets a solid rim instead: an opaque band all
// round its glyphs in the colour that stands out most from the text's.

#include <cstdint>

#include "engine/Text.h"

class FontQuad;
class Renderable;
class TextLabel;

class OutlinedText {
public:
    // The light rim's offset in layout units and its colour; a rim's alpha follows the text's.
    static constexpr float RIM = 2.0f;
    static constexpr uint32_t RIM_COLOUR = 0xB0000000;

    // Draws the text at the renderable (its position, scale and colour) with the alignment flags,
    // with the light rim.
    static void draw(FontQuad* font, Renderable* at, int flags, WStringView text);
    // Draws a label's text the same way, unless the label is hidden.
    static void draw(TextLabel* label);
    // Draws the text with a solid rim of the colour, 'width' layout units wide all round the glyphs.
    static void drawSolid(FontQuad* font, Renderable* at, int flags, WStringView text, uint32_t rimColour,
                          float width = RIM);

    // Of opaque black and opaque white, the one with the higher contrast ratio to the colour (the
    // ratio of their relative luminances, each plus 0.05); the colour's alpha is ignored.
    static uint32_t contrastingRim(uint32_t colour);
};
