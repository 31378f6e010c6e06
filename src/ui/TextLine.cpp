#include "ui/TextLine.h"

#include "ui/TextRun.h"
#include "engine/Logger.h"
#include "engine/Qel.h"

namespace {
int hexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}
}  // namespace

bool TextLine::parseMark(WStringView mark, uint32_t& colour) {
    // "{%08x}": an opening brace, then up to eight hexadecimal digits (at least one).
    if (mark.empty() || mark[0] != u'{') return false;
    uint32_t v = 0;
    size_t digits = 0;
    for (size_t i = 1; i < mark.size() && digits < 8; ++i, ++digits) {
        int d = hexDigit(mark[i]);
        if (d < 0) break;
        v = v * 16 + uint32_t(d);
    }
    if (digits == 0) return false;
    colour = v == DEFAULT_COLOUR ? DEFAULT_COLOUR : (v | 0xFF000000u);
    return true;
}

TextLine::TextLine(FontQuad* font, uint32_t colour, WStringView text) {
    uint32_t c = colour;
    if (text.empty()) {
        addChild(new TextRun(font, c, u""));
    } else {
        WString rest(text);
        // Text that is not a readable mark stays in the line as plain characters; a line may come
        // from outside the program (a server's reply, a typed name).
        WString piece;
        while (!rest.empty()) {
            size_t p = rest.find(MARK);
            if (p == WString::npos) {
                piece += rest;
                rest.clear();
                break;
            }
            piece += rest.substr(0, p);
            rest.erase(0, p + 1);
            WString mark = rest.substr(0, 8);
            uint32_t next = 0;
            if (!parseMark(mark, next)) {
                qelLog(u"TextLine::TextLine", u"Couldn't extract markup from line '%s'; shown as text.", mark);
                continue;
            }
            rest.erase(0, mark.size());
            if (!piece.empty()) addChild(new TextRun(font, c, piece));
            piece.clear();
            c = next;
        }
        if (!piece.empty()) addChild(new TextRun(font, c, piece));
    }
    for (BasicLink* run = firstChild; run; run = run->next) width += static_cast<TextRun*>(run)->width;
    endColour = c;
}

TextLine::~TextLine() = default;
