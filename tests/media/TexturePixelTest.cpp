// Textured drawing on the OpenGL device under Xvfb, read back from the back buffer: a tinted
// quad, texels dropped by the alpha test, a point-filtered checkerboard drawn crisp, the tiles of
// an over-sized image joined without seams, and textures brought back after a device loss.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>

#include "engine/BasicLinkIterator.h"
#include "engine/FileManager.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/Camera.h"
#include "media/MemoryImageFile.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "media/TiledSkin.h"
#include "platform/GlDevice.h"
#include "support/GlTestWindow.h"
#include "support/TestFolder.h"
#include "GlPixelFixture.h"

namespace {

using TexturePixelTest = GlPixelFixture;

TEST_F(TexturePixelTest, TintedQuadModulatesTheTexture) {
    writeImage("solid.tga", 32, 32, [](int, int) { return 0xFFC08040u; });
    Texture t(0, u"solid.tga");
    drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFF808080);
    EXPECT_TRUE(near(at(400, 240), 0xFF604020, 2)) << std::hex << at(400, 240);
    EXPECT_TRUE(near(at(385, 225), 0xFF604020, 2));
    EXPECT_EQ(at(383, 240), 0xFF000000u);
    EXPECT_EQ(at(417, 240), 0xFF000000u);
    drawFrame(t.skins[0], Vector3(100, 50, 0), 0xFFFFFFFF);
    EXPECT_TRUE(near(at(500, 190), 0xFFC08040, 1)) << std::hex << at(500, 190);
    EXPECT_EQ(at(400, 240), 0xFF000000u);
}

TEST_F(TexturePixelTest, TexelsOfAlphaZeroAreDropped) {
    writeImage("half.tga", 16, 16, [](int x, int) { return x < 8 ? 0x00FFFFFFu : 0xFF00FF00u; });
    Texture t(0, u"half.tga");
    drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFFFFFFFF, 0xFF0000FF);
    EXPECT_EQ(at(394, 240), 0xFF0000FFu);  // transparent texels leave the background
    EXPECT_EQ(at(404, 240), 0xFF00FF00u);
}

TEST_F(TexturePixelTest, CheckerboardIsCrispWithPointFiltering) {
    auto checker = [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFFFu : 0xFF000000u; };
    writeImage("checker.tga", 16, 16, checker);
    Texture t(0, u"checker.tga");
    drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFFFFFFFF, 0xFF808080);
    int wrong = 0;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x)
            if (at(392 + x, 232 + y) != checker(x, y)) ++wrong;
    EXPECT_EQ(wrong, 0);
    EXPECT_EQ(at(391, 240), 0xFF808080u);
    EXPECT_EQ(at(408, 240), 0xFF808080u);
}

TEST_F(TexturePixelTest, TilesOfAnOversizedImageJoinWithoutSeams) {
    auto gradient = [](int x, int y) { return 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(x >> 8) << 15 | uint32_t(y * 5); };
    writeImage("wide.tga", 300, 40, gradient);
    Texture t(0, u"wide.tga");
    ASSERT_EQ(t.tiles->countChildren(), 2);
    for (bool bilinear : {false, true}) {
        graphics->bBilinearFilter = bilinear;
        drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFFFFFFFF);
        int wrong = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 300; ++x)
                if (!near(at(250 + x, 220 + y), gradient(x, y), bilinear ? 1 : 0)) ++wrong;
        EXPECT_EQ(wrong, 0) << bilinear;
    }
}

TEST_F(TexturePixelTest, FourTilesJoinWithoutSeamsInBothDirections) {
    auto pattern = [](int x, int y) { return 0xFF000000u | uint32_t(x & 0xFF) << 16 | uint32_t(y & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF); };
    writeImage("square.tga", 300, 300, pattern);
    writeFileBytes("square.tga.ini", "[Skin 0]\nleft=0\ntop=0\nwidth=300\nheight=300\n[Skin 1]\nleft=240\ntop=240\nwidth=30\nheight=30\n");
    Texture t(0, u"square.tga");
    ASSERT_EQ(t.tiles->countChildren(), 4);
    for (bool bilinear : {false, true}) {
        graphics->bBilinearFilter = bilinear;
        drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFFFFFFFF);
        int wrong = 0;
        for (int y = 0; y < 300; ++y)
            for (int x = 0; x < 300; ++x)
                if (!near(at(250 + x, 90 + y), pattern(x, y), bilinear ? 1 : 0)) ++wrong;
        EXPECT_EQ(wrong, 0) << bilinear;
    }
    graphics->bBilinearFilter = false;
    int wrong = 0;
    // A skin across the corner of all four tiles, anchored at its bottom-left corner.
    t.skins[1]->setAnchor(1);
    drawFrame(t.skins[1], Vector3(0, 0, 0), 0xFFFFFFFF);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 30; ++x)
            if (at(400 + x, 210 + y) != pattern(240 + x, 240 + y)) ++wrong;
    EXPECT_EQ(wrong, 0);
}

TEST_F(TexturePixelTest, AnEdgeTileFittedToWhatItHoldsDrawsAsAFullOneWould) {
    // The 300-wide picture's second tile is fitted (64 texels wide, 64 high); the same picture
    // inside a 508-wide one, whose column 300 repeats column 299 as the fitted tile's border does
    // and whose further columns are transparent, has a second tile of the full 256 side with the
    // same texels where its quads reach. Scaled and filtered, or scaled, turned and point-sampled,
    // both draw the same pixels.
    auto picture = [](int x, int y) {
        return 0xFF000000u | uint32_t(x * 7 & 0xFF) << 16 | uint32_t(y * 29 & 0xFF) << 8 | uint32_t((x ^ y) & 0xFF);
    };
    writeImage("fitted.tga", 300, 40, picture);
    writeImage("full.tga", 508, 40, [&](int x, int y) { return x < 300 ? picture(x, y) : x == 300 ? picture(299, y) : 0u; });
    writeFileBytes("full.tga.ini", "[Skin 0]\nleft=0\ntop=0\nwidth=300\nheight=40\n");
    Texture fitted(0, u"fitted.tga"), full(0, u"full.tga");
    ASSERT_EQ(fitted.tiles->countChildren(), 2);
    ASSERT_EQ(full.tiles->countChildren(), 2);
    EXPECT_EQ(static_cast<Texture*>(fitted.tiles->lastChild)->realWidth, 64);
    EXPECT_EQ(static_cast<Texture*>(full.tiles->lastChild)->realWidth, 256);
    struct Case {
        bool bilinear;
        float turn;
    };
    for (const Case c : {Case{true, 0.0f}, Case{false, 0.35f}}) {
        graphics->bBilinearFilter = c.bilinear;
        std::vector<D3DCOLOR> drawn[2];
        for (int k = 0; k < 2; ++k) {
            drawFrameWith(
                [&] {
                    Renderable r;
                    const Vector3 position(-20, 10, 0), rotation(0, 0, c.turn), scale(1.37f, 2.3f, 1);
                    r.set((k ? full : fitted).skins[0], &position, &rotation, &scale, nullptr, nullptr);
                    r.updateXform();
                    r.render();
                },
                0xFF203040);
            drawn[k] = pixels;
        }
        ASSERT_EQ(drawn[0].size(), drawn[1].size());
        int differ = 0, covered = 0;
        for (size_t i = 0; i < drawn[0].size(); ++i) {
            if (drawn[0][i] != drawn[1][i]) ++differ;
            if ((drawn[1][i] | 0xFF000000u) != 0xFF203040u) ++covered;
        }
        EXPECT_GT(covered, 300 * 40) << c.bilinear;
        EXPECT_EQ(differ, 0) << c.bilinear;
    }
    graphics->bBilinearFilter = false;
}

TEST_F(TexturePixelTest, ForcedDeviceLossBringsTexturesBack) {
    writeImage("solid.tga", 32, 32, [](int, int) { return 0xFF3366CCu; });
    Texture t(0, u"solid.tga");
    drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFFFFFFFF);
    ASSERT_NE(t.dxTexture, nullptr);
    auto* gl = static_cast<GlDevice*>(device);
    gl->forceLoss();
    BasicLinkIterator::forEach(&Qel::objectList, 0, [](BasicLink* e) {
        static_cast<ObjectListEntry*>(e)->object->onQELmodeChange(Qel::MODE_PAUSED, Qel::MODE_FROZEN);
    });
    EXPECT_EQ(t.dxTexture, nullptr);
    gl->endForcedLoss();
    ASSERT_TRUE(graphics->restorePresentation(true));
    drawFrame(t.skins[0], Vector3(0, 0, 0), 0xFFFFFFFF);
    EXPECT_NE(t.dxTexture, nullptr);
    EXPECT_EQ(at(400, 240), 0xFF3366CCu);
}

}  // namespace
