#include <algorithm>
#include <cstring>

#include "datagen/ArtBank.h"

namespace datagen {

namespace {

// Straight ARGB pixels of a rectangle as a premultiplied Cairo surface.
cairo_surface_t* surfaceOf(const TextureImage& t, int left, int top, int width, int height) {
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    cairo_surface_flush(img);
    unsigned char* data = cairo_image_surface_get_data(img);
    const int stride = cairo_image_surface_get_stride(img);
    for (int yy = 0; yy < height; ++yy)
        for (int xx = 0; xx < width; ++xx) {
            const uint32_t p = t.argb[static_cast<size_t>(top + yy) * t.width + left + xx];
            const uint32_t a = p >> 24;
            const uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
            reinterpret_cast<uint32_t*>(data + static_cast<size_t>(yy) * stride)[xx] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    cairo_surface_mark_dirty(img);
    return img;
}

}  // namespace

bool writePageSheet(const std::vector<TextureImage>& textures, const std::string& pngPath, double scale, bool skinCounts) {
    // Whole pages side by side on a dark ground, each skin outlined, labelled with the file name.
    const int sheetWidth = 1100;
    int x = 10, y = 10, row = 0;
    std::vector<std::pair<int, int>> places;
    for (const TextureImage& t : textures) {
        const int w = static_cast<int>(t.width * scale), h = static_cast<int>(t.height * scale);
        if (x > 10 && x + w > sheetWidth) {
            x = 10;
            y += row + 30;
            row = 0;
        }
        places.emplace_back(x, y);
        x += w + 16;
        row = std::max(row, h);
    }
    Canvas sheet(sheetWidth, y + row + 40);
    cairo_t* cr = sheet.cr();
    setColor(cr, 0xFF1B2A4A);
    cairo_paint(cr);
    for (size_t k = 0; k < textures.size(); ++k) {
        const TextureImage& t = textures[k];
        const auto [px, py] = places[k];
        cairo_surface_t* img = surfaceOf(t, 0, 0, t.width, t.height);
        cairo_save(cr);
        cairo_translate(cr, px, py);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, img, 0, 0);
        cairo_paint(cr);
        cairo_surface_destroy(img);
        cairo_set_line_width(cr, 1 / scale);
        setColor(cr, 0x60FFB040);
        for (const SkinRect& s : t.skins) cairo_rectangle(cr, s.left - 0.5, s.top - 0.5, s.width + 1, s.height + 1);
        cairo_stroke(cr);
        cairo_restore(cr);
        const std::string label = skinCounts ? t.file + " (" + std::to_string(t.skins.size()) + " skins)" : t.file;
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 11);
        cairo_move_to(cr, px, py + t.height * scale + 14);
        setColor(cr, 0xFFFFFFFF);
        cairo_show_text(cr, label.c_str());
    }
    return cairo_surface_write_to_png(cairo_get_target(cr), pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

bool writeContactSheet(const std::vector<TextureImage>& textures, const std::string& pngPath) {
    // Each skin is shown at most 256 pixels wide, in rows, labelled with "texture:index".
    struct Tile {
        const TextureImage* texture;
        size_t skin;
        double scale;
        int w, h;
    };
    std::vector<Tile> tiles;
    for (const TextureImage& t : textures)
        for (size_t i = 0; i < t.skins.size(); ++i) {
            const SkinRect& s = t.skins[i];
            const double scale = std::min(1.0, 256.0 / std::max(s.width, s.height));
            tiles.push_back({&t, i, scale, static_cast<int>(s.width * scale), static_cast<int>(s.height * scale)});
        }
    const int sheetWidth = 1400;
    int x = 10, y = 10, row = 0;
    std::vector<std::pair<int, int>> places;
    for (const Tile& tile : tiles) {
        const int cellW = std::max(tile.w, 120) + 14;
        if (x + cellW > sheetWidth) {
            x = 10;
            y += row + 30;
            row = 0;
        }
        places.emplace_back(x, y);
        x += cellW;
        row = std::max(row, tile.h);
    }
    Canvas sheet(sheetWidth, y + row + 40);
    cairo_t* cr = sheet.cr();
    setColor(cr, 0xFF606870);
    cairo_paint(cr);
    for (size_t k = 0; k < tiles.size(); ++k) {
        const Tile& tile = tiles[k];
        const auto [px, py] = places[k];
        // Checkerboard behind the picture shows its transparency.
        for (int cy = 0; cy < tile.h; cy += 8)
            for (int cx = 0; cx < tile.w; cx += 8) {
                setColor(cr, ((cx + cy) / 8) % 2 ? 0xFF9098A0 : 0xFFC0C8D0);
                cairo_rectangle(cr, px + cx, py + cy, std::min(8, tile.w - cx), std::min(8, tile.h - cy));
                cairo_fill(cr);
            }
        const TextureImage& t = *tile.texture;
        const SkinRect& s = t.skins[tile.skin];
        cairo_save(cr);
        cairo_translate(cr, px, py);
        cairo_scale(cr, tile.scale, tile.scale);
        paintSkin(cr, t, s, 0, 0);
        cairo_restore(cr);
        std::string label = t.file.substr(t.file.find_last_of('/') + 1) + ":" + std::to_string(tile.skin);
        cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 11);
        cairo_move_to(cr, px, py + tile.h + 14);
        setColor(cr, 0xFFFFFFFF);
        cairo_show_text(cr, label.c_str());
    }
    cairo_surface_t* surface = cairo_get_target(cr);
    return cairo_surface_write_to_png(surface, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace datagen
