// libFuzzer target: the TGA reader, with and without the header-only flag, and the pixel
// operations on what it accepts.

#include <cstddef>
#include <cstdint>

#include "media/MemoryImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    for (uint32_t flags : {0u, uint32_t(MemoryImageFile::FLAG_HEADER_ONLY)}) {
        MemoryImageFile image(0, 0);
        image.loadFlags = flags;
        WString reason;
        if (image.readTGA(data, size, reason) && image.pImageData) {
            image.ditherDiffusion12bpp();
            image.halveSize();
        }
    }
    return 0;
}
