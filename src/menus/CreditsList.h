#pragma once
// The credit lines, a screen of their own inside the credits: each added line starts below the
// bottom edge, and all rise at a constant speed, fading in near the bottom and out near the top,
// until they leave the picture and are deleted.

#include "media/Context.h"
#include "engine/MathUtil.h"
#include "engine/Text.h"

class CreditsList : public Context {
public:
    // Labels fade out over this distance below the top edge and are deleted this far above it.
    static constexpr float TOP_FADE = 50.0f;
    static constexpr float GONE_ABOVE_TOP = 64.0f;
    // The fade-in: transparent up to BOTTOM_CLEAR above the bottom edge, opaque at BOTTOM_FADE.
    static constexpr float BOTTOM_CLEAR = 40.0f;
    static constexpr float BOTTOM_FADE = 100.0f;
    static constexpr float LINE_SPACING = 1.15f;
    // Lines keep this far from the picture's left and right edges.
    static constexpr float EDGE_MARGIN = 10.0f;

    CreditsList();

    // A line in the large font, white, centred.
    void addHeading(WStringView text);
    // A blank line (both empty), a centred role (no name), or role and name on either side of a
    // gap at the centre (swapped in a right-to-left language). Lines wider than the picture are
    // narrowed to fit it, the gap staying at the centre.
    void addLine(WStringView role, WStringView name);
    // The credits of the current language.
    void fill();
    void tickContents(double total, double dt) override;

    // Half the picture's width less the edge margin: the room on either side of the centre.
    static float halfRoom();
    // The alpha (0..255) of a line at height y between the visible rectangle's top and bottom.
    static int lineAlpha(float y, float top, float bottom);

    QelBase* lines;
    Vector3 scrollVelocity{0.0f, 30.0f, 0.0f};
    float nextLineY;
};
