#include "ui/TextRun.h"

#include "ui/FontAccess.h"

TextRun::TextRun(FontQuad* font, uint32_t colour, WStringView text) : text(text), colour(colour), font(font) {
    width = FontAccess::textWidth(font, this->text);
}
