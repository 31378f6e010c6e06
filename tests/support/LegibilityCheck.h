#pragma once
// Reads a drawn frame as a reader would: for every text the frame's trace recorded, (a) the contrast
// between its glyphs and the pixels right around them (WCAG contrast ratio), (b) whether its box
// runs into another text, another item's box or a figure, (c) whether it is cut by the edge of the
// picture. The frame is drawn twice: once as it is and once with the texts hidden (their shadows
// and rims still drawn), so the glyph pixels are exactly those that differ and what lies around
// them is what the reader sees there.
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
    // Free space a text keeps from other texts and foreign boxes, and from the picture's edge, in
    // layout units.
    float gap = 2.0f;
    float edgeMargin = 8.0f;
    // How far around the glyphs the surroundings are read, in layout units.
    float ringWidth = 2.0f;
};

struct LegibilityFault {
    enum Kind { CONTRAST, OVERLAP, CUT, INVISIBLE } kind = CONTRAST;
    WString text;
    double figure = 0;      // contrast ratio; overlap or cut in pixels
    double required = 0;    // the contrast asked for
    std::string other;      // what it overlaps or where it is cut
    PixelBox box;           // the glyphs' box
    std::string describe(const std::string& screen, const std::string& language) const;
};

// The measurements of one text, also for texts that pass.
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
    std::vector<uint32_t> shown, behind;
    int width = 0, height = 0;
    PixelBox picture;
    LegibilityFrame frame() const;
};
// Runs 'draw' (a whole frame: clear, draw, end the scene) with a trace on, then again with the texts
// hidden, reading the back buffer after each. The picture is the graphics' viewport.
TracedFrame traceFrame(QelGraphics* graphics, const std::function<void()>& draw);
