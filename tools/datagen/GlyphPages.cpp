// Glyph pages for the engine's bitmap fonts.
//
// Each font is a run of skins, one per code-page position from its first symbol up to 255, in
// order, laid out on pages of at most 512 x 512 pixels. Every glyph skin spans the font's whole
// line from one common top line (the top of its tallest glyph, but see below) to the lowest
// descender, and is as wide as the glyph's advance. The space's skin is never used as a glyph.
// Position 0x7F holds the dotless i, the base of the accented i's. In the fonts that build
// accented letters from parts, the accents at their own positions are trimmed to their ink so
// that they can be centred over a base letter and lifted by the font's accent settings; the
// cedilla keeps the full line height (it is drawn at the top line, hanging below the base). An
// accent is drawn with its foot at a fixed distance below the top line (the font's lift), so in
// those fonts the top line is put where that foot lands just over a capital; the few glyphs that
// reach higher (letters with a caron, the precomposed accented letters the parts replace) have
// their part above the capitals pressed into the room left; the rows freed above the capitals
// are added below the descenders, so the line keeps its height. The no-break space (0xA0), which
// French puts before "!", "?" and ":", is a thin blank, narrower than a word space. Positions
// 1-10, 13 and 14 hold pictograms: check mark, cancel, left, right, up, down, the value rows' left
// and right arrows, back, next, help and the empty check box that the check mark goes into.
// Glyphs are white (outline fonts: white with a dark outline) so that text colours tint them.

#include "datagen/GlyphPages.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GLYPH_H
#include FT_STROKER_H

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <memory>
#include <string>

#include "datagen/Canvas.h"
#include "media/CodePageTable.h"

namespace datagen {

namespace {


struct FontStyle {
    const char* folder;
    const char* face;
    int pixelSize;
    double stroke;  // outline width in pixels, 0 for none
    int firstSymbol;
    bool accentParts;  // the font builds accented letters from base and accent glyphs
    // With accentParts: how far the game lowers an accent from its automatic place over a
    // capital and over a small letter (the loader's accent settings of this font).
    int accentLiftUpper, accentLiftLower;
    // Steepness of the fill's edges (1: the rasteriser's own antialiasing). The plain fonts are
    // tinted, often grey on a white panel, and drawn magnified (1.6 times at 1280 by 1024): their
    // soft edges, widened by the magnification, blend the ground beside every stroke into a grey
    // that the text hardly stands out from. Made three times steeper, the pages are nearly two-toned
    // and the magnifying filter alone smooths the edges, some two pixels wide on the screen. The
    // outline fonts keep their soft fill: their dark outline is what sets them off.
    double edgeSteepness;
};

const FontStyle kFonts[5] = {
    {"font-tiny", "DejaVuSans-Bold.ttf", 9, 0, 33, false, 0, 0, 3.0},
    {"font-small", "DejaVuSans-Bold.ttf", 12, 0, 0, false, 0, 0, 3.0},
    {"font-medium", "DejaVuSans-Bold.ttf", 18, 0, 0, true, 2, 5, 3.0},
    {"font-mediumoutline", "DejaVuSans-Bold.ttf", 18, 1.5, 0, true, 4, 7, 1.0},
    {"font-largeoutline", "DejaVuSans-Bold.ttf", 38, 3, 0, true, 6, 13, 1.0},
};

// Clear rows between the foot of an accent and the top of the capital under it.
constexpr int kAccentGap = 1;

std::string findFace(const char* file) {
    for (const char* folder : {"/usr/share/fonts/truetype/dejavu/", "/usr/share/fonts/dejavu/", "/usr/share/fonts/TTF/"}) {
        const std::string path = std::string(folder) + file;
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            return path;
        }
    }
    return {};
}

bool isAccent(char16_t c) { return c == 0x60 || c == 0xB4 || c == 0x2C6 || c == 0x2DC || c == 0xA8 || c == 0xB0 || c == 0xB8; }

// A coverage bitmap: 'fill' and 'edge' (outline) coverage 0..255, placed relative to the pen
// origin on the baseline: column 0 at x = left, row 0 at y = -top (y down from the baseline).
struct Raster {
    int left = 0, top = 0, width = 0, height = 0;
    std::vector<uint8_t> fill, edge;
    int advance = 0;
};

class Rasteriser {
public:
    Rasteriser(FT_Library lib, const std::string& path, const FontStyle& style) {
        ok = FT_New_Face(lib, path.c_str(), 0, &face) == 0 && FT_Set_Pixel_Sizes(face, 0, style.pixelSize) == 0;
        if (ok && style.stroke > 0) {
            FT_Stroker_New(lib, &stroker);
            FT_Stroker_Set(stroker, static_cast<FT_Fixed>(style.stroke * 64), FT_STROKER_LINECAP_ROUND, FT_STROKER_LINEJOIN_ROUND, 0);
        }
    }
    ~Rasteriser() {
        if (stroker) FT_Stroker_Done(stroker);
        if (face) FT_Done_Face(face);
    }
    bool valid() const { return ok; }

    Raster render(char16_t c) {
        Raster r;
        const FT_UInt index = FT_Get_Char_Index(face, c);
        if (index == 0 || FT_Load_Glyph(face, index, FT_LOAD_NO_BITMAP | FT_LOAD_TARGET_LIGHT) != 0) return r;
        r.advance = static_cast<int>(std::lround(face->glyph->advance.x / 64.0));
        FT_Glyph glyph;
        if (FT_Get_Glyph(face->glyph, &glyph) != 0) return r;
        FT_Glyph edgeGlyph = nullptr;
        if (stroker) {
            FT_Glyph_Copy(glyph, &edgeGlyph);
            FT_Glyph_StrokeBorder(&edgeGlyph, stroker, 0, 1);
            FT_Glyph_To_Bitmap(&edgeGlyph, FT_RENDER_MODE_NORMAL, nullptr, 1);
        }
        FT_Glyph_To_Bitmap(&glyph, FT_RENDER_MODE_NORMAL, nullptr, 1);
        auto* fillBitmap = reinterpret_cast<FT_BitmapGlyph>(glyph);
        auto* edgeBitmap = reinterpret_cast<FT_BitmapGlyph>(edgeGlyph);
        // The union of both bitmaps' boxes.
        int x0 = fillBitmap->left, y0 = -fillBitmap->top;
        int x1 = x0 + static_cast<int>(fillBitmap->bitmap.width), y1 = y0 + static_cast<int>(fillBitmap->bitmap.rows);
        if (edgeBitmap && edgeBitmap->bitmap.width > 0) {
            x0 = std::min(x0, edgeBitmap->left);
            y0 = std::min(y0, -edgeBitmap->top);
            x1 = std::max(x1, edgeBitmap->left + static_cast<int>(edgeBitmap->bitmap.width));
            y1 = std::max(y1, -edgeBitmap->top + static_cast<int>(edgeBitmap->bitmap.rows));
        }
        r.left = x0;
        r.top = -y0;
        r.width = std::max(0, x1 - x0);
        r.height = std::max(0, y1 - y0);
        r.fill.assign(static_cast<size_t>(r.width) * r.height, 0);
        r.edge.assign(r.fill.size(), 0);
        auto blit = [&r, x0, y0](FT_BitmapGlyph g, std::vector<uint8_t>& to) {
            for (unsigned row = 0; row < g->bitmap.rows; ++row)
                for (unsigned col = 0; col < g->bitmap.width; ++col) {
                    const int x = g->left + static_cast<int>(col) - x0, y = -g->top + static_cast<int>(row) - y0;
                    to[static_cast<size_t>(y) * r.width + x] = g->bitmap.buffer[row * g->bitmap.pitch + col];
                }
        };
        blit(fillBitmap, r.fill);
        if (edgeBitmap) blit(edgeBitmap, r.edge);
        FT_Done_Glyph(glyph);
        if (edgeGlyph) FT_Done_Glyph(edgeGlyph);
        return r;
    }

    int capHeight() {
        const Raster h = render(u'H');
        return h.top;
    }

private:
    FT_Face face = nullptr;
    FT_Stroker stroker = nullptr;
    bool ok = false;
};

// Presses the part of a raster above 'floor' (pixels above the baseline) into the rows up to
// 'top', so that the glyph's ink stays below that line; each new row averages the rows it covers.
void pressUnder(Raster& r, int top, int floor) {
    if (r.top <= top || r.height == 0) return;
    floor = std::clamp(floor, r.top - r.height, top - 1);
    const int from = r.top - floor;  // raster rows above the floor
    const int to = top - floor;      // the rows they get
    const int rest = r.height - from;
    Raster out = r;
    out.top = top;
    out.height = to + rest;
    out.fill.assign(static_cast<size_t>(out.width) * out.height, 0);
    out.edge.assign(out.fill.size(), 0);
    const double step = static_cast<double>(from) / to;
    for (int y = 0; y < to; ++y) {
        const double y0 = y * step, y1 = (y + 1) * step;
        for (int x = 0; x < r.width; ++x) {
            double fill = 0, edge = 0;
            for (int k = static_cast<int>(y0); k < static_cast<int>(std::ceil(y1)); ++k) {
                const double share = std::min<double>(k + 1, y1) - std::max<double>(k, y0);
                fill += share * r.fill[static_cast<size_t>(k) * r.width + x];
                edge += share * r.edge[static_cast<size_t>(k) * r.width + x];
            }
            // The average, strengthened so that thin strokes pressed together stay visible.
            out.fill[static_cast<size_t>(y) * r.width + x] = static_cast<uint8_t>(std::min(255.0, std::round(fill / step * 1.5)));
            out.edge[static_cast<size_t>(y) * r.width + x] = static_cast<uint8_t>(std::min(255.0, std::round(edge / step * 1.5)));
        }
    }
    for (int y = 0; y < rest; ++y)
        for (int x = 0; x < r.width; ++x) {
            out.fill[static_cast<size_t>(to + y) * r.width + x] = r.fill[static_cast<size_t>(from + y) * r.width + x];
            out.edge[static_cast<size_t>(to + y) * r.width + x] = r.edge[static_cast<size_t>(from + y) * r.width + x];
        }
    r = std::move(out);
}

// Rows of a raster whose painted coverage (fill over outline) is at least half: the first such
// row from the top, and the last; -1 when there is none.
std::pair<int, int> solidRows(const Raster& r) {
    int first = -1, last = -1;
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const size_t i = static_cast<size_t>(y) * r.width + x;
            const int f = r.fill[i], e = r.edge[i];
            if (f + e * (255 - f) / 255 > 128) {
                if (first < 0) first = y;
                last = y;
                break;
            }
        }
    return {first, last};
}

// The top line of a font that builds accented letters. An accent is drawn with the foot of its
// picture 1 - lift pixels above the top line (the game's lift for capitals, another for small
// letters); the line goes where every accent's solid ink keeps 'gap' clear rows over the solid
// ink of every capital it is put on, and at least none over the small letters.
int accentTopLine(Rasteriser& raster, const FontStyle& style, const std::vector<Raster>& accents) {
    int line = 0;
    auto fit = [&](const char16_t* letters, int lift, int gap) {
        for (const char16_t* c = letters; *c; ++c) {
            const Raster letter = raster.render(*c);
            const int letterTop = letter.top - solidRows(letter).first;  // pixels above the baseline
            for (const Raster& accent : accents) {
                // Rows of faint ink under the accent's solid foot.
                const int faint = accent.height - 1 - solidRows(accent).second;
                // Foot of the solid ink: line + 1 - lift + faint pixels above the baseline.
                line = std::max(line, letterTop + gap + lift - 1 - faint);
            }
        }
    };
    fit(u"AEINOUY", style.accentLiftUpper, kAccentGap);
    fit(u"aenouy\u0131", style.accentLiftLower, 0);
    return line;
}

// One glyph cell: its size and how to paint it.
struct Cell {
    int width, height;
    Atlas::Painter paint;
};

// Paints a raster at (originX, baseline) of the cell: the outline dark, the fill white, its edge
// ramp made 'steepness' times steeper about half coverage.
void paintRaster(cairo_t* cr, const Raster& r, double originX, double baseline, double steepness) {
    if (r.width == 0 || r.height == 0) return;
    cairo_surface_t* s = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, r.width, r.height);
    cairo_surface_flush(s);
    unsigned char* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < r.height; ++y)
        for (int x = 0; x < r.width; ++x) {
            const size_t i = static_cast<size_t>(y) * r.width + x;
            const double f = std::clamp((r.fill[i] / 255.0 - 0.5) * steepness + 0.5, 0.0, 1.0), e = r.edge[i] / 255.0;
            // White fill over a dark outline (premultiplied).
            const double a = f + e * (1 - f);
            const double edgeGrey = 0x18 / 255.0;
            const double c = f * 1.0 + e * (1 - f) * edgeGrey;
            const auto A = static_cast<uint32_t>(std::lround(a * 255)), C = static_cast<uint32_t>(std::lround(c * 255));
            reinterpret_cast<uint32_t*>(data + static_cast<size_t>(y) * stride)[x] = (A << 24) | (C << 16) | (C << 8) | C;
        }
    cairo_surface_mark_dirty(s);
    cairo_set_source_surface(cr, s, originX + r.left, baseline - r.top);
    cairo_paint(cr);
    cairo_surface_destroy(s);
}

// The pictograms, drawn in a box of the cap height above the baseline.
void paintPictogram(cairo_t* cr, int position, double x, double baseline, double size, double stroke) {
    const double s = size, cx = x + s / 2, cy = baseline - s / 2;
    cairo_new_path(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    auto arrow = [&](double angle) {
        cairo_save(cr);
        cairo_translate(cr, cx, cy);
        cairo_rotate(cr, angle);
        cairo_move_to(cr, s * 0.5, 0);
        cairo_line_to(cr, 0, -s * 0.45);
        cairo_line_to(cr, 0, -s * 0.18);
        cairo_line_to(cr, -s * 0.5, -s * 0.18);
        cairo_line_to(cr, -s * 0.5, s * 0.18);
        cairo_line_to(cr, 0, s * 0.18);
        cairo_line_to(cr, 0, s * 0.45);
        cairo_close_path(cr);
        cairo_restore(cr);
    };
    bool filled = true;
    double line = std::max(1.5, s * 0.16);
    switch (position) {
        case 1:  // check mark
            cairo_move_to(cr, x + s * 0.08, cy + s * 0.02);
            cairo_line_to(cr, x + s * 0.38, baseline - s * 0.1);
            cairo_line_to(cr, x + s * 0.95, baseline - s * 0.92);
            filled = false;
            line = std::max(1.5, s * 0.2);
            break;
        case 2:  // cancel
            cairo_move_to(cr, x + s * 0.15, baseline - s * 0.85);
            cairo_line_to(cr, x + s * 0.85, baseline - s * 0.15);
            cairo_move_to(cr, x + s * 0.85, baseline - s * 0.85);
            cairo_line_to(cr, x + s * 0.15, baseline - s * 0.15);
            filled = false;
            line = std::max(1.5, s * 0.2);
            break;
        case 3: arrow(M_PI); break;
        case 4: arrow(0); break;
        case 5: arrow(-M_PI / 2); break;
        case 6: arrow(M_PI / 2); break;
        case 7:  // a value row's step arrows: chevrons, left and right
        case 8: {
            const double d = position == 7 ? -1 : 1;
            cairo_move_to(cr, cx - d * s * 0.2, cy - s * 0.45);
            cairo_line_to(cr, cx + d * s * 0.25, cy);
            cairo_line_to(cr, cx - d * s * 0.2, cy + s * 0.45);
            filled = false;
            line = std::max(1.5, s * 0.22);
            break;
        }
        case 9:  // back: a left-pointing triangle
        case 10:  // next: a right-pointing triangle
        {
            const double d = position == 9 ? -1 : 1;
            cairo_move_to(cr, cx + d * s * 0.45, cy);
            cairo_line_to(cr, cx - d * s * 0.4, cy - s * 0.48);
            cairo_line_to(cr, cx - d * s * 0.4, cy + s * 0.48);
            cairo_close_path(cr);
            break;
        }
        case 14:  // check box: an empty square with rounded corners
            roundedRect(cr, x + s * 0.05, baseline - s * 0.95, s * 0.9, s * 0.9, s * 0.15);
            filled = false;
            line = std::max(1.5, s * 0.14);
            break;
        default: {  // 13, help: a question mark in a ring
            cairo_arc(cr, cx, cy, s * 0.48, 0, 2 * M_PI);
            cairo_set_line_width(cr, std::max(1.2, s * 0.1) + 2 * stroke);
            if (stroke > 0) {
                cairo_set_source_rgb(cr, 0x18 / 255.0, 0x18 / 255.0, 0x18 / 255.0);
                cairo_stroke_preserve(cr);
            }
            cairo_set_line_width(cr, std::max(1.2, s * 0.1));
            cairo_set_source_rgb(cr, 1, 1, 1);
            cairo_stroke(cr);
            cairo_arc(cr, cx, cy - s * 0.12, s * 0.16, M_PI, 2.3 * M_PI);
            cairo_line_to(cr, cx, cy + s * 0.12);
            filled = false;
            line = std::max(1.2, s * 0.11);
            break;
        }
    }
    if (stroke > 0) {
        cairo_set_source_rgb(cr, 0x18 / 255.0, 0x18 / 255.0, 0x18 / 255.0);
        cairo_set_line_width(cr, (filled ? 0 : line) + 2 * stroke);
        cairo_stroke_preserve(cr);
    }
    cairo_set_source_rgb(cr, 1, 1, 1);
    if (filled) cairo_fill_preserve(cr);
    else {
        cairo_set_line_width(cr, line);
        cairo_stroke_preserve(cr);
    }
    cairo_new_path(cr);
    if (position == 13) {
        cairo_arc(cr, cx, cy + s * 0.28, std::max(0.8, s * 0.07), 0, 2 * M_PI);
        cairo_fill(cr);
    }
}

bool isPictogram(int position) { return (position >= 1 && position <= 10) || position == 13 || position == 14; }

std::vector<TextureImage> fontPages(FT_Library lib, const FontStyle& style) {
    const std::string path = findFace(style.face);
    if (path.empty()) return {};
    auto raster = std::make_shared<Rasteriser>(lib, path, style);
    if (!raster->valid()) return {};
    const int pad = static_cast<int>(std::ceil(style.stroke));
    // The common line: from the top line to the lowest descender. The top line is the tallest
    // glyph's top, or, in fonts that build accented letters, where an accent lifted by the
    // font's settings lands just over a capital (and not lower than it lands over a small letter).
    std::vector<Raster> rasters(256);
    int ascent = 0, descent = 0;
    for (int p = style.firstSymbol; p < 256; ++p) {
        if (p < 32 || p == 127) continue;
        rasters[p] = raster->render(cp1252ToUnicode(p));
        if (rasters[p].height == 0) continue;
        if (style.accentParts && isAccent(cp1252ToUnicode(p))) continue;
        ascent = std::max(ascent, rasters[p].top);
        descent = std::max(descent, rasters[p].height - rasters[p].top);
    }
    rasters[127] = raster->render(0x0131);
    const int capHeight = raster->capHeight();
    // The line keeps the height it has with the tallest glyph's top as its top line, so that
    // line heights (and the sizes the game derives from them) do not change: rows freed above
    // the capitals by a lower top line go below the descenders.
    const int lineHeight = ascent + descent;
    if (style.accentParts) {
        std::vector<Raster> accents;
        for (int p = style.firstSymbol; p < 256; ++p) {
            const char16_t c = cp1252ToUnicode(p);
            if (isAccent(c) && c != 0xB8 && rasters[p].height > 0) accents.push_back(rasters[p]);
        }
        ascent = accentTopLine(*raster, style, accents);
        for (int p = style.firstSymbol; p < 256; ++p)
            if (!isAccent(cp1252ToUnicode(p))) pressUnder(rasters[p], ascent, capHeight);
    }
    const int cellHeight = std::max(lineHeight, ascent + descent);
    std::vector<Cell> cells;
    for (int p = style.firstSymbol; p < 256; ++p) {
        const char16_t c = cp1252ToUnicode(p);
        if (isPictogram(p)) {
            const int size = capHeight;
            cells.push_back({size + 2 + 2 * pad, cellHeight, [p, size, ascent, pad, style](cairo_t* cr, int, int) {
                                 paintPictogram(cr, p, 1 + pad, ascent, size, style.stroke);
                             }});
            continue;
        }
        const Raster& r = rasters[p];
        if (p < 32 || p == 32 || (r.width == 0 && r.advance == 0)) {
            cells.push_back({1, 1, [](cairo_t*, int, int) {}});
            continue;
        }
        if (c == 0xA0) {
            // The thin no-break space: a sixth of the font size.
            cells.push_back({std::max(1, style.pixelSize / 6), cellHeight, [](cairo_t*, int, int) {}});
            continue;
        }
        if (style.accentParts && isAccent(c) && c != 0xB8) {
            // Trimmed to the ink.
            cells.push_back({std::max(1, r.width), std::max(1, r.height), [r, style](cairo_t* cr, int, int) { paintRaster(cr, r, -r.left, r.top, style.edgeSteepness); }});
            continue;
        }
        if (style.accentParts && c == 0xB8) {
            // Full height, trimmed across, hanging from the top line like any glyph.
            cells.push_back({std::max(1, r.width), cellHeight, [r, ascent, style](cairo_t* cr, int, int) { paintRaster(cr, r, -r.left, ascent, style.edgeSteepness); }});
            continue;
        }
        const int width = std::max(1, r.advance + 2 * pad);
        cells.push_back({width, cellHeight, [r, ascent, pad, style](cairo_t* cr, int, int) { paintRaster(cr, r, pad, ascent, style.edgeSteepness); }});
    }
    // Pages of at most 512 x 512 pixels.
    std::vector<TextureImage> pages;
    size_t next = 0;
    int page = 1;
    while (next < cells.size()) {
        Atlas atlas("gfx/font/1252/" + std::string(style.folder) + "-" + std::to_string(page) + ".tga", 512);
        int x = 0, y = 0, row = 0;
        while (next < cells.size()) {
            const Cell& cell = cells[next];
            int nx = x, ny = y, nrow = row;
            if (nx > 0 && nx + cell.width > 512) {
                nx = 0;
                ny += nrow + 2;
                nrow = 0;
            }
            if (ny + cell.height > 512) break;
            atlas.add(cell.width, cell.height, cell.paint);
            x = nx + cell.width + 2;
            y = ny;
            row = std::max(nrow, cell.height);
            ++next;
        }
        pages.push_back(atlas.build());
        ++page;
    }
    return pages;
}

}  // namespace

char16_t cp1252ToUnicode(int position) {
    // The engine's own table, so that every glyph lands where the fonts look it up.
    static const uint32_t* table = CodePageTable::builtIn(u"1252");
    return static_cast<char16_t>(table[position & 0xFF] & 0xFFFF);
}

std::vector<TextureImage> glyphPages() {
    FT_Library lib;
    if (FT_Init_FreeType(&lib) != 0) return {};
    std::vector<TextureImage> out;
    for (const FontStyle& style : kFonts) {
        std::vector<TextureImage> pages = fontPages(lib, style);
        if (pages.empty()) {
            out.clear();
            break;
        }
        for (TextureImage& p : pages) out.push_back(std::move(p));
    }
    FT_Done_FreeType(lib);
    return out;
}

}  // namespace datagen
