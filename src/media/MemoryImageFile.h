#pragma once
// The engine's 32-bit image in memory: width x height ARGB words (bytes B, G, R, A), rows from the
// top, no row padding. Made from a TGA, BMP or JPG file (picked by the name) or blank at a size;
// written as TGA, BMP or JPG. File images drop their pixels on a purge or a device loss and decode
// them again on the next unpurge; blank images keep theirs for life.
//
// The readers check every size, offset and length against the bytes they are given: a damaged or
// unsupported file is refused with a reason and leaves the image without pixels.

#include <cstddef>
#include <cstdint>

#include "engine/DataBlock.h"
#include "engine/Text.h"
#include "media/PixelPoint.h"
#include "media/PixelRect.h"
#include "media/UColor.h"

// Bytes of all pixel buffers that exist (4 x width x height per image holding pixels).
extern int32_t residentImageBytes;

class MemoryImageFile : public DataBlock {
public:
    enum : uint32_t {
        FLAG_DELAYED = 1,      // load on first need (as a DataBlock)
        FLAG_HEADER_ONLY = 2,  // TGA and JPG readers set the size and alpha flag only
    };
    // Largest side and largest pixel count the readers accept (keeps 4 x pixels in 32 bits).
    static constexpr int32_t MAX_SIDE = 16384;
    static constexpr int64_t MAX_PIXELS = int64_t(1) << 26;

    // A file image, read through the FileManager: with FLAG_DELAYED while delayed loading is on
    // the file is only verified, otherwise it is decoded at once.
    MemoryImageFile(uint32_t flags, WStringView fileName);
    // A blank image with alpha; its pixels are not initialised.
    MemoryImageFile(int32_t width, int32_t height);
    ~MemoryImageFile() override;
    MemoryImageFile(const MemoryImageFile&) = delete;
    MemoryImageFile& operator=(const MemoryImageFile&) = delete;

    // Decodes the file when there are no pixels and the image has a name.
    void unpurge();
    // Frees the pixels of a file image (blank images are never purged).
    void purge() override;
    // The device is lost (paused to frozen): purge.
    void onQELmodeChange(int oldMode, int newMode) override;

    // Decode the file bytes held by the DataBlock part; a refusal is fatal with its reason.
    void loadTGA();
    void loadBMP();
    void loadJPG();
    // Decode bytes in memory into this image (which must hold no pixels). On refusal they return
    // false with the reason and leave the size 0 and no pixels. Nothing is fatal here.
    bool readTGA(const uint8_t* bytes, size_t size, WString& reason);
    bool readBMP(const uint8_t* bytes, size_t size, WString& reason);
    bool readJPG(const uint8_t* bytes, size_t size, WString& reason);

    // Writers: the whole picture is made in memory and written through a temporary file renamed
    // into place, so that a failed write leaves no empty or partial picture behind. False when it
    // could not be written, with the reason in 'reason' when given (nothing else is reported).
    bool saveTGA(WStringView path, WString* reason = nullptr) const;
    bool saveBMP(WStringView path, WString* reason = nullptr) const;
    bool saveJPG(int quality, WStringView path, WString* reason = nullptr) const;

    // Halves both sides (rounded down), each new pixel the channel-wise mean (rounded down) of
    // its 2 x 2 block.
    void halveSize();
    // Fills the rectangle (null: the whole image), clipped to the image, with 0x00FFFFFF when
    // white is asked for, else 0x00000000.
    void clear(const PixelRect* rect, bool white);
    // Copies the source rectangle (null: all of the source) to the point (null: 0, 0) unblended.
    void blit(const MemoryImageFile* sourceData, const PixelRect* sourceRect, const PixelPoint* destPoint);
    // Error-diffusion dithers to 4 or 5 bits per colour channel; alpha is left alone.
    void ditherDiffusion12bpp();
    void ditherDiffusion15bpp();

    bool bHasAlpha = false;
    int32_t width = 0;
    int32_t height = 0;
    UColor* pImageData = nullptr;
    WString fileName;
    uint32_t loadFlags = 0;
    // The pixels belong to someone else (never set by the image itself).
    bool bForeignData = false;

private:
    // Makes a counted buffer of w x h words (the size is checked by the callers).
    void allocatePixels(int32_t w, int32_t h);
    // Uncounts the buffer and frees it unless it is foreign.
    void freePixels();
    void ditherDiffusion(uint8_t mask);
    void refuse(const char16_t* function, const WString& reason);

    int32_t countedBytes = 0;
};
