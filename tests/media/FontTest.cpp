// Bitmap fonts, GDI fonts and the font cache on the recording device: glyphs by code page,
// composites, measuring, glyph and cache paths, cache lines, reuse and device loss.

#include <gtest/gtest.h>

#include <fstream>

#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/FontCache.h"
#include "media/FontCacheEntry.h"
#include "media/FontGDI.h"
#include "media/FontQuad.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "TextureFixture.h"

namespace {

class FontTest : public TextureFixture {
protected:
    // A glyph texture of 'count' skins of w by h pixels in one row (glyph k drawn in grey k + 1).
    std::unique_ptr<Texture> glyphTexture(const std::string& name, int count, int w, int h) {
        writeImage(name, count * w, h, true, [w](int x, int) { return 0xFF000000u | uint32_t(x / w + 1); });
        std::ofstream ini(name + ".ini");
        for (int k = 0; k < count; ++k)
            ini << "[Skin " << k << "]\nleft=" << k * w << "\ntop=0\nwidth=" << w << "\nheight=" << h << "\n";
        ini.close();
        return std::make_unique<Texture>(0, utf8ToWide(name));
    }
    int draws() const {
        int n = 0;
        for (const std::string& call : device->calls)
            if (call.rfind("DrawPrimitive", 0) == 0) ++n;
        return n;
    }
};

TEST_F(FontTest, GlyphsTakeCodePagePositionsAndTheSpaceHasNone) {
    auto t = glyphTexture("glyphs.tga", 40, 6, 10);
    FontQuad font;
    font.addSourceTexture(t.get(), 0);
    EXPECT_EQ(font.getSymbol(u'!').pBaseQuad, t->skins[33]);
    EXPECT_EQ(font.getSymbol(u' ').pBaseQuad, nullptr);
    EXPECT_EQ(font.getSymbol(0x0000).pBaseQuad, t->skins[0]);
    EXPECT_EQ(font.nextSymbolToLoad, 40);
    EXPECT_EQ(font.fontHeightRaw, 10);
    EXPECT_EQ(t->skins[33]->originOffset.x, -3);  // anchored top-left
    EXPECT_EQ(t->skins[33]->originOffset.y, 5);

    FontQuad second;
    auto u = glyphTexture("more.tga", 2, 6, 10);
    second.addSourceTexture(u.get(), 33);
    EXPECT_EQ(second.getSymbol(u'!').pBaseQuad, u->skins[0]);
    EXPECT_EQ(second.getSymbol(u'"').pBaseQuad, u->skins[1]);
}

TEST_F(FontTest, AGlyphGivenTwiceAndTooManyGlyphsAreFatal) {
    auto t = glyphTexture("glyphs.tga", 4, 6, 10);
    FontQuad font;
    font.addSourceTexture(t.get(), 65);
    detachObjectListForExit();
    EXPECT_EXIT(font.addSourceTexture(t.get(), 66), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(font.addSourceTexture(t.get(), 254), testing::ExitedWithCode(255), "");
}

TEST_F(FontTest, MeasuringWithNegativeSpacingAndTrailingSpacing) {
    auto t = glyphTexture("glyphs.tga", 3, 6, 10);
    FontQuad font;
    font.letterSpacing = -2;
    font.spaceWidth = 16;
    font.addSourceTexture(t.get(), 65);  // A, B, C
    EXPECT_EQ(font.measureLine(false, nullptr, u"A B"), std::make_pair(6 - 2 + 16 + 6, 10));
    EXPECT_EQ(font.measureLine(true, nullptr, u"A B"), std::make_pair(6 - 2 + 16 + 6 - 2, 10));
    EXPECT_EQ(font.getTextWidth(u"A\x1e" u"12345678B").first, float(6 - 2 + 6 - 2));
}

TEST_F(FontTest, WidthLimitStopsBeforeTheCharacterThatPassesIt) {
    auto t = glyphTexture("glyphs.tga", 3, 6, 10);
    FontQuad font;
    font.addSourceTexture(t.get(), 65);
    int limit = 10;
    EXPECT_EQ(font.measureLine(true, &limit, u"ABC").first, 7);
    EXPECT_EQ(limit, 1);
    limit = 100;
    font.measureLine(true, &limit, u"ABC");
    EXPECT_EQ(limit, 3);
}

TEST_F(FontTest, CompositeCentresTheAccentOverTheBase) {
    auto t = glyphTexture("glyphs.tga", 1, 7, 10);
    auto accent = glyphTexture("accent.tga", 1, 3, 2);
    FontQuad font;
    font.accentLiftLower = 4;
    font.addSourceTexture(t.get(), u'e');
    font.addSourceTexture(accent.get(), 0xB4);  // acute
    font.setCompositeChar(0x00E9, u'e', 0x00B4);
    const FontSymbol& s = font.getSymbol(0x00E9);
    EXPECT_EQ(s.pBaseQuad, t->skins[0]);
    EXPECT_EQ(s.pAccentQuad, accent->skins[0]);
    EXPECT_EQ(s.accentX, (7 + 1 - 3) / 2);
    EXPECT_EQ(s.accentY, 1 + 2 - 4);
    detachObjectListForExit();
    EXPECT_EXIT(font.setCompositeChar(0x00C9, u'E', 0x00A8), testing::ExitedWithCode(255), "");
}

TEST_F(FontTest, ShortTextsGoGlyphByGlyphLongerOnesThroughTheCache) {
    auto t = glyphTexture("glyphs.tga", 3, 6, 10);
    FontQuad font;
    font.addSourceTexture(t.get(), 65);
    font.createFontCache();
    EXPECT_EQ(font.capHeight, 10);
    ASSERT_NE(font.getFontCache(), nullptr);
    EXPECT_EQ(font.getFontCache()->name, u"<unknown>10px");
    EXPECT_EQ(font.getFontCache()->lineHeight, 11);
    device->calls.clear();
    font.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"ABC");
    EXPECT_EQ(draws(), 3);
    EXPECT_EQ(font.getFontCache()->textures->countChildren(), 0);
    device->calls.clear();
    font.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"ABCA");
    EXPECT_EQ(draws(), 1);
    EXPECT_NE(font.getFontCache()->findText(u"ABCA"), nullptr);
    device->calls.clear();
    font.drawText(0, 0, 0, 0xFFFFFFFF, FontQuad::NO_FONT_CACHE, u"ABCA");
    EXPECT_EQ(draws(), 4);
}

TEST_F(FontTest, CacheLinesFillTexturesAndNameThem) {
    FontCache cache(u"Test", 16, false);
    EXPECT_EQ(cache.cacheTTLframes, 2);
    EXPECT_EQ(engine->pConfig->getInt(u"FontCache", u"cacheTTLframes"), 2);
    std::vector<uint32_t> pixels(20 * 16, 0xFFFFFFFF);
    for (int i = 0; i < 17; ++i) cache.addTextFromGDI(pixels.data(), format(u"text %d", i), 20, 16);
    ASSERT_EQ(cache.textures->countChildren(), 2);
    EXPECT_EQ(cache.lines->countChildren(), 32);
    EXPECT_EQ(static_cast<Texture*>(cache.textures->lastChild)->name, u"FontCacheTexTest[1]");
    FontCacheEntry* first = cache.findText(u"text 0");
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->pQuad->width, 20);
    EXPECT_EQ(first->pQuad->sourceRect.left, 1);
    // The text lies in the alpha only; the colour stays as cleared.
    MemoryImageFile* image = static_cast<Texture*>(cache.textures->firstChild)->getSavedSourceData();
    EXPECT_EQ(image->pImageData[1], 0xFF000000u);
    EXPECT_EQ(image->pImageData[20], 0xFF000000u);
    EXPECT_EQ(image->pImageData[0], 0u);   // the margins stay clear
    EXPECT_EQ(image->pImageData[21], 0u);
}

TEST_F(FontTest, FindingAnEmptyTextFindsNoFreeLine) {
    FontCache cache(u"Test", 16, false);
    cache.createCacheTexture();
    EXPECT_EQ(cache.findText(u""), nullptr);
}

TEST_F(FontTest, LinesLiveForTheirFramesThenAreReused) {
    FontCache cache(u"Test", 16, false);
    std::vector<uint32_t> pixels(10 * 16, 0xFFFFFFFF);
    engine->frameCount = 10;
    FontCacheEntry* line = cache.addTextFromGDI(pixels.data(), u"kept", 10, 16);
    engine->frameCount = 11;
    line->draw(nullptr);
    EXPECT_EQ(cache.getFreeLine(), line->next);  // drawn in frame 11: not yet free
    engine->frameCount = 12;
    EXPECT_EQ(cache.getFreeLine(), line->next);
    engine->frameCount = 13;
    EXPECT_EQ(cache.getFreeLine(), line);
    EXPECT_TRUE(line->text.empty());
    engine->frameCount = 0;
}

TEST_F(FontTest, GdiTextMeasuresCachesOnceAndSplitsWideTexts) {
    FontGDI font(12, Vector3(1, 1, 1), u"Arial");
    EXPECT_EQ(font.measureText(u"", nullptr, nullptr), std::make_pair(0, 12));
    auto [w, h] = font.measureText(u"Hello", nullptr, nullptr);
    EXPECT_GT(w, 20);
    EXPECT_EQ(h, 12);
    FontCacheEntry* a = font.getCacheEntry(u"Hello");
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(font.getCacheEntry(u"Hello"), a);
    EXPECT_EQ(a->pQuad->width, float(w));
    EXPECT_EQ(a->pNext, nullptr);

    const WString wide(60, u'W');
    FontCacheEntry* b = font.getCacheEntry(wide);
    ASSERT_NE(b, nullptr);
    ASSERT_NE(b->pNext, nullptr);
    EXPECT_FALSE(b->pNext->bPrimaryLine);
    EXPECT_EQ(b->pQuad->width, 254);
    float total = 0;
    for (FontCacheEntry* e = b; e; e = e->pNext) total += e->pQuad->width;
    EXPECT_EQ(total, float(font.measureText(wide, nullptr, nullptr).first));
}

TEST_F(FontTest, DeviceLossDropsTheCacheAndTheNextDrawRasterisesAgain) {
    FontGDI font(12, Vector3(1, 1, 1), u"Arial");
    font.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"Hello");
    ASSERT_EQ(font.pFontCache->textures->countChildren(), 1);
    font.pFontCache->onQELmodeChange(Qel::MODE_PAUSED, Qel::MODE_FROZEN);
    EXPECT_EQ(font.pFontCache->textures->countChildren(), 0);
    EXPECT_EQ(font.pFontCache->findText(u"Hello"), nullptr);
    font.drawText(0, 0, 0, 0xFFFFFFFF, 0, u"Hello");
    ASSERT_EQ(font.pFontCache->textures->countChildren(), 1);
    EXPECT_EQ(static_cast<Texture*>(font.pFontCache->textures->firstChild)->name, u"FontCacheTexArial12px[0]");
    EXPECT_NE(font.pFontCache->findText(u"Hello"), nullptr);
}

TEST_F(FontTest, LongFaceNameIsFatal) {
    detachObjectListForExit();
    EXPECT_EXIT(FontGDI(12, Vector3(1, 1, 1), WString(31, u'x')), testing::ExitedWithCode(255), "");
}

}  // namespace
