#pragma once
// The game's pictures, drawn by code.

#include <memory>
#include <vector>

#include "datagen/Canvas.h"
#include "game/TrackPath.h"

namespace datagen {

// Pictures needed before and while loading, and the logos.
std::vector<TextureImage> bootArt();
// Menu frames, the head-up display and the help pages.
std::vector<TextureImage> guiArt();
// Cars, cargo, power-ups, the launcher, effects, the mascot and awards.
std::vector<TextureImage> gameArt();
// The game's paths of every scene's tracks (in the layout table's order, as designed: not
// mirrored) and of the world map's route. They are engine objects, which join the engine's object
// list, and that list is not thread-safe: build them before the worker threads start; the
// painters only read them.
struct ScenePaths {
    ScenePaths();
    ~ScenePaths();
    ScenePaths(ScenePaths&&) noexcept;
    std::vector<std::vector<std::unique_ptr<TrackPath>>> tracks;
    std::unique_ptr<TrackPath> mapRoute;
};
ScenePaths buildScenePaths();

// The intro pictures, the world map and the level scenes with their decorations.
std::vector<TextureImage> sceneArt(const ScenePaths& paths);
// For review: each level as the game shows it, scene and decorations with the tracks drawn in.
std::vector<TextureImage> levelPreviews(const std::vector<TextureImage>& sceneArt, const ScenePaths& paths);

// A contact sheet of textures: every skin with its name, on a checkerboard, as a PNG file.
bool writeContactSheet(const std::vector<TextureImage>& textures, const std::string& pngPath);
// A sheet of whole textures with their skins outlined (for glyph pages).
bool writePageSheet(const std::vector<TextureImage>& textures, const std::string& pngPath, double scale = 1.0);

}  // namespace datagen
