#pragma once
// The game's pictures, drawn by code.

#include <memory>
#include <vector>

#include "datagen/Canvas.h"
#include "datagen/LevelGeometry.h"
#include "game/TrackPath.h"

namespace datagen {

// Pictures needed before and while loading, and the logos.
std::vector<TextureImage> bootArt();
// Menu frames, the head-up display and the help pages.
std::vector<TextureImage> guiArt();
// Cars, cargo, power-ups, the launcher, effects, the mascot and awards.
std::vector<TextureImage> gameArt();
// The game's paths of every scene's tracks (in the layout table's order), as designed and mirrored,
// with their cars' chord tables, and the world map's route. They are engine objects, which join
// the engine's object list, and that list is not thread-safe: build them before the worker threads
// start; the painters only read them.
struct ScenePaths {
    ScenePaths();
    ~ScenePaths();
    ScenePaths(ScenePaths&&) noexcept;
    // [scene][track]
    std::vector<std::vector<TrackPaths>> tracks, mirroredTracks;
    std::unique_ptr<TrackPath> mapRoute;
};
ScenePaths buildScenePaths();

// The intro pictures and the world map.
std::vector<TextureImage> sceneArt(const ScenePaths& paths);
// One level scene (by its index in the layout table): the scene picture with its tracks' rails,
// and the decoration picture with one skin per decoration depth of the table (tunnel hills,
// bridges, scenery). Throws std::runtime_error when the table's depths cannot cover its tracks.
std::vector<TextureImage> levelArt(const ScenePaths& paths, int scene);
// For review: every level variant (scene and mirror) as the game shows it, from the finished
// scene, decoration and car pictures, with the computed paths and their zones drawn in.
std::vector<TextureImage> levelPreviews(const std::vector<TextureImage>& art, const ScenePaths& paths);

// A contact sheet of textures: every skin with its name, on a checkerboard, as a PNG file.
bool writeContactSheet(const std::vector<TextureImage>& textures, const std::string& pngPath);
// A sheet of whole textures with their skins outlined (for glyph pages and level previews), each
// labelled with its file name and, unless turned off, its skin count.
bool writePageSheet(const std::vector<TextureImage>& textures, const std::string& pngPath, double scale = 1.0, bool skinCounts = true);

}  // namespace datagen
