#pragma once
// A contact sheet of drawn frames: each frame scaled down into a grid cell with its name under it
// and, outlined in red, the boxes a check found fault with. Written as a PNG file.

#include <cstdint>
#include <string>
#include <vector>

#include "media/TextTrace.h"

class ContactSheet {
public:
    explicit ContactSheet(int columns = 4, int cellWidth = 480) : columns(columns), cellWidth(cellWidth) {}
    // Pixels ARGB, row 0 at the top; 'picture' is the part of them that is shown.
    void add(const std::string& name, const std::vector<uint32_t>& pixels, int width, int height, const PixelBox& picture,
             const std::vector<PixelBox>& marked);
    bool write(const std::string& pngPath) const;
    bool empty() const { return frames.empty(); }

private:
    struct Frame {
        std::string name;
        int width, height;
        std::vector<uint32_t> pixels;  // the picture only
        std::vector<PixelBox> marked;  // relative to the picture
    };
    int columns;
    int cellWidth;
    std::vector<Frame> frames;
};
