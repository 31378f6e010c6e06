#include "media/TgaRowReader.h"

#include "engine/FileManager.h"
#include "engine/Qel.h"
#include "engine/Stream.h"
#include "media/MemoryImageFile.h"

namespace {

constexpr int HEADER_SIZE = 18;

bool readExactly(Stream& stream, void* destination, int bytes) {
    auto* out = static_cast<uint8_t*>(destination);
    int done = 0;
    while (done < bytes) {
        const int n = stream.read(out + done, bytes - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

}  // namespace

TgaRowReader::TgaRowReader(WStringView fileName) {
    FileManager* files = qel ? qel->pFileManager : nullptr;
    if (!files) {
        reason = u"there is no FileManager";
        return;
    }
    int size = 0;
    std::unique_ptr<Stream> in(files->open(&size, fileName));
    uint8_t header[HEADER_SIZE];
    if (size < HEADER_SIZE || !readExactly(*in, header, HEADER_SIZE)) {
        reason = u"TGA header is short.";
        return;
    }
    if (header[2] != 2) {
        reason = u"TGA is compressed.";
        return;
    }
    if (header[16] != 32) {
        reason = u"TGA depth is not 32 bits";
        return;
    }
    if (header[17] & 0x20) {
        reason = u"TGA is flipped vertically.";
        return;
    }
    const int32_t w = int16_t(uint16_t(header[12] | header[13] << 8));
    const int32_t h = int16_t(uint16_t(header[14] | header[15] << 8));
    if (w < 0 || h < 0 || w > MemoryImageFile::MAX_SIDE || h > MemoryImageFile::MAX_SIDE ||
        int64_t(w) * h > MemoryImageFile::MAX_PIXELS) {
        reason = format(u"TGA size is out of range (%dx%d).", w, h);
        return;
    }
    if (int64_t(size - HEADER_SIZE) < int64_t(w) * h * 4) {
        reason = format(u"TGA pixel data is short (%dx%d, %d bytes).", w, h, size);
        return;
    }
    width = w;
    height = h;
    row.resize(size_t(w) * 4);
    next = h - 1;
    stream = std::move(in);
}

TgaRowReader::~TgaRowReader() = default;

bool TgaRowReader::readBytes() {
    if (!stream || next < 0) return false;
    if (!readExactly(*stream, row.data(), int(row.size()))) {
        reason = u"TGA pixel data is cut short.";
        stream.reset();
        next = -1;
        return false;
    }
    --next;
    return true;
}

bool TgaRowReader::readRow(UColor* out) {
    if (!readBytes()) return false;
    for (int32_t x = 0; x < width; ++x) {
        const uint8_t* p = row.data() + size_t(x) * 4;
        out[x] = UColor(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24);
    }
    return true;
}

bool TgaRowReader::skipRow() { return readBytes(); }
