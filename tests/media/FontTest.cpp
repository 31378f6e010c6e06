// Bitmap fonts, GDI fonts and the font cache on the recording device: glyphs by code page,
// composites, measuring, glyph and cache paths, cache lines, reuse and device loss.

#include <gtest/gtest.h>

#include <fstream>

#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/FontCache.h"
#include "media/FontCacheEntry.h"
#include "media/FontGDI.h"
#include "media/FontQuad.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "support/RecordingDevice.h"
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
    // What the device holds of a texture (made resident).
    static const std::vector<D3DCOLOR>& texelsOf(Texture* texture) {
        texture->makeResident();
        return static_cast<RecordingDevice::Texture*>(texture->dxTexture)->pixels;
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

TEST_F(FontTest, LanguageCompositesOfCodePage1252) {
    // A full page of 4 by 4 glyphs, 16 to a row.
    writeImage("page.tga", 64, 64, true, [](int, int) { return 0xFFFFFFFFu; });
    std::ofstream ini("page.tga.ini");
    for (int k = 0; k < 256; ++k)
        ini << "[Skin " << k << "]\nleft=" << (k % 16) * 4 << "\ntop=" << (k / 16) * 4 << "\nwidth=4\nheight=4\n";
    ini.close();
    Texture page(0, u"page.tga");
    FontQuad font;
    font.addSourceTexture(&page, 0);
    EXPECT_EQ(font.getSymbol(0x20AC).pBaseQuad, page.skins[0x80]);  // the euro sign of code page 1252
    EXPECT_EQ(font.getSymbol(0x00E9).pAccentQuad, nullptr);
    font.defineCompositeChars();
    const FontSymbol& e = font.getSymbol(0x00E9);
    EXPECT_EQ(e.pBaseQuad, font.getSymbol(u'e').pBaseQuad);
    EXPECT_EQ(e.pAccentQuad, font.getSymbol(0x00B4).pBaseQuad);
    EXPECT_EQ(font.getSymbol(0x00C7).accentY, 0);  // cedilla below, not lifted
    EXPECT_EQ(font.getSymbol(0x00EC).pBaseQuad, font.getSymbol(0x007F).pBaseQuad);  // i with grave on the dotless i
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
    const std::vector<D3DCOLOR>& texels = texelsOf(static_cast<Texture*>(cache.textures->firstChild));
    EXPECT_EQ(texels[1], 0xFF000000u);
    EXPECT_EQ(texels[20], 0xFF000000u);
    EXPECT_EQ(texels[0], 0u);  // the margins stay clear
    EXPECT_EQ(texels[21], 0u);
}

TEST_F(FontTest, CacheTexturesHoldTheirLinesOnlyInTheDevice) {
    // Both clear colours: every texel outside the written text is the clear colour with alpha 0,
    // the rows below the last whole line included, and no image of a texture stays in memory.
    for (bool white : {false, true}) {
        const int32_t imagesBefore = residentImageBytes;
        FontCache cache(u"Test", 24, white);
        std::vector<uint32_t> pixels(30 * 24, 0xFF000080);
        for (int i = 0; i < 3; ++i) cache.addTextFromGDI(pixels.data(), format(u"text %d", i), 30, 24);
        auto* texture = static_cast<Texture*>(cache.textures->firstChild);
        EXPECT_EQ(texture->pSavedSourceData, nullptr);
        EXPECT_EQ(residentImageBytes, imagesBefore) << white;
        const std::vector<D3DCOLOR>& texels = texelsOf(texture);
        const uint32_t clear = white ? 0x00FFFFFFu : 0u;
        for (int line = 0; line < 3; ++line) {
            EXPECT_EQ(texels[size_t(line * 24 * 256 + 1)], clear | 0x80000000u) << white << line;
            EXPECT_EQ(texels[size_t((line * 24 + 23) * 256 + 30)], clear | 0x80000000u) << white << line;
            EXPECT_EQ(texels[size_t(line * 24 * 256 + 31)], clear) << white << line;
        }
        EXPECT_EQ(texels[size_t(3 * 24 * 256 + 1)], clear) << white;  // a line not filled yet
        EXPECT_EQ(texels[size_t(255 * 256 + 255)], clear) << white;  // below the tenth line
        // A line taken again is written whole: nothing of the longer text it held is left.
        engine->frameCount = 100;
        std::vector<uint32_t> shorter(10 * 24, 0xFF000040);
        FontCacheEntry* again = cache.addTextFromGDI(shorter.data(), u"short", 10, 24);
        EXPECT_EQ(again->cacheBounds.top, 0);
        EXPECT_EQ(texels[size_t(1)], clear | 0x40000000u) << white;
        EXPECT_EQ(texels[size_t(11)], clear) << white;
        EXPECT_EQ(texels[size_t(20)], clear) << white;
        engine->frameCount = 0;
    }
}

TEST_F(FontTest, BitmapFontLinesTakeOnlyTheirGlyphsFromThePages) {
    // Glyph k of a page is grey k + 1 at its top row and k + 101 below, so that a copy from the
    // wrong row or glyph shows. The page is read from its file for each fill, kept (flag 8) or not,
    // unless its kept image is already in memory; either way the line is the same and a kept image
    // not in memory stays out of it.
    writeImage("rows.tga", 3 * 6, 10, true, [](int x, int y) { return 0xFF000000u | uint32_t(x / 6 + (y ? 101 : 1)); });
    std::ofstream ini("rows.tga.ini");
    for (int k = 0; k < 3; ++k) ini << "[Skin " << k << "]\nleft=" << k * 6 << "\ntop=0\nwidth=6\nheight=10\n";
    ini.close();
    struct Case {
        uint32_t flags;
        bool decodedBefore;
    };
    for (const Case c : {Case{0, false}, Case{Texture::FLAG_KEEP_IMAGE, false}, Case{Texture::FLAG_KEEP_IMAGE, true}}) {
        Texture page(c.flags, u"rows.tga");
        if (c.decodedBefore) page.getSavedSourceData();
        FontQuad font;
        font.addSourceTexture(&page, 65);
        font.createFontCache();
        const int32_t imagesBefore = residentImageBytes;
        FontCacheEntry* line = font.getFontCache()->addTextFromFontQuad(&font, u"CABC");
        ASSERT_NE(line, nullptr);
        EXPECT_EQ(residentImageBytes, imagesBefore) << c.flags << c.decodedBefore;
        if (c.flags && !c.decodedBefore) EXPECT_EQ(page.pSavedSourceData->pImageData, nullptr);
        auto* texture = static_cast<Texture*>(font.getFontCache()->textures->firstChild);
        const std::vector<D3DCOLOR>& texels = texelsOf(texture);
        const int advance = font.getAdvance(font.getSymbol(u'A')) + font.getSymbol(u'A').spacing;
        const uint32_t glyphOrder[] = {2, 0, 1, 2};
        for (int i = 0; i < 4; ++i) {
            const size_t left = size_t(1 + i * advance);
            EXPECT_EQ(texels[left], 0xFF000000u | (glyphOrder[i] + 1)) << i;
            EXPECT_EQ(texels[9 * 256 + left + 5], 0xFF000000u | (glyphOrder[i] + 101)) << i;
        }
        EXPECT_EQ(texels[size_t(1 + 4 * advance)], 0u);
    }
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

TEST_F(FontTest, EngineOwnsATwelvePixelArialFont) {
    ASSERT_NE(engine->pFontGDI, nullptr);
    EXPECT_EQ(engine->pFontGDI->pixelHeight, 12);
    EXPECT_EQ(engine->pFontGDI->rawHeight, 12);
    EXPECT_EQ(engine->pFontGDI->fontBaselineRaw, 9);
    EXPECT_EQ(engine->pFontGDI->pFontCache->name, u"Arial12px");
    EXPECT_EQ(engine->pFontGDI->pFontCache->lineHeight, 13);
}

TEST_F(FontTest, NumberedGlyphTexturesFollowOneAnother) {
    auto first = glyphTexture("a.tga", 34, 6, 10);
    auto second = glyphTexture("b.tga", 2, 6, 10);
    engine->pResourceManager->addResource(first.get(), u"Fnt1");
    engine->pResourceManager->addResource(second.get(), u"Fnt2");
    FontQuad font;
    font.loadFontTextures(u"Fnt");
    EXPECT_EQ(font.fontName, u"Fnt");
    EXPECT_EQ(font.nextSymbolToLoad, 36);
    EXPECT_EQ(font.getSymbol(u'!').pBaseQuad, first->skins[33]);
    EXPECT_EQ(font.getSymbol(u'"').pBaseQuad, second->skins[0]);
    EXPECT_EQ(font.getSymbol(u'#').pBaseQuad, second->skins[1]);
}

TEST_F(FontTest, PixelScaleOfZeroCountsAsOne) {
    engine->hq2x = 0;
    FontGDI font(12, Vector3(1, 1, 1), u"Arial");
    EXPECT_GT(font.measureText(u"Hi", nullptr, nullptr).first, 0);
    EXPECT_EQ(font.pFontCache->textureSide, 256);
    Texture t(64, 32, 0);
    auto* q = static_cast<Quad*>(t.skins[0]);
    EXPECT_EQ(q->width, 64);
    EXPECT_FLOAT_EQ(q->texRight, 0.25f);
}

TEST_F(FontTest, LongFaceNameIsFatal) {
    detachObjectListForExit();
    EXPECT_EXIT(FontGDI(12, Vector3(1, 1, 1), WString(31, u'x')), testing::ExitedWithCode(255), "");
}

}  // namespace
