#pragma once
// The engine's integer pixel rectangle: left, top, bottom, right in this member order. It covers
// columns left to right - 1 and rows top to bottom - 1.

#include <cstdint>

struct PixelRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t bottom = 0;
    int32_t right = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }
};
static_assert(sizeof(PixelRect) == 16);
