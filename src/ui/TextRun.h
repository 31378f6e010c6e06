#pragma once
// A piece of a line drawn in one colour: its characters without colour marks, the colour (ARGB,
// or the value 1 for "the reader's default colour") and its width in its font.

#include <cstdint>

#include "engine/QelBase.h"
#include "engine/Text.h"

class FontQuad;

class TextRun : public QelBase {
public:
    TextRun(FontQuad* font, uint32_t colour, WStringView text);

    WString text;
    uint32_t colour;
    float width = 0.0f;
    FontQuad* font;
};
