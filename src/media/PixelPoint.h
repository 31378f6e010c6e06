#pragma once
// An integer pixel position.

#include <cstdint>

struct PixelPoint {
    int32_t x = 0;
    int32_t y = 0;
};
static_assert(sizeof(PixelPoint) == 8);
