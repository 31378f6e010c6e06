#pragma once
// The bitmap fonts: glyph pages rasterised from free fonts, one skin per code-page position.

#include <vector>

#include "datagen/Canvas.h"

namespace datagen {

// Every glyph page of the five fonts for code page 1252, named
// "gfx/font/1252/<folder>-<n>.tga". Empty when a face file is missing.
std::vector<TextureImage> glyphPages();

// The Unicode character of a code page 1252 position.
char16_t cp1252ToUnicode(int position);

}  // namespace datagen
