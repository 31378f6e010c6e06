#include "datagen/Rails.h"

#include <algorithm>
#include <cmath>

#include "datagen/Canvas.h"

namespace datagen {

namespace {

constexpr double kStep = 3;  // track units between the points of a drawn line

// A line along the track at a lateral offset (screen units, to the left of travel).
void offsetLine(cairo_t* cr, const TrackGeometry& track, double from, double to, double offset) {
    bool first = true;
    for (double at = from;; at += kStep) {
        const double q = std::min(at, to);
        const Vec2 p = track.screenAt(q) + normalOf(track.screenDirection(q)) * offset;
        if (first) cairo_move_to(cr, p.x, p.y);
        else cairo_line_to(cr, p.x, p.y);
        first = false;
        if (q >= to) break;
    }
}

}  // namespace

void paintTrackBed(cairo_t* cr, const TrackGeometry& track, double from, double to, uint32_t edge, uint32_t middle) {
    if (to <= from) return;
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    offsetLine(cr, track, from, to, 0);
    setColor(cr, edge);
    cairo_set_line_width(cr, 2 * (kSleeperHalf + 7));
    cairo_stroke_preserve(cr);
    setColor(cr, middle);
    cairo_set_line_width(cr, 2 * (kSleeperHalf + 2));
    cairo_stroke(cr);
    cairo_restore(cr);
}

void paintSleepers(cairo_t* cr, const TrackGeometry& track, double from, double to) {
    cairo_save(cr);
    const double first = std::ceil(from / 12) * 12;
    for (double q = first; q <= to; q += 12) {
        const Vec2 p = track.screenAt(q), d = track.screenDirection(q), n = normalOf(d);
        auto corner = [&](double along, double across) { return p + d * along + n * across; };
        const Vec2 c[4] = {corner(-2.6, kSleeperHalf), corner(2.6, kSleeperHalf), corner(2.6, -kSleeperHalf), corner(-2.6, -kSleeperHalf)};
        cairo_move_to(cr, c[0].x, c[0].y);
        for (int k = 1; k < 4; ++k) cairo_line_to(cr, c[k].x, c[k].y);
        cairo_close_path(cr);
        setColor(cr, 0xFF7A5234);
        cairo_fill_preserve(cr);
        setColor(cr, 0xFF4A2F1C);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        // A little snow left on the wood between the rails' outsides.
        const Vec2 s0 = corner(-1.0, kSleeperHalf - 2), s1 = corner(-1.0, -kSleeperHalf + 2);
        cairo_move_to(cr, s0.x, s0.y);
        cairo_line_to(cr, s1.x, s1.y);
        setColor(cr, 0x90F4F8FF);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

void paintRails(cairo_t* cr, const TrackGeometry& track, double from, double to) {
    if (to <= from) return;
    cairo_save(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    for (double side : {-1.0, 1.0}) {
        // The rail's foot and shadow, the steel, then the polished top catching the light.
        offsetLine(cr, track, from, to, side * kRailOffset + 0.6);
        setColor(cr, 0x70202830);
        cairo_set_line_width(cr, 3.6);
        cairo_stroke(cr);
        offsetLine(cr, track, from, to, side * kRailOffset);
        setColor(cr, 0xFF4A525E);
        cairo_set_line_width(cr, 2.6);
        cairo_stroke(cr);
        offsetLine(cr, track, from, to, side * kRailOffset - 0.5);
        setColor(cr, 0xFFD6DEE8);
        cairo_set_line_width(cr, 0.9);
        cairo_stroke(cr);
    }
    cairo_restore(cr);
}

}  // namespace datagen
