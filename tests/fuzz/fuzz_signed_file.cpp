// The signed-file reader. An odd first byte makes the rest a body sealed with a valid seal, so
// that the payload checks behind the seal are reached too.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "engine/MD5Context.h"
#include "engine/SignedDataFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    std::vector<uint8_t> image;
    if (data[0] & 1) {
        image.assign(SignedDataFile::HEADER_BYTES, 0);
        image.insert(image.end(), data + 1, data + size);
        md5WithKey(image.data() + SignedDataFile::SEAL_OFFSET, 1234, image.data() + SignedDataFile::HEADER_BYTES,
                   static_cast<int>(image.size()) - SignedDataFile::HEADER_BYTES);
    } else {
        image.assign(data + 1, data + size);
    }
    SignedDataFile file;
    if (file.unpack(image.data(), static_cast<int>(image.size()), 1234, 1 << 20) && file.size != static_cast<int>(file.data.size()))
        __builtin_trap();
    return 0;
}
