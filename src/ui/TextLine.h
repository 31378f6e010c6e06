#pragma once
// One line of text split into coloured runs (children, in text order) at colour marks: the
// character U+001E followed by "{rrggbb}". The colour after a mark is opaque, except that the
// value 1 (the reader's default colour) stays 1.

#include <cstdint>

#include "engine/QelBase.h"
#include "engine/Text.h"

class FontQuad;

class TextLine : public QelBase {
public:
    static constexpr char16_t MARK = u'\x1e';
    static constexpr uint32_t DEFAULT_COLOUR = 1;

    TextLine(FontQuad* font, uint32_t colour, WStringView text);
    ~TextLine() override;

    // Reads a mark (the eight characters after the separator) into its colour; false when it
    // cannot be read.
    static bool parseMark(WStringView mark, uint32_t& colour);

    float width = 0.0f;
    uint32_t endColour = DEFAULT_COLOUR;
};
