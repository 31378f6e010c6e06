#include "platform/GdiFont.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

FT_Library library() {
    static FT_Library lib = [] {
        FT_Library l = nullptr;
        if (FT_Init_FreeType(&l) != 0) l = nullptr;
        return l;
    }();
    return lib;
}

constexpr int32_t DEFAULT_EM_HEIGHT = 16;
constexpr int32_t MAX_HEIGHT = 4096;

}  // namespace

GdiFont::GdiFont(const std::string& path, int32_t height) : GdiObject(KIND_FONT), filePath(path) {
    FT_Library lib = library();
    if (!lib || path.empty() || height < -MAX_HEIGHT || height > MAX_HEIGHT) return;
    if (FT_New_Face(lib, path.c_str(), 0, &face) != 0) {
        face = nullptr;
        return;
    }
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return;
    // The cell is the face's Windows ascent plus descent, as the system's text rasteriser uses.
    double unitsAscent = face->ascender;
    double unitsDescent = -face->descender;
    if (const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
        os2 && os2->usWinAscent + os2->usWinDescent > 0) {
        unitsAscent = os2->usWinAscent;
        unitsDescent = os2->usWinDescent;
    }
    const double unitsCell = unitsAscent + unitsDescent;
    if (unitsCell <= 0) return;
    double emPixels;
    if (height > 0) {
        cellHeight = height;
        emPixels = height * double(face->units_per_EM) / unitsCell;
    } else {
        emPixels = height < 0 ? -height : DEFAULT_EM_HEIGHT;
        cellHeight = std::max<int32_t>(1, int32_t(std::lround(emPixels * unitsCell / face->units_per_EM)));
    }
    ascent = std::min(cellHeight, int32_t(std::lround(cellHeight * unitsAscent / unitsCell)));
    descent = cellHeight - ascent;
    const FT_F26Dot6 size = std::max<FT_F26Dot6>(64, FT_F26Dot6(std::lround(emPixels * 64.0)));
    if (FT_Set_Char_Size(face, 0, size, 72, 72) != 0) return;
    bValid = true;
}

GdiFont::~GdiFont() {
    if (face) FT_Done_Face(face);
}

const GdiFont::Glyph& GdiFont::glyph(char32_t codePoint) {
    if (auto it = glyphs.find(codePoint); it != glyphs.end()) return it->second;
    Glyph& g = glyphs[codePoint];
    if (!bValid) return g;
    if (FT_Load_Char(face, codePoint, FT_LOAD_RENDER | FT_LOAD_TARGET_LIGHT) != 0) return g;
    const FT_GlyphSlot slot = face->glyph;
    g.advance = int32_t((slot->advance.x + 32) >> 6);
    const FT_Bitmap& bitmap = slot->bitmap;
    if (bitmap.pixel_mode != FT_PIXEL_MODE_GRAY || bitmap.width == 0 || bitmap.rows == 0) return g;
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.width = int32_t(bitmap.width);
    g.height = int32_t(bitmap.rows);
    g.coverage.resize(size_t(g.width) * size_t(g.height));
    for (int32_t y = 0; y < g.height; ++y) {
        const unsigned char* row = bitmap.buffer + std::ptrdiff_t(y) * bitmap.pitch;
        for (int32_t x = 0; x < g.width; ++x) {
            const unsigned level = row[x];
            // Grey levels count to num_grays - 1; spread them over 0-255.
            g.coverage[size_t(y) * size_t(g.width) + size_t(x)] =
                uint8_t(bitmap.num_grays == 256 ? level : level * 255u / unsigned(bitmap.num_grays - 1));
        }
    }
    return g;
}

}  // namespace platform
