#pragma once
// A rectangle in world space: left, top, right, bottom, with top above bottom (y grows upwards).

struct WorldRect {
    float left = 0, top = 0, right = 0, bottom = 0;
};
