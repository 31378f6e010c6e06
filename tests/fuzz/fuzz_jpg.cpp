// libFuzzer target: the JPG reader, header only and then whole, with pictures of several
// megapixels (the seeds include 1.3 to 4 megapixel pictures that take only a few kilobytes; game
// pictures are up to 2048 x 1024). A decoded picture is halved as a texture does on small cards.
// Whole decoding stops at 4 megapixels: the reader accepts up to 64, but in the sanitizer build a
// picture that large takes seconds, and a busy machine would let it run past the time allowed for
// one input.

#include <cstddef>
#include <cstdint>

#include "media/MemoryImageFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemoryImageFile header(0, 0);
    header.loadFlags = MemoryImageFile::FLAG_HEADER_ONLY;
    WString reason;
    const bool headerRead = header.readJPG(data, size, reason);
    if (headerRead && (header.width <= 0 || header.height <= 0 || header.pImageData)) __builtin_trap();
    if (headerRead && int64_t(header.width) * header.height > (int64_t(1) << 22)) return 0;
    MemoryImageFile image(0, 0);
    if (!image.readJPG(data, size, reason)) return 0;
    // What decodes whole has a header that reads, of the same size.
    if (!headerRead || image.width != header.width || image.height != header.height || !image.pImageData) __builtin_trap();
    image.halveSize();
    return 0;
}
