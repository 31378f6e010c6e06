// The loading screen: its steps, its frame budget and yield rules, and the language step.

#include <gtest/gtest.h>

#include "AppFixture.h"
#include "ui/TestPictures.h"
#include "ui/ContextStudioLogo.h"
#include "menus/Loader.h"
#include "engine/Product.h"
#include "menus/ContextErrorReport.h"
#include "engine/FileManager.h"
#include "engine/MemoryIniFile.h"
#include "engine/ResourceManager.h"
#include "language/Language.h"
#include "media/QelAudio.h"
#include "media/QelGraphics.h"
#include "support/RecordingDirect3D.h"
#include "support/OggEncoder.h"
#include "support/TestFolder.h"

#include <filesystem>
#include <memory>

namespace {

// What the start screens that the last step makes need: a (recording) graphics device for their
// frames and stand-ins for their pictures.
struct StartScreenData {
    explicit StartScreenData(Qel* engine) : engine(engine) {
        if (!engine->pQelGraphics) {
            config = std::make_unique<MemoryIniFile>(folder.wfile("test.cfg"));
            config->setBool(false, u"QelGraphics", u"bFullScreen");
            QelGraphics::createDirect3D = &RecordingDirect3D::create;
            RecordingDirect3D::next = new RecordingDirect3D();
            engine->pQelGraphics = new QelGraphics(nullptr, config.get());
            bOwnGraphics = true;
        }
        pictures = std::make_unique<TestPictures>();
        pictures->addFrameTextures();
        pictures->addStandardPictures();
    }
    ~StartScreenData() {
        pictures.reset();
        if (!bOwnGraphics) return;
        delete engine->pQelGraphics;
        engine->pQelGraphics = nullptr;
        QelGraphics::createDirect3D = &Direct3DCreate9;
    }
    Qel* engine;
    bool bOwnGraphics = false;
    TestFolder folder{"loader-graphics"};
    std::unique_ptr<MemoryIniFile> config;
    std::unique_ptr<TestPictures> pictures;
};

class LoaderTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        savedFolder = std::filesystem::current_path();
        std::filesystem::current_path(data.path);
        application->pResourceRoot = new QelBase();
        loader = new Loader();
        stack->pushContext(loader);
        // The test data are loose files, not archives.
        engine->pFileManager->bUseWad = false;
    }
    void TearDown() override {
        Loader::createLanguageSelect = nullptr;
        Loader::autodetectLanguage = nullptr;
        Loader::isoCode2skinIndex = nullptr;
        languageScreen = nullptr;
        AppTest::TearDown();
        std::filesystem::current_path(savedFolder);
    }
    // Runs the one step after 'step'.
    void runStepAfter(int step) {
        loader->currentStep = step;
        loader->loadStuff(false);
    }

    // Loose data files beside the test, in place of the archives.
    void writeMusic(const std::string& name) {
        std::filesystem::create_directories(std::filesystem::path(data.file(name)).parent_path());
        writeFileBytes(data.file(name), encodeOgg(makeTone(440, 22050, 2205), 1, 22050));
    }

    TestFolder data{"vesk-loader"};
    std::filesystem::path savedFolder;
    Loader* loader = nullptr;
    static inline Journal* journalOut = nullptr;
    static inline ProbeScreen* languageScreen = nullptr;
    Journal journal;
};

}  // namespace

TEST_F(LoaderTest, CountsItsStepsWithoutPerformingAny) {
    EXPECT_EQ(loader->stepCount, 102);
    EXPECT_EQ(loader->loadStuff(true), 102);
    EXPECT_EQ(loader->currentStep, 0);
    EXPECT_TRUE(loader->bDeleteWhenDone);
    EXPECT_FALSE(loader->bEscapeCloses);
    EXPECT_FALSE(loader->bShowPointer);
    EXPECT_TRUE(loader->bHideFrameRate);
    EXPECT_EQ(loader->clearColor, 0xFF000000u);
}

TEST_F(LoaderTest, FirstTickPerformsOnlyTheEmptyFirstStep) {
    // The clock stands still, so only the yield rules can end the frame.
    tick();
    EXPECT_EQ(loader->currentStep, 1);
    EXPECT_FALSE(loader->bYieldFrame);
}

TEST_F(LoaderTest, StepThreeAppliesTheSettingsAndEndsTheFrame) {
    application->gameConfiguration.maxFramesPerSecond = 50;
    writeMusic("xmas-edition/sfx/music/theme.ogg");
    tick();
    tick();
    EXPECT_EQ(loader->currentStep, 3);
    QelBase* music = engine->pResourceManager->find(false, u"musicMenu");
    ASSERT_NE(music, nullptr);
    EXPECT_EQ(music->owner, application->pResourceRoot);
    EXPECT_DOUBLE_EQ(engine->frameTimer.period, 1.0 / 50);
}

TEST_F(LoaderTest, AfterTheLastStepNothingMoreHappens) {
    StartScreenData startData(engine);
    runStepAfter(101);
    EXPECT_EQ(loader->currentStep, 102);
    EXPECT_TRUE(loader->bDone);
    EXPECT_NE(logText().find("Global::initPostLoader(): Global initialization complete at t="), std::string::npos);
    EXPECT_EQ(loader->loadStuff(false), 102);
    EXPECT_EQ(loader->currentStep, 102);
    // The stack removes and deletes the finished loader; the start screens pushed by the last
    // step follow it, the studio logo in front.
    tick();
    EXPECT_NE(dynamic_cast<ContextStudioLogo*>(stack->getTopContext()), nullptr);
    EXPECT_FALSE(stack->bQuit);
    // The screens go before their device and pictures.
    delete application;
    application = nullptr;
}

// After a crash the crash report is the first screen: only the log or the dump of a crash counts.
struct CrashCheckCase {
    const char* name;
    bool log, dump, screenshot;
    bool report;
};
void PrintTo(const CrashCheckCase& c, std::ostream* os) { *os << c.name; }
struct LoaderCrashCheckTest : LoaderTest, testing::WithParamInterface<CrashCheckCase> {};

TEST_P(LoaderCrashCheckTest, CrashReportComesFirstAfterACrash) {
    const CrashCheckCase& c = GetParam();
    const std::pair<bool, WString> files[] = {
        {c.log, getCrashLogPath()}, {c.dump, getCrashDumpPath()}, {c.screenshot, getCrashScreenshotPath()}};
    for (const auto& [present, path] : files) {
        std::filesystem::remove(wideToUtf8(path));
        if (present) writeFileBytes(wideToUtf8(path), "x");
    }
    StartScreenData startData(engine);
    runStepAfter(101);
    tick();
    Context* front = stack->getTopContext();
    EXPECT_EQ(dynamic_cast<ContextErrorReport*>(front) != nullptr, c.report);
    // Below the report the start screens follow as always.
    Context* logo = c.report ? static_cast<Context*>(front->prev) : front;
    EXPECT_NE(dynamic_cast<ContextStudioLogo*>(logo), nullptr);
    delete application;
    application = nullptr;
    for (const auto& [present, path] : files) std::filesystem::remove(wideToUtf8(path));
}

INSTANTIATE_TEST_SUITE_P(CrashFiles, LoaderCrashCheckTest,
                         testing::Values(CrashCheckCase{"None", false, false, false, false},
                                         CrashCheckCase{"ScreenshotOnly", false, false, true, false},
                                         CrashCheckCase{"Log", true, false, false, true},
                                         CrashCheckCase{"Dump", false, true, false, true},
                                         CrashCheckCase{"All", true, true, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(LoaderTest, SingleLanguageWinsOverAnyDefault) {
    for (int preset : {-2, -1, 4}) {
        engine->singleLanguage = 3;
        engine->defaultLanguage = preset;
        Loader::createLanguageSelect = []() -> Context* {
            ADD_FAILURE() << "no language screen in single-language mode";
            return new Context();
        };
        runStepAfter(89);
        EXPECT_EQ(engine->defaultLanguage, 3) << preset;
        EXPECT_EQ(stack->getTopContext(), loader);
    }
    EXPECT_NE(logText().find("Single language mode (3)."), std::string::npos);
}

TEST_F(LoaderTest, MinusTwoDetectsTheLanguage) {
    engine->singleLanguage = -1;
    engine->defaultLanguage = -2;
    Loader::autodetectLanguage = [] { return 2; };
    runStepAfter(89);
    EXPECT_EQ(engine->defaultLanguage, 2);
    EXPECT_EQ(stack->getTopContext(), loader);
    EXPECT_NE(logText().find("Multilanguage mode (-2)."), std::string::npos);
    runStepAfter(90);
    EXPECT_EQ(engine->pLanguage->currentLanguage, 2);
}

TEST_F(LoaderTest, AStoredLanguageIsKept) {
    engine->singleLanguage = -1;
    engine->defaultLanguage = 1;
    Loader::autodetectLanguage = [] { return 4; };
    runStepAfter(89);
    EXPECT_EQ(engine->defaultLanguage, 1);
    EXPECT_EQ(stack->getTopContext(), loader);
}

TEST_F(LoaderTest, MinusOneAsksAndLoadingWaitsBeneathTheScreen) {
    engine->singleLanguage = -1;
    engine->defaultLanguage = -1;
    journalOut = &journal;
    Loader::createLanguageSelect = []() -> Context* {
        languageScreen = new ProbeScreen(*journalOut, "language");
        languageScreen->bDeleteWhenDone = true;
        return languageScreen;
    };
    loader->currentStep = 89;
    loader->bYieldFrame = false;
    tick();
    ASSERT_NE(languageScreen, nullptr);
    EXPECT_EQ(loader->currentStep, 90) << "the frame ends once another screen is on top";
    EXPECT_EQ(stack->getTopContext(), languageScreen);
    for (int i = 0; i < 3; ++i) tick();
    EXPECT_EQ(loader->currentStep, 90) << "no loading beneath the language screen";

    // The player picks Italian; the loader then performs one step and ends the frame.
    languageScreen->onTick = [](ProbeScreen& self) {
        qel->defaultLanguage = 3;
        self.bDone = true;
    };
    tick();
    tick();
    EXPECT_EQ(loader->currentStep, 91);
    EXPECT_EQ(engine->pLanguage->currentLanguage, 3);
}

TEST_F(LoaderTest, AvailableLanguagesNeedTheirCodePageArchives) {
    engine->singleLanguage = -1;
    engine->defaultLanguage = 0;
    engine->pFileManager->bUseWad = true;
    engine->hq2x = 2;
    // No "VeskDiruzuri.dat.<code page>.hq2x" lies beside the tests.
    EXPECT_EXIT(runStepAfter(89), testing::ExitedWithCode(255), "");
    EXPECT_NE(logText().find(".hq2x verification failed"), std::string::npos);
}

TEST_F(LoaderTest, AStepThatSpendsTheBudgetEndsTheFrame) {
    static platform::TestClock* testClock = nullptr;
    testClock = &clock;
    engine->singleLanguage = -1;
    engine->defaultLanguage = -2;
    // The language detection takes longer than a frame may; the next steps wait for the next frame.
    Loader::autodetectLanguage = [] {
        testClock->advance(0.3);
        return 0;
    };
    loader->currentStep = 89;
    loader->bYieldFrame = false;
    tick();
    EXPECT_EQ(loader->currentStep, 90);
}

TEST_F(LoaderTest, AudioSettingsSetTheFrameRateAndTheNextSampleRate) {
    ASSERT_NE(engine->pQelAudio, nullptr);
    struct Case {
        int quality, frequency, fps;
    } cases[] = {{0, 11025, 25}, {1, 22050, 100}, {2, 44100, 125}};
    for (const Case& k : cases) {
        clock.advance(1.5);
        application->gameConfiguration.soundQuality = k.quality;
        application->gameConfiguration.maxFramesPerSecond = k.fps;
        application->applyAudioSettings(-1, -1);
        EXPECT_EQ(engine->pQelAudio->frequency, k.frequency);
        EXPECT_DOUBLE_EQ(engine->frameTimer.period, 1.0 / k.fps);
        EXPECT_DOUBLE_EQ(engine->frameTimer.frameTime, engine->pTimeKeeper->getTime());
        EXPECT_DOUBLE_EQ(engine->frameTimer.previousFrameTime, engine->pTimeKeeper->getTime());
    }
}
