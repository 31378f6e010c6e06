#pragma once
// A 32-bit device-independent bitmap: words 0x00RRGGBB (bytes B, G, R, unused), rows top-down or
// bottom-up as its header asked.

#include <cstdint>
#include <vector>

#include "platform/GdiObject.h"

namespace platform {

class GdiBitmap : public GdiObject {
public:
    GdiBitmap(int32_t width, int32_t height, bool topDown, bool stock = false)
        : GdiObject(KIND_BITMAP, stock), width(width), height(height), bTopDown(topDown),
          pixels(static_cast<size_t>(width) * static_cast<size_t>(height), 0u) {}

    // The word of pixel (x, y) counted from the top row, or null outside the bitmap.
    uint32_t* pixel(int32_t x, int32_t y) {
        if (x < 0 || y < 0 || x >= width || y >= height) return nullptr;
        const int32_t row = bTopDown ? y : height - 1 - y;
        return &pixels[static_cast<size_t>(row) * static_cast<size_t>(width) + static_cast<size_t>(x)];
    }

    const int32_t width;
    const int32_t height;
    const bool bTopDown;
    std::vector<uint32_t> pixels;
};

}  // namespace platform
