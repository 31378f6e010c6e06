// The level pictures the build generates, read from the main archive through the engine, against
// the levels the game builds from the layout table: every level variant the campaign plays (a
// scene, mirrored or not), with its tracks, chord tables, cars and decorations placed by the game's
// own code. Checked: one decoration skin per decoration depth; no decoration drawn over a car is
// opaque where the car shows; one always is where it must not show (a hidden stretch, past the
// mouth); and rails run along every stretch of track that shows.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ui/Global.h"
#include "menus/Loader.h"
#include "engine/FileManager.h"
#include "engine/Product.h"
#include "engine/Utilities.h"
#include "game/GameTestSupport.h"
#include "game/HiddenZone.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/TrackObject.h"
#include "media/MemoryImageFile.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "runtime/QelRuntime.h"

namespace {

// Cars: the skin's width less the inset is the body; the next car follows at the gap.
constexpr float kBodyInset = 24.0f, kCarGap = 28.0f;
// Parts of cars this close (track units) to the end of a hidden stretch or to the mouth are not
// judged: a cover's edge has to lie somewhere.
constexpr float kMargin = 8.0f;
// A decoration counts as opaque from this alpha, as covering from the next.
constexpr uint32_t kSeeThrough = 0x40, kCovering = 0xF0;

struct Variant {
    int scene, mirror, level;
};

void PrintTo(const Variant& v, std::ostream* out) {
    *out << LayoutTable::scene(v.scene).id << (v.mirror < 0 ? " mirrored" : "") << " (level " << v.level << ")";
}

// The first level of every scene and mirror the campaign plays.
std::vector<Variant> campaignVariants() {
    std::vector<Variant> out;
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level) {
        const LevelRow& row = LayoutTable::row(level);
        const bool seen = std::any_of(out.begin(), out.end(), [&](const Variant& v) { return v.scene == row.scene && v.mirror == row.mirrorX; });
        if (!seen) out.push_back({row.scene, row.mirrorX, level});
    }
    return out;
}

uint32_t pixel(const MemoryImageFile& image, int x, int y) {
    if (x < 0 || y < 0 || x >= image.width || y >= image.height) return 0;
    return image.pImageData[static_cast<size_t>(y) * static_cast<size_t>(image.width) + static_cast<size_t>(x)];
}

// The texel of a renderable's quad skin under a world point, from the skin's picture (0 outside).
uint32_t texelUnder(Renderable& sprite, const MemoryImageFile& image, const Vector3& world) {
    const auto* quad = static_cast<const Quad*>(sprite.pSkin);
    const Vector3 local = sprite.world2local(world);
    const int col = static_cast<int>(std::floor(local.x + quad->width / 2)), row = static_cast<int>(std::floor(quad->height / 2 - local.y));
    if (col < 0 || row < 0 || col >= quad->sourceRect.width() || row >= quad->sourceRect.height()) return 0;
    return pixel(image, quad->sourceRect.left + col, quad->sourceRect.top + row);
}

// On the part of the picture that shows: rows 20 to 580 of 600, squeezed by 0.8 about the centre.
bool onShownPicture(const Vector3& world) { return std::fabs(world.x) < 400.0f && std::fabs(world.y) < 224.0f; }

class LevelPictures : public EngineTestOn<QelRuntime>, public testing::WithParamInterface<Variant> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        const WString archive = getDataArchivePath();
        ASSERT_TRUE(fileExists(archive)) << wideToUtf8(archive) << " was not generated";
        start();
        engine->pFileManager->useWad(archive);
        // Whole pictures in one texture each, so that every skin is a quad over its own rectangle
        // of the picture (split into tiles they draw the same).
        engine->pQelGraphics->bSimulate256x256TextureHW = false;
        for (const auto& [name, file] : {std::pair{u"ladder", u"gfx/gui/game/dashedline.tga"}, std::pair{u"launcher", u"gfx/launcher.tga"},
                                         std::pair{u"car", u"gfx/car.tga"}}) {
            textures.push_back(new Texture(0, file));
            Loader::registerTexture(name, textures.back());
        }
        carImage = std::make_unique<MemoryImageFile>(0, u"gfx/car.tga");
        host = std::make_unique<StubHost>();
        const Variant& v = GetParam();
        const LevelRow& row = LayoutTable::row(v.level);
        host->sprintFraction = row.sprintFraction > 0 ? row.sprintFraction : 0.15f * static_cast<float>(v.level) / 82.0f + 0.35f;
        level.reset(createLevelLayout(v.level));
        level->buildScene();
        scene = static_cast<Renderable*>(level->sceneLayer->firstChild);
        ASSERT_NE(scene, nullptr);
        scene->bHasInvXform = true;
        scene->calcXform();
        sceneImage = std::make_unique<MemoryImageFile>(0, level->sceneTexture->fileName);
        decorationImage = std::make_unique<MemoryImageFile>(0, level->decorationTexture->fileName);
        for (BasicLink* d = level->decorations->firstChild; d; d = d->next) {
            auto* decoration = static_cast<TrackObject*>(d);
            decoration->bHasInvXform = true;
            decoration->calcXform();
            decorations.push_back(decoration);
        }
        // As the depth pass draws them: farthest first, equal depths in registration order.
        std::stable_sort(decorations.begin(), decorations.end(), [](const TrackObject* a, const TrackObject* b) { return a->depth > b->depth; });
        for (TrackObject* d : decorations) {
            const auto* quad = static_cast<const Quad*>(d->pSkin);
            Bounds b{1e9f, -1e9f, 1e9f, -1e9f};
            for (float sx : {-0.5f, 0.5f})
                for (float sy : {-0.5f, 0.5f}) {
                    const Vector3 corner = d->local2world(Vector3(sx * quad->width, sy * quad->height, 0));
                    b = {std::min(b.left, corner.x), std::max(b.right, corner.x), std::min(b.bottom, corner.y), std::max(b.top, corner.y)};
                }
            bounds.push_back(b);
        }
    }

    void TearDown() override {
        level.reset();
        host.reset();
        for (Texture* t : textures) delete t;
        EngineTestOn<QelRuntime>::TearDown();
    }

    // The strongest alpha of the decorations drawn over a car of that depth.
    uint32_t coverOver(const Vector3& world, float carDepth) {
        uint32_t most = 0;
        for (size_t k = 0; k < decorations.size(); ++k) {
            const Bounds& b = bounds[k];
            if (decorations[k]->depth >= carDepth || world.x < b.left || world.x > b.right || world.y < b.bottom || world.y > b.top) continue;
            most = std::max(most, texelUnder(*decorations[k], *decorationImage, world) >> 24);
        }
        return most;
    }

    // What shows at a point with no car there: the scene with every decoration over it.
    uint32_t composite(const Vector3& world) {
        uint32_t colour = texelUnder(*scene, *sceneImage, world);
        for (TrackObject* d : decorations) {
            const uint32_t over = texelUnder(*d, *decorationImage, world);
            const uint32_t a = over >> 24;
            uint32_t mixed = 0xFF000000;
            for (int shift : {0, 8, 16}) {
                const uint32_t top = (over >> shift) & 0xFF, bottom = (colour >> shift) & 0xFF;
                mixed |= ((top * a + bottom * (255 - a) + 127) / 255) << shift;
            }
            colour = mixed;
        }
        return colour;
    }

    // Where a track position lies: shown (well clear of every hidden stretch and the mouth),
    // hidden (well inside a hidden stretch, or past the mouth), or too near an edge to judge.
    enum class Place { SHOWN, HIDDEN, EDGE };
    static Place placeOf(const Track& track, float pos) {
        if (pos > track.tunnelLambda + kMargin) return Place::HIDDEN;
        if (pos > track.tunnelLambda - kMargin) return Place::EDGE;
        for (BasicLink* z = track.hiddenZones.firstChild; z; z = z->next) {
            const auto* hidden = static_cast<const HiddenZone*>(z);
            if (pos >= hidden->start + kMargin && pos < hidden->end - kMargin) return Place::HIDDEN;
            if (pos >= hidden->start - kMargin && pos < hidden->end + kMargin) return Place::EDGE;
        }
        return Place::SHOWN;
    }

    // The track position nearest to a point (on the path squeezed as drawn), among 'from' to 'to'.
    static float nearestPosition(const Track& track, const Vector3& world, float from, float to) {
        const std::vector<Vector3>& samples = track.path.samples;
        const int first = std::max(0, static_cast<int>(from / 8));
        const int last = std::min(static_cast<int>(samples.size()) - 1, static_cast<int>(to / 8) + 1);
        float best = 1e30f, pos = 0;
        for (int i = first; i < last; ++i) {
            const Vector3 a(samples[i].x, samples[i].y * 0.8f, 0), b(samples[i + 1].x, samples[i + 1].y * 0.8f, 0);
            const Vector3 ab = b - a, aw = world - a;
            const float len2 = ab.x * ab.x + ab.y * ab.y;
            const float t = len2 > 0 ? std::clamp((aw.x * ab.x + aw.y * ab.y) / len2, 0.0f, 1.0f) : 0.0f;
            const Vector3 on = a + ab * t;
            const float d2 = (world.x - on.x) * (world.x - on.x) + (world.y - on.y) * (world.y - on.y);
            if (d2 < best) {
                best = d2;
                pos = (static_cast<float>(i) + t) * 8.0f;
            }
        }
        return pos;
    }

    // Where the part of a car over a point lies: by the track position it is over (the nearest
    // around the car). Near a stretch's end its neighbours must agree: on the inside of a curve,
    // positions crowd together.
    static Place placeAt(const Track& track, const Vector3& world, float from, float to) {
        const float pos = nearestPosition(track, world, from, to);
        const Place place = placeOf(track, pos);
        if (place == Place::EDGE) return place;
        float ends = std::fabs(pos - track.tunnelLambda);
        for (BasicLink* z = track.hiddenZones.firstChild; z; z = z->next) {
            const auto* hidden = static_cast<const HiddenZone*>(z);
            ends = std::min({ends, std::fabs(pos - hidden->start), std::fabs(pos - hidden->end)});
        }
        if (ends > 40) return place;
        for (const Vector3& step : {Vector3(5, 0, 0), Vector3(-5, 0, 0), Vector3(0, 5, 0), Vector3(0, -5, 0)})
            if (placeOf(track, nearestPosition(track, world + step, from, to)) != place) return Place::EDGE;
        return place;
    }

    // A point of a car's body where the car picture is opaque, and where along the track it is.
    struct BodyPoint {
        Vector3 world;
        float pos;
        Place place;
    };

    // Every car kind with its front at every 'step' units while it shows (until the front of the
    // car behind it passes the mouth, when the game hides it), as the game places it.
    template <typename Visit>
    void forEachCar(Track& track, float step, Visit visit) {
        for (size_t kind = 0; kind < 4; ++kind) {
            const auto* skin = static_cast<const Quad*>(textures[2]->skins[kind]);
            const float width = skin->width, height = skin->height;
            ChordTable* body = track.getChordTable(width - kBodyInset);
            ChordTable* gap = track.getChordTable(kCarGap);
            for (float front = 0; front <= track.path.length; front += step) {
                const float rear = body->lookup(front);
                if (gap->lookup(rear) > track.tunnelLambda) break;
                Vector3 f, r;
                float depth = 0;
                track.path.getPoint(front, f, nullptr, &depth);
                track.path.getPoint(rear, r);
                const Vector3 centre = (f + r) * 0.5f;
                const float angle = std::atan2(f.y - r.y, f.x - r.x);
                const Vector3 axis(std::cos(angle), std::sin(angle), 0), across(-axis.y, axis.x, 0);
                std::vector<BodyPoint> points;
                for (float u = 2; u < width; u += 6)
                    for (float v = 2; v < height; v += 6) {
                        if ((pixel(*carImage, skin->sourceRect.left + static_cast<int>(u), skin->sourceRect.top + static_cast<int>(v)) >> 24) < 0x80)
                            continue;
                        const Vector3 world = centre + axis * (u - width / 2) + across * (height / 2 - v);
                        if (!onShownPicture(world)) continue;
                        // A sprite reaches at most 30 units beyond its front and rear.
                        const float pos = nearestPosition(track, world, rear - 40, front + 40);
                        points.push_back({world, pos, placeAt(track, world, rear - 40, front + 40)});
                    }
                visit(front, depth, points);
            }
        }
    }

    std::vector<Texture*> textures;
    std::unique_ptr<MemoryImageFile> carImage, sceneImage, decorationImage;
    std::unique_ptr<StubHost> host;
    std::unique_ptr<Level> level;
    Renderable* scene = nullptr;
    std::vector<TrackObject*> decorations;
    // Each decoration's extent in the world, in the same order.
    struct Bounds {
        float left, right, bottom, top;
    };
    std::vector<Bounds> bounds;
};

TEST_P(LevelPictures, OneDecorationPerDepthOfItsScene) {
    const SceneLayout& layout = LayoutTable::scene(GetParam().scene);
    EXPECT_EQ(level->decorationTexture->skins.size(), layout.decorationDepths.size());
    ASSERT_EQ(decorations.size(), layout.decorationDepths.size());
    // A full-screen scene picture, shown squeezed to the 800 x 480 layout.
    ASSERT_EQ(level->sceneTexture->skins.size(), 1u);
    EXPECT_EQ(sceneImage->width, 800);
    EXPECT_EQ(sceneImage->height, 600);
    // Each decoration lies on the picture.
    for (TrackObject* d : decorations) {
        const auto* quad = static_cast<const Quad*>(d->pSkin);
        for (float sx : {-0.5f, 0.5f})
            for (float sy : {-0.5f, 0.5f}) {
                const Vector3 corner = d->local2world(Vector3(sx * quad->width, sy * quad->height, 0));
                EXPECT_LE(std::fabs(corner.x), 400.5f);
                EXPECT_LE(std::fabs(corner.y), 240.5f);
            }
    }
}

// Counts the points that fail a check and describes the first.
struct Faults {
    int count = 0;
    std::string first;
    void add(const std::string& what) {
        if (count++ == 0) first = what;
    }
};

std::string describe(float front, float depth, float pos, const Vector3& world, uint32_t alpha) {
    return "car with its front at " + std::to_string(front) + " (depth " + std::to_string(depth) + "), its part over " + std::to_string(pos) +
           " at (" + std::to_string(world.x) + ", " + std::to_string(world.y) + "): alpha " + std::to_string(alpha);
}

TEST_P(LevelPictures, NoDecorationOverACarIsOpaqueWhereTheCarShows) {
    for (Track* track : level->getTracks()) {
        int judged = 0;
        Faults faults;
        forEachCar(*track, 8.0f, [&](float front, float depth, const std::vector<BodyPoint>& points) {
            for (const BodyPoint& p : points) {
                if (p.place != Place::SHOWN) continue;
                ++judged;
                const uint32_t alpha = coverOver(p.world, depth);
                if (alpha > kSeeThrough) faults.add(describe(front, depth, p.pos, p.world, alpha));
            }
        });
        EXPECT_GT(judged, 1000);
        EXPECT_EQ(faults.count, 0) << "of " << judged << "; the first: " << faults.first;
    }
}

TEST_P(LevelPictures, ADecorationHidesEveryCarInAHiddenStretchAndPastTheMouth) {
    int judged = 0;
    bool somethingToHide = false;
    for (Track* track : level->getTracks()) {
        Vector3 inside;
        track->path.getPoint(track->tunnelLambda + 30.0f, inside);
        somethingToHide = somethingToHide || onShownPicture(inside) || track->hiddenZones.firstChild;
        Faults faults;
        forEachCar(*track, 8.0f, [&](float front, float depth, const std::vector<BodyPoint>& points) {
            for (const BodyPoint& p : points) {
                if (p.place != Place::HIDDEN) continue;
                ++judged;
                const uint32_t alpha = coverOver(p.world, depth);
                if (alpha < kCovering) faults.add(describe(front, depth, p.pos, p.world, alpha));
            }
        });
        EXPECT_EQ(faults.count, 0) << "the first: " << faults.first;
    }
    // Unless every mouth is at the picture's very edge, cars go some way into something.
    if (somethingToHide) { EXPECT_GT(judged, 100); }
}

TEST_P(LevelPictures, RailsRunAlongEveryStretchThatShows) {
    // A rail pixel: dark and grey (not snow, wood or firs).
    auto isRail = [](uint32_t c) {
        const int r = (c >> 16) & 0xFF, g = (c >> 8) & 0xFF, b = c & 0xFF;
        return (r * 3 + g * 6 + b) / 10 < 150 && std::max({r, g, b}) - std::min({r, g, b}) < 48;
    };
    for (Track* track : level->getTracks()) {
        int judged = 0;
        Faults faults;
        for (float pos = 0; pos < track->tunnelLambda; pos += 4.0f) {
            Vector3 p, ahead;
            track->path.getPoint(pos, p);
            track->path.getPoint(pos + 1.0f, ahead);
            const Vector3 d = ahead - p;
            const float len = std::hypot(d.x, d.y);
            if (len <= 0 || !onShownPicture(p) || placeOf(*track, pos) != Place::SHOWN) continue;
            const Vector3 across(-d.y / len, d.x / len, 0);
            ++judged;
            for (float side : {-1.0f, 1.0f}) {
                bool found = false;
                for (float offset = 7.5f; offset <= 10.5f && !found; offset += 0.5f) found = isRail(composite(p + across * (side * offset)));
                if (!found)
                    faults.add("track position " + std::to_string(pos) + " at (" + std::to_string(p.x) + ", " + std::to_string(p.y) + "), side " +
                               std::to_string(side));
            }
        }
        EXPECT_GT(judged, 50);
        EXPECT_EQ(faults.count, 0) << "of " << judged << " positions lack a rail; the first: " << faults.first;
    }
}

INSTANTIATE_TEST_SUITE_P(Campaign, LevelPictures, testing::ValuesIn(campaignVariants()), [](const auto& info) {
    return std::string(LayoutTable::scene(info.param.scene).id) + (info.param.mirror < 0 ? "Mirrored" : "");
});

}  // namespace
