#pragma once
// A text word-wrapped to a width: one TextLine child per line, first line first. "|" forces a
// break and " " is the only soft break; the colour in effect at the end of a line starts the next.

#include "engine/QelBase.h"
#include "engine/Text.h"

class FontQuad;

class TextBlock : public QelBase {
public:
    // A line spacing below 0 means the font's line height.
    TextBlock(FontQuad* font, float maxWidth, float lineSpacing, WStringView text);
    ~TextBlock() override;

    int countLines() const { return countChildren(); }

    float width = 0.0f;
    float height = 0.0f;
    float lineSpacing;

private:
    void wrapLeftToRight(FontQuad* font, float maxWidth, WString text);
    void wrapRightToLeft(FontQuad* font, float maxWidth, WString text);
};
