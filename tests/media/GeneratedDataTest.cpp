// The data archives that the build generates beside the program, read with the engine's own
// archive and image code: every picture the loader and the start-up register, with the skins the
// game draws; the glyph pages of the five fonts; every sound and music file, decoded.

#include <gtest/gtest.h>
#include <vorbis/vorbisfile.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/FileTestEnvironment.h"
#include "engine/Product.h"
#include "engine/Stream.h"
#include "engine/Text.h"
#include "media/MemoryImageFile.h"

namespace {

struct SkinRecord {
    int32_t left, top, width, height, adjustX, adjustY;
};

struct Preload {
    int32_t width = 0, height = 0;
    bool hasAlpha = false;
    std::vector<SkinRecord> skins;
};

int32_t le32(const uint8_t* p) { return int32_t(uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24); }

// The three archives mounted as the program mounts them.
class GeneratedData : public ::testing::Test {
protected:
    void SetUp() override {
        const WString folder = getDataArchiveFolder();
        for (const char16_t* archive : {u"VeskDiruzuri.dat", u"VeskDiruzuri.dat.language.v2", u"VeskDiruzuri.dat.1252"}) {
            ASSERT_TRUE(env.files().existsDisk(folder + archive)) << wideToUtf8(folder + archive) << " was not generated";
            env.files().useWad(folder + archive);
        }
    }

    std::vector<uint8_t> read(const std::string& name) {
        int size = 0;
        std::unique_ptr<Stream> stream(env.files().open(&size, utf8ToWide(name)));
        std::vector<uint8_t> bytes(size_t(std::max(size, 0)));
        int done = 0;
        while (done < size) {
            const int n = stream->read(bytes.data() + done, size - done);
            if (n <= 0) break;
            done += n;
        }
        bytes.resize(size_t(done));
        return bytes;
    }

    bool has(const std::string& name) { return env.files().existsWad(utf8ToWide(name)); }

    // The picture's skin description, checked against its decoded image.
    Preload texture(const std::string& file) {
        Preload p;
        EXPECT_TRUE(has(file)) << file;
        EXPECT_TRUE(has(file + ".preload")) << file;
        if (!has(file) || !has(file + ".preload")) return p;
        const std::vector<uint8_t> record = read(file + ".preload");
        EXPECT_GE(record.size(), 20u) << file;
        if (record.size() < 20) return p;
        p.width = le32(&record[4]);
        p.height = le32(&record[8]);
        p.hasAlpha = record[12] != 0;
        const int32_t count = le32(&record[16]);
        EXPECT_EQ(record.size(), 20u + 24u * size_t(std::max(count, 0))) << file;
        for (int32_t i = 0; i < count && 20 + 24 * size_t(i + 1) <= record.size(); ++i) {
            const uint8_t* s = &record[20 + 24 * size_t(i)];
            p.skins.push_back({le32(s), le32(s + 4), le32(s + 8), le32(s + 12), le32(s + 16), le32(s + 20)});
        }
        MemoryImageFile image(0, utf8ToWide(file));
        EXPECT_EQ(image.width, p.width) << file;
        EXPECT_EQ(image.height, p.height) << file;
        EXPECT_EQ(image.bHasAlpha, p.hasAlpha) << file;
        for (size_t i = 0; i < p.skins.size(); ++i) {
            const SkinRecord& s = p.skins[i];
            EXPECT_TRUE(s.left >= 0 && s.top >= 0 && s.width > 0 && s.height > 0 && s.left + s.width <= p.width && s.top + s.height <= p.height)
                << file << " skin " << i << " lies outside its picture";
        }
        return p;
    }

    FileTestEnvironment env;
};

struct TextureCase {
    const char* file;
    size_t skins;  // the skins the game draws
    bool exact;    // the count is fixed (frame lists read by index or by count)
};

// Every texture that the start-up and the loader register, with the skins the game uses.
const TextureCase kTextures[] = {
    {"xmas-edition/gfx/gui/game/progressbar.tga", 2, true},  // frame, filling
    {"gfx/gui/game/mousepointer.tga", 2, true},              // arrow, aiming cursor
    {"gfx/system/mvstudios.tga", 1, false},
    {"gfx/gui/game/menu.tga", 2, false},
    {"gfx/gui/game/menuint.tga", 2, false},
    {"gfx/gui/game/menubool.tga", 2, false},
    {"gfx/gui/game/speechbubble.tga", 1, false},
    {"gfx/gui/game/speechbubble-nobear.tga", 1, false},
    {"gfx/gui/game/speechArrow.tga", 2, true},  // box, arrow
    {"gfx/gui/game/editbox.tga", 2, false},     // normal, highlighted frame
    {"gfx/gui/game/button.tga", 2, false},
    {"gfx/gui/game/button-speech.tga", 2, false},
    {"gfx/gui/game/square.tga", 1, false},
    {"gfx/gui/game/hud.tga", 1, false},
    {"xmas-edition/gfx/logo.tga", 1, false},
    {"xmas-edition/gfx/logo-holiday.tga", 1, false},
    {"xmas-edition/gfx/intro.jpg", 1, false},
    {"xmas-edition/gfx/intro-bear.tga", 1, false},
    {"gfx/gui/game/HUDbar.tga", 1, false},
    {"gfx/gui/game/HUDicons.tga", 2, true},     // lives, hearts
    {"gfx/gui/game/HUDprogress.tga", 2, true},  // frame, filling
    {"gfx/gui/game/dashedline.tga", 1, true},
    {"gfx/car.tga", 5, true},                   // engine, three wagons, coupling
    {"gfx/placementicons.tga", 2, true},
    {"xmas-edition/gfx/dock.tga", 9, true},     // plain slot, then one marker per colour
    {"xmas-edition/gfx/cargo.tga", 8, true},    // one present per colour
    {"gfx/fireball.tga", 1, false},
    {"gfx/wildcard.tga", 1, false},
    {"gfx/beam.tga", 1, false},
    {"gfx/launcher.tga", 3, true},  // turntable, bow, hook
    {"gfx/chain.tga", 1, true},
    {"gfx/bowstring.tga", 2, false},
    {"gfx/bonus.tga", 8, true},
    {"gfx/flare.tga", 1, false},
    {"gfx/smoke.tga", 2, false},
    {"gfx/circle.tga", 1, false},
    {"xmas-edition/gfx/worldmap.jpg", 1, false},
    {"gfx/worldmapmarkers2.tga", 2, true},
    {"xmas-edition/gfx/bear.tga", 3, true},  // body, eyes open, eyes closed
    {"gfx/bearHand.tga", 1, true},
    {"gfx/award-star.tga", 1, false},
    {"gfx/award-ribbon.tga", 1, false},
    {"xmas-edition/gfx/howtoplay.tga", 3, true},
    {"gfx/star.tga", 2, false},  // the heart's frames
    {"xmas-edition/gfx/snowflake.tga", 1, false},
    {"gfx/gui/game/hud-touchscreen.tga", 1, false},
    {"gfx/system/languageflags.tga", 15, true},  // en fr de it es ru he el pl ro pt ja ko cs nl
};

TEST_F(GeneratedData, EveryRegisteredTextureHasItsSkins) {
    for (const TextureCase& c : kTextures) {
        SCOPED_TRACE(c.file);
        const Preload p = texture(c.file);
        if (c.exact) {
            EXPECT_EQ(p.skins.size(), c.skins);
        } else {
            EXPECT_GE(p.skins.size(), c.skins);
        }
    }
}

TEST_F(GeneratedData, LevelPicturesHaveADecorationSkinPerDecoration) {
    const std::pair<const char*, size_t> levels[] = {{"A1", 1}, {"A8", 1}, {"A12", 1}, {"A5", 1}, {"B3", 4}, {"A13", 1},
                                                     {"B4", 4}, {"A2", 3}, {"B2", 4},  {"B1", 2}, {"A14", 3}, {"A7", 3}};
    for (const auto& [id, decorations] : levels) {
        SCOPED_TRACE(id);
        const Preload scene = texture(std::string("xmas-edition/gfx/scene-") + id + ".jpg");
        ASSERT_EQ(scene.skins.size(), 1u);
        // A full-screen picture, shown squeezed to the 800 x 480 layout.
        EXPECT_EQ(scene.skins[0].width, 800);
        EXPECT_EQ(scene.skins[0].height, 600);
        EXPECT_EQ(texture(std::string("xmas-edition/gfx/decoration-") + id + ".tga").skins.size(), decorations);
    }
}

TEST_F(GeneratedData, TiledBandsSpanTheirWholePicture) {
    // The track band and the chain repeat across their texture's width.
    for (const char* file : {"gfx/gui/game/dashedline.tga", "gfx/chain.tga"}) {
        SCOPED_TRACE(file);
        const Preload p = texture(file);
        ASSERT_EQ(p.skins.size(), 1u);
        EXPECT_EQ(p.skins[0].left, 0);
        EXPECT_EQ(p.skins[0].top, 0);
        EXPECT_EQ(p.skins[0].width, p.width);
    }
}

TEST_F(GeneratedData, PicturesLoadedWithHalvingFitTheirTexture) {
    // The progress bar is loaded with the flag that halves a picture larger than a texture may be
    // (256 a side); glyph pages with the flags that allow 512 and halve beyond it.
    const Preload bar = texture("xmas-edition/gfx/gui/game/progressbar.tga");
    EXPECT_LE(bar.width, 256);
    EXPECT_LE(bar.height, 256);
    for (const char* folder : {"font-tiny", "font-small", "font-medium", "font-mediumoutline", "font-largeoutline"})
        for (int n = 1; has(std::string("gfx/font/1252/") + folder + "-" + std::to_string(n) + ".tga"); ++n) {
            const Preload page = texture(std::string("gfx/font/1252/") + folder + "-" + std::to_string(n) + ".tga");
            EXPECT_LE(page.width, 512) << folder << " page " << n;
            EXPECT_LE(page.height, 512) << folder << " page " << n;
        }
}

// Whether a skin of a decoded page holds any visible pixel.
bool inked(const MemoryImageFile& page, const SkinRecord& s) {
    for (int y = s.top; y < s.top + s.height; ++y)
        for (int x = s.left; x < s.left + s.width; ++x)
            if ((page.pImageData[size_t(y) * size_t(page.width) + size_t(x)] >> 24) > 0x80) return true;
    return false;
}

TEST_F(GeneratedData, FontsHaveAGlyphForEveryCodePagePosition) {
    struct FontCase {
        const char* folder;
        int firstSymbol;
        bool accentParts;  // accented letters are built from base and accent glyphs
    };
    const FontCase fonts[] = {{"font-tiny", 33, false},
                              {"font-small", 0, false},
                              {"font-medium", 0, true},
                              {"font-mediumoutline", 0, true},
                              {"font-largeoutline", 0, true}};
    const std::vector<int> accents = {0x60, 0xB4, 0x88, 0x98, 0xA8, 0xB0};
    for (const FontCase& font : fonts) {
        SCOPED_TRACE(font.folder);
        // Position -> (page, skin).
        std::vector<std::pair<int, SkinRecord>> glyphs;
        std::vector<std::unique_ptr<MemoryImageFile>> pages;
        auto pageFile = [&](int n) { return std::string("gfx/font/1252/") + font.folder + "-" + std::to_string(n) + ".tga"; };
        for (int n = 1; has(pageFile(n)); ++n) {
            const std::string file = pageFile(n);
            const Preload p = texture(file);
            pages.push_back(std::make_unique<MemoryImageFile>(0, utf8ToWide(file)));
            for (const SkinRecord& s : p.skins) glyphs.emplace_back(n - 1, s);
        }
        ASSERT_FALSE(pages.empty()) << "no page 1";
        ASSERT_EQ(glyphs.size(), size_t(256 - font.firstSymbol));
        auto glyph = [&](int position) { return glyphs[size_t(position - font.firstSymbol)]; };
        auto hasInk = [&](int position) {
            const auto& [page, skin] = glyph(position);
            return inked(*pages[size_t(page)], skin);
        };
        // One line height for every letter; the tallest glyph sets it.
        const int line = glyph('A').second.height;
        for (int c : {int('H'), int('g'), int('y'), int('0'), 0x7F, 0xC9, 0xE9, 0xDF})
            EXPECT_EQ(glyph(c).second.height, line) << "position " << c;
        for (int c = std::max(33, font.firstSymbol); c < 256; ++c) {
            const bool undefined = c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D || c == 0xA0 || c == 0xAD;
            if (!undefined) {
                EXPECT_TRUE(hasInk(c)) << "position " << c << " is blank";
            }
            EXPECT_LE(glyph(c).second.height, line) << "position " << c;
        }
        // The dotless i at 0x7F is narrower than a dotted one would need and has no dot.
        EXPECT_LE(glyph(0x7F).second.width, glyph('i').second.width);
        if (font.firstSymbol == 0) {
            for (int c : {1, 2, 3, 4, 5, 6, 9, 10, 13}) EXPECT_TRUE(hasInk(c)) << "pictogram " << c;
        }
        if (font.accentParts) {
            // Accents are trimmed to their ink so that they can be centred and lifted over a base.
            for (int c : accents) EXPECT_LT(glyph(c).second.height, line) << "accent " << c;
            EXPECT_EQ(glyph(0xB8).second.height, line) << "the cedilla hangs from the top line";
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
    const char* files[] = {"xmas-edition/sfx/music/theme.ogg", "xmas-edition/sfx/music/game1.ogg", "xmas-edition/sfx/music/game2.ogg",
                           "xmas-edition/sfx/music/game3.ogg", "sfx/music/hurry.ogg",           "sfx/clickXP.ogg",
                           "sfx/pop.ogg",                      "sfx/typewriter.ogg",            "sfx/bow.ogg",
                           "sfx/coupling.ogg",                 "sfx/trainBell-short.ogg",       "sfx/tootLong.ogg",
                           "sfx/tootShortx2.ogg",              "sfx/chugcontinuous2.ogg",       "sfx/stardust.ogg",
                           "sfx/boom.ogg",                     "sfx/chainclick.ogg",            "sfx/guitar1.ogg",
                           "sfx/clock-tick.ogg",               "sfx/vibe.ogg",                  "sfx/fireworkbang-short.ogg",
                           "sfx/fireworkbang.ogg",             "sfx/airbrake.ogg",              "sfx/railsqueak.ogg",
                           "sfx/depart.ogg",                   "sfx/guitar2.ogg",               "sfx/bell.ogg",
                           "sfx/bellsmall.ogg",                "sfx/clocktick.slow.ogg",        "sfx/jingleX3part.ogg",
                           "sfx/jingle03.ogg",                 "sfx/jinglelose.ogg",            "sfx/jinglewin.ogg",
                           "sfx/jingle06.ogg",                 "sfx/fireball.ogg",              "sfx/hclap60.ogg",
                           "sfx/applause-1.ogg",               "sfx/applause-2.ogg",            "sfx/applause-3.ogg"};
    for (const char* file : files) {
        SCOPED_TRACE(file);
        ASSERT_TRUE(has(file));
        const std::vector<uint8_t> bytes = read(file);
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
