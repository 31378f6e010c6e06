#pragma once
// The compiled-in playing fields: every scene's tracks (design points with their handles, zones
// and hidden stretches), launcher spots and decoration depths; which scene, mirror and sprint
// fraction each level plays; and the world map's route. The game builds its levels from it and
// the data generator paints the scene pictures along the same tracks, so both convert the design
// points with the one function here.

#include <span>
#include <string>
#include <vector>

#include "engine/MathUtil.h"

// A design point (x, y, z) of a track with its absolute handle point (hx, hy); handles have z 0.
struct LayoutPoint {
    float x, y, z, hx, hy;
};

// A stretch of track positions where cars cannot be reached: start included, end excluded.
struct LayoutSpan {
    float start, end;
};

struct LayoutTrack {
    std::span<const LayoutPoint> points;
    float createLambda, tunnelLambda, helpLambda;
    std::span<const LayoutSpan> hidden;
};

// A launcher spot in scene units, y before the 0.8 squeeze (z 0).
struct LayoutSpot {
    float x, y;
};

struct SceneLayout {
    const char* id;  // "A1": names the scene's pictures
    std::span<const LayoutTrack> tracks;
    std::span<const LayoutSpot> launchers;
    // One decoration per entry, each the next skin of the decoration picture, at this depth
    // (larger is farther; a decoration hides the cars deeper than it).
    std::span<const float> decorationDepths;
};

// One level: its scene, the mirror (+1 as designed, -1 turned left to right) and the sprint
// fraction it plays with (0: the game's own for the level's progress).
struct LevelRow {
    int scene;
    int mirrorX;
    float sprintFraction;
};

// A point of the world map's route with its absolute handle (design units, z 0).
struct MapPoint {
    float x, y, hx, hy;
};

class LayoutTable {
public:
    enum SceneIndex : int {
        SCENE_A1, SCENE_A8, SCENE_A12, SCENE_A5, SCENE_B3, SCENE_A13, SCENE_B4, SCENE_A2, SCENE_B2, SCENE_B1, SCENE_A14, SCENE_A7,
        // Scenes with two tracks.
        SCENE_C1, SCENE_C2, SCENE_C3, SCENE_C4,
        SCENE_COUNT
    };
    // The campaign's last level; levels beyond it (only a damaged or edited profile gets there)
    // replay the last two stages' rows, from FIRST_REPEATED_LEVEL on.
    static constexpr int LAST_LEVEL = 82;
    static constexpr int FIRST_REPEATED_LEVEL = 66;
    static constexpr int ROW_COUNT = LAST_LEVEL + 1;

    static std::span<const SceneLayout> scenes();
    static const SceneLayout& scene(int index);
    // The row a level plays: its own up to LAST_LEVEL, then FIRST_REPEATED_LEVEL + (level -
    // FIRST_REPEATED_LEVEL) mod 17; a negative level plays row 0.
    static int rowIndex(int level);
    static const LevelRow& row(int level);
    static std::span<const MapPoint> mapPoints();

    // A track's design points as a path's control points and tangents: z' = -z spreads the point
    // by k = 3.125 x (1.015 + 0.25 x (400 / (z' + 400) - 1)) to (k x, k y, z') with the tangent
    // k x (handle - point) in x and y; x and y times the mirrors; then a lead-in point 250 units
    // before the first point and a lead-out point 350 units beyond the last, along the end
    // tangents (an end whose tangent is zero takes the direction to its neighbouring point).
    static void convertTrack(std::span<const LayoutPoint> points, int mirrorX, int mirrorY, std::vector<Vector3>& controlPoints,
                             std::vector<Vector3>& tangents);
    // The world map's route: control point 3.125 x point, tangent 3.125 x (handle - point), z 0.
    static void convertMapRoute(std::vector<Vector3>& controlPoints, std::vector<Vector3>& tangents);

    // The scene's pictures: "xmas-edition/gfx/scene-A1.jpg" and "xmas-edition/gfx/decoration-A1.tga".
    static std::string scenePicture(const SceneLayout& scene);
    static std::string decorationPicture(const SceneLayout& scene);
};
