#include "engine/WadFile.h"

#include <zlib.h>

#include <cstring>

#include "engine/FileStream.h"
#include "engine/Random.h"

namespace {

int32_t readLe32(const uint8_t* p) {
    return static_cast<int32_t>(static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8 | static_cast<uint32_t>(p[2]) << 16 |
                                static_cast<uint32_t>(p[3]) << 24);
}

bool readExactly(Stream& stream, void* destination, int bytes) {
    int done = 0;
    auto* out = static_cast<uint8_t*>(destination);
    while (done < bytes) {
        const int n = stream.read(out + done, bytes - done);
        if (n <= 0) return false;
        done += n;
    }
    return true;
}

// Deflate never shrinks data by more than about 1032:1; a larger claim is damage, and refusing it
// keeps a damaged directory from asking for a huge block.
constexpr int64_t MAX_INFLATE_RATIO = 1032;

}  // namespace

WadFile::WadFile(FileStream* s) : stream(s) {}

WadFile::~WadFile() { delete stream; }

bool WadFile::decodeName(const uint8_t* field, WString& name) {
    uint8_t plain[WADDISKENTRY_FILENAME_BYTESIZE];
    const bool scrambled = (field[0] & 0x80) != 0;
    for (int i = 0; i < WADDISKENTRY_FILENAME_BYTESIZE; ++i) plain[i] = scrambled ? field[i] ^ WAD_NAME_SCRAMBLE : field[i];
    const void* nul = std::memchr(plain, 0, sizeof(plain));
    if (!nul) return false;
    name = utf8ToWide(std::string_view(reinterpret_cast<const char*>(plain), static_cast<const uint8_t*>(nul) - plain));
    return true;
}

void WadFile::encodeName(WStringView name, uint8_t* field) {
    for (int i = 0; i < WADDISKENTRY_FILENAME_BYTESIZE; ++i) field[i] = static_cast<uint8_t>(randomNext() % 255);
    const std::string utf8 = wideToUtf8(name);
    const size_t n = utf8.size() < WADDISKENTRY_FILENAME_BYTESIZE ? utf8.size() : WADDISKENTRY_FILENAME_BYTESIZE - 1;
    std::memcpy(field, utf8.data(), n);
    field[n] = 0;
    for (int i = 0; i < WADDISKENTRY_FILENAME_BYTESIZE; ++i) field[i] ^= WAD_NAME_SCRAMBLE;
}

bool WadFile::readDirectory(Stream& stream, WStringView archiveName, int32_t& version, std::vector<Entry>& entries, WString& reason) {
    version = 0;
    entries.clear();
    const int64_t fileSize = stream.size;
    stream.seek(0);
    uint8_t header[8];
    if (!readExactly(stream, header, 8)) {
        reason = u"the header is cut short";
        return false;
    }
    version = readLe32(header);
    if (version != WAD_VERSION) {
        reason = format(u"version %d is not %d", version, WAD_VERSION);
        return false;
    }
    const int32_t count = readLe32(header + 4);
    const int64_t directoryEnd = 8 + int64_t(WADDISKENTRY_BYTESIZE) * count;
    if (count < 0 || directoryEnd > fileSize) {
        reason = format(u"the entry count %d does not fit the file of %lld bytes", count, fileSize);
        return false;
    }
    entries.reserve(static_cast<size_t>(count));
    for (int32_t i = 0; i < count; ++i) {
        uint8_t raw[WADDISKENTRY_BYTESIZE];
        if (!readExactly(stream, raw, WADDISKENTRY_BYTESIZE)) {
            reason = format(u"directory entry %d is cut short", i);
            return false;
        }
        Entry e;
        if (!decodeName(raw, e.name)) {
            reason = format(u"the name of entry %d has no end", i);
            return false;
        }
        e.archive = archiveName;
        e.offset = readLe32(raw + 80);
        e.unpackedSize = readLe32(raw + 84);
        e.storedSize = readLe32(raw + 88);
        const bool fits = e.offset >= directoryEnd && e.unpackedSize >= 0 && e.storedSize >= 0 &&
                          int64_t(e.offset) + e.storedSize <= fileSize &&
                          (!e.isCompressed() || int64_t(e.unpackedSize) <= int64_t(e.storedSize) * MAX_INFLATE_RATIO + 64);
        if (!fits) {
            reason = format(u"entry '%s' (offset %d, sizes %d/%d) does not fit the file of %lld bytes", e.name, e.offset, e.storedSize,
                            e.unpackedSize, fileSize);
            return false;
        }
        entries.push_back(std::move(e));
    }
    return true;
}

bool WadFile::inflate(const uint8_t* stored, int storedSize, int unpackedSize, std::vector<uint8_t>& out) {
    out.assign(static_cast<size_t>(unpackedSize), 0);
    uLongf length = static_cast<uLongf>(unpackedSize);
    // zlib wants a non-null destination even for an empty result.
    uint8_t dummy = 0;
    const int result = uncompress(unpackedSize ? out.data() : &dummy, &length, stored, static_cast<uLong>(storedSize));
    return result == Z_OK && length == static_cast<uLongf>(unpackedSize);
}

bool WadFile::readEntry(Stream& stream, const Entry& entry, std::vector<uint8_t>& out, WString& reason) {
    if (entry.offset < 0 || entry.storedSize < 0 || int64_t(entry.offset) + entry.storedSize > stream.size) {
        reason = u"the entry lies outside the archive";
        return false;
    }
    std::vector<uint8_t> stored(static_cast<size_t>(entry.storedSize));
    stream.seek(entry.offset);
    if (!readExactly(stream, stored.data(), entry.storedSize)) {
        reason = u"the entry's data is cut short";
        return false;
    }
    if (!entry.isCompressed()) {
        out = std::move(stored);
        return true;
    }
    if (!inflate(stored.data(), entry.storedSize, entry.unpackedSize, out)) {
        reason = u"the entry does not inflate to its size";
        return false;
    }
    return true;
}
