// The whole loading run against the archives the build generates beside the program.

#include <gtest/gtest.h>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "engine/ClassRegistry.h"
#include "runtime/Console.h"
#include "engine/EngineFixture.h"
#include "engine/FileManager.h"
#include "engine/ResourceManager.h"
#include "engine/Utilities.h"
#include "language/Language.h"
#include "media/FontQuad.h"
#include "runtime/QelRuntime.h"
#include "support/GeneratedData.h"

class LoaderArchiveTest : public EngineTestOn<QelRuntime> {};

TEST_F(LoaderArchiveTest, AllStepsRunAndHandOver) {
    VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
    start();
    engine->singleLanguage = -1;
    engine->defaultLanguage = -2;
    Loader::autodetectLanguage = [] { return 1; };
    auto* application = new GameGlobal();
    Loader* loader = application->initPreLoader();
    ContextManager* stack = application->pContextManager;
    ASSERT_EQ(stack->getTopContext(), loader);
    // The clock stands still: only the yield rules end a frame.
    stack->tick(0, 0);
    EXPECT_EQ(loader->currentStep, 1);
    stack->tick(0, 0);
    EXPECT_EQ(loader->currentStep, 3);
    for (int frame = 0; frame < 20 && stack->getTopContext() == loader && loader->currentStep < 102; ++frame) stack->tick(0, 0);
    EXPECT_NE(logText().find("Global::initPostLoader(): Global initialization complete at t="), std::string::npos);
    EXPECT_EQ(engine->pLanguage->currentLanguage, 1);
    EXPECT_EQ(engine->defaultLanguage, 1);
    // The shared sounds and music are there under their names, owned by the resource root.
    for (const char16_t* name : {u"musicMenu", u"musicGame4", u"musicHurry", u"mouseClick", u"applause3"}) {
        QelBase* r = engine->pResourceManager->find(false, name);
        ASSERT_NE(r, nullptr) << wideToUtf8(name);
        EXPECT_EQ(r->owner, application->pResourceRoot);
    }
    // Pictures with their skins, the bending hand, the glyph pages of the code page and the fonts.
    for (const char16_t* name : {u"gui-game-progressBar:1", u"mousePointer:0", u"mvstudios", u"languageFlags", u"snowFlake:0",
                                 u"hud-touchscreen", u"fontTinyTex1", u"fontLargeTex1"})
        EXPECT_NE(engine->pResourceManager->find(false, name), nullptr) << wideToUtf8(name);
    EXPECT_NE(application->pFontTiny, nullptr);
    EXPECT_NE(application->pFontLarge, nullptr);
    EXPECT_EQ(engine->pResourceManager->find(false, u"fontMediumOutline"), static_cast<QelBase*>(application->pFontMediumOutline));
    delete application;
    Loader::autodetectLanguage = nullptr;
}

TEST_F(LoaderArchiveTest, AFontWithoutPagesInItsCodePageFallsBackTo1252) {
    VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
    start();
    GameGlobal application;
    application.initPreLoader();
    Loader loader;
    // The language archive exists but holds no glyph pages.
    loader.fontRes(false, u"fontSmallTex", u"", u"font-small", u"language.v2");
    EXPECT_NE(engine->pResourceManager->find(false, u"fontSmallTex1"), nullptr);
}

TEST_F(LoaderArchiveTest, AFontWithoutPagesIn1252EndsTheProgram) {
    VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
    start();
    GameGlobal application;
    application.initPreLoader();
    Loader loader;
    EXPECT_EXIT(loader.fontRes(false, u"fontNoneTex", u"", u"font-none", u""), testing::ExitedWithCode(255), "");
    EXPECT_NE(logText().find("Could not find any 8-bit glyphs for font 'font-none'"), std::string::npos);
}

TEST_F(LoaderArchiveTest, TwoClassesOfOneNameStopTheStart) {
    start();
    GameGlobal application;
    ClassRegistry::get().assignClassIDs();
    ClassRegistry::get().bBadClasses = true;
    EXPECT_EXIT(application.initPreLoader(), testing::ExitedWithCode(255), "");
    const std::string log = logText();
    EXPECT_NE(log.find("Statement: !m->bBadClasses"), std::string::npos);
    EXPECT_NE(log.find("Function: Global::initPreLoader()"), std::string::npos);
}

TEST_F(LoaderArchiveTest, TheRecordSizesGoToTheConsoleUnlessDebugLocked) {
    VESK_REQUIRE_GENERATED(fileExists(getDataArchivePath()), wideToUtf8(getDataArchivePath()));
    const std::vector<std::string> expected = {
        "sizeof(bool)=1",          "sizeof(NetAddress)=",  "sizeof(sockaddr_in)=16",   "sizeof(GameConfiguration)=3120",
        "sizeof(HIGHSCOREENTRY)=288", "sizeof(ProfileData)=1848", "sizeof(ProfileManager)=18484",
    };
    for (const bool locked : {false, true}) {
        SCOPED_TRACE(locked ? "locked" : "unlocked");
        start();
        engine->bDebugLocked = locked;
        auto* application = new GameGlobal();
        engine->pConsole->history.clear();
        application->initPreLoader();
        std::vector<std::string> lines;
        for (int i = 0; i < engine->pConsole->countLines(); ++i) {
            const std::string line = wideToUtf8(engine->pConsole->getLine(i));
            if (line.starts_with("sizeof(")) lines.push_back(line);
        }
        if (locked) {
            EXPECT_TRUE(lines.empty());
        } else {
            ASSERT_EQ(lines.size(), expected.size());
            for (size_t i = 0; i < lines.size(); ++i) EXPECT_TRUE(lines[i].starts_with(expected[i])) << lines[i];
            EXPECT_NE(lines[1].find_first_of("0123456789"), std::string::npos);
        }
        delete application;
        stop();
    }
}
