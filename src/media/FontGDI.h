#pragma once
// One GDI font with its memory device context: measures text, rasterises a line of text into a
// 32-bit bitmap and draws text through its font cache with alignment flags.

#include <cstdint>
#include <utility>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "engine/Text.h"
#include "platform/Gdi.h"

class FontCache;
class FontCacheEntry;
class Renderable;

class FontGDI : public QelBase {
    QEL_DECLARE_CLASS()
public:
    FontGDI(int pixelHeight, Vector3 scale, WStringView fontName);
    ~FontGDI() override;

    // Width and height in layout pixels with a one-pixel margin each side; the overhangs (when
    // asked) receive the parts of the first and last characters that reach outside the extent.
    std::pair<int, int> measureText(WStringView text, int* leftOverhang, int* rightOverhang);
    std::pair<float, float> getTextSize(WStringView text);
    // The first cached line of the text, rasterised when not cached; null for a text of no width.
    FontCacheEntry* getCacheEntry(WStringView text);
    void drawAligned(Renderable* owner, int flags, WStringView text);
    void drawText(float x, float y, float z, uint32_t color, int flags, WStringView text);

    int32_t pixelHeight = 0;
    FontCache* pFontCache = nullptr;
    int32_t rawHeight = 0;
    int32_t fontBaselineRaw = 0;
    int32_t fontUppercaseLineRaw = 0;
    int32_t fontLowercaseLineRaw = 0;
    Vector3 scale;
    platform::HDC hDC = nullptr;
    platform::HFONT hFont = nullptr;
};
