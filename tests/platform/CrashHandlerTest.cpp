#include "platform/CrashHandler.h"

#include <gtest/gtest.h>
#include <signal.h>

#include <cstdint>

#include "support/TestFolder.h"

namespace {

TEST(CrashHandlerTest, FatalSignalLeavesTheDumpAndTheCrashLog) {
    // The child must see the folder made here: fork without re-running the test.
    GTEST_FLAG_SET(death_test_style, "fast");
    for (int sig : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT}) {
        TestFolder folder("crash");
        writeFileBytes(folder.file("game.log"), "line one\r\nline two\r\n");
        EXPECT_EXIT(
            {
                platform::installCrashHandler(folder.file("crash.VeskDiruzuri.mdmp"));
                platform::setCrashLogPaths(folder.file("game.log"), folder.file("crash.VeskDiruzuri.log"));
                raise(sig);
            },
            testing::KilledBySignal(sig), "");
        const std::string dump = readFileBytes(folder.file("crash.VeskDiruzuri.mdmp"));
        EXPECT_NE(dump.find("Signal: " + std::to_string(sig) + " ("), std::string::npos) << dump;
        EXPECT_NE(dump.find("Address: 0x"), std::string::npos);
        EXPECT_NE(dump.find("rip = 0x"), std::string::npos);
        EXPECT_NE(dump.find("Backtrace:\n"), std::string::npos);
        EXPECT_NE(dump.find("Memory map:\n"), std::string::npos);
        EXPECT_NE(dump.find("[stack]"), std::string::npos);
        EXPECT_EQ(readFileBytes(folder.file("crash.VeskDiruzuri.log")), "line one\r\nline two\r\n");
    }
}

TEST(CrashHandlerTest, WithoutALogOnlyTheDumpIsWritten) {
    GTEST_FLAG_SET(death_test_style, "fast");
    TestFolder folder("crash");
    EXPECT_EXIT(
        {
            platform::installCrashHandler(folder.file("crash.VeskDiruzuri.mdmp"));
            platform::setCrashLogPaths("", "");
            // Address 4, made from a number: arithmetic on a null pointer is itself undefined.
            volatile std::uintptr_t address = 4;
            *reinterpret_cast<volatile int*>(address) = 1;
        },
        testing::KilledBySignal(SIGSEGV), "");
    EXPECT_NE(readFileBytes(folder.file("crash.VeskDiruzuri.mdmp")).find("Address: 0x0000000000000004"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(folder.file("crash.VeskDiruzuri.log")));
}

}  // namespace
