// No way to lose a player's files: a file that is there but cannot be read is never overwritten,
// a pipe in its place does not hang the start, and a read-only or full user folder leaves the
// program running with the old files intact and says so, in the log and once on standard error.
//
// Each case runs in a child process of its own (a death test, forked where it stands): the
// once-per-run reports, the files kept unchanged, a dropped privilege or a mount namespace all last
// until the process ends.
// The child checks what only it can see and exits with the number of failed checks; what it wrote
// to standard error is written again at its end for the parent's pattern.

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ui/GameConfiguration.h"
#include "game/GameGlobal.h"
#include "runtime/QelRuntime.h"
#include "ui/ProfileManager.h"
#include "ui/UserFiles.h"
#include "engine/Logger.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "platform/FileSystem.h"
#include "support/ChildChecks.h"
#include "support/FolderTrouble.h"
#include "support/TestFolder.h"

namespace {

std::string userFolder() {
    std::string folder = wideToUtf8(getUserDataFolder());
    folder.pop_back();
    return folder;
}
std::string proPath() { return wideToUtf8(ProfileManager::getProfilesPath()); }
std::string hstPath() { return userFolder() + "/" + wideToUtf8(GameConfiguration::getConfigurationFileName()); }
std::string cfgPath() { return wideToUtf8(Qel::getConfigFilePath()); }
std::string logText() { return readFileBytes(wideToUtf8(Logger::getLogFilePath())); }

// Ends the child: what it wrote to standard error goes out again, then the count of failures.
[[noreturn]] void finish(const std::string& capturedStderr) {
    std::fputs(capturedStderr.c_str(), stderr);
    std::fflush(nullptr);
    std::_Exit(childFailures());  // no leak check or static teardown in the child
}

// A player with a level-7 profile and changed settings, saved as every file.
void writePlayersFiles() {
    {
        ProfileManager profiles;
        profiles.addProfile(u"Kim");
        profiles.current().level() = 7;
        GameConfiguration settings;
        settings.soundVolume = 3;
        settings.save();
    }
    writeFileBytes(cfgPath(), "\xEF\xBB\xBF[Qel]\r\ndefaultLanguage=1\r\n\r\n");
}

void unreadableFilesScenario() {
    writePlayersFiles();
    const std::string pro = readFileBytes(proPath()), hst = readFileBytes(hstPath());
    const std::string how = makeFileUnreadable(proPath(), wideToUtf8(getCommonAppDataFolder()));
    makeFileUnreadable(hstPath(), wideToUtf8(getCommonAppDataFolder()));
    ChildStderr capture;
    {
        ProfileManager profiles;
        CHILD_EXPECT(profiles.countProfiles() == 0);  // defaults in memory
        GameConfiguration settings;
        CHILD_EXPECT(settings.soundVolume == 24);
        profiles.addProfile(u"Someone");
        CHILD_EXPECT(!profiles.save());
        CHILD_EXPECT(!settings.save());
    }  // the profiles save once more on destruction
    const std::string err = capture.take();
    platform::setFileFaultHook(nullptr);
    chmod(proPath().c_str(), 0600);
    chmod(hstPath().c_str(), 0600);
    CHILD_EXPECT(readFileBytes(proPath()) == pro);
    CHILD_EXPECT(readFileBytes(hstPath()) == hst);
    CHILD_EXPECT(countOf(err, proPath()) == 1);  // once per file and run
    CHILD_EXPECT(countOf(err, hstPath()) == 1);
    std::fprintf(stderr, "unreadable by %s\n", how.c_str());
    finish(err);
}

TEST(UserFilesDeathTest, AnUnreadableFileIsNeverOverwritten) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on from here, with the files made above
    std::filesystem::remove_all(userFolder());
    EXPECT_EXIT(unreadableFilesScenario(), testing::ExitedWithCode(0),
                "VeskDiruzuri: '[^']*/VeskDiruzuri\\.pro' cannot be read \\(Permission denied\\); using defaults, and the file is not "
                "overwritten in this run\\.");
}

// An I/O error while reading is the other way a file can exist and still not be readable.
int failReadingProfiles(const std::string& path, platform::FileStep step) {
    return step == platform::FileStep::READ && path == proPath() ? EIO : 0;
}

void readErrorScenario() {
    platform::setFileFaultHook(failReadingProfiles);
    new QelRuntime();
    auto* application = new GameGlobal();
    CHILD_EXPECT(application->profileManager.countProfiles() == 0);
    application->saveUserData();
    delete application;
    finish("");
}

TEST(UserFilesDeathTest, AReadErrorIsLoggedAndTheFileKept) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on from here, with the files made above
    std::filesystem::remove_all(userFolder());
    writePlayersFiles();
    const std::string pro = readFileBytes(proPath());
    EXPECT_EXIT(readErrorScenario(), testing::ExitedWithCode(0), "cannot be read \\(Input/output error\\)");
    EXPECT_EQ(readFileBytes(proPath()), pro);
    const std::string log = logText();
    EXPECT_NE(log.find("loadUserFile(): '" + proPath() + "' cannot be read (Input/output error); using defaults, and the file is not "
                       "overwritten in this run."),
              std::string::npos)
        << log;
    EXPECT_GE(countOf(log, "FileManager::saveSignedFile(): '" + proPath() + "' is not saved: it could not be read at start, so it is left as it is."),
              2u)
        << "at the save and at the end: " << log;
    EXPECT_EQ(log.find("Could not save"), std::string::npos) << "the other files were saved: " << log;
}

// A pipe in place of a user file would hang the start (opening it waits for a writer, and no
// signal ends that wait); a folder there could never be read either. Both are left as they are.
void pipeOrFolderScenario() {
    const auto start = std::chrono::steady_clock::now();
    new QelRuntime();
    auto* application = new GameGlobal();
    CHILD_EXPECT(std::chrono::steady_clock::now() - start < std::chrono::seconds(20));
    application->profileManager.addProfile(u"Kim");
    application->saveUserData();
    delete application;
    finish("");
}

TEST(UserFilesDeathTest, APipeOrFolderInPlaceOfAFileNeitherHangsNorIsReplaced) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on from here, with the files made above
    std::filesystem::remove_all(userFolder());
    ASSERT_EQ(mkfifo(proPath().c_str(), 0644), 0);
    std::filesystem::create_directory(hstPath());
    EXPECT_EXIT(pipeOrFolderScenario(), testing::ExitedWithCode(0), "");
    EXPECT_TRUE(std::filesystem::is_fifo(proPath()));
    EXPECT_TRUE(std::filesystem::is_directory(hstPath()));
    const std::string log = logText();
    EXPECT_NE(log.find("'" + proPath() + "' cannot be read (it is a named pipe, not a regular file)"), std::string::npos) << log;
    EXPECT_NE(log.find("'" + hstPath() + "' cannot be read (it is a folder, not a regular file)"), std::string::npos) << log;
}

// A read-only or full user folder: the saves fail, the program runs on, the old files stay as
// they were, and every failure is logged with the file and the system's reason and said once on
// standard error.
void troubledFolderScenario(FolderTrouble trouble) {
    new QelRuntime();  // the log is open before the folder turns bad
    auto* application = new GameGlobal();
    const std::string pro = readFileBytes(proPath()), hst = readFileBytes(hstPath()), cfg = readFileBytes(cfgPath());
    const std::string how = makeFolderTrouble(userFolder(), trouble);
    ChildStderr capture;
    application->profileManager.addProfile(u"New");
    application->gameConfiguration.soundVolume = 11;
    application->saveUserData();
    application->saveUserData();
    delete application;  // saves again
    qel->saveSettings();
    const std::string err = capture.take();
    CHILD_EXPECT(readFileBytes(proPath()) == pro);
    CHILD_EXPECT(readFileBytes(hstPath()) == hst);
    CHILD_EXPECT(readFileBytes(cfgPath()) == cfg);
    for (const auto& entry : std::filesystem::directory_iterator(userFolder())) CHILD_EXPECT(entry.path().extension() != ".tmp");
    for (const std::string& path : {proPath(), hstPath(), cfgPath()}) CHILD_EXPECT(countOf(err, "Could not save '" + path + "'") == 1);
    std::fprintf(stderr, "trouble made by %s\n", how.c_str());
    finish(err);
}

TEST(UserFilesDeathTest, AReadOnlyOrFullFolderKeepsTheOldFilesAndSaysSo) {
    GTEST_FLAG_SET(death_test_style, "fast");  // the child goes on from here, with the files made above
    struct Case {
        FolderTrouble trouble;
        const char* reasons;  // what the system says, by the way the folder was made so
    } cases[] = {
        {FolderTrouble::READ_ONLY, "(Read-only file system|Permission denied)"},
        {FolderTrouble::FULL, "No space left on device"},
    };
    for (const Case& c : cases) {
        std::filesystem::remove_all(userFolder());
        writePlayersFiles();
        EXPECT_EXIT(troubledFolderScenario(c.trouble), testing::ExitedWithCode(0),
                    std::string("VeskDiruzuri: Could not save '[^']*/VeskDiruzuri\\.pro' \\([^)]*") + c.reasons);
        chmod(userFolder().c_str(), 0755);  // an unprivileged run made the real folder read-only
        const std::string log = logText();
        for (const std::string& path : {proPath(), hstPath(), cfgPath()}) {
            const std::string line = "Could not save '" + path + "' (";
            EXPECT_GE(countOf(log, line), 3u) << "each failed save is logged: " << log;
            const size_t at = log.find(line);
            ASSERT_NE(at, std::string::npos) << log;
            EXPECT_NE(log.find("'" + path + ".tmp'", at), std::string::npos) << "the file the system refused is named";
        }
    }
}

// A kill in the middle of a save leaves the file's ".tmp" beside it; the next start removes those
// of the player's own files, and nothing else: not another program's file, not a folder or a link
// under such a name.
TEST(UserFiles, LeftoverTemporaryFilesOfOurOwnAreRemovedAtStart) {
    const std::string folder = userFolder() + "/";
    const std::string own[] = {"VeskDiruzuri.cfg.tmp", "VeskDiruzuri.pro.tmp", "VeskDiruzuri.hst.tmp", "VeskDiruzuri.pro.0badf00d.tmp",
                               "crash.VeskDiruzuri.log.tmp", "crash.VeskDiruzuri.jpg.tmp", "VeskDiruzuri 2026-12-11 08.40.01 12.500.bmp.tmp"};
    const std::string others[] = {"notes.txt.tmp", "VeskDiruzuri.pro.0BADF00D.tmp", "VeskDiruzuri.pro.123.tmp", "VeskDiruzuri.log.tmp",
                                  "VeskDiruzuri.cfg.tmp.tmp", ".tmp"};
    for (const std::string& name : own) writeFileBytes(folder + name, "half a save");
    for (const std::string& name : others) writeFileBytes(folder + name, "someone's");
    std::filesystem::create_directory(folder + "VeskDiruzuri.pro.00000001.tmp");
    writeFileBytes(folder + "target", "a link's target");
    std::filesystem::create_symlink(folder + "target", folder + "VeskDiruzuri.pro.00000002.tmp");
    auto* engine = new Qel();  // for the log
    removeLeftoverTemporaryFiles();
    delete engine;
    for (const std::string& name : own) EXPECT_FALSE(std::filesystem::exists(folder + name)) << name;
    for (const std::string& name : others) EXPECT_EQ(readFileBytes(folder + name), "someone's") << name;
    EXPECT_TRUE(std::filesystem::is_directory(folder + "VeskDiruzuri.pro.00000001.tmp"));
    EXPECT_TRUE(std::filesystem::is_symlink(folder + "VeskDiruzuri.pro.00000002.tmp"));
    EXPECT_EQ(readFileBytes(folder + "target"), "a link's target");
    EXPECT_NE(logText().find("FileManager::removeLeftoverTemporaryFiles(): Removed '" + folder + "VeskDiruzuri.pro.tmp', left by a save that did not "
                             "finish."),
              std::string::npos);
    for (const std::string& name : others) std::filesystem::remove(folder + name);
    std::filesystem::remove(folder + "VeskDiruzuri.pro.00000001.tmp");
    std::filesystem::remove(folder + "VeskDiruzuri.pro.00000002.tmp");
    std::filesystem::remove(folder + "target");
}

}  // namespace
