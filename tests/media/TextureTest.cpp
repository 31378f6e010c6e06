// Textures on the recording device: skins from the ".ini" description, from the ".preload" record
// in an archive (the same skins), splitting into tiles, halving, residency, purge and device loss.

#include <gtest/gtest.h>

#include <cstdio>

#include "engine/DataBlock.h"
#include "engine/FileManager.h"
#include "engine/Stream.h"
#include "engine/Qel.h"
#include "media/PreloadRecord.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "media/TiledSkin.h"
#include "support/RecordingDevice.h"
#include "TextureFixture.h"

namespace {

using TextureTest = TextureFixture;

const char* kTwoSkins =
    "[Skin 0]\nleft=0\ntop=0\nwidth=5\nheight=3\n"
    "[Skin 1]\nleft=8\ntop=4\nwidth=16\nheight=8\norigin_adjust_x=2\norigin_adjust_y=-4\n";

struct SkinShape {
    int left, top, bottom, right;
    float w, h, ox, oy;
    bool operator==(const SkinShape&) const = default;
};

std::vector<SkinShape> shapes(const Texture& t) {
    std::vector<SkinShape> out;
    for (Skin* s : t.skins) {
        auto* q = static_cast<Quad*>(s);
        const PixelRect& r = q->sourceRect;
        out.push_back(SkinShape{r.left, r.top, r.bottom, r.right, q->width, q->height, q->originOffset.x, q->originOffset.y});
    }
    return out;
}

TEST_F(TextureTest, SkinsComeFromTheDescriptionWithOddSizesHalfAPixelOff) {
    writeImage("art.tga", 32, 16);
    writeFileBytes("art.tga.ini", kTwoSkins);
    Texture t(0, u"art.tga");
    ASSERT_EQ(t.skins.size(), 2u);
    auto s = shapes(t);
    EXPECT_EQ(s[0].w, 5);
    EXPECT_EQ(s[0].h, 3);
    EXPECT_EQ(s[0].ox, -0.5f);
    EXPECT_EQ(s[0].oy, 0.5f);
    EXPECT_EQ(s[1].left, 8);
    EXPECT_EQ(s[1].top, 4);
    EXPECT_EQ(s[1].bottom, 12);
    EXPECT_EQ(s[1].right, 24);
    EXPECT_EQ(s[1].ox, -2);
    EXPECT_EQ(s[1].oy, -4);
    EXPECT_EQ(t.dxTexture, nullptr);  // delayed: made on first use
}

TEST_F(TextureTest, WithoutDescriptionOneSkinCoversTheImage) {
    writeImage("plain.tga", 20, 10, true);
    Texture t(0, u"plain.tga");
    ASSERT_EQ(t.skins.size(), 1u);
    auto* q = static_cast<Quad*>(t.skins[0]);
    EXPECT_EQ(q->width, 20);
    EXPECT_EQ(q->height, 10);
    EXPECT_TRUE(t.bHasAlpha);
    EXPECT_EQ(t.realWidth, 256);  // the simulated 256 x 256 hardware
    EXPECT_FLOAT_EQ(q->texRight, 20.0f / 256);
}

TEST_F(TextureTest, DescriptionWithoutTheFirstSkinIsFatal) {
    writeImage("art.tga", 32, 16);
    writeFileBytes("art.tga.ini", "[Skin 1]\nleft=0\ntop=0\nwidth=4\nheight=4\n");
    detachObjectListForExit();
    EXPECT_EXIT(Texture(0, u"art.tga"), testing::ExitedWithCode(255), "");
}

TEST_F(TextureTest, SkinOutsideTheImageIsFatal) {
    writeImage("art.tga", 32, 16);
    writeFileBytes("art.tga.ini", "[Skin 0]\nleft=30\ntop=0\nwidth=4\nheight=4\n");
    detachObjectListForExit();
    EXPECT_EXIT(Texture(0, u"art.tga"), testing::ExitedWithCode(255), "");
}

TEST_F(TextureTest, ArchiveRecordGivesTheSameSkinsAsTheDescription) {
    writeImage("art.tga", 32, 16);
    writeFileBytes("art.tga.ini", kTwoSkins);
    std::vector<SkinShape> fromDisk;
    {
        Texture t(0, u"art.tga");
        fromDisk = shapes(t);
    }
    // Build the archive the way the data build does: textures made while the archive is created.
    FileManager* normal = engine->pFileManager;
    auto* maker = new FileManager(true);
    maker->wadOutputFolder = u"";
    maker->useWad(u"art.wad");
    engine->pFileManager = maker;
    { Texture t(0, u"art.tga"); }
    delete maker;
    engine->pFileManager = normal;
    std::remove("art.tga");
    std::remove("art.tga.ini");
    std::remove("art.tga.preload");

    normal->bUseWad = true;
    normal->useWad(u"art.wad");
    ASSERT_TRUE(normal->existsWad(u"art.tga.preload"));
    EXPECT_TRUE(normal->existsWad(u"art.tga"));  // recorded by the header read
    EXPECT_FALSE(normal->existsWad(u"art.tga.ini"));  // read from disk only
    Texture t(0, u"art.tga");
    EXPECT_EQ(shapes(t), fromDisk);
}

TEST_F(TextureTest, DamagedArchiveRecordIsFatal) {
    PreloadRecord record;
    record.width = 32;
    record.height = 16;
    record.skins.push_back(PreloadSkin{0, 0, 4, 4, 0, 0});
    std::vector<uint8_t> bytes = record.toBytes();
    bytes[16] = 2;  // claims two skins, holds one
    writeFileBytes("art.tga.preload", std::string(bytes.begin(), bytes.end()));
    writeImage("art.tga", 32, 16);
    {
        FileManager maker(true);
        maker.wadOutputFolder = u"";
        maker.useWad(u"bad.wad");
        delete maker.open(nullptr, u"art.tga.preload");
        delete maker.open(nullptr, u"art.tga");
    }
    engine->pFileManager->bUseWad = true;
    engine->pFileManager->useWad(u"bad.wad");
    detachObjectListForExit();
    EXPECT_EXIT(Texture(0, u"art.tga"), testing::ExitedWithCode(255), "");
}

// Eight changed bytes in a record would make a small picture a 16384 x 16384 texture (gigabytes):
// a record whose size disagrees with its picture is damage, refused before any texture is made.
TEST_F(TextureTest, ArchiveRecordWhoseSizeDisagreesWithThePictureIsDamage) {
    struct Case {
        int32_t width, height;
    } cases[] = {{16384, 16384}, {32, 17}, {16, 16}};
    for (const Case& c : cases) {
        PreloadRecord record;
        record.width = c.width;
        record.height = c.height;
        record.skins.push_back(PreloadSkin{0, 0, 4, 4, 0, 0});
        const std::vector<uint8_t> bytes = record.toBytes();
        writeFileBytes("art.tga.preload", std::string(bytes.begin(), bytes.end()));
        writeImage("art.tga", 32, 16);
        std::remove("sized.wad");
        {
            FileManager maker(true);
            maker.wadOutputFolder = u"";
            maker.useWad(u"sized.wad");
            delete maker.open(nullptr, u"art.tga.preload");
            delete maker.open(nullptr, u"art.tga");
        }
        engine->pFileManager->bUseWad = true;
        engine->pFileManager->directory.clear();
        engine->pFileManager->useWad(u"sized.wad");
        detachObjectListForExit();
        EXPECT_EXIT(
            {
                Texture t(0, u"art.tga");
                t.makeResident();
            },
            testing::ExitedWithCode(255),
            "Damaged skin record 'art\\.tga\\.preload': it describes a " + std::to_string(c.width) + "x" + std::to_string(c.height) +
                " image, the image is 32x16\\.")
            << c.width << "x" << c.height;
    }
}

TEST_F(TextureTest, WideImageSplitsIntoBorderedTiles) {
    writeImage("wide.tga", 300, 200);
    writeFileBytes("wide.tga.ini", "[Skin 0]\nleft=250\ntop=10\nwidth=10\nheight=20\n");
    Texture t(0, u"wide.tga");
    ASSERT_EQ(t.tiles->countChildren(), 2);
    auto* first = static_cast<Texture*>(t.tiles->firstChild);
    auto* second = static_cast<Texture*>(first->next);
    EXPECT_EQ(first->tileName, u"wide.tga@(0,0)");
    EXPECT_EQ(second->tileName, u"wide.tga@(254,0)");
    ASSERT_EQ(t.skins.size(), 1u);
    auto* tiled = dynamic_cast<TiledSkin*>(t.skins[0]);
    ASSERT_NE(tiled, nullptr);
    ASSERT_EQ(tiled->columns, 2);
    ASSERT_EQ(tiled->rows, 1);
    Quad* a = tiled->cells[0];
    Quad* b = tiled->cells[1];
    EXPECT_EQ(a->pTexture, first);
    EXPECT_EQ(b->pTexture, second);
    EXPECT_EQ(a->sourceRect.left, 251);
    EXPECT_EQ(a->sourceRect.right, 255);
    EXPECT_EQ(b->sourceRect.left, 1);
    EXPECT_EQ(b->sourceRect.right, 7);
    EXPECT_EQ(a->sourceRect.top, 10);  // the vertical axis is not split
    EXPECT_EQ(tiled->width, 10);
    EXPECT_EQ(tiled->height, 20);
}

TEST_F(TextureTest, EdgeTilesAreOnlyAsLargeAsWhatTheyHoldNeeds) {
    // Each tile's texture: the full side where the picture fills it, else the next power of two
    // above what loadTiles writes there (the picture's part, its borders and the copy of its last
    // column or row), so that at least one transparent black texel follows on each axis, as in a
    // texture of the full side.
    struct Case {
        int w, h;
        std::vector<std::pair<uint32_t, uint32_t>> tiles;  // row by row
    };
    const Case cases[] = {
        {300, 20, {{256, 32}, {64, 32}}},                 // 46 columns + 2 borders; 20 rows + 1 copy
        {800, 600, {{256, 256}, {256, 256}, {256, 256}, {64, 256},    // 38 + 2 columns
                    {256, 256}, {256, 256}, {256, 256}, {64, 256},
                    {256, 128}, {256, 128}, {256, 128}, {64, 128}}},  // 92 + 2 rows
        {1024, 32, {{256, 64}, {256, 64}, {256, 64}, {256, 64}, {16, 64}}},
        {508, 255, {{256, 256}, {256, 256}}},             // 1 + 254 + 1 columns, 255 + 1 rows: full
        {256, 300, {{256, 256}, {256, 64}}},              // a full-width column: 256 wide
        {316, 31, {{256, 64}, {128, 64}}},                // 64 columns and 32 rows held: one more each
    };
    for (const Case& c : cases) {
        writeImage("edge.tga", c.w, c.h, true, [](int, int) { return 0xFF808080u; });
        Texture t(0, u"edge.tga");
        ASSERT_EQ(t.tiles->countChildren(), int(c.tiles.size())) << c.w << "x" << c.h;
        t.makeResident();
        size_t i = 0;
        for (BasicLink* l = t.tiles->firstChild; l; l = l->next, ++i) {
            auto* tile = static_cast<Texture*>(l);
            auto* dx = static_cast<RecordingDevice::Texture*>(tile->dxTexture);
            ASSERT_NE(dx, nullptr);
            EXPECT_EQ(std::make_pair(dx->width, dx->height), c.tiles[i]) << c.w << "x" << c.h << " tile " << i;
            EXPECT_EQ(tile->realWidth, int(dx->width));
            // Past what a fitted tile holds, its last column or row, the texels are transparent black.
            uint32_t lastColumn = 0, lastRow = 0;
            for (uint32_t y = 0; y < dx->height; ++y) lastColumn |= dx->pixels[size_t(y) * dx->width + dx->width - 1];
            for (uint32_t x = 0; x < dx->width; ++x) lastRow |= dx->pixels[size_t(dx->height - 1) * dx->width + x];
            if (dx->width < 256) EXPECT_EQ(lastColumn, 0u) << c.w << "x" << c.h << " tile " << i;
            if (dx->height < 256) EXPECT_EQ(lastRow, 0u) << c.w << "x" << c.h << " tile " << i;
            // The quads on the tile address its own size: texture coordinates of whole texels.
            for (Skin* skin : tile->skins) {
                auto* q = static_cast<Quad*>(skin);
                EXPECT_FLOAT_EQ(q->texRight * float(dx->width), float(q->sourceRect.right));
            }
        }
    }
}

TEST_F(TextureTest, DoubleResolutionArtSplitsAtTwiceTheSize) {
    engine->hq2x = 2;
    writeImage("wide2.tga", 600, 100);
    Texture t(0, u"wide2.tga");
    EXPECT_EQ(t.realWidth, 512);
    ASSERT_EQ(t.tiles->countChildren(), 2);
    EXPECT_EQ(static_cast<Texture*>(t.tiles->lastChild)->tileName, u"wide2.tga@(508,0)");
    EXPECT_EQ(t.skins[0]->width, 300);  // layout units: pixels / 2
    EXPECT_EQ(t.skins[0]->height, 50);
}

TEST_F(TextureTest, HalvingKeepsCoordinatesOfTheFullSizeImage) {
    writeImage("big.tga", 1024, 512);
    Texture t(Texture::FLAG_HALVE_TO_FIT | Texture::FLAG_ALLOW_512, u"big.tga");
    EXPECT_EQ(t.realWidth, 512);
    EXPECT_EQ(t.scaleFactor, 2);
    EXPECT_EQ(t.width, 1024);
    auto* q = static_cast<Quad*>(t.skins[0]);
    EXPECT_FLOAT_EQ(q->texRight, 1.0f);
    EXPECT_EQ(q->width, 1024);
    t.select();
    ASSERT_NE(t.dxTexture, nullptr);
    EXPECT_EQ(t.scaleFactor, 2);
    EXPECT_EQ(t.width, 1024);
    // Pixel (2x, 0) of the halved picture is the mean of the 2 x 2 block at (4x, 0).
    auto* dx = static_cast<RecordingDevice::Texture*>(t.dxTexture);
    EXPECT_EQ(dx->pixels[10] & 0x00FF0000, uint32_t((20 + 21) / 2) << 16);
}

TEST_F(TextureTest, ResidentOnUseReleasedOnDeviceLossAndPurgeWhenUnused) {
    writeImage("art.tga", 16, 16);
    Texture t(0, u"art.tga");
    EXPECT_EQ(t.dxTexture, nullptr);
    const int before = residentTextureBytes;
    engine->frameCount = 5;
    t.select();
    ASSERT_NE(t.dxTexture, nullptr);
    EXPECT_EQ(residentTextureBytes - before, 4 * 256 * 256);
    auto* dx = static_cast<RecordingDevice::Texture*>(t.dxTexture);
    EXPECT_EQ(dx->pixels[size_t(3 * 256 + 7)], 0xFF070300u);
    EXPECT_EQ(statistic(Qel::STAT_TEXTURES_USED), 1);
    t.select();
    EXPECT_EQ(statistic(Qel::STAT_TEXTURES_USED), 1);  // once per frame

    engine->frameCount = 6;
    t.purge();  // used in the previous frame: kept
    EXPECT_NE(t.dxTexture, nullptr);
    t.onQELmodeChange(Qel::MODE_PAUSED, Qel::MODE_FROZEN);
    EXPECT_EQ(t.dxTexture, nullptr);
    EXPECT_EQ(residentTextureBytes, before);
    t.select();
    EXPECT_NE(t.dxTexture, nullptr);
    engine->frameCount = 8;
    t.purge();
    EXPECT_EQ(t.dxTexture, nullptr);
    engine->frameCount = 0;
}

TEST_F(TextureTest, TilesOfAPictureArePurgedTogetherAndComeBackFromTheFile) {
    writeImage("wide.tga", 300, 20);
    Texture t(0, u"wide.tga");
    ASSERT_EQ(t.tiles->countChildren(), 2);
    auto* first = static_cast<Texture*>(t.tiles->firstChild);
    auto* second = static_cast<Texture*>(first->next);
    engine->frameCount = 10;
    first->select();
    ASSERT_NE(first->dxTexture, nullptr);
    ASSERT_NE(second->dxTexture, nullptr);
    const int resident = residentTextureBytes;

    // Only the second tile drawn lately: both stay, as they come back together.
    engine->frameCount = 20;
    second->select();
    engine->frameCount = 21;
    t.purge();
    EXPECT_NE(first->dxTexture, nullptr);
    EXPECT_NE(second->dxTexture, nullptr);
    // A tile on its own is never dropped: its picture belongs to the whole.
    engine->frameCount = 30;
    second->purge();
    EXPECT_NE(second->dxTexture, nullptr);

    t.purge();
    EXPECT_EQ(first->dxTexture, nullptr);
    EXPECT_EQ(second->dxTexture, nullptr);
    // The first tile is 256 wide, the second only as wide as its 46 columns and two borders need;
    // both as high as the picture's 20 rows and the copy of its last row need.
    EXPECT_EQ(residentTextureBytes, resident - 4 * (256 + 64) * 32);
    // Drawing one tile again reads the picture again: the other tile's texels (and its border
    // column copied from the first) are the picture's.
    second->select();
    ASSERT_NE(first->dxTexture, nullptr);
    auto* dx = static_cast<RecordingDevice::Texture*>(second->dxTexture);
    ASSERT_NE(dx, nullptr);
    ASSERT_EQ(dx->width, 64u);
    EXPECT_EQ(dx->pixels[size_t(3 * 64 + 1)], 0xFF000000u | 254u << 16 | 3u << 8);   // picture (254, 3)
    EXPECT_EQ(dx->pixels[size_t(5 * 64 + 30)], 0xFF000000u | 283u % 256 << 16 | 5u << 8);  // picture (283, 5)
    EXPECT_EQ(residentTextureBytes, resident);
    engine->frameCount = 0;
}

TEST_F(TextureTest, PurgingEveryTextureKeepsWhatOnlyTheDeviceHolds) {
    writeImage("idle.tga", 8, 8);
    writeImage("drawn.tga", 8, 8);
    Texture idle(0, u"idle.tga");
    Texture drawn(0, u"drawn.tga");
    // Pixels written by the program (a glyph cache, a picture made in play) live only in the
    // device texture, with or without a kept copy: never dropped, however long unused.
    Texture written(32, 32, 0);
    Texture kept(32, 32, Texture::FLAG_KEEP_IMAGE);
    MemoryImageFile pixels(2, 2);
    for (int i = 0; i < 4; ++i) pixels.pImageData[i] = 0xFF345678;
    written.copyImageData(&pixels, nullptr, nullptr);
    kept.getSavedSourceData()->blit(&pixels, nullptr, nullptr);
    kept.copyImageData(&pixels, nullptr, nullptr);
    engine->frameCount = 40;
    idle.select();
    engine->frameCount = 50;
    drawn.select();
    engine->frameCount = 51;

    Texture::purgeUnused();
    EXPECT_EQ(idle.dxTexture, nullptr);
    EXPECT_NE(drawn.dxTexture, nullptr);
    for (Texture* t : {&written, &kept}) {
        auto* dx = static_cast<RecordingDevice::Texture*>(t->dxTexture);
        ASSERT_NE(dx, nullptr);
        EXPECT_EQ(dx->pixels[size_t(1 * 256 + 1)], 0xFF345678u);
    }
    idle.select();
    auto* dx = static_cast<RecordingDevice::Texture*>(idle.dxTexture);
    ASSERT_NE(dx, nullptr);
    EXPECT_EQ(dx->pixels[size_t(2 * 256 + 5)], 0xFF050200u);
    engine->frameCount = 0;
}

TEST_F(TextureTest, SixteenBitBackBufferDithersUnlessTheTextureSaysNo) {
    writeImage("grey.tga", 8, 8, false, [](int, int) { return 0xFF7F7F7Fu; });
    graphics->backBufferBits = 16;
    engine->ditherDepth = 15;
    for (uint32_t flags : {0u, uint32_t(Texture::FLAG_NO_DITHER)}) {
        Texture t(flags, u"grey.tga");
        t.select();
        auto* dx = static_cast<RecordingDevice::Texture*>(t.dxTexture);
        ASSERT_NE(dx, nullptr);
        int lowBits = 0;
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) lowBits |= int(dx->pixels[size_t(y * 256 + x)] & 0x070707);
        EXPECT_EQ(lowBits != 0, flags != 0) << flags;
    }
}

TEST_F(TextureTest, EmptyTextureKeepsItsImageAcrossALossOnlyWithFlag8) {
    for (uint32_t flags : {0u, uint32_t(Texture::FLAG_KEEP_IMAGE)}) {
        Texture t(64, 32, flags);
        MemoryImageFile pixels(4, 4);
        for (int i = 0; i < 16; ++i) pixels.pImageData[i] = 0xFF123456;
        PixelPoint at{10, 5};
        t.copyImageData(&pixels, nullptr, &at);
        if (flags) t.getSavedSourceData()->blit(&pixels, nullptr, &at);
        auto* dx = static_cast<RecordingDevice::Texture*>(t.dxTexture);
        ASSERT_NE(dx, nullptr);
        EXPECT_EQ(dx->pixels[size_t(5 * 256 + 10)], 0xFF123456u);
        t.onQELmodeChange(Qel::MODE_PAUSED, Qel::MODE_FROZEN);
        t.select();
        dx = static_cast<RecordingDevice::Texture*>(t.dxTexture);
        EXPECT_EQ(dx->pixels[size_t(5 * 256 + 10)], flags ? 0xFF123456u : 0u) << flags;
    }
}

TEST_F(TextureTest, CopyOutsideTheTextureIsFatal) {
    Texture t(64, 32, 0);
    MemoryImageFile pixels(4, 4);
    PixelPoint at{254, 0};
    detachObjectListForExit();
    EXPECT_EXIT(t.copyImageData(&pixels, nullptr, &at), testing::ExitedWithCode(255), "");
}

TEST(PreloadRecord, ReadsWhatItWrites) {
    PreloadRecord record;
    record.width = 300;
    record.height = 200;
    record.bHasAlpha = true;
    record.skins = {{0, 0, 300, 200, 0, 0}, {250, 10, 10, 20, -3, 7}};
    std::vector<uint8_t> bytes = record.toBytes();
    ASSERT_EQ(bytes.size(), 20u + 2 * 24u);
    PreloadRecord back;
    WString reason;
    ASSERT_TRUE(back.read(bytes.data(), bytes.size(), reason));
    EXPECT_EQ(back.width, 300);
    EXPECT_TRUE(back.bHasAlpha);
    ASSERT_EQ(back.skins.size(), 2u);
    EXPECT_EQ(back.skins[1].originAdjustX, -3);
    EXPECT_EQ(back.skins[1].originAdjustY, 7);
}

TEST(PreloadRecord, DamagedRecordsAreRefusedWithAReason) {
    PreloadRecord good;
    good.width = 64;
    good.height = 32;
    good.skins = {{0, 0, 8, 8, 0, 0}};
    const std::vector<uint8_t> base = good.toBytes();
    struct Case {
        const char* what;
        size_t offset;  // byte to change (or the new length when truncating)
        int32_t value;
        bool truncate;
    } cases[] = {
        {"short header", 19, 0, true},     {"short skin list", 43, 0, true},  {"count too large", 16, 2, false},
        {"negative count", 16, -1, false}, {"huge count", 16, 0x7FFFFFFF, false}, {"zero width", 4, 0, false},
        {"negative height", 8, -5, false}, {"huge width", 4, 1 << 20, false},  {"skin outside", 20, 60, false},
        {"negative skin size", 28, -1, false},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> bytes = base;
        if (c.truncate) {
            bytes.resize(c.offset);
        } else {
            for (int i = 0; i < 4; ++i) bytes[c.offset + size_t(i)] = uint8_t(uint32_t(c.value) >> (8 * i));
        }
        PreloadRecord record;
        WString reason;
        EXPECT_FALSE(record.read(bytes.data(), bytes.size(), reason)) << c.what;
        EXPECT_FALSE(reason.empty()) << c.what;
        EXPECT_TRUE(record.skins.empty()) << c.what;
    }
}

}  // namespace
