// The options menu and its five sub-screens on the real screen stack: their rows, positions and
// bound settings, the screens the buttons open, the change of language, when the settings are
// applied, the letterbox row, the video-mode list and its edge cases, and the mirrored layout.

#include <gtest/gtest.h>

#include <typeinfo>

#include "menus/ContextMain.h"
#include "ui/ContextManager.h"
#include "menus/MenuApplication.h"
#include "ui/MenuEntry.h"
#include "ui/MenuItemButton.h"
#include "ui/MenuItemClose.h"
#include "ui/MenuOptionAudio.h"
#include "ui/MenuTestFixture.h"
#include "ui/TextLabel.h"
#include "engine/Logger.h"
#include "runtime/Shell.h"
#include "language/Language.h"
#include "media/VideoMode.h"
#include "menus/ContextAdvancedOptions.h"
#include "menus/ContextControlsOptions.h"
#include "menus/ContextGameplayOptions.h"
#include "menus/ContextGraphicsOptions.h"
#include "menus/ContextHelp.h"
#include "menus/ContextNetworkWizard1.h"
#include "menus/ContextOptions.h"
#include "menus/ContextSoundOptions.h"
#include "menus/EnumValueItem.h"
#include "menus/ListValueItem.h"
#include "menus/MenuLevelBar.h"

namespace {

// The type of the screen on top of the stack.
const std::type_info& topType(const ContextManager& stack) {
    const Context* const top = stack.getTopContext();
    return typeid(*top);
}

// The layout is 800 by 480: the title line T = 200, the bottom-left button x = 80 - 385.
constexpr float T = 200.0f;
constexpr float BACK_X = -305.0f;

struct OptionsTest : MenuTest {
    void SetUp() override {
        MenuTest::SetUp();
        pictures->addStandardPictures();
        application = new MenuApplication();
        stack = application->pContextManager = new ContextManager();
        config = &application->gameConfiguration;
        qel->singleLanguage = -1;
        // As the loader leaves them: the record's display flags are the engine's.
        config->bFullScreen = graphics->bFullScreen;
        config->bAllowLetterbox = graphics->bAllowLetterbox;
        config->bUseVSync = graphics->bUseVSync;
        config->bBilinearFilter = graphics->bBilinearFilter;
    }
    void TearDown() override {
        delete application;
        bRestartQEL = false;
        qel->pLanguage->bRightToLeft = false;
        ContextMenu::fillMenuLayout(false);
        MenuTest::TearDown();
    }
    void tick() { stack->tick(0, 0.016); }
    void press(int code) {
        keys({code});
        tick();
        keys({});
    }
    template <class T>
    T* open() {
        auto* screen = new T();
        stack->pushContext(screen);
        tick();
        return screen;
    }
    // A press in the next frame at the world point.
    void pressAt(float x, float y) {
        input()->pointer = ContextMenu::worldToPointer(stack->getTopContext(), Vector3(x, y, 0));
        addTouch(Vector3())->bPressed = true;
        tick();
        input()->touchList.deleteChildren();
    }
    std::vector<MenuNavigable*> navigation(ContextMenu* menu) {
        std::vector<MenuNavigable*> out;
        for (BasicLink* l = menu->navigation.firstChild; l; l = l->next) out.push_back(static_cast<MenuEntry*>(l)->getItem());
        return out;
    }
    TextLabel* title(ContextMenu* menu) {
        for (BasicLink* c = menu->firstChild; c; c = c->next)
            if (auto* label = dynamic_cast<TextLabel*>(static_cast<QelBase*>(c))) return label;
        return nullptr;
    }
    void useModes(std::initializer_list<std::pair<int, int>> sizes) {
        graphics->videoModes->deleteChildren();
        for (auto [w, h] : sizes) graphics->videoModes->addChild(new VideoMode(w, h));
    }
    static std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }
    static size_t count(const std::string& text, const std::string& needle) {
        size_t n = 0;
        for (size_t at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) ++n;
        return n;
    }

    MenuApplication* application = nullptr;
    ContextManager* stack = nullptr;
    GameConfiguration* config = nullptr;
};

struct Row {
    MenuItem* item;
    float x, y;
    const char16_t* caption;
};

void expectRows(const std::vector<Row>& rows) {
    for (const Row& r : rows) {
        SCOPED_TRACE(wideToUtf8(r.caption));
        ASSERT_NE(r.item, nullptr);
        EXPECT_FLOAT_EQ(r.item->position.x, r.x);
        EXPECT_FLOAT_EQ(r.item->position.y, r.y);
        EXPECT_EQ(r.item->caption, WString(qel->pLanguage->getTextByString(r.caption, true)));
    }
}

}  // namespace

TEST_F(OptionsTest, OptionsMenuListsItsButtonsInOrder) {
    auto* options = open<ContextOptions>();
    ASSERT_NE(options->pChangeLanguageButton, nullptr);
    expectRows({{options->pGameplayButton, 0, 100, u"GAMEPLAY"},
                {options->pControlsButton, 0, 50, u"CONTROLS"},
                {options->pGraphicsButton, 0, 0, u"GRAPHICS"},
                {options->pSoundButton, 0, -50, u"SOUND"},
                {options->pNetworkWizardButton, 0, -100, u"NETWORKWIZARD"},
                {options->pChangeLanguageButton, 0, -150, u"CHANGELANGUAGE"},
                {options->pHelpButton, 0, -T, u"HELP"},
                {options->pBackButton, BACK_X, -T, u"BACK"}});
    EXPECT_FLOAT_EQ(options->pHelpButton->frameWidth, 160.0f);
    EXPECT_FLOAT_EQ(options->pBackButton->frameWidth, 160.0f);
    EXPECT_EQ(options->pGameplayButton->hint, u"");
    const std::vector<MenuNavigable*> order = {options->pGameplayButton,      options->pControlsButton,
                                               options->pGraphicsButton,      options->pSoundButton,
                                               options->pNetworkWizardButton, options->pChangeLanguageButton,
                                               options->pHelpButton,          options->pBackButton};
    EXPECT_EQ(navigation(options), order);
    EXPECT_TRUE(options->bDeleteWhenDone);
    EXPECT_EQ(options->pPreHook, application->pContextIntro);
    ASSERT_NE(title(options), nullptr);
    EXPECT_EQ(title(options)->text, WString(qel->pLanguage->getText(OPTIONS)));
    EXPECT_FLOAT_EQ(title(options)->position.y, T);
}

TEST_F(OptionsTest, SingleLanguageModeHasNoLanguageButtonAndNavigationSkipsItsPlace) {
    qel->singleLanguage = 0;
    auto* options = open<ContextOptions>();
    EXPECT_EQ(options->pChangeLanguageButton, nullptr);
    EXPECT_EQ(navigation(options).size(), 7u);
    // Down from the network button lands on HELP.
    const Vector3 from = options->pNetworkWizardButton->getNavigationPoint(0);
    const Vector3 to = options->findNextItem(from, ContextMenu::DIR_DOWN);
    const Vector3 help = options->pHelpButton->getNavigationPoint(0);
    EXPECT_FLOAT_EQ(to.x, help.x);
    EXPECT_FLOAT_EQ(to.y, help.y);
}

TEST_F(OptionsTest, ButtonsOpenANewScreenEachTime) {
    auto* options = open<ContextOptions>();
    struct Case {
        MenuItemButton* button;
        const std::type_info& type;
    };
    const Case cases[] = {{options->pGameplayButton, typeid(ContextGameplayOptions)},
                          {options->pControlsButton, typeid(ContextControlsOptions)},
                          {options->pGraphicsButton, typeid(ContextGraphicsOptions)},
                          {options->pSoundButton, typeid(ContextSoundOptions)},
                          {options->pGameplayButton, typeid(ContextGameplayOptions)}};
    // Each screen is marked before it is closed: a screen that came back instead of a new one
    // would still carry the mark. (Its address says nothing: the next screen may be given the
    // memory of the one deleted before.)
    constexpr uint32_t kClosedMark = 0x5EE11E55u;
    for (const Case& c : cases) {
        c.button->bClicked = true;
        tick();
        EXPECT_FALSE(c.button->bClicked);
        Context* top = stack->getTopContext();
        ASSERT_NE(top, options);
        EXPECT_EQ(typeid(*top), c.type);
        EXPECT_NE(top->clearColor, kClosedMark);
        top->clearColor = kClosedMark;
        top->bDone = true;
        tick();
        EXPECT_EQ(stack->getTopContext(), options);
    }
    // Several clicks in one tick are all handled, in the order of the buttons.
    options->pSoundButton->bClicked = true;
    options->pControlsButton->bClicked = true;
    tick();
    Context* top = stack->getTopContext();
    EXPECT_EQ(typeid(*top), typeid(ContextSoundOptions));
    EXPECT_EQ(typeid(*static_cast<Context*>(top->prev)), typeid(ContextControlsOptions));
    top->bDone = true;
    static_cast<Context*>(top->prev)->bDone = true;
    tick();
    options->pHelpButton->bClicked = true;
    tick();
    EXPECT_EQ(topType(*stack), typeid(ContextHelp));
    stack->getTopContext()->bDone = true;
    tick();
    // The network button opens the network test's first page.
    options->pNetworkWizardButton->bClicked = true;
    tick();
    EXPECT_EQ(topType(*stack), typeid(ContextNetworkWizard1));
    EXPECT_FALSE(options->pNetworkWizardButton->bClicked);
    stack->getTopContext()->bDone = true;
    tick();
    EXPECT_EQ(stack->getTopContext(), options);
}

TEST_F(OptionsTest, ChangeLanguageForgetsTheLanguageAndRestarts) {
    qel->defaultLanguage = 1;
    auto* options = open<ContextOptions>();
    options->pChangeLanguageButton->bClicked = true;
    tick();
    EXPECT_EQ(qel->defaultLanguage, -1);
    EXPECT_TRUE(bRestartQEL);
    EXPECT_EQ(stack->getTopContext(), options);
}

TEST_F(OptionsTest, MainMenuOptionsEntryOpensTheOptions) {
    // A named player: without one the greeting asks for a name first.
    application->profileManager.addProfile(u"Ann");
    auto* menu = open<ContextMain>();
    menu->pOptionsButton->bClicked = true;
    tick();
    EXPECT_NE(dynamic_cast<ContextOptions*>(stack->getTopContext()), nullptr);
    // Back on the main menu by Escape.
    press(1);
    tick();
    EXPECT_EQ(stack->getTopContext(), menu);
}

TEST_F(OptionsTest, SubScreensPlaceTheirRowsOverTheirSettings) {
    auto* gameplay = open<ContextGameplayOptions>();
    expectRows({{gameplay->pTutorial, 0, 50, u"TUTORIAL"},
                {gameplay->pColorBlind, 0, 0, u"COLORBLIND"},
                {gameplay->pColorizeMouse, 0, -50, u"COLORIZEMOUSE"},
                {gameplay->pAllowCheats, 0, -100, u"ALLOWCHEATS"},
                {gameplay->pBackButton, BACK_X, -T, u"BACK"}});
    EXPECT_EQ(gameplay->pTutorial->pOption, &config->bTutorial);
    EXPECT_EQ(gameplay->pColorBlind->pOption, &config->bColorBlind);
    EXPECT_EQ(gameplay->pColorizeMouse->pOption, &config->bColorizeMouse);
    EXPECT_EQ(gameplay->pAllowCheats->pOption, &config->bAllowCheats);
    EXPECT_EQ(gameplay->pTutorial->hint, WString(qel->pLanguage->getText(TUTORIALHINT)));
    EXPECT_EQ(navigation(gameplay).size(), 5u);

    auto* controls = open<ContextControlsOptions>();
    expectRows({{controls->pSwapMouse, 0, 0, u"SWAPMOUSE"}, {controls->pBackButton, BACK_X, -T, u"BACK"}});
    EXPECT_EQ(controls->pSwapMouse->pOption, &config->bSwapMouse);

    auto* graphicsScreen = open<ContextGraphicsOptions>();
    expectRows({{graphicsScreen->pDetail, 0, 0, u"DETAIL"},
                {graphicsScreen->pAdvancedButton, 257, -T, u"ADVANCEDOPTIONS"},
                {graphicsScreen->pBackButton, BACK_X, -T, u"BACK"}});
    EXPECT_EQ(graphicsScreen->pDetail->target, &config->detailLevel);
    EXPECT_EQ(graphicsScreen->pDetail->firstTextId, int(ENUMDETAIL0));
    EXPECT_EQ(graphicsScreen->pDetail->maxValue, 1);

    auto* sound = open<ContextSoundOptions>();
    expectRows({{sound->pSoundQuality, 64, 100, u"SOUNDQUALITY"},
                {sound->pSoundVolume, 64, 50, u"SOUNDVOLUME"},
                {sound->pMusicVolume, 64, 0, u"MUSICVOLUME"},
                {sound->pInGameMusic, -39, -50, u"INGAMEMUSIC"},
                {sound->pMuteAudio, -39, -100, u"MUTEAUDIO"},
                {sound->pBackButton, BACK_X, -T, u"BACK"}});
    EXPECT_EQ(sound->pSoundQuality->target, &config->soundQuality);
    EXPECT_EQ(sound->pSoundQuality->firstTextId, int(ENUMSOUNDQUALITY0));
    EXPECT_EQ(sound->pSoundQuality->maxValue, 2);
    EXPECT_EQ(sound->pSoundVolume->target, &config->soundVolume);
    EXPECT_EQ(sound->pMusicVolume->target, &config->musicVolume);
    EXPECT_EQ(sound->pMusicVolume->maxValue, 24);
    EXPECT_EQ(sound->pInGameMusic->pOption, &config->bInGameMusic);
    EXPECT_EQ(sound->pMuteAudio->pOption, &config->bMuteAudio);

    auto* advanced = open<ContextAdvancedOptions>();
    expectRows({{advanced->pVideoMode, 0, 125, u"VIDEOMODE"},
                {advanced->pMaxFps, 0, 75, u"MAXIMUMFPS"},
                {advanced->pFullScreen, -103, 25, u"FULLSCREEN"},
                {advanced->pLetterbox, 103, 25, u"LETTERBOX"},
                {advanced->pVSync, -103, -25, u"VSYNC"},
                {advanced->pBilinearFilter, -103, -75, u"BILINEARFILTER"},
                {advanced->pShowFps, -103, -125, u"SHOWFPS"},
                {advanced->pBackButton, BACK_X, -T, u"BACK"}});
    EXPECT_EQ(advanced->pVideoMode->target, &advanced->selectedMode);
    EXPECT_EQ(advanced->pVideoMode->valueNames, &advanced->modeNames);
    EXPECT_EQ(advanced->pMaxFps->target, &config->maxFramesPerSecond);
    EXPECT_EQ(advanced->pFullScreen->pOption, &config->bFullScreen);
    EXPECT_EQ(advanced->pLetterbox->pOption, &config->bAllowLetterbox);
    EXPECT_EQ(advanced->pVSync->pOption, &config->bUseVSync);
    EXPECT_EQ(advanced->pBilinearFilter->pOption, &config->bBilinearFilter);
    EXPECT_EQ(advanced->pShowFps->pOption, &config->bShowFps);
    EXPECT_EQ(advanced->pVideoMode->hint, WString(qel->pLanguage->getText(VIDEOMODEHINT)));
    for (MenuItem* item : {static_cast<MenuItem*>(advanced->pVideoMode), static_cast<MenuItem*>(advanced->pMaxFps),
                           static_cast<MenuItem*>(advanced->pLetterbox), static_cast<MenuItem*>(advanced->pShowFps)})
        EXPECT_EQ(item->captionLocation, 4);
    EXPECT_EQ(navigation(advanced).size(), 8u);

    for (ContextMenu* screen : std::initializer_list<ContextMenu*>{gameplay, controls, graphicsScreen, sound, advanced}) {
        EXPECT_TRUE(screen->bDeleteWhenDone);
        EXPECT_EQ(screen->pPreHook, application->pContextIntro);
        ASSERT_NE(title(screen), nullptr);
        EXPECT_FLOAT_EQ(title(screen)->position.y, T);
    }
    EXPECT_EQ(title(advanced)->text, WString(qel->pLanguage->getText(ADVANCEDOPTIONS)));
}

TEST_F(OptionsTest, GraphicsScreenOpensTheAdvancedScreen) {
    auto* screen = open<ContextGraphicsOptions>();
    screen->pAdvancedButton->bClicked = true;
    tick();
    EXPECT_NE(dynamic_cast<ContextAdvancedOptions*>(stack->getTopContext()), nullptr);
    EXPECT_FALSE(screen->pAdvancedButton->bClicked);
}

TEST_F(OptionsTest, RightToLeftScreensAreTheMirrorOfTheLeftToRightOnes) {
    qel->pLanguage->bRightToLeft = true;
    auto* advanced = open<ContextAdvancedOptions>();
    EXPECT_FLOAT_EQ(advanced->pFullScreen->position.x, 103.0f);
    EXPECT_FLOAT_EQ(advanced->pLetterbox->position.x, -103.0f);
    EXPECT_FLOAT_EQ(advanced->pShowFps->position.x, 103.0f);
    EXPECT_FLOAT_EQ(advanced->pBackButton->position.x, -BACK_X);
    EXPECT_EQ(advanced->pVideoMode->captionLocation, 6);
    EXPECT_EQ(advanced->pFullScreen->captionLocation, 6);
    // The closing button keeps its caption inside.
    EXPECT_EQ(advanced->pBackButton->captionLocation, 5);
    auto* sound = open<ContextSoundOptions>();
    EXPECT_FLOAT_EQ(sound->pSoundVolume->position.x, -64.0f);
    EXPECT_FLOAT_EQ(sound->pMuteAudio->position.x, 39.0f);
    auto* graphicsScreen = open<ContextGraphicsOptions>();
    EXPECT_FLOAT_EQ(graphicsScreen->pAdvancedButton->position.x, -257.0f);
}

TEST_F(OptionsTest, SoundScreenAppliesWhenClosedByEscapeOrBackNotWhenCovered) {
    config->maxFramesPerSecond = 40;
    qel->frameTimer.period = 1.0;
    auto* sound = open<ContextSoundOptions>();
    // Covered by another screen: nothing applied.
    auto* gameplay = open<ContextGameplayOptions>();
    EXPECT_DOUBLE_EQ(qel->frameTimer.period, 1.0);
    gameplay->bDone = true;
    tick();
    EXPECT_EQ(stack->getTopContext(), sound);
    EXPECT_DOUBLE_EQ(qel->frameTimer.period, 1.0);
    press(1);
    tick();
    EXPECT_NE(stack->getTopContext(), sound);
    EXPECT_DOUBLE_EQ(qel->frameTimer.period, 1.0 / 40);
    // BACK does the same.
    config->maxFramesPerSecond = 50;
    sound = open<ContextSoundOptions>();
    sound->pBackButton->onClick();
    tick();
    EXPECT_DOUBLE_EQ(qel->frameTimer.period, 1.0 / 50);
}

TEST_F(OptionsTest, LetterboxRowFollowsFullScreenAtTheNextTick) {
    config->bFullScreen = 1;
    auto* advanced = open<ContextAdvancedOptions>();
    EXPECT_FALSE(advanced->pLetterbox->bDisabled);
    // The full-screen box at (-103, 25) is clicked off.
    pressAt(-103, 25);
    EXPECT_EQ(config->bFullScreen, 0);
    tick();
    EXPECT_TRUE(advanced->pLetterbox->bDisabled);
    pressAt(-103, 25);
    EXPECT_EQ(config->bFullScreen, 1);
    tick();
    EXPECT_FALSE(advanced->pLetterbox->bDisabled);
    // A disabled row ignores presses.
    config->bFullScreen = 0;
    tick();
    const uint8_t letterbox = config->bAllowLetterbox;
    pressAt(103, 25);
    EXPECT_EQ(config->bAllowLetterbox, letterbox);
}

TEST_F(OptionsTest, WindowSizeMatchingNoModeShowsTheFirstAndClosingKeepsIt) {
    // The window's 800 by 480 back buffer is no display mode.
    ASSERT_EQ(graphics->backBufferWidth, 800);
    ASSERT_EQ(graphics->backBufferHeight, 480);
    const int width = graphics->videoModeWidth, height = graphics->videoModeHeight;
    const size_t restarts = count(logText(), "Restarting to apply configuration.");
    auto* advanced = open<ContextAdvancedOptions>();
    ASSERT_FALSE(advanced->modes.empty());
    EXPECT_EQ(advanced->selectedMode, 0);
    EXPECT_EQ(advanced->pVideoMode->valueText(), advanced->modeNames[0]);
    EXPECT_EQ(advanced->modeNames.size(), size_t(graphics->videoModes->countChildren()));
    advanced->pBackButton->onClick();
    tick();
    EXPECT_EQ(graphics->videoModeWidth, width);
    EXPECT_EQ(graphics->videoModeHeight, height);
    EXPECT_EQ(count(logText(), "Restarting to apply configuration."), restarts);
}

TEST_F(OptionsTest, TwoModesOfTheCurrentSizeStartOnTheLaterOne) {
    useModes({{640, 480}, {800, 480}, {800, 480}, {1024, 768}});
    auto* advanced = open<ContextAdvancedOptions>();
    EXPECT_EQ(advanced->selectedMode, 2);
    EXPECT_EQ(ContextAdvancedOptions::findMode({{1, 1}, {2, 2}, {1, 1}}, 1, 1), 2);
    EXPECT_EQ(ContextAdvancedOptions::findMode({{1, 1}}, 3, 3), 0);
    EXPECT_EQ(ContextAdvancedOptions::findMode({}, 3, 3), 0);
}

TEST_F(OptionsTest, AChosenModeIsAppliedOnClosing) {
    useModes({{640, 480}, {800, 480}, {1024, 768}});
    auto* advanced = open<ContextAdvancedOptions>();
    ASSERT_EQ(advanced->selectedMode, 1);
    const size_t restarts = count(logText(), "Restarting to apply configuration.");
    // The right arrow of the row at (0, 125).
    pressAt(104, 125);
    EXPECT_EQ(advanced->selectedMode, 2);
    EXPECT_EQ(advanced->pVideoMode->valueText(), u"1024x768 (4:3)");
    press(1);
    tick();
    EXPECT_EQ(graphics->videoModeWidth, 1024);
    EXPECT_EQ(graphics->videoModeHeight, 768);
    EXPECT_EQ(count(logText(), "Restarting to apply configuration."), restarts + 1);
}

TEST_F(OptionsTest, StepsAwayAndBackStillChooseTheMode) {
    useModes({{640, 480}, {1024, 768}});
    auto* advanced = open<ContextAdvancedOptions>();
    ASSERT_EQ(advanced->selectedMode, 0);
    pressAt(104, 125);
    pressAt(-104, 125);
    EXPECT_EQ(advanced->selectedMode, 0);
    EXPECT_TRUE(advanced->bModeChanged);
    EXPECT_EQ(advanced->modeToApply().width, 640);
    EXPECT_EQ(advanced->modeToApply().height, 480);
}

TEST_F(OptionsTest, NoModesDisableTheRowWhichShowsTheCurrentSize) {
    graphics->videoModes->deleteChildren();
    const int width = graphics->videoModeWidth, height = graphics->videoModeHeight;
    auto* advanced = open<ContextAdvancedOptions>();
    EXPECT_TRUE(advanced->pVideoMode->bDisabled);
    EXPECT_EQ(advanced->pVideoMode->valueText(), u"800x480");
    EXPECT_EQ(advanced->pVideoMode->maxValue, 0);
    pressAt(104, 125);
    EXPECT_EQ(advanced->selectedMode, 0);
    EXPECT_EQ(advanced->modeToApply().width, -1);
    press(1);
    tick();
    EXPECT_EQ(graphics->videoModeWidth, width);
    EXPECT_EQ(graphics->videoModeHeight, height);
}

TEST_F(OptionsTest, FrameRateStepsByFiveFrom25To125AndVolumesByOne) {
    config->maxFramesPerSecond = 25;
    auto* advanced = open<ContextAdvancedOptions>();
    std::vector<int> seen = {config->maxFramesPerSecond};
    for (int i = 0; i < 21; ++i) {
        pressAt(104, 75);
        seen.push_back(config->maxFramesPerSecond);
    }
    for (size_t i = 0; i < seen.size(); ++i) EXPECT_EQ(seen[i], std::min(125, 25 + 5 * int(i))) << i;
    advanced->bDone = true;
    tick();
    config->soundVolume = 0;
    open<ContextSoundOptions>();
    for (int i = 1; i <= 25; ++i) {
        pressAt(64 + 104, 50);
        EXPECT_EQ(config->soundVolume, std::min(i, 24));
    }
    pressAt(64 - 104, 50);
    EXPECT_EQ(config->soundVolume, 23);
}
