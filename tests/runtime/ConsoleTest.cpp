#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "engine/EngineFixture.h"
#include "runtime/Console.h"
#include "media/Camera.h"
#include "media/FontCache.h"
#include "media/FontGDI.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "runtime/QelRuntime.h"
#include "support/RecordingDirect3D.h"

namespace {

struct DrawnText {
    float x, y;
    WString text;
    int debugLevel;
};
std::vector<DrawnText> drawn;

class ConsoleTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        writeConfig("[QelGraphics]\nbFullScreen=No\nvideoModeWidth=800\n");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D::next = new RecordingDirect3D();
        start();
        if (!engine->pQelGraphics) {
            engine->pQelGraphics = new QelGraphics(nullptr, engine->pConfig);
            bOwnGraphics = true;
        }
        console = engine->pConsole;
        input = engine->pQelInput;
        drawn.clear();
        Console::drawTextHook = [](float x, float y, float z, uint32_t color, int flags, const WString& text) {
            EXPECT_EQ(z, 0.0f);
            EXPECT_EQ(color, 0xFFFFFFFFu);
            EXPECT_EQ(flags, 0);
            drawn.push_back({x, y, text, qel->debugLevel});
        };
    }
    void TearDown() override {
        Console::drawTextHook = nullptr;
        if (bOwnGraphics) {
            delete engine->pQelGraphics;
            engine->pQelGraphics = nullptr;
        }
        EngineTestOn<QelRuntime>::TearDown();
        QelGraphics::createDirect3D = &Direct3DCreate9;
    }
    // One console tick with these keys down (and those of the previous frame).
    void tickWith(std::initializer_list<int> keysDown, std::initializer_list<int> previouslyDown = {}, char16_t typed = 0) {
        for (auto& k : input->keys) k = 0;
        for (auto& k : input->prevKeys) k = 0;
        for (int k : keysDown) input->keys[k] = 0x80;
        for (int k : previouslyDown) input->prevKeys[k] = 0x80;
        input->typedChar = typed;
        console->tickContents(0, 0);
    }
    void type(const std::u16string& text) {
        for (char16_t c : text) tickWith({}, {}, c);
    }
    void addLines(int n) {
        for (int i = 0; i < n; ++i) console->addLine(u"line %d", i);
    }

    Console* console = nullptr;
    QelInput* input = nullptr;
    bool bOwnGraphics = false;
};

}  // namespace

TEST_F(ConsoleTest, StartsHiddenAndEmptyAndLogsItsStart) {
    ASSERT_NE(console, nullptr);
    EXPECT_FALSE(console->bVisible);
    EXPECT_EQ(console->countLines(), 0);
    EXPECT_EQ(console->scrollLine, -1);
    EXPECT_EQ(console->maxVisibleLines, 40);
    EXPECT_TRUE(console->isKindOf(&Context::classRecord));
    EXPECT_EQ(Console::classRecord.name, u"Console");
    EXPECT_EQ(Console::classRecord.parent, &Context::classRecord);
    EXPECT_NE(logText().find("Console::Console(): Starting console..."), std::string::npos);
}

TEST_F(ConsoleTest, Commands) {
    constexpr int same = -99;
    struct Case {
        const char16_t* line;
        int debugLevel;      // same: unchanged
        double period;       // 0: unchanged
        int fontCache;       // -1: not switched
        int debugLocked;     // same: unchanged
        const char16_t* reply;  // the line the console adds, or null
    };
    const Case cases[] = {
        {u"debug 2", 2, 0, -1, same, nullptr},
        {u"debug2", 2, 0, -1, same, nullptr},
        {u"debug 2 x", 2, 0, -1, same, nullptr},
        {u"debug\t 7", 7, 0, -1, same, nullptr},
        {u"debug -3", -3, 0, -1, same, nullptr},
        {u" debug 2", same, 0, -1, same, u"Unknown command:  debug 2"},
        {u"debug", same, 0, -1, same, u"Unknown command: debug"},
        {u"debugx 2", same, 0, -1, same, u"Unknown command: debugx 2"},
        {u"fps 0.04", same, 0.04, -1, same, nullptr},
        {u"fps1", same, 1.0, -1, same, nullptr},
        {u"fps 0", same, 0, -1, same, u"Refused: fps 0 (the frame period must lie between 0.001 and 1 second)."},
        {u"fps -0.02", same, 0, -1, same, u"Refused: fps -0.02 (the frame period must lie between 0.001 and 1 second)."},
        {u"fps 60", same, 0, -1, same, u"Refused: fps 60 (the frame period must lie between 0.001 and 1 second)."},
        {u"fps 1e300", same, 0, -1, same, u"Refused: fps 1e300 (the frame period must lie between 0.001 and 1 second)."},
        {u"fps nan", same, 0, -1, same, u"Refused: fps nan (the frame period must lie between 0.001 and 1 second)."},
        {u"fps fast", same, 0, -1, same, u"Unknown command: fps fast"},
        {u"fontcache 1", same, 0, 1, same, nullptr},
        {u"fontcache 0", same, 0, 0, same, nullptr},
        {u"fontcache -2", same, 0, 1, same, nullptr},
        {u"rel 0", same, 0, -1, 0, nullptr},
        {u"rel 5", same, 0, -1, 1, nullptr},
        {u"crash now", same, 0, -1, same, u"Unknown command: crash now"},
        {u"hello", same, 0, -1, same, u"Unknown command: hello"},
        {u"", same, 0, -1, same, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(wideToUtf8(c.line));
        engine->debugLevel = 11;
        engine->frameTimer.period = 0.5;
        engine->bDebugLocked = false;
        engine->bDebugLocked = c.debugLocked == 0;  // so that a change shows
        const bool lockedBefore = engine->bDebugLocked;
        engine->pQelGraphics->bEnableFontCache = c.fontCache == 0;  // so that a change shows
        const bool fontCacheBefore = engine->pQelGraphics->bEnableFontCache;
        const int linesBefore = console->countLines();
        console->executeCommand(c.line);
        EXPECT_EQ(engine->debugLevel, c.debugLevel == same ? 11 : c.debugLevel);
        EXPECT_DOUBLE_EQ(engine->frameTimer.period, c.period == 0 ? 0.5 : c.period);
        EXPECT_EQ(engine->pQelGraphics->bEnableFontCache, c.fontCache == -1 ? fontCacheBefore : c.fontCache != 0);
        EXPECT_EQ(engine->bDebugLocked, c.debugLocked == same ? lockedBefore : c.debugLocked != 0);
        if (c.reply) {
            ASSERT_EQ(console->countLines(), linesBefore + 1);
            EXPECT_EQ(console->getLine(linesBefore), c.reply);
        } else {
            EXPECT_EQ(console->countLines(), linesBefore);
        }
    }
}

TEST_F(ConsoleTest, FpsResetsTheFrameTimerToTheGameTime) {
    clock.advance(2.5);
    console->executeCommand(u"fps 0.02");
    EXPECT_DOUBLE_EQ(engine->frameTimer.period, 0.02);
    EXPECT_EQ(engine->frameTimer.frameTime, engine->frameTimer.previousFrameTime);
    EXPECT_GT(engine->frameTimer.frameTime, 2.0);
}

TEST_F(ConsoleTest, CrashCommandIsAFatalError) {
    EXPECT_EXIT(console->executeCommand(u"crash"), testing::ExitedWithCode(255), "");
    const std::string log = logText();
    EXPECT_NE(log.find("Crash requested."), std::string::npos);
    EXPECT_NE(log.find("Console::executeCommand"), std::string::npos);
}

TEST_F(ConsoleTest, ShiftAndGraveToggleOnceWhileUnlocked) {
    engine->bDebugLocked = true;
    tickWith({Console::DIK_LSHIFT, Console::DIK_GRAVE});
    EXPECT_FALSE(console->bVisible);

    engine->bDebugLocked = false;
    tickWith({Console::DIK_LSHIFT, Console::DIK_GRAVE});
    EXPECT_TRUE(console->bVisible);
    // Held on: no further toggles.
    tickWith({Console::DIK_LSHIFT, Console::DIK_GRAVE}, {Console::DIK_LSHIFT, Console::DIK_GRAVE});
    EXPECT_TRUE(console->bVisible);
    // The grave key alone does nothing.
    tickWith({Console::DIK_GRAVE});
    EXPECT_TRUE(console->bVisible);
    tickWith({Console::DIK_LSHIFT, Console::DIK_GRAVE});
    EXPECT_FALSE(console->bVisible);
}

TEST_F(ConsoleTest, TheToggleTickTakesNoTyping) {
    engine->bDebugLocked = false;
    console->bVisible = true;
    tickWith({Console::DIK_LSHIFT, Console::DIK_GRAVE}, {}, u'~');
    EXPECT_FALSE(console->bVisible);
    EXPECT_EQ(console->inputLine, u"");
}

TEST_F(ConsoleTest, TypingEditsTheInputLineAndReturnRunsIt) {
    engine->bDebugLocked = true;
    console->bVisible = true;
    type(u"rel 00");
    EXPECT_EQ(console->inputLine, u"rel 00");
    type(u"\b\b0");
    EXPECT_EQ(console->inputLine, u"rel 0");
    type(u"\r");
    EXPECT_EQ(console->inputLine, u"");
    EXPECT_FALSE(engine->bDebugLocked);
    EXPECT_EQ(console->countLines(), 0);  // the command itself is not kept
    type(u"\b\b");
    EXPECT_EQ(console->inputLine, u"");
    // Unlocked again: the key hides it.
    tickWith({Console::DIK_LSHIFT, Console::DIK_GRAVE});
    EXPECT_FALSE(console->bVisible);
    type(u"abc\r");
    EXPECT_EQ(console->inputLine, u"");
    EXPECT_EQ(console->countLines(), 0);
}

TEST_F(ConsoleTest, ScrollingAndFollowingNewLines) {
    console->bVisible = true;
    tickWith({Console::DIK_PRIOR});
    EXPECT_EQ(console->scrollLine, -1);
    tickWith({Console::DIK_NEXT});
    EXPECT_EQ(console->scrollLine, -1);
    addLines(5);
    EXPECT_EQ(console->scrollLine, 4);
    for (int i = 0; i < 6; ++i) tickWith({Console::DIK_PRIOR});
    EXPECT_EQ(console->scrollLine, 0);
    tickWith({Console::DIK_NEXT});
    EXPECT_EQ(console->scrollLine, 1);
    // A view moved up stays where it is.
    addLines(2);
    EXPECT_EQ(console->scrollLine, 1);
    // Page Up wins over Page Down.
    tickWith({Console::DIK_PRIOR, Console::DIK_NEXT});
    EXPECT_EQ(console->scrollLine, 0);
    for (int i = 0; i < 10; ++i) tickWith({Console::DIK_NEXT});
    EXPECT_EQ(console->scrollLine, 6);
    addLines(1);
    EXPECT_EQ(console->scrollLine, 7);
    // Hidden, the keys do nothing.
    console->bVisible = false;
    tickWith({Console::DIK_PRIOR});
    EXPECT_EQ(console->scrollLine, 7);
}

TEST_F(ConsoleTest, HistoryKeepsTheNewestLinesOnly) {
    addLines(Console::maxHistoryLines + 5);
    EXPECT_EQ(console->countLines(), Console::maxHistoryLines);
    EXPECT_EQ(console->getLine(0), u"line 5");
    EXPECT_EQ(console->scrollLine, Console::maxHistoryLines - 1);
    // A view moved up keeps its line while older ones are dropped.
    console->scrollLine = 10;
    const WString shown = console->getLine(10);
    addLines(3);
    EXPECT_EQ(console->countLines(), Console::maxHistoryLines);
    EXPECT_EQ(console->getLine(console->scrollLine), shown);
}

TEST_F(ConsoleTest, AddedLinesAreLogged) {
    console->addLine(u"value %d of %s", 3, WString(u"x"));
    EXPECT_EQ(console->getLine(0), u"value 3 of x");
    EXPECT_NE(logText().find("> value 3 of x"), std::string::npos);
}

TEST_F(ConsoleTest, DrawsTheInputLineAndUpTo41HistoryLinesAboveIt) {
    addLines(100);
    console->bVisible = true;
    console->inputLine = u"deb";
    engine->debugLevel = 3;
    engine->frameTimer.frameTime = 1.0;  // 8 eighths: the cursor shows
    console->renderContents();
    EXPECT_EQ(engine->debugLevel, 3);
    ASSERT_EQ(drawn.size(), 42u);
    // An 800x480 viewport centred on the origin: left -400, bottom -240.
    EXPECT_EQ(drawn[0].x, -400.0f);
    EXPECT_EQ(drawn[0].y, -228.0f);
    EXPECT_EQ(drawn[0].text, u"> deb_");
    for (size_t i = 1; i < drawn.size(); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(drawn[i].text, format(u"line %d", 100 - static_cast<int>(i)));
        EXPECT_EQ(drawn[i].x, -400.0f);
        EXPECT_EQ(drawn[i].y, -228.0f + 12.0f * static_cast<float>(i));
        EXPECT_EQ(drawn[i].debugLevel, 0);
    }
    EXPECT_EQ(drawn.back().text, u"line 59");

    drawn.clear();
    engine->frameTimer.frameTime = 1.125;  // 9 eighths: the cursor is off
    console->scrollLine = 2;
    console->renderContents();
    ASSERT_EQ(drawn.size(), 4u);
    EXPECT_EQ(drawn[0].text, u"> deb");
    EXPECT_EQ(drawn[3].text, u"line 0");
}

TEST_F(ConsoleTest, HiddenConsoleDrawsNothing) {
    addLines(3);
    console->renderContents();
    EXPECT_TRUE(drawn.empty());
}

TEST_F(ConsoleTest, TheFrameTicksAndDrawsTheConsole) {
    console->bVisible = true;
    input->onWindowChar(u'x');
    engine->frame(nullptr);
    EXPECT_EQ(console->inputLine, u"x");
    ASSERT_FALSE(drawn.empty());
    EXPECT_EQ(drawn[0].text.substr(0, 3), u"> x");
}

TEST_F(ConsoleTest, FitsItsViewToTheViewportAfterAReset) {
    engine->pQelGraphics->viewportWidth = 1000;
    engine->pQelGraphics->viewportHeight = 600;
    console->onRestorePresentation();
    ASSERT_NE(console->pCamera, nullptr);
    const WorldRect seen = console->pCamera->getVisibleRect(0.0f);
    EXPECT_FLOAT_EQ(seen.left, -500.0f);
    EXPECT_FLOAT_EQ(seen.right, 500.0f);
    EXPECT_FLOAT_EQ(seen.bottom, -300.0f);
    EXPECT_FLOAT_EQ(seen.top, 300.0f);
    console->bVisible = true;
    console->renderContents();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].x, -500.0f);
    EXPECT_EQ(drawn[0].y, -288.0f);
}

TEST_F(ConsoleTest, FpsSetsTheFramePeriodOfTheFrameLoop) {
    console->executeCommand(u"fps 0.04");
    engine->frame(nullptr);
    const double first = engine->frameTimer.frameTime;
    engine->frame(nullptr);
    engine->frame(nullptr);
    // The timer waits whole milliseconds.
    EXPECT_NEAR(engine->frameTimer.frameTime - first, 0.08, 0.002);
    EXPECT_NEAR(engine->frameTimer.frameTime - engine->frameTimer.previousFrameTime, 0.04, 0.001);
}

TEST_F(ConsoleTest, DrawsItsTextWithTheEnginesGdiFont) {
    ASSERT_NE(engine->pFontGDI, nullptr);
    Console::drawTextHook = nullptr;
    console->addLine(u"hello console");
    console->bVisible = true;
    console->inputLine = u"fps";
    engine->frameTimer.frameTime = 0.0;
    console->renderContents();
    FontCache* cache = engine->pFontGDI->pFontCache;
    ASSERT_NE(cache, nullptr);
    EXPECT_NE(cache->findText(u"hello console"), nullptr);
    EXPECT_NE(cache->findText(u"> fps_"), nullptr);
}
