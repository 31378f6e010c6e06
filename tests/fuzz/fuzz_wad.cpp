// The WAD directory reader and entry extraction over arbitrary archive bytes.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/MemoryReadStream.h"
#include "engine/WadFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryReadStream stream(std::vector<uint8_t>(data, data + size));
    int32_t version = 0;
    std::vector<WadFile::Entry> entries;
    WString reason;
    if (!WadFile::readDirectory(stream, u"fuzz.wad", version, entries, reason)) return 0;
    for (const WadFile::Entry& entry : entries) {
        std::vector<uint8_t> bytes;
        if (WadFile::readEntry(stream, entry, bytes, reason) && bytes.size() != static_cast<size_t>(entry.unpackedSize)) __builtin_trap();
    }
    return 0;
}
