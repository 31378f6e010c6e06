// libFuzzer target: the JPG reader. The header is read first; images that claim more than a
// million pixels are not decoded, so that each input stays quick.

#include <cstddef>
#include <cstdint>

#include "media/MemoryImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryImageFile header(0, 0);
    header.loadFlags = MemoryImageFile::FLAG_HEADER_ONLY;
    WString reason;
    if (!header.readJPG(data, size, reason)) return 0;
    if (int64_t(header.width) * header.height > (1 << 20)) return 0;
    MemoryImageFile image(0, 0);
    if (image.readJPG(data, size, reason) && image.pImageData) image.halveSize();
    return 0;
}
