#include "menus/Loader.h"

#include "ui/AnimatedQuad.h"
#include "ui/ContextManager.h"
#include "ui/Global.h"
#include "ui/ProgressBar.h"
#include "engine/DataBlock.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "engine/TimeKeeper.h"
#include "language/Language.h"
#include "media/FontQuad.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"
#include "media/Skin.h"
#include "media/Sound.h"
#include "media/SoundStream.h"
#include "media/Texture.h"
#include "menus/ContextLanguageSelect.h"

namespace {

struct TextureStep {
    const char16_t* file;
    const char16_t* name;
    int anchorSkin;  // -1: no anchor
    int anchorCode;
};

// Steps 12 to 54, in order.
const TextureStep kTextures[] = {
    {u"gfx/gui/game/menu.tga", u"menu", -1, 0},
    {u"gfx/gui/game/menuint.tga", u"menuInt", -1, 0},
    {u"gfx/gui/game/menubool.tga", u"menuBool", -1, 0},
    {u"gfx/gui/game/speechbubble.tga", u"speechBubble", -1, 0},
    {u"gfx/gui/game/speechbubble-nobear.tga", u"speechBubble-noBear", -1, 0},
    {u"gfx/gui/game/speechArrow.tga", u"speechArrow", 1, 2},
    {u"gfx/gui/game/editbox.tga", u"gui-game-editbox", -1, 0},
    {u"gfx/gui/game/button.tga", u"gui-game-button", -1, 0},
    {u"gfx/gui/game/button-speech.tga", u"gui-game-button-speech", -1, 0},
    {u"gfx/gui/game/square.tga", u"gui-game-square", -1, 0},
    {u"gfx/gui/game/hud.tga", u"gui-game-hud", -1, 0},
    {u"xmas-edition/gfx/logo.tga", u"logo", -1, 0},
    {u"xmas-edition/gfx/logo-holiday.tga", u"logoHoliday", -1, 0},
    {u"xmas-edition/gfx/intro.jpg", u"intro", 0, 2},
    {u"xmas-edition/gfx/intro-bear.tga", u"intro-bear", -1, 0},
    {u"gfx/gui/game/HUDbar.tga", u"HUDbar", 0, 8},
    {u"gfx/gui/game/HUDicons.tga", u"HUDicons", -1, 0},
    {u"gfx/gui/game/HUDprogress.tga", u"HUDprogress", -1, 0},
    {u"gfx/gui/game/dashedline.tga", u"ladder", -1, 0},
    {u"gfx/car.tga", u"car", -1, 0},
    {u"gfx/placementicons.tga", u"placementIcons", -1, 0},
    {u"xmas-edition/gfx/dock.tga", u"dock", -1, 0},
    {u"xmas-edition/gfx/cargo.tga", u"cargo", -1, 0},
    {u"gfx/fireball.tga", u"fireball", -1, 0},
    {u"gfx/wildcard.tga", u"wildcard", -1, 0},
    {u"gfx/beam.tga", u"beam", 0, 4},
    {u"gfx/launcher.tga", u"launcher", -1, 0},
    {u"gfx/chain.tga", u"chain", -1, 0},
    {u"gfx/bowstring.tga", u"bowstring", -1, 0},
    {u"gfx/bonus.tga", u"bonus", -1, 0},
    {u"gfx/flare.tga", u"flare", -1, 0},
    {u"gfx/smoke.tga", u"smoke", -1, 0},
    {u"gfx/circle.tga", u"circle", -1, 0},
    {u"xmas-edition/gfx/worldmap.jpg", u"worldMap", -1, 0},
    {u"gfx/worldmapmarkers2.tga", u"worldMapMarkers", 0, 2},
    {u"xmas-edition/gfx/bear.tga", u"bear", -1, 0},
    {u"gfx/bearHand.tga", u"bearHand", -1, 0},
    {u"gfx/award-star.tga", u"awardStar", -1, 0},
    {u"gfx/award-ribbon.tga", u"awardRibbon", -1, 0},
    {u"xmas-edition/gfx/howtoplay.tga", u"howToPlay", -1, 0},
    {u"gfx/star.tga", u"heart", -1, 0},
    {u"xmas-edition/gfx/snowflake.tga", u"snowFlake", -1, 0},
    {u"gfx/gui/game/hud-touchscreen.tga", u"hud-touchscreen", -1, 0},
};
constexpr int kFirstTextureStep = 12;
static_assert(std::size(kTextures) == 43);

struct SoundStep {
    const char16_t* file;
    const char16_t* name;
    int flags;
    int maxPlaybacks;
    double interval;
    float pitchLow, pitchHigh;
};

// Steps 56 to 89, in order.
const SoundStep kSounds[] = {
    {u"sfx/clickXP.ogg", u"mouseClick", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/pop.ogg", u"pop", 0, 3, 0.025, 0.0f, 0.5f},
    {u"sfx/typewriter.ogg", u"typewriter", 0, 3, 0.025, 0.0f, 0.5f},
    {u"sfx/bow.ogg", u"bowSound", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/coupling.ogg", u"segmentImpact", 0, 2, 0.0, 0.0f, 0.1f},
    {u"sfx/trainBell-short.ogg", u"trainBell", 0, 4, 0.0, 0.0f, 0.0f},
    {u"sfx/tootLong.ogg", u"toot", 0, 2, 0.25, 0.0f, 0.0f},
    {u"sfx/tootShortx2.ogg", u"toot2", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/chugcontinuous2.ogg", u"engineChug", 1, 3, 0.25, 0.0f, 0.0f},
    {u"sfx/stardust.ogg", u"stardust", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/boom.ogg", u"boom", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/chainclick.ogg", u"chainClick", 0, 4, 0.0, 0.0f, 0.0f},
    {u"sfx/guitar1.ogg", u"fireballSound", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/clock-tick.ogg", u"tick", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/vibe.ogg", u"vibe", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/fireworkbang-short.ogg", u"fireworkBangShort", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/fireworkbang.ogg", u"fireworkBang", 0, 2, 0.0, 0.0f, 0.5f},
    {u"sfx/airbrake.ogg", u"steam", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/railsqueak.ogg", u"railSqueak", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/depart.ogg", u"whistle", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/guitar2.ogg", u"guitar", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/bell.ogg", u"bell", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/bellsmall.ogg", u"bellSmall", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/clocktick.slow.ogg", u"trainSlow", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/jingleX3part.ogg", u"streak", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/jingle03.ogg", u"extraLife", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/jinglelose.ogg", u"loseRound", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/jinglewin.ogg", u"winRound", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/jingle06.ogg", u"wrong", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/fireball.ogg", u"fireballLaunch", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/hclap60.ogg", u"handClap", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/applause-1.ogg", u"applause1", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/applause-2.ogg", u"applause2", 0, 2, 0.0, 0.0f, 0.0f},
    {u"sfx/applause-3.ogg", u"applause3", 0, 2, 0.0, 0.0f, 0.0f},
};
constexpr int kFirstSoundStep = 56;
static_assert(std::size(kSounds) == 34);

// Steps 5 to 9: the game music ("musicGame4" is a second stream of the third tune).
const char16_t* const kMusic[][2] = {
    {u"xmas-edition/sfx/music/game1.ogg", u"musicGame1"},
    {u"xmas-edition/sfx/music/game2.ogg", u"musicGame2"},
    {u"xmas-edition/sfx/music/game3.ogg", u"musicGame3"},
    {u"xmas-edition/sfx/music/game3.ogg", u"musicGame4"},
    {u"sfx/music/hurry.ogg", u"musicHurry"},
};

// The level pictures pulled into the archive being built (step 55).
struct FontStep {
    const char16_t* texturePrefix;
    const char16_t* folder;
    const char16_t* name;
    int spaceWidth;
    int letterSpacing;
    int accentUpper;
    int accentLower;
    bool bWhiteCacheBackground;  // handed to the font cache
    bool bFontCache;             // whether the font may be drawn through the engine's font cache
};

// Steps 92 to 96 (pages) and 97 to 101 (fonts), in order.
const FontStep kFonts[] = {
    {u"fontTinyTex", u"font-tiny", u"fontTiny", 3, 1, 0, 0, true, true},
    {u"fontSmallTex", u"font-small", u"fontSmall", 3, 0, 4, 7, true, true},
    {u"fontMediumTex", u"font-medium", u"fontMedium", 6, 0, 2, 5, true, true},
    {u"fontMediumOutlineTex", u"font-mediumoutline", u"fontMediumOutline", 6, -1, 4, 7, false, true},
    {u"fontLargeTex", u"font-largeoutline", u"fontLarge", 16, -2, 6, 13, false, false},
};

FileManager* files() { return qel ? qel->pFileManager : nullptr; }
ResourceManager* resources() { return qel ? qel->pResourceManager : nullptr; }

bool resourceExists(WStringView name) { return resources() && resources()->find(false, name) != nullptr; }

void loadTexture(const TextureStep& t) {
    auto* texture = new Texture(0, t.file);
    Loader::registerTexture(t.name, texture);
    if (t.anchorSkin >= 0 && t.anchorSkin < static_cast<int>(texture->skins.size()))
        texture->skins[t.anchorSkin]->setAnchor(t.anchorCode);
}

// A glyph page: registered in the normal pass; in the pack pass only read, so that the archive
// being built takes it along.
void loadFontPage(bool bPackPass, int flags, const WString& file, const WString& name) {
    if (bPackPass) delete new Texture(0, file);
    else Loader::registerResource(new Texture(flags, file), name);
}

// "bearHand:bend": the hand's first picture as a vertical strip of 16 segments that can curl,
// anchored at the middle of its left edge, kept as the next skin of "bearHand".
void makeBendingHand() {
    auto* texture = static_cast<Texture*>(resources()->find(true, u"bearHand"));
    auto* hand = new AnimatedQuad();
    hand->bVertical = true;
    hand->addFrame(static_cast<Quad*>(resources()->find(true, u"bearHand:0")));
    hand->setSegments(16);
    hand->rebuildVertices();
    hand->setAnchor(4);
    texture->skins.push_back(hand);
    resources()->addResource(hand, u"bearHand:bend");
}

void loadMusic(const char16_t* file, const char16_t* name) { Loader::registerResource(new SoundStream(1, file), name); }

void loadSound(const SoundStep& s) {
    auto* sound = new Sound(s.flags, s.maxPlaybacks, s.file);
    sound->minPlayInterval = s.interval;
    sound->randomPitchLow = s.pitchLow;
    sound->randomPitchHigh = s.pitchHigh;
    Loader::registerResource(sound, s.name);
}

}  // namespace

Loader::Loader() {
    qelLog(u"Loader::Loader", u"Loading resources...");
    bDeleteWhenDone = true;
    bEscapeCloses = false;
    bShowPointer = false;
    bHideFrameRate = true;
    clearColor = 0xFF000000u;
    if (auto* texture = static_cast<Texture*>(resources() ? resources()->find(false, u"gui-game-progressBar") : nullptr)) {
        progressBar = new ProgressBar(texture, 0, 1);
        if (qel->bEnableDelayedLoad) progressBar->bHidden = true;
        addChild(progressBar);
    }
    stepCount = loadStuff(true);
}

Loader::~Loader() = default;

void Loader::tickContents(double total, double dt) {
    QelBase::update(totalTime, deltaTime);
    TimeKeeper* clock = qel ? qel->pTimeKeeper : nullptr;
    const double start = clock ? clock->getTime() : 0.0;
    // Loading ends with the last step: the frame is not spent waiting for a budget that has
    // nothing left to pay for.
    while (currentStep < stepCount && (!clock || clock->getTime() < start + FRAME_BUDGET)) {
        const int step = loadStuff(false);
        if (progressBar) progressBar->setFraction(static_cast<float>(step) / static_cast<float>(stepCount));
        if (bYieldFrame) {
            bYieldFrame = false;
            return;
        }
        ContextManager* stack = game ? game->pContextManager : nullptr;
        if (stack && stack->getTopContext() != this) {
            bYieldFrame = true;
            return;
        }
    }
}

int Loader::loadStuff(bool bCountOnly) {
    if (bCountOnly) return STEP_COUNT;
    if (currentStep >= STEP_COUNT) return STEP_COUNT;
    const int step = currentStep + 1;
    currentStep = step;
    performStep(step);
    return step;
}

void Loader::performStep(int step) {
    Global* g = game;
    if (step == 2) {
        loadMusic(u"xmas-edition/sfx/music/theme.ogg", u"musicMenu");
    } else if (step == 3) {
        if (g && qel && qel->pQelGraphics) g->gameConfiguration.bFullScreen = qel->pQelGraphics->bFullScreen ? 1 : 0;
        if (g) g->applyAudioSettings(-1, -1);
        bYieldFrame = true;
    } else if (step == 4) {
        if (qel && qel->pQelAudio) qel->pQelAudio->setMusic(static_cast<SoundStream*>(resources()->find(true, u"musicMenu")));
    } else if (step >= 5 && step <= 9) {
        loadMusic(kMusic[step - 5][0], kMusic[step - 5][1]);
    } else if (step == 10) {
        loadTexture({u"gfx/system/mvstudios.tga", u"mvstudios", -1, 0});
    } else if (step == 11) {
        if (files()) files()->useWad(getDataArchivePath() + u".language.v2");
        loadTexture({u"gfx/system/languageflags.tga", u"languageFlags", -1, 0});
        if (files()) files()->useWad(getDataArchivePath());
    } else if (step >= kFirstTextureStep && step < kFirstTextureStep + 43) {
        const TextureStep& t = kTextures[step - kFirstTextureStep];
        loadTexture(t);
        if (WStringView(t.name) == u"bearHand") makeBendingHand();
    } else if (step == 55) {
        if (files() && files()->bCreateWad && readLevelPictures) readLevelPictures();
    } else if (step >= kFirstSoundStep && step < kFirstSoundStep + 34) {
        loadSound(kSounds[step - kFirstSoundStep]);
    } else if (step == 90) {
        selectLanguage();
    } else if (step == 91) {
        if (qel && qel->pLanguage) qel->pLanguage->setLanguage(qel->defaultLanguage);
    } else if (step >= 92 && step <= 96) {
        const FontStep& f = kFonts[step - 92];
        fontRes(false, f.texturePrefix, u"", f.folder, u"");
    } else if (step >= 97 && step <= 101) {
        loadFont(step - 97);
    } else if (step == 102) {
        if (g) g->initPostLoader();
        bDone = true;
    }
}

namespace {

// The language screen and its two helpers: the hooks when set, else the menus' own.
int detectLanguage() {
    if (Loader::autodetectLanguage) return Loader::autodetectLanguage();
    return ContextLanguageSelect::autodetectLanguage();
}

int flagSkinIndex(const WString& isoCode) {
    if (Loader::isoCode2skinIndex) return Loader::isoCode2skinIndex(isoCode);
    return ContextLanguageSelect::isoCode2skinIndex(isoCode);
}

// The start-up before loading hands over to the loading screen.
Loader* startLoading(Global& application) {
    Loader::registerTexture(u"gui-game-progressBar", new Texture(2, u"xmas-edition/gfx/gui/game/progressbar.tga"));
    Loader::registerTexture(u"mousePointer", new Texture(0, u"gfx/gui/game/mousepointer.tga"));
    application.pContextManager = new ContextManager();
    auto* loader = new Loader();
    application.pContextManager->pushContext(loader);
    return loader;
}

const bool bStartsTheApplication = [] {
    Global::startLoader = &startLoading;
    return true;
}();

Context* makeLanguageSelect() {
    if (Loader::createLanguageSelect) return Loader::createLanguageSelect();
    return new ContextLanguageSelect();
}

}  // namespace

void Loader::selectLanguage() {
    const char16_t* fn = u"Loader::loadStuff";
    if (!qel) return;
    if (qel->singleLanguage >= 0) {
        qel->defaultLanguage = qel->singleLanguage;
        qelLog(fn, u"Single language mode (%d).", qel->defaultLanguage);
        return;
    }
    qelLog(fn, u"Multilanguage mode (%d).", qel->defaultLanguage);
    Language* language = qel->pLanguage;
    FileManager* fm = files();
    if (language && fm && fm->bUseWad) {
        for (int i = 0; i < LANGUAGE_COUNT; ++i) {
            if (!language->isLanguageAvailable(i)) continue;
            const WString codePage = language->texts[i][LANGUAGECODEPAGE];
            const WString isoCode = language->texts[i][LANGUAGEISOCODE];
            WString path = getDataArchivePath() + u"." + codePage;
            if (qel->hq2x == 2) path += u".hq2x";
            fm->verifyFileDisk(path);
            const int flagIndex = flagSkinIndex(isoCode);
            auto* flags = static_cast<Texture*>(resources()->find(true, u"languageFlags"));
            if (!(static_cast<int>(flags->skins.size()) > flagIndex))
                ErrorManager::assertionFailed(fn, __FILE__, __LINE__,
                                              u"FIND_RESOURCE(Texture,TT(\"languageFlags\"))->skins.size()>"
                                              u"ContextLanguageSelect::isoCode2skinIndex(isoCode)");
        }
    }
    if (qel->defaultLanguage == -2) {
        qel->defaultLanguage = detectLanguage();
    } else if (qel->defaultLanguage < 0) {
        Context* screen = game && game->pContextManager ? makeLanguageSelect() : nullptr;
        if (screen) game->pContextManager->pushContext(screen);
        else qel->defaultLanguage = detectLanguage();
    }
}

void Loader::fontRes(bool bPackPass, WStringView texturePrefix, WStringView rootPrefix, WStringView fontFolder,
                     WStringView codePage) {
    FileManager* fm = files();
    Language* language = qel ? qel->pLanguage : nullptr;
    if (!fm || !language) return;
    WString page(codePage);
    if (page.empty()) {
        if (fm->bCreateWad) {
            for (int i = 0; i < LANGUAGE_COUNT; ++i) fontRes(true, texturePrefix, rootPrefix, fontFolder, language->texts[i][LANGUAGECODEPAGE]);
        }
        page = language->getText(LANGUAGECODEPAGE);
    }
    fm->useWad(getDataArchivePath() + u"." + page);

    for (int n = 1;; ++n) {
        const WString file = format(u"%sgfx/font/%s/%s-%d.tga", rootPrefix, page, fontFolder, n);
        if (!fm->exists(file)) break;
        loadFontPage(bPackPass, 14, file, format(u"%s%d", texturePrefix, n));
    }
    for (int n = 1;; ++n) {
        const WString file = format(u"%sgfx/font/%s/extra-%s-%d.tga", rootPrefix, page, fontFolder, n);
        if (!fm->exists(file)) break;
        loadFontPage(bPackPass, 10, file, format(u"%sExtra%d", texturePrefix, n));
    }
    const WString tableName = format(u"%s.codepointLUT", page);
    if (!resourceExists(tableName)) {
        const WString file = format(u"%sgfx/font/%s/%s.codepointLUT.bin", rootPrefix, page, page);
        if (fm->exists(file)) {
            if (bPackPass) delete new DataBlock(0, file);
            else registerResource(new DataBlock(0, file), tableName);
        }
    }
    fm->useWad(getDataArchivePath());

    if (bPackPass || resourceExists(format(u"%s1", texturePrefix))) return;
    if (page == u"1252") QEL_FATAL(u"Loader::fontRes", u"Could not find any 8-bit glyphs for font '%s'", fontFolder);
    fontRes(false, texturePrefix, rootPrefix, fontFolder, u"1252");
}

void Loader::loadFont(int index) {
    const FontStep& f = kFonts[index];
    auto* font = new FontQuad();
    FontQuad** slots[] = {&game->pFontTiny, &game->pFontSmall, &game->pFontMedium, &game->pFontMediumOutline, &game->pFontLarge};
    if (game) *slots[index] = font;
    font->spaceWidth = f.spaceWidth;
    font->letterSpacing = f.letterSpacing;
    font->accentLiftUpper = f.accentUpper;
    font->accentLiftLower = f.accentLower;
    font->bUseFontCache = f.bFontCache;
    font->bWhiteCacheBackground = f.bWhiteCacheBackground;
    // The text scale of this engine is 1: fonts need no scale flag, and nothing hooks in after the
    // composite characters.
    if (index == 0) {
        font->addSourceTexture(static_cast<Texture*>(resources()->find(true, u"fontTinyTex1")), 33, false);
    } else {
        font->loadFontTextures(f.texturePrefix);
        if (index >= 2) font->defineCompositeChars();
    }
    font->createFontCache();
    registerResource(font, f.name);
}

void Loader::registerResource(QelBase* object, WStringView name) {
    if (game && game->pResourceRoot) game->pResourceRoot->addChild(object);
    if (resources()) resources()->addResource(object, name);
}

void Loader::registerTexture(WStringView name, Texture* texture) {
    registerResource(texture, name);
    for (size_t i = 0; i < texture->skins.size(); ++i) resources()->addResource(texture->skins[i], format(u"%s:%d", name, static_cast<int>(i)));
}
