// For review: every level variant the campaign plays (a scene, mirrored or not) as the game shows
// it: the scene picture squeezed to the screen, trains standing at the mouths and in the hidden
// stretches drawn in depth order with the decorations, and over it all the computed path (thin),
// the hidden stretches, the create, sprint and tunnel positions and the launcher spots. The rows
// the screen does not show are shaded.

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "datagen/ArtBank.h"
#include "datagen/Canvas.h"
#include "datagen/LevelGeometry.h"

namespace datagen {

namespace {

const TextureImage* findTexture(const std::vector<TextureImage>& all, const std::string& file) {
    for (const TextureImage& t : all)
        if (t.file == file) return &t;
    return nullptr;
}

struct Variant {
    int scene, mirror;
    std::vector<int> levels;
};

// The variants in the order the campaign first plays them.
std::vector<Variant> campaignVariants() {
    std::vector<Variant> out;
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level) {
        const LevelRow& row = LayoutTable::row(level);
        auto found = std::find_if(out.begin(), out.end(), [&](const Variant& v) { return v.scene == row.scene && v.mirror == row.mirrorX; });
        if (found == out.end()) out.push_back({row.scene, row.mirrorX, {level}});
        else found->levels.push_back(level);
    }
    return out;
}

// The sprint fraction a level plays with: its row's, or the game's for its progress.
double sprintFraction(int level) {
    const LevelRow& row = LayoutTable::row(level);
    if (row.sprintFraction > 0) return row.sprintFraction;
    const float progress = std::clamp(static_cast<float>(level) / 82.0f, 0.0f, 1.0f);
    return 0.15f * progress + 0.35f;
}

// A track mark across the path at a position.
void tick(cairo_t* cr, const TrackGeometry& track, double at, double half, uint32_t colour, double width) {
    const Vec2 p = track.screenAt(at), n = normalOf(track.screenDirection(at));
    cairo_move_to(cr, p.x - n.x * half, p.y - n.y * half);
    cairo_line_to(cr, p.x + n.x * half, p.y + n.y * half);
    setColor(cr, colour);
    cairo_set_line_width(cr, width);
    cairo_stroke(cr);
}

void pathLine(cairo_t* cr, const TrackGeometry& track, double from, double to) {
    for (double q = from;; q += 4) {
        const Vec2 p = track.screenAt(std::min(q, to));
        if (q == from) cairo_move_to(cr, p.x, p.y);
        else cairo_line_to(cr, p.x, p.y);
        if (q >= to) break;
    }
}

}  // namespace

std::vector<TextureImage> levelPreviews(const std::vector<TextureImage>& art, const ScenePaths& paths) {
    std::vector<TextureImage> out;
    const TextureImage* cars = findTexture(art, "gfx/car.tga");
    for (const Variant& variant : campaignVariants()) {
        const SceneLayout& scene = LayoutTable::scene(variant.scene);
        const TextureImage* picture = findTexture(art, LayoutTable::scenePicture(scene));
        const TextureImage* decoration = findTexture(art, LayoutTable::decorationPicture(scene));
        if (!picture || !decoration || !cars) continue;
        const auto& trackPaths = variant.mirror < 0 ? paths.mirroredTracks[static_cast<size_t>(variant.scene)]
                                                    : paths.tracks[static_cast<size_t>(variant.scene)];
        std::vector<TrackGeometry> tracks;
        for (size_t k = 0; k < trackPaths.size(); ++k) tracks.emplace_back(trackPaths[k], scene.tracks[k], static_cast<int>(k));
        std::string label = std::string(scene.id) + (variant.mirror < 0 ? " mirrored" : "") + ": level";
        if (variant.levels.size() > 1) label += "s";
        for (size_t k = 0; k < variant.levels.size(); ++k) label += (k ? ", " : " ") + std::to_string(variant.levels[k]);
        Atlas atlas(label, 1024);
        atlas.add(800, 480, [&](cairo_t* cr, int, int) {
            const double mirror = variant.mirror;
            // The scene and decoration pictures sit on the screen's centre, squeezed and mirrored.
            auto asPicture = [&](const std::function<void()>& draw) {
                cairo_save(cr);
                cairo_translate(cr, 400, 240);
                cairo_scale(cr, mirror, 0.8);
                cairo_translate(cr, -400, -300);
                draw();
                cairo_restore(cr);
            };
            asPicture([&] { paintSkin(cr, *picture, picture->skins[0], 0, 0); });
            // The depth pass: decorations (registered first) and cars, farthest first.
            struct Item {
                double depth;
                std::function<void()> draw;
            };
            std::vector<Item> items;
            for (size_t k = 0; k < decoration->skins.size() && k < scene.decorationDepths.size(); ++k) {
                const SkinRect s = decoration->skins[k];
                items.push_back({scene.decorationDepths[k], [&, s] {
                                     asPicture([&] { paintSkin(cr, *decoration, s, 400 + s.originAdjustX - s.width / 2.0, 300 + s.originAdjustY - s.height / 2.0); });
                                 }});
            }
            const int kinds[] = {0, 3, 2, 1, 3, 2, 1, 3, 2, 1};
            for (const TrackGeometry& track : tracks) {
                std::vector<double> fronts{track.tunnel() + 64};
                for (const LayoutSpan& hidden : track.layout.hidden) fronts.push_back(hidden.end + 30);
                for (double front : fronts) {
                    for (int kind : kinds) {
                        const double rear = track.rearOf(kind, front), next = track.nextFrontOf(rear);
                        if (front < 0) break;
                        if (next <= track.tunnel()) {
                            const Vec2 f = track.screenAt(front), r = track.screenAt(rear);
                            const SkinRect s = cars->skins[static_cast<size_t>(kind)];
                            items.push_back({track.depthAt(front), [&, f, r, s] {
                                                 cairo_save(cr);
                                                 cairo_translate(cr, (f.x + r.x) / 2, (f.y + r.y) / 2);
                                                 cairo_rotate(cr, std::atan2(f.y - r.y, f.x - r.x));
                                                 paintSkin(cr, *cars, s, -s.width / 2.0, -s.height / 2.0);
                                                 cairo_restore(cr);
                                             }});
                        }
                        front = next;
                    }
                }
            }
            std::stable_sort(items.begin(), items.end(), [](const Item& a, const Item& b) { return a.depth > b.depth; });
            for (const Item& item : items) item.draw();
            // The computed path, its hidden stretches and zones, and the launcher spots.
            cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
            for (const TrackGeometry& track : tracks) {
                pathLine(cr, track, 0, track.length());
                cairo_set_source_rgba(cr, 1.0, 0.1, 0.9, 0.85);
                cairo_set_line_width(cr, 1);
                cairo_stroke(cr);
                for (const LayoutSpan& hidden : track.layout.hidden) {
                    pathLine(cr, track, hidden.start, hidden.end);
                    cairo_set_source_rgba(cr, 0.0, 0.85, 1.0, 0.9);
                    cairo_set_line_width(cr, 4);
                    cairo_stroke(cr);
                }
                const Vec2 create = track.screenAt(track.layout.createLambda);
                cairo_arc(cr, create.x, create.y, 5, 0, 2 * M_PI);
                fillAndOutline(cr, 0xFF20C040, 0xFF004010, 1.5);
                for (int level : variant.levels) {
                    const double sprint = track.layout.createLambda + sprintFraction(level) * (track.tunnel() - track.layout.createLambda);
                    tick(cr, track, sprint, 10, 0xFFFF9000, 2);
                }
                tick(cr, track, track.tunnel(), 22, 0xFFFF2020, 3);
            }
            for (const LayoutSpot& spot : scene.launchers) {
                cairo_arc(cr, 400 + mirror * spot.x, 240 - 0.8 * spot.y, 12, 0, 2 * M_PI);
                setColor(cr, 0xFF2040E0);
                cairo_set_line_width(cr, 2.5);
                cairo_stroke(cr);
            }
            // What the screen does not show: under the head-up display's bar, below the screen.
            cairo_rectangle(cr, 0, 0, 800, kFirstShownRow / kPictureStretch);
            cairo_rectangle(cr, 0, kLastShownRow / kPictureStretch, 800, 480 - kLastShownRow / kPictureStretch);
            cairo_set_source_rgba(cr, 0, 0, 0, 0.45);
            cairo_fill(cr);
        });
        out.push_back(atlas.build(true, true));
    }
    return out;
}

}  // namespace datagen
