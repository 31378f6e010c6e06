#pragma once
// Where the level pictures' tracks run and where their cars can stand, as the game computes it:
// the game's own paths and chord tables, seen on the screen and on the scene picture.
//
// Screen: the playfield as shown, 800 x 480, x right and y down; a drawable's point (x, y) shows
// at (400 + x, 240 - y). The scene picture is the screen stretched to 600 rows (the game squeezes
// it by 0.8), so a track sample (x, y) before the squeeze is picture pixel (400 + x, 300 - y).
// Only picture rows 20 to 580 show: the head-up display's bar covers the top, and the camera,
// raised by 16, leaves the bottom rows below the screen.

#include <cairo.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

#include "game/ChordTable.h"
#include "game/LayoutTable.h"
#include "game/TrackPath.h"

namespace datagen {

struct Vec2 {
    double x = 0, y = 0;
};
inline Vec2 operator+(Vec2 a, Vec2 b) { return {a.x + b.x, a.y + b.y}; }
inline Vec2 operator-(Vec2 a, Vec2 b) { return {a.x - b.x, a.y - b.y}; }
inline Vec2 operator*(Vec2 a, double f) { return {a.x * f, a.y * f}; }
inline double dot(Vec2 a, Vec2 b) { return a.x * b.x + a.y * b.y; }
inline double length(Vec2 a) { return std::hypot(a.x, a.y); }
// The left-hand normal on the screen (y down): a quarter turn anticlockwise as seen.
inline Vec2 normalOf(Vec2 d) { return {d.y, -d.x}; }

constexpr int kPictureWidth = 800, kPictureHeight = 600;
constexpr double kPictureStretch = 1.25;
constexpr int kFirstShownRow = 20, kLastShownRow = 580;
inline Vec2 screenToPicture(Vec2 s) { return {s.x, s.y * kPictureStretch}; }
inline Vec2 pictureToScreen(Vec2 p) { return {p.x, p.y / kPictureStretch}; }

// The car kinds as the car picture draws them (engine, then wagons with one to three slots): the
// skin's width and height. A car's body, front to rear, is its width less the inset; the next car
// follows at the gap.
struct CarSize {
    double width, height;
};
inline constexpr std::array<CarSize, 4> kCarSizes = {{{72, 40}, {56, 40}, {88, 40}, {120, 40}}};
inline constexpr double kBodyInset = 24, kCarGap = 28;

// One track's path with the chord tables of the car bodies and of the gap, as the game builds
// them. They are engine objects, which join the engine's object list, and that list is not
// thread-safe: they are built before the painters' threads start, which only read them.
struct TrackPaths {
    TrackPaths();
    ~TrackPaths();
    TrackPaths(TrackPaths&&) noexcept;
    TrackPaths& operator=(TrackPaths&&) noexcept;
    static TrackPaths build(const LayoutTrack& layout, int mirrorX);

    std::unique_ptr<TrackPath> path;
    std::array<std::unique_ptr<ChordTable>, 4> bodies;
    std::unique_ptr<ChordTable> gap;
};

// Where a track position lies: shown, in one of the track's hidden stretches, or past the mouth.
enum : int { STRETCH_SHOWN = -1, STRETCH_PAST_MOUTH = -2 };

// A track of a level as the pictures see it.
class TrackGeometry {
public:
    TrackGeometry(const TrackPaths& paths, const LayoutTrack& layout, int index);

    Vec2 screenAt(double pos) const;
    Vec2 pictureAt(double pos) const { return screenToPicture(screenAt(pos)); }
    // The unit direction of travel on the screen.
    Vec2 screenDirection(double pos) const;
    // The path's depth (larger is farther); a car takes the depth at its front.
    double depthAt(double pos) const;
    double length() const { return paths.path->length; }
    double tunnel() const { return layout.tunnelLambda; }
    int stretchAt(double pos) const;
    // The stretch's ends: a hidden stretch, or the mouth to the end of the path.
    double stretchStart(int stretch) const;
    double stretchEnd(int stretch) const;
    // Whether the position's point is on the shown part of the picture.
    bool onShownPicture(double pos, double margin = 0) const;
    // The track position nearest to a screen point, among the positions between 'from' and 'to'.
    double nearestPosition(Vec2 screen, double from, double to) const;
    // The rear of a car of that kind whose front is at pos, and the front of the car behind it.
    double rearOf(int kind, double front) const;
    double nextFrontOf(double rear) const;

    const TrackPaths& paths;
    const LayoutTrack& layout;
    const int index;

private:
    std::vector<Vec2> screenSamples;
};

// A piece of a car sprite where it can stand: the part between two track positions, with the
// depth the car is sorted by (its front's).
struct CarPiece {
    Vec2 centre, axis;          // the car's centre and its unit axis, rear to front (screen)
    double t0, t1, halfHeight;  // the piece along the axis from the centre, and across it
    double from, to;            // track positions along the piece
    double front;               // the car's front
    double depth;
    int track;
    int stretch;  // STRETCH_SHOWN, STRETCH_PAST_MOUTH or the hidden stretch's index

    // The corners (screen), in order round the piece, widened by 'grow' on all sides.
    std::array<Vec2, 4> corners(double grow = 0) const {
        const Vec2 n = normalOf(axis);
        const double a = t0 - grow, b = t1 + grow, h = halfHeight + grow;
        return {centre + axis * a + n * h, centre + axis * b + n * h, centre + axis * b - n * h, centre + axis * a - n * h};
    }
    // A point of the piece: u and v from -1 to 1 along and across it.
    Vec2 pointAt(double u, double v) const {
        return centre + axis * ((t0 + t1) / 2 + u * (t1 - t0) / 2) + normalOf(axis) * (v * halfHeight);
    }
};

// Every car of every kind whose front stands at multiples of 'step' along the track, for as long
// as the car shows (the game hides a car once the front of the car behind it has passed the
// mouth), cut where it passes from one stretch into another. A part of a car belongs to the
// track position it lies over (the nearest around the car): a sprite reaches beyond its front
// and rear, and on a curve its ends stand off the track. Each piece is widened by 'grow' on all
// sides.
std::vector<CarPiece> carPieces(const TrackGeometry& track, double step, double grow);

// An 8-bit coverage mask of the scene picture.
class PictureMask {
public:
    PictureMask();
    ~PictureMask();
    PictureMask(const PictureMask&) = delete;
    PictureMask& operator=(const PictureMask&) = delete;

    // Fills the kept pieces, widened by 'grow', into the mask.
    template <typename Keep>
    void addPieces(const std::vector<CarPiece>& pieces, double grow, Keep keep) {
        cairo_t* cr = screenContext();
        for (const CarPiece& piece : pieces) {
            if (!keep(piece)) continue;
            const std::array<Vec2, 4> c = piece.corners(grow);
            cairo_move_to(cr, c[0].x, c[0].y);
            for (int k = 1; k < 4; ++k) cairo_line_to(cr, c[k].x, c[k].y);
            cairo_close_path(cr);
        }
        cairo_fill(cr);
        cairo_destroy(cr);
    }
    // A context that draws into the mask in screen coordinates, in opaque black (the caller
    // destroys it).
    cairo_t* screenContext();
    // Coverage at a picture pixel (0 outside the picture).
    uint8_t at(int x, int y) const;
    uint8_t atScreen(Vec2 s) const {
        const Vec2 p = screenToPicture(s);
        return at(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
    }
    cairo_surface_t* surface() {
        dirty = true;
        return image;
    }
    // Sets every pixel in the rectangle (picture pixels, clamped) to value(x, y) at most, keeping
    // what is more.
    template <typename Value>
    void raise(int left, int top, int right, int bottom, Value value) {
        cairo_surface_flush(image);
        unsigned char* data = cairo_image_surface_get_data(image);
        const int stride = cairo_image_surface_get_stride(image);
        for (int y = std::max(0, top); y < std::min(kPictureHeight, bottom); ++y)
            for (int x = std::max(0, left); x < std::min(kPictureWidth, right); ++x) {
                unsigned char& p = data[static_cast<size_t>(y) * static_cast<size_t>(stride) + static_cast<size_t>(x)];
                p = std::max<unsigned char>(p, value(x, y));
            }
        cairo_surface_mark_dirty(image);
        dirty = true;
    }

private:
    cairo_surface_t* image;
    mutable bool dirty = true;
};

// Where cars can stand on a scene picture, pixel by pixel: every car of every kind at every
// 'step' units of every track while it shows, each of its pixels judged by the track position
// it lies over (the nearest around the car).
class CarRaster {
public:
    CarRaster(const std::vector<TrackGeometry>& tracks, double step);

    static constexpr float kNone = -1e30f;
    // The deepest car over a pixel where the part of it there shows (kNone: no such car).
    const std::vector<float>& shownDeepest() const { return shown; }
    // Pixels under parts of cars of that track in that stretch (a hidden one, or past the mouth),
    // and the nearest such car over the shown picture (kNone when none is).
    const std::vector<uint8_t>& hiddenIn(int track, int stretch) const;
    float nearestHiddenIn(int track, int stretch) const;
    // Pixels under any part of any car.
    const std::vector<uint8_t>& anyCar() const { return any; }

private:
    std::vector<float> shown;
    std::vector<uint8_t> any;
    std::map<std::pair<int, int>, std::vector<uint8_t>> hidden;
    std::map<std::pair<int, int>, float> hiddenNearest;
    std::vector<uint8_t> none;
};

// Turns a set of picture pixels into a smooth mask grown by 'grow' screen units all round.
void growInto(const std::vector<uint8_t>& set, double grow, PictureMask& into);

}  // namespace datagen
