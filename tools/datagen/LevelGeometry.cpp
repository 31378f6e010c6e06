#include "datagen/LevelGeometry.h"

#include <algorithm>

namespace datagen {

TrackPaths::TrackPaths() = default;
TrackPaths::~TrackPaths() = default;
TrackPaths::TrackPaths(TrackPaths&&) noexcept = default;
TrackPaths& TrackPaths::operator=(TrackPaths&&) noexcept = default;

TrackPaths TrackPaths::build(const LayoutTrack& layout, int mirrorX) {
    TrackPaths out;
    out.path = std::make_unique<TrackPath>();
    LayoutTable::convertTrack(layout.points, mirrorX, 1, out.path->controlPoints, out.path->tangents);
    out.path->resample();
    for (size_t kind = 0; kind < kCarSizes.size(); ++kind) {
        out.bodies[kind] = std::make_unique<ChordTable>(out.path.get(), static_cast<float>(kCarSizes[kind].width - kBodyInset));
        out.bodies[kind]->build();
    }
    out.gap = std::make_unique<ChordTable>(out.path.get(), static_cast<float>(kCarGap));
    out.gap->build();
    return out;
}

TrackGeometry::TrackGeometry(const TrackPaths& paths, const LayoutTrack& layout, int index) : paths(paths), layout(layout), index(index) {
    for (const Vector3& s : paths.path->samples) screenSamples.push_back({400.0 + s.x, 240.0 - 0.8 * s.y});
}

double TrackGeometry::nearestPosition(Vec2 screen, double from, double to) const {
    const double spacing = paths.path->spacing;
    const int last = static_cast<int>(screenSamples.size()) - 1;
    const int first = std::clamp(static_cast<int>(std::floor(from / spacing)), 0, std::max(0, last));
    const int end = std::clamp(static_cast<int>(std::ceil(to / spacing)), 0, std::max(0, last));
    double best = 1e300, at = first * spacing;
    for (int i = first; i < end; ++i) {
        const Vec2 a = screenSamples[static_cast<size_t>(i)], ab = screenSamples[static_cast<size_t>(i) + 1] - a;
        const double len2 = dot(ab, ab);
        const double t = len2 > 0 ? std::clamp(dot(screen - a, ab) / len2, 0.0, 1.0) : 0.0;
        const Vec2 d = screen - (a + ab * t);
        if (dot(d, d) < best) {
            best = dot(d, d);
            at = (i + t) * spacing;
        }
    }
    return at;
}

Vec2 TrackGeometry::screenAt(double pos) const {
    Vector3 p;
    paths.path->getPoint(static_cast<float>(pos), p);
    return {400.0 + p.x, 240.0 - p.y};
}

Vec2 TrackGeometry::screenDirection(double pos) const {
    // Between points a little before and after, so that the direction follows the drawn curve.
    const double at = std::clamp(pos, 2.0, std::max(2.0, length() - 2.0));
    const Vec2 d = screenAt(at + 2) - screenAt(at - 2);
    const double len = datagen::length(d);
    if (len > 1e-9) return d * (1 / len);
    Vector3 p;
    float heading = 0;
    paths.path->getPoint(static_cast<float>(pos), p, &heading);
    const Vec2 h{std::cos(heading), -0.8 * std::sin(heading)};
    return h * (1 / std::max(1e-9, datagen::length(h)));
}

double TrackGeometry::depthAt(double pos) const {
    Vector3 p;
    float depth = 0;
    paths.path->getPoint(static_cast<float>(pos), p, nullptr, &depth);
    return depth;
}

int TrackGeometry::stretchAt(double pos) const {
    if (pos > layout.tunnelLambda) return STRETCH_PAST_MOUTH;
    for (size_t j = 0; j < layout.hidden.size(); ++j)
        if (layout.hidden[j].start <= pos && pos < layout.hidden[j].end) return static_cast<int>(j);
    return STRETCH_SHOWN;
}

double TrackGeometry::stretchStart(int stretch) const {
    return stretch == STRETCH_PAST_MOUTH ? layout.tunnelLambda : layout.hidden[static_cast<size_t>(stretch)].start;
}

double TrackGeometry::stretchEnd(int stretch) const {
    return stretch == STRETCH_PAST_MOUTH ? length() : layout.hidden[static_cast<size_t>(stretch)].end;
}

bool TrackGeometry::onShownPicture(double pos, double margin) const {
    const Vec2 p = pictureAt(pos);
    return p.x >= -margin && p.x < kPictureWidth + margin && p.y >= kFirstShownRow - margin && p.y < kLastShownRow + margin;
}

double TrackGeometry::rearOf(int kind, double front) const { return paths.bodies[static_cast<size_t>(kind)]->lookup(static_cast<float>(front)); }

double TrackGeometry::nextFrontOf(double rear) const { return paths.gap->lookup(static_cast<float>(rear)); }

std::vector<CarPiece> carPieces(const TrackGeometry& track, double step, double grow) {
    std::vector<CarPiece> pieces;
    const double end = track.length();
    constexpr double kSlice = 3;  // screen units of a car judged as one
    for (int kind = 0; kind < static_cast<int>(kCarSizes.size()); ++kind) {
        const CarSize size = kCarSizes[static_cast<size_t>(kind)];
        const int slices = static_cast<int>(std::ceil(size.width / kSlice));
        std::vector<double> positions(static_cast<size_t>(slices));
        for (double front = 0; front <= end; front += step) {
            const double rear = track.rearOf(kind, front);
            if (track.nextFrontOf(rear) > track.tunnel()) break;  // hidden by the game from here on
            const Vec2 f = track.screenAt(front), r = track.screenAt(rear);
            const double half = length(f - r) / 2;
            const Vec2 axis = half > 1e-6 ? (f - r) * (0.5 / half) : track.screenDirection(front);
            const Vec2 centre = (f + r) * 0.5;
            auto sliceStart = [&](int k) { return -size.width / 2 + size.width * k / slices; };
            for (int k = 0; k < slices; ++k)
                positions[static_cast<size_t>(k)] =
                    track.nearestPosition(centre + axis * ((sliceStart(k) + sliceStart(k + 1)) / 2), rear - 100, front + 100);
            const double depth = track.depthAt(front);
            for (int k = 0; k < slices;) {
                const int stretch = track.stretchAt(positions[static_cast<size_t>(k)]);
                int next = k + 1;
                while (next < slices && track.stretchAt(positions[static_cast<size_t>(next)]) == stretch) ++next;
                CarPiece piece;
                piece.centre = centre;
                piece.axis = axis;
                piece.t0 = sliceStart(k) - grow;
                piece.t1 = sliceStart(next) + grow;
                piece.halfHeight = size.height / 2 + grow;
                piece.from = positions[static_cast<size_t>(k)];
                piece.to = positions[static_cast<size_t>(next - 1)];
                if (piece.from > piece.to) std::swap(piece.from, piece.to);
                piece.front = front;
                piece.depth = depth;
                piece.track = track.index;
                piece.stretch = stretch;
                pieces.push_back(piece);
                k = next;
            }
        }
    }
    return pieces;
}

PictureMask::PictureMask() : image(cairo_image_surface_create(CAIRO_FORMAT_A8, kPictureWidth, kPictureHeight)) {}

PictureMask::~PictureMask() { cairo_surface_destroy(image); }

cairo_t* PictureMask::screenContext() {
    dirty = true;
    cairo_t* cr = cairo_create(image);
    cairo_scale(cr, 1, kPictureStretch);
    cairo_set_source_rgba(cr, 0, 0, 0, 1);
    return cr;
}

uint8_t PictureMask::at(int x, int y) const {
    if (x < 0 || y < 0 || x >= kPictureWidth || y >= kPictureHeight) return 0;
    if (dirty) {
        cairo_surface_flush(image);
        dirty = false;
    }
    const unsigned char* data = cairo_image_surface_get_data(image);
    return data[static_cast<size_t>(y) * static_cast<size_t>(cairo_image_surface_get_stride(image)) + static_cast<size_t>(x)];
}

namespace {

constexpr size_t kPixels = static_cast<size_t>(kPictureWidth) * kPictureHeight;

// For every pixel near a track, the nearest point of each stretch of it that passes by (two where
// the track runs by twice, as at a crossing): track position and squared distance (screen).
class NearestPositions {
public:
    static constexpr int kBranches = 3;
    static constexpr double kReach = 90;  // screen units: farther than any car's corner

    explicit NearestPositions(const TrackGeometry& track) : entries(storage()) {
        entries.assign(kPixels * kBranches, Entry{});
        const double spacing = track.paths.path->spacing;
        const int count = static_cast<int>(track.paths.path->samples.size());
        for (int i = 0; i + 1 < count; ++i) {
            const Vec2 a = track.screenAt(i * spacing), b = track.screenAt((i + 1) * spacing), ab = b - a;
            const double len2 = dot(ab, ab);
            const double left = std::min(a.x, b.x), right = std::max(a.x, b.x), top = std::min(a.y, b.y), bottom = std::max(a.y, b.y);
            const int y0 = std::max(0, static_cast<int>((top - kReach) * kPictureStretch));
            const int y1 = std::min(kPictureHeight - 1, static_cast<int>((bottom + kReach) * kPictureStretch));
            for (int y = y0; y <= y1; ++y) {
                // A pixel farther from the segment's bounding box than the reach is farther from
                // the segment: only the columns within reach of the box on this row are tried.
                const double sy = pictureToScreen({0, y + 0.5}).y, dy = sy < top ? top - sy : sy > bottom ? sy - bottom : 0;
                if (dy > kReach) continue;
                const double dx = std::sqrt(kReach * kReach - dy * dy) + 1;
                const int x0 = std::max(0, static_cast<int>(std::floor(left - dx))), x1 = std::min(kPictureWidth - 1, static_cast<int>(std::ceil(right + dx)));
                for (int x = x0; x <= x1; ++x) {
                    const Vec2 s = pictureToScreen({x + 0.5, y + 0.5});
                    const double t = len2 > 0 ? std::clamp(dot(s - a, ab) / len2, 0.0, 1.0) : 0.0;
                    const Vec2 d = s - (a + ab * t);
                    const double d2 = dot(d, d);
                    if (d2 > kReach * kReach) continue;
                    offer(static_cast<size_t>(y) * kPictureWidth + static_cast<size_t>(x), static_cast<float>((i + t) * spacing), static_cast<float>(d2));
                }
            }
        }
    }
    // The nearest position within [from, to]; negative when none is known.
    float at(size_t pixel, double from, double to) const {
        float best = -1, bestD2 = 1e30f;
        for (int k = 0; k < kBranches; ++k) {
            const Entry& e = entries[pixel * kBranches + static_cast<size_t>(k)];
            if (e.d2 < bestD2 && e.pos >= from && e.pos <= to) {
                best = e.pos;
                bestD2 = e.d2;
            }
        }
        return best;
    }

private:
    struct Entry {
        float pos = -1, d2 = 1e30f;
    };
    // Points less than this far apart along the track belong to the same stretch passing by.
    static constexpr float kSameBranch = 160;
    void offer(size_t pixel, float pos, float d2) {
        Entry* e = &entries[pixel * kBranches];
        int worst = 0;
        for (int k = 0; k < kBranches; ++k) {
            if (e[k].pos >= 0 && std::fabs(e[k].pos - pos) < kSameBranch) {
                if (d2 < e[k].d2) e[k] = {pos, d2};
                return;
            }
            if (e[k].d2 > e[worst].d2) worst = k;
        }
        if (d2 < e[worst].d2) e[worst] = {pos, d2};
    }
    // The table is large: each painter thread keeps its own for every track it judges, so that
    // its memory is not handed out afresh (and faulted in page by page) each time.
    static std::vector<Entry>& storage() {
        thread_local std::vector<Entry> table;
        return table;
    }
    std::vector<Entry>& entries;
};

}  // namespace

CarRaster::CarRaster(const std::vector<TrackGeometry>& tracks, double step) : shown(kPixels, kNone), any(kPixels, 0) {
    for (const TrackGeometry& track : tracks) {
        const NearestPositions nearest(track);
        for (int kind = 0; kind < static_cast<int>(kCarSizes.size()); ++kind) {
            const CarSize size = kCarSizes[static_cast<size_t>(kind)];
            for (double front = 0; front <= track.length(); front += step) {
                const double rear = track.rearOf(kind, front);
                if (track.nextFrontOf(rear) > track.tunnel()) break;  // hidden by the game from here on
                const Vec2 f = track.screenAt(front), r = track.screenAt(rear);
                const double half = length(f - r) / 2;
                const Vec2 axis = half > 1e-6 ? (f - r) * (0.5 / half) : track.screenDirection(front);
                const Vec2 n = normalOf(axis), centre = (f + r) * 0.5;
                const float depth = static_cast<float>(track.depthAt(front));
                // The sprite's pixels, row by row of the picture.
                const double hw = size.width / 2, hh = size.height / 2;
                const std::array<Vec2, 4> corners = {centre + axis * -hw + n * -hh, centre + axis * hw + n * -hh, centre + axis * hw + n * hh,
                                                     centre + axis * -hw + n * hh};
                Vec2 lo{1e9, 1e9}, hi{-1e9, -1e9};
                for (const Vec2& corner : corners) {
                    const Vec2 c = screenToPicture(corner);
                    lo = {std::min(lo.x, c.x), std::min(lo.y, c.y)};
                    hi = {std::max(hi.x, c.x), std::max(hi.y, c.y)};
                }
                for (int y = std::max(0, static_cast<int>(lo.y)); y <= std::min(kPictureHeight - 1, static_cast<int>(hi.y)); ++y) {
                    // The sprite's columns on this row: where the row crosses its outline (with a
                    // pixel to spare; the test below decides).
                    const double sy = pictureToScreen({0, y + 0.5}).y;
                    double left = 1e9, right = -1e9;
                    for (size_t k = 0; k < 4; ++k) {
                        const Vec2 p = corners[k], q = corners[(k + 1) % 4];
                        if ((p.y - sy) * (q.y - sy) > 0) continue;
                        if (q.y == p.y) {
                            left = std::min({left, p.x, q.x});
                            right = std::max({right, p.x, q.x});
                            continue;
                        }
                        const double x = p.x + (q.x - p.x) * (sy - p.y) / (q.y - p.y);
                        left = std::min(left, x);
                        right = std::max(right, x);
                    }
                    if (left > right) continue;
                    const int x0 = std::max({0, static_cast<int>(lo.x), static_cast<int>(std::floor(left)) - 1});
                    const int x1 = std::min({kPictureWidth - 1, static_cast<int>(hi.x), static_cast<int>(std::ceil(right)) + 1});
                    for (int x = x0; x <= x1; ++x) {
                        const Vec2 d = pictureToScreen({x + 0.5, y + 0.5}) - centre;
                        if (std::fabs(dot(d, axis)) > hw || std::fabs(dot(d, n)) > hh) continue;
                        const size_t pixel = static_cast<size_t>(y) * kPictureWidth + static_cast<size_t>(x);
                        any[pixel] = 1;
                        const float pos = nearest.at(pixel, rear - 100, front + 100);
                        const int stretch = pos < 0 ? STRETCH_SHOWN : track.stretchAt(pos);
                        if (stretch == STRETCH_SHOWN) {
                            shown[pixel] = std::max(shown[pixel], depth);
                            continue;
                        }
                        auto& set = hidden[{track.index, stretch}];
                        if (set.empty()) set.assign(kPixels, 0);
                        set[pixel] = 1;
                        auto [it, added] = hiddenNearest.try_emplace({track.index, stretch}, kNone);
                        if (y >= kFirstShownRow && y < kLastShownRow && (it->second == kNone || depth < it->second)) it->second = depth;
                    }
                }
            }
        }
    }
}

const std::vector<uint8_t>& CarRaster::hiddenIn(int track, int stretch) const {
    const auto found = hidden.find({track, stretch});
    if (found != hidden.end()) return found->second;
    if (none.empty()) const_cast<std::vector<uint8_t>&>(none).assign(kPixels, 0);
    return none;
}

float CarRaster::nearestHiddenIn(int track, int stretch) const {
    const auto found = hiddenNearest.find({track, stretch});
    return found == hiddenNearest.end() ? kNone : found->second;
}

void growInto(const std::vector<uint8_t>& set, double grow, PictureMask& into) {
    // Distances (screen units) from the set by two chamfer passes: a pixel is 1 unit across and
    // 0.8 up or down.
    const int w = kPictureWidth, h = kPictureHeight;
    const double across = 1.0, up = 1.0 / kPictureStretch, diagonal = std::hypot(across, up);
    // Reused by each thread from call to call (see NearestPositions).
    thread_local std::vector<double> d;
    d.resize(kPixels);
    for (size_t i = 0; i < kPixels; ++i) d[i] = set[i] ? 0 : 1e9;
    auto relax = [&](int x, int y, int dx, int dy, double cost) {
        const int nx = x + dx, ny = y + dy;
        if (nx < 0 || ny < 0 || nx >= w || ny >= h) return;
        double& here = d[static_cast<size_t>(y) * w + x];
        here = std::min(here, d[static_cast<size_t>(ny) * w + nx] + cost);
    };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            relax(x, y, -1, 0, across);
            relax(x, y, 0, -1, up);
            relax(x, y, -1, -1, diagonal);
            relax(x, y, 1, -1, diagonal);
        }
    for (int y = h - 1; y >= 0; --y)
        for (int x = w - 1; x >= 0; --x) {
            relax(x, y, 1, 0, across);
            relax(x, y, 0, 1, up);
            relax(x, y, 1, 1, diagonal);
            relax(x, y, -1, 1, diagonal);
        }
    into.raise(0, 0, w, h, [&](int x, int y) {
        const double coverage = std::clamp(grow + 0.5 - d[static_cast<size_t>(y) * w + x], 0.0, 1.0);
        return static_cast<unsigned char>(std::lround(coverage * 255));
    });
}

}  // namespace datagen
