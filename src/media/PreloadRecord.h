#pragma once
// The compact skin description of an image stored beside it in an archive (the image's name with
// ".preload" added): little-endian 32-bit fields, the value 1, image width and height, one byte
// of alpha and three of padding, the skin count, then 24 bytes per skin (left, top, width, height,
// origin_adjust_x, origin_adjust_y).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/Text.h"

struct PreloadSkin {
    int32_t left = 0;
    int32_t top = 0;
    int32_t width = 0;
    int32_t height = 0;
    int32_t originAdjustX = 0;
    int32_t originAdjustY = 0;
};

class PreloadRecord {
public:
    static constexpr size_t HEADER_SIZE = 20;
    static constexpr size_t SKIN_SIZE = 24;

    // Refuses (false, with the reason) a record shorter than its header or its skin count, an
    // image size outside 1 to MemoryImageFile::MAX_SIDE, and a skin of negative size or reaching
    // outside the image. The record is left empty on refusal.
    bool read(const uint8_t* bytes, size_t size, WString& reason);
    std::vector<uint8_t> toBytes() const;
    // The same check for skins that came from a text description.
    bool checkSkins(WString& reason) const;

    int32_t width = 0;
    int32_t height = 0;
    bool bHasAlpha = false;
    std::vector<PreloadSkin> skins;
};
