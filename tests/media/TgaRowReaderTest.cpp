// Reading a TGA a row at a time: rows from the bottom of the picture up, as the file keeps them,
// and the same refusals as the whole-picture reader.

#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "media/TgaRowReader.h"
#include "TextureFixture.h"

namespace {

class TgaRowReaderTest : public TextureFixture {};

TEST_F(TgaRowReaderTest, RowsComeFromTheBottomUpAsThePictureHasThem) {
    writeImage("strip.tga", 5, 3, true, [](int x, int y) { return 0x80000000u | uint32_t(y) << 8 | uint32_t(x); });
    TgaRowReader reader(u"strip.tga");
    ASSERT_TRUE(reader.isOpen()) << wideToUtf8(reader.reason);
    EXPECT_EQ(reader.width, 5);
    EXPECT_EQ(reader.height, 3);
    std::vector<UColor> row(5);
    EXPECT_EQ(reader.nextRow(), 2);
    ASSERT_TRUE(reader.readRow(row.data()));
    EXPECT_EQ(row[4], 0x80000204u);
    EXPECT_TRUE(reader.skipRow());
    ASSERT_TRUE(reader.readRow(row.data()));
    EXPECT_EQ(row[0], 0x80000000u);
    EXPECT_EQ(row[3], 0x80000003u);
    EXPECT_EQ(reader.nextRow(), -1);
    EXPECT_FALSE(reader.readRow(row.data()));
}

TEST_F(TgaRowReaderTest, DamagedOrUnsupportedFilesAreRefused) {
    writeImage("good.tga", 4, 4, true);
    std::ifstream in("good.tga", std::ios::binary);
    const std::vector<char> good((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    struct Case {
        const char* what;
        size_t offset;  // byte changed (or, with cut, the length kept)
        char value;
        bool cut;
        const char16_t* reason;
    };
    const Case cases[] = {
        {"short header", 10, 0, true, u"TGA header is short."},
        {"run-length coded", 2, 10, false, u"TGA is compressed."},
        {"24 bits", 16, 24, false, u"TGA depth is not 32 bits"},
        {"top-down", 17, 0x28, false, u"TGA is flipped vertically."},
        {"negative width", 13, char(0x80), false, u"TGA size is out of range (-32764x4)."},
        {"pixels cut short", 18 + 4 * 4 * 4 - 1, 0, true, u"TGA pixel data is short (4x4, 81 bytes)."},
    };
    for (const Case& c : cases) {
        std::vector<char> bytes = good;
        if (c.cut) bytes.resize(c.offset);
        else bytes[c.offset] = c.value;
        std::ofstream("bad.tga", std::ios::binary | std::ios::trunc).write(bytes.data(), std::streamsize(bytes.size()));
        TgaRowReader reader(u"bad.tga");
        EXPECT_FALSE(reader.isOpen()) << c.what;
        EXPECT_EQ(reader.reason, c.reason) << c.what;
        std::vector<UColor> row(4);
        EXPECT_FALSE(reader.readRow(row.data())) << c.what;
    }
}

}  // namespace
