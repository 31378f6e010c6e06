#pragma once
// Drawing the game's art with Cairo, and laying pictures out as skins of one texture.

#include <cairo.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace datagen {

// One skin of a texture, in image pixels.
struct SkinRect {
    int left = 0, top = 0, width = 0, height = 0;
    int originAdjustX = 0, originAdjustY = 0;
};

// A figure painted into a skin (the bear of the menus' picture): the name the game's loader gives
// the skin, the skin's size, the figure's name and its ink's box in the skin's pixels (y down).
// Written beside the contact sheets for the legibility checks; the game does not read it.
struct FigureBox {
    std::string skin;
    int skinWidth = 0, skinHeight = 0;
    std::string name;
    double left = 0, top = 0, right = 0, bottom = 0;
};

// A finished texture picture: straight (not premultiplied) ARGB pixels, top row first.
struct TextureImage {
    std::string file;  // archive name, e.g. "gfx/gui/game/progressbar.tga"
    int width = 0, height = 0;
    std::vector<uint32_t> argb;
    bool hasAlpha = true;
    std::vector<SkinRect> skins;
    std::vector<FigureBox> figures;
};

// A Cairo image surface of a given size; 'draw' receives a context with (0, 0) at the top left.
class Canvas {
public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() { return context; }
    int width() const { return w; }
    int height() const { return h; }
    // The pixels as straight ARGB.
    std::vector<uint32_t> pixels();

private:
    int w, h;
    cairo_surface_t* surface;
    cairo_t* context;
};

// Lays skins out in rows (left to right, top to bottom, 2 pixels apart) on one texture whose
// size is a power of two in each direction, and draws each into its cell.
class Atlas {
public:
    using Painter = std::function<void(cairo_t* cr, int width, int height)>;

    explicit Atlas(std::string file, int maxWidth = 1024);
    // Adds a skin of the given size drawn by 'paint' (with (0, 0) at the cell's top left).
    Atlas& add(int width, int height, Painter paint, int originAdjustX = 0, int originAdjustY = 0);
    // The texture is a power of two in each direction unless 'exactSize' asks for the bounding size.
    TextureImage build(bool hasAlpha = true, bool exactSize = false) const;

private:
    struct Cell {
        SkinRect rect;
        Painter paint;
    };
    std::string file;
    int maxWidth;
    int x = 0, y = 0, rowHeight = 0, usedWidth = 0;
    std::vector<Cell> cells;
};

// Shapes and colours shared by the art.
void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r);
void setColor(cairo_t* cr, uint32_t argb);
// A vertical gradient from 'top' to 'bottom' filling the current path.
void fillVertical(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom);
// Text centred on (x, y) in the given face and pixel size.
void centredText(cairo_t* cr, const char* utf8, double x, double y, double size, const char* face = "DejaVu Sans", bool bold = true);
// A star path with 'points' tips of radius 'outer' and notches of radius 'inner'.
void starPath(cairo_t* cr, double x, double y, double outer, double inner, int points, double rotation = 0);
// A radial gradient from 'inner' at the centre to 'outer' at radius r filling the current path.
void fillRadial(cairo_t* cr, double x, double y, double r, uint32_t inner, uint32_t outer);
// A heart shape centred on (x, y) of the given size.
void heartPath(cairo_t* cr, double x, double y, double size);
// Strokes the current path in 'outline' (width w) under a fill of 'fill'.
void fillAndOutline(cairo_t* cr, uint32_t fill, uint32_t outline, double w);
// Multiplies the colour's channels by f (clamped), keeping alpha.
uint32_t shade(uint32_t argb, double f);
// Paints one skin of a finished texture with its top left at (x, y) of the current transform.
void paintSkin(cairo_t* cr, const TextureImage& t, const SkinRect& s, double x, double y);
// Paints a figure of a picture: drawn on its own first, so that its ink's box is known (added to
// 'figures' under 'name', for the skin 'skin' of w by h pixels), then onto 'cr' as it is.
void paintFigure(cairo_t* cr, std::vector<FigureBox>& figures, const std::string& skin, int w, int h, const std::string& name,
                 const std::function<void(cairo_t*)>& draw);
// The figures as lines of text: skin, skin width and height, figure, left, top, right, bottom.
std::string figureTable(const std::vector<FigureBox>& figures);
// A six-armed snow crystal of radius r centred on (x, y).
void snowCrystal(cairo_t* cr, double x, double y, double r, double lineWidth);

}  // namespace datagen
