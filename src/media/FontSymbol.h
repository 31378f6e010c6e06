#pragma once
// The glyph record of one UTF-16 code unit in a bitmap font.

#include <cstdint>

class Quad;

struct FontSymbol {
    Quad* pBaseQuad = nullptr;    // the glyph (owned by its texture); null: no glyph
    Quad* pAccentQuad = nullptr;  // an accent drawn over it; null: none
    int32_t spacing = 0;          // extra advance after the glyph
    int32_t accentX = 0;          // where the accent is drawn from the character's origin
    int32_t accentY = 0;
};
