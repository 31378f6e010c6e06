#include "media/PreloadRecord.h"

#include "media/MemoryImageFile.h"

namespace {

int32_t readInt(const uint8_t* p) {
    return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
}

void writeInt(std::vector<uint8_t>& out, int32_t value) {
    const uint32_t v = uint32_t(value);
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(v >> (8 * i)));
}

}  // namespace

bool PreloadRecord::checkSkins(WString& reason) const {
    for (size_t i = 0; i < skins.size(); ++i) {
        const PreloadSkin& s = skins[i];
        if (s.left < 0 || s.top < 0 || s.width < 0 || s.height < 0 || s.left > width - s.width || s.top > height - s.height) {
            reason = format(u"skin %d (%d,%d %dx%d) lies outside the %dx%d image", int(i), s.left, s.top, s.width, s.height,
                            width, height);
            return false;
        }
    }
    return true;
}

bool PreloadRecord::read(const uint8_t* bytes, size_t size, WString& reason) {
    *this = PreloadRecord();
    if (!bytes || size < HEADER_SIZE) {
        reason = format(u"record of %d bytes is shorter than its header", int(size));
        return false;
    }
    width = readInt(bytes + 4);
    height = readInt(bytes + 8);
    bHasAlpha = bytes[12] != 0;
    const int32_t count = readInt(bytes + 16);
    if (width < 1 || height < 1 || width > MemoryImageFile::MAX_SIDE || height > MemoryImageFile::MAX_SIDE) {
        reason = format(u"image size %dx%d is out of range", width, height);
        *this = PreloadRecord();
        return false;
    }
    if (count < 0 || size_t(count) > (size - HEADER_SIZE) / SKIN_SIZE) {
        reason = format(u"skin count %d does not fit the %d bytes of the record", count, int(size));
        *this = PreloadRecord();
        return false;
    }
    skins.resize(size_t(count));
    for (int32_t i = 0; i < count; ++i) {
        const uint8_t* p = bytes + HEADER_SIZE + SKIN_SIZE * size_t(i);
        skins[size_t(i)] = PreloadSkin{readInt(p), readInt(p + 4), readInt(p + 8), readInt(p + 12), readInt(p + 16), readInt(p + 20)};
    }
    if (!checkSkins(reason)) {
        *this = PreloadRecord();
        return false;
    }
    return true;
}

std::vector<uint8_t> PreloadRecord::toBytes() const {
    std::vector<uint8_t> out;
    out.reserve(HEADER_SIZE + SKIN_SIZE * skins.size());
    writeInt(out, 1);
    writeInt(out, width);
    writeInt(out, height);
    out.push_back(bHasAlpha ? 1 : 0);
    out.push_back(0);
    out.push_back(0);
    out.push_back(0);
    writeInt(out, int32_t(skins.size()));
    for (const PreloadSkin& s : skins) {
        for (int32_t v : {s.left, s.top, s.width, s.height, s.originAdjustX, s.originAdjustY}) writeInt(out, v);
    }
    return out;
}
