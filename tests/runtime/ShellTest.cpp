#include "runtime/Shell.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <filesystem>

#include "engine/EngineFixture.h"
#include "media/Context.h"
#include "engine/Utilities.h"
#include "media/QelInput.h"
#include "platform/InstanceLock.h"
#include "platform/Window.h"
#include "runtime/QelRuntime.h"

namespace {

// A stand-in for the game's application object, counting what the shell does with it.
struct FakeGame {
    static inline int created = 0, destroyed = 0;
    static inline bool alive = false, quit = false;
    static inline Context* root = nullptr;
    static inline int rootTicks = 0;
};

class CountingRoot : public Context {
public:
    void tickContents(double, double) override { ++FakeGame::rootTicks; }
};

class ShellTest : public EngineTestOn<QelRuntime> {
protected:
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        FakeGame::created = FakeGame::destroyed = FakeGame::rootTicks = 0;
        FakeGame::alive = FakeGame::quit = false;
        shellApplication.create = [] {
            ++FakeGame::created;
            FakeGame::alive = true;
            FakeGame::root = new CountingRoot();
        };
        shellApplication.destroy = [] {
            ++FakeGame::destroyed;
            FakeGame::alive = false;
            delete FakeGame::root;
            FakeGame::root = nullptr;
        };
        shellApplication.exists = [] { return FakeGame::alive; };
        shellApplication.rootContext = [] { return FakeGame::root; };
        shellApplication.quitRequested = [] { return FakeGame::quit; };
        shellApplication.pageToOpen = [] { return WString(); };
        platform::setForegroundOverride(0);
    }
    void TearDown() override {
        deleteQEL();
        shellApplication = ShellApplication{};
        platform::setForegroundOverride(-1);
        bRestartQEL = false;
        EngineTestOn<QelRuntime>::TearDown();
    }
};

TEST_F(ShellTest, EngineWaitsForTheForegroundThenIsBuiltWithTheGame) {
    EXPECT_TRUE(idleTick());
    EXPECT_TRUE(idleTick());
    EXPECT_EQ(qel, nullptr);
    EXPECT_EQ(clock.sleeps, (std::vector<uint32_t>{100, 100}));
    platform::setForegroundOverride(1);
    EXPECT_TRUE(idleTick());
    ASSERT_NE(qel, nullptr);
    EXPECT_EQ(FakeGame::created, 1);
    EXPECT_EQ(qel->frameCount, 1);
    EXPECT_EQ(FakeGame::rootTicks, 1);
    EXPECT_TRUE(idleTick());
    EXPECT_EQ(FakeGame::created, 1);
    EXPECT_EQ(FakeGame::rootTicks, 2);
    EXPECT_NE(logText().find("createQEL(): Entering game loop."), std::string::npos);
}

TEST_F(ShellTest, RestartRebuildsEngineAndGameInTheSameProcess) {
    platform::setForegroundOverride(1);
    idleTick();
    qel->frameCount = 1000;  // marks the first engine
    bRestartQEL = true;
    EXPECT_TRUE(idleTick());
    EXPECT_EQ(qel, nullptr);
    EXPECT_FALSE(bRestartQEL);
    EXPECT_EQ(FakeGame::destroyed, 1);
    const std::string firstLog = logText();
    EXPECT_NE(firstLog.find("deleteQEL(): QEL shutting down..."), std::string::npos);
    EXPECT_NE(firstLog.find("Rendered 1001 frames"), std::string::npos);
    EXPECT_TRUE(idleTick());
    ASSERT_NE(qel, nullptr);
    EXPECT_EQ(qel->frameCount, 1);
    EXPECT_EQ(FakeGame::created, 2);
    // The new engine writes its log afresh.
    EXPECT_EQ(logText().find("Rendered 1001 frames"), std::string::npos);
}

TEST_F(ShellTest, QuitFlagOfTheRootAsksForTheWindowToClose) {
    platform::setForegroundOverride(1);
    EXPECT_TRUE(idleTick());
    FakeGame::quit = true;
    EXPECT_FALSE(idleTick());
}

TEST_F(ShellTest, CloseTearsDownGameThenEngine) {
    platform::setForegroundOverride(1);
    idleTick();
    platform::WindowMessage close;
    close.type = platform::WindowMessage::CLOSE;
    handleWindowMessage(close);
    EXPECT_EQ(qel, nullptr);
    EXPECT_EQ(FakeGame::destroyed, 1);
    const std::string log = logText();
    size_t at = findAfter(log, "deleteQEL(): QEL shutting down...");
    at = findAfter(log, "Qel::~Qel(): Initiating shutdown...", at);
    EXPECT_NE(at, std::string::npos);
    // A second close finds nothing left to tear down.
    handleWindowMessage(close);
    EXPECT_EQ(FakeGame::destroyed, 1);
}

TEST_F(ShellTest, ClosingOpensTheApplicationsPageAfterTeardownWithoutAShell) {
    TestFolder bin("fake-bin");
    writeFileBytes(bin.file("xdg-open"), "#!/bin/sh\nprintf '%s|%s' \"$#\" \"$1\" > \"$(dirname \"$0\")/opened\"\n");
    chmod(bin.file("xdg-open").c_str(), 0755);
    const std::string oldPath = getenv("PATH") ? getenv("PATH") : "";
    setenv("PATH", (bin.path + ":" + oldPath).c_str(), 1);
    struct Row {
        const char16_t* page;
        const char* opened;
    };
    for (const Row& row : {Row{u"", ""}, Row{u"http://127.0.0.1:8/vesk/a b.php?x=1;touch y", "1|http://127.0.0.1:8/vesk/a b.php?x=1;touch y"}}) {
        static const char16_t* page;
        page = row.page;
        shellApplication.pageToOpen = [] { return WString(page); };
        platform::setForegroundOverride(1);
        idleTick();
        onWindowClose();
        EXPECT_EQ(qel, nullptr);
        int status = 0;
        const pid_t child = wait(&status);  // the opener, when one was started
        EXPECT_EQ(child > 0, row.opened[0] != 0);
        EXPECT_EQ(readFileBytes(bin.file("opened")), row.opened);
    }
    setenv("PATH", oldPath.c_str(), 1);
}

TEST_F(ShellTest, FocusMessagesSetWindowActivityOnlyWhileTheEngineExists) {
    platform::WindowMessage lost, gained;
    lost.type = platform::WindowMessage::FOCUS_LOST;
    gained.type = platform::WindowMessage::FOCUS_GAINED;
    handleWindowMessage(lost);  // no engine: nothing happens
    platform::setForegroundOverride(1);
    idleTick();
    ASSERT_TRUE(qel->bWindowActive);
    handleWindowMessage(lost);
    EXPECT_FALSE(qel->bWindowActive);
    idleTick();
    EXPECT_EQ(qel->qelMode, Qel::MODE_PAUSED);
    handleWindowMessage(gained);
    EXPECT_TRUE(qel->bWindowActive);
    idleTick();
    EXPECT_EQ(qel->qelMode, Qel::MODE_OK);
    const std::string log = logText();
    size_t at = findAfter(log, "WMhooks::windowFocusLost(): Window focus lost.");
    at = findAfter(log, "WMhooks::windowFocusGained(): Window focus gained.", at);
    EXPECT_NE(at, std::string::npos);
}

TEST_F(ShellTest, InputMessagesReachTheInputServiceOnlyWhileTheEngineExists) {
    platform::WindowMessage typed, wheel;
    typed.type = platform::WindowMessage::CHARACTER;
    typed.character = u'x';
    wheel.type = platform::WindowMessage::MOUSE_WHEEL;
    wheel.wheelDelta = 240;
    handleWindowMessage(typed);  // no engine: nothing happens
    handleWindowMessage(wheel);
    platform::setForegroundOverride(1);
    idleTick();
    ASSERT_NE(qel->pQelInput, nullptr);
    const int wheelBefore = qel->pQelInput->mouseWheel;
    handleWindowMessage(typed);
    handleWindowMessage(wheel);
    EXPECT_EQ(qel->pQelInput->typedChar, u'x');
    EXPECT_EQ(qel->pQelInput->mouseWheel - wheelBefore, 240);
}

}  // namespace

namespace {

// The one-copy rule is the user's lock in the product's folder of the user data, whatever the
// version or the program's name: held from the first check on, refused to anyone else.
TEST(ShellInstanceTest, TheFirstCheckTakesTheUsersLockAndHoldsIt) {
    const std::string lockPath = wideToUtf8(getInstanceLockPath());
    const std::string userFolder = wideToUtf8(getUserDataFolder());
    EXPECT_EQ(lockPath, userFolder.substr(0, userFolder.size() - 5) + "VeskDiruzuri.lock");  // beside "1.47/"
    EXPECT_FALSE(isAnotherInstanceRunning());
    EXPECT_TRUE(std::filesystem::is_regular_file(lockPath));
    EXPECT_FALSE(isAnotherInstanceRunning()) << "asking again changes nothing";
    platform::InstanceLock other;
    EXPECT_FALSE(other.acquire(lockPath, platform::InstanceLock::socketNameFor("VeskDiruzuri-test")));
}

}  // namespace
