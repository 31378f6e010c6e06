#include "ui/TextBlock.h"

#include <algorithm>

#include "ui/AppText.h"
#include "ui/FontAccess.h"
#include "ui/TextLine.h"

TextBlock::TextBlock(FontQuad* font, float maxWidth, float lineSpacing, WStringView text)
    : lineSpacing(lineSpacing < 0 ? float(FontAccess::lineHeight(font)) : lineSpacing) {
    if (text.empty()) {
        addChild(new TextLine(font, TextLine::DEFAULT_COLOUR, u""));
    } else if (AppText::rightToLeft()) {
        wrapRightToLeft(font, maxWidth, u" " + WString(text));
    } else {
        wrapLeftToRight(font, maxWidth, WString(text) + u" ");
    }
    int lines = 0;
    for (BasicLink* line = firstChild; line; line = line->next, ++lines)
        width = std::max(width, static_cast<TextLine*>(line)->width);
    height = float(lines - 1) * this->lineSpacing + float(FontAccess::lineHeight(font));
}

TextBlock::~TextBlock() = default;

void TextBlock::wrapLeftToRight(FontQuad* font, float maxWidth, WString text) {
    uint32_t colour = TextLine::DEFAULT_COLOUR;
    while (!text.empty()) {
        size_t best = WString::npos;
        size_t cut = WString::npos;
        size_t from = 0;
        while (cut == WString::npos) {
            size_t candidate = std::min(text.find(u'|', from), text.find(u' ', from));
            if (candidate == WString::npos) {
                cut = text.size() - 1;
                break;
            }
            float w = FontAccess::textWidth(font, WStringView(text).substr(0, candidate));
            if (w > maxWidth) {
                cut = (best != WString::npos && best >= 1) ? best : candidate;
            } else if (text[candidate] == u' ') {
                best = candidate;
                from = candidate + 1;
            } else {
                cut = candidate;
            }
        }
        auto* line = new TextLine(font, colour, WStringView(text).substr(0, cut));
        addChild(line);
        colour = line->endColour;
        text.erase(0, cut + 1);
    }
}

void TextBlock::wrapRightToLeft(FontQuad* font, float maxWidth, WString text) {
    // The mirror image: lines are cut from the end of the text, which is where a right-to-left
    // reader starts.
    uint32_t colour = TextLine::DEFAULT_COLOUR;
    while (!text.empty()) {
        size_t best = WString::npos;
        size_t cut = WString::npos;
        size_t from = text.size() - 1;
        while (cut == WString::npos) {
            size_t bar = text.rfind(u'|', from);
            size_t blank = text.rfind(u' ', from);
            size_t candidate = bar == WString::npos ? blank : blank == WString::npos ? bar : std::max(bar, blank);
            if (candidate == WString::npos) {
                cut = 0;
                break;
            }
            float w = FontAccess::textWidth(font, WStringView(text).substr(candidate + 1));
            if (w > maxWidth) {
                cut = (best != WString::npos && best + 1 < text.size()) ? best : candidate;
            } else if (text[candidate] == u' ') {
                best = candidate;
                if (candidate == 0) {
                    cut = 0;
                    break;
                }
                from = candidate - 1;
            } else {
                cut = candidate;
            }
        }
        auto* line = new TextLine(font, colour, WStringView(text).substr(cut + 1));
        addChild(line);
        colour = line->endColour;
        text.erase(cut);
    }
}
