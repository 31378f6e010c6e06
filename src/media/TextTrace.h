#pragma once
// A record of what a frame puts on screen for the reader: every line of text the fonts draw, with
// its box in back-buffer pixels, its colour and cap height, the boxes of the items and figures
// that the screens declare, the figures painted into the pictures drawn (as the trace's table of
// them gives them) and the opaque panels that cover what lies beneath. Off unless a trace is made
// active (one pointer test per line or picture drawn); legibility checks turn it on, draw a frame,
// and read the frame's pixels beside the record.
//
// A trace can also hide the texts themselves while their decorations (drop shadows, rims) are
// still drawn: a second drawing of the same frame then shows exactly what lies behind the glyphs;
// and it can draw them in a key colour, which shows where their fill lands.

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "engine/MathUtil.h"
#include "engine/Text.h"
#include "media/WorldRect.h"
#include "platform/D3DX9.h"

// A rectangle of back-buffer pixels, y down; right and bottom are exclusive.
struct PixelBox {
    float left = 0, top = 0, right = 0, bottom = 0;
    float width() const { return right - left; }
    float height() const { return bottom - top; }
    bool empty() const { return right <= left || bottom <= top; }
};

struct TracedText {
    WString text;
    WString font;
    PixelBox box;           // the line's cell: measured width by the font's line height
    uint32_t colour = 0;    // the colour the glyphs are tinted with (ARGB)
    float capHeight = 0;    // height of a capital letter in pixels
    const void* owner = nullptr;  // the item being drawn when the text was, if any
    bool bInactive = false;       // the caption of an item that cannot be used now
};

struct TracedFigure {
    WString name;
    PixelBox box;
    const void* owner = nullptr;  // texts of the same owner may lie on the figure
    bool bPainted = false;        // a figure painted into a picture (the bear of the menus' picture)
};

// A panel that hides what lies beneath it (a dialog's ground, the pale panel behind a page's rows):
// the figures recorded before it do not show where it lies.
struct TracedCover {
    PixelBox box;
    size_t figuresBefore = 0;
};

// A figure painted into a picture, in the local space of the picture's skin (units, y up).
struct PaintedFigure {
    WString name;
    WorldRect local;
};
// The figures of each picture, by the skin that draws it.
using PaintedFigures = std::unordered_map<const void*, std::vector<PaintedFigure>>;

class TextTrace {
public:
    // The trace that records, or null (the default: nothing is recorded).
    static inline TextTrace* active = nullptr;

    // Draws inside are a text's decoration (shadow, rim): never recorded, drawn even when the texts
    // are hidden.
    class Decoration {
    public:
        Decoration();
        ~Decoration();
        Decoration(const Decoration&) = delete;
        Decoration& operator=(const Decoration&) = delete;
    };
    // Texts and figures recorded inside belong to the owner (an item with its caption); an inactive
    // owner is an item that cannot be used now (a disabled button).
    class Owner {
    public:
        explicit Owner(const void* owner, bool bInactive = false);
        ~Owner();
        Owner(const Owner&) = delete;
        Owner& operator=(const Owner&) = delete;

    private:
        const void* previous;
        bool bPreviousInactive;
    };

    void clear();

    // Called by the fonts for a line laid out in the local space of 'world' (glyphs hang down from
    // y; x is the left of the line after alignment), before they draw it in 'colour', which the
    // trace may change. False: leave the line undrawn. 'capHeight' is the capitals' height in the
    // same units.
    static bool onText(const D3DXMATRIX& world, float x, float y, float width, float height, float capHeight,
                       uint32_t& colour, WStringView font, WStringView text);
    // A figure (an item's frame, a picture's shape) given in the local space of 'world'.
    static void figure(WStringView name, const D3DXMATRIX& world, const WorldRect& local);
    // A figure already in back-buffer pixels.
    static void figure(WStringView name, const PixelBox& box);
    // A skin is drawn with the world transform 'world': the figures the table gives for it are
    // recorded where they land.
    static void picture(const void* skin, const D3DXMATRIX& world);
    // A panel that hides what lies beneath it, in the local space of 'world'.
    static void cover(const D3DXMATRIX& world, const WorldRect& local);

    // A point of the local space of 'world' in back-buffer pixels through the device's current view,
    // projection and viewport.
    static Vector3 toPixels(const D3DXMATRIX& world, const Vector3& local);

    bool bHideTexts = false;
    // When not 0, the texts (not their decorations) are drawn in this colour instead of their own:
    // a key colour shows exactly where the glyphs' fill lands.
    uint32_t keyColour = 0;
    // The figures painted into pictures; not owned, may be null.
    const PaintedFigures* paintedFigures = nullptr;
    std::vector<TracedText> texts;
    std::vector<TracedFigure> figures;
    std::vector<TracedCover> covers;

private:
    PixelBox boxOf(const D3DXMATRIX& world, const WorldRect& local) const;
    int decorationDepth = 0;
    const void* currentOwner = nullptr;
    bool bOwnerInactive = false;
};
