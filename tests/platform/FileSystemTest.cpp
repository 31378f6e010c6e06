// Opening, reading and replacing files: only regular files, never a wait on a pipe, and every
// failure with its reason and the old file intact.

#include "platform/FileSystem.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>

#include "support/TestFolder.h"

namespace {

using platform::FileStep;
using platform::ReadOutcome;

struct FaultScope {
    explicit FaultScope(platform::FileFaultHook hook) { platform::setFileFaultHook(hook); }
    ~FaultScope() { platform::setFileFaultHook(nullptr); }
};

TEST(FileSystemTest, ReadingTellsMissingFromUnreadableAndNeverWaitsOnAPipe) {
    TestFolder folder("vesk-fs");
    writeFileBytes(folder.file("plain"), "abc");
    writeFileBytes(folder.file("big"), std::string(100, 'x'));
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0644), 0);
    std::filesystem::create_directory(folder.file("dir"));
    std::filesystem::create_symlink(folder.file("nowhere"), folder.file("dangling"));
    std::filesystem::create_symlink(folder.file("loop"), folder.file("loop"));
    std::filesystem::create_symlink("/dev/null", folder.file("device"));
    std::filesystem::create_symlink(folder.file("plain"), folder.file("link"));
    struct Case {
        std::string name;
        ReadOutcome outcome;
        const char* reason;
    } cases[] = {
        {"plain", ReadOutcome::OK, ""},
        {"missing", ReadOutcome::MISSING, ""},
        {"missing-folder/file", ReadOutcome::MISSING, ""},
        {"plain/below-a-file", ReadOutcome::MISSING, ""},
        {"pipe", ReadOutcome::UNREADABLE, "it is a named pipe, not a regular file"},
        {"dir", ReadOutcome::UNREADABLE, "it is a folder, not a regular file"},
        // Something is there: a link is never taken for a missing file.
        {"dangling", ReadOutcome::UNREADABLE, "it is a symbolic link to nothing"},
        {"loop", ReadOutcome::UNREADABLE, "Too many levels of symbolic links"},
        {"device", ReadOutcome::UNREADABLE, "it is a device, not a regular file"},
        {"link", ReadOutcome::OK, ""},
        {"big", ReadOutcome::TOO_LARGE, "larger than 99 bytes"},
    };
    for (const Case& c : cases) {
        std::string bytes = "stale", reason;
        const auto start = std::chrono::steady_clock::now();
        EXPECT_EQ(platform::readRegularFile(folder.file(c.name), bytes, reason, 99), c.outcome) << c.name;
        EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name << " must not block";
        EXPECT_EQ(reason, c.reason) << c.name;
        EXPECT_EQ(bytes, c.outcome == ReadOutcome::OK ? "abc" : "") << c.name;
    }
}

TEST(FileSystemTest, OpeningRefusesEverythingButARegularFile) {
    TestFolder folder("vesk-fs");
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0644), 0);
    std::filesystem::create_directory(folder.file("dir"));
    for (const char* name : {"pipe", "dir"}) {
        int error = 0;
        EXPECT_EQ(platform::openRegularFileForReading(folder.file(name), error), -1) << name;
        EXPECT_EQ(error, platform::NOT_A_REGULAR_FILE) << name;
        EXPECT_EQ(platform::openRegularFileForWriting(folder.file(name), error), -1) << name;
        EXPECT_EQ(error, platform::NOT_A_REGULAR_FILE) << name;
    }
    EXPECT_TRUE(std::filesystem::is_fifo(folder.file("pipe")));
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("dir")));
}

TEST(FileSystemTest, AnInjectedReadErrorMakesTheFileUnreadable) {
    TestFolder folder("vesk-fs");
    writeFileBytes(folder.file("f"), "abc");
    FaultScope fault([](const std::string&, FileStep step) { return step == FileStep::READ ? EIO : 0; });
    std::string bytes, reason;
    EXPECT_EQ(platform::readRegularFile(folder.file("f"), bytes, reason), ReadOutcome::UNREADABLE);
    EXPECT_EQ(reason, std::strerror(EIO));
}

TEST(FileSystemTest, AReaderTakesAFileInPiecesWithTheOutcomesOfAWholeRead) {
    TestFolder folder("vesk-fs");
    std::string text;
    for (int i = 0; i < 1000; ++i) text += char('a' + i % 26);
    writeFileBytes(folder.file("plain"), text);
    writeFileBytes(folder.file("big"), std::string(2000, 'x'));
    std::filesystem::create_directory(folder.file("dir"));
    platform::FileReader reader;
    std::string reason;
    EXPECT_EQ(reader.open(folder.file("missing"), reason, 1500), ReadOutcome::MISSING);
    EXPECT_EQ(reader.open(folder.file("dir"), reason, 1500), ReadOutcome::UNREADABLE);
    EXPECT_EQ(reason, "it is a folder, not a regular file");
    EXPECT_EQ(reader.open(folder.file("big"), reason, 1500), ReadOutcome::TOO_LARGE);
    EXPECT_FALSE(reader.isOpen());
    ASSERT_EQ(reader.open(folder.file("plain"), reason, 1500), ReadOutcome::OK);
    EXPECT_EQ(reader.size(), text.size());
    std::string got;
    char piece[300];
    long n = 0;
    int pieces = 0;
    while ((n = reader.read(piece, sizeof(piece), reason)) > 0) {
        got.append(piece, size_t(n));
        ++pieces;
    }
    EXPECT_EQ(n, 0);
    EXPECT_EQ(pieces, 4);
    EXPECT_EQ(got, text);
    // A read error closes the reader and says why.
    ASSERT_EQ(reader.open(folder.file("plain"), reason, 1500), ReadOutcome::OK);
    FaultScope fault([](const std::string&, FileStep step) { return step == FileStep::READ ? EIO : 0; });
    EXPECT_EQ(reader.read(piece, sizeof(piece), reason), -1);
    EXPECT_EQ(reason, std::strerror(EIO));
    EXPECT_FALSE(reader.isOpen());
}

TEST(FileSystemTest, ReplacingWritesTheWholeFileAndLeavesNoTemporaryFile) {
    TestFolder folder("vesk-fs");
    writeFileBytes(folder.file("f"), "old");
    writeFileBytes(folder.file("f.tmp"), "left by a crash");
    std::string reason;
    ASSERT_TRUE(platform::replaceFile(folder.file("f"), "new bytes", 9, reason)) << reason;
    EXPECT_EQ(readFileBytes(folder.file("f")), "new bytes");
    EXPECT_FALSE(std::filesystem::exists(folder.file("f.tmp")));
}

TEST(FileSystemTest, AFailedReplaceKeepsTheOldFileAndSaysWhereAndWhy) {
    struct Case {
        FileStep step;
        int error;
        const char* reason;  // %t stands for the temporary file, %f for the file
    } cases[] = {
        {FileStep::CREATE, EROFS, "cannot create '%t': Read-only file system"},
        {FileStep::CREATE, EACCES, "cannot create '%t': Permission denied"},
        {FileStep::WRITE, ENOSPC, "writing '%t' failed: No space left on device"},
        {FileStep::SYNC, EIO, "writing '%t' failed: Input/output error"},
        {FileStep::RENAME, EACCES, "cannot rename '%t' to '%f': Permission denied"},
    };
    static FileStep failingStep;
    static int failingError;
    for (const Case& c : cases) {
        TestFolder folder("vesk-fs");
        writeFileBytes(folder.file("f"), "old");
        failingStep = c.step;
        failingError = c.error;
        FaultScope fault([](const std::string&, FileStep step) { return step == failingStep ? failingError : 0; });
        std::string reason;
        EXPECT_FALSE(platform::replaceFile(folder.file("f"), "new", 3, reason));
        std::string expected = c.reason;
        if (const size_t t = expected.find("%t"); t != std::string::npos) expected.replace(t, 2, folder.file("f.tmp"));
        if (const size_t f = expected.find("%f"); f != std::string::npos) expected.replace(f, 2, folder.file("f"));
        EXPECT_EQ(reason, expected);
        EXPECT_EQ(readFileBytes(folder.file("f")), "old") << expected;
        EXPECT_FALSE(std::filesystem::exists(folder.file("f.tmp"))) << expected;
    }
}

TEST(FileSystemTest, ReplacingAFolderFailsAndLeavesIt) {
    TestFolder folder("vesk-fs");
    std::filesystem::create_directory(folder.file("f"));
    std::string reason;
    EXPECT_FALSE(platform::replaceFile(folder.file("f"), "new", 3, reason));
    EXPECT_NE(reason.find("cannot rename"), std::string::npos) << reason;
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("f")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("f.tmp")));
}

// Setting a file aside never takes a name that is in use, whatever holds it.
TEST(FileSystemTest, RenamingWithoutReplacingLeavesATakenNameAlone) {
    TestFolder folder("vesk-fs");
    writeFileBytes(folder.file("from"), "new");
    writeFileBytes(folder.file("file"), "old");
    std::filesystem::create_directory(folder.file("dir"));
    std::filesystem::create_symlink("nowhere", folder.file("dangling"));
    for (const char* taken : {"file", "dir", "dangling"}) {
        bool targetTaken = false;
        std::string reason;
        EXPECT_FALSE(platform::renameFileWithoutReplacing(folder.file("from"), folder.file(taken), targetTaken, reason)) << taken;
        EXPECT_TRUE(targetTaken) << taken;
        EXPECT_EQ(reason, "File exists") << taken;
    }
    EXPECT_EQ(readFileBytes(folder.file("file")), "old");
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("dangling")));
    bool targetTaken = true;
    std::string reason;
    EXPECT_TRUE(platform::renameFileWithoutReplacing(folder.file("from"), folder.file("free"), targetTaken, reason));
    EXPECT_FALSE(targetTaken);
    EXPECT_EQ(readFileBytes(folder.file("free")), "new");
    EXPECT_FALSE(platform::renameFileWithoutReplacing(folder.file("from"), folder.file("again"), targetTaken, reason));
    EXPECT_FALSE(targetTaken) << "a missing source is no taken name";
}

}  // namespace
