#include "game/LayoutTable.h"

#include <cmath>

namespace {

// The twelve single-track scenes.
const LayoutPoint kA1[] = {{-105, 100, 5, -87, -28}, {60, -75, 5, 121, -53}, {65, 30, 5, 27, 39}, {-28, 32, 5, -57, 45}};
const LayoutPoint kA8[] = {{-116.4f, -101.8f, 5, -115, -28}, {-89.4f, 53.8f, 5, -57, 86},  {103.3f, 62.8f, 5, 135, 27},
                           {58.6f, -0.9f, 5, 6, 47},         {-49, 57, 5, -95, 41},        {-89.1f, -40.2f, 5, -75, -76},
                           {-59.3f, -110.9f, 5, -53, -126}};
const LayoutPoint kA12[] = {{-169.1f, 108.8f, 20, -160, 100}, {-110, 50, 20, -71, 10},        {120, 60, 15, 130, -19},
                            {-120, -20, 10, -110, -100},      {70.3f, -10.1f, 10, 122, -27}, {110, -80, 5, 110, -97}};
const LayoutPoint kA5[] = {{-115, -100, 35, -115, -32}, {-115, 0, 35, -115, 110}, {115, 0, 30, 115, -110},
                           {-90, 0, 25, -90, 80},       {90, 0, 20, 90, -80},     {-60, 0, 5, -60, 50}};
const LayoutPoint kB3[] = {{-141.5f, 79, 25, -77, 40}, {-51.2f, -70.6f, 15, -4, -73}, {34.6f, -36.3f, 5, 77, -36}, {73.6f, 43.2f, 5, 56, 72}};
const LayoutPoint kA13[] = {{-20, 100.3f, 20, -20, 31},
                            {-110.1f, -39.7f, 15, -81, -109},
                            {0.7f, -38.7f, 10, 38, -39},
                            {109.8f, -39.6f, 10, 140, 30},
                            {19.9f, 74.5f, 5, 20, 116}};
const LayoutPoint kB4[] = {{-135, 55, 5, -71, 55}, {60.5f, 55, 25, 130, 55}, {59.4f, -70, 25, -10, -70}, {-70, -70, 5, -80, -70}};
const LayoutPoint kA2[] = {{-107.5f, -100, 25, -123, -30}, {-78.9f, 61.4f, 25, -33, 97}, {66.9f, 45.5f, 25, 98, 19},
                           {58.3f, -64.6f, 25, 24, -87},   {-77, -50.7f, 25, -108, -13}, {-36.4f, 68.1f, 5, 4, 90},
                           {88.1f, 59, 5, 128, 26},        {95.8f, -61.6f, 5, 64, -90},  {-51.7f, -37, 5, -74, 10},
                           {0, 49.7f, 5, 38, 49.7f}};
const LayoutPoint kB2[] = {{-141, 79, 25, -100, 40}, {-29, -79, 15, 30, -80}, {90, 70, 5, 150, 70}};
const LayoutPoint kB1[] = {{115, 100, 25, 115, 50}, {115, -30, 25, 115, -60}, {65, -80, 25, 30, -80},
                           {-40, -80, 25, -65, -80}, {-90, -30, 25, -90, -10}, {-90, 5, 25, -90, 30},
                           {-40, 55, 25, -15, 55},  {15, 55, 15, 40, 55},     {65, 5, 5, 65, -20}};
const LayoutPoint kA14[] = {{-130.4f, 70.7f, 5, -62, 70}, {-80.4f, -70, 5, -150, -70}, {-40.1f, 71, 25, 30, 70},
                            {0.6f, -70.5f, 5, -70, -70},  {39.9f, 70.3f, 5, 100, 70},  {114, 71.2f, 5, 118, 71}};
const LayoutPoint kA7[] = {{-144.7f, -19.6f, 25, -76, 78}, {103.7f, 45.9f, 25, 132, 13}, {85.6f, -65.5f, 25, 55, -98},
                           {-89.5f, -55.9f, 25, -117, -27}, {-88.9f, 56.5f, 10, -60, 86}, {35.9f, 65.3f, 5, 66, 35},
                           {23.4f, -56.6f, 5, 23.4f, -93}};

// The scenes with two tracks. Each track comes in from off the picture and runs into a tunnel
// mouth of its own; where one passes over the other, the lower one runs through a hidden stretch
// under a bridge.
//
// C1: two upright serpentines, left and right, the launcher between them.
const LayoutPoint kC1Left[] = {{-110, 94.3f, 5, -110, 62.9f},    {-110, -62.9f, 5, -110, -97.4f}, {-75.4f, -62.9f, 5, -75.4f, -28.3f},
                               {-75.4f, 62.9f, 5, -75.4f, 97.4f}, {-40.9f, 62.9f, 5, -40.9f, 28.3f}, {-40.9f, -34.6f, 5, -40.9f, -53.4f}};
const LayoutPoint kC1Right[] = {{110, -94.3f, 5, 110, -62.9f},      {110, 62.9f, 5, 110, 97.4f},     {75.4f, 62.9f, 5, 75.4f, 28.3f},
                                {75.4f, -62.9f, 5, 75.4f, -97.4f}, {40.9f, -62.9f, 5, 40.9f, -28.3f}, {40.9f, 34.6f, 5, 40.9f, 53.4f}};
// C2: two lying serpentines, above and below the launcher.
const LayoutPoint kC2Top[] = {{-135.1f, 78.6f, 5, -103.7f, 78.6f}, {94.3f, 78.6f, 5, 125.7f, 78.6f}, {94.3f, 44, 5, 62.9f, 44},
                              {-91.1f, 44, 5, -122.6f, 44},        {-113.1f, 12.6f, 5, -125.7f, 0}};
const LayoutPoint kC2Bottom[] = {{135.1f, -78.6f, 5, 103.7f, -78.6f}, {-94.3f, -78.6f, 5, -125.7f, -78.6f}, {-94.3f, -44, 5, -62.9f, -44},
                                 {91.1f, -44, 5, 122.6f, -44},        {113.1f, -12.6f, 5, 125.7f, 0}};
// C3: a raised serpentine along the top; the other track comes down through it under two bridges
// and winds along the bottom.
const LayoutPoint kC3Top[] = {{-133.4f, 77.5f, 25, -102.4f, 77.5f}, {93.1f, 77.5f, 25, 124.1f, 77.5f}, {93.1f, 43.4f, 25, 62, 43.4f},
                              {-90, 43.4f, 25, -121, 43.4f},        {-111.7f, 12.4f, 25, -124.1f, 0}};
const LayoutPoint kC3Under[] = {{37.7f, 103.7f, 5, 37.7f, 72.3f},   {37.7f, -18.9f, 5, 37.7f, -40.9f}, {-91.1f, -45.6f, 5, -122.6f, -45.6f},
                                {-91.1f, -80.1f, 5, -59.7f, -80.1f}, {125.7f, -80.1f, 5, 157.1f, -80.1f}};
// C4: a raised ring round the picture; the inner track comes in under a bridge and circles the
// launcher inside it.
const LayoutPoint kC4Outer[] = {{-133.4f, 80.6f, 25, -102.4f, 80.6f}, {90, 80.6f, 25, 121, 80.6f}, {116.3f, -58.9f, 25, 116.3f, -90},
                                {-90, -80.6f, 25, -121, -80.6f},      {-116.3f, 27.9f, 25, -116.3f, 58.9f}};
const LayoutPoint kC4Inner[] = {{37.7f, 103.7f, 5, 37.7f, 72.3f},    {62.9f, 53.4f, 5, 91.1f, 53.4f}, {91.1f, -31.4f, 5, 91.1f, -62.9f},
                                {-62.9f, -56.6f, 5, -94.3f, -56.6f}, {-91.1f, 31.4f, 5, -91.1f, 62.9f}, {-6.3f, 53.4f, 5, 12.6f, 53.4f}};

const LayoutSpan kHiddenB3[] = {{1060, 1100}};
const LayoutSpan kHiddenB4[] = {{325, 375}};
const LayoutSpan kHiddenA2[] = {{2678, 2795}, {3665, 3808}};
const LayoutSpan kHiddenB2[] = {{1205, 1270}};
const LayoutSpan kHiddenA14[] = {{390, 431}, {2638, 2681}};
const LayoutSpan kHiddenA7[] = {{2422, 2488}, {2982, 3046}};
const LayoutSpan kHiddenC3Under[] = {{298, 358}, {410, 470}};
const LayoutSpan kHiddenC4Inner[] = {{290, 350}};

const LayoutTrack kTracksA1[] = {{kA1, 315, 1934, 1934, {}}};
const LayoutTrack kTracksA8[] = {{kA8, 260, 2753, 2753, {}}};
const LayoutTrack kTracksA12[] = {{kA12, 440, 3215, 3215, {}}};
const LayoutTrack kTracksA5[] = {{kA5, 260, 3928, 3928, {}}};
const LayoutTrack kTracksB3[] = {{kB3, 260, 1514, 1514, kHiddenB3}};
const LayoutTrack kTracksA13[] = {{kA13, 255, 2225, 2100, {}}};
const LayoutTrack kTracksB4[] = {{kB4, 260, 1900, 1900, kHiddenB4}};
const LayoutTrack kTracksA2[] = {{kA2, 260, 4439, 4439, kHiddenA2}};
const LayoutTrack kTracksB2[] = {{kB2, 260, 1635, 1635, kHiddenB2}};
const LayoutTrack kTracksB1[] = {{kB1, 260, 2341, 2341, {}}};
const LayoutTrack kTracksA14[] = {{kA14, 255, 3045, 3045, kHiddenA14}};
const LayoutTrack kTracksA7[] = {{kA7, 350, 3455, 3455, kHiddenA7}};
const LayoutTrack kTracksC1[] = {{kC1Left, 260, 1864, 1864, {}}, {kC1Right, 260, 1864, 1864, {}}};
const LayoutTrack kTracksC2[] = {{kC2Top, 260, 1880, 1880, {}}, {kC2Bottom, 260, 1880, 1880, {}}};
const LayoutTrack kTracksC3[] = {{kC3Top, 260, 1880, 1880, {}}, {kC3Under, 260, 1928, 1928, kHiddenC3Under}};
const LayoutTrack kTracksC4[] = {{kC4Outer, 260, 2480, 2480, {}}, {kC4Inner, 260, 1880, 1880, kHiddenC4Inner}};

const LayoutSpot kSpotsA1[] = {{96.875f, -68.75f}};
const LayoutSpot kSpotsA8[] = {{-59.375f, -59.375f}};
const LayoutSpot kSpotsA12[] = {{140.625f, -234.375f}};
const LayoutSpot kSpotsCentre[] = {{0, 0}};
const LayoutSpot kSpotsB3[] = {{0, 106.25f}};
const LayoutSpot kSpotsA13[] = {{0, 40.625f}};
const LayoutSpot kSpotsA2[] = {{43.75f, -31.25f}};
const LayoutSpot kSpotsB2[] = {{-109.375f, 0}, {331.25f, 0}};
const LayoutSpot kSpotsA14[] = {{312.5f, 0}};
const LayoutSpot kSpotsA7[] = {{-59.375f, -59.375f}};
const LayoutSpot kSpotsC3[] = {{-150, -5}, {280, -20}};

const float kDepthsOne[] = {-15};
const float kDepthsA1[] = {-10};
const float kDepthsB3[] = {-15, -15, -11, -15};
const float kDepthsB4[] = {-15, -15, -15, -15};
const float kDepthsA2[] = {-10, -15, -15};
const float kDepthsB2[] = {-15, -35, -15, -15};
const float kDepthsB1[] = {-15, -15};
const float kDepthsA14[] = {-15, -15, -15};
const float kDepthsA7[] = {-15, -15, -19};
// Twin scenes: a hill over each track's mouth (nearer than that track), then a bridge over each
// hidden stretch (between the raised track and the one beneath).
const float kDepthsTwinLevel[] = {-15, -15};
const float kDepthsC3[] = {-30, -10, -15, -15};
const float kDepthsC4[] = {-30, -10, -15};

const SceneLayout kScenes[] = {
    {"A1", kTracksA1, kSpotsA1, kDepthsA1},
    {"A8", kTracksA8, kSpotsA8, kDepthsOne},
    {"A12", kTracksA12, kSpotsA12, kDepthsOne},
    {"A5", kTracksA5, kSpotsCentre, kDepthsOne},
    {"B3", kTracksB3, kSpotsB3, kDepthsB3},
    {"A13", kTracksA13, kSpotsA13, kDepthsOne},
    {"B4", kTracksB4, kSpotsCentre, kDepthsB4},
    {"A2", kTracksA2, kSpotsA2, kDepthsA2},
    {"B2", kTracksB2, kSpotsB2, kDepthsB2},
    {"B1", kTracksB1, kSpotsCentre, kDepthsB1},
    {"A14", kTracksA14, kSpotsA14, kDepthsA14},
    {"A7", kTracksA7, kSpotsA7, kDepthsA7},
    {"C1", kTracksC1, kSpotsCentre, kDepthsTwinLevel},
    {"C2", kTracksC2, kSpotsCentre, kDepthsTwinLevel},
    {"C3", kTracksC3, kSpotsC3, kDepthsC3},
    {"C4", kTracksC4, kSpotsCentre, kDepthsC4},
};
static_assert(std::size(kScenes) == LayoutTable::SCENE_COUNT);

using enum LayoutTable::SceneIndex;
constexpr int M = -1;  // turned left to right
constexpr float kSprint = 0.5f;

// The campaign. The first thirteen levels introduce the scenes; from level 21 on, every stage
// has at least one level on two tracks (never two in a row); from level 45 on, the single-track
// levels are the long ones, as the trains grow to 200 cars. A1 and A12 always sprint at 0.5.
const LevelRow kRows[] = {
    // Stages 0-2 (levels 0-11) and level 12.
    {SCENE_A1, 1, kSprint}, {SCENE_A8, 1, 0}, {SCENE_A12, 1, kSprint}, {SCENE_A5, 1, 0},
    {SCENE_B3, 1, 0}, {SCENE_A13, 1, 0}, {SCENE_B4, 1, 0}, {SCENE_A2, 1, 0},
    {SCENE_B2, 1, 0}, {SCENE_B1, 1, 0}, {SCENE_A14, 1, 0}, {SCENE_A7, 1, 0},
    {SCENE_A12, M, kSprint},
    // Stage 3 (12-16).
    {SCENE_A1, M, kSprint}, {SCENE_B3, M, 0}, {SCENE_A8, M, 0}, {SCENE_A13, M, 0},
    // Stage 4 (17-21).
    {SCENE_B4, M, 0}, {SCENE_A5, M, 0}, {SCENE_B2, M, 0}, {SCENE_B1, M, 0}, {SCENE_C1, 1, 0},
    // Stage 5 (22-26).
    {SCENE_A2, M, 0}, {SCENE_A14, M, 0}, {SCENE_C2, 1, 0}, {SCENE_A7, M, 0}, {SCENE_B3, 1, 0},
    // Stage 6 (27-32).
    {SCENE_A13, 1, 0}, {SCENE_C3, 1, 0}, {SCENE_B1, 1, 0}, {SCENE_A12, 1, kSprint}, {SCENE_C4, 1, 0}, {SCENE_B2, M, 0},
    // Stage 7 (33-38).
    {SCENE_A1, 1, kSprint}, {SCENE_C1, M, 0}, {SCENE_A8, 1, 0}, {SCENE_B4, 1, 0}, {SCENE_C2, M, 0}, {SCENE_A5, M, 0},
    // Stage 8 (39-44).
    {SCENE_B3, M, 0}, {SCENE_A14, 1, 0}, {SCENE_C3, M, 0}, {SCENE_A13, M, 0}, {SCENE_B1, M, 0}, {SCENE_C4, M, 0},
    // Stage 9 (45-51).
    {SCENE_A2, 1, 0}, {SCENE_C1, 1, 0}, {SCENE_A12, M, kSprint}, {SCENE_A7, 1, 0}, {SCENE_C2, 1, 0}, {SCENE_A8, M, 0},
    {SCENE_A5, 1, 0},
    // Stage 10 (52-58).
    {SCENE_C3, 1, 0}, {SCENE_A14, M, 0}, {SCENE_A2, M, 0}, {SCENE_C4, 1, 0}, {SCENE_A12, 1, kSprint}, {SCENE_A7, M, 0},
    {SCENE_C1, M, 0},
    // Stage 11 (59-65).
    {SCENE_A8, 1, 0}, {SCENE_C2, M, 0}, {SCENE_A5, M, 0}, {SCENE_A14, 1, 0}, {SCENE_C3, M, 0}, {SCENE_A2, 1, 0},
    {SCENE_A7, 1, 0},
    // Stage 12 (66-73).
    {SCENE_A12, M, kSprint}, {SCENE_C4, M, 0}, {SCENE_A8, M, 0}, {SCENE_A5, 1, 0}, {SCENE_C1, 1, 0}, {SCENE_A14, M, 0},
    {SCENE_A7, M, 0}, {SCENE_C2, 1, 0},
    // Stage 13 (74-81).
    {SCENE_A2, M, 0}, {SCENE_C3, 1, 0}, {SCENE_A12, 1, kSprint}, {SCENE_A8, 1, 0}, {SCENE_C4, 1, 0}, {SCENE_A5, M, 0},
    {SCENE_A14, 1, 0}, {SCENE_A7, 1, 0},
    // Stage 14 (82).
    {SCENE_C4, 1, 0},
};
static_assert(std::size(kRows) == LayoutTable::ROW_COUNT);

const MapPoint kMapPoints[] = {
    {-103.9f, -10.3f, -71, -12},  {-23.6f, -27.4f, -1.5f, -34.5f}, {6.1f, -48, 19, -39.5f},   {34.3f, -60.7f, 50, -46.5f},
    {59.6f, -79.8f, 62.5f, -91.5f}, {70.6f, -66, 59.5f, -56.5f},  {45.9f, -42.6f, 28.5f, -39}, {-4.9f, -23, -15, -12},
    {-1.9f, 4.8f, -21.5f, 16.5f},  {-57.8f, 14.5f, -76, 15},      {-101.1f, 30.7f, -80, 55},  {-23.9f, 29.5f, -3, 25},
    {42.9f, 4.2f, 57, 11},         {109.5f, -6.7f, 99, 15},       {95.7f, 20.1f, 85, 22},     {66.4f, 18.7f, 60, 31},
    {45.3f, 45.7f, 35, 50},        {21.3f, 29.7f, 14, 48},        {-2.9f, 56.9f, -12, 54},    {-29.3f, 44.3f, -43, 59},
    {-60.7f, 70.2f, -77, 75},      {-106, 75, -106, 75},
};
static_assert(std::size(kMapPoints) == 22);

// The unit vector of (x, y), or none for a zero vector.
bool unitXY(const Vector3& v, Vector3& unit) {
    const float len = std::sqrt(v.x * v.x + v.y * v.y);
    if (!(len > 0.0f) || !std::isfinite(len)) return false;
    unit = Vector3(v.x / len, v.y / len, 0.0f);
    return true;
}

}  // namespace

std::span<const SceneLayout> LayoutTable::scenes() { return kScenes; }

const SceneLayout& LayoutTable::scene(int index) {
    return kScenes[index >= 0 && index < SCENE_COUNT ? index : 0];
}

int LayoutTable::rowIndex(int level) {
    if (level < 0) return 0;
    if (level <= LAST_LEVEL) return level;
    return FIRST_REPEATED_LEVEL + (level - FIRST_REPEATED_LEVEL) % (LAST_LEVEL - FIRST_REPEATED_LEVEL + 1);
}

const LevelRow& LayoutTable::row(int level) { return kRows[rowIndex(level)]; }

std::span<const MapPoint> LayoutTable::mapPoints() { return kMapPoints; }

void LayoutTable::convertTrack(std::span<const LayoutPoint> points, int mirrorX, int mirrorY, std::vector<Vector3>& controlPoints,
                               std::vector<Vector3>& tangents) {
    controlPoints.clear();
    tangents.clear();
    if (points.empty()) return;
    std::vector<Vector3> p, t;
    for (const LayoutPoint& d : points) {
        const float depth = -d.z;
        const float k = 3.125f * (1.015f + 0.25f * (400.0f / (depth + 400.0f) - 1.0f));
        const float mx = static_cast<float>(mirrorX), my = static_cast<float>(mirrorY);
        p.emplace_back(k * d.x * mx, k * d.y * my, depth);
        t.emplace_back((k * d.hx - k * d.x) * mx, (k * d.hy - k * d.y) * my, 0.0f);
    }
    // The lead-in and lead-out run straight along the end tangents; an end without a tangent
    // runs on from its neighbour (a lone point: along x).
    Vector3 in(1.0f, 0.0f, 0.0f), out(1.0f, 0.0f, 0.0f);
    if (!unitXY(t.front(), in) && p.size() > 1) unitXY(p[1] - p[0], in);
    if (!unitXY(t.back(), out) && p.size() > 1) unitXY(p[p.size() - 1] - p[p.size() - 2], out);
    controlPoints.push_back(p.front() - in * 250.0f);
    tangents.push_back(in);
    controlPoints.insert(controlPoints.end(), p.begin(), p.end());
    tangents.insert(tangents.end(), t.begin(), t.end());
    controlPoints.push_back(p.back() + out * 350.0f);
    tangents.push_back(out);
}

void LayoutTable::convertMapRoute(std::vector<Vector3>& controlPoints, std::vector<Vector3>& tangents) {
    controlPoints.clear();
    tangents.clear();
    for (const MapPoint& m : kMapPoints) {
        controlPoints.emplace_back(3.125f * m.x, 3.125f * m.y, 0.0f);
        tangents.emplace_back(3.125f * (m.hx - m.x), 3.125f * (m.hy - m.y), 0.0f);
    }
}

std::string LayoutTable::scenePicture(const SceneLayout& scene) { return std::string("xmas-edition/gfx/scene-") + scene.id + ".jpg"; }

std::string LayoutTable::decorationPicture(const SceneLayout& scene) {
    return std::string("xmas-edition/gfx/decoration-") + scene.id + ".tga";
}
