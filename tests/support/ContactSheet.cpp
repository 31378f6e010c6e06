#include "support/ContactSheet.h"

#include <cairo.h>

#include <algorithm>
#include <cmath>

void ContactSheet::add(const std::string& name, const std::vector<uint32_t>& pixels, int width, int height,
                       const PixelBox& picture, const std::vector<PixelBox>& marked) {
    Frame f;
    f.name = name;
    const int left = std::clamp(int(picture.left), 0, width), top = std::clamp(int(picture.top), 0, height);
    f.width = std::clamp(int(picture.right), left, width) - left;
    f.height = std::clamp(int(picture.bottom), top, height) - top;
    f.pixels.resize(size_t(f.width) * size_t(f.height));
    for (int y = 0; y < f.height; ++y)
        for (int x = 0; x < f.width; ++x)
            f.pixels[size_t(y) * size_t(f.width) + size_t(x)] =
                pixels[size_t(y + top) * size_t(width) + size_t(x + left)] | 0xFF000000u;
    for (PixelBox b : marked) {
        b.left -= float(left);
        b.right -= float(left);
        b.top -= float(top);
        b.bottom -= float(top);
        f.marked.push_back(b);
    }
    frames.push_back(std::move(f));
}

bool ContactSheet::write(const std::string& pngPath) const {
    if (frames.empty()) return false;
    int cellHeight = 0;
    for (const Frame& f : frames)
        if (f.width > 0) cellHeight = std::max(cellHeight, int(std::ceil(double(f.height) * cellWidth / f.width)));
    constexpr int label = 18, pad = 6;
    const int rows = (int(frames.size()) + columns - 1) / columns;
    const int sheetWidth = columns * (cellWidth + pad) + pad, sheetHeight = rows * (cellHeight + label + pad) + pad;
    cairo_surface_t* sheet = cairo_image_surface_create(CAIRO_FORMAT_RGB24, sheetWidth, sheetHeight);
    cairo_t* cr = cairo_create(sheet);
    cairo_set_source_rgb(cr, 0.16, 0.16, 0.18);
    cairo_paint(cr);
    for (size_t i = 0; i < frames.size(); ++i) {
        const Frame& f = frames[i];
        if (f.width <= 0 || f.height <= 0) continue;
        const double x0 = pad + double(i % size_t(columns)) * (cellWidth + pad);
        const double y0 = pad + double(i / size_t(columns)) * (cellHeight + label + pad);
        const double k = double(cellWidth) / f.width;
        const int stride = cairo_format_stride_for_width(CAIRO_FORMAT_RGB24, f.width);
        std::vector<unsigned char> data(size_t(stride) * size_t(f.height));
        for (int y = 0; y < f.height; ++y)
            std::copy_n(f.pixels.begin() + long(y) * f.width, f.width,
                        reinterpret_cast<uint32_t*>(data.data() + size_t(y) * size_t(stride)));
        cairo_surface_t* frame =
            cairo_image_surface_create_for_data(data.data(), CAIRO_FORMAT_RGB24, f.width, f.height, stride);
        cairo_save(cr);
        cairo_translate(cr, x0, y0);
        cairo_scale(cr, k, k);
        cairo_set_source_surface(cr, frame, 0, 0);
        cairo_pattern_set_filter(cairo_get_source(cr), CAIRO_FILTER_GOOD);
        cairo_paint(cr);
        cairo_set_source_rgb(cr, 1, 0, 0);
        cairo_set_line_width(cr, 2.0 / k);
        for (const PixelBox& b : f.marked) {
            cairo_rectangle(cr, b.left, b.top, b.width(), b.height());
            cairo_stroke(cr);
        }
        cairo_restore(cr);
        cairo_surface_destroy(frame);
        cairo_set_source_rgb(cr, 0.92, 0.92, 0.92);
        cairo_select_font_face(cr, "sans-serif", CAIRO_FONT_SLANT_NORMAL, CAIRO_FONT_WEIGHT_NORMAL);
        cairo_set_font_size(cr, 13);
        cairo_move_to(cr, x0, y0 + f.height * k + 14);
        cairo_show_text(cr, f.name.c_str());
    }
    cairo_destroy(cr);
    const bool ok = cairo_surface_write_to_png(sheet, pngPath.c_str()) == CAIRO_STATUS_SUCCESS;
    cairo_surface_destroy(sheet);
    return ok;
}
