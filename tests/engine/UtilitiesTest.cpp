#include <gtest/gtest.h>
#include <sys/stat.h>

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "engine/Product.h"
#include "engine/Utilities.h"
#include "platform/System.h"
#include "support/TestFolder.h"

namespace {

TEST(Utilities, VersionLineAndNames) {
    EXPECT_EQ(u"VeskDiruzuri v1.47.o 32bit ", getVersionLine());
    EXPECT_EQ(u"VeskDiruzuri", getProductName());
    EXPECT_EQ(u"WIN", getPlatformName());
}

TEST(Utilities, UserDataFolderIsBuiltAndCreatedUnderTheOverride) {
    TestFolder home("vesk-home");
    setenv("VESK_DATA_HOME", (home.path + "/deep/er").c_str(), 1);
    const WString folder = getUserDataFolder();
    EXPECT_EQ(utf8ToWide(home.path) + u"/deep/er/Morvane studios/VeskDiruzuri/1.47/", folder);
    struct stat st {};
    ASSERT_EQ(0, stat(wideToUtf8(folder).c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(0u, st.st_mode & S_IWOTH) << "the folder must not be world-writable";
    EXPECT_EQ(folder + u"crash.VeskDiruzuri.log", getCrashLogPath());
    EXPECT_EQ(folder + u"crash.VeskDiruzuri.mdmp", getCrashDumpPath());
    EXPECT_EQ(folder + u"crash.VeskDiruzuri.jpg", getCrashScreenshotPath());
}

// Without HOME and XDG_DATA_HOME the account's home folder from the password database is used; an
// account without one plays without saving, says so, and writes nothing into the current folder
// (or anywhere else that outlives the program). Each case runs in a child process of its own: the
// environment and the no-home folder last for the process.
std::string accountHome;
[[noreturn]] void userDataFolderWithoutHome(const std::string& home, const std::string& scratch, const std::string& expected) {
    unsetenv("VESK_DATA_HOME");
    unsetenv("XDG_DATA_HOME");
    unsetenv("HOME");
    setenv("TMPDIR", scratch.c_str(), 1);
    accountHome = home;
    platform::setAccountHomeHook([] { return accountHome; });
    if (chdir(scratch.c_str()) != 0) std::_Exit(2);
    const std::string folder = wideToUtf8(getUserDataFolder());
    const bool right = expected.empty() ? folder.starts_with(scratch + "/VeskDiruzuri-") : folder == expected;
    if (!right) std::fprintf(stderr, "wrong folder %s\n", folder.c_str());
    writeFileBytes(folder + "VeskDiruzuri.cfg", "[Qel]\r\n");
    std::fflush(nullptr);
    std::exit(right ? 0 : 1);
}

TEST(UtilitiesDeathTest, WithoutHomeTheAccountsHomeIsUsedOrNothingIsKept) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on from here, with the folders made above
    TestFolder account("vesk-account"), scratch("vesk-cwd");
    EXPECT_EXIT(userDataFolderWithoutHome(account.path, scratch.path, account.path + "/.local/share/Morvane studios/VeskDiruzuri/1.47/"),
                testing::ExitedWithCode(0), "^$");
    EXPECT_EQ(readFileBytes(account.path + "/.local/share/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.cfg"), "[Qel]\r\n");
    EXPECT_EXIT(userDataFolderWithoutHome("", scratch.path, ""), testing::ExitedWithCode(0),
                "^VeskDiruzuri: there is no home folder \\(HOME is not set and the account has none\\); playing without saving: nothing "
                "is kept after the program ends\\.\n$");
    EXPECT_TRUE(std::filesystem::is_empty(scratch.path)) << "nothing in the current folder, nothing left behind";
}

TEST(Utilities, ExistingFolderKeepsItsRights) {
    TestFolder home("vesk-home");
    setenv("VESK_DATA_HOME", home.path.c_str(), 1);
    const std::string maker = home.path + "/Morvane studios";
    mkdir(maker.c_str(), 0700);
    getUserDataFolder();
    struct stat st {};
    stat(maker.c_str(), &st);
    EXPECT_EQ(0700u, st.st_mode & 0777);
}

TEST(Utilities, CommandLineParameterMatchesWholeArgumentsExactly) {
    commandLineArgs = {u"-Safe", u"-safe2", u"x"};
    EXPECT_FALSE(hasCommandLineParameter(u"-safe"));
    commandLineArgs.push_back(u"-safe");
    EXPECT_TRUE(hasCommandLineParameter(u"-safe"));
    commandLineArgs.clear();
}

TEST(Utilities, TimeStampIsUtc) {
    EXPECT_EQ(u"2012-12-24 18.05.09", formatTimeStamp(1356372309));
    EXPECT_EQ(u"1970-01-01 00.00.00", formatTimeStamp(0));
}

TEST(Utilities, CopyFileReplacesTheTarget) {
    TestFolder folder("vesk-copy");
    writeFileBytes(folder.file("a"), "new");
    writeFileBytes(folder.file("b"), "old and longer");
    EXPECT_TRUE(copyFile(folder.wfile("a"), folder.wfile("b")));
    EXPECT_EQ("new", readFileBytes(folder.file("b")));
    EXPECT_FALSE(copyFile(folder.wfile("missing"), folder.wfile("b")));
    EXPECT_EQ("new", readFileBytes(folder.file("b")));
    EXPECT_TRUE(fileExists(folder.wfile("a")));
    EXPECT_FALSE(fileExists(folder.wfile("missing")));
}

TEST(Utilities, ProgramFolderHoldsTheTestExecutable) {
    const WString folder = getProgramFolderPath();
    EXPECT_EQ(u'/', folder.back());
    EXPECT_EQ(folder, getDataArchiveFolder());
    EXPECT_TRUE(fileExists(folder + u"tests_engine"));
}

TEST(FixedText, CutsWholeUnitsToFitAndKeepsTheRestOfTheField) {
    char field[16];
    std::memset(field, 'x', sizeof(field));
    setFixedText16(field, u"1.47");
    EXPECT_STREQ("1.47", field);
    EXPECT_EQ('x', field[5]);

    char small[32];
    setFixedText32(small, WString(40, u'a'));
    EXPECT_EQ(31u, std::strlen(small));
    // A two-byte character that would straddle the limit is dropped whole.
    setFixedText32(small, WString(30, u'a') + u"\u00e9");
    EXPECT_EQ(30u, std::strlen(small));
    setFixedText32(small, WString(29, u'a') + u"\u00e9");
    EXPECT_EQ(31u, std::strlen(small));

    char big[256];
    setFixedText256(big, u"");
    EXPECT_STREQ("", big);
}

}  // namespace
