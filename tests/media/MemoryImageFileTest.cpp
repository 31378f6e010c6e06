#include "media/MemoryImageFile.h"

#include <gtest/gtest.h>
#include <jpeglib.h>

#include <cstdio>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileTestEnvironment.h"
#include "support/TestFolder.h"

namespace {

// An engine object with a FileManager that reads from disk, which file images are read through.
struct DiskFiles : FileTestEnvironment {
    DiskFiles() { files().bForceDisk = true; }
};

UColor patternPixel(int x, int y) {
    return (UColor((x * 37 + y * 11) & 0xFF) << 24) | (UColor((x * 5) & 0xFF) << 16) | (UColor((y * 7) & 0xFF) << 8) |
           UColor((x + y) & 0xFF);
}

std::unique_ptr<MemoryImageFile> patternImage(int w, int h) {
    auto image = std::make_unique<MemoryImageFile>(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image->pImageData[y * w + x] = patternPixel(x, y);
    return image;
}

UColor at(const MemoryImageFile& image, int x, int y) { return image.pImageData[size_t(y) * size_t(image.width) + size_t(x)]; }

void putU16(std::string& s, size_t at, uint32_t v) {
    s[at] = char(v & 0xFF);
    s[at + 1] = char((v >> 8) & 0xFF);
}
void putU32(std::string& s, size_t at, uint32_t v) {
    putU16(s, at, v);
    putU16(s, at + 2, v >> 16);
}

std::string tgaBytes(int w, int h) {
    TestFolder folder("tga");
    auto image = patternImage(w, h);
    EXPECT_TRUE(image->saveTGA(folder.wfile("a.tga")));
    return readFileBytes(folder.file("a.tga"));
}

std::string bmpBytes(int w, int h) {
    TestFolder folder("bmp");
    auto image = patternImage(w, h);
    EXPECT_TRUE(image->saveBMP(folder.wfile("a.bmp")));
    return readFileBytes(folder.file("a.bmp"));
}

// Encodes a JPG with libjpeg directly, in any input colour space.
std::string encodeJpeg(int w, int h, int components, J_COLOR_SPACE space) {
    jpeg_compress_struct cinfo;
    jpeg_error_mgr err;
    cinfo.err = jpeg_std_error(&err);
    jpeg_create_compress(&cinfo);
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    jpeg_mem_dest(&cinfo, &buffer, &size);
    cinfo.image_width = w;
    cinfo.image_height = h;
    cinfo.input_components = components;
    cinfo.in_color_space = space;
    jpeg_set_defaults(&cinfo);
    jpeg_start_compress(&cinfo, TRUE);
    std::vector<unsigned char> row(size_t(w) * components);
    while (cinfo.next_scanline < cinfo.image_height) {
        for (size_t i = 0; i < row.size(); ++i) row[i] = static_cast<unsigned char>(i * 3 + cinfo.next_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_write_scanlines(&cinfo, rows, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    std::string bytes(reinterpret_cast<char*>(buffer), size);
    free(buffer);
    return bytes;
}

bool readAs(const std::string& format, const std::string& bytes, WString& reason, uint32_t flags = 0) {
    MemoryImageFile image(0, 0);
    image.loadFlags = flags;
    const auto* data = reinterpret_cast<const uint8_t*>(bytes.data());
    const bool ok = format == "tga"   ? image.readTGA(data, bytes.size(), reason)
                    : format == "bmp" ? image.readBMP(data, bytes.size(), reason)
                                      : image.readJPG(data, bytes.size(), reason);
    if (!ok) {
        EXPECT_EQ(image.pImageData, nullptr);
        EXPECT_EQ(image.width, 0);
        EXPECT_EQ(image.height, 0);
    }
    return ok;
}

}  // namespace

TEST(MemoryImageFile, TgaRoundTripIsExactAndBottomUp) {
    DiskFiles disk;
    TestFolder folder("img");
    auto image = patternImage(7, 5);
    ASSERT_TRUE(image->saveTGA(folder.wfile("shot.tga")));
    const std::string bytes = readFileBytes(folder.file("shot.tga"));
    ASSERT_EQ(bytes.size(), 18u + 7 * 5 * 4);
    EXPECT_EQ(bytes[2], 2);
    EXPECT_EQ(bytes[16], 32);
    EXPECT_EQ(bytes[17], 0x08);
    // The first stored row is the bottom image row.
    const UColor firstStored = uint8_t(bytes[18]) | uint8_t(bytes[19]) << 8 | uint8_t(bytes[20]) << 16 | UColor(uint8_t(bytes[21])) << 24;
    EXPECT_EQ(firstStored, patternPixel(0, 4));

    MemoryImageFile loaded(0, folder.wfile("shot.tga"));
    ASSERT_EQ(loaded.width, 7);
    ASSERT_EQ(loaded.height, 5);
    EXPECT_TRUE(loaded.bHasAlpha);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 7; ++x) EXPECT_EQ(at(loaded, x, y), patternPixel(x, y)) << x << "," << y;
}

TEST(MemoryImageFile, BmpRoundTripPadsRowsForAnyWidth) {
    DiskFiles disk;
    TestFolder folder("img");
    for (int w : {1, 2, 3, 4, 5, 3000}) {
        auto image = patternImage(w, 3);
        const std::string path = folder.file("w" + std::to_string(w) + ".bmp");
        ASSERT_TRUE(image->saveBMP(utf8ToWide(path)));
        const size_t rowBytes = (size_t(w) * 3 + 3) / 4 * 4;
        const std::string bytes = readFileBytes(path);
        ASSERT_EQ(bytes.size(), 54 + rowBytes * 3) << w;
        EXPECT_EQ(bytes.substr(0, 2), "BM");

        MemoryImageFile loaded(0, utf8ToWide(path));
        ASSERT_EQ(loaded.width, w);
        ASSERT_EQ(loaded.height, 3);
        EXPECT_FALSE(loaded.bHasAlpha);
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < w; ++x) ASSERT_EQ(at(loaded, x, y), patternPixel(x, y) | 0xFF000000u) << w << ":" << x << "," << y;
    }
}

TEST(MemoryImageFile, JpgRoundTripKeepsTheColoursClose) {
    DiskFiles disk;
    TestFolder folder("img");
    MemoryImageFile image(64, 48);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            image.pImageData[y * 64 + x] = 0x40000000u | UColor(x * 4) << 16 | UColor(y * 5) << 8 | UColor(128);
    ASSERT_TRUE(image.saveJPG(95, folder.wfile("crash.jpg")));
    MemoryImageFile loaded(0, folder.wfile("crash.jpg"));
    ASSERT_EQ(loaded.width, 64);
    ASSERT_EQ(loaded.height, 48);
    EXPECT_FALSE(loaded.bHasAlpha);
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x) {
            const UColor p = at(loaded, x, y);
            EXPECT_EQ(p >> 24, 0xFFu);
            EXPECT_NEAR(int((p >> 16) & 0xFF), x * 4, 6);
            EXPECT_NEAR(int((p >> 8) & 0xFF), y * 5, 6);
            EXPECT_NEAR(int(p & 0xFF), 128, 6);
        }
}

// Pictures larger than any the game ships (several megapixels) decode whole and in place.
TEST(MemoryImageFile, JpgOfSeveralMegapixelsDecodesWhole) {
    DiskFiles disk;
    TestFolder folder("img");
    const int w = 2560, h = 1600;
    MemoryImageFile image(w, h);
    // Flat blocks of 256 x 160 pixels, each of its own colour, so that JPG keeps them close.
    auto block = [](int x, int y) { return 0xFF000000u | UColor((x / 256) * 25) << 16 | UColor((y / 160) * 25) << 8 | 0x60u; };
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) image.pImageData[size_t(y) * w + x] = block(x, y);
    ASSERT_TRUE(image.saveJPG(90, folder.wfile("big.jpg")));
    MemoryImageFile loaded(0, folder.wfile("big.jpg"));
    ASSERT_EQ(loaded.width, w);
    ASSERT_EQ(loaded.height, h);
    for (int y = 80; y < h; y += 160)
        for (int x = 128; x < w; x += 256) {
            const UColor p = at(loaded, x, y), q = block(x, y);
            for (int shift : {16, 8, 0}) EXPECT_NEAR(int((p >> shift) & 0xFF), int((q >> shift) & 0xFF), 4) << x << "," << y;
        }
}

TEST(MemoryImageFile, WritersReportAFileThatCannotBeOpened) {
    auto image = patternImage(2, 2);
    const WString path = u"/nonexistent-folder/x";
    EXPECT_FALSE(image->saveTGA(path + u".tga"));
    EXPECT_FALSE(image->saveBMP(path + u".bmp"));
    EXPECT_FALSE(image->saveJPG(60, path + u".jpg"));
}

TEST(MemoryImageFile, DamagedOrUnsupportedFilesAreRefusedWithAReason) {
    const std::string tga = tgaBytes(4, 3);
    const std::string bmp = bmpBytes(5, 3);
    const std::string jpg = encodeJpeg(16, 8, 3, JCS_RGB);
    struct Case {
        const char* name;
        std::string format;
        std::function<std::string()> bytes;
        std::u16string reason;
    };
    const std::vector<Case> cases = {
        {"tga empty", "tga", [] { return std::string(); }, u"TGA header is short."},
        {"tga header cut", "tga", [&] { return tga.substr(0, 17); }, u"TGA header is short."},
        {"tga rle", "tga", [&] { auto s = tga; s[2] = 10; return s; }, u"TGA is compressed."},
        {"tga 24 bit", "tga", [&] { auto s = tga; s[16] = 24; return s; }, u"TGA depth is not 32 bits"},
        {"tga top-down", "tga", [&] { auto s = tga; s[17] = 0x28; return s; }, u"TGA is flipped vertically."},
        {"tga negative width", "tga", [&] { auto s = tga; putU16(s, 12, 0xFFFC); return s; }, u"TGA size is out of range"},
        {"tga zero height", "tga", [&] { auto s = tga; putU16(s, 14, 0); return s; }, u"TGA size is out of range"},
        {"tga huge", "tga", [&] { auto s = tga; putU16(s, 12, 30000); putU16(s, 14, 30000); return s; }, u"TGA size is out of range"},
        {"tga pixels cut", "tga", [&] { return tga.substr(0, tga.size() - 1); }, u"TGA pixel data is short"},
        {"tga taller than data", "tga", [&] { auto s = tga; putU16(s, 14, 4); return s; }, u"TGA pixel data is short"},
        {"bmp header cut", "bmp", [&] { return bmp.substr(0, 53); }, u"BMP header is short."},
        {"bmp signature", "bmp", [&] { auto s = bmp; s[0] = 'X'; return s; }, u"BMP signature is missing."},
        {"bmp 32 bit", "bmp", [&] { auto s = bmp; putU16(s, 28, 32); return s; }, u"Only 24-bit BMPs are supported."},
        {"bmp core header", "bmp", [&] { auto s = bmp; putU32(s, 14, 12); return s; }, u"BMP information header is not supported."},
        {"bmp compressed", "bmp", [&] { auto s = bmp; putU32(s, 30, 1); return s; }, u"BMP is compressed."},
        {"bmp top-down", "bmp", [&] { auto s = bmp; putU32(s, 22, uint32_t(-3)); return s; }, u"BMP rows run top-down."},
        {"bmp negative width", "bmp", [&] { auto s = bmp; putU32(s, 18, uint32_t(-5)); return s; }, u"BMP size is out of range"},
        {"bmp huge", "bmp", [&] { auto s = bmp; putU32(s, 18, 0x7FFFFFFF); return s; }, u"BMP size is out of range"},
        {"bmp pixels cut", "bmp", [&] { return bmp.substr(0, bmp.size() - 1); }, u"BMP pixel data is short"},
        {"bmp offset past end", "bmp", [&] { auto s = bmp; putU32(s, 10, 0xFFFFFFF0u); return s; }, u"BMP pixel data is short"},
        {"bmp offset inside header", "bmp", [&] { auto s = bmp; putU32(s, 10, 10); return s; }, u"BMP pixel data is short"},
        {"jpg empty", "jpg", [] { return std::string(); }, u"JPG data is empty."},
        {"jpg cut", "jpg", [&] { return jpg.substr(0, jpg.size() / 2); }, u"JPG data ends early."},
        {"jpg not a jpg", "jpg", [&] { return tga; }, u"Not a JPEG file"},
        {"jpg greyscale", "jpg", [] { return encodeJpeg(8, 8, 1, JCS_GRAYSCALE); }, u"Not implemented (greyscale JPG)."},
        {"jpg cmyk", "jpg", [] { return encodeJpeg(8, 8, 4, JCS_CMYK); }, u"Not implemented (JPG is not RGB)."},
    };
    for (const Case& c : cases) {
        WString reason;
        EXPECT_FALSE(readAs(c.format, c.bytes(), reason)) << c.name;
        EXPECT_NE(reason.find(c.reason), WString::npos) << c.name << ": " << wideToUtf8(reason);
    }
    // The intact files are accepted.
    WString reason;
    EXPECT_TRUE(readAs("tga", tga, reason));
    EXPECT_TRUE(readAs("bmp", bmp, reason));
    EXPECT_TRUE(readAs("jpg", jpg, reason));
}

TEST(MemoryImageFile, HeaderOnlyReadsSizeWithoutPixels) {
    const int32_t before = residentImageBytes;
    for (const std::string& format : {std::string("tga"), std::string("jpg")}) {
        const std::string bytes = format == "tga" ? tgaBytes(9, 4) : encodeJpeg(9, 4, 3, JCS_RGB);
        MemoryImageFile image(0, 0);
        image.loadFlags = MemoryImageFile::FLAG_HEADER_ONLY;
        WString reason;
        ASSERT_TRUE(format == "tga" ? image.readTGA(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), reason)
                                    : image.readJPG(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), reason));
        EXPECT_EQ(image.width, 9);
        EXPECT_EQ(image.height, 4);
        EXPECT_EQ(image.bHasAlpha, format == "tga");
        EXPECT_EQ(image.pImageData, nullptr);
        EXPECT_EQ(residentImageBytes, before);
    }
}

TEST(MemoryImageFile, ReaderIsChosenByTheFirstMatchingExtensionTest) {
    DiskFiles disk;
    TestFolder folder("img");
    writeFileBytes(folder.file("a.tga.bmp"), tgaBytes(3, 2));
    MemoryImageFile image(0, folder.wfile("a.tga.bmp"));
    EXPECT_EQ(image.width, 3);
    EXPECT_TRUE(image.bHasAlpha);
}

TEST(MemoryImageFileDeathTest, UnknownExtensionIsFatal) {
    DiskFiles disk;
    TestFolder folder("img");
    writeFileBytes(folder.file("a.TGA"), tgaBytes(3, 2));
    EXPECT_EXIT(MemoryImageFile(0, folder.wfile("a.TGA")), testing::ExitedWithCode(255), "");
}

TEST(MemoryImageFileDeathTest, DamagedFileIsFatalWhenLoaded) {
    DiskFiles disk;
    TestFolder folder("img");
    const std::pair<std::string, std::string> files[] = {
        {"a.tga", tgaBytes(3, 2)}, {"a.bmp", bmpBytes(3, 2)}, {"a.jpg", encodeJpeg(16, 16, 3, JCS_RGB)}};
    for (const auto& [name, bytes] : files) {
        writeFileBytes(folder.file(name), bytes.substr(0, bytes.size() - 8));
        EXPECT_EXIT(MemoryImageFile(0, folder.wfile(name)), testing::ExitedWithCode(255), "") << name;
    }
    writeFileBytes(folder.file("grey.jpg"), encodeJpeg(8, 8, 1, JCS_GRAYSCALE));
    EXPECT_EXIT(MemoryImageFile(0, folder.wfile("grey.jpg")), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(MemoryImageFile(0, folder.wfile("missing.tga")), testing::ExitedWithCode(255), "");
}

TEST(MemoryImageFile, ResidentBytesFollowPurgeAndUnpurge) {
    DiskFiles disk;
    TestFolder folder("img");
    patternImage(6, 4)->saveTGA(folder.wfile("p.tga"));
    const int32_t before = residentImageBytes;
    {
        MemoryImageFile file(0, folder.wfile("p.tga"));
        MemoryImageFile blank(5, 5);
        EXPECT_EQ(residentImageBytes, before + 6 * 4 * 4 + 5 * 5 * 4);
        // Device lost: the file image drops its pixels (size kept), the blank one keeps them.
        file.onQELmodeChange(2, 1);
        blank.onQELmodeChange(2, 1);
        EXPECT_EQ(file.pImageData, nullptr);
        EXPECT_EQ(file.width, 6);
        EXPECT_NE(blank.pImageData, nullptr);
        EXPECT_EQ(residentImageBytes, before + 5 * 5 * 4);
        // Other mode changes leave the pixels alone.
        file.unpurge();
        file.onQELmodeChange(3, 2);
        ASSERT_NE(file.pImageData, nullptr);
        EXPECT_EQ(at(file, 5, 3), patternPixel(5, 3));
        EXPECT_EQ(residentImageBytes, before + 6 * 4 * 4 + 5 * 5 * 4);
        EXPECT_FALSE(file.isLoaded());
    }
    EXPECT_EQ(residentImageBytes, before);
}

TEST(MemoryImageFile, HalveSizeDropsOddEdgesAndRoundsTheMeanDown) {
    const int32_t before = residentImageBytes;
    MemoryImageFile image(5, 3);
    image.clear(nullptr, false);
    // Block (0,0): channel values 1, 2, 2, 2 in every byte -> 1.
    image.pImageData[0] = 0x01010101u;
    image.pImageData[1] = 0x02020202u;
    image.pImageData[5] = 0x02020202u;
    image.pImageData[6] = 0x02020202u;
    // Block (1,0): mixed channels.
    image.pImageData[2] = 0xFF000010u;
    image.pImageData[3] = 0xFF000010u;
    image.pImageData[7] = 0x00FF0011u;
    image.pImageData[8] = 0x00000011u;
    image.halveSize();
    ASSERT_EQ(image.width, 2);
    ASSERT_EQ(image.height, 1);
    EXPECT_EQ(image.pImageData[0], 0x01010101u);
    EXPECT_EQ(image.pImageData[1], 0x7F3F0010u);
    EXPECT_EQ(residentImageBytes, before + 2 * 1 * 4);
}

TEST(MemoryImageFile, ClearFillsTheRectangleClippedToTheImage) {
    auto image = patternImage(4, 4);
    image->clear(nullptr, true);
    for (int i = 0; i < 16; ++i) EXPECT_EQ(image->pImageData[i], 0x00FFFFFFu);
    const PixelRect rect{2, 1, 9, 9};  // left, top, bottom, right: runs past the image
    image->clear(&rect, false);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x) EXPECT_EQ(at(*image, x, y), (x >= 2 && y >= 1) ? 0u : 0x00FFFFFFu) << x << "," << y;
}

TEST(MemoryImageFile, BlitCopiesTheSourceRectangleUnblended) {
    auto source = patternImage(6, 5);
    MemoryImageFile dest(8, 8);
    dest.clear(nullptr, true);
    const PixelRect rect{1, 2, 5, 4};  // columns 1-3, rows 2-4
    const PixelPoint point{4, 5};
    dest.blit(source.get(), &rect, &point);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) {
            const bool inside = x >= 4 && x < 7 && y >= 5 && y < 8;
            EXPECT_EQ(at(dest, x, y), inside ? patternPixel(x - 4 + 1, y - 5 + 2) : 0x00FFFFFFu) << x << "," << y;
        }
    // Whole source at the origin.
    dest.blit(source.get(), nullptr, nullptr);
    EXPECT_EQ(at(dest, 5, 4), patternPixel(5, 4));
}

TEST(MemoryImageFileDeathTest, BlitOutsideEitherImageIsFatal) {
    auto source = patternImage(4, 4);
    MemoryImageFile dest(4, 4);
    const PixelRect tooWide{0, 0, 4, 5};
    const PixelRect small{0, 0, 2, 2};
    const PixelPoint offEdge{3, 0};
    EXPECT_EXIT(dest.blit(source.get(), &tooWide, nullptr), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(dest.blit(source.get(), &small, &offEdge), testing::ExitedWithCode(255), "");
}

TEST(MemoryImageFile, DitherKeepsTheTopBitsAndSpreadsTheError) {
    struct Case {
        void (MemoryImageFile::*dither)();
        UColor keptMask;
    };
    for (const Case& c : {Case{&MemoryImageFile::ditherDiffusion12bpp, 0xF0F0F0u}, Case{&MemoryImageFile::ditherDiffusion15bpp, 0xF8F8F8u}}) {
        const int w = 64, h = 64;
        MemoryImageFile image(w, h);
        // A flat colour between two levels: truncation alone would give 0 in blue.
        for (int i = 0; i < w * h; ++i) image.pImageData[i] = UColor(i & 0xFF) << 24 | 0x00C06006u;
        (image.*c.dither)();
        double sumB = 0, sumG = 0, sumR = 0;
        for (int i = 0; i < w * h; ++i) {
            const UColor p = image.pImageData[i];
            EXPECT_EQ(p & 0x00FFFFFFu & ~c.keptMask, 0u);
            EXPECT_EQ(p >> 24, UColor(i & 0xFF));
            sumB += p & 0xFF;
            sumG += (p >> 8) & 0xFF;
            sumR += (p >> 16) & 0xFF;
        }
        EXPECT_NEAR(sumB / (w * h), 6.0, 1.0);
        EXPECT_NEAR(sumG / (w * h), 0x60, 1.5);
        EXPECT_NEAR(sumR / (w * h), 0xC0, 1.5);
    }
}

TEST(MemoryImageFile, DitherWeightsAndRowCarryFollowTheWorkedExample) {
    // Blue 8 everywhere in a 2 x 2 image, 12 bits: the first row quantises to 0 and pushes its
    // error (8, then 8 + 56/16 = 11) on; the next row's first pixel gets 5/16 and 3/16 of them
    // plus what fell off both edges: (40 + 33 + 77 + 24) / 16 = 10, so 18 becomes 16.
    MemoryImageFile image(2, 2);
    for (int i = 0; i < 4; ++i) image.pImageData[i] = 0xFF000008u;
    image.ditherDiffusion12bpp();
    EXPECT_EQ(image.pImageData[0], 0xFF000000u);
    EXPECT_EQ(image.pImageData[1], 0xFF000000u);
    EXPECT_EQ(image.pImageData[2], 0xFF000010u);
    EXPECT_EQ(image.pImageData[3], 0xFF000000u);
}

TEST(MemoryImageFileDeathTest, AnImageWithoutItsPixelsIsNotWorkedOnOrWritten) {
    TestFolder folder("img");
    const std::string bytes = tgaBytes(4, 4);
    MemoryImageFile image(0, 0);
    image.loadFlags = MemoryImageFile::FLAG_HEADER_ONLY;
    WString reason;
    ASSERT_TRUE(image.readTGA(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), reason));
    ASSERT_EQ(image.pImageData, nullptr);
    EXPECT_FALSE(image.saveTGA(folder.wfile("x.tga")));
    EXPECT_FALSE(image.saveBMP(folder.wfile("x.bmp")));
    EXPECT_FALSE(image.saveJPG(60, folder.wfile("x.jpg")));
    EXPECT_EXIT(image.halveSize(), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(image.clear(nullptr, true), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(image.ditherDiffusion12bpp(), testing::ExitedWithCode(255), "");
}

TEST(MemoryImageFile, DelayedImageDecodesOnFirstUnpurge) {
    DiskFiles disk;
    TestFolder folder("img");
    patternImage(3, 3)->saveTGA(folder.wfile("late.tga"));
    disk.files().bEnableDelayedLoad = true;
    const int32_t before = residentImageBytes;
    MemoryImageFile image(MemoryImageFile::FLAG_DELAYED, folder.wfile("late.tga"));
    EXPECT_EQ(image.pImageData, nullptr);
    EXPECT_EQ(residentImageBytes, before);
    image.unpurge();
    ASSERT_NE(image.pImageData, nullptr);
    EXPECT_EQ(at(image, 2, 1), patternPixel(2, 1));
    EXPECT_FALSE(image.isLoaded()) << "the file bytes go once the pixels are decoded";
}
