#include "media/MemoryImageFile.h"

#include <bit>
#include <csetjmp>
#include <cstdlib>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

// jpeglib.h needs size_t and FILE declared before it.
#include <jpeglib.h>

#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"

int32_t residentImageBytes = 0;

namespace {

uint16_t readU16(const uint8_t* p) { return static_cast<uint16_t>(p[0] | (p[1] << 8)); }
int16_t readS16(const uint8_t* p) { return static_cast<int16_t>(readU16(p)); }
uint32_t readU32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) | (static_cast<uint32_t>(p[2]) << 16) |
           (static_cast<uint32_t>(p[3]) << 24);
}
int32_t readS32(const uint8_t* p) { return static_cast<int32_t>(readU32(p)); }

void putU16(uint8_t* p, uint32_t v) {
    p[0] = static_cast<uint8_t>(v);
    p[1] = static_cast<uint8_t>(v >> 8);
}
void putU32(uint8_t* p, uint32_t v) {
    putU16(p, v);
    putU16(p + 2, v >> 16);
}

// A writer's refusal: the reason for the caller, and false.
bool notWritten(WString* reason, const char16_t* why) {
    if (reason) *reason = why;
    return false;
}

// Pixels to work on: present, or an image without area.
bool hasPixels(const MemoryImageFile& image) {
    return image.pImageData != nullptr || int64_t(image.width) * image.height <= 0;
}

bool sizeAccepted(int64_t w, int64_t h) {
    return w > 0 && h > 0 && w <= MemoryImageFile::MAX_SIDE && h <= MemoryImageFile::MAX_SIDE &&
           w * h <= MemoryImageFile::MAX_PIXELS;
}

constexpr size_t TGA_HEADER_SIZE = 18;
constexpr size_t BMP_HEADER_SIZE = 54;

// libjpeg error manager that returns to the caller with libjpeg's message instead of exiting.
struct JpegErrorManager {
    jpeg_error_mgr mgr;
    jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void my_error_exit(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// Warnings (corrupt data that libjpeg can live with) go to the log, never to stderr.
void jpegOutputMessage(j_common_ptr cinfo) {
    char text[JMSG_LENGTH_MAX];
    (*cinfo->err->format_message)(cinfo, text);
    qelLog(u"MemoryImageFile::loadJPG", u"%hs", text);
}

// The whole file lies in memory: asking for more input means the data ended early.
void outOfData(j_decompress_ptr cinfo) {
    auto* err = reinterpret_cast<JpegErrorManager*>(cinfo->err);
    std::snprintf(err->message, sizeof(err->message), "%s", "JPG data ends early.");
    std::longjmp(err->jump, 1);
}

void init_source(j_decompress_ptr) {}
void term_source(j_decompress_ptr) {}
boolean kb_fill_input_buffer(j_decompress_ptr cinfo) {
    outOfData(cinfo);
    return FALSE;
}
void skip_input_data(j_decompress_ptr cinfo, long count) {
    if (count <= 0) return;
    jpeg_source_mgr* src = cinfo->src;
    if (static_cast<unsigned long>(count) > src->bytes_in_buffer) outOfData(cinfo);
    src->next_input_byte += count;
    src->bytes_in_buffer -= static_cast<size_t>(count);
}

}  // namespace

MemoryImageFile::MemoryImageFile(uint32_t flags, WStringView name)
    : DataBlock(static_cast<int>(flags), name), fileName(name), loadFlags(flags) {
    const bool delayed = (flags & FLAG_DELAYED) && qel && qel->pFileManager && qel->pFileManager->bEnableDelayedLoad;
    if (!delayed) unpurge();
}

MemoryImageFile::MemoryImageFile(int32_t w, int32_t h) : DataBlock(0, u""), bHasAlpha(true) {
    QEL_ASSERT(u"MemoryImageFile::MemoryImageFile", w >= 0 && h >= 0 && int64_t(w) * h <= MAX_PIXELS);
    allocatePixels(w, h);
}

MemoryImageFile::~MemoryImageFile() {
    purge();
    if (fileName.empty() && pImageData) {
        QEL_ASSERT(u"MemoryImageFile::~MemoryImageFile", !bForeignData);
    }
    freePixels();
}

void MemoryImageFile::allocatePixels(int32_t w, int32_t h) {
    width = w;
    height = h;
    const int64_t pixels = int64_t(w) * h;
    pImageData = pixels > 0 ? new UColor[static_cast<size_t>(pixels)] : nullptr;
    countedBytes = static_cast<int32_t>(pixels * 4);
    residentImageBytes += countedBytes;
}

void MemoryImageFile::freePixels() {
    residentImageBytes -= countedBytes;
    countedBytes = 0;
    if (!bForeignData) delete[] pImageData;
    pImageData = nullptr;
}

void MemoryImageFile::unpurge() {
    if (pImageData || fileName.empty()) return;
    const bool tga = fileName.find(u".tga") != WString::npos;
    const bool bmp = !tga && fileName.find(u".bmp") != WString::npos;
    const bool jpg = !tga && !bmp && fileName.find(u".jpg") != WString::npos;
    if (!tga && !bmp && !jpg) QEL_FATAL(u"MemoryImageFile::unpurge", u"Unknown image format (%s).", fileName);
    load();
    if (tga) loadTGA();
    else if (bmp) loadBMP();
    else loadJPG();
    unload();
}

void MemoryImageFile::purge() {
    if (pImageData && !fileName.empty()) freePixels();
}

void MemoryImageFile::onQELmodeChange(int oldMode, int newMode) {
    if (oldMode == 2 && newMode == 1) purge();
}

void MemoryImageFile::refuse(const char16_t* function, const WString& reason) {
    qelLog(function, u"Refused '%s': %s", fileName, reason);
    ErrorManager::fatal(function, __FILE__, __LINE__, reason);
}

void MemoryImageFile::loadTGA() {
    WString reason;
    if (!readTGA(getData(), static_cast<size_t>(getSize()), reason)) refuse(u"MemoryImageFile::loadTGA", reason);
}

void MemoryImageFile::loadBMP() {
    WString reason;
    if (!readBMP(getData(), static_cast<size_t>(getSize()), reason)) refuse(u"MemoryImageFile::loadBMP", reason);
}

void MemoryImageFile::loadJPG() {
    WString reason;
    if (!readJPG(getData(), static_cast<size_t>(getSize()), reason)) refuse(u"MemoryImageFile::loadJPG", reason);
}

// ---- TGA -------------------------------------------------------------------------------------

bool MemoryImageFile::readTGA(const uint8_t* bytes, size_t size, WString& reason) {
    QEL_ASSERT(u"MemoryImageFile::loadTGA", !bForeignData && pImageData == nullptr);
    width = height = 0;
    if (!bytes || size < TGA_HEADER_SIZE) {
        reason = u"TGA header is short.";
        return false;
    }
    if (bytes[2] != 2) {
        reason = u"TGA is compressed.";
        return false;
    }
    if (bytes[16] != 32) {
        reason = u"TGA depth is not 32 bits";
        return false;
    }
    if (bytes[17] & 0x20) {
        reason = u"TGA is flipped vertically.";
        return false;
    }
    const int32_t w = readS16(bytes + 12);
    const int32_t h = readS16(bytes + 14);
    if (!sizeAccepted(w, h)) {
        reason = format(u"TGA size is out of range (%dx%d).", w, h);
        return false;
    }
    // The pixels always start right after the fixed header.
    const size_t rowBytes = size_t(w) * 4;
    if ((size - TGA_HEADER_SIZE) / rowBytes < size_t(h)) {
        reason = format(u"TGA pixel data is short (%dx%d, %d bytes).", w, h, static_cast<int32_t>(size > 0x7FFFFFFF ? 0x7FFFFFFF : size));
        return false;
    }
    bHasAlpha = true;
    if (loadFlags & FLAG_HEADER_ONLY) {
        width = w;
        height = h;
        return true;
    }
    allocatePixels(w, h);
    for (int32_t r = 0; r < h; ++r) {
        const uint8_t* row = bytes + TGA_HEADER_SIZE + size_t(r) * rowBytes;
        UColor* out = pImageData + size_t(h - 1 - r) * size_t(w);
        for (int32_t x = 0; x < w; ++x) out[x] = readU32(row + size_t(x) * 4);
    }
    return true;
}

bool MemoryImageFile::saveTGA(WStringView path, WString* reason) const {
    if (!hasPixels(*this) || width > 0xFFFF || height > 0xFFFF) return notWritten(reason, u"the image has no pixels or is too large");
    std::vector<uint8_t> image(TGA_HEADER_SIZE + size_t(width) * size_t(height) * 4);
    uint8_t* header = image.data();
    header[2] = 2;
    putU16(header + 12, static_cast<uint32_t>(width));
    putU16(header + 14, static_cast<uint32_t>(height));
    header[16] = 32;
    header[17] = 0x08;
    uint8_t* out = image.data() + TGA_HEADER_SIZE;
    for (int32_t y = height - 1; y >= 0; --y) {
        const UColor* in = pImageData + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x, out += 4) putU32(out, in[x]);
    }
    return writeFileAtomically(path, image.data(), image.size(), reason);
}

// ---- BMP -------------------------------------------------------------------------------------

bool MemoryImageFile::readBMP(const uint8_t* bytes, size_t size, WString& reason) {
    QEL_ASSERT(u"MemoryImageFile::loadBMP", !bForeignData && pImageData == nullptr);
    width = height = 0;
    if (!bytes || size < BMP_HEADER_SIZE) {
        reason = u"BMP header is short.";
        return false;
    }
    if (bytes[0] != 'B' || bytes[1] != 'M') {
        reason = u"BMP signature is missing.";
        return false;
    }
    if (readU16(bytes + 28) != 24) {
        reason = u"Only 24-bit BMPs are supported.";
        return false;
    }
    if (readU32(bytes + 14) < 40) {
        reason = u"BMP information header is not supported.";
        return false;
    }
    if (readU32(bytes + 30) != 0) {
        reason = u"BMP is compressed.";
        return false;
    }
    const int32_t w = readS32(bytes + 18);
    const int32_t h = readS32(bytes + 22);
    if (h < 0) {
        reason = u"BMP rows run top-down.";
        return false;
    }
    if (!sizeAccepted(w, h)) {
        reason = format(u"BMP size is out of range (%dx%d).", w, h);
        return false;
    }
    const uint32_t offset = readU32(bytes + 10);
    const size_t rowBytes = (size_t(w) * 3 + 3) & ~size_t(3);
    if (offset < BMP_HEADER_SIZE || offset > size || (size - offset) / rowBytes < size_t(h)) {
        reason = format(u"BMP pixel data is short or misplaced (offset %u, %dx%d).", offset, w, h);
        return false;
    }
    allocatePixels(w, h);
    for (int32_t r = 0; r < h; ++r) {
        const uint8_t* row = bytes + offset + size_t(r) * rowBytes;
        UColor* out = pImageData + size_t(h - 1 - r) * size_t(w);
        for (int32_t x = 0; x < w; ++x, row += 3)
            out[x] = 0xFF000000u | (UColor(row[2]) << 16) | (UColor(row[1]) << 8) | UColor(row[0]);
    }
    bHasAlpha = false;
    return true;
}

bool MemoryImageFile::saveBMP(WStringView path, WString* reason) const {
    if (!hasPixels(*this)) return notWritten(reason, u"the image has no pixels");
    const size_t rowBytes = (size_t(width) * 3 + 3) & ~size_t(3);
    const uint64_t imageBytes = uint64_t(rowBytes) * uint64_t(height);
    if (imageBytes + BMP_HEADER_SIZE > 0xFFFFFFFFu) return notWritten(reason, u"the image is too large");
    std::vector<uint8_t> image(BMP_HEADER_SIZE + size_t(imageBytes), 0);
    uint8_t* header = image.data();
    header[0] = 'B';
    header[1] = 'M';
    putU32(header + 2, static_cast<uint32_t>(BMP_HEADER_SIZE + imageBytes));
    putU32(header + 10, BMP_HEADER_SIZE);
    putU32(header + 14, 40);
    putU32(header + 18, static_cast<uint32_t>(width));
    putU32(header + 22, static_cast<uint32_t>(height));
    putU16(header + 26, 1);
    putU16(header + 28, 24);
    uint8_t* row = image.data() + BMP_HEADER_SIZE;
    for (int32_t y = height - 1; y >= 0; --y, row += rowBytes) {
        const UColor* in = pImageData + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x) {
            row[size_t(x) * 3 + 0] = static_cast<uint8_t>(in[x]);
            row[size_t(x) * 3 + 1] = static_cast<uint8_t>(in[x] >> 8);
            row[size_t(x) * 3 + 2] = static_cast<uint8_t>(in[x] >> 16);
        }
    }
    return writeFileAtomically(path, image.data(), image.size(), reason);
}

// ---- JPG -------------------------------------------------------------------------------------

namespace {

// Outcome of the libjpeg part, kept free of objects with destructors because of longjmp.
enum JpegResult { JPEG_OK, JPEG_FAILED, JPEG_GREYSCALE, JPEG_NOT_RGB, JPEG_BAD_SIZE };

static_assert(std::endian::native == std::endian::little, "JPG pixels are decoded as bytes in the order B, G, R, A");

}  // namespace

bool MemoryImageFile::readJPG(const uint8_t* bytes, size_t size, WString& reason) {
    QEL_ASSERT(u"MemoryImageFile::loadJPG", !bForeignData && pImageData == nullptr);
    width = height = 0;
    if (!bytes || size == 0) {
        reason = u"JPG data is empty.";
        return false;
    }
    jpeg_decompress_struct cinfo;
    JpegErrorManager err;
    std::memset(&cinfo, 0, sizeof(cinfo));
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = my_error_exit;
    err.mgr.output_message = jpegOutputMessage;
    err.message[0] = 0;
    jpeg_source_mgr source;
    volatile JpegResult result = JPEG_OK;
    volatile int32_t imageW = 0, imageH = 0;

    if (setjmp(err.jump) == 0) {
        jpeg_create_decompress(&cinfo);
        // A small progressive file can ask for whole-image buffers; more than this is refused.
        cinfo.mem->max_memory_to_use = 256L << 20;
        source.next_input_byte = bytes;
        source.bytes_in_buffer = size;
        source.init_source = init_source;
        source.fill_input_buffer = kb_fill_input_buffer;
        source.skip_input_data = skip_input_data;
        source.resync_to_restart = jpeg_resync_to_restart;
        source.term_source = term_source;
        cinfo.src = &source;
        jpeg_read_header(&cinfo, TRUE);
        imageW = static_cast<int32_t>(cinfo.image_width);
        imageH = static_cast<int32_t>(cinfo.image_height);
        if (cinfo.out_color_space == JCS_GRAYSCALE || cinfo.num_components == 1) {
            result = JPEG_GREYSCALE;
        } else if (cinfo.out_color_space != JCS_RGB || cinfo.num_components != 3) {
            result = JPEG_NOT_RGB;
        } else if (!sizeAccepted(imageW, imageH)) {
            result = JPEG_BAD_SIZE;
        } else if (!(loadFlags & FLAG_HEADER_ONLY)) {
            // The library writes the opaque pixels straight into the image: 0xAARRGGBB lies in
            // memory as blue, green, red, alpha.
            cinfo.out_color_space = JCS_EXT_BGRA;
            jpeg_start_decompress(&cinfo);
            if (cinfo.output_components != 4 || int32_t(cinfo.output_width) != imageW ||
                int32_t(cinfo.output_height) != imageH) {
                result = JPEG_NOT_RGB;
            } else {
                allocatePixels(imageW, imageH);
                while (cinfo.output_scanline < cinfo.output_height) {
                    JSAMPROW rows[1] = {reinterpret_cast<JSAMPROW>(pImageData + size_t(cinfo.output_scanline) * size_t(imageW))};
                    jpeg_read_scanlines(&cinfo, rows, 1);
                }
                jpeg_finish_decompress(&cinfo);
            }
        }
    } else {
        result = JPEG_FAILED;
    }
    jpeg_destroy_decompress(&cinfo);

    switch (result) {
        case JPEG_OK:
            break;
        case JPEG_FAILED:
            reason = utf8ToWide(err.message);
            break;
        case JPEG_GREYSCALE:
            reason = u"Not implemented (greyscale JPG).";
            break;
        case JPEG_NOT_RGB:
            reason = u"Not implemented (JPG is not RGB).";
            break;
        case JPEG_BAD_SIZE:
            reason = format(u"JPG size is out of range (%dx%d).", int32_t(imageW), int32_t(imageH));
            break;
    }
    if (result != JPEG_OK) {
        freePixels();
        width = height = 0;
        return false;
    }
    width = imageW;
    height = imageH;
    bHasAlpha = false;
    return true;
}

bool MemoryImageFile::saveJPG(int quality, WStringView path, WString* reason) const {
    if (!pImageData || width <= 0 || height <= 0 || width > 65500 || height > 65500)
        return notWritten(reason, u"the image has no pixels or is too large");
    // Compressed in memory (the library allocates the buffer), then written as one file.
    unsigned char* volatile packed = nullptr;
    unsigned long packedSize = 0;
    uint8_t* volatile rowBuffer = new uint8_t[size_t(width) * 3];
    jpeg_compress_struct cinfo;
    JpegErrorManager err;
    std::memset(&cinfo, 0, sizeof(cinfo));
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = my_error_exit;
    err.mgr.output_message = jpegOutputMessage;
    volatile bool ok = true;
    if (setjmp(err.jump) == 0) {
        jpeg_create_compress(&cinfo);
        jpeg_mem_dest(&cinfo, const_cast<unsigned char**>(&packed), &packedSize);
        cinfo.image_width = static_cast<JDIMENSION>(width);
        cinfo.image_height = static_cast<JDIMENSION>(height);
        cinfo.input_components = 3;
        cinfo.in_color_space = JCS_RGB;
        jpeg_set_defaults(&cinfo);
        jpeg_set_quality(&cinfo, quality, TRUE);
        jpeg_start_compress(&cinfo, TRUE);
        while (cinfo.next_scanline < cinfo.image_height) {
            const UColor* in = pImageData + size_t(cinfo.next_scanline) * size_t(width);
            uint8_t* out = rowBuffer;
            for (int32_t x = 0; x < width; ++x, out += 3) {
                out[0] = static_cast<uint8_t>(in[x] >> 16);
                out[1] = static_cast<uint8_t>(in[x] >> 8);
                out[2] = static_cast<uint8_t>(in[x]);
            }
            JSAMPROW rows[1] = {rowBuffer};
            jpeg_write_scanlines(&cinfo, rows, 1);
        }
        jpeg_finish_compress(&cinfo);
    } else {
        ok = false;
    }
    jpeg_destroy_compress(&cinfo);
    delete[] rowBuffer;
    bool written = false;
    if (!ok || !packed) notWritten(reason, u"the picture could not be compressed");
    else written = writeFileAtomically(path, packed, packedSize, reason);
    std::free(packed);
    return written;
}

// ---- pixel operations ------------------------------------------------------------------------

void MemoryImageFile::halveSize() {
    QEL_ASSERT(u"MemoryImageFile::halveSize", !bForeignData);
    QEL_ASSERT(u"MemoryImageFile::halveSize", hasPixels(*this));
    qelLog(u"MemoryImageFile::halveSize", u"Halving texture size (original size: %dx%d)", width, height);
    const int32_t oldW = width;
    UColor* old = pImageData;
    const int32_t oldCounted = countedBytes;
    pImageData = nullptr;
    allocatePixels(width / 2, height / 2);
    for (int32_t y = 0; y < height; ++y) {
        const UColor* a = old + size_t(2 * y) * size_t(oldW);
        const UColor* b = a + oldW;
        UColor* out = pImageData + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x) {
            const UColor p0 = a[2 * x], p1 = a[2 * x + 1], p2 = b[2 * x], p3 = b[2 * x + 1];
            // Each channel is the mean of the four, rounded down: the even channels (blue, red)
            // and the odd ones (green, alpha) are summed side by side in 10-bit-wide lanes.
            const uint64_t even = uint64_t(p0 & 0x00FF00FFu) + (p1 & 0x00FF00FFu) + (p2 & 0x00FF00FFu) + (p3 & 0x00FF00FFu);
            const uint64_t odd = uint64_t((p0 >> 8) & 0x00FF00FFu) + ((p1 >> 8) & 0x00FF00FFu) + ((p2 >> 8) & 0x00FF00FFu) +
                                 ((p3 >> 8) & 0x00FF00FFu);
            out[x] = UColor(((even >> 2) & 0x00FF00FFu) | (((odd >> 2) & 0x00FF00FFu) << 8));
        }
    }
    residentImageBytes -= oldCounted;
    delete[] old;
}

void MemoryImageFile::clear(const PixelRect* rect, bool white) {
    QEL_ASSERT(u"MemoryImageFile::clear", !bForeignData);
    QEL_ASSERT(u"MemoryImageFile::clear", hasPixels(*this));
    PixelRect r = rect ? *rect : PixelRect{0, 0, height, width};
    if (r.left < 0) r.left = 0;
    if (r.top < 0) r.top = 0;
    if (r.right > width) r.right = width;
    if (r.bottom > height) r.bottom = height;
    const UColor fill = white ? 0x00FFFFFFu : 0x00000000u;
    for (int32_t y = r.top; y < r.bottom; ++y) {
        UColor* row = pImageData + size_t(y) * size_t(width);
        for (int32_t x = r.left; x < r.right; ++x) row[x] = fill;
    }
}

void MemoryImageFile::blit(const MemoryImageFile* sourceData, const PixelRect* sourceRectIn, const PixelPoint* destPointIn) {
    QEL_ASSERT(u"MemoryImageFile::blit", !bForeignData);
    QEL_ASSERT(u"MemoryImageFile::blit", hasPixels(*this) && hasPixels(*sourceData));
    const PixelRect whole{0, 0, sourceData->height, sourceData->width};
    const PixelPoint origin{0, 0};
    const PixelRect* sourceRect = sourceRectIn ? sourceRectIn : &whole;
    const PixelPoint* destPoint = destPointIn ? destPointIn : &origin;
    QEL_ASSERT(u"MemoryImageFile::blit", sourceRect->left >= 0 && sourceRect->top >= 0 &&
                                             sourceRect->right <= sourceData->width && sourceRect->bottom <= sourceData->height);
    QEL_ASSERT(u"MemoryImageFile::blit", destPoint->x >= 0 && destPoint->y >= 0 &&
                                             destPoint->x + sourceRect->width() <= width &&
                                             destPoint->y + sourceRect->height() <= height);
    if (sourceRect->width() <= 0 || sourceRect->height() <= 0) return;
    for (int32_t i = 0; i < sourceRect->height(); ++i) {
        const UColor* in = sourceData->pImageData + size_t(sourceRect->top + i) * size_t(sourceData->width) + size_t(sourceRect->left);
        UColor* out = pImageData + size_t(destPoint->y + i) * size_t(width) + size_t(destPoint->x);
        std::memmove(out, in, size_t(sourceRect->width()) * sizeof(UColor));
    }
}

void MemoryImageFile::ditherDiffusion12bpp() { ditherDiffusion(0xF0); }

void MemoryImageFile::ditherDiffusion15bpp() { ditherDiffusion(0xF8); }

void MemoryImageFile::ditherDiffusion(uint8_t mask) {
    QEL_ASSERT(u"MemoryImageFile::ditherDiffusion", !bForeignData);
    QEL_ASSERT(u"MemoryImageFile::ditherDiffusion", hasPixels(*this));
    if (width <= 0 || height <= 0) return;
    // One slot of four 8-bit accumulators per pixel (B, G, R, unused), with a spare slot at each
    // end; the additions wrap at 256 like the 8-bit accumulators they are.
    const size_t slots = size_t(width) + 2;
    std::vector<uint8_t> rowA(slots * 4, 0), rowB(slots * 4, 0);
    uint8_t* current = rowA.data();
    uint8_t* next = rowB.data();
    for (int32_t y = 0; y < height; ++y) {
        UColor* row = pImageData + size_t(y) * size_t(width);
        for (int32_t x = 0; x < width; ++x) {
            UColor pixel = row[x];
            for (int c = 0; c < 3; ++c) {
                const int shift = c * 8;
                int value = int((pixel >> shift) & 0xFF) + current[size_t(x + 1) * 4 + c] / 16;
                if (value > 255) value = 255;
                const uint8_t kept = static_cast<uint8_t>(value & mask);
                const uint8_t e = static_cast<uint8_t>(value & ~mask & 0xFF);
                pixel = (pixel & ~(UColor(0xFF) << shift)) | (UColor(kept) << shift);
                current[size_t(x + 2) * 4 + c] = static_cast<uint8_t>(current[size_t(x + 2) * 4 + c] + 7 * e);
                next[size_t(x) * 4 + c] = static_cast<uint8_t>(next[size_t(x) * 4 + c] + 3 * e);
                next[size_t(x + 1) * 4 + c] = static_cast<uint8_t>(next[size_t(x + 1) * 4 + c] + 5 * e);
                next[size_t(x + 2) * 4 + c] = static_cast<uint8_t>(next[size_t(x + 2) * 4 + c] + e);
            }
            row[x] = pixel;
        }
        // Error that fell off either edge re-enters at the start of the next row.
        for (int c = 0; c < 3; ++c)
            next[4 + c] = static_cast<uint8_t>(next[4 + c] + current[size_t(width + 1) * 4 + c] + next[c]);
        std::memset(current, 0, slots * 4);
        std::swap(current, next);
    }
}
