#pragma once
// Reads a drawn frame as a reader would: for every text the frame's trace recorded, (a) the contrast
// between its glyphs and the pixels right around them (WCAG contrast ratio), (b) whether its box
// runs into another text, another item's box or a figure (also one painted into a picture, unless
// an opaque panel hides it there), (c) whether it is cut by the edge of the picture. The frame is
// drawn three times: as it is, with the texts hidden (their shadows and rims still drawn) and with
// the texts in a key colour: the glyphs' fill is where the key colour lands, and what lies around
// it is what the reader sees there.
//
//     TracedFrame f = traceFrame(graphics, [&] { /* clear, draw the screen, end the scene */ });
//     LegibilityReport report = checkLegibility(f.trace, f.frame(), rules);
//     for (const LegibilityFault& fault : report.faults) ADD_FAILURE() << fault.describe(screen, language);

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "media/TextTrace.h"

class QelGraphics;

struct LegibilityFrame {
    int width = 0;
    int height = 0;
    const uint32_t* shown = nullptr;   // ARGB, row 0 at the top, as the device reads the back buffer
    const uint32_t* behind = nullptr;  // the same frame with the texts hidden
    const uint32_t* keyed = nullptr;   // the same frame with the texts in the key colour
    PixelBox picture;                  // the part of the back buffer the game draws in (no letterbox bars)
};

struct LegibilityRules {
    // Back-buffer pixels per layout unit (1.6 at 1280 by 1024: the 800 by 480 layout fills 1280 by 768).
    float pixelsPerUnit = 1.6f;
    double normalContrast = 4.5;
    double largeContrast = 3.0;
    // Large text: a cap height of 24 pixels at 1280 by 1024, in layout units.
    float largeCapHeight = 15.0f;
    // Share of the pixels around the glyphs that must reach the contrast.
    double passingShare = 0.8;
    // Free space a text keeps from other texts, from foreign boxes (a check box beside a caption
    // must be told apart from the caption's own) and from the picture's edge (an item's caption
    // more), in layout units.
    float gap = 1.0f;
    float itemGap = 8.0f;
    float edgeMargin = 0.5f;
    float itemEdgeMargin = 12.0f;
    // How far around the glyphs' fill the surroundings are read, in layout units.
    float ringWidth = 1.0f;
};

struct LegibilityFault {
    enum Kind { CONTRAST, OVERLAP, CUT } kind = CONTRAST;
    WString text;
    double figure = 0;      // contrast ratio; overlap or cut in pixels
    double required = 0;    // the contrast asked for
    std::string other;      // what it overlaps or where it is cut
    PixelBox box;           // the glyphs' box
    std::string describe(const std::string& screen, const std::string& language) const;
};

// The measurements of one text that shows, also for texts that pass.
struct TextReading {
    WString text;
    PixelBox ink;          // bounding box of the glyph pixels (empty when none is visible)
    int inkPixels = 0;
    double inkLuminance = 0;
    double contrast = 0;   // the contrast reached by passingShare of the surroundings
    double required = 0;
};

struct LegibilityReport {
    std::vector<TextReading> readings;
    std::vector<LegibilityFault> faults;
    // The worst contrast ratio relative to its requirement (figure / required), 0 when no text.
    double worstContrastShare() const;
};

LegibilityReport checkLegibility(const TextTrace& trace, const LegibilityFrame& frame, const LegibilityRules& rules);

// WCAG relative luminance of an sRGB colour (ARGB; alpha ignored) and the contrast ratio of two.
double relativeLuminance(uint32_t argb);
double contrastRatio(double luminanceA, double luminanceB);

std::string utf8Of(WStringView text);

// A frame drawn twice with its trace (the texts of the first drawing).
struct TracedFrame {
    TextTrace trace;
    std::vector<uint32_t> shown, behind, keyed;
    int width = 0, height = 0;
    PixelBox picture;
    LegibilityFrame frame() const;
};
// Runs 'draw' (a whole frame: clear, draw, end the scene) with a trace on, then again with the texts
// hidden and once more with them in a key colour, reading the back buffer after each. The picture
// is the graphics' viewport. The trace records the figures painted into the pictures drawn from
// 'painted', when given.
TracedFrame traceFrame(QelGraphics* graphics, const std::function<void()>& draw, const PaintedFigures* painted = nullptr);

// The figures the data generator painted into the pictures (its figures.txt: skin, the skin's width
// and height in pixels, figure, its box in those pixels), by the skins the resource manager has
// loaded under those names, in each skin's local space. A line that cannot be read or a skin that
// is not loaded is an error.
PaintedFigures loadPaintedFigures(const std::string& path, std::string& error);
