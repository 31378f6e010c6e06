// The campaign's level table and the geometry of every scene, mirrored and not: where trains come
// in and leave, where the launcher stands, and where tracks may cross.

#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "game/LayoutTable.h"
#include "game/TrackPath.h"

namespace {

// The world map's stages: first level and level count.
const std::pair<int, int> kStages[] = {{0, 4},  {4, 4},  {8, 4},  {12, 5}, {17, 5}, {22, 5}, {27, 6}, {33, 6},
                                       {39, 6}, {45, 7}, {52, 7}, {59, 7}, {66, 8}, {74, 8}, {82, 1}};

bool isTwin(int level) { return LayoutTable::scene(LayoutTable::row(level).scene).tracks.size() == 2; }
float span(const LayoutTrack& t) { return t.tunnelLambda - t.createLambda; }

TEST(LevelTable, TheFirstThirteenLevelsPlayTheTwelveScenes) {
    const char* ids[] = {"A1", "A8", "A12", "A5", "B3", "A13", "B4", "A2", "B2", "B1", "A14", "A7", "A12"};
    for (int level = 0; level <= 12; ++level) {
        const LevelRow& row = LayoutTable::row(level);
        EXPECT_STREQ(LayoutTable::scene(row.scene).id, ids[level]) << level;
        EXPECT_EQ(row.mirrorX, level == 12 ? -1 : 1) << level;
        EXPECT_EQ(row.sprintFraction, level == 0 || level == 2 || level == 12 ? 0.5f : 0.0f) << level;
    }
}

// The designed layouts of levels 0-12 as the level designer laid them out: the track's create,
// tunnel and help positions, its hidden stretches and control points (count, first and last with
// their handles), the launcher spots and the decorations' depths.
TEST(LevelTable, TheFirstThirteenLevelsCarryTheDesignedLayouts) {
    struct Expected {
        float create, tunnel, help;
        std::vector<LayoutSpan> hidden;
        size_t points;
        LayoutPoint first, last;
        std::vector<LayoutSpot> spots;
        std::vector<float> depths;
    };
    const Expected kA12 = {440, 3215, 3215, {}, 6, {-169.1f, 108.8f, 20, -160, 100}, {110, -80, 5, 110, -97}, {{140.625f, -234.375f}}, {-15}};
    const Expected levels[] = {
        {315, 1934, 1934, {}, 4, {-105, 100, 5, -87, -28}, {-28, 32, 5, -57, 45}, {{96.875f, -68.75f}}, {-10}},
        {260, 2753, 2753, {}, 7, {-116.4f, -101.8f, 5, -115, -28}, {-59.3f, -110.9f, 5, -53, -126}, {{-59.375f, -59.375f}}, {-15}},
        kA12,
        {260, 3928, 3928, {}, 6, {-115, -100, 35, -115, -32}, {-60, 0, 5, -60, 50}, {{0, 0}}, {-15}},
        {260, 1514, 1514, {{1060, 1100}}, 4, {-141.5f, 79, 25, -77, 40}, {73.6f, 43.2f, 5, 56, 72}, {{0, 106.25f}}, {-15, -15, -11, -15}},
        {255, 2225, 2100, {}, 5, {-20, 100.3f, 20, -20, 31}, {19.9f, 74.5f, 5, 20, 116}, {{0, 40.625f}}, {-15}},
        {260, 1900, 1900, {{325, 375}}, 4, {-135, 55, 5, -71, 55}, {-70, -70, 5, -80, -70}, {{0, 0}}, {-15, -15, -15, -15}},
        {260, 4439, 4439, {{2678, 2795}, {3665, 3808}}, 10, {-107.5f, -100, 25, -123, -30}, {0, 49.7f, 5, 38, 49.7f}, {{43.75f, -31.25f}},
         {-10, -15, -15}},
        {260, 1635, 1635, {{1205, 1270}}, 3, {-141, 79, 25, -100, 40}, {90, 70, 5, 150, 70}, {{-109.375f, 0}, {331.25f, 0}},
         {-15, -35, -15, -15}},
        {260, 2341, 2341, {}, 9, {115, 100, 25, 115, 50}, {65, 5, 5, 65, -20}, {{0, 0}}, {-15, -15}},
        {255, 3045, 3045, {{390, 431}, {2638, 2681}}, 6, {-130.4f, 70.7f, 5, -62, 70}, {114, 71.2f, 5, 118, 71}, {{312.5f, 0}},
         {-15, -15, -15}},
        {350, 3455, 3455, {{2422, 2488}, {2982, 3046}}, 7, {-144.7f, -19.6f, 25, -76, 78}, {23.4f, -56.6f, 5, 23.4f, -93},
         {{-59.375f, -59.375f}}, {-15, -15, -19}},
        kA12,  // turned left to right when built
    };
    const auto samePoint = [](const LayoutPoint& a, const LayoutPoint& b) {
        return a.x == b.x && a.y == b.y && a.z == b.z && a.hx == b.hx && a.hy == b.hy;
    };
    for (int level = 0; level <= 12; ++level) {
        SCOPED_TRACE(level);
        const Expected& e = levels[level];
        const SceneLayout& scene = LayoutTable::scene(LayoutTable::row(level).scene);
        ASSERT_EQ(scene.tracks.size(), 1u);
        const LayoutTrack& track = scene.tracks[0];
        EXPECT_EQ(track.createLambda, e.create);
        EXPECT_EQ(track.tunnelLambda, e.tunnel);
        EXPECT_EQ(track.helpLambda, e.help);
        ASSERT_EQ(track.hidden.size(), e.hidden.size());
        for (size_t i = 0; i < e.hidden.size(); ++i) {
            EXPECT_EQ(track.hidden[i].start, e.hidden[i].start);
            EXPECT_EQ(track.hidden[i].end, e.hidden[i].end);
        }
        ASSERT_EQ(track.points.size(), e.points);
        EXPECT_TRUE(samePoint(track.points.front(), e.first));
        EXPECT_TRUE(samePoint(track.points.back(), e.last));
        ASSERT_EQ(scene.launchers.size(), e.spots.size());
        for (size_t i = 0; i < e.spots.size(); ++i) {
            EXPECT_EQ(scene.launchers[i].x, e.spots[i].x);
            EXPECT_EQ(scene.launchers[i].y, e.spots[i].y);
        }
        EXPECT_EQ(std::vector<float>(scene.decorationDepths.begin(), scene.decorationDepths.end()), e.depths);
    }
}

TEST(LevelTable, TwinTrackLevelsFromLevel21) {
    for (int level = 0; level < 21; ++level) EXPECT_FALSE(isTwin(level)) << level;
    EXPECT_TRUE(isTwin(21));
    EXPECT_TRUE(isTwin(82));
    for (int level = 1; level <= LayoutTable::LAST_LEVEL; ++level) EXPECT_FALSE(isTwin(level) && isTwin(level - 1)) << level;
    for (const auto& [first, count] : kStages) {
        if (first + count <= 21) continue;
        int twins = 0;
        for (int level = first; level < first + count; ++level) twins += isTwin(level);
        EXPECT_GE(twins, 1) << "stage from " << first;
        EXPECT_LE(twins, (count + 1) / 2) << "stage from " << first;
    }
}

TEST(LevelTable, NoSceneTwiceInARowNorAVariantTwiceInAStage) {
    // Also across the repeat beyond the campaign's end.
    for (int level = 1; level <= 150; ++level)
        EXPECT_NE(LayoutTable::row(level).scene, LayoutTable::row(level - 1).scene) << level;
    for (const auto& [first, count] : kStages) {
        std::set<std::pair<int, int>> seen;
        for (int level = first; level < first + count; ++level) {
            const LevelRow& row = LayoutTable::row(level);
            EXPECT_TRUE(seen.insert({row.scene, row.mirrorX}).second) << level;
        }
    }
}

TEST(LevelTable, EverySingleTrackVariantIsPlayed) {
    std::set<std::pair<int, int>> variants;
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level) {
        const LevelRow& row = LayoutTable::row(level);
        EXPECT_TRUE(row.mirrorX == 1 || row.mirrorX == -1) << level;
        if (!isTwin(level)) variants.insert({row.scene, row.mirrorX});
    }
    EXPECT_EQ(variants.size(), 24u);
    std::set<int> twinScenes;
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level)
        if (isTwin(level)) twinScenes.insert(LayoutTable::row(level).scene);
    EXPECT_GE(twinScenes.size(), 4u);
}

TEST(LevelTable, LongTracksOnceTheTrainsGrow) {
    const std::set<std::string> longScenes = {"A8", "A12", "A5", "A2", "A14", "A7"};
    for (const SceneLayout& scene : LayoutTable::scenes()) {
        if (scene.tracks.size() != 1) continue;
        EXPECT_EQ(span(scene.tracks[0]) >= 2400.0f, longScenes.count(scene.id) == 1) << scene.id;
    }
    for (int level = 45; level <= LayoutTable::LAST_LEVEL; ++level) {
        const SceneLayout& scene = LayoutTable::scene(LayoutTable::row(level).scene);
        if (scene.tracks.size() == 1) { EXPECT_GE(span(scene.tracks[0]), 2400.0f) << level; }
        for (const LayoutTrack& t : scene.tracks) EXPECT_GE(span(t), 1600.0f) << level;
    }
}

TEST(LevelTable, SprintHalfwayBelongsToA1AndA12) {
    for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level) {
        const LevelRow& row = LayoutTable::row(level);
        const bool halfway = row.scene == LayoutTable::SCENE_A1 || row.scene == LayoutTable::SCENE_A12;
        EXPECT_EQ(row.sprintFraction, halfway ? 0.5f : 0.0f) << level;
    }
}

TEST(LevelTable, LevelsBeyondTheCampaignReplayTheLastStages) {
    const std::pair<int, int> cases[] = {{-5, 0}, {0, 0}, {82, 82}, {83, 66}, {84, 67}, {99, 82}, {100, 66}, {1000, 66 + (1000 - 66) % 17}};
    for (const auto& [level, row] : cases) EXPECT_EQ(LayoutTable::rowIndex(level), row) << level;
    EXPECT_EQ(&LayoutTable::row(2147483647), &LayoutTable::row(66 + (2147483647 - 66) % 17));
    // The row after 82 is 66 again: single-track and another scene.
    EXPECT_FALSE(isTwin(66));
}

// ---- Geometry of every scene as played, mirrored and not ----

struct PlayedTrack {
    const LayoutTrack* data;
    std::unique_ptr<TrackPath> path;
    Vector3 at(float pos) const {
        Vector3 p;
        path->getPoint(pos, p);
        return {p.x, p.y / 0.8f, 0};  // picture coordinates before the squeeze
    }
    bool hidden(float pos) const {
        if (pos > data->tunnelLambda) return true;
        for (const LayoutSpan& h : data->hidden)
            if (h.start <= pos && pos < h.end) return true;
        return false;
    }
};

std::vector<PlayedTrack> played(const SceneLayout& scene, int mirror) {
    std::vector<PlayedTrack> out;
    for (const LayoutTrack& t : scene.tracks) {
        PlayedTrack p{&t, std::make_unique<TrackPath>()};
        LayoutTable::convertTrack(t.points, mirror, 1, p.path->controlPoints, p.path->tangents);
        p.path->resample();
        out.push_back(std::move(p));
    }
    return out;
}

// The picture shows rows 20 to 580 of 600 (the head-up bar covers the top; the camera stands 16
// units up): x within 400 and y within 280 of the centre, before the 0.8 squeeze.
bool onPicture(const Vector3& p) { return std::fabs(p.x) <= 400.0f && std::fabs(p.y) <= 280.0f; }

bool visible(const PlayedTrack& t, float pos) {
    return pos >= t.data->createLambda && !t.hidden(pos) && onPicture(t.at(pos));
}

bool segmentsCross(const Vector3& a, const Vector3& b, const Vector3& c, const Vector3& d) {
    auto side = [](const Vector3& o, const Vector3& p, const Vector3& q) { return (p.x - o.x) * (q.y - o.y) - (p.y - o.y) * (q.x - o.x); };
    return ((side(c, d, a) > 0) != (side(c, d, b) > 0)) && ((side(a, b, c) > 0) != (side(a, b, d) > 0));
}

class SceneGeometry : public testing::TestWithParam<std::pair<int, int>> {};

TEST_P(SceneGeometry, TrainsComeFromOffThePictureIntoMouthsOnIt) {
    const SceneLayout& scene = LayoutTable::scene(GetParam().first);
    const int mirror = GetParam().second;
    for (const PlayedTrack& t : played(scene, mirror)) {
        const LayoutTrack& d = *t.data;
        EXPECT_FALSE(onPicture(t.at(d.createLambda))) << scene.id;
        EXPECT_TRUE(onPicture(t.at(d.tunnelLambda))) << scene.id;
        EXPECT_GT(d.tunnelLambda, d.createLambda);
        EXPECT_GE(d.helpLambda, 0.0f);
        // The longest car (96 body units and a gap of 28) still fits before the path ends when it
        // reaches the destroy position.
        EXPECT_LE(d.tunnelLambda + 100.0f + 96.0f + 28.0f, t.path->length) << scene.id;
        for (const LayoutSpan& h : d.hidden) {
            EXPECT_LT(h.start, h.end) << scene.id;
            EXPECT_GE(h.start, d.createLambda) << scene.id;
            EXPECT_LE(h.end, d.tunnelLambda) << scene.id;
        }
    }
}

TEST_P(SceneGeometry, LauncherSpotsStandClearOfTheTracks) {
    const SceneLayout& scene = LayoutTable::scene(GetParam().first);
    const int mirror = GetParam().second;
    const std::vector<PlayedTrack> tracks = played(scene, mirror);
    ASSERT_FALSE(scene.launchers.empty());
    for (const LayoutSpot& s : scene.launchers) {
        const Vector3 spot(float(mirror) * s.x, s.y, 0);
        EXPECT_TRUE(onPicture(spot)) << scene.id;
        // As played: both squeezed to 0.8 in y.
        for (const PlayedTrack& t : tracks) {
            for (float pos = t.data->createLambda; pos <= t.data->tunnelLambda; pos += 4.0f) {
                const Vector3 p = t.at(pos);
                EXPECT_GE(std::hypot(p.x - spot.x, 0.8f * (p.y - spot.y)), 100.0f) << scene.id << " spot " << s.x << "," << s.y << " at " << pos;
            }
        }
    }
}

TEST_P(SceneGeometry, TracksCrossOnlyWhereOneOfThemIsOutOfSight) {
    const SceneLayout& scene = LayoutTable::scene(GetParam().first);
    const std::vector<PlayedTrack> tracks = played(scene, GetParam().second);
    for (size_t i = 0; i < tracks.size(); ++i) {
        for (size_t j = i; j < tracks.size(); ++j) {
            const auto& a = tracks[i].path->samples;
            const auto& b = tracks[j].path->samples;
            for (size_t p = 0; p + 1 < a.size(); ++p) {
                for (size_t q = i == j ? p + 3 : 0; q + 1 < b.size(); ++q) {
                    if (!segmentsCross(a[p], a[p + 1], b[q], b[q + 1])) continue;
                    const float posA = float(p) * 8.0f + 4.0f, posB = float(q) * 8.0f + 4.0f;
                    EXPECT_FALSE(visible(tracks[i], posA) && visible(tracks[j], posB))
                        << scene.id << ": track " << i << " at " << posA << " crosses track " << j << " at " << posB;
                }
            }
        }
    }
}

std::vector<std::pair<int, int>> allVariants() {
    std::vector<std::pair<int, int>> out;
    for (int s = 0; s < LayoutTable::SCENE_COUNT; ++s)
        for (int m : {1, -1}) out.emplace_back(s, m);
    return out;
}

INSTANTIATE_TEST_SUITE_P(AllScenes, SceneGeometry, testing::ValuesIn(allVariants()), [](const auto& info) {
    return std::string(LayoutTable::scene(info.param.first).id) + (info.param.second < 0 ? "Mirrored" : "");
});

}  // namespace
