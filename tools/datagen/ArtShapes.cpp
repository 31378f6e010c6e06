#include "datagen/ArtShapes.h"

#include <algorithm>
#include <cmath>

#include "datagen/Canvas.h"
#include "datagen/Palette.h"

namespace datagen {

void markerPath(cairo_t* cr, int colourType, double x, double y, double r) {
    auto polygon = [&](int sides, double rotation, double radius) {
        for (int k = 0; k < sides; ++k) {
            const double a = rotation + k * 2 * M_PI / sides;
            if (k == 0) cairo_move_to(cr, x + radius * std::cos(a), y + radius * std::sin(a));
            else cairo_line_to(cr, x + radius * std::cos(a), y + radius * std::sin(a));
        }
        cairo_close_path(cr);
    };
    switch (colourType) {
        case 0:
            // A ring: the hole is wound the other way.
            cairo_new_sub_path(cr);
            cairo_arc(cr, x, y, r * 0.95, 0, 2 * M_PI);
            cairo_new_sub_path(cr);
            cairo_arc_negative(cr, x, y, r * 0.45, 2 * M_PI, 0);
            break;
        case 1: cairo_rectangle(cr, x - r * 0.75, y - r * 0.75, r * 1.5, r * 1.5); break;
        case 2: polygon(3, -M_PI / 2, r * 1.05); break;
        case 3: polygon(4, 0, r); break;
        case 4: starPath(cr, x, y, r * 1.05, r * 0.45, 5); break;
        case 5: {
            const double t = r * 0.32;
            cairo_move_to(cr, x - t, y - r);
            cairo_line_to(cr, x + t, y - r);
            cairo_line_to(cr, x + t, y - t);
            cairo_line_to(cr, x + r, y - t);
            cairo_line_to(cr, x + r, y + t);
            cairo_line_to(cr, x + t, y + t);
            cairo_line_to(cr, x + t, y + r);
            cairo_line_to(cr, x - t, y + r);
            cairo_line_to(cr, x - t, y + t);
            cairo_line_to(cr, x - r, y + t);
            cairo_line_to(cr, x - r, y - t);
            cairo_line_to(cr, x - t, y - t);
            cairo_close_path(cr);
            break;
        }
        case 6: {
            // A crescent opening to the right: the outer arc round the left, back along a smaller
            // circle's arc through the same tips.
            const double outer = r * 1.0, cx = x + r * 0.15;
            cairo_new_sub_path(cr);
            cairo_arc(cr, cx, y, outer, M_PI / 3, 5 * M_PI / 3);
            cairo_arc_negative(cr, cx + outer * 0.5, y, outer * std::sqrt(3.0) / 2.0, 3 * M_PI / 2, M_PI / 2);
            cairo_close_path(cr);
            break;
        }
        default: heartPath(cr, x, y + r * 0.05, r * 2.0); break;
    }
}

void pineTree(cairo_t* cr, double x, double y, double height) {
    const double w = height * 0.55;
    cairo_rectangle(cr, x - height * 0.05, y - height * 0.14, height * 0.1, height * 0.14);
    setColor(cr, 0xFF5A3A22);
    cairo_fill(cr);
    for (int tier = 0; tier < 3; ++tier) {
        const double top = y - height + tier * height * 0.24;
        const double bottom = y - height * 0.1 - (2 - tier) * height * 0.22;
        const double half = w * (0.5 + tier * 0.25) / 1.0 * 0.8;
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x + half, bottom);
        cairo_line_to(cr, x - half, bottom);
        cairo_close_path(cr);
        fillVertical(cr, top, bottom, 0xFF2E8B57, 0xFF145A32);
        cairo_new_path(cr);
        // Snow resting on the tier.
        cairo_move_to(cr, x, top);
        cairo_line_to(cr, x + half * 0.55, top + (bottom - top) * 0.55);
        cairo_curve_to(cr, x + half * 0.2, top + (bottom - top) * 0.45, x - half * 0.2, top + (bottom - top) * 0.65, x - half * 0.55,
                       top + (bottom - top) * 0.5);
        cairo_close_path(cr);
        setColor(cr, 0xF0F8FBFF);
        cairo_fill(cr);
    }
}

void snowHouse(cairo_t* cr, double x, double y, double width, uint32_t wall) {
    const double h = width * 0.6;
    cairo_rectangle(cr, x - width / 2, y - h, width, h);
    fillAndOutline(cr, wall, shade(wall, 0.55), 1.5);
    // Windows with warm light and a door.
    for (int k = -1; k <= 1; k += 2) {
        cairo_rectangle(cr, x + k * width * 0.28 - width * 0.09, y - h * 0.7, width * 0.18, width * 0.16);
        fillAndOutline(cr, 0xFFFFD66B, 0xFF6B4A2A, 1);
    }
    cairo_rectangle(cr, x - width * 0.09, y - h * 0.5, width * 0.18, h * 0.5);
    fillAndOutline(cr, 0xFF7A4A2A, 0xFF4A2A15, 1);
    // Roof with a thick layer of snow.
    cairo_move_to(cr, x - width * 0.62, y - h);
    cairo_line_to(cr, x, y - h - width * 0.45);
    cairo_line_to(cr, x + width * 0.62, y - h);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFF9C3B2E, 0xFF5E2018, 1.5);
    cairo_move_to(cr, x - width * 0.66, y - h + 2);
    cairo_line_to(cr, x, y - h - width * 0.47);
    cairo_line_to(cr, x + width * 0.66, y - h + 2);
    cairo_curve_to(cr, x + width * 0.4, y - h - width * 0.1, x - width * 0.4, y - h - width * 0.02, x - width * 0.66, y - h + 2);
    cairo_close_path(cr);
    setColor(cr, kSnow);
    cairo_fill(cr);
}

void snowman(cairo_t* cr, double x, double y, double height) {
    const double r1 = height * 0.24, r2 = height * 0.18, r3 = height * 0.13;
    const double c1 = y - r1, c2 = c1 - r1 - r2 * 0.7, c3 = c2 - r2 - r3 * 0.7;
    const double balls[3][2] = {{c1, r1}, {c2, r2}, {c3, r3}};
    for (const auto& ball : balls) {
        cairo_arc(cr, x, ball[0], ball[1], 0, 2 * M_PI);
        fillRadial(cr, x - ball[1] * 0.4, ball[0] - ball[1] * 0.4, ball[1] * 1.6, 0xFFFFFFFF, 0xFFB8CCE4);
        setColor(cr, 0xFF8096B4);
        cairo_set_line_width(cr, 1);
        cairo_stroke(cr);
    }
    // Scarf, carrot nose, eyes and a top hat.
    cairo_rectangle(cr, x - r2 * 0.9, c2 - r2 * 0.85, r2 * 1.8, r2 * 0.35);
    setColor(cr, kHollyRed);
    cairo_fill(cr);
    cairo_move_to(cr, x, c3);
    cairo_line_to(cr, x + r3 * 1.1, c3 + r3 * 0.15);
    cairo_line_to(cr, x, c3 + r3 * 0.3);
    cairo_close_path(cr);
    setColor(cr, 0xFFF08020);
    cairo_fill(cr);
    for (int s = -1; s <= 1; s += 2) {
        cairo_arc(cr, x + s * r3 * 0.4, c3 - r3 * 0.3, std::max(0.8, r3 * 0.12), 0, 2 * M_PI);
        setColor(cr, 0xFF1A1A22);
        cairo_fill(cr);
    }
    cairo_rectangle(cr, x - r3 * 0.9, c3 - r3 * 0.95, r3 * 1.8, r3 * 0.2);
    cairo_rectangle(cr, x - r3 * 0.6, c3 - r3 * 1.8, r3 * 1.2, r3 * 0.9);
    setColor(cr, 0xFF202430);
    cairo_fill(cr);
}

void lampPost(cairo_t* cr, double x, double y, double height) {
    cairo_arc(cr, x, y - height, height * 0.45, 0, 2 * M_PI);
    fillRadial(cr, x, y - height, height * 0.45, 0x90FFE8A0, 0x00FFE8A0);
    cairo_new_path(cr);
    cairo_rectangle(cr, x - 1.5, y - height, 3, height);
    setColor(cr, 0xFF2A3040);
    cairo_fill(cr);
    roundedRect(cr, x - 4, y - height - 7, 8, 9, 2);
    fillAndOutline(cr, 0xFFFFE8A0, 0xFF2A3040, 1.2);
    // A wreath on the post.
    cairo_arc(cr, x, y - height * 0.55, 3.5, 0, 2 * M_PI);
    setColor(cr, kPine);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    cairo_arc(cr, x, y - height * 0.55 + 3.5, 1.3, 0, 2 * M_PI);
    setColor(cr, kHollyRed);
    cairo_fill(cr);
}

void holidayTree(cairo_t* cr, double x, double y, double height, Scatter& rnd) {
    pineTree(cr, x, y, height);
    const uint32_t lights[4] = {kHollyRed, kGold, 0xFF40A0FF, 0xFFFF60C0};
    for (int k = 0; k < 7; ++k) {
        const double f = rnd.range(0.25, 0.85);
        const double half = height * 0.55 * 0.8 * (0.3 + f * 0.7) * 0.8;
        cairo_arc(cr, x + rnd.range(-half, half), y - height + f * height * 0.85, 1.8, 0, 2 * M_PI);
        setColor(cr, lights[k % 4]);
        cairo_fill(cr);
    }
    starPath(cr, x, y - height - 2, 5, 2, 5);
    setColor(cr, kGold);
    cairo_fill(cr);
}

}  // namespace datagen
