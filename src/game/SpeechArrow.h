#pragma once
// The tutorial's hint: a framed text with an arrow whose tip is on the thing it points at. Near
// the top of the screen the arrow turns over and the frame hangs below the point; near a side the
// frame slides inwards.

#include <cstdint>

#include "engine/Text.h"
#include "media/Renderable.h"

class FrameSkin;

class SpeechArrow : public Renderable {
public:
    static constexpr uint32_t DEFAULT_COLOUR = 0xFFFFECBF;

    SpeechArrow();
    ~SpeechArrow() override;

    // Stores and measures the text (textFont); the frame takes the text's size plus 16.
    void setText(WStringView newText);
    // Puts the arrow's tip on the point, the frame above it, or below it (arrow turned over) when
    // the point lies within 64 units of the top edge; near a side edge the frame slides along to
    // stay whole on the screen, 4 units from the edge.
    virtual void pointAt(float x, float y, float z);
    // Nothing without a text: the frame, the arrow, then the text in the colour with red, green
    // and blue halved, in a solid rim of black or white (whichever stands out more from it).
    void render() override;
    // Frame and arrow in one colour.
    void setColour(uint32_t colour);

    // Whether the arrow is turned over (pointing up, the frame below).
    bool isFlipped() const { return arrow.scale.y < 0.0f; }

    WString text;
    // The frame is this renderable's own skin; the arrow a sprite of its own.
    FrameSkin* pFrame = nullptr;
    Renderable arrow;
};
