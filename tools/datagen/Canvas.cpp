#include "datagen/Canvas.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace datagen {

Canvas::Canvas(int width, int height) : w(width), h(height) {
    surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height);
    context = cairo_create(surface);
    cairo_set_antialias(context, CAIRO_ANTIALIAS_BEST);
}

Canvas::~Canvas() {
    cairo_destroy(context);
    cairo_surface_destroy(surface);
}

std::vector<uint32_t> Canvas::pixels() {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint32_t> out(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < w; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            uint32_t r = (p >> 16) & 0xFF, g = (p >> 8) & 0xFF, b = p & 0xFF;
            if (a != 0 && a != 255) {
                // Cairo stores premultiplied colour; textures want it straight.
                r = std::min(255u, (r * 255 + a / 2) / a);
                g = std::min(255u, (g * 255 + a / 2) / a);
                b = std::min(255u, (b * 255 + a / 2) / a);
            }
            out[static_cast<size_t>(y) * w + x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    }
    return out;
}

Atlas::Atlas(std::string file, int maxWidth) : file(std::move(file)), maxWidth(maxWidth) {}

Atlas& Atlas::add(int width, int height, Painter paint, int originAdjustX, int originAdjustY) {
    if (x > 0 && x + width > maxWidth) {
        x = 0;
        y += rowHeight + 2;
        rowHeight = 0;
    }
    Cell cell;
    cell.rect = SkinRect{x, y, width, height, originAdjustX, originAdjustY};
    cell.paint = std::move(paint);
    cells.push_back(std::move(cell));
    usedWidth = std::max(usedWidth, x + width);
    rowHeight = std::max(rowHeight, height);
    x += width + 2;
    return *this;
}

TextureImage Atlas::build(bool hasAlpha, bool exactSize) const {
    auto pow2 = [](int v) {
        int p = 1;
        while (p < v) p <<= 1;
        return p;
    };
    TextureImage image;
    image.file = file;
    image.width = exactSize ? usedWidth : pow2(usedWidth);
    image.height = exactSize ? y + rowHeight : pow2(y + rowHeight);
    image.hasAlpha = hasAlpha;
    Canvas canvas(image.width, image.height);
    for (const Cell& cell : cells) {
        cairo_t* cr = canvas.cr();
        cairo_save(cr);
        cairo_rectangle(cr, cell.rect.left, cell.rect.top, cell.rect.width, cell.rect.height);
        cairo_clip(cr);
        cairo_translate(cr, cell.rect.left, cell.rect.top);
        cell.paint(cr, cell.rect.width, cell.rect.height);
        cairo_restore(cr);
        image.skins.push_back(cell.rect);
    }
    image.argb = canvas.pixels();
    if (!hasAlpha)
        for (uint32_t& p : image.argb) p |= 0xFF000000u;
    return image;
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double r) {
    r = std::min({r, w / 2, h / 2});
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - r, y + r, r, -M_PI / 2, 0);
    cairo_arc(cr, x + w - r, y + h - r, r, 0, M_PI / 2);
    cairo_arc(cr, x + r, y + h - r, r, M_PI / 2, M_PI);
    cairo_arc(cr, x + r, y + r, r, M_PI, 3 * M_PI / 2);
    cairo_close_path(cr);
}

void setColor(cairo_t* cr, uint32_t argb) {
    cairo_set_source_rgba(cr, ((argb >> 16) & 0xFF) / 255.0, ((argb >> 8) & 0xFF) / 255.0, (argb & 0xFF) / 255.0, (argb >> 24) / 255.0);
}

void fillVertical(cairo_t* cr, double y0, double y1, uint32_t top, uint32_t bottom) {
    cairo_pattern_t* p = cairo_pattern_create_linear(0, y0, 0, y1);
    auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgba(p, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, (c >> 24) / 255.0);
    };
    stop(0, top);
    stop(1, bottom);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void centredText(cairo_t* cr, const char* utf8, double x, double y, double size, const char* face, bool bold) {
    cairo_select_font_face(cr, face, CAIRO_FONT_SLANT_NORMAL, bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
    cairo_text_extents_t e;
    cairo_text_extents(cr, utf8, &e);
    cairo_move_to(cr, x - e.width / 2 - e.x_bearing, y - e.height / 2 - e.y_bearing);
    cairo_text_path(cr, utf8);
}

void starPath(cairo_t* cr, double x, double y, double outer, double inner, int points, double rotation) {
    for (int k = 0; k < points * 2; ++k) {
        const double r = k % 2 ? inner : outer;
        const double a = rotation + k * M_PI / points - M_PI / 2;
        if (k == 0) cairo_move_to(cr, x + r * std::cos(a), y + r * std::sin(a));
        else cairo_line_to(cr, x + r * std::cos(a), y + r * std::sin(a));
    }
    cairo_close_path(cr);
}

void fillRadial(cairo_t* cr, double x, double y, double r, uint32_t inner, uint32_t outer) {
    cairo_pattern_t* p = cairo_pattern_create_radial(x, y, 0, x, y, r);
    auto stop = [p](double at, uint32_t c) {
        cairo_pattern_add_color_stop_rgba(p, at, ((c >> 16) & 0xFF) / 255.0, ((c >> 8) & 0xFF) / 255.0, (c & 0xFF) / 255.0, (c >> 24) / 255.0);
    };
    stop(0, inner);
    stop(1, outer);
    cairo_set_source(cr, p);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(p);
}

void heartPath(cairo_t* cr, double x, double y, double size) {
    const double s = size / 2;
    cairo_move_to(cr, x, y + s * 0.9);
    cairo_curve_to(cr, x - s * 1.2, y + s * 0.1, x - s * 1.0, y - s * 1.0, x, y - s * 0.45);
    cairo_curve_to(cr, x + s * 1.0, y - s * 1.0, x + s * 1.2, y + s * 0.1, x, y + s * 0.9);
    cairo_close_path(cr);
}

void fillAndOutline(cairo_t* cr, uint32_t fill, uint32_t outline, double w) {
    setColor(cr, fill);
    cairo_fill_preserve(cr);
    setColor(cr, outline);
    cairo_set_line_width(cr, w);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_stroke(cr);
}

uint32_t shade(uint32_t argb, double f) {
    auto ch = [f](uint32_t v) { return static_cast<uint32_t>(std::clamp(v * f, 0.0, 255.0)); };
    return (argb & 0xFF000000u) | (ch((argb >> 16) & 0xFF) << 16) | (ch((argb >> 8) & 0xFF) << 8) | ch(argb & 0xFF);
}

void paintSkin(cairo_t* cr, const TextureImage& t, const SkinRect& s, double x, double y) {
    // Cairo wants premultiplied colour.
    cairo_surface_t* img = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, s.width, s.height);
    cairo_surface_flush(img);
    unsigned char* data = cairo_image_surface_get_data(img);
    const int stride = cairo_image_surface_get_stride(img);
    for (int yy = 0; yy < s.height; ++yy)
        for (int xx = 0; xx < s.width; ++xx) {
            const uint32_t p = t.argb[static_cast<size_t>(s.top + yy) * t.width + s.left + xx];
            const uint32_t a = p >> 24;
            const uint32_t r = ((p >> 16) & 0xFF) * a / 255, g = ((p >> 8) & 0xFF) * a / 255, b = (p & 0xFF) * a / 255;
            reinterpret_cast<uint32_t*>(data + static_cast<size_t>(yy) * stride)[xx] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    cairo_surface_mark_dirty(img);
    cairo_set_source_surface(cr, img, x, y);
    cairo_paint(cr);
    cairo_surface_destroy(img);
}

void paintFigure(cairo_t* cr, std::vector<FigureBox>& figures, const std::string& skin, int w, int h, const std::string& name,
                 const std::function<void(cairo_t*)>& draw) {
    cairo_surface_t* recording = cairo_recording_surface_create(CAIRO_CONTENT_COLOR_ALPHA, nullptr);
    cairo_t* own = cairo_create(recording);
    draw(own);
    cairo_destroy(own);
    double x = 0, y = 0, width = 0, height = 0;
    cairo_recording_surface_ink_extents(recording, &x, &y, &width, &height);
    figures.push_back(FigureBox{skin, w, h, name, std::max(0.0, x), std::max(0.0, y), std::min(double(w), x + width),
                                std::min(double(h), y + height)});
    cairo_set_source_surface(cr, recording, 0, 0);
    cairo_paint(cr);
    cairo_surface_destroy(recording);
}

std::string figureTable(const std::vector<FigureBox>& figures) {
    std::string table =
        "# Figures painted into the pictures: skin, its width and height, figure, and the figure's box in the skin's "
        "pixels (left top right bottom, y down).\n";
    for (const FigureBox& f : figures) {
        char line[256];
        std::snprintf(line, sizeof line, "%s %d %d %s %.0f %.0f %.0f %.0f\n", f.skin.c_str(), f.skinWidth, f.skinHeight, f.name.c_str(),
                      std::floor(f.left), std::floor(f.top), std::ceil(f.right), std::ceil(f.bottom));
        table += line;
    }
    return table;
}

void snowCrystal(cairo_t* cr, double x, double y, double r, double lineWidth) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_set_line_width(cr, lineWidth);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    for (int arm = 0; arm < 6; ++arm) {
        cairo_save(cr);
        cairo_rotate(cr, arm * M_PI / 3);
        cairo_move_to(cr, 0, 0);
        cairo_line_to(cr, 0, -r);
        for (double at : {0.45, 0.7}) {
            const double len = r * (at < 0.5 ? 0.32 : 0.22);
            cairo_move_to(cr, 0, -r * at);
            cairo_line_to(cr, -len * 0.8, -r * at - len);
            cairo_move_to(cr, 0, -r * at);
            cairo_line_to(cr, len * 0.8, -r * at - len);
        }
        cairo_restore(cr);
    }
    cairo_stroke(cr);
    cairo_restore(cr);
}

}  // namespace datagen
