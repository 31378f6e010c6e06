// The big pictures: the intro's sky and its snowy foreground with the mascot's station, the world
// map with its towns along the line, and the level scenes with their decorations (the scenery in
// front of the trains: tunnel hills, bridges and trees), laid out around each track. The tracks
// are the game's own: its layout table, converted and sampled by its path code.

#include <algorithm>
#include <cmath>
#include <cstdint>
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

// A small deterministic generator for scattering scenery.
class Scatter {
public:
    explicit Scatter(uint32_t seed) : state(seed * 2654435761u + 12345u) {}
    double next() {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) / 16777216.0;
    }
    double range(double a, double b) { return a + (b - a) * next(); }

private:
    uint32_t state;
};

struct Vec2 {
    double x = 0, y = 0;
};

// A track as the pictures see it: the game's own path, in scene units before the 0.8 squeeze.
class TrackView {
public:
    explicit TrackView(const TrackPath& path) : path(path) {
        for (const Vector3& s : path.samples) points.push_back({s.x, s.y});
    }
    double length() const { return path.length; }
    Vec2 pointAt(double distance) const {
        Vector3 p;
        path.getPoint(static_cast<float>(distance), p);
        return {p.x, p.y / 0.8};
    }
    double headingAt(double distance) const {
        Vector3 p;
        float heading = 0;
        path.getPoint(static_cast<float>(distance), p, &heading);
        return heading;
    }
    // The shortest distance from p to the path's samples.
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

// A scene with its tracks' paths (as designed: not mirrored).
struct SceneTracks {
    const SceneLayout& scene;
    std::vector<TrackView> tracks;
    SceneTracks(const SceneLayout& scene, const std::vector<std::unique_ptr<TrackPath>>& paths) : scene(scene) {
        for (const auto& path : paths) tracks.emplace_back(*path);
    }
    double distanceTo(Vec2 p) const {
        double best = 1e18;
        for (const TrackView& t : tracks) best = std::min(best, t.distanceTo(p));
        return best;
    }
};

// Scene picture coordinates: 800 x 600 pixels, shown squeezed to 800 x 480.
Vec2 toPicture(Vec2 layout) { return {400 + layout.x, 300 - layout.y}; }

struct Mood {
    uint32_t groundTop, groundBottom, shadow, accent;
};

const Mood kMoods[4] = {
    {0xFFF4F8FF, 0xFFD6E6F6, 0xFFB4C8E0, 0xFFFFD66B},  // bright morning
    {0xFFFFF4EC, 0xFFE8D8E8, 0xFFC8B4D0, 0xFFFFB050},  // rosy dusk
    {0xFFEAF4FA, 0xFFC4DCEC, 0xFF9CB8D4, 0xFFFFE080},  // clear noon
    {0xFFDCE6F6, 0xFFA8BCDC, 0xFF8098C0, 0xFFFFE890},  // evening blue
};

void snowGround(cairo_t* cr, int w, int h, const Mood& mood, Scatter& rnd) {
    cairo_rectangle(cr, 0, 0, w, h);
    fillVertical(cr, 0, h, mood.groundTop, mood.groundBottom);
    cairo_new_path(cr);
    // Soft drifts.
    for (int k = 0; k < 18; ++k) {
        const double x = rnd.range(-50, w + 50), y = rnd.range(0, h), rx = rnd.range(60, 160), ry = rnd.range(12, 30);
        cairo_save(cr);
        cairo_translate(cr, x, y);
        cairo_scale(cr, rx, ry);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        setColor(cr, (mood.shadow & 0x00FFFFFF) | 0x30000000);
        cairo_fill(cr);
        cairo_save(cr);
        cairo_translate(cr, x - rx * 0.1, y - ry * 0.35);
        cairo_scale(cr, rx * 0.9, ry * 0.7);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        setColor(cr, 0x50FFFFFF);
        cairo_fill(cr);
    }
    // Glitter.
    for (int k = 0; k < 260; ++k) {
        cairo_arc(cr, rnd.range(0, w), rnd.range(0, h), rnd.range(0.5, 1.3), 0, 2 * M_PI);
        setColor(cr, 0xC0FFFFFF);
        cairo_fill(cr);
    }
}

void frozenPond(cairo_t* cr, double x, double y, double rx, double ry) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
    cairo_restore(cr);
    fillRadial(cr, x - rx * 0.3, y - ry * 0.3, std::max(rx, ry) * 1.2, 0xFFD8F0FF, 0xFF78B0DC);
    setColor(cr, 0xFFFFFFFF);
    cairo_set_line_width(cr, 3);
    cairo_stroke(cr);
    for (int k = 0; k < 3; ++k) {
        cairo_move_to(cr, x - rx * 0.5 + k * rx * 0.3, y - ry * 0.4);
        cairo_line_to(cr, x - rx * 0.3 + k * rx * 0.3, y - ry * 0.1);
    }
    setColor(cr, 0x90FFFFFF);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
}

// A decorated tree with lights for the scenes' villages.
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

// Places scenery on free ground: away from the track, the launchers and earlier objects.
class Layout {
public:
    Layout(const SceneTracks& tracks, std::vector<Vec2> keepClear) : tracks(tracks), clear(std::move(keepClear)) {}
    bool take(Vec2 picture, double radius, double trackMargin) {
        const Vec2 layoutPoint{picture.x - 400, 300 - picture.y};
        if (tracks.distanceTo(layoutPoint) < trackMargin + radius) return false;
        for (const auto& [c, r] : used)
            if (std::hypot(c.x - picture.x, c.y - picture.y) < r + radius) return false;
        for (const Vec2& c : clear)
            if (std::hypot(c.x - picture.x, c.y - picture.y) < 70 + radius) return false;
        used.push_back({picture, radius});
        return true;
    }

private:
    const SceneTracks& tracks;
    std::vector<Vec2> clear;
    std::vector<std::pair<Vec2, double>> used;
};

void drawScene(cairo_t* cr, int w, int h, int index, const SceneTracks& level) {
    Scatter rnd(static_cast<uint32_t>(index + 1));
    const Mood& mood = kMoods[index % 4];
    snowGround(cr, w, h, mood, rnd);
    std::vector<Vec2> launchers;
    for (const LayoutSpot& l : level.scene.launchers) launchers.push_back(toPicture({l.x, l.y}));
    Layout place(level, launchers);
    // The launcher stands on a cleared, trodden circle.
    for (const Vec2& l : launchers) {
        cairo_save(cr);
        cairo_translate(cr, l.x, l.y);
        cairo_scale(cr, 1, 1.25);
        cairo_arc(cr, 0, 0, 46, 0, 2 * M_PI);
        cairo_restore(cr);
        fillRadial(cr, l.x, l.y, 60, 0xFFE4ECF6, (mood.shadow & 0x00FFFFFF) | 0x80000000);
        cairo_new_path(cr);
    }
    // A frozen pond or two.
    for (int tries = 0, ponds = 0; tries < 60 && ponds < 1 + index % 2; ++tries) {
        const Vec2 p{rnd.range(80, w - 80), rnd.range(80, h - 80)};
        if (!place.take(p, 70, 30)) continue;
        frozenPond(cr, p.x, p.y, rnd.range(55, 80), rnd.range(32, 48));
        ++ponds;
    }
    // A small village.
    const uint32_t walls[4] = {0xFFC8553D, 0xFF4F7CAC, 0xFFE0B040, 0xFF6A9A5A};
    for (int tries = 0, houses = 0; tries < 200 && houses < 3 + index % 3; ++tries) {
        const Vec2 p{rnd.range(40, w - 40), rnd.range(50, h - 20)};
        if (!place.take({p.x, p.y - 20}, 34, 30)) continue;
        snowHouse(cr, p.x, p.y, rnd.range(38, 50), walls[(houses + index) % 4]);
        ++houses;
    }
    // Snowmen and lamp posts.
    for (int tries = 0, placed = 0; tries < 300 && placed < 3; ++tries) {
        const Vec2 p{rnd.range(30, w - 30), rnd.range(60, h - 10)};
        if (!place.take({p.x, p.y - 16}, 16, 26)) continue;
        snowman(cr, p.x, p.y, rnd.range(30, 38));
        ++placed;
    }
    for (int tries = 0, placed = 0; tries < 300 && placed < 4; ++tries) {
        const Vec2 p{rnd.range(30, w - 30), rnd.range(60, h - 10)};
        if (!place.take({p.x, p.y - 14}, 10, 28)) continue;
        lampPost(cr, p.x, p.y, 30);
        ++placed;
    }
    // Trees: a few decorated ones and a forest of plain pines.
    for (int tries = 0, trees = 0; tries < 900 && trees < 46; ++tries) {
        const Vec2 p{rnd.range(0, w), rnd.range(20, h + 10)};
        const double height = rnd.range(34, 62);
        if (!place.take({p.x, p.y - height / 2}, height * 0.32, 24)) continue;
        if (trees % 9 == 0) holidayTree(cr, p.x, p.y, height, rnd);
        else pineTree(cr, p.x, p.y, height);
        ++trees;
    }
    // Each track's bed: a trodden band that the rails will be laid on.
    for (const TrackView& track : level.tracks) {
        const auto& samples = track.samples();
        cairo_new_path(cr);
        for (size_t i = 0; i < samples.size(); ++i) {
            const Vec2 p = toPicture(samples[i]);
            if (i == 0) cairo_move_to(cr, p.x, p.y);
            else cairo_line_to(cr, p.x, p.y);
        }
        cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        setColor(cr, (mood.shadow & 0x00FFFFFF) | 0x50000000);
        cairo_set_line_width(cr, 40);
        cairo_stroke_preserve(cr);
        setColor(cr, 0x60FFFFFF);
        cairo_set_line_width(cr, 30);
        cairo_stroke(cr);
    }
    // Each tunnel mouth's dark inside, under the hills of the first decorations.
    for (size_t k = 0; k < level.tracks.size(); ++k) {
        const Vec2 t = toPicture(level.tracks[k].pointAt(level.scene.tracks[k].tunnelLambda));
        cairo_arc(cr, t.x, t.y, 26, 0, 2 * M_PI);
        fillRadial(cr, t.x, t.y, 26, 0xFF101420, 0x00101420);
        cairo_new_path(cr);
    }
}

// A decoration: a picture of its own size whose centre lies at 'centre' of the scene picture.
struct Decoration {
    int w, h;
    Vec2 centre;
    Atlas::Painter paint;
};

// A stone arch over the track, facing along picture angle 'angle' (the track's direction).
void portal(cairo_t* cr, double x, double y, double angle, double facing) {
    cairo_save(cr);
    cairo_translate(cr, x, y);
    cairo_rotate(cr, angle);
    // The opening faces -x when facing is -1 (the train comes from there), +x when +1.
    cairo_scale(cr, facing, 1);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, 27, M_PI / 2, 3 * M_PI / 2);
    cairo_line_to(cr, 8, -27);
    cairo_line_to(cr, 8, 27);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFFA89C8E, 0xFF4A4038, 2);
    for (int k = 0; k < 7; ++k) {
        const double a = M_PI / 2 + k * M_PI / 6;
        cairo_move_to(cr, 20 * std::cos(a), 20 * std::sin(a));
        cairo_line_to(cr, 27 * std::cos(a), 27 * std::sin(a));
    }
    setColor(cr, 0xFF6A5E52);
    cairo_set_line_width(cr, 1.2);
    cairo_stroke(cr);
    cairo_arc(cr, 0, 0, 19, M_PI / 2, 3 * M_PI / 2);
    cairo_line_to(cr, 8, -19);
    cairo_line_to(cr, 8, 19);
    cairo_close_path(cr);
    fillRadial(cr, 6, 0, 24, 0xFF05070C, 0xFF202838);
    cairo_new_path(cr);
    cairo_restore(cr);
}

// The hill over the track's end: the train runs into it at 'at' heading 'heading' (radians,
// layout space, y up).
Decoration tunnelHill(const TrackView& track, double at) {
    const Vec2 mouth = toPicture(track.pointAt(at));
    const double heading = track.headingAt(at);
    // Picture space has y down: the direction in the picture is (cos, -sin).
    const Vec2 dir{std::cos(heading), -std::sin(heading)};
    const Vec2 centre{mouth.x + dir.x * 60, mouth.y + dir.y * 60};
    return {176, 176, centre, [dir](cairo_t* cr, int w, int h) {
                const double cx = w / 2.0, cy = h / 2.0;
                cairo_arc(cr, cx, cy, 78, 0, 2 * M_PI);
                fillRadial(cr, cx - 20, cy - 25, 100, 0xFFFFFFFF, 0xFFA8BCD8);
                setColor(cr, 0xFF7890B0);
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
                for (int k = 0; k < 5; ++k) {
                    const double a = k * 1.3;
                    cairo_arc(cr, cx + std::cos(a) * 40, cy + std::sin(a) * 40, 11 + k % 3 * 3, 0, 2 * M_PI);
                    setColor(cr, 0xFF8C94A0);
                    cairo_fill(cr);
                }
                for (int k = 0; k < 4; ++k) pineTree(cr, cx - 40 + k * 26, cy + 10 - (k % 2) * 30, 40);
                // The portal faces the incoming track.
                portal(cr, cx - dir.x * 60, cy - dir.y * 60, std::atan2(dir.y, dir.x), -1);
            }};
}

// A snowy hill the track runs through between two distances, with a portal at each end; a short
// stretch gets a wooden bridge across the track instead.
Decoration crossing(const TrackView& track, double from, double to) {
    const Vec2 a = toPicture(track.pointAt(from)), b = toPicture(track.pointAt(to));
    const double middle = (from + to) / 2;
    const Vec2 c = toPicture(track.pointAt(middle));
    // Picture angles (y down) of the track at both ends and in the middle.
    const double angleA = -track.headingAt(from), angleB = -track.headingAt(to), angleM = -track.headingAt(middle);
    const double chord = std::hypot(b.x - a.x, b.y - a.y);
    if (to - from <= 60) {
        return {192, 192, c, [angleM, span = to - from](cairo_t* cr, int w, int h) {
                    cairo_save(cr);
                    cairo_translate(cr, w / 2.0, h / 2.0);
                    cairo_rotate(cr, angleM);
                    // x runs along the track: the deck crosses it, as wide as the hidden stretch.
                    const double along = span + 16, across = 150;
                    cairo_rectangle(cr, -along / 2, -across / 2, along, across);
                    fillVertical(cr, -across / 2, across / 2, 0xFF9A6A45, 0xFF6A4428);
                    setColor(cr, 0xFF3A2414);
                    cairo_set_line_width(cr, 2);
                    cairo_stroke(cr);
                    for (double y = -across / 2 + 6; y < across / 2; y += 9) {
                        cairo_move_to(cr, -along / 2 + 2, y);
                        cairo_line_to(cr, along / 2 - 2, y);
                    }
                    setColor(cr, 0x603A2414);
                    cairo_set_line_width(cr, 1.2);
                    cairo_stroke(cr);
                    // Snow on the deck and red railings on both sides.
                    roundedRect(cr, -along / 2 + 6, -across / 2 + 4, along - 12, across - 8, 8);
                    setColor(cr, 0xC8F8FBFF);
                    cairo_fill(cr);
                    for (int side = -1; side <= 1; side += 2) {
                        cairo_rectangle(cr, side * along / 2 - 3, -across / 2 - 4, 6, across + 8);
                        fillAndOutline(cr, kHollyRed, 0xFF5E0E16, 1);
                        for (double y = -across / 2; y <= across / 2; y += 25) {
                            cairo_arc(cr, side * along / 2, y, 4, 0, 2 * M_PI);
                            fillAndOutline(cr, kSnow, 0xFF8090A0, 1);
                        }
                    }
                    cairo_restore(cr);
                }};
    }
    const double radius = std::max(50.0, chord / 2 + 34);
    const int size = static_cast<int>(2 * radius + 24);
    return {size, size, c, [a, b, c, angleA, angleB, radius](cairo_t* cr, int w, int h) {
                const double ox = w / 2.0 - c.x, oy = h / 2.0 - c.y;
                cairo_save(cr);
                cairo_translate(cr, w / 2.0, h / 2.0);
                cairo_scale(cr, 1, 0.85);
                cairo_arc(cr, 0, 0, radius, 0, 2 * M_PI);
                cairo_restore(cr);
                fillRadial(cr, w / 2.0 - radius * 0.3, h / 2.0 - radius * 0.35, radius * 1.4, 0xFFFFFFFF, 0xFFA8BCD8);
                setColor(cr, 0xFF7890B0);
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
                Scatter rnd(static_cast<uint32_t>(radius * 7));
                for (int k = 0; k < 6; ++k) {
                    cairo_arc(cr, w / 2.0 + rnd.range(-radius, radius) * 0.5, h / 2.0 + rnd.range(-radius, radius) * 0.4, rnd.range(6, 12), 0, 2 * M_PI);
                    setColor(cr, 0xFF9CA4B0);
                    cairo_fill(cr);
                }
                for (int k = 0; k < 3; ++k) pineTree(cr, w / 2.0 + rnd.range(-radius, radius) * 0.45, h / 2.0 + rnd.range(-radius, radius) * 0.3, 38);
                portal(cr, a.x + ox, a.y + oy, angleA, -1);
                portal(cr, b.x + ox, b.y + oy, angleB, 1);
            }};
}

// A clump of trees in front of the track near the given distance.
Decoration treeClump(const TrackView& track, double at, int side, uint32_t seed) {
    const Vec2 p = toPicture(track.pointAt(at));
    const double heading = track.headingAt(at);
    const Vec2 normal{-std::sin(heading) * side, -std::cos(heading) * side};
    const Vec2 c{std::clamp(p.x + normal.x * 60, 60.0, 740.0), std::clamp(p.y + normal.y * 60, 60.0, 560.0)};
    return {128, 128, c, [seed](cairo_t* cr, int w, int h) {
                Scatter rnd(seed);
                for (int k = 0; k < 5; ++k) {
                    const double x = w / 2.0 + rnd.range(-34, 34), y = h - 12 - rnd.range(0, 40);
                    pineTree(cr, x, y, rnd.range(54, 78));
                }
            }};
}

TextureImage sceneTexture(int index, const SceneTracks& level) {
    Atlas atlas(LayoutTable::scenePicture(level.scene), 1024);
    atlas.add(800, 600, [index, &level](cairo_t* cr, int w, int h) { drawScene(cr, w, h, index, level); });
    return atlas.build(false, true);
}

// One decoration per listed depth: a hill over each track's mouth, a crossing over each hidden
// stretch, then clumps of trees near the first track.
TextureImage decorationTexture(int index, const SceneTracks& level) {
    const int count = static_cast<int>(level.scene.decorationDepths.size());
    std::vector<Decoration> pieces;
    for (size_t k = 0; k < level.tracks.size(); ++k)
        if (static_cast<int>(pieces.size()) < count) pieces.push_back(tunnelHill(level.tracks[k], level.scene.tracks[k].tunnelLambda));
    for (size_t k = 0; k < level.tracks.size(); ++k)
        for (const LayoutSpan& hidden : level.scene.tracks[k].hidden)
            if (static_cast<int>(pieces.size()) < count) pieces.push_back(crossing(level.tracks[k], hidden.start, hidden.end));
    const double tunnel = level.scene.tracks[0].tunnelLambda;
    for (int k = 0; static_cast<int>(pieces.size()) < count; ++k)
        pieces.push_back(treeClump(level.tracks[0], tunnel * (0.3 + 0.25 * k), k % 2 ? 1 : -1, static_cast<uint32_t>(index * 10 + k)));
    Atlas atlas(LayoutTable::decorationPicture(level.scene), 512);
    for (const Decoration& d : pieces)
        atlas.add(d.w, d.h, d.paint, static_cast<int>(std::lround(d.centre.x - 400)), static_cast<int>(std::lround(d.centre.y - 300)));
    return atlas.build();
}

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
// whole lower half (the sky picture ends at the screen's middle line) with the station, the
// mascot waving, a decorated tree and a little train; the upper part is clear for the sky.
TextureImage introForeground() {
    Atlas atlas("xmas-edition/gfx/intro-bear.tga", 1024);
    atlas.add(800, 480, [](cairo_t* cr, int w, int h) {
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
        for (int k = 0; k < 6; ++k) pineTree(cr, k < 3 ? rnd.range(10, 230) : rnd.range(560, 790), rnd.range(255, 290), rnd.range(60, 90));
        // The station on the left with its sign.
        snowHouse(cr, 140, 400, 150, 0xFFC8553D);
        roundedRect(cr, 95, 330, 90, 16, 4);
        fillAndOutline(cr, 0xFF1E3C70, 0xFF0A1A38, 1.5);
        centredText(cr, "VESK", 140, 338, 11);
        setColor(cr, kSnow);
        cairo_fill(cr);
        // The mascot waving on the platform.
        cairo_save(cr);
        cairo_translate(cr, 250, 268);
        cairo_scale(cr, 0.55, 0.55);
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
        cairo_restore(cr);
        // A decorated tree with presents on the right.
        holidayTree(cr, 680, 420, 170, rnd);
        for (int k = 0; k < 4; ++k) {
            roundedRect(cr, 630 + k * 26, 404, 22, 18, 3);
            fillAndOutline(cr, kCargoColours[k * 2 % 8], 0xFF303030, 1);
        }
        // Rails and a little train across the front.
        const double ty = 448;
        cairo_rectangle(cr, 0, ty + 2, w, 3);
        cairo_rectangle(cr, 0, ty + 12, w, 3);
        setColor(cr, 0xFF505A66);
        cairo_fill(cr);
        roundedRect(cr, 300, ty - 34, 70, 30, 5);
        fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 2);
        cairo_rectangle(cr, 340, ty - 56, 26, 24);
        fillAndOutline(cr, 0xFFE03545, 0xFF5E0E16, 2);
        cairo_rectangle(cr, 308, ty - 50, 10, 18);
        fillAndOutline(cr, 0xFF303440, 0xFF101010, 1.5);
        for (int k = 0; k < 3; ++k) {
            roundedRect(cr, 380 + k * 64, ty - 30, 58, 26, 4);
            fillAndOutline(cr, k == 1 ? 0xFF2F5DA8 : 0xFF2E7D4F, 0xFF102030, 1.5);
            roundedRect(cr, 392 + k * 64, ty - 48, 20, 18, 3);
            fillAndOutline(cr, kCargoColours[(k * 3 + 1) % 8], 0xFF303030, 1);
        }
        for (int k = 0; k < 9; ++k) {
            cairo_arc(cr, 312 + k * 30, ty, 6, 0, 2 * M_PI);
            fillAndOutline(cr, 0xFF303440, 0xFF101010, 1);
        }
        for (int k = 0; k < 4; ++k) {
            cairo_arc(cr, 312 - k * 18, ty - 64 - k * 16, 8 + k * 4, 0, 2 * M_PI);
            setColor(cr, 0xB0FFFFFF);
            cairo_fill(cr);
        }
    });
    return atlas.build();
}

// The map of the fifteen towns: the line runs from town to town; each town is drawn where its
// stage starts along the line.
TextureImage worldMap(const TrackPath& route) {
    static const double stageLengths[15] = {220, 220, 220, 220, 200, 240, 220, 220, 220, 180, 160, 220, 220, 345, 0};
    const TrackView path(route);
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
        auto& tracks = paths.tracks.emplace_back();
        for (const LayoutTrack& layout : scene.tracks) {
            auto path = std::make_unique<TrackPath>();
            LayoutTable::convertTrack(layout.points, 1, 1, path->controlPoints, path->tangents);
            path->resample();
            tracks.push_back(std::move(path));
        }
    }
    paths.mapRoute = std::make_unique<TrackPath>();
    LayoutTable::convertMapRoute(paths.mapRoute->controlPoints, paths.mapRoute->tangents);
    paths.mapRoute->resample();
    return paths;
}

std::vector<TextureImage> sceneArt(const ScenePaths& paths) {
    std::vector<TextureImage> out{introSky(), introForeground(), worldMap(*paths.mapRoute)};
    const auto scenes = LayoutTable::scenes();
    for (size_t index = 0; index < scenes.size(); ++index) {
        const SceneTracks level(scenes[index], paths.tracks[index]);
        out.push_back(sceneTexture(static_cast<int>(index), level));
        out.push_back(decorationTexture(static_cast<int>(index), level));
    }
    return out;
}

namespace {

const TextureImage* findTexture(const std::vector<TextureImage>& all, const std::string& file) {
    for (const TextureImage& t : all)
        if (t.file == file) return &t;
    return nullptr;
}

}  // namespace

std::vector<TextureImage> levelPreviews(const std::vector<TextureImage>& art, const ScenePaths& paths) {
    std::vector<TextureImage> out;
    const auto scenes = LayoutTable::scenes();
    for (size_t index = 0; index < scenes.size(); ++index) {
        const SceneTracks level(scenes[index], paths.tracks[index]);
        const TextureImage* scene = findTexture(art, LayoutTable::scenePicture(level.scene));
        const TextureImage* decoration = findTexture(art, LayoutTable::decorationPicture(level.scene));
        if (!scene || !decoration) continue;
        Atlas atlas(std::string("level-") + level.scene.id + " as played", 1024);
        atlas.add(800, 480, [&](cairo_t* cr, int, int) {
            // As the game shows it: pictures squeezed to 0.8 in height, the tracks where the rails
            // will lie (red), the trains' paths under the decorations.
            cairo_scale(cr, 1, 0.8);
            paintSkin(cr, *scene, scene->skins[0], 0, 0);
            for (const TrackView& track : level.tracks) {
                const auto& samples = track.samples();
                for (size_t i = 0; i < samples.size(); ++i) {
                    const Vec2 p = toPicture(samples[i]);
                    if (i == 0) cairo_move_to(cr, p.x, p.y);
                    else cairo_line_to(cr, p.x, p.y);
                }
                cairo_set_source_rgba(cr, 0.8, 0.1, 0.1, 0.7);
                cairo_set_line_width(cr, 3);
                cairo_stroke(cr);
            }
            for (const SkinRect& s : decoration->skins)
                paintSkin(cr, *decoration, s, 400 + s.originAdjustX - s.width / 2.0, 300 + s.originAdjustY - s.height / 2.0);
            for (const LayoutSpot& l : level.scene.launchers) {
                const Vec2 p = toPicture({l.x, l.y});
                cairo_arc(cr, p.x, p.y, 20, 0, 2 * M_PI);
                cairo_set_source_rgba(cr, 0.1, 0.2, 0.8, 0.7);
                cairo_fill(cr);
            }
        });
        out.push_back(atlas.build(true, true));
    }
    return out;
}

}  // namespace datagen
