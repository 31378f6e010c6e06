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
