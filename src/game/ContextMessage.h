#pragma once
// The mascot's message: a title and lines of text in a speech bubble, with a picture where a line
// is "~" alone; tutorial pages and tips add a check box that switches such messages off. A press
// after the first quarter second closes it.

#include <vector>

#include "ui/ContextMenu.h"
#include "engine/MathUtil.h"
#include "engine/Text.h"

class Skin;
class FontQuad;
class SpeechBubble;
class TextPanel;

class ContextMessage : public ContextMenu {
public:
    static constexpr uint32_t TEXT_COLOUR = 0xFF606D80;
    // A press in the first quarter second does not close the message.
    static constexpr double CLOSE_DELAY = 0.25;

    ContextMessage();
    ~ContextMessage() override;

    // Lays the message out from the texts, the picture and the help flag; the creator calls it
    // once before pushing the message.
    void build();

    void onActivate(bool bFirst) override;
    void tickContents(double total, double dt) override;
    // The screen behind (the game for a help message), then the message.
    void renderContents() override;

    // The measures of a message: the line step (1.25 x the small font's line, truncated), and the
    // content's width and height before the bubble's margin of 50.
    struct Measures {
        int lineHeight;
        float width;
        float height;
    };
    static Measures measure(WStringView title, const std::vector<WString>& lines, float pictureHeight, bool bHelp);
    // The body split at "|".
    static std::vector<WString> splitLines(WStringView body);
    static bool isPictureLine(WStringView line) { return line == u"~"; }

    static FontQuad* titleFont();
    static FontQuad* textFont();

    WString titleText;
    WString bodyText;
    Skin* pPicture = nullptr;
    bool bHelpMessage = false;
    // The centre of the message (the origin unless the creator moves it).
    Vector3 position;
    SpeechBubble* pBubble = nullptr;
    TextPanel* pHelpToggle = nullptr;
    Measures measures{};

private:
    bool bBuilt = false;
};
