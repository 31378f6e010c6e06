#pragma once
// The scrolling text panel of the online wizards: each message is logged, word-wrapped to the
// layout width (a word wider than that is cut over lines) and appended as lines; the oldest lines
// drop off beyond maxLines.

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "engine/Text.h"
#include "media/WorldRect.h"

class FontQuad;

class MessageViewer : public QelBase {
public:
    MessageViewer();
    ~MessageViewer() override;

    void render() override;
    void addMessage(WStringView text);
    // Adds the messages in order, as addMessage would, but wraps and logs only those whose lines
    // stay within maxLines: a long reply costs no more than a screenful. The messages dropped
    // unseen are counted in one log line.
    void addMessages(const std::vector<WString>& texts);
    // The box the lines take on the screen as render draws them (blank lines count in the height);
    // nothing while there are none.
    std::optional<WorldRect> textBox() const;

    int maxWidth;
    int maxLines = 9;
    Vector3 position;
    float lineStep;
    uint32_t colour = 0xFFFFFFFF;
    int textFlags = 4;
    FontQuad* font;
    // Each entry is one wrapped line; colour marks are kept in it and drawn as colour changes.
    std::deque<WString> lines;

private:
    // The entries of one message: word-wrapped to maxWidth, a word wider than that cut over lines.
    std::vector<WString> wrap(WStringView text) const;
};
