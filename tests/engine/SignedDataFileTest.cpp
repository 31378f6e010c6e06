#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "FileTestEnvironment.h"
#include "engine/MD5Context.h"
#include "engine/SignedDataFile.h"
#include "engine/Logger.h"
#include "engine/Utilities.h"
#include "platform/FileSystem.h"

namespace {

std::string hex(const uint8_t digest[16]) {
    static const char* digits = "0123456789abcdef";
    std::string s;
    for (int i = 0; i < 16; ++i) {
        s += digits[digest[i] >> 4];
        s += digits[digest[i] & 15];
    }
    return s;
}

std::string md5Hex(const std::string& text) {
    uint8_t digest[16];
    md5(digest, text.data(), static_cast<int>(text.size()));
    return hex(digest);
}

struct Payload {
    int32_t score[8];
    char name[24];
};

}  // namespace

TEST(MD5, RfcVectors) {
    const std::pair<const char*, const char*> vectors[] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"12345678901234567890123456789012345678901234567890123456789012345678901234567890", "57edf4a22be3c955ac49da2e2107b67a"},
    };
    for (const auto& [text, digest] : vectors) EXPECT_EQ(md5Hex(text), digest) << text;
}

TEST(MD5, PiecewiseUpdatesEqualOneCallAndKeyIsAPrefix) {
    std::string data(1000, '\0');
    for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>(i * 7);
    uint8_t whole[16], pieces[16];
    md5(whole, data.data(), 1000);
    MD5Context context;
    for (int at = 0, step = 1; at < 1000; at += step, step = step * 2 + 1) context.update(data.data() + at, std::min(step, 1000 - at));
    context.update(data.data(), 0);
    context.update(data.data(), -5);
    context.final(pieces);
    EXPECT_TRUE(md5Equal(whole, pieces));

    uint8_t keyed[16], prefixed[16];
    md5WithKey(keyed, 0, data.data(), 1000);
    md5(prefixed, (std::string(4, '\0') + data).data(), 1004);
    EXPECT_TRUE(md5Equal(keyed, prefixed));
    md5WithKey(keyed, 0x01020304, "x", 1);
    md5(prefixed, "\x04\x03\x02\x01x", 5);
    EXPECT_TRUE(md5Equal(keyed, prefixed));
}

TEST(SignedDataFile, BuildLayoutAndUnpack) {
    SignedDataFile file;
    const std::string payload(3000, 'q');
    ASSERT_TRUE(file.build(payload.data(), 3000, 77));
    EXPECT_STREQ(reinterpret_cast<const char*>(file.data.data()), "VeskDiruzuri");
    EXPECT_STREQ(reinterpret_cast<const char*>(file.data.data() + 32), "1.47");
    EXPECT_EQ(file.data[64] | file.data[65] << 8, 3000);
    SignedDataFile reader;
    ASSERT_TRUE(reader.unpack(file.data.data(), file.size, 77, 3000));
    EXPECT_EQ(std::string(reader.data.begin(), reader.data.end()), payload);
    EXPECT_FALSE(reader.unpack(file.data.data(), file.size, 78, 3000)) << "another key";
    EXPECT_FALSE(reader.unpack(file.data.data(), file.size, 77, 2999)) << "payload larger than expected";
    EXPECT_FALSE(reader.unpack(file.data.data(), 64, 77, 3000));
    EXPECT_FALSE(file.build(payload.data(), 0, 77));
}

TEST(SignedDataFile, EveryBodyByteIsSealedAndHeaderBytesAreNot) {
    SignedDataFile file;
    const char payload[] = "a small payload of forty-odd bytes to seal";
    ASSERT_TRUE(file.build(payload, sizeof(payload), 5));
    SignedDataFile reader;
    for (int i = 0; i < file.size; ++i) {
        std::vector<uint8_t> image = file.data;
        image[i] ^= 0x01;
        const bool ok = reader.unpack(image.data(), static_cast<int>(image.size()), 5, sizeof(payload));
        if (i < 48)
            EXPECT_TRUE(ok) << "product or version byte " << i;
        else
            EXPECT_FALSE(ok) << "seal or body byte " << i;
    }
}

TEST(SignedDataFile, SaveAndLoadThroughTheFileManager) {
    TestFolder folder("vesk-signed");
    const WString dir = utf8ToWide(folder.path);
    Payload out{{1, 2, 3, 4, 5, 6, 7, 8}, "player"};
    FileManager::saveSignedFile(dir, u".pro", u"profiles", &out, sizeof(out));
    Payload in{};
    ASSERT_TRUE(FileManager::loadSignedFile(dir, u".pro", u"profiles", &in, sizeof(in)));
    EXPECT_EQ(std::memcmp(&in, &out, sizeof(in)), 0);
    EXPECT_FALSE(std::filesystem::exists(folder.file(".pro.tmp")));

    // The same file under another name does not unpack: the name is part of the seal key.
    std::filesystem::copy_file(folder.file(".pro"), folder.file(".hst"));
    Payload untouched{{9}, "keep"};
    EXPECT_FALSE(FileManager::loadSignedFile(dir, u".hst", u"profiles", &untouched, sizeof(untouched)));
    EXPECT_FALSE(FileManager::loadSignedFile(dir, u".pro", u"other key", &untouched, sizeof(untouched)));
    // A size mismatch leaves the destination as it was.
    char small[10] = "unchanged";
    EXPECT_FALSE(FileManager::loadSignedFile(dir, u".pro", u"profiles", small, sizeof(small)));
    EXPECT_STREQ(small, "unchanged");
    char big[sizeof(Payload) + 1] = {};
    EXPECT_FALSE(FileManager::loadSignedFile(dir, u".pro", u"profiles", big, sizeof(big)));
    EXPECT_EQ(untouched.score[0], 9);
    EXPECT_STREQ(untouched.name, "keep");
    EXPECT_FALSE(FileManager::loadSignedFile(dir, u"missing", u"profiles", &in, sizeof(in)));
    EXPECT_TRUE(FileManager::loadSignedFile(dir, u"missing", u"profiles", &in, 0));
}

TEST(SignedDataFile, WritingIntoAMissingFolderLeavesNothing) {
    TestFolder folder("vesk-signed");
    SignedDataFile file;
    ASSERT_TRUE(file.build("x", 1, 1));
    EXPECT_FALSE(file.writeFile(folder.wfile("no/such/folder/file")));
    SignedDataFile empty;
    EXPECT_FALSE(empty.writeFile(folder.wfile("file")));
    EXPECT_FALSE(std::filesystem::exists(folder.file("file")));
}

namespace {

using LoadResult = FileManager::LoadResult;

// What a read finds tells the owner whether it may write the file later: a missing or damaged file
// may be replaced, one that is there but cannot be read may not.
TEST(SignedDataFile, ReadingTellsMissingUnreadableAndDamagedApart) {
    TestFolder folder("vesk-signed");
    const WString dir = utf8ToWide(folder.path);
    Payload good{{1, 2, 3}, "kim"};
    ASSERT_TRUE(FileManager::saveSignedFile(dir, u"good", u"key", &good, sizeof(good)));
    std::filesystem::copy_file(folder.file("good"), folder.file("cut"));
    std::filesystem::resize_file(folder.file("cut"), 70);
    ASSERT_EQ(mkfifo(folder.file("pipe").c_str(), 0644), 0);
    std::filesystem::create_directory(folder.file("dir"));
    writeFileBytes(folder.file("huge"), std::string(1 << 20, 'x'));
    struct Case {
        const char16_t* name;
        LoadResult result;
        const char* reason;
    } cases[] = {
        {u"good", LoadResult::LOADED, ""},
        {u"missing", LoadResult::MISSING, ""},
        {u"pipe", LoadResult::UNREADABLE, "it is a named pipe, not a regular file"},
        {u"dir", LoadResult::UNREADABLE, "it is a folder, not a regular file"},
        {u"cut", LoadResult::DAMAGED, "its seal or contents do not check out"},
        {u"huge", LoadResult::DAMAGED, "larger than 65716 bytes"},
    };
    for (const Case& c : cases) {
        Payload in{{9}, "untouched"};
        WString reason;
        EXPECT_EQ(FileManager::readSignedFile(dir, c.name, u"key", &in, sizeof(in), reason), c.result) << wideToUtf8(c.name);
        EXPECT_EQ(wideToUtf8(reason), c.reason) << wideToUtf8(c.name);
        EXPECT_STREQ(in.name, c.result == LoadResult::LOADED ? "kim" : "untouched");
    }
    WString reason;
    Payload in{};
    EXPECT_EQ(FileManager::readSignedFile(dir, u"good", u"key", &in, sizeof(in) - 4, reason), LoadResult::DAMAGED);
    EXPECT_EQ(reason, u"its seal or contents do not check out");  // its payload is larger than the record
}

TEST(SignedDataFile, FailedSaveIsReportedWithPathAndReasonAndKeepsTheOldFile) {
    FileTestEnvironment env;  // an engine, for the log
    TestFolder folder("vesk-signed");
    const WString dir = utf8ToWide(folder.path);
    Payload old{{1}, "old"}, now{{2}, "new"};
    ASSERT_TRUE(FileManager::saveSignedFile(dir, u"f.pro", u"key", &old, sizeof(old)));
    const std::string before = readFileBytes(folder.file("f.pro"));
    platform::setFileFaultHook([](const std::string&, platform::FileStep step) { return step == platform::FileStep::WRITE ? ENOSPC : 0; });
    EXPECT_FALSE(FileManager::saveSignedFile(dir, u"f.pro", u"key", &now, sizeof(now)));
    platform::setFileFaultHook(nullptr);
    EXPECT_EQ(readFileBytes(folder.file("f.pro")), before);
    EXPECT_FALSE(std::filesystem::exists(folder.file("f.pro.tmp")));
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_NE(log.find("FileManager::saveSignedFile(): Could not save '" + folder.file("f.pro") + "' (writing '" + folder.file("f.pro.tmp") +
                       "' failed: No space left on device); the file there is left as it was."),
              std::string::npos)
        << log;
}

TEST(SignedDataFile, AFileKeptUnchangedIsNotWritten) {
    TestFolder folder("vesk-signed");
    const WString dir = utf8ToWide(folder.path);
    writeFileBytes(folder.file("f.pro"), "player's bytes");
    FileManager::keepUnchanged(FileManager::signedFilePath(dir, u"f.pro"));
    Payload now{{2}, "new"};
    EXPECT_FALSE(FileManager::saveSignedFile(dir, u"f.pro", u"key", &now, sizeof(now)));
    EXPECT_EQ(readFileBytes(folder.file("f.pro")), "player's bytes");
    FileManager::allowWriting(FileManager::signedFilePath(dir, u"f.pro"));
    EXPECT_TRUE(FileManager::saveSignedFile(dir, u"f.pro", u"key", &now, sizeof(now)));
}

TEST(SignedDataFile, DamagedFileIsSetAsideOnlyWhenTheRenameWorks) {
    FileTestEnvironment env;
    TestFolder folder("vesk-signed");
    const WString path = folder.wfile("f.pro");
    writeFileBytes(folder.file("f.pro"), "garbage");
    platform::setFileFaultHook([](const std::string&, platform::FileStep step) { return step == platform::FileStep::RENAME ? EACCES : 0; });
    EXPECT_FALSE(FileManager::setAside(u"loadUserFile", path, u"its seal or contents do not check out"));
    platform::setFileFaultHook(nullptr);
    EXPECT_EQ(readFileBytes(folder.file("f.pro")), "garbage");
    EXPECT_TRUE(FileManager::isKeptUnchanged(path)) << "a damaged file that could not be set aside is not overwritten";
    std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_EQ(log.find("; kept as '"), std::string::npos) << "no untrue line: " << log;
    EXPECT_NE(log.find("loadUserFile(): '" + folder.file("f.pro") + "' is damaged or not ours (its seal or contents do not check out) and could not be "
                       "kept aside as '" + folder.file("f.pro.bad") + "' (Permission denied); it is left in place"),
              std::string::npos)
        << log;

    EXPECT_TRUE(FileManager::setAside(u"loadUserFile", path, u"its seal or contents do not check out"));
    EXPECT_EQ(readFileBytes(folder.file("f.pro.bad")), "garbage");
    EXPECT_FALSE(FileManager::isKeptUnchanged(path));
    log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_NE(log.find("kept as '" + folder.file("f.pro.bad") + "', using defaults."), std::string::npos) << log;
}

// A second damage never costs the first copy: each goes beside the earlier ones, whatever already
// holds a name (a folder, a link to nothing), up to a bound; past it the file stays where it is,
// is not overwritten and the player is told how to make room.
TEST(SignedDataFile, SettingAsideKeepsEveryEarlierCopyUpToTheBound) {
    FileTestEnvironment env;
    TestFolder folder("vesk-signed");
    const WString path = folder.wfile("f.pro");
    std::filesystem::create_directory(folder.file("f.pro.bad.2"));
    std::filesystem::create_symlink("nowhere", folder.file("f.pro.bad.4"));
    std::vector<std::string> copies;  // where each damaged file should be
    for (int damage = 0; damage < 8; ++damage) {
        const std::string bytes = "damaged copy " + std::to_string(damage);
        writeFileBytes(folder.file("f.pro"), bytes);
        ASSERT_TRUE(FileManager::setAside(u"loadUserFile", path, u"why")) << damage;
        EXPECT_FALSE(std::filesystem::exists(folder.file("f.pro")));
        copies.push_back(bytes);
    }
    const char* const names[] = {"f.pro.bad", "f.pro.bad.1", "f.pro.bad.3", "f.pro.bad.5", "f.pro.bad.6", "f.pro.bad.7", "f.pro.bad.8", "f.pro.bad.9"};
    for (size_t i = 0; i < copies.size(); ++i) EXPECT_EQ(readFileBytes(folder.file(names[i])), copies[i]) << names[i];
    EXPECT_TRUE(std::filesystem::is_directory(folder.file("f.pro.bad.2")));
    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("f.pro.bad.4")));

    writeFileBytes(folder.file("f.pro"), "one too many");
    EXPECT_FALSE(FileManager::setAside(u"loadUserFile", path, u"why"));
    EXPECT_EQ(readFileBytes(folder.file("f.pro")), "one too many");
    EXPECT_FALSE(std::filesystem::exists(folder.file("f.pro.bad.10")));
    EXPECT_TRUE(FileManager::isKeptUnchanged(path)) << "the damaged file is not overwritten in this run";
    for (size_t i = 0; i < copies.size(); ++i) EXPECT_EQ(readFileBytes(folder.file(names[i])), copies[i]) << names[i];
    const std::string log = readFileBytes(wideToUtf8(Logger::getLogFilePath()));
    EXPECT_NE(log.find("'" + folder.file("f.pro") + "' is damaged or not ours (why) and could not be kept aside: '" + folder.file("f.pro") +
                       ".bad' to '" + folder.file("f.pro.bad.9") + "' are all taken; it is left in place"),
              std::string::npos)
        << log;
    FileManager::allowWriting(path);
}

}  // namespace
