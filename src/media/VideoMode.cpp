#include "media/VideoMode.h"

#include <cmath>

VideoMode::VideoMode(int width, int height) : width(width), height(height), aspectX(width), aspectY(height) {
    if (height <= 0) return;
    float r = float(width) / float(height);
    struct Ratio {
        float k;
        int x, y;
    };
    static const Ratio ratios[] = {{1.25f, 5, 4}, {1.33f, 4, 3}, {1.5f, 3, 2}, {1.6f, 16, 10}, {1.66f, 5, 3}, {1.77f, 16, 9}};
    for (const Ratio& ratio : ratios) {
        if (std::fabs(r - ratio.k) < 0.01f) {
            aspectX = ratio.x;
            aspectY = ratio.y;
            return;
        }
    }
    int n = width / height;
    if (std::fabs(r - float(n)) < 0.01f) {
        aspectX = n;
        aspectY = 1;
    }
}

WString VideoMode::getModeText() const {
    if (aspectX == width) return format(u"%dx%d", width, height);
    return format(u"%dx%d (%d:%d)", width, height, aspectX, aspectY);
}
