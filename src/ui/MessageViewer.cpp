#include "ui/MessageViewer.h"

#include <algorithm>
#include <cmath>

#include "ui/FontAccess.h"
#include "ui/AppLink.h"
#include "ui/TextBlock.h"
#include "ui/TextLine.h"
#include "ui/TextRun.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/Renderable.h"

MessageViewer::MessageViewer() : font(AppLink::fontMedium()) {
    int layoutWidth = qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800;
    maxWidth = layoutWidth - 10;
    lineStep = -float(FontAccess::lineHeight(font));
}

MessageViewer::~MessageViewer() = default;

std::vector<WString> MessageViewer::wrap(WStringView text) const {
    std::vector<WString> out;
    TextBlock block(font, float(maxWidth), std::fabs(lineStep), text);
    // One entry per wrapped line: the runs of a line are joined again with their colour marks, so
    // a coloured word stays on its line instead of becoming a line of its own. A word wider than
    // the viewer (a binary reply has few blanks) goes on over as many lines as it needs, each cut
    // where the next character would pass the width: no line is drawn wider than the viewer.
    for (BasicLink* l = block.firstChild; l; l = l->next) {
        const bool bTooWide = static_cast<TextLine*>(l)->width > float(maxWidth);
        WString entry;
        uint32_t current = TextLine::DEFAULT_COLOUR;
        float width = 0.0f;
        auto mark = [&](uint32_t colour) {
            if (colour == current) return;
            const uint32_t rgb = colour == TextLine::DEFAULT_COLOUR ? 1u : (colour & 0xFFFFFFu);
            entry += TextLine::MARK;
            entry += format(u"{%06x}", rgb);
            current = colour;
        };
        for (BasicLink* r = l->firstChild; r; r = r->next) {
            auto* run = static_cast<TextRun*>(r);
            mark(run->colour);
            if (!bTooWide) {
                entry += run->text;
                continue;
            }
            for (size_t i = 0; i < run->text.size(); ++i) {
                const float advance = FontAccess::textWidth(font, WStringView(run->text).substr(i, 1));
                if (width > 0.0f && width + advance > float(maxWidth)) {
                    out.push_back(entry);
                    entry.clear();
                    current = TextLine::DEFAULT_COLOUR;
                    mark(run->colour);
                    width = 0.0f;
                }
                entry += run->text[i];
                width += advance;
            }
        }
        out.push_back(entry);
    }
    return out;
}

void MessageViewer::addMessage(WStringView text) {
    qelLog(u"MessageViewer::addMessage", u"> %s", WString(text));
    for (WString& entry : wrap(text)) lines.push_back(std::move(entry));
    while (int(lines.size()) > maxLines) lines.pop_front();
}

void MessageViewer::addMessages(const std::vector<WString>& texts) {
    // From the end backwards, until the messages taken fill the panel.
    size_t first = texts.size();
    int kept = 0;
    while (first > 0 && kept < maxLines) {
        --first;
        kept += int(wrap(texts[first]).size());
    }
    if (first > 0) qelLog(u"MessageViewer::addMessages", u"%d lines before these scrolled away unseen.", int(first));
    for (size_t i = first; i < texts.size(); ++i) addMessage(texts[i]);
}

std::optional<WorldRect> MessageViewer::textBox() const {
    if (lines.empty()) return std::nullopt;
    // Lines hang down from the point they are drawn at, unless the flags lift them.
    const float height = float(FontAccess::lineHeight(font));
    float first = std::trunc(position.y);
    if (textFlags & 0x10) first += height / 2.0f;
    if (textFlags & 0x20) first += height;
    const float last = first + lineStep * float(lines.size() - 1);
    float left = 0.0f, right = 0.0f;
    bool any = false;
    for (const WString& entry : lines) {
        const float width = TextLine(font, colour, entry).width;
        if (width <= 0.0f) continue;
        float x = position.x;
        if (textFlags & 0x4) x -= width / 2.0f;
        if (textFlags & 0x8) x -= width;
        left = any ? std::min(left, x) : x;
        right = any ? std::max(right, x + width) : x + width;
        any = true;
    }
    if (!any) return std::nullopt;
    return WorldRect{left, std::max(first, last), right, std::min(first, last) - height};
}

void MessageViewer::render() {
    float y = std::trunc(position.y);
    for (const WString& entry : lines) {
        TextLine line(font, colour, entry);
        float lineX = position.x;
        // The alignment applies to the whole line: centre or right-align by its full width, then
        // draw the runs left-aligned one after another.
        if (textFlags & 0x4) lineX -= line.width / 2.0f;
        if (textFlags & 0x8) lineX -= line.width;
        int runFlags = textFlags & ~0xC;
        for (BasicLink* r = line.firstChild; r; r = r->next) {
            auto* run = static_cast<TextRun*>(r);
            Renderable at;
            at.position = Vector3(lineX, y, position.z);
            at.color = run->colour == TextLine::DEFAULT_COLOUR ? colour : run->colour;
            at.updateXform();
            FontAccess::drawAligned(font, &at, runFlags, run->text);
            lineX += run->width;
        }
        y += lineStep;
    }
}
