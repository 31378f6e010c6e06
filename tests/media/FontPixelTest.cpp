// Text drawn on the OpenGL device under Xvfb and read back: bitmap-font text glyph by glyph and
// through the font cache, aligned, and GDI text, each where its flags put it.

#include <gtest/gtest.h>

#include <fstream>

#include "media/GlyphFontFixture.h"
#include "media/FontCache.h"
#include "media/FontGDI.h"
#include "media/FontQuad.h"
#include "engine/BasicLinkIterator.h"
#include "media/Texture.h"
#include "platform/GlDevice.h"

namespace {

class FontPixelTest : public GlyphFontFixture {
protected:
    // Columns of the row that hold the colour.
    std::string row(int y, int from, int to) const {
        std::string s;
        for (int x = from; x < to; ++x) s += at(x, y) == 0xFF000000u ? '.' : '#';
        return s;
    }
};

TEST_F(FontPixelTest, GlyphTextStartsAtThePositionWithItsTopLeft) {
    makeFont();
    drawFrameWith([&] { font->drawText(0, 0, 0, 0xFFFF0000, 0, u"AB"); });
    EXPECT_EQ(row(245, 398, 415), "..######.######..");
    EXPECT_EQ(at(400, 240), 0xFFFF0000u);
    EXPECT_EQ(at(400, 249), 0xFFFF0000u);
    EXPECT_EQ(at(400, 239), 0xFF000000u);
    EXPECT_EQ(at(400, 250), 0xFF000000u);
}

TEST_F(FontPixelTest, CachedTextLandsWhereGlyphsWouldAndFlagsAlignIt) {
    makeFont();
    ASSERT_TRUE(graphics->bEnableFontCache);
    drawFrameWith([&] { font->drawText(0, 0, 0, 0xFFFF0000, 0, u"ABAB"); });
    ASSERT_NE(font->getFontCache()->findText(u"ABAB"), nullptr);
    EXPECT_EQ(row(245, 398, 429), "..######.######.######.######..");
    EXPECT_EQ(at(400, 245), 0xFFFF0000u);
    EXPECT_EQ(at(400, 239), 0xFF000000u);
    // Centred and moved up by the font height: 27 wide, so the text starts 13 to the left, its
    // top 10 above the position.
    drawFrameWith([&] { font->drawText(0, 0, 0, 0xFF00FF00, FontQuad::ALIGN_CENTER | FontQuad::ALIGN_HEIGHT, u"ABAB"); });
    EXPECT_EQ(row(235, 385, 416), "..######.######.######.######..");
    EXPECT_EQ(at(387, 230), 0xFF00FF00u);
    EXPECT_EQ(at(387, 229), 0xFF000000u);
    EXPECT_EQ(at(387, 240), 0xFF000000u);
}

TEST_F(FontPixelTest, GdiTextIsDrawnInsideItsMeasuredBox) {
    FontGDI gdi(12, Vector3(1, 1, 1), u"Arial");
    const auto [w, h] = gdi.measureText(u"Hello", nullptr, nullptr);
    drawFrameWith([&] { gdi.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"Hello"); });
    int inside = 0, outside = 0;
    for (int y = 220; y < 270; ++y) {
        for (int x = 380; x < 480; ++x) {
            const bool lit = (at(x, y) & 0xFF) > 0x40;
            const bool inBox = x >= 400 && x < 400 + w && y >= 240 && y < 240 + h;
            (inBox ? inside : outside) += lit ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
    // Right-aligned: the text ends at the position.
    drawFrameWith([&] { gdi.drawText(0, 0, 0, 0xFFFFFFFF, 0x8, u"Hello"); });
    inside = outside = 0;
    for (int y = 220; y < 270; ++y) {
        for (int x = 340; x < 440; ++x) {
            const bool lit = (at(x, y) & 0xFF) > 0x40;
            const bool inBox = x >= 400 - w && x < 400 && y >= 240 && y < 240 + h;
            (inBox ? inside : outside) += lit ? 1 : 0;
        }
    }
    EXPECT_GT(inside, 20);
    EXPECT_EQ(outside, 0);
}

TEST_F(FontPixelTest, ForcedDeviceLossRebuildsTheFontCache) {
    FontGDI gdi(12, Vector3(1, 1, 1), u"Arial");
    makeFont();
    auto frame = [&] {
        drawFrameWith([&] {
            gdi.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"Hello");
            font->drawText(0, -50, 0, 0xFFFF0000, 0, u"ABAB");
        });
    };
    frame();
    const std::vector<D3DCOLOR> before = pixels;
    auto* gl = static_cast<GlDevice*>(device);
    gl->forceLoss();
    BasicLinkIterator::forEach(&Qel::objectList, 0, [](BasicLink* e) {
        static_cast<ObjectListEntry*>(e)->object->onQELmodeChange(Qel::MODE_PAUSED, Qel::MODE_FROZEN);
    });
    EXPECT_EQ(gdi.pFontCache->textures->countChildren(), 0);
    EXPECT_EQ(font->getFontCache()->textures->countChildren(), 0);
    gl->endForcedLoss();
    ASSERT_TRUE(graphics->restorePresentation(true));
    frame();
    EXPECT_EQ(gdi.pFontCache->textures->countChildren(), 1);
    int differing = 0;
    for (size_t i = 0; i < pixels.size(); ++i)
        if ((pixels[i] | 0xFF000000) != (before[i] | 0xFF000000)) ++differing;
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(row(295, 398, 429), "..######.######.######.######..");
}

}  // namespace
