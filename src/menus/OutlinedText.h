#pragma once
// A line of text with a dark rim around it. Texts handed to the system font (player names) have
// no outline of their own, and light ones would not read on the light winter picture.

#include <cstdint>

#include "engine/Text.h"

class FontQuad;
class Renderable;
class TextLabel;

class OutlinedText {
public:
    // Rim offset in layout units and its colour; the rim's alpha follows the text's.
    static constexpr float RIM = 2.0f;
    static constexpr uint32_t RIM_COLOUR = 0xB0000000;

    // Draws the text at the renderable (its position, scale and colour) with the alignment flags.
    static void draw(FontQuad* font, Renderable* at, int flags, WStringView text);
    // Draws a label's text the same way, unless the label is hidden.
    static void draw(TextLabel* label);
};
