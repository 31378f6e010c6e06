// libFuzzer target: the BMP reader and the pixel operations on what it accepts.

#include <cstddef>
#include <cstdint>

#include "media/MemoryImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryImageFile image(0, 0);
    WString reason;
    if (image.readBMP(data, size, reason) && image.pImageData) {
        image.ditherDiffusion15bpp();
        image.halveSize();
    }
    return 0;
}
