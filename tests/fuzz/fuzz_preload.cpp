// libFuzzer target: the ".preload" skin record reader.

#include <cstddef>
#include <cstdint>

#include "media/PreloadRecord.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    PreloadRecord record;
    WString reason;
    if (record.read(data, size, reason)) {
        // An accepted record writes back to the same bytes it was read from (up to its length).
        std::vector<uint8_t> bytes = record.toBytes();
        if (bytes.size() > size) __builtin_trap();
    }
    return 0;
}
