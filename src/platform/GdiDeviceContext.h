#pragma once
// A memory device context of the text-rasterising stand-in: the selected font and bitmap and the
// text drawing state.

#include <cstdint>

namespace platform {

class GdiFont;
class GdiBitmap;

class GdiDeviceContext {
public:
    GdiFont* font = nullptr;
    GdiBitmap* bitmap = nullptr;
    int mapMode = 1;            // MM_TEXT
    int backgroundMode = 2;     // OPAQUE
    uint32_t backgroundColour = 0x00FFFFFF;  // COLORREF 0x00BBGGRR
    uint32_t textColour = 0x00000000;
    uint32_t textAlign = 0;     // TA_LEFT | TA_TOP
};

}  // namespace platform
