// The level pictures. Each scene picture is snowy ground with its village and woods, and the
// railway laid along every track's path as the game computes it, to just past the tunnel mouth.
// The decoration picture holds what stands in front of the trains, one skin per depth of the
// layout table: a hill over each mouth; a hill with two portals over a hidden stretch, or a
// bridge where a nearer track passes over it (the upper rails on its deck); scenery in the spare
// skins, over no track that shows.
//
// A decoration of depth D is drawn over the cars deeper than D and under the others, so each
// cover takes a depth nearer than every car it hides and farther than every track passing over
// it. Where cars show, no decoration drawn over them may be opaque: the car pieces that show are
// cut out of it. Where they must not show (hidden stretches, past the mouth) its cover is filled.

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "datagen/ArtBank.h"
#include "datagen/ArtShapes.h"
#include "datagen/Canvas.h"
#include "datagen/LevelGeometry.h"
#include "datagen/Palette.h"
#include "datagen/Rails.h"
#include "datagen/Scatter.h"

namespace datagen {

namespace {

constexpr double kInfinity = 1e30;
// Front positions of the cars judged pixel by pixel, and of those judged in pieces.
constexpr double kRasterStep = 4, kPieceStep = 4;
// Cut-outs reach this far beyond the shown cars, fills this far beyond the hidden ones.
constexpr double kCutMargin = 3, kFillMargin = 4;
// How far along its own track a cover does not count the track as passing over it.
constexpr double kOwnReach = 130;
// How far (track units) a bridge's deck reaches beyond what it hides, either side.
constexpr double kDeckOverhang = 12;
// The rails run this far past the mouth, under the hill.
constexpr double kRailsPastMouth = 30;

struct Mood {
    uint32_t groundTop, groundBottom, shadow, accent;
};

const Mood kMoods[4] = {
    {0xFFF4F8FF, 0xFFD6E6F6, 0xFFB4C8E0, 0xFFFFD66B},  // bright morning
    {0xFFFFF4EC, 0xFFE8D8E8, 0xFFC8B4D0, 0xFFFFB050},  // rosy dusk
    {0xFFEAF4FA, 0xFFC4DCEC, 0xFF9CB8D4, 0xFFFFE080},  // clear noon
    {0xFFDCE6F6, 0xFFA8BCDC, 0xFF8098C0, 0xFFFFE890},  // evening blue
};

// A picture-sized ARGB layer.
class Layer {
public:
    Layer() : image(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kPictureWidth, kPictureHeight)) {}
    ~Layer() { cairo_surface_destroy(image); }
    Layer(const Layer&) = delete;
    Layer& operator=(const Layer&) = delete;

    cairo_t* pictureContext() {
        dirty = true;
        return cairo_create(image);
    }
    cairo_t* screenContext() {
        cairo_t* cr = pictureContext();
        cairo_scale(cr, 1, kPictureStretch);
        return cr;
    }
    uint8_t alphaAt(int x, int y) const {
        if (x < 0 || y < 0 || x >= kPictureWidth || y >= kPictureHeight) return 0;
        if (dirty) {
            cairo_surface_flush(image);
            dirty = false;
        }
        const unsigned char* data = cairo_image_surface_get_data(image);
        const auto* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * cairo_image_surface_get_stride(image));
        return static_cast<uint8_t>(row[x] >> 24);
    }
    uint8_t alphaAtScreen(Vec2 s) const {
        const Vec2 p = screenToPicture(s);
        return alphaAt(static_cast<int>(std::floor(p.x)), static_cast<int>(std::floor(p.y)));
    }
    cairo_surface_t* surface() {
        dirty = true;
        return image;
    }

private:
    cairo_surface_t* image;
    mutable bool dirty = true;
};

enum class CoverKind { MOUTH_HILL, TUNNEL_HILL, BRIDGE, SCENERY };

// One decoration: what it hides, the depths it must lie between, and its picture.
struct Cover {
    CoverKind kind = CoverKind::SCENERY;
    int track = -1;
    int stretch = STRETCH_SHOWN;
    double from = 0, to = 0;        // the track positions it hides
    double nearestHidden = kInfinity;  // its depth must be nearer than every car it hides
    double farthestPass = -kInfinity;  // and farther than every car passing over it
    int passTrack = -1;             // the track passing over it most
    double passFrom = 0, passTo = 0;
    double depth = 0;
    std::shared_ptr<Layer> layer = std::make_shared<Layer>();
};

// Everything a scene's pictures are made from.
struct SceneWork {
    SceneWork(const SceneLayout& scene, int index, const std::vector<TrackPaths>& paths)
        : scene(scene), index(index), mood(kMoods[index % 4]), tracks(geometries(scene, paths)), raster(tracks, kRasterStep) {
        for (const TrackGeometry& track : tracks) {
            std::vector<CarPiece> some = carPieces(track, kPieceStep, 0);
            pieces.insert(pieces.end(), some.begin(), some.end());
        }
        for (const LayoutSpot& spot : scene.launchers) launchers.push_back({400 + spot.x, 240 - 0.8 * spot.y});
    }

    static std::vector<TrackGeometry> geometries(const SceneLayout& scene, const std::vector<TrackPaths>& paths) {
        std::vector<TrackGeometry> out;
        for (size_t k = 0; k < paths.size(); ++k) out.emplace_back(paths[k], scene.tracks[k], static_cast<int>(k));
        return out;
    }

    // Where the parts of cars deeper than 'depth' show (all of them for -infinity), grown.
    PictureMask& shownDeeperThan(double depth, double grow) {
        auto& mask = shownMasks[{depth, grow}];
        if (!mask) {
            mask = std::make_unique<PictureMask>();
            std::vector<uint8_t> set(raster.shownDeepest().size());
            for (size_t i = 0; i < set.size(); ++i) set[i] = raster.shownDeepest()[i] > depth;
            growInto(set, grow, *mask);
        }
        return *mask;
    }
    // Whether a piece is the cover's own track next to what it hides (its cars' bodies overlap
    // there on curves, which no depth can settle).
    static bool ownNeighbour(const CarPiece& p, const Cover& c) {
        return p.track == c.track && p.to > c.from - kOwnReach && p.from < c.to + kOwnReach;
    }

    const SceneLayout& scene;
    const int index;
    const Mood mood;
    std::vector<TrackGeometry> tracks;
    CarRaster raster;
    // The same cars in pieces, for what needs no more than a piece's accuracy: which tracks pass
    // over a cover, and where rails are laid on one.
    std::vector<CarPiece> pieces;
    std::vector<Vec2> launchers;  // screen
    std::map<std::pair<double, double>, std::unique_ptr<PictureMask>> shownMasks;
};

bool onShownPicture(Vec2 screen) {
    const Vec2 p = screenToPicture(screen);
    return p.x >= 0 && p.x < kPictureWidth && p.y >= kFirstShownRow && p.y < kLastShownRow;
}

// The covers a scene needs: a hill over each mouth, then a cover over each hidden stretch, with
// the depths each may take.
std::vector<Cover> planCovers(SceneWork& work) {
    std::vector<Cover> covers;
    auto plan = [&](const TrackGeometry& track, int stretch) {
        // Nothing to hide where no car part of the stretch is on the shown picture.
        const float nearest = work.raster.nearestHiddenIn(track.index, stretch);
        if (nearest == CarRaster::kNone) return;
        std::vector<CarPiece> hidden;
        for (const CarPiece& p : work.pieces)
            if (p.track == track.index && p.stretch == stretch) hidden.push_back(p);
        Cover c;
        c.kind = stretch == STRETCH_PAST_MOUTH ? CoverKind::MOUTH_HILL : CoverKind::TUNNEL_HILL;
        c.track = track.index;
        c.stretch = stretch;
        c.from = track.stretchStart(stretch);
        c.to = c.from;
        for (const CarPiece& p : hidden) c.to = std::max(c.to, p.to);
        c.to = std::min(c.to, track.stretchEnd(stretch));
        c.nearestHidden = nearest;
        // The tracks passing over what it hides: shown cars over its hidden ones.
        PictureMask covered;
        covered.addPieces(hidden, 0, [](const CarPiece&) { return true; });
        std::map<int, int> hits;
        for (const CarPiece& p : work.pieces) {
            if (p.stretch != STRETCH_SHOWN || SceneWork::ownNeighbour(p, c)) continue;
            bool over = false;
            for (double u : {-0.7, 0.0, 0.7})
                for (double v : {-0.7, 0.0, 0.7}) over = over || covered.atScreen(p.pointAt(u, v)) > 128;
            if (!over) continue;
            c.farthestPass = std::max(c.farthestPass, p.depth);
            ++hits[p.track];
        }
        int most = 0;
        for (const auto& [passTrack, count] : hits)
            if (count > most) {
                most = count;
                c.passTrack = passTrack;
            }
        if (c.passTrack >= 0) {
            c.passFrom = kInfinity;
            c.passTo = -kInfinity;
            for (const CarPiece& p : work.pieces) {
                if (p.stretch != STRETCH_SHOWN || p.track != c.passTrack || SceneWork::ownNeighbour(p, c)) continue;
                bool over = false;
                for (double u : {-0.7, 0.0, 0.7})
                    for (double v : {-0.7, 0.0, 0.7}) over = over || covered.atScreen(p.pointAt(u, v)) > 128;
                if (!over) continue;
                c.passFrom = std::min(c.passFrom, p.from);
                c.passTo = std::max(c.passTo, p.to);
            }
            if (c.kind == CoverKind::TUNNEL_HILL) c.kind = CoverKind::BRIDGE;
        }
        covers.push_back(std::move(c));
    };
    for (const TrackGeometry& track : work.tracks) plan(track, STRETCH_PAST_MOUTH);
    for (const TrackGeometry& track : work.tracks)
        for (size_t j = 0; j < track.layout.hidden.size(); ++j) plan(track, static_cast<int>(j));
    return covers;
}

// Gives each cover a skin whose depth lies strictly between its passes and its cars, as deep as
// possible (a deeper cover leaves more of the nearer tracks to be drawn over it; ties keep the
// table's order). Returns, per skin, the cover it shows (-1: scenery).
std::vector<int> assignSkins(const std::vector<Cover>& covers, std::span<const float> depths, const char* id) {
    const size_t n = covers.size(), m = depths.size();
    if (n > m)
        throw std::runtime_error(std::string("scene ") + id + " needs " + std::to_string(n) + " covers but has " + std::to_string(m) +
                                 " decoration depths");
    std::vector<int> best, current(m, -1);
    double bestScore = -kInfinity;
    std::function<void(size_t, double)> search = [&](size_t cover, double score) {
        if (cover == n) {
            if (score > bestScore) {
                bestScore = score;
                best = current;
            }
            return;
        }
        for (size_t skin = 0; skin < m; ++skin) {
            if (current[skin] >= 0) continue;
            const double d = depths[skin];
            if (!(covers[cover].farthestPass < d && d < covers[cover].nearestHidden)) continue;
            current[skin] = static_cast<int>(cover);
            search(cover + 1, score + d);
            current[skin] = -1;
        }
    };
    search(0, 0);
    if (best.empty()) {
        std::string why = std::string("scene ") + id + ": no decoration depths fit its covers:";
        for (const Cover& c : covers)
            why += " track " + std::to_string(c.track) + " stretch " + std::to_string(c.stretch) + " needs (" + std::to_string(c.farthestPass) +
                   ", " + std::to_string(c.nearestHidden) + ");";
        throw std::runtime_error(why);
    }
    return best;
}

// ---------------------------------------------------------------------------------------------
// Painting helpers (screen coordinates).

void polygonPath(cairo_t* cr, const std::vector<Vec2>& points) {
    for (size_t k = 0; k < points.size(); ++k) {
        if (k == 0) cairo_move_to(cr, points[k].x, points[k].y);
        else cairo_line_to(cr, points[k].x, points[k].y);
    }
    cairo_close_path(cr);
}

// A rock poking out of the snow.
void rock(cairo_t* cr, Vec2 at, double r, Scatter& rnd) {
    std::vector<Vec2> outline;
    for (int k = 0; k < 7; ++k) {
        const double a = k * 2 * M_PI / 7 + rnd.range(-0.2, 0.2), rr = r * rnd.range(0.75, 1.1);
        outline.push_back({at.x + std::cos(a) * rr, at.y + std::sin(a) * rr * 0.75});
    }
    polygonPath(cr, outline);
    fillVertical(cr, at.y - r, at.y + r, 0xFF9AA2AE, 0xFF5E6672);
    setColor(cr, 0xFF404852);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    cairo_save(cr);
    cairo_translate(cr, at.x - r * 0.1, at.y - r * 0.35);
    cairo_scale(cr, r * 0.8, r * 0.38);
    cairo_arc(cr, 0, 0, 1, M_PI, 2 * M_PI);
    cairo_restore(cr);
    cairo_close_path(cr);
    setColor(cr, 0xF0F8FBFF);
    cairo_fill(cr);
}

// A tunnel portal: a stone ring round a dark opening. 'at' is the track's centre on the portal's
// face, 'inward' the unit direction into the hill, 'depth' how far the ring reaches into it;
// nothing is drawn before the face within the cars' width, so a car shows up to the face and
// vanishes into the opening.
void portal(cairo_t* cr, Vec2 at, Vec2 inward, double depth) {
    const double outer = 34, inner = 23, deep = std::clamp(depth, 12.0, outer), scale = deep / outer;
    cairo_save(cr);
    cairo_translate(cr, at.x, at.y);
    cairo_rotate(cr, std::atan2(inward.y, inward.x));
    // Wing walls along the cutting, clear of the cars.
    for (int side = -1; side <= 1; side += 2) {
        const double y = side > 0 ? 27 : -33;
        cairo_rectangle(cr, -18, y, 20, 6);
        fillAndOutline(cr, 0xFFA39788, 0xFF4A4038, 1.2);
        for (double x = -14; x < 2; x += 6) {
            cairo_move_to(cr, x, y);
            cairo_line_to(cr, x, y + 6);
        }
        setColor(cr, 0x704A4038);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        cairo_rectangle(cr, -18, y, 20, 2.2);
        setColor(cr, 0xFFF4F8FF);
        cairo_fill(cr);
    }
    // The ring of stones, its crown towards the hill.
    cairo_save(cr);
    cairo_scale(cr, scale, 1);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, outer, -M_PI / 2, M_PI / 2);
    cairo_close_path(cr);
    cairo_restore(cr);
    fillRadial(cr, 4, -8, 40, 0xFFC8BCAC, 0xFF8A7E70);
    setColor(cr, 0xFF433A32);
    cairo_set_line_width(cr, 1.6);
    cairo_stroke(cr);
    for (int k = 1; k < 12; ++k) {
        const double a = -M_PI / 2 + k * M_PI / 12;
        cairo_move_to(cr, scale * inner * std::cos(a), inner * std::sin(a));
        cairo_line_to(cr, scale * outer * std::cos(a), outer * std::sin(a));
    }
    setColor(cr, 0xFF5E5246);
    cairo_set_line_width(cr, 1);
    cairo_stroke(cr);
    // Snow lying on the crown.
    cairo_save(cr);
    cairo_scale(cr, scale, 1);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, outer - 1, -M_PI / 3, M_PI / 3);
    cairo_arc_negative(cr, 2, 0, outer - 6, M_PI / 3.3, -M_PI / 3.3);
    cairo_close_path(cr);
    cairo_restore(cr);
    setColor(cr, 0xF4F8FBFF);
    cairo_fill(cr);
    // The dark inside.
    cairo_save(cr);
    cairo_scale(cr, scale, 1);
    cairo_new_path(cr);
    cairo_arc(cr, 0, 0, inner, -M_PI / 2, M_PI / 2);
    cairo_close_path(cr);
    cairo_restore(cr);
    fillRadial(cr, 14 * scale, 0, 26, 0xFF020306, 0xFF262C38);
    cairo_new_path(cr);
    // The keystone with a sprig of holly.
    cairo_rectangle(cr, scale * outer - 5, -4, 7, 8);
    fillAndOutline(cr, 0xFFD4C9B8, 0xFF433A32, 1);
    for (int k = -1; k <= 1; k += 2) {
        cairo_save(cr);
        cairo_translate(cr, scale * outer - 1.5, k * 7.5);
        cairo_scale(cr, 2.2, 4);
        cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
        cairo_restore(cr);
        setColor(cr, kPine);
        cairo_fill(cr);
    }
    for (int k = -1; k <= 1; ++k) {
        cairo_arc(cr, scale * outer - 1.5 + 2.2 * std::abs(k), k * 2.4, 1.6, 0, 2 * M_PI);
        setColor(cr, kHollyRed);
        cairo_fill(cr);
    }
    cairo_restore(cr);
}

// A smooth mound through circles: each circle adds a bump that reaches half height at its own
// radius; the mound's edge is where the bumps add up to a level.
class Blob {
public:
    void add(Vec2 centre, double radius) { circles.push_back({centre, radius}); }
    double at(Vec2 p) const {
        double sum = 0;
        for (const auto& [c, r] : circles) {
            const double d2 = (p.x - c.x) * (p.x - c.x) + (p.y - c.y) * (p.y - c.y), s2 = r * r / (2 * std::log(2.0));
            if (d2 < 9 * s2) sum += std::exp(-d2 / (2 * s2));
        }
        return sum;
    }
    // Where the mound, moved by 'offset' (screen), reaches 'level' (0.5: the circles' edges).
    void fill(PictureMask& into, double level, Vec2 offset = {}) const {
        Vec2 lo{1e9, 1e9}, hi{-1e9, -1e9};
        for (const auto& [c, r] : circles) {
            lo = {std::min(lo.x, c.x - 2 * r), std::min(lo.y, c.y - 2 * r)};
            hi = {std::max(hi.x, c.x + 2 * r), std::max(hi.y, c.y + 2 * r)};
        }
        lo = screenToPicture(lo + offset);
        hi = screenToPicture(hi + offset);
        into.raise(static_cast<int>(lo.x), static_cast<int>(lo.y), static_cast<int>(hi.x) + 1, static_cast<int>(hi.y) + 1, [&](int x, int y) {
            const double f = at(pictureToScreen({x + 0.5, y + 0.5}) - offset);
            const double t = std::clamp((f - level) / 0.06 + 0.5, 0.0, 1.0);
            return static_cast<unsigned char>(std::lround(255 * t * t * (3 - 2 * t)));
        });
    }
    bool empty() const { return circles.empty(); }

private:
    std::vector<std::pair<Vec2, double>> circles;
};

// A snowy hill over a stretch of track: a portal where the track goes in and, over a hidden
// stretch, where it comes out; rocks and small firs on top.
void paintHill(SceneWork& work, Cover& c, PictureMask& fill, Scatter& rnd) {
    const TrackGeometry& track = work.tracks[static_cast<size_t>(c.track)];
    const bool mouth = c.kind == CoverKind::MOUTH_HILL;
    Blob blob;
    const double from = c.from, to = c.to;
    for (double q = from; q <= to; q += 6) blob.add(track.screenAt(q), 34);
    // The hill's crown, and shoulders either side of it, so that it reads as a mound the track
    // runs into rather than a bank along it.
    const double crownAt = mouth ? from + std::min(70.0, (to - from) * 0.6) : (from + to) / 2;
    const Vec2 crown = track.screenAt(crownAt), n = normalOf(track.screenDirection(crownAt));
    blob.add(crown, mouth ? 58 : 46);
    for (int side = -1; side <= 1; side += 2) blob.add(crown + n * (side * rnd.range(40, 56)), rnd.range(32, 42));
    // Whatever must be hidden and is not yet under the hill.
    for (int y = 0; y < kPictureHeight; y += 3)
        for (int x = 0; x < kPictureWidth; x += 3) {
            if (fill.at(x, y) < 128) continue;
            const Vec2 s = pictureToScreen({x + 0.5, y + 0.5});
            if (blob.at(s) < 0.75) blob.add(s, 14);
        }
    // The mound: a dark rim, snow lit from the upper left and shaded to the lower right, and a
    // bright crest.
    PictureMask outline, body, lit, crest;
    blob.fill(outline, 0.36);
    blob.fill(body, 0.5);
    blob.fill(lit, 0.5, {-7, -9});
    blob.fill(crest, 1.1, {-9, -12});
    cairo_t* cr = c.layer->pictureContext();
    setColor(cr, 0xFF6A7FA4);
    cairo_mask_surface(cr, outline.surface(), 0, 0);
    setColor(cr, 0xFFA6B8D4);
    cairo_mask_surface(cr, body.surface(), 0, 0);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    cairo_pattern_t* snow = cairo_pattern_create_linear(crown.x - 90, (crown.y - 90) * kPictureStretch, crown.x + 90, (crown.y + 90) * kPictureStretch);
    cairo_pattern_add_color_stop_rgb(snow, 0, 1.0, 1.0, 1.0);
    cairo_pattern_add_color_stop_rgb(snow, 0.6, 0.91, 0.94, 0.98);
    cairo_pattern_add_color_stop_rgb(snow, 1, 0.80, 0.86, 0.94);
    cairo_set_source(cr, snow);
    cairo_mask_surface(cr, lit.surface(), 0, 0);
    cairo_pattern_destroy(snow);
    setColor(cr, 0xB0FFFFFF);
    cairo_mask_surface(cr, crest.surface(), 0, 0);
    cairo_destroy(cr);
    // Rocks and small firs on top, clear of the track, the portals and the hill's edge.
    cr = c.layer->screenContext();
    std::vector<Vec2> portals{track.screenAt(from)};
    if (!mouth) portals.push_back(track.screenAt(to));
    auto clearSpot = [&](Vec2 p) {
        if (body.atScreen(p) < 255 || body.atScreen(p + Vec2{8, 0}) < 255 || body.atScreen(p - Vec2{8, 0}) < 255) return false;
        for (const Vec2& q : portals)
            if (length(p - q) < 46) return false;
        for (double q = from - 10; q <= to + 10; q += 6)
            if (length(p - track.screenAt(q)) < 30) return false;
        return true;
    };
    const Vec2 lo = crown - Vec2{120, 120}, hi = crown + Vec2{120, 120};
    for (int tries = 0, placed = 0; tries < 120 && placed < 4; ++tries) {
        const Vec2 p{rnd.range(lo.x, hi.x), rnd.range(lo.y, hi.y)};
        if (!clearSpot(p)) continue;
        rock(cr, p, rnd.range(5, 9), rnd);
        ++placed;
    }
    for (int tries = 0, placed = 0; tries < 120 && placed < 4; ++tries) {
        const double height = rnd.range(22, 32);
        const Vec2 p{rnd.range(lo.x, hi.x), rnd.range(lo.y, hi.y)};
        if (!clearSpot(p) || !clearSpot({p.x, p.y - height * 0.7})) continue;
        pineTree(cr, p.x, p.y, height);
        ++placed;
    }
    // Glitter on the snow.
    for (int k = 0; k < 40; ++k) {
        const Vec2 p{rnd.range(lo.x, hi.x), rnd.range(lo.y, hi.y)};
        if (body.atScreen(p) < 255) continue;
        cairo_arc(cr, p.x, p.y, rnd.range(0.5, 1.1), 0, 2 * M_PI);
        setColor(cr, 0xE0FFFFFF);
        cairo_fill(cr);
    }
    // Over a short hidden stretch the two rings share what room there is.
    const double room = mouth ? 34 : length(track.screenAt(to) - track.screenAt(from)) / 2 - 1;
    portal(cr, track.screenAt(from), track.screenDirection(from), room);
    if (!mouth) portal(cr, track.screenAt(to), track.screenDirection(to) * -1, room);
    cairo_destroy(cr);
}

// Where a bridge's deck lies along the track passing over it: the positions and the half-width
// that take in everything the bridge must hide.
struct Deck {
    double from, to, halfWidth;
};

Deck deckOver(const TrackGeometry& pass, const Cover& c, PictureMask& fill) {
    Deck deck{kInfinity, -kInfinity, 0};
    const double searchFrom = std::max(0.0, c.passFrom - 200), searchTo = std::min(pass.length(), c.passTo + 200);
    std::vector<std::pair<double, Vec2>> line;
    for (double v = searchFrom; v <= searchTo; v += 2) line.push_back({v, pass.screenAt(v)});
    for (int y = 0; y < kPictureHeight; y += 2)
        for (int x = 0; x < kPictureWidth; x += 2) {
            if (fill.at(x, y) < 128) continue;
            const Vec2 s = pictureToScreen({x + 0.5, y + 0.5});
            double best = kInfinity, at = 0;
            for (const auto& [v, p] : line) {
                const double d = length(s - p);
                if (d < best) {
                    best = d;
                    at = v;
                }
            }
            deck.from = std::min(deck.from, at);
            deck.to = std::max(deck.to, at);
            deck.halfWidth = std::max(deck.halfWidth, best);
        }
    deck.halfWidth = std::max(deck.halfWidth, 24.0);
    // The deck spans a little beyond what it hides, so that its abutments stand clear of the
    // track below and it reads as a bridge rather than a lid.
    deck.from = std::max(0.0, deck.from - kDeckOverhang);
    deck.to = std::min(pass.length(), deck.to + kDeckOverhang);
    return deck;
}

// A line along a track at a lateral offset (screen, to the left of travel).
void sideLine(cairo_t* cr, const TrackGeometry& track, double from, double to, double offset, bool start) {
    const double step = 2;
    bool first = start;
    const bool forward = to >= from;
    for (double at = from;; at += forward ? step : -step) {
        const double q = forward ? std::min(at, to) : std::max(at, to);
        const Vec2 p = track.screenAt(q) + normalOf(track.screenDirection(q)) * offset;
        if (first) cairo_move_to(cr, p.x, p.y);
        else cairo_line_to(cr, p.x, p.y);
        first = false;
        if (q == to) break;
    }
}

// A wooden bridge deck along the passing track over what it hides: planks across, stone end
// beams, snowy red parapets with garlands along both sides. The passing track's rails are laid on
// it afterwards.
void paintBridge(SceneWork& work, Cover& c, Scatter& rnd) {
    const TrackGeometry& pass = work.tracks[static_cast<size_t>(c.passTrack)];
    // The deck takes in the hidden cars themselves, so its parapets stand clear of the cars that
    // show beyond them.
    PictureMask hidden;
    growInto(work.raster.hiddenIn(c.track, c.stretch), 0, hidden);
    const Deck deck = deckOver(pass, c, hidden);
    const double w = deck.halfWidth, rail = std::max(8.0, w - 6);
    cairo_t* cr = c.layer->screenContext();
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    // The deck: planks across the track.
    sideLine(cr, pass, deck.from, deck.to, w, true);
    sideLine(cr, pass, deck.to, deck.from, -w, false);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFF8A6444, 0xFF3E2A1A, 1.4);
    for (double v = deck.from + 2; v < deck.to; v += 4) {
        const Vec2 p = pass.screenAt(v), n = normalOf(pass.screenDirection(v));
        const Vec2 a = p + n * (w - 1), b = p - n * (w - 1);
        cairo_move_to(cr, a.x, a.y);
        cairo_line_to(cr, b.x, b.y);
    }
    setColor(cr, 0x50301E10);
    cairo_set_line_width(cr, 0.9);
    cairo_stroke(cr);
    // Snow drifted on the deck's edges and a stone beam at each end.
    for (int side = -1; side <= 1; side += 2) {
        sideLine(cr, pass, deck.from + 1, deck.to - 1, side * (w - 2.5), true);
        setColor(cr, 0xD8F4F8FF);
        cairo_set_line_width(cr, 4);
        cairo_stroke(cr);
    }
    // Abutments: stone walls beside what passes under, where the deck meets the ground.
    for (double end : {deck.from, deck.to}) {
        const double a = end == deck.from ? end - 8 : end, b = end == deck.from ? end : end + 8;
        sideLine(cr, pass, a, b, w + 7, true);
        sideLine(cr, pass, b, a, -(w + 7), false);
        cairo_close_path(cr);
        fillAndOutline(cr, 0xFF9C9284, 0xFF463E34, 1.2);
        for (double off = -w - 3; off <= w + 4; off += 7) {
            sideLine(cr, pass, a + 0.5, b - 0.5, off, true);
            setColor(cr, 0x70463E34);
            cairo_set_line_width(cr, 0.8);
            cairo_stroke(cr);
        }
        sideLine(cr, pass, a + 1, b - 1, w + 5, true);
        sideLine(cr, pass, b - 1, a + 1, -(w + 5), false);
        cairo_close_path(cr);
        setColor(cr, 0x60F4F8FF);
        cairo_fill(cr);
    }
    for (double end : {deck.from, deck.to}) {
        const double a = end == deck.from ? end : end - 5, b = end == deck.from ? end + 5 : end;
        sideLine(cr, pass, a, b, w, true);
        sideLine(cr, pass, b, a, -w, false);
        cairo_close_path(cr);
        fillAndOutline(cr, 0xFFB0A696, 0xFF4A4238, 1.2);
        sideLine(cr, pass, a + 1, b - 1, w - 1, true);
        sideLine(cr, pass, b - 1, a + 1, -(w - 1), false);
        cairo_close_path(cr);
        setColor(cr, 0x90F4F8FF);
        cairo_fill(cr);
    }
    // Parapets: red rails with snow on top between white posts, and a garland with bows.
    for (int side = -1; side <= 1; side += 2) {
        sideLine(cr, pass, deck.from + 2, deck.to - 2, side * rail, true);
        setColor(cr, 0xFF6A0E18);
        cairo_set_line_width(cr, 3.4);
        cairo_stroke(cr);
        sideLine(cr, pass, deck.from + 2, deck.to - 2, side * rail, true);
        setColor(cr, kHollyRed);
        cairo_set_line_width(cr, 2.2);
        cairo_stroke(cr);
        sideLine(cr, pass, deck.from + 2, deck.to - 2, side * (rail + 0.7), true);
        setColor(cr, 0xE0FFFFFF);
        cairo_set_line_width(cr, 0.8);
        cairo_stroke(cr);
        const double span = deck.to - deck.from - 4;
        const int posts = std::max(1, static_cast<int>(std::lround(span / 11)));
        for (int k = 0; k <= posts; ++k) {
            const double v = deck.from + 2 + span * k / posts;
            const Vec2 p = pass.screenAt(v) + normalOf(pass.screenDirection(v)) * (side * rail);
            cairo_rectangle(cr, p.x - 2, p.y - 2, 4, 4);
            fillAndOutline(cr, 0xFFF4F8FF, 0xFF6A0E18, 0.8);
        }
        for (double v = deck.from + 8; v <= deck.to - 8; v += 16) {
            const Vec2 p = pass.screenAt(v) + normalOf(pass.screenDirection(v)) * (side * (rail - 3));
            cairo_arc(cr, p.x, p.y, 2.4, 0, 2 * M_PI);
            setColor(cr, kPine);
            cairo_fill(cr);
            cairo_arc(cr, p.x, p.y, 1.1, 0, 2 * M_PI);
            setColor(cr, rnd.next() < 0.5 ? kHollyRed : kGold);
            cairo_fill(cr);
        }
    }
    cairo_destroy(cr);
}

// Fills what must be hidden, cuts out what must show, and lays the rails of the tracks passing
// over the cover on it.
void finishCover(SceneWork& work, Cover& c, PictureMask& fill) {
    cairo_t* cr = c.layer->pictureContext();
    // A low stone wall where the cover is cut back beside the cars that show.
    PictureMask& wall = work.shownDeeperThan(c.depth, kCutMargin + 3);
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    setColor(cr, c.kind == CoverKind::BRIDGE ? 0xFF8E8678 : 0xFF97A3B6);
    cairo_mask_surface(cr, wall.surface(), 0, 0);
    // Nothing of what must be hidden may show through.
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OVER);
    setColor(cr, c.kind == CoverKind::BRIDGE ? 0xFF6E5034 : 0xFFDCE6F2);
    cairo_mask_surface(cr, fill.surface(), 0, 0);
    // The cars that show must show.
    cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
    setColor(cr, 0xFF000000);
    cairo_mask_surface(cr, work.shownDeeperThan(c.depth, kCutMargin).surface(), 0, 0);
    cairo_destroy(cr);
    // The tracks drawn over the cover: where their shown cars stand on it, their rails.
    std::map<int, std::vector<std::pair<double, double>>> runs;
    for (const CarPiece& p : work.pieces) {
        if (p.stretch != STRETCH_SHOWN || p.depth >= c.depth || SceneWork::ownNeighbour(p, c)) continue;
        if (c.layer->alphaAtScreen(p.pointAt(0, 0)) < 128) continue;
        runs[p.track].push_back({p.from, p.to});
    }
    cr = c.layer->screenContext();
    cairo_set_operator(cr, CAIRO_OPERATOR_ATOP);
    for (auto& [trackIndex, spans] : runs) {
        std::sort(spans.begin(), spans.end());
        std::vector<std::pair<double, double>> merged;
        for (const auto& s : spans) {
            if (!merged.empty() && s.first <= merged.back().second + 24) merged.back().second = std::max(merged.back().second, s.second);
            else merged.push_back(s);
        }
        const TrackGeometry& track = work.tracks[static_cast<size_t>(trackIndex)];
        for (const auto& [a, b] : merged) {
            const double from = std::max(0.0, a - 20), to = std::min(track.tunnel() + kRailsPastMouth, b + 20);
            if (c.kind != CoverKind::BRIDGE) paintTrackBed(cr, track, from, to, 0xA0A4B4C8, 0xFFE4ECF4);
            paintSleepers(cr, track, from, to);
            paintRails(cr, track, from, to);
        }
    }
    cairo_destroy(cr);
}

// ---------------------------------------------------------------------------------------------
// Scenery.

// Free room for scenery: the largest clearance (screen units) from everything blocked, on a grid.
class Clearance {
public:
    static constexpr int kCell = 4;
    explicit Clearance(const PictureMask& blocked) : w(800 / kCell), h(480 / kCell), distance(static_cast<size_t>(w * h)) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Vec2 s{(x + 0.5) * kCell, (y + 0.5) * kCell};
                const bool shown = onShownPicture(s);
                distance[index(x, y)] = !shown || blocked.atScreen(s) > 0 ? 0 : kInfinity;
            }
        // Two chamfer passes (distances in cells, weights 1 and 1.4).
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) relax(x, y, {{-1, 0, 1}, {0, -1, 1}, {-1, -1, 1.4}, {1, -1, 1.4}});
        for (int y = h - 1; y >= 0; --y)
            for (int x = w - 1; x >= 0; --x) relax(x, y, {{1, 0, 1}, {0, 1, 1}, {1, 1, 1.4}, {-1, 1, 1.4}});
    }
    // The free spot with the most room (up to 'enough'), preferring spots far from 'avoid'.
    std::pair<Vec2, double> best(double enough, const std::vector<Vec2>& avoid) const {
        Vec2 spot;
        double room = 0, score = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const Vec2 s{(x + 0.5) * kCell, (y + 0.5) * kCell};
                // Whole on the shown picture.
                const double edge = std::min({s.x, 800 - s.x, s.y - kFirstShownRow / kPictureStretch, kLastShownRow / kPictureStretch - s.y});
                const double r = std::min({distance[index(x, y)] * kCell, enough, edge});
                double far = 1e9;
                for (const Vec2& a : avoid) far = std::min(far, length(s - a));
                const double sc = r * 10 + std::min(far, 400.0) * 0.05;
                if (sc > score) {
                    score = sc;
                    spot = s;
                    room = r;
                }
            }
        return {spot, room};
    }

private:
    struct Step {
        int dx, dy;
        double weight;
    };
    size_t index(int x, int y) const { return static_cast<size_t>(y * w + x); }
    void relax(int x, int y, std::initializer_list<Step> steps) {
        double& d = distance[index(x, y)];
        for (const Step& s : steps) {
            const int nx = x + s.dx, ny = y + s.dy;
            if (nx < 0 || ny < 0 || nx >= w || ny >= h) continue;
            d = std::min(d, distance[index(nx, ny)] + s.weight);
        }
    }
    int w, h;
    std::vector<double> distance;
};

// A small chapel with a bell tower, its foot centred at (x, y).
void chapel(cairo_t* cr, double x, double y, double width) {
    const double h = width * 0.55;
    cairo_rectangle(cr, x - width / 2, y - h, width, h);
    fillAndOutline(cr, 0xFFE8DCC8, 0xFF7A6A58, 1.4);
    // Arched windows glowing warm.
    for (int k = -1; k <= 1; k += 2) {
        const double wx = x + k * width * 0.25;
        cairo_move_to(cr, wx - width * 0.06, y - h * 0.25);
        cairo_line_to(cr, wx - width * 0.06, y - h * 0.6);
        cairo_arc(cr, wx, y - h * 0.6, width * 0.06, M_PI, 2 * M_PI);
        cairo_line_to(cr, wx + width * 0.06, y - h * 0.25);
        cairo_close_path(cr);
        fillAndOutline(cr, 0xFFFFD66B, 0xFF6B4A2A, 1);
    }
    // Roof with snow.
    cairo_move_to(cr, x - width * 0.6, y - h);
    cairo_line_to(cr, x - width * 0.1, y - h - width * 0.38);
    cairo_line_to(cr, x + width * 0.6, y - h - width * 0.38);
    cairo_line_to(cr, x + width * 0.6, y - h);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFF3C5A8C, 0xFF1E2E4C, 1.4);
    cairo_move_to(cr, x - width * 0.62, y - h + 1);
    cairo_line_to(cr, x - width * 0.1, y - h - width * 0.4);
    cairo_line_to(cr, x + width * 0.62, y - h - width * 0.4);
    cairo_line_to(cr, x + width * 0.62, y - h - width * 0.3);
    cairo_curve_to(cr, x + width * 0.2, y - h - width * 0.2, x - width * 0.2, y - h - width * 0.1, x - width * 0.62, y - h + 1);
    cairo_close_path(cr);
    setColor(cr, kSnow);
    cairo_fill(cr);
    // The bell tower with its spire and a golden star.
    const double tw = width * 0.3, tx = x - width * 0.32, top = y - h - width * 0.55;
    cairo_rectangle(cr, tx - tw / 2, top, tw, y - top);
    fillAndOutline(cr, 0xFFEDE2D0, 0xFF7A6A58, 1.4);
    cairo_move_to(cr, tx - tw * 0.2, top + tw * 0.75);
    cairo_arc(cr, tx, top + tw * 0.55, tw * 0.2, M_PI, 2 * M_PI);
    cairo_line_to(cr, tx + tw * 0.2, top + tw * 0.75);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFF2A2A30, 0xFF6B4A2A, 1);
    cairo_arc(cr, tx, top + tw * 0.62, tw * 0.09, 0, 2 * M_PI);
    setColor(cr, kGold);
    cairo_fill(cr);
    cairo_move_to(cr, tx - tw * 0.62, top);
    cairo_line_to(cr, tx, top - tw * 1.5);
    cairo_line_to(cr, tx + tw * 0.62, top);
    cairo_close_path(cr);
    fillAndOutline(cr, 0xFF3C5A8C, 0xFF1E2E4C, 1.4);
    cairo_move_to(cr, tx - tw * 0.62, top);
    cairo_line_to(cr, tx, top - tw * 1.5);
    cairo_line_to(cr, tx - tw * 0.1, top - tw * 0.4);
    cairo_close_path(cr);
    setColor(cr, 0xE0F8FBFF);
    cairo_fill(cr);
    starPath(cr, tx, top - tw * 1.5 - 4, 4.5, 1.8, 5);
    setColor(cr, kGold);
    cairo_fill(cr);
    // A wreath on the door.
    cairo_rectangle(cr, x + width * 0.02, y - h * 0.42, width * 0.14, h * 0.42);
    fillAndOutline(cr, 0xFF7A4A2A, 0xFF4A2A15, 1);
    cairo_arc(cr, x + width * 0.09, y - h * 0.55, 3, 0, 2 * M_PI);
    setColor(cr, kPine);
    cairo_set_line_width(cr, 1.8);
    cairo_stroke(cr);
}

// A sledge loaded with presents, facing right, its runners at (x, y).
void sledge(cairo_t* cr, double x, double y, double length) {
    cairo_move_to(cr, x - length / 2, y);
    cairo_line_to(cr, x + length / 2, y);
    cairo_curve_to(cr, x + length / 2 + 6, y, x + length / 2 + 6, y - 8, x + length / 2, y - 8);
    setColor(cr, 0xFF6A4A2A);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    roundedRect(cr, x - length / 2, y - 10, length, 7, 2);
    fillAndOutline(cr, kHollyRed, 0xFF6A0E18, 1);
    for (int k = 0; k < 3; ++k) {
        const double bw = length * 0.26;
        roundedRect(cr, x - length / 2 + 3 + k * (bw + 2), y - 10 - bw * 0.9, bw, bw * 0.9, 1.5);
        fillAndOutline(cr, kCargoColours[(k * 3 + 2) % 8], 0xFF303030, 0.8);
        cairo_rectangle(cr, x - length / 2 + 3 + k * (bw + 2) + bw / 2 - 1, y - 10 - bw * 0.9, 2, bw * 0.9);
        setColor(cr, 0xFFFFFFFF);
        cairo_fill(cr);
    }
}

// One piece of scenery filling a disc of radius r round 'centre' (screen).
void paintScenery(cairo_t* cr, int kind, Vec2 centre, double r, Scatter& rnd) {
    const double base = centre.y + r * 0.55;  // the ground line most feet stand on
    switch (kind % 4) {
        case 0: {  // a grove of tall firs on a drift
            cairo_save(cr);
            cairo_translate(cr, centre.x, base);
            cairo_scale(cr, r * 0.9, r * 0.28);
            cairo_arc(cr, 0, 0, 1, 0, 2 * M_PI);
            cairo_restore(cr);
            setColor(cr, 0xC0FFFFFF);
            cairo_fill(cr);
            std::vector<std::pair<double, double>> feet;
            for (int k = 0; k < 7; ++k) feet.push_back({rnd.range(-0.7, 0.7) * r, rnd.range(-0.22, 0.28) * r});
            std::sort(feet.begin(), feet.end(), [](const auto& a, const auto& b) { return a.second < b.second; });
            for (const auto& [dx, dy] : feet) {
                const double foot = base + dy, height = std::min(r * rnd.range(0.95, 1.35), foot - (centre.y - r));
                pineTree(cr, centre.x + dx, foot, height);
            }
            break;
        }
        case 1: {  // a chapel among firs
            pineTree(cr, centre.x + r * 0.62, base - r * 0.1, r * 0.9);
            chapel(cr, centre.x - r * 0.05, base, r * 0.95);
            pineTree(cr, centre.x - r * 0.75, base + r * 0.05, r * 0.75);
            break;
        }
        case 2: {  // the village's big decorated tree with presents
            holidayTree(cr, centre.x, base + r * 0.1, r * 1.5, rnd);
            for (int k = 0; k < 4; ++k) {
                const double bw = r * 0.16;
                roundedRect(cr, centre.x - r * 0.45 + k * bw * 1.5, base + r * 0.1 - bw * 0.9, bw, bw * 0.9, 2);
                fillAndOutline(cr, kCargoColours[(k * 2 + 1) % 8], 0xFF303030, 1);
            }
            break;
        }
        default: {  // snowmen with a lamp, a sledge and a small fir
            pineTree(cr, centre.x - r * 0.7, base - r * 0.15, r * 0.8);
            snowman(cr, centre.x - r * 0.3, base, r * 0.72);
            snowman(cr, centre.x + r * 0.12, base + r * 0.12, r * 0.55);
            lampPost(cr, centre.x + r * 0.55, base - r * 0.05, r * 0.7);
            sledge(cr, centre.x + r * 0.05, base + r * 0.38, r * 0.5);
            break;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// The scene picture.

void snowGround(cairo_t* cr, const Mood& mood, Scatter& rnd) {
    const int w = kPictureWidth, h = kPictureHeight;
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

// Ground scenery goes where no car, cover or launcher is.
class GroundPlan {
public:
    explicit GroundPlan(PictureMask& occupied) : occupied(occupied) {}
    // A screen rectangle, when nothing is there yet.
    bool take(double left, double top, double right, double bottom) {
        for (const auto& [a, b] : used)
            if (left < b.x && a.x < right && top < b.y && a.y < bottom) return false;
        for (double y = top; y <= bottom; y += 3)
            for (double x = left; x <= right; x += 3)
                if (occupied.atScreen({x, y}) > 0) return false;
        used.push_back({{left, top}, {right, bottom}});
        return true;
    }

private:
    PictureMask& occupied;
    std::vector<std::pair<Vec2, Vec2>> used;
};

void paintGround(cairo_t* cr, SceneWork& work, PictureMask& occupied, Scatter& rnd) {
    // The launcher stands on a cleared, trodden circle.
    for (const Vec2& l : work.launchers) {
        cairo_arc(cr, l.x, l.y, 46, 0, 2 * M_PI);
        fillRadial(cr, l.x, l.y, 60, 0xFFE4ECF6, (work.mood.shadow & 0x00FFFFFF) | 0x80000000);
        cairo_new_path(cr);
    }
    GroundPlan place(occupied);
    for (int tries = 0, ponds = 0; tries < 80 && ponds < 1 + work.index % 2; ++tries) {
        const Vec2 p{rnd.range(80, 720), rnd.range(70, 410)};
        const double rx = rnd.range(50, 72), ry = rnd.range(24, 34);
        if (!place.take(p.x - rx - 4, p.y - ry - 4, p.x + rx + 4, p.y + ry + 4)) continue;
        frozenPond(cr, p.x, p.y, rx, ry);
        ++ponds;
    }
    const uint32_t walls[4] = {0xFFC8553D, 0xFF4F7CAC, 0xFFE0B040, 0xFF6A9A5A};
    for (int tries = 0, houses = 0; tries < 300 && houses < 3 + work.index % 3; ++tries) {
        const Vec2 p{rnd.range(40, 760), rnd.range(50, 470)};
        const double w = rnd.range(34, 44);
        if (!place.take(p.x - w * 0.68, p.y - w * 1.1, p.x + w * 0.68, p.y + 2)) continue;
        snowHouse(cr, p.x, p.y, w, walls[(houses + work.index) % 4]);
        ++houses;
    }
    for (int tries = 0, placed = 0; tries < 300 && placed < 3; ++tries) {
        const Vec2 p{rnd.range(30, 770), rnd.range(50, 470)};
        const double h = rnd.range(26, 32);
        if (!place.take(p.x - h * 0.3, p.y - h, p.x + h * 0.3, p.y + 1)) continue;
        snowman(cr, p.x, p.y, h);
        ++placed;
    }
    for (int tries = 0, placed = 0; tries < 300 && placed < 4; ++tries) {
        const Vec2 p{rnd.range(30, 770), rnd.range(50, 470)};
        if (!place.take(p.x - 8, p.y - 34, p.x + 8, p.y + 1)) continue;
        lampPost(cr, p.x, p.y, 26);
        ++placed;
    }
    // Trees: a few decorated ones and a forest of plain pines, drawn from the back to the front.
    std::vector<std::pair<Vec2, double>> trees;
    for (int tries = 0; tries < 1400 && trees.size() < 60; ++tries) {
        const Vec2 p{rnd.range(-10, 810), rnd.range(14, 490)};
        const double height = rnd.range(28, 50);
        if (!place.take(p.x - height * 0.3, p.y - height, p.x + height * 0.3, p.y)) continue;
        trees.push_back({p, height});
    }
    std::sort(trees.begin(), trees.end(), [](const auto& a, const auto& b) { return a.first.y < b.first.y; });
    for (size_t k = 0; k < trees.size(); ++k) {
        const auto& [p, height] = trees[k];
        if (k % 9 == 4) holidayTree(cr, p.x, p.y, height, rnd);
        else pineTree(cr, p.x, p.y, height);
    }
}

// Every track's railway to just past its mouth: all beds, then all sleepers, then all rails, each
// drawn in one piece so that no joint shows on a tight curve. (Where tracks cross, a bridge
// covers the crossing.)
void paintRailways(cairo_t* cr, SceneWork& work) {
    const uint32_t edge = (work.mood.shadow & 0x00FFFFFF) | 0x60000000;
    auto end = [](const TrackGeometry& track) { return std::min(track.length(), track.tunnel() + kRailsPastMouth); };
    for (const TrackGeometry& track : work.tracks) paintTrackBed(cr, track, 0, end(track), edge, 0xFFE9EFF6);
    for (const TrackGeometry& track : work.tracks) paintSleepers(cr, track, 0, end(track));
    for (const TrackGeometry& track : work.tracks) paintRails(cr, track, 0, end(track));
}

// The picture of a decoration: its covered part cut to an even-sized rectangle whose centre lies
// a whole number of pixels from the picture's centre, so that its pixels fall on the scene's.
struct Cut {
    int left, top, width, height;
};

Cut cutOf(const Layer& layer) {
    int x0 = kPictureWidth, y0 = kPictureHeight, x1 = -1, y1 = -1;
    for (int y = 0; y < kPictureHeight; ++y)
        for (int x = 0; x < kPictureWidth; ++x)
            if (layer.alphaAt(x, y) > 0) {
                x0 = std::min(x0, x);
                y0 = std::min(y0, y);
                x1 = std::max(x1, x);
                y1 = std::max(y1, y);
            }
    if (x1 < 0) return {399, 299, 2, 2};
    // Even sizes: one more column or row on the side that has room.
    if ((x1 - x0 + 1) % 2) {
        if (x1 + 1 < kPictureWidth) ++x1;
        else --x0;
    }
    if ((y1 - y0 + 1) % 2) {
        if (y1 + 1 < kPictureHeight) ++y1;
        else --y0;
    }
    return {x0, y0, x1 - x0 + 1, y1 - y0 + 1};
}

// Scenery in each skin no cover takes: where there is most room, clear of the cars that show,
// the launchers and the covers.
std::vector<Cover> placeScenery(SceneWork& work, std::vector<Cover>& covers, const std::vector<int>& coverOfSkin, Scatter& rnd) {
    PictureMask blocked;
    {
        std::vector<uint8_t> shown(work.raster.shownDeepest().size());
        for (size_t i = 0; i < shown.size(); ++i) shown[i] = work.raster.shownDeepest()[i] != CarRaster::kNone;
        growInto(shown, 14, blocked);
    }
    cairo_t* cr = blocked.screenContext();
    for (const Vec2& l : work.launchers) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, l.x, l.y, 64, 0, 2 * M_PI);
    }
    cairo_fill(cr);
    cairo_identity_matrix(cr);
    for (Cover& c : covers) cairo_mask_surface(cr, c.layer->surface(), 0, 0);
    cairo_destroy(cr);
    std::vector<Cover> scenery;
    int kind = work.index;
    for (size_t skin = 0; skin < coverOfSkin.size(); ++skin) {
        if (coverOfSkin[skin] >= 0) continue;
        const auto [spot, room] = Clearance(blocked).best(62, work.launchers);
        Cover s;
        s.depth = work.scene.decorationDepths[skin];
        const double r = std::max(room, 24.0);
        cr = s.layer->screenContext();
        paintScenery(cr, kind++, spot, r, rnd);
        cairo_destroy(cr);
        // Over no track that shows, whatever its depth.
        cr = s.layer->pictureContext();
        cairo_set_operator(cr, CAIRO_OPERATOR_DEST_OUT);
        setColor(cr, 0xFF000000);
        cairo_mask_surface(cr, work.shownDeeperThan(-kInfinity, 6).surface(), 0, 0);
        cairo_destroy(cr);
        cr = blocked.screenContext();
        cairo_arc(cr, spot.x, spot.y, r + 16, 0, 2 * M_PI);
        cairo_fill(cr);
        cairo_destroy(cr);
        scenery.push_back(std::move(s));
    }
    return scenery;
}

// The scene: ground, village and woods where nothing stands, the railways, and the shadows the
// decorations cast.
void paintScene(Layer& ground, SceneWork& work, const std::vector<Cover*>& decorations, Scatter& rnd) {
    PictureMask occupied;
    growInto(work.raster.anyCar(), 8, occupied);
    cairo_t* cr = occupied.screenContext();
    for (const Vec2& l : work.launchers) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, l.x, l.y, 50, 0, 2 * M_PI);
    }
    cairo_fill(cr);
    cairo_identity_matrix(cr);
    for (Cover* c : decorations) cairo_mask_surface(cr, c->layer->surface(), 0, 0);
    cairo_destroy(cr);
    cr = ground.pictureContext();
    snowGround(cr, work.mood, rnd);
    cairo_scale(cr, 1, kPictureStretch);
    paintGround(cr, work, occupied, rnd);
    paintRailways(cr, work);
    cairo_identity_matrix(cr);
    for (Cover* c : decorations) {
        setColor(cr, c->kind == CoverKind::SCENERY ? 0x28283C60 : 0x38283C60);
        cairo_mask_surface(cr, c->layer->surface(), 5, 7);
    }
    cairo_destroy(cr);
}

}  // namespace

std::vector<TextureImage> levelArt(const ScenePaths& paths, int index) {
    const SceneLayout& scene = LayoutTable::scene(index);
    SceneWork work(scene, index, paths.tracks[static_cast<size_t>(index)]);
    Scatter rnd(static_cast<uint32_t>(index * 7919 + 17));

    // The covers and their skins; scenery in the skins left over.
    std::vector<Cover> covers = planCovers(work);
    const std::vector<int> coverOfSkin = assignSkins(covers, scene.decorationDepths, scene.id);
    for (size_t skin = 0; skin < coverOfSkin.size(); ++skin)
        if (coverOfSkin[skin] >= 0) covers[static_cast<size_t>(coverOfSkin[skin])].depth = scene.decorationDepths[skin];
    for (Cover& c : covers) {
        PictureMask fill;
        growInto(work.raster.hiddenIn(c.track, c.stretch), kFillMargin, fill);
        if (c.kind == CoverKind::BRIDGE) paintBridge(work, c, rnd);
        else paintHill(work, c, fill, rnd);
        finishCover(work, c, fill);
    }
    std::vector<Cover> scenery = placeScenery(work, covers, coverOfSkin, rnd);

    // Decorations in skin order.
    std::vector<Cover*> decorations;
    size_t nextScenery = 0;
    for (int cover : coverOfSkin) decorations.push_back(cover >= 0 ? &covers[static_cast<size_t>(cover)] : &scenery[nextScenery++]);

    Layer ground;
    paintScene(ground, work, decorations, rnd);

    std::vector<TextureImage> out;
    Atlas sceneAtlas(LayoutTable::scenePicture(scene), 1024);
    sceneAtlas.add(kPictureWidth, kPictureHeight, [&ground](cairo_t* cr, int, int) {
        cairo_set_source_surface(cr, ground.surface(), 0, 0);
        cairo_paint(cr);
    });
    out.push_back(sceneAtlas.build(false, true));

    Atlas decorationAtlas(LayoutTable::decorationPicture(scene), 1024);
    for (Cover* d : decorations) {
        std::shared_ptr<Layer> layer = d->layer;
        const Cut cut = cutOf(*layer);
        decorationAtlas.add(
            cut.width, cut.height,
            [layer, cut](cairo_t* cr, int, int) {
                cairo_set_source_surface(cr, layer->surface(), -cut.left, -cut.top);
                cairo_paint(cr);
            },
            cut.left + cut.width / 2 - kPictureWidth / 2, cut.top + cut.height / 2 - kPictureHeight / 2);
    }
    out.push_back(decorationAtlas.build());
    return out;
}

}  // namespace datagen
