#pragma once
// The game's pictures, drawn by code.

#include <vector>

#include "datagen/Canvas.h"

namespace datagen {

// Pictures needed before and while loading, and the logos.
std::vector<TextureImage> bootArt();
// Menu frames, the head-up display and the help pages.
std::vector<TextureImage> guiArt();
// Cars, cargo, power-ups, the launcher, effects, the mascot and awards.
std::vector<TextureImage> gameArt();
// The intro pictures, the world map and the twelve level scenes with their decorations.
std::vector<TextureImage> sceneArt();
// For review: each level as the game shows it, scene and decorations with the track drawn in.
std::vector<TextureImage> levelPreviews(const std::vector<TextureImage>& sceneArt);

// A contact sheet of textures: every skin with its name, on a checkerboard, as a PNG file.
bool writeContactSheet(const std::vector<TextureImage>& textures, const std::string& pngPath);
// A sheet of whole textures with their skins outlined (for glyph pages).
bool writePageSheet(const std::vector<TextureImage>& textures, const std::string& pngPath, double scale = 1.0);

}  // namespace datagen
