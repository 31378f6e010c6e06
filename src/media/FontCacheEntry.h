#pragma once
// One line of a font-cache texture: its rectangle, the text it holds (on a text's first line),
// the quad that shows the used part of it, and the line holding the next piece of a wide text.

#include <cstdint>

#include "engine/QelBase.h"
#include "engine/Text.h"
#include "media/PixelRect.h"

class FontQuad;
class MemoryImageFile;
class Quad;
class Renderable;
class Texture;

class FontCacheEntry : public QelBase {
    QEL_DECLARE_CLASS()
public:
    static constexpr int32_t FREE_FRAME = -999;

    FontCacheEntry(Texture* texture, int pixelScale, int left, int top, int bottom, int right);
    ~FontCacheEntry() override;

    // Copies a rectangle of a rasterised bitmap (32-bit pixels, white text on black, rows from
    // the top) into the alpha of the line. A fill makes the whole line (cleared, then written) in
    // memory and uploads it: the cache's textures keep no image.
    void fillCacheFromGDI(const uint32_t* pixels, int sourceWidth, int sourceHeight, int left, int top, int bottom, int right);
    // Copies as many glyphs of the text as fit; returns the rest. A glyph page not in memory is
    // not decoded: only the rows of the glyphs taken are read from its file.
    WString fillCacheFromFontQuad(FontQuad* font, WStringView text);
    // Frees the line and every line chained after it.
    void releaseLine();
    void draw(Renderable* owner);

    bool bPrimaryLine = true;
    FontCacheEntry* pNext = nullptr;
    int32_t lastUsedFrame = FREE_FRAME;
    WString text;
    Quad* pQuad = nullptr;
    PixelRect cacheBounds;
    int32_t pixelScale = 1;
    // Cleared texels are white with alpha 0 (else black).
    bool bClearToWhite = false;

private:
    // Shows the used part of the line and uploads the line's pixels.
    void showPart(int right, int bottom, const MemoryImageFile& line);
    Texture* texture = nullptr;
};
