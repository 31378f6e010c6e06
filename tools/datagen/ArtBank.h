#pragma once
// The game's pictures, drawn by code.

#include <vector>

#include "datagen/Canvas.h"

namespace datagen {

// Pictures needed before and while loading, and the logos.
std::vector<TextureImage> bootArt();

// A contact sheet of textures: every skin with its name, on a checkerboard, as a PNG file.
bool writeContactSheet(const std::vector<TextureImage>& textures, const std::string& pngPath);

}  // namespace datagen
