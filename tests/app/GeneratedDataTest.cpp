// The data archives that the build generates beside the program, read the way the program reads
// them: the pre-loader and every step of the loader run against them on the engine (with the
// tests' recording device), so every picture, font and sound comes from the engine's own Texture,
// FontQuad and sound code. Checked: the skins the game draws of every registered picture, the
// level pictures, a glyph for every code-page position the fonts need, and every sound and music
// file decoded.

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "engine/EngineFixture.h"
#include "engine/FileManager.h"
#include "engine/Product.h"
#include "engine/ResourceManager.h"
#include "engine/Stream.h"
#include "engine/Utilities.h"
#include "language/Language.h"
#include "media/CodePageTable.h"
#include "media/FontQuad.h"
#include "media/MemoryImageFile.h"
#include "media/Quad.h"
#include "media/Sound.h"
#include "media/SoundStream.h"
#include "media/Texture.h"
#include "runtime/QelRuntime.h"

namespace {

// The engine with the pre-loader and the loader's steps run against the generated archives, up
// to the hand-over to the menus.
class GeneratedData : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        const WString folder = getDataArchiveFolder();
        for (const char16_t* archive : {u"VeskDiruzuri.dat", u"VeskDiruzuri.dat.language.v2", u"VeskDiruzuri.dat.1252"})
            ASSERT_TRUE(fileExists(folder + archive)) << wideToUtf8(folder + archive) << " was not generated";
        start();
        // English, code page 1252, without the language screen.
        engine->singleLanguage = 0;
        application = new GameGlobal();
        Loader* loader = application->initPreLoader();
        while (loader->currentStep < Loader::STEP_COUNT - 1) loader->loadStuff(false);
    }

    void TearDown() override {
        delete application;
        application = nullptr;
        EngineTestOn<QelRuntime>::TearDown();
    }

    // Every picture registered under a name, glyph pages apart.
    std::map<WString, Texture*> registeredPictures() {
        std::map<WString, Texture*> pictures;
        for (const auto& [name, object] : engine->pResourceManager->map) {
            if (!object->isKindOf(&Texture::classRecord)) continue;
            auto* texture = static_cast<Texture*>(object);
            if (texture->fileName.starts_with(u"gfx/font/")) continue;
            pictures[name] = texture;
        }
        return pictures;
    }

    std::vector<uint8_t> read(const WString& name) {
        int size = 0;
        std::unique_ptr<Stream> stream(engine->pFileManager->open(&size, name));
        std::vector<uint8_t> bytes(size_t(std::max(size, 0)));
        int done = 0;
        while (stream && done < size) {
            const int n = stream->read(bytes.data() + done, size - done);
            if (n <= 0) break;
            done += n;
        }
        bytes.resize(size_t(done));
        return bytes;
    }

    GameGlobal* application = nullptr;
};

const PixelRect& rectOf(Skin* skin) { return static_cast<Quad*>(skin)->sourceRect; }

struct SkinCount {
    const char16_t* name;
    size_t skins;  // the skins the game draws
    bool exact;    // the count is fixed (frame lists read by index or by count)
};

// The skins the game draws of each picture the pre-loader and the loader register.
const SkinCount kSkinCounts[] = {
    {u"gui-game-progressBar", 2, true},  // frame, filling
    {u"mousePointer", 2, true},          // arrow, aiming cursor
    {u"mvstudios", 1, false},
    {u"languageFlags", 15, true},  // en fr de it es ru he el pl ro pt ja ko cs nl
    {u"menu", 2, false},
    {u"menuInt", 2, false},
    {u"menuBool", 2, false},
    {u"speechBubble", 1, false},
    {u"speechBubble-noBear", 1, false},
    {u"speechArrow", 2, true},       // box, arrow
    {u"gui-game-editbox", 2, false},  // normal, highlighted frame
    {u"gui-game-button", 3, false},  // normal, highlighted, disabled frame
    {u"gui-game-button-speech", 2, false},
    {u"gui-game-square", 1, false},
    {u"gui-game-hud", 1, false},
    {u"logo", 1, false},
    {u"logoHoliday", 1, false},
    {u"intro", 1, false},
    {u"intro-bear", 1, false},
    {u"HUDbar", 1, false},
    {u"HUDicons", 2, true},     // lives, hearts
    {u"HUDprogress", 2, true},  // frame, filling
    {u"ladder", 1, true},
    {u"car", 5, true},  // engine, three wagons, coupling
    {u"placementIcons", 2, true},
    {u"dock", 9, true},   // plain slot, then one marker per colour
    {u"cargo", 8, true},  // one present per colour
    {u"fireball", 1, false},
    {u"wildcard", 1, false},
    {u"beam", 1, false},
    {u"launcher", 3, true},  // turntable, bow, hook
    {u"chain", 1, true},
    {u"bowstring", 2, false},
    {u"bonus", 8, true},
    {u"flare", 1, false},
    {u"smoke", 2, false},
    {u"circle", 1, false},
    {u"worldMap", 1, false},
    {u"worldMapMarkers", 2, true},
    {u"bear", 3, true},      // body, eyes open, eyes closed
    {u"bearHand", 2, true},  // the picture, and the bending strip the loader makes of it
    {u"awardStar", 1, false},
    {u"awardRibbon", 1, false},
    {u"howToPlay", 3, true},
    {u"heart", 2, false},  // its frames
    {u"snowFlake", 1, false},
    {u"hud-touchscreen", 1, false},
};

TEST_F(GeneratedData, EveryRegisteredPictureHasTheSkinsTheGameDraws) {
    const std::map<WString, Texture*> pictures = registeredPictures();
    for (const SkinCount& c : kSkinCounts) {
        SCOPED_TRACE(wideToUtf8(c.name));
        const auto found = pictures.find(c.name);
        ASSERT_NE(found, pictures.end()) << "not registered";
        Texture* texture = found->second;
        EXPECT_GT(texture->requestedWidth, 0);
        EXPECT_GT(texture->requestedHeight, 0);
        if (c.exact) {
            EXPECT_EQ(texture->skins.size(), c.skins);
        } else {
            EXPECT_GE(texture->skins.size(), c.skins);
        }
        for (size_t i = 0; i < texture->skins.size(); ++i)
            EXPECT_TRUE(engine->pResourceManager->getName(texture->skins[i]).starts_with(WString(c.name) + u":")) << "skin " << i;
        // The picture matches its skin description and reaches the device.
        const MemoryImageFile image(0, texture->fileName);
        EXPECT_EQ(image.width, texture->requestedWidth);
        EXPECT_EQ(image.height, texture->requestedHeight);
        EXPECT_EQ(image.bHasAlpha, texture->bHasAlpha);
        texture->makeResident();
        EXPECT_TRUE(texture->isResident());
    }
    // No picture of the loader goes without a required skin count.
    for (const auto& [pictureName, texture] : pictures) {
        const auto& name = pictureName;
        const bool listed = std::any_of(std::begin(kSkinCounts), std::end(kSkinCounts), [&](const SkinCount& c) { return name == c.name; });
        EXPECT_TRUE(listed) << wideToUtf8(name) << " (" << wideToUtf8(texture->fileName) << ") has no skin count to check";
    }
}

TEST_F(GeneratedData, PicturesCutIntoFramesAndBarsAreSingleQuads) {
    // Frames, bars and the bending hand are cut from one quad of one texture: a picture split
    // into tiles would give them skins of another kind.
    for (const char16_t* name : {u"gui-game-progressBar", u"HUDprogress", u"speechBubble", u"speechBubble-noBear", u"speechArrow",
                                 u"gui-game-editbox", u"gui-game-button", u"gui-game-button-speech", u"bearHand"}) {
        SCOPED_TRACE(wideToUtf8(name));
        QelBase* object = engine->pResourceManager->find(false, name);
        ASSERT_NE(object, nullptr);
        auto* texture = static_cast<Texture*>(object);
        EXPECT_TRUE(texture->tiles == nullptr || texture->tiles->firstChild == nullptr) << "split into tiles";
        for (Skin* skin : texture->skins) EXPECT_TRUE(skin->isKindOf(&Quad::classRecord));
    }
}

TEST_F(GeneratedData, LevelPicturesHaveADecorationSkinPerDecoration) {
    const std::pair<const char16_t*, size_t> levels[] = {{u"A1", 1}, {u"A8", 1}, {u"A12", 1}, {u"A5", 1}, {u"B3", 4}, {u"A13", 1},
                                                         {u"B4", 4}, {u"A2", 3}, {u"B2", 4},  {u"B1", 2}, {u"A14", 3}, {u"A7", 3}};
    for (const auto& [id, decorations] : levels) {
        SCOPED_TRACE(wideToUtf8(id));
        // Read as the loader reads them when it builds an archive.
        std::unique_ptr<Texture> scene(new Texture(0, format(u"xmas-edition/gfx/scene-%s.jpg", id)));
        ASSERT_EQ(scene->skins.size(), 1u);
        // A full-screen picture, shown squeezed to the 800 x 480 layout.
        EXPECT_EQ(scene->requestedWidth, 800);
        EXPECT_EQ(scene->requestedHeight, 600);
        EXPECT_FLOAT_EQ(scene->skins[0]->width, 800.0f);
        EXPECT_FLOAT_EQ(scene->skins[0]->height, 600.0f);
        std::unique_ptr<Texture> decoration(new Texture(0, format(u"xmas-edition/gfx/decoration-%s.tga", id)));
        EXPECT_EQ(decoration->skins.size(), decorations);
    }
}

TEST_F(GeneratedData, TiledBandsSpanTheirWholePicture) {
    // The track band and the chain repeat across their texture's width.
    const std::map<WString, Texture*> pictures = registeredPictures();
    for (const char16_t* name : {u"ladder", u"chain"}) {
        SCOPED_TRACE(wideToUtf8(name));
        const Texture* texture = pictures.at(name);
        ASSERT_EQ(texture->skins.size(), 1u);
        ASSERT_TRUE(texture->skins[0]->isKindOf(&Quad::classRecord));
        const PixelRect& s = rectOf(texture->skins[0]);
        EXPECT_EQ(s.left, 0);
        EXPECT_EQ(s.top, 0);
        EXPECT_EQ(s.width(), texture->requestedWidth);
        // The band's coordinates repeat by the texture's width, which the engine may round up.
        EXPECT_EQ(s.width(), texture->width);
    }
}

TEST_F(GeneratedData, PicturesLoadedWithHalvingFitTheirTexture) {
    // The progress bar is loaded with the flag that halves a picture larger than a texture may be
    // (256 a side); glyph pages with the flags that allow 512 and halve beyond it. None may need
    // the halving.
    const Texture* bar = registeredPictures().at(u"gui-game-progressBar");
    EXPECT_EQ(bar->scaleFactor, 1);
    EXPECT_LE(bar->requestedWidth, 256);
    EXPECT_LE(bar->requestedHeight, 256);
    int pages = 0;
    for (const auto& [name, object] : engine->pResourceManager->map) {
        if (!object->isKindOf(&Texture::classRecord)) continue;
        const auto* page = static_cast<const Texture*>(object);
        if (!page->fileName.starts_with(u"gfx/font/")) continue;
        ++pages;
        EXPECT_EQ(page->scaleFactor, 1) << wideToUtf8(page->fileName);
        EXPECT_LE(page->requestedWidth, 512) << wideToUtf8(page->fileName);
        EXPECT_LE(page->requestedHeight, 512) << wideToUtf8(page->fileName);
    }
    EXPECT_GE(pages, 5);
}

// Whether the glyph's rectangle of its decoded page holds any visible pixel.
bool inked(const MemoryImageFile& page, const PixelRect& s) {
    for (int y = s.top; y < s.bottom; ++y)
        for (int x = s.left; x < s.right; ++x)
            if ((page.pImageData[size_t(y) * size_t(page.width) + size_t(x)] >> 24) > 0x80) return true;
    return false;
}

TEST_F(GeneratedData, FontsHaveAGlyphForEveryCodePagePosition) {
    struct FontCase {
        const char16_t* name;
        int firstSymbol;
        bool accentParts;  // accented letters are built from base and accent glyphs
    };
    const FontCase fonts[] = {{u"fontTiny", 33, false},
                              {u"fontSmall", 0, false},
                              {u"fontMedium", 0, true},
                              {u"fontMediumOutline", 0, true},
                              {u"fontLarge", 0, true}};
    const int accents[] = {0x60, 0xB4, 0x88, 0x98, 0xA8, 0xB0};
    // The fonts were read through the current language's code page.
    ASSERT_EQ(WString(engine->pLanguage->getText(LANGUAGECODEPAGE)), u"1252");
    CodePageTable table;
    ASSERT_TRUE(table.selectBuiltIn(u"1252"));
    std::map<WString, std::unique_ptr<MemoryImageFile>> pages;
    for (const FontCase& c : fonts) {
        SCOPED_TRACE(wideToUtf8(c.name));
        QelBase* object = engine->pResourceManager->find(false, c.name);
        ASSERT_NE(object, nullptr) << "not registered";
        ASSERT_TRUE(object->isKindOf(&FontQuad::classRecord));
        auto* font = static_cast<FontQuad*>(object);
        // The glyph the font draws at a code-page position; null when none.
        auto glyph = [&](int position) { return font->getSymbol(table.codeUnit(position)).pBaseQuad; };
        auto hasInk = [&](int position) {
            const Quad* quad = glyph(position);
            if (!quad || !quad->pTexture) return false;
            std::unique_ptr<MemoryImageFile>& page = pages[quad->pTexture->fileName];
            if (!page) page = std::make_unique<MemoryImageFile>(0, quad->pTexture->fileName);
            return inked(*page, quad->sourceRect);
        };
        auto height = [&](int position) { return glyph(position) ? glyph(position)->sourceRect.height() : -1; };
        for (int p = 33; p < 256; ++p) ASSERT_NE(glyph(p), nullptr) << "no glyph at position " << p;
        // One line height for every letter; the tallest glyph sets it.
        const int line = height('A');
        for (int p : {int('H'), int('g'), int('y'), int('0'), 0x7F, 0xC9, 0xE9, 0xDF}) EXPECT_EQ(height(p), line) << "position " << p;
        for (int p = 33; p < 256; ++p) {
            const bool undefined = p == 0x81 || p == 0x8D || p == 0x8F || p == 0x90 || p == 0x9D || p == 0xA0 || p == 0xAD;
            if (!undefined) {
                EXPECT_TRUE(hasInk(p)) << "position " << p << " is blank";
            }
            EXPECT_LE(height(p), line) << "position " << p;
        }
        // The dotless i at 0x7F is narrower than a dotted one would need and has no dot.
        EXPECT_LE(glyph(0x7F)->sourceRect.width(), glyph('i')->sourceRect.width());
        if (c.firstSymbol == 0) {
            for (int p : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 13, 14}) {
                ASSERT_NE(glyph(p), nullptr) << "no pictogram at " << p;
                EXPECT_TRUE(hasInk(p)) << "pictogram " << p << " is blank";
            }
        }
        if (c.accentParts) {
            // Accents are trimmed to their ink so that they can be centred and lifted over a base.
            for (int p : accents) EXPECT_LT(height(p), line) << "accent " << p;
            EXPECT_EQ(height(0xB8), line) << "the cedilla hangs from the top line";
        }
    }
}

// Ogg Vorbis read from memory.
struct MemoryOgg {
    const std::vector<uint8_t>* bytes;
    size_t at = 0;
    static size_t read(void* to, size_t size, size_t count, void* self) {
        auto* m = static_cast<MemoryOgg*>(self);
        const size_t n = std::min(size * count, m->bytes->size() - m->at);
        std::memcpy(to, m->bytes->data() + m->at, n);
        m->at += n;
        return size ? n / size : 0;
    }
};

TEST_F(GeneratedData, EverySoundAndMusicFileDecodes) {
    // The files of every sound and music stream the loader registered.
    std::vector<WString> files;
    for (const auto& [name, object] : engine->pResourceManager->map) {
        if (const auto* sound = dynamic_cast<const Sound*>(object)) files.push_back(sound->name);
        if (const auto* music = dynamic_cast<const SoundStream*>(object)) files.push_back(music->name);
    }
    std::sort(files.begin(), files.end());
    files.erase(std::unique(files.begin(), files.end()), files.end());
    // The menu tune, three game tunes (the third played by two streams), the hurry tune and 34 sounds.
    EXPECT_EQ(files.size(), 39u);
    for (const WString& file : files) {
        SCOPED_TRACE(wideToUtf8(file));
        const std::vector<uint8_t> bytes = read(file);
        ASSERT_FALSE(bytes.empty());
        MemoryOgg source{&bytes};
        OggVorbis_File vf;
        const ov_callbacks callbacks = {&MemoryOgg::read, nullptr, nullptr, nullptr};
        ASSERT_EQ(ov_open_callbacks(&source, &vf, nullptr, 0, callbacks), 0);
        int64_t frames = 0;
        float peak = 0;
        for (;;) {
            float** pcm = nullptr;
            int section = 0;
            const long n = ov_read_float(&vf, &pcm, 4096, &section);
            ASSERT_GE(n, 0) << "decoding failed";
            if (n == 0) break;
            for (long i = 0; i < n; ++i) peak = std::max(peak, std::abs(pcm[0][i]));
            frames += n;
        }
        ov_clear(&vf);
        EXPECT_GT(frames, 0);
        EXPECT_GT(peak, 0.01f) << "silent";
    }
}

}  // namespace
