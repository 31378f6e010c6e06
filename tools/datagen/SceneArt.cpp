// The big pictures: the intro's sky and its snowy foreground with the mascot's station, and the
// world map with its towns along the line (the game's own route). The level scenes are painted in
// LevelArt.cpp; the game's paths for both are built here.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "datagen/ArtBank.h"
#include "datagen/ArtShapes.h"
#include "datagen/Canvas.h"
#include "datagen/Palette.h"
#include "game/LayoutTable.h"
#include "game/TrackPath.h"

namespace datagen {

namespace {

// The world map's route as the painter reads it: layout units, y before the map's squeeze.
class RoutePath {
public:
    explicit RoutePath(const TrackPath& path) : path(path) {
        for (const Vector3& s : path.samples) points.push_back({s.x, s.y});
    }
    double length() const { return path.length; }
    Vec2 pointAt(double distance) const {
        Vector3 p;
        path.getPoint(static_cast<float>(distance), p);
        return {p.x, p.y / 0.8};
    }
    // The shortest distance from p to the route's samples.
    double distanceTo(Vec2 p) const {
        double best = 1e18;
        for (const Vec2& s : points) best = std::min(best, (s.x - p.x) * (s.x - p.x) + (s.y - p.y) * (s.y - p.y));
        return std::sqrt(best);
    }
    const std::vector<Vec2>& samples() const { return points; }

private:
    const TrackPath& path;
    std::vector<Vec2> points;
};

// The intro: a tall winter sky whose bottom edge sits on the foreground picture; the camera
// glides down it while the story is told, so its upper half stays light behind dark text.
TextureImage introSky() {
    Atlas atlas("xmas-edition/gfx/intro.jpg", 1024);
    atlas.add(800, 704, [](cairo_t* cr, int w, int h) {
        cairo_rectangle(cr, 0, 0, w, h);
        cairo_pattern_t* sky = cairo_pattern_create_linear(0, 0, 0, h);
        cairo_pattern_add_color_stop_rgb(sky, 0.0, 0.55, 0.72, 0.92);
        cairo_pattern_add_color_stop_rgb(sky, 0.45, 0.86, 0.93, 1.0);
        cairo_pattern_add_color_stop_rgb(sky, 0.8, 1.0, 0.93, 0.88);
        cairo_pattern_add_color_stop_rgb(sky, 1.0, 0.98, 0.85, 0.80);
        cairo_set_source(cr, sky);
        cairo_fill(cr);
        cairo_pattern_destroy(sky);
        Scatter rnd(99);
        // Soft clouds.
        for (int k = 0; k < 14; ++k) {
            const double x = rnd.range(0, w), y = rnd.range(40, h * 0.55);
            for (int p = 0; p < 5; ++p) {
                cairo_new_sub_path(cr);
                cairo_arc(cr, x + p * 22 - 44, y + (p % 2) * 6, 18 + (p % 3) * 6, 0, 2 * M_PI);
            }
            setColor(cr, 0x70FFFFFF);
            cairo_fill(cr);
        }
        // Distant mountains on the horizon.
        for (int layer = 0; layer < 2; ++layer) {
            cairo_move_to(cr, 0, h);
            for (int x = 0; x <= w; x += 40) {
                const double y = h - 90 + layer * 40 - 50 * std::abs(std::sin(x * 0.011 + layer * 2.0)) - 20 * std::sin(x * 0.037 + layer);
                cairo_line_to(cr, x, y);
            }
            cairo_line_to(cr, w, h);
            cairo_close_path(cr);
            fillVertical(cr, h - 170, h, layer ? 0xFFEAF2FC : 0xFFC0D2EC, layer ? 0xFFD0E0F2 : 0xFF98B0D4);
            cairo_new_path(cr);
        }
        // A little snow falling.
        for (int k = 0; k < 120; ++k) {
            cairo_arc(cr, rnd.range(0, w), rnd.range(0, h - 60), rnd.range(1, 2.5), 0, 2 * M_PI);
            setColor(cr, 0xB0FFFFFF);
            cairo_fill(cr);
        }
    });
    return atlas.build(false, true);
}

// The foreground of the intro and of the menus, centred on the screen: snowy ground over the
// whole lower half (the sky picture ends at the screen's middle line) with the station and the
// mascot waving on the left, a decorated tree and a little train at the end of its line on the
// right; the upper part is clear for the sky. The menus draw over it: their column of buttons
// (256 wide, from just below the middle line down) and the buttons in the bottom corners, and the
// intro puts the legal line in the bottom-left corner while the picture still glides into place.
// So the middle column from the middle line down and the band along the bottom edge are left as
// plain snow, and everything drawn stands beside the column and above the band. The key figures
// (station, bear, tree, train) go into the figure table, which the legibility checks hold the
// screens' texts clear of.
TextureImage introForeground() {
    Atlas atlas("xmas-edition/gfx/intro-bear.tga", 1024);
    std::vector<FigureBox> figures;
    atlas.add(800, 480, [&figures](cairo_t* cr, int w, int h) {
        auto figure = [&](const char* name, const std::function<void(cairo_t*)>& draw) {
            paintFigure(cr, figures, "intro-bear:0", w, h, name, draw);
        };
        Scatter rnd(7);
        // Back hills, then the ground: both start above the middle line (row 240).
        cairo_move_to(cr, 0, 200);
        cairo_curve_to(cr, 150, 170, 260, 215, 420, 195);
        cairo_curve_to(cr, 560, 178, 680, 205, w, 185);
        cairo_line_to(cr, w, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        fillVertical(cr, 170, 260, 0xFFE6EFFA, 0xFFCFDDEE);
        cairo_new_path(cr);
        for (int k = 0; k < 16; ++k) pineTree(cr, rnd.range(0, w), rnd.range(205, 225), rnd.range(30, 46));
        cairo_move_to(cr, 0, 236);
        cairo_curve_to(cr, 200, 222, 420, 246, 600, 228);
        cairo_curve_to(cr, 700, 220, 760, 226, w, 232);
        cairo_line_to(cr, w, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        fillVertical(cr, 220, h, 0xFFFFFFFF, 0xFFC8DAEE);
        cairo_new_path(cr);
        // Soft blue shadows in the snow.
        for (int k = 0; k < 8; ++k) {
            cairo_save(cr);
            cairo_translate(cr, rnd.range(0, w), rnd.range(280, h - 20));
            cairo_scale(cr, rnd.range(60, 140), rnd.range(8, 16));
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            setColor(cr, 0x30A8C0DC);
            cairo_fill(cr);
        }
        // Nearer pines, beside the column.
        for (int k = 0; k < 6; ++k) pineTree(cr, k < 3 ? rnd.range(10, 200) : rnd.range(600, 790), rnd.range(255, 280), rnd.range(60, 90));
        // The station on the left with its sign.
        const double hx = 100, hy = 392, hw = 130;
        figure("station", [&](cairo_t* cr) {
            snowHouse(cr, hx, hy, hw, 0xFFC8553D);
            roundedRect(cr, hx - hw * 0.3, hy - hw * 0.6 * 0.78, hw * 0.6, 15, 4);
            fillAndOutline(cr, 0xFF1E3C70, 0xFF0A1A38, 1.5);
            centredText(cr, "VESK", hx, hy - hw * 0.6 * 0.78 + 7.5, 10);
            setColor(cr, kSnow);
            cairo_fill(cr);
        });
        // The mascot waving on the platform, in front of the station's corner.
        figure("bear", [&](cairo_t* cr) {
            cairo_translate(cr, 160, 282);
            cairo_scale(cr, 0.5, 0.5);
            drawMascot(cr, 200, 240);
            for (int s = -1; s <= 1; s += 2) {
                cairo_arc(cr, 100 + s * 19, 74, 7, 0, 2 * M_PI);
                setColor(cr, 0xFF1A1A22);
                cairo_fill(cr);
                cairo_arc(cr, 102 + s * 19, 71.5, 2.2, 0, 2 * M_PI);
                setColor(cr, 0xFFFFFFFF);
                cairo_fill(cr);
            }
            // A raised paw.
            roundedRect(cr, 150, 70, 28, 70, 12);
            fillVertical(cr, 70, 140, 0xFF2F5DA8, 0xFF1E3C70);
            cairo_new_path(cr);
            cairo_arc(cr, 164, 62, 16, 0, 2 * M_PI);
            fillAndOutline(cr, 0xFFF6F8FC, 0xFF4A5668, 2);
        });
        // A decorated tree with presents on the right, behind the train.
        figure("christmas-tree", [&](cairo_t* cr) {
            holidayTree(cr, 712, 336, 150, rnd);
            for (int k = 0; k < 4; ++k) {
                roundedRect(cr, 664 + k * 24, 320, 20, 16, 3);
                fillAndOutline(cr, kCargoColours[k * 2 % 8], 0xFF303030, 1);
            }
        });
        // The end of the line: rails from a buffer stop to the right edge, and a little train
        // standing at it (engine first, two wagons with presents).
        const double ty = 392, rail0 = 552, ex = 566;
        cairo_rectangle(cr, rail0, ty + 2, w - rail0, 3);
        cairo_rectangle(cr, rail0, ty + 12, w - rail0, 3);
        setColor(cr, 0xFF505A66);
        cairo_fill(cr);
        figure("train", [&](cairo_t* cr) {
            cairo_rectangle(cr, rail0 - 2, ty - 12, 6, 28);
            fillAndOutline(cr, 0xFF505A66, 0xFF303840, 1);
            roundedRect(cr, rail0 - 6, ty - 14, 14, 10, 2);
            fillAndOutline(cr, kHollyRed, 0xFF5E0E16, 1.2);
            roundedRect(cr, ex, ty - 34, 70, 30, 5);
            fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 2);
            cairo_rectangle(cr, ex + 40, ty - 56, 26, 24);
            fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 2);
            cairo_rectangle(cr, ex + 8, ty - 50, 10, 18);
            fillAndOutline(cr, 0xFF303440, 0xFF101010, 1.5);
            for (int k = 0; k < 2; ++k) {
                roundedRect(cr, ex + 80 + k * 64, ty - 30, 58, 26, 4);
                fillAndOutline(cr, k == 1 ? 0xFF2F5DA8 : 0xFF2E7D4F, 0xFF102030, 1.5);
                roundedRect(cr, ex + 92 + k * 64, ty - 48, 20, 18, 3);
                fillAndOutline(cr, kCargoColours[(k * 3 + 1) % 8], 0xFF303030, 1);
            }
            for (int k = 0; k < 7; ++k) {
                cairo_arc(cr, ex + 12 + k * 30, ty, 6, 0, 2 * M_PI);
                fillAndOutline(cr, 0xFF303440, 0xFF101010, 1);
            }
            // Smoke drifting back over the train.
            for (int k = 0; k < 4; ++k) {
                cairo_arc(cr, ex + 13 + k * 14, ty - 62 - k * 15, 7 + k * 3, 0, 2 * M_PI);
                setColor(cr, 0xB0FFFFFF);
                cairo_fill(cr);
            }
        });
        // Pine boughs in the two top corners. The frame-rate counter stands in the top-right corner
        // in white small letters, which no part of the pale sky carries: the bough is dark and dense
        // where it stands (the last 44 by 22 units), needles only round its edge.
        for (int side = 0; side < 2; ++side) {
            cairo_save(cr);
            if (side) {
                cairo_translate(cr, w, 0);
                cairo_scale(cr, -1, 1);
            }
            cairo_move_to(cr, 0, 0);
            cairo_line_to(cr, 64, 0);
            cairo_curve_to(cr, 58, 16, 44, 30, 0, 36);
            cairo_close_path(cr);
            setColor(cr, 0xFF10402A);
            cairo_fill(cr);
            for (int k = 0; k < 14; ++k) {
                const double t = k / 13.0;
                const double bx = 64 * (1 - t) * (1 - t) * (1 - t) + 3 * t * (1 - t) * (1 - t) * 58 + 3 * t * t * (1 - t) * 44;
                const double by = 3 * t * (1 - t) * (1 - t) * 16 + 3 * t * t * (1 - t) * 30 + t * t * t * 36;
                cairo_move_to(cr, bx - 4, by - 4);
                cairo_line_to(cr, bx + 5, by + 6);
                cairo_move_to(cr, bx + 4, by - 5);
                cairo_line_to(cr, bx - 2, by + 7);
            }
            setColor(cr, 0xFF10402A);
            cairo_set_line_width(cr, 2);
            cairo_stroke(cr);
            for (int k = 0; k < 3; ++k) {
                cairo_arc(cr, 52 - k * 8, 14 + k * 7, 3.2, 0, 2 * M_PI);
                setColor(cr, kHollyRed);
                cairo_fill(cr);
            }
            cairo_restore(cr);
        }
    });
    TextureImage image = atlas.build();
    image.figures = std::move(figures);
    return image;
}

// The map of the fifteen towns: the line runs from town to town; each town is drawn where its
// stage starts along the line.
TextureImage worldMap(const TrackPath& route) {
    static const double stageLengths[15] = {220, 220, 220, 220, 200, 240, 220, 220, 220, 180, 160, 220, 220, 345, 0};
    const RoutePath path(route);
    Atlas atlas("xmas-edition/gfx/worldmap.jpg", 1024);
    atlas.add(800, 480, [&path](cairo_t* cr, int w, int h) {
        // Map coordinates: layout x, layout y x 0.8, centred.
        auto toMap = [w, h](Vec2 v) { return Vec2{w / 2.0 + v.x, h / 2.0 - v.y * 0.8}; };
        cairo_rectangle(cr, 0, 0, w, h);
        fillVertical(cr, 0, h, 0xFFEFF5FC, 0xFFD4E4F4);
        cairo_new_path(cr);
        Scatter rnd(2024);
        // Sea along the left and lakes.
        cairo_move_to(cr, 0, 0);
        cairo_curve_to(cr, 40, 120, 10, 300, 30, h);
        cairo_line_to(cr, 0, h);
        cairo_close_path(cr);
        setColor(cr, 0xFF8CB8E0);
        cairo_fill(cr);
        // Mountains and forests away from the line.
        for (int k = 0; k < 260; ++k) {
            const Vec2 m{rnd.range(40, w - 10), rnd.range(10, h - 10)};
            const Vec2 layoutPoint{m.x - w / 2.0, (h / 2.0 - m.y) / 0.8};
            if (path.distanceTo(layoutPoint) < 26) continue;
            if (k % 5 == 0) {
                cairo_move_to(cr, m.x - 14, m.y + 8);
                cairo_line_to(cr, m.x, m.y - 12);
                cairo_line_to(cr, m.x + 14, m.y + 8);
                cairo_close_path(cr);
                fillVertical(cr, m.y - 12, m.y + 8, 0xFFFFFFFF, 0xFF9AAEC8);
                cairo_new_path(cr);
            } else {
                pineTree(cr, m.x, m.y + 8, rnd.range(14, 22));
            }
        }
        // The whole route, faint (the game draws the travelled part over it).
        const auto& s = path.samples();
        for (size_t i = 0; i < s.size(); ++i) {
            const Vec2 q = toMap(s[i]);
            if (i == 0) cairo_move_to(cr, q.x, q.y);
            else cairo_line_to(cr, q.x, q.y);
        }
        setColor(cr, 0x60506070);
        cairo_set_line_width(cr, 3);
        const double dash[2] = {6, 5};
        cairo_set_dash(cr, dash, 2, 0);
        cairo_stroke(cr);
        cairo_set_dash(cr, nullptr, 0, 0);
        // Towns.
        double start = 0;
        for (int stage = 0; stage < 15; ++stage) {
            const Vec2 q = toMap(path.pointAt(std::min(start, path.length())));
            const uint32_t walls[3] = {0xFFC8553D, 0xFF4F7CAC, 0xFFE0B040};
            snowHouse(cr, q.x - 14, q.y - 8, 16, walls[stage % 3]);
            snowHouse(cr, q.x + 14, q.y - 6, 14, walls[(stage + 1) % 3]);
            start += stageLengths[stage];
        }
        // Compass rose.
        starPath(cr, w - 60, h - 60, 28, 7, 4);
        fillAndOutline(cr, 0xFFF8FBFF, 0xFF1B2A4A, 1.5);
        centredText(cr, "N", w - 60, h - 100, 14);
        setColor(cr, 0xFF1B2A4A);
        cairo_fill(cr);
    });
    return atlas.build(false, true);
}

}  // namespace

ScenePaths::ScenePaths() = default;
ScenePaths::~ScenePaths() = default;
ScenePaths::ScenePaths(ScenePaths&&) noexcept = default;

ScenePaths buildScenePaths() {
    ScenePaths paths;
    for (const SceneLayout& scene : LayoutTable::scenes()) {
        auto& designed = paths.tracks.emplace_back();
        auto& mirrored = paths.mirroredTracks.emplace_back();
        for (const LayoutTrack& layout : scene.tracks) {
            designed.push_back(TrackPaths::build(layout, 1));
            mirrored.push_back(TrackPaths::build(layout, -1));
        }
    }
    paths.mapRoute = std::make_unique<TrackPath>();
    LayoutTable::convertMapRoute(paths.mapRoute->controlPoints, paths.mapRoute->tangents);
    paths.mapRoute->resample();
    return paths;
}

std::vector<TextureImage> sceneArt(const ScenePaths& paths) { return {introSky(), introForeground(), worldMap(*paths.mapRoute)}; }

}  // namespace datagen
