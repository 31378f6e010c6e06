// The generated pictures and glyph pages checked for what the player must be able to read: red
// captions on the highlighted button frame, the dialog panel that hides the screen beneath it,
// snowflakes that let the text under them through, the menu background kept plain where the
// menus and the legal line are drawn over it, accents sitting on their capitals and the thin
// no-break space of French texts. Read from the archives the build generates beside the program.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

#include "ui/AppText.h"
#include "menus/ContextMain.h"
#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "runtime/QelRuntime.h"
#include "ui/MenuItem.h"
#include "engine/EngineFixture.h"
#include "engine/FileManager.h"
#include "engine/Product.h"
#include "engine/ResourceManager.h"
#include "engine/Utilities.h"
#include "language/Language.h"
#include "media/FontQuad.h"
#include "media/MemoryImageFile.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"
#include "media/Texture.h"
#include "support/GeneratedData.h"

namespace {

// The engine with the generated main archive mounted; with 'load' the loader's steps run too,
// so the fonts and the menus' pictures are registered.
class GeneratedArt : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        const WString folder = getDataArchiveFolder();
        for (const char16_t* archive : {u"VeskDiruzuri.dat", u"VeskDiruzuri.dat.language.v2", u"VeskDiruzuri.dat.1252"})
            VESK_REQUIRE_GENERATED(fileExists(folder + archive), wideToUtf8(folder + archive));
        start();
        engine->singleLanguage = 0;
        application = new GameGlobal();
        loader = application->initPreLoader();
    }
    void TearDown() override {
        delete application;
        application = nullptr;
        EngineTestOn<QelRuntime>::TearDown();
    }
    void loadEverything() {
        while (loader->currentStep < Loader::STEP_COUNT - 1) loader->loadStuff(false);
    }

    // The pixels of one skin of a picture in the archives, rows from the top.
    struct SkinPixels {
        int width = 0, height = 0;
        std::vector<uint32_t> argb;
        uint32_t at(int x, int y) const { return argb[size_t(y) * size_t(width) + size_t(x)]; }
    };
    SkinPixels skinPixels(const char16_t* file, size_t skin) {
        SkinPixels out;
        std::unique_ptr<Texture> texture(new Texture(0, file));
        EXPECT_GT(texture->skins.size(), skin) << wideToUtf8(file);
        if (texture->skins.size() <= skin) return out;
        Skin* s = texture->skins[skin];
        // A picture too big for one texture is shown in tiles; such pictures hold one skin, at
        // the top-left of the file.
        PixelRect r{0, 0, int(s->height), int(s->width)};
        if (s->isKindOf(&Quad::classRecord)) {
            r = static_cast<Quad*>(s)->sourceRect;
        } else {
            EXPECT_EQ(skin, 0u);
        }
        const MemoryImageFile image(0, file);
        out.width = r.width();
        out.height = r.height();
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) out.argb.push_back(image.pImageData[size_t(y) * size_t(image.width) + size_t(x)]);
        return out;
    }

    GameGlobal* application = nullptr;
    Loader* loader = nullptr;
};

// Relative luminance of an sRGB colour (alpha ignored).
double luminance(uint32_t argb) {
    auto channel = [](uint32_t v) {
        const double c = double(v & 0xFF) / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * channel(argb >> 16) + 0.7152 * channel(argb >> 8) + 0.0722 * channel(argb);
}

double contrastRatio(uint32_t a, uint32_t b) {
    const double la = luminance(a), lb = luminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

// 'top' drawn over 'under' with its alpha, as the graphics blend it.
uint32_t over(uint32_t top, uint32_t under) {
    const double a = double(top >> 24) / 255.0;
    uint32_t out = 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const double c = a * double((top >> shift) & 0xFF) + (1.0 - a) * double((under >> shift) & 0xFF);
        out |= uint32_t(std::lround(c)) << shift;
    }
    return out;
}

}  // namespace

TEST(ContrastRatioTest, MatchesTheKnownPairs) {
    EXPECT_NEAR(contrastRatio(0xFFFFFFFF, 0xFF000000), 21.0, 0.01);
    EXPECT_NEAR(contrastRatio(0xFFFF0000, 0xFFFFFFFF), 4.0, 0.01);
    EXPECT_NEAR(contrastRatio(0xFFFF0000, 0xFFFF0000), 1.0, 0.001);
    EXPECT_EQ(over(0x80FFFFFF, 0xFF000000), 0xFF808080u);
}

TEST_F(GeneratedArt, HighlightedCaptionsReadOnTheHighlightFrame) {
    struct Frame {
        const char16_t* file;
        int border;               // the unstretched end the caption never covers
        uint32_t highlightColour;  // the caption's colour on the highlight
    };
    // Buttons and plain items caption in red when lit, speech buttons in white.
    const Frame frames[] = {
        {u"gfx/gui/game/button.tga", 30, 0xFFFF0000},
        {u"gfx/gui/game/editbox.tga", 10, 0xFFFF0000},
        {u"gfx/gui/game/button-speech.tga", 20, 0xFFFFFFFF},
    };
    for (const Frame& f : frames) {
        SCOPED_TRACE(wideToUtf8(f.file));
        const SkinPixels normal = skinPixels(f.file, 0), lit = skinPixels(f.file, 1);
        ASSERT_GT(lit.width, 2 * f.border);
        ASSERT_EQ(normal.width, lit.width);
        ASSERT_EQ(normal.height, lit.height);
        // The middle of the frame, where the caption sits: every pixel of the lit frame over the
        // normal one gives the caption at least the 3:1 of large text.
        double worst = 100.0;
        for (int y = lit.height / 4; y < lit.height * 3 / 4; ++y)
            for (int x = f.border; x < lit.width - f.border; ++x)
                worst = std::min(worst, contrastRatio(f.highlightColour, over(lit.at(x, y), over(normal.at(x, y), 0xFF000000))));
        EXPECT_GE(worst, 3.0);
    }
}

TEST_F(GeneratedArt, DialogPanelIsOpaqueAndItsTextsRead) {
    const SkinPixels panel = skinPixels(u"gfx/gui/game/square.tga", 0);
    ASSERT_GT(panel.width, 40);
    // Inside the 20-pixel borders the frame stretches, nothing of the screen beneath shows; the
    // grey caption of the player screens (30 units below the top edge, so from the top border's
    // lower half on) and the white texts of the dialogs read on it.
    int seeThrough = 0;
    double grey = 100.0, white = 100.0;
    for (int y = 10; y < panel.height - 20; ++y)
        for (int x = 20; x < panel.width - 20; ++x) {
            const uint32_t c = panel.at(x, y);
            if (y >= 20) seeThrough += (c >> 24) != 0xFF;
            grey = std::min(grey, contrastRatio(0xFF808080, over(c, 0xFFFFFFFF)));
            white = std::min(white, contrastRatio(0xFFFFFFFF, over(c, 0xFFFFFFFF)));
        }
    EXPECT_EQ(seeThrough, 0);
    EXPECT_GE(grey, 3.0);
    EXPECT_GE(white, 4.5);
}

TEST_F(GeneratedArt, SnowflakesAreSmallAndLetTextThrough) {
    const SkinPixels flake = skinPixels(u"xmas-edition/gfx/snowflake.tga", 0);
    // The snow draws it at 0.3 and up to three times nearer than the screen plane.
    EXPECT_LE(flake.width, 32);
    EXPECT_LE(flake.height, 32);
    uint32_t most = 0;
    for (uint32_t c : flake.argb) most = std::max(most, c >> 24);
    EXPECT_GT(most, 0x40u) << "the flake must still show";
    EXPECT_LE(most, 0x99u) << "a flake hides at most 60% of what is under it";
}

TEST_F(GeneratedArt, MenuBackgroundIsPlainWhereMenusAndTheLegalLineAreDrawn) {
    loadEverything();
    const SkinPixels picture = skinPixels(u"xmas-edition/gfx/intro-bear.tga", 0);
    const int w = engine->pQelGraphics->layoutWidth, h = engine->pQelGraphics->layoutHeight;
    ASSERT_EQ(picture.width, w);
    ASSERT_EQ(picture.height, h);
    // Plain snow: light and nearly grey (the ground's gradient and its soft shadows); the
    // station, the mascot, trees, rails and train all fail it.
    auto plain = [](uint32_t c) {
        const int r = int((c >> 16) & 0xFF), g = int((c >> 8) & 0xFF), b = int(c & 0xFF);
        return std::min({r, g, b}) >= 0xB0 && std::max({r, g, b}) - std::min({r, g, b}) <= 0x40;
    };
    struct Area {
        std::string what;
        float left, right, bottom, top;  // world units; the picture is drawn 1:1 about the origin
    };
    std::vector<Area> areas;
    // Behind the main menu's buttons and between them, down to the bottom edge: the picture lies
    // at the origin under the menu's camera, so world units are its pixels.
    ContextMain menu;
    for (BasicLink* c = menu.firstChild; c; c = c->next) {
        auto* item = dynamic_cast<MenuItem*>(static_cast<QelBase*>(c));
        if (!item) continue;
        const float x = item->position.x, y = item->position.y, fw = item->frameWidth / 2.0f, fh = item->frameHeight / 2.0f;
        // The column's area reaches the bottom edge, so the gaps between its buttons count.
        areas.push_back({wideToUtf8(item->caption), x - fw, x + fw, x == 0.0f ? -float(h) / 2.0f : y - fh, y + fh});
    }
    // The legal line of the intro, in the widest of the languages, with the rows the picture
    // still glides under it: it appears at second 36 of the story, while the camera eases from
    // 424 to 0 between seconds 15 and 40.
    const float legalWidth = [&] {
        float widest = 0.0f;
        for (int language = 0; language < 5; ++language)
            widest = std::max(widest, application->pFontSmall->getTextWidth(AppText::textOfLanguage(language, u"COPYRIGHT")).first);
        return widest;
    }();
    const double t = (36.0 - 15.0) / 25.0;
    const float glide = float(424.0 * (1.0 - (0.5 + 0.5 * std::sin(t * M_PI + 1.5 * M_PI))));
    const float legalBottom = 10.0f - float(h) / 2.0f;
    areas.push_back({"legal line", 10.0f - float(w) / 2.0f, 10.0f - float(w) / 2.0f + legalWidth, legalBottom - 2.0f,
                     legalBottom + float(application->pFontSmall->lineHeight) + glide});
    ASSERT_GE(areas.size(), 7u);
    for (const Area& a : areas) {
        SCOPED_TRACE(a.what);
        int spoiled = 0, firstX = -1, firstY = -1;
        for (int py = std::max(0, int(float(h) / 2.0f - a.top)); py < std::min(h, int(std::ceil(float(h) / 2.0f - a.bottom))); ++py)
            for (int px = std::max(0, int(a.left + float(w) / 2.0f)); px < std::min(w, int(std::ceil(a.right + float(w) / 2.0f))); ++px)
                if (!plain(picture.at(px, py))) {
                    if (!spoiled) firstX = px, firstY = py;
                    ++spoiled;
                }
        EXPECT_EQ(spoiled, 0) << "first at picture pixel (" << firstX << ", " << firstY << ")";
    }
}

TEST_F(GeneratedArt, AccentsSitCloseOverTheirLetters) {
    loadEverything();
    ASSERT_EQ(WString(engine->pLanguage->getText(LANGUAGECODEPAGE)), u"1252");
    std::vector<std::unique_ptr<MemoryImageFile>> pages;
    auto imageOf = [&](const Quad* q) -> const MemoryImageFile& {
        for (auto& p : pages)
            if (p->fileName == q->pTexture->fileName) return *p;
        pages.push_back(std::make_unique<MemoryImageFile>(0, q->pTexture->fileName));
        return *pages.back();
    };
    // The first and last rows of a glyph quad holding clear ink, from its top.
    auto inkRows = [&](const Quad* q) {
        const MemoryImageFile& page = imageOf(q);
        const PixelRect& r = q->sourceRect;
        int first = -1, last = -1;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                if ((page.pImageData[size_t(y) * size_t(page.width) + size_t(x)] >> 24) > 0x80) {
                    if (first < 0) first = y - r.top;
                    last = y - r.top;
                }
        return std::pair<int, int>(first, last);
    };
    // Capitals with the accents French, German, Italian and Spanish put on them, and small letters.
    const char16_t capitals[] = {0xC0, 0xC2, 0xC4, 0xC8, 0xC9, 0xCA, 0xCB, 0xCE, 0xD1, 0xD4, 0xD6, 0xDA, 0xDB, 0xDC};
    const char16_t smalls[] = {0xE0, 0xE2, 0xE4, 0xE8, 0xE9, 0xEA, 0xEB, 0xF1, 0xF4, 0xF6, 0xF9, 0xFB, 0xFC};
    for (const char16_t* name : {u"fontMedium", u"fontMediumOutline", u"fontLarge"}) {
        SCOPED_TRACE(wideToUtf8(name));
        auto* font = static_cast<FontQuad*>(engine->pResourceManager->find(false, name));
        ASSERT_NE(font, nullptr);
        auto gap = [&](char16_t c) {
            const FontSymbol& s = font->getSymbol(c);
            EXPECT_NE(s.pAccentQuad, nullptr) << "U+" << std::hex << int(c);
            if (!s.pAccentQuad || !s.pBaseQuad) return -100;
            // The letter's glyph hangs from the font's top line; the accent's top edge is drawn
            // accentY above that line. In rows counted down from the line (negative above it):
            const int accentFoot = inkRows(s.pAccentQuad).second - s.accentY;
            const int letterTop = inkRows(s.pBaseQuad).first;
            return letterTop - accentFoot - 1;  // clear rows between them
        };
        for (char16_t c : capitals) {
            const int g = gap(c);
            EXPECT_GE(g, 0) << "accent runs into the letter at U+" << std::hex << int(c);
            EXPECT_LE(g, 2) << "accent floats above the letter at U+" << std::hex << int(c);
        }
        for (char16_t c : smalls) {
            const int g = gap(c);
            EXPECT_GE(g, 0) << "accent runs into the letter at U+" << std::hex << int(c);
            EXPECT_LE(g, 3) << "accent floats above the letter at U+" << std::hex << int(c);
        }
    }
}

TEST_F(GeneratedArt, FrenchNoBreakSpaceIsThinnerThanAWordSpace) {
    loadEverything();
    for (const char16_t* name : {u"fontTiny", u"fontSmall", u"fontMedium", u"fontMediumOutline", u"fontLarge"}) {
        SCOPED_TRACE(wideToUtf8(name));
        auto* font = static_cast<FontQuad*>(engine->pResourceManager->find(false, name));
        ASSERT_NE(font, nullptr);
        // The gaps the two spaces leave before the question mark.
        const int tight = font->measureLine(false, nullptr, u"r?").first;
        const int thin = font->measureLine(false, nullptr, u"r\u00A0?").first - tight;
        const int word = font->measureLine(false, nullptr, u"r ?").first - tight;
        EXPECT_GE(thin, 1);
        EXPECT_LT(thin, word);
        EXPECT_LE(thin * 3, word * 2) << "thin: " << thin << ", word space: " << word;
    }
}

TEST_F(GeneratedArt, ButtonCaptionsReadOnTheNormalHighlightedAndDisabledFrames) {
    // The menu buttons' grey caption on the normal frame, their red one on the highlight and the
    // half-black caption of a disabled button on the disabled frame, each drawn over the normal
    // frame, where the caption sits (inside the unstretched ends, the middle half of the height).
    const char16_t* file = u"gfx/gui/game/button.tga";
    const SkinPixels normal = skinPixels(file, 0), lit = skinPixels(file, 1), disabled = skinPixels(file, 2);
    ASSERT_EQ(normal.width, disabled.width);
    ASSERT_EQ(normal.height, disabled.height);
    ASSERT_EQ(normal.width, lit.width);
    double worstNormal = 100.0, worstLit = 100.0, worstDisabled = 100.0;
    for (int y = normal.height / 4; y < normal.height * 3 / 4; ++y)
        for (int x = 30; x < normal.width - 30; ++x) {
            const uint32_t frame = over(normal.at(x, y), 0xFF000000);
            worstNormal = std::min(worstNormal, contrastRatio(0xFFCCCCCC, frame));
            worstLit = std::min(worstLit, contrastRatio(0xFFFF0000, over(lit.at(x, y), frame)));
            const uint32_t frost = over(disabled.at(x, y), frame);
            worstDisabled = std::min(worstDisabled, contrastRatio(over(0x80000000, frost), frost));
        }
    EXPECT_GE(worstNormal, 4.5);
    EXPECT_GE(worstLit, 4.5);
    EXPECT_GE(worstDisabled, 3.0);
}

TEST_F(GeneratedArt, SpeechButtonCaptionsReadOnTheirFrames) {
    // The game's questions caption their speech buttons near white (0xFFEAF2FB), white when lit:
    // both read at 4.5:1 where the caption sits, the lit frame drawn over the normal one.
    const char16_t* file = u"gfx/gui/game/button-speech.tga";
    const SkinPixels normal = skinPixels(file, 0), lit = skinPixels(file, 1);
    ASSERT_EQ(normal.width, lit.width);
    ASSERT_EQ(normal.height, lit.height);
    double worstNormal = 100.0, worstLit = 100.0;
    for (int y = normal.height / 4; y < normal.height * 3 / 4; ++y)
        for (int x = 20; x < normal.width - 20; ++x) {
            const uint32_t frame = over(normal.at(x, y), 0xFFFFFFFF);
            worstNormal = std::min(worstNormal, contrastRatio(0xFFEAF2FB, frame));
            worstLit = std::min(worstLit, contrastRatio(0xFFFFFFFF, over(lit.at(x, y), frame)));
        }
    EXPECT_GE(worstNormal, 4.5);
    EXPECT_GE(worstLit, 4.5);
}
