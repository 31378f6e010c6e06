#pragma once
// A font of the text-rasterising stand-in: one FreeType face sized so that its cell (ascent plus
// descent, from the face's Windows metrics) is exactly the height asked, with grey antialiased
// glyphs on whole-pixel advances.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/GdiObject.h"

struct FT_FaceRec_;

namespace platform {

class GdiFont : public GdiObject {
public:
    struct Glyph {
        int32_t left = 0;     // from the pen to the first bitmap column
        int32_t top = 0;      // from the baseline up to the first bitmap row
        int32_t width = 0;
        int32_t height = 0;
        int32_t advance = 0;  // whole pixels
        std::vector<uint8_t> coverage;  // width x height grey levels, 0-255
    };

    // Opens the font file; check bValid. A positive height is the cell height, a negative one
    // the em height, 0 a default size.
    GdiFont(const std::string& filePath, int32_t height);
    ~GdiFont() override;

    const Glyph& glyph(char32_t codePoint);

    bool bValid = false;
    std::string filePath;
    int32_t cellHeight = 0;
    int32_t ascent = 0;
    int32_t descent = 0;

private:
    FT_FaceRec_* face = nullptr;
    std::unordered_map<char32_t, Glyph> glyphs;
};

}  // namespace platform
