// One model of the player's folder, over every user file and everything that can stand in its
// place: for each file (settings, profiles, high scores, a saved game being resumed, the crash
// files) and each condition, the program starts on the folder, plays a moment and ends. Then every
// byte sequence that was in the folder before is still there (in place or in a copy set aside as
// ".bad..."), anything that is not a regular file is still what it was, the run neither hung nor
// crashed and ended with status 0, and standard error named the file whenever it could not use or
// write it. The files the run could use are the program's to update: they only have to be there
// afterwards. The log, which every run writes afresh, is no player's file and is left out.
//
// Each run is a child process of its own (a death test, forked where it stands): the once-per-run
// reports, the files kept unchanged and the injected faults last until the process ends. The run is
// the program's own start and end: leftovers of killed saves removed, the engine and application
// made (reading the settings, profiles and high scores), the user data saved as the menus save it,
// then the application and the engine deleted, saving what they save. For the saved game the run
// also goes through every loader step and a second of frames on the world map, which resumes the
// level from the file and saves it as it goes. Root reads any file, so
// "unreadable", a full disk and a read-only folder are injected through the file system's seam.

#include <gtest/gtest.h>
#include <gmock/gmock.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/ProfileManager.h"
#include "ui/UserFiles.h"
#include "engine/Logger.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "game/GameController.h"
#include "game/WorldManager.h"
#include "harness/PlayHarness.h"
#include "platform/FileSystem.h"
#include "runtime/QelRuntime.h"
#include "support/TestFolder.h"

namespace fs = std::filesystem;

namespace {

enum class Target { SETTINGS, PROFILES, HIGH_SCORES, SAVED_GAME, CRASH_FILES };
enum class Condition {
    MISSING,
    EMPTY,
    DAMAGED,
    UNREADABLE,
    FOLDER,
    FIFO,
    SOCKET,
    DANGLING_LINK,
    LOOPING_LINK,
    DEVICE_LINK,
    BAD_PRESENT,
    BAD_IS_FOLDER,
    TMP_IS_FOLDER,
    FULL_DISK,
    READ_ONLY_FOLDER,
};

const char* const targetNames[] = {"Settings", "Profiles", "HighScores", "SavedGame", "CrashFiles"};
const char* const conditionNames[] = {"Missing",      "Empty",       "Damaged",    "Unreadable",  "Folder",
                                      "Fifo",         "Socket",      "DanglingLink", "LoopingLink", "DeviceLink",
                                      "BadPresent",   "BadIsFolder", "TmpIsFolder", "FullDisk",    "ReadOnlyFolder"};

std::string folder() {
    std::string path = wideToUtf8(getUserDataFolder());
    path.pop_back();
    return path;
}

// Regular files under the folder by their path below it, links not followed. The log is left out.
using Snapshot = std::map<std::string, std::string>;
Snapshot snapshot() {
    Snapshot files;
    const std::string root = folder();
    std::error_code error;
    for (auto it = fs::recursive_directory_iterator(root, error); !error && it != fs::recursive_directory_iterator(); it.increment(error)) {
        if (!fs::is_regular_file(it->symlink_status())) continue;
        const std::string name = it->path().string().substr(root.size() + 1);
        if (name == wideToUtf8(Logger::getLogFileName())) continue;
        files[name] = readFileBytes(it->path().string());
    }
    return files;
}

// What is at a path, links not followed: "file", "folder", "fifo", "socket", "link to X" or "".
std::string kindAt(const std::string& path) {
    struct stat st {};
    if (lstat(path.c_str(), &st) != 0) return "";
    if (S_ISLNK(st.st_mode)) return "link to " + fs::read_symlink(path).string();
    if (S_ISDIR(st.st_mode)) return "folder";
    if (S_ISFIFO(st.st_mode)) return "fifo";
    if (S_ISSOCK(st.st_mode)) return "socket";
    return S_ISREG(st.st_mode) ? "file" : "other";
}

// The player's folder as a run finds it: made once by playing.
Snapshot baseline;
std::string savedGameName;

std::vector<std::string> namesOf(Target target) {
    switch (target) {
        case Target::SETTINGS: return {wideToUtf8(Qel::getConfigFileName())};
        case Target::PROFILES: return {wideToUtf8(ProfileManager::getProfilesFileName())};
        case Target::HIGH_SCORES: return {wideToUtf8(getProductName()) + ".hst"};
        case Target::SAVED_GAME: return {savedGameName};
        case Target::CRASH_FILES: return {"crash." + wideToUtf8(getProductName()) + ".log", "crash." + wideToUtf8(getProductName()) + ".jpg"};
    }
    return {};
}

const std::string damagedBytes("\x01\x02 not a file of ours \xff\xfe\x00 at all", 32);

// A socket bound at the path (by its name in the folder: a socket's path is short).
void makeSocketAt(const std::string& path) {
    const fs::path previous = fs::current_path();
    fs::current_path(fs::path(path).parent_path());
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof(address.sun_path), "%s", fs::path(path).filename().c_str());
    EXPECT_EQ(bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0) << path;
    close(fd);
    fs::current_path(previous);
}

void applyCondition(const std::string& path, Condition condition) {
    const std::string name = fs::path(path).filename().string();
    switch (condition) {
        case Condition::MISSING: fs::remove(path); break;
        case Condition::EMPTY: writeFileBytes(path, ""); break;
        case Condition::DAMAGED: writeFileBytes(path, damagedBytes); break;
        case Condition::UNREADABLE: break;  // by the seam, in the run
        case Condition::FOLDER:
            fs::remove(path);
            fs::create_directory(path);
            writeFileBytes(path + "/inside", "a file in the folder");
            break;
        case Condition::FIFO:
            fs::remove(path);
            ASSERT_EQ(mkfifo(path.c_str(), 0644), 0);
            break;
        case Condition::SOCKET:
            fs::remove(path);
            makeSocketAt(path);
            break;
        case Condition::DANGLING_LINK:
            fs::remove(path);
            fs::create_symlink("on a drive not mounted now", path);
            break;
        case Condition::LOOPING_LINK:
            fs::remove(path);
            fs::create_symlink(name, path);
            break;
        case Condition::DEVICE_LINK:
            fs::remove(path);
            fs::create_symlink("/dev/zero", path);
            break;
        case Condition::BAD_PRESENT:
            writeFileBytes(path, damagedBytes);
            writeFileBytes(path + ".bad", "an earlier damaged copy");
            break;
        case Condition::BAD_IS_FOLDER:
            writeFileBytes(path, damagedBytes);
            fs::create_directory(path + ".bad");
            writeFileBytes(path + ".bad/inside", "a file in the folder");
            break;
        case Condition::TMP_IS_FOLDER:
            fs::create_directory(path + ".tmp");
            writeFileBytes(path + ".tmp/inside", "a file in the folder");
            break;
        case Condition::FULL_DISK:
        case Condition::READ_ONLY_FOLDER: break;  // by the seam, in the run
    }
}

// The faults of the run: the target that may not be read, or the whole folder full or read-only.
std::set<std::string> unreadablePaths;
Condition folderCondition = Condition::MISSING;
int injectFaults(const std::string& path, platform::FileStep step) {
    using Step = platform::FileStep;
    if (step == Step::OPEN_READ && unreadablePaths.count(path)) return EACCES;
    if (!path.starts_with(folder() + "/")) return 0;
    if (folderCondition == Condition::FULL_DISK && (step == Step::WRITE || step == Step::SYNC)) return ENOSPC;
    if (folderCondition == Condition::READ_ONLY_FOLDER && (step == Step::CREATE || step == Step::RENAME || step == Step::REMOVE)) return EROFS;
    return 0;
}

// The program's run, in the child: start, a second of play on the world map, end.
[[noreturn]] void runTheProgram(Target target, Condition condition) {
    alarm(120);  // a hang ends the child by a signal instead of holding the test
    if (condition == Condition::UNREADABLE)
        for (const std::string& name : namesOf(target)) unreadablePaths.insert(folder() + "/" + name);
    folderCondition = condition;
    platform::setFileFaultHook(injectFaults);
    removeLeftoverTemporaryFiles();
    if (target == Target::SAVED_GAME) {
        PlayHarness harness;
        auto* map = new WorldManager();
        harness.application->pContextManager->pushContext(map);
        harness.run(60);
    } else {
        // The other files are read as the engine and the application are made and written as
        // the menus save them and as both go; the loader and the level add nothing for them.
        new QelRuntime();
        auto* application = new GameGlobal();
        application->saveUserData();
        delete application;
        delete qel;
    }  // the application with its screens (the map saves the level in play), then the engine
    std::fflush(nullptr);
    std::_Exit(0);  // no leak check or static teardown in the child
}

struct Row {
    Target target;
    Condition condition;
};

// Whether the run has to name the target on standard error: whenever something is there that it
// cannot use, or it cannot write the file. The crash files are read only when the player sends
// them and written only by a crash, so a run that neither sends nor crashes has nothing to say.
// An empty settings file is a settings text without settings, used as such.
bool mustBeNamed(const Row& row) {
    if (row.target == Target::CRASH_FILES || row.condition == Condition::MISSING) return false;
    return !(row.target == Target::SETTINGS && row.condition == Condition::EMPTY);
}

// The player's folder before any condition: settings, a profile with a level in play saved, high
// scores, and the files of a crash.
void makeBaseline() {
    fs::remove_all(folder());
    {
        PlayHarness harness;
        harness.application->profileManager.addProfile(u"Kim");
        harness.application->gameConfiguration.soundVolume = 3;
        harness.startGame(3);
        harness.run(120);
        ASSERT_TRUE(harness.game->save());
        savedGameName = fs::path(wideToUtf8(GameController::currentProfile()->getSavedGamePath())).filename().string();
        harness.application->saveUserData();
    }
    writeFileBytes(folder() + "/crash." + wideToUtf8(getProductName()) + ".log", "the log of a run that crashed");
    writeFileBytes(folder() + "/crash." + wideToUtf8(getProductName()) + ".jpg", "\xff\xd8 the screen as it crashed");
    baseline = snapshot();
    for (const Target target : {Target::SETTINGS, Target::PROFILES, Target::HIGH_SCORES, Target::SAVED_GAME, Target::CRASH_FILES})
        for (const std::string& name : namesOf(target)) ASSERT_TRUE(baseline.count(name)) << name << " is part of the model";
}

void checkRow(const Row& row) {
    fs::remove_all(folder());
    fs::create_directories(folder());
    for (const auto& [name, bytes] : baseline) writeFileBytes(folder() + "/" + name, bytes);
    std::map<std::string, std::string> kinds;  // of every path the condition made
    for (const std::string& name : namesOf(row.target)) {
        const std::string path = folder() + "/" + name;
        applyCondition(path, row.condition);
        for (const std::string& p : {path, path + ".bad", path + ".tmp"}) kinds[p] = kindAt(p);
    }
    const Snapshot before = snapshot();

    if (mustBeNamed(row)) {
        EXPECT_EXIT(runTheProgram(row.target, row.condition), testing::ExitedWithCode(0),
                    testing::HasSubstr("'" + folder() + "/" + namesOf(row.target)[0] + "'"));
    } else {
        EXPECT_EXIT(runTheProgram(row.target, row.condition), testing::ExitedWithCode(0), testing::_);
    }

    // A file the run could use is the program's to update; every other byte sequence stays.
    const std::vector<std::string> targets = namesOf(row.target);
    const Snapshot after = snapshot();
    for (const auto& [name, bytes] : before) {
        const bool usable = std::find(targets.begin(), targets.end(), name) == targets.end() && baseline.count(name) && baseline[name] == bytes;
        if (usable) {
            EXPECT_TRUE(after.count(name)) << name << " is gone";
            continue;
        }
        bool kept = bytes.empty();  // no bytes to lose
        for (const auto& [afterName, afterBytes] : after)
            kept = kept || (afterBytes == bytes && (afterName == name || afterName.starts_with(name + ".bad")));
        EXPECT_TRUE(kept) << name << " (" << bytes.size() << " bytes) is neither in place nor set aside";
    }
    for (const auto& [path, kind] : kinds) {
        if (kind.empty() || kind == "file") continue;  // regular files are checked by their bytes
        EXPECT_EQ(kindAt(path), kind) << path << " is still what it was";
    }
}

// One test a file, so that the five run side by side; each makes the folder of the model first.
class UserFolderTable : public testing::TestWithParam<Target> {};

TEST_P(UserFolderTable, NoByteIsLostAndEveryProblemIsNamed) {
    GTEST_FLAG_SET(death_test_style, "fast");  // each child goes on from its row, with the folder made for it
    makeBaseline();
    if (HasFatalFailure()) return;
    for (int c = 0; c <= int(Condition::READ_ONLY_FOLDER); ++c) {
        const Row row{GetParam(), Condition(c)};
        SCOPED_TRACE(conditionNames[c]);
        checkRow(row);
    }
}

INSTANTIATE_TEST_SUITE_P(EveryUserFile, UserFolderTable,
                         testing::Values(Target::SETTINGS, Target::PROFILES, Target::HIGH_SCORES, Target::SAVED_GAME, Target::CRASH_FILES),
                         [](const testing::TestParamInfo<Target>& info) { return std::string(targetNames[int(info.param)]); });

}  // namespace
