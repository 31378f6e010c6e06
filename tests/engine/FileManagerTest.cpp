#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <filesystem>
#include <memory>
#include <random>

#include "engine/FileStream.h"
#include "engine/MemoryReadStream.h"
#include "engine/Random.h"
#include "engine/Utilities.h"
#include "engine/WadFile.h"
#include "FileTestEnvironment.h"

namespace {

using Files = std::vector<std::pair<std::string, std::string>>;

std::string compressible(size_t n) {
    std::string s;
    while (s.size() < n) s += "the quick brown fox jumps over the lazy dog ";
    s.resize(n);
    return s;
}

std::string incompressible(size_t n, unsigned seed) {
    std::mt19937 random(seed);
    std::string s(n, '\0');
    for (char& c : s) c = static_cast<char>(random());
    return s;
}

// Writes the loose files, reads them in creation mode under the archive's name and writes the
// archive into the working folder. The loose files are removed afterwards.
void buildArchive(const std::string& archive, const Files& files, bool compress) {
    for (const auto& [name, bytes] : files) writeFileBytes(name, bytes);
    {
        FileManager maker(true);
        maker.wadOutputFolder = u"";
        maker.useWad(utf8ToWide(archive));
        for (const auto& [name, bytes] : files) delete maker.open(nullptr, utf8ToWide(name));
        maker.saveSubWad(compress, utf8ToWide(archive));
        EXPECT_TRUE(maker.recorded.empty());
    }
    for (const auto& [name, bytes] : files) std::remove(name.c_str());
    if (compress) std::rename((archive + ".z").c_str(), archive.c_str());
}

std::string readAll(FileManager& files, const std::string& name) {
    int size = -1;
    std::unique_ptr<Stream> stream(files.open(&size, utf8ToWide(name)));
    std::string bytes(static_cast<size_t>(size), '\0');
    int done = 0;
    while (done < size) {
        const int n = stream->read(bytes.data() + done, size - done);
        if (n <= 0) break;
        done += n;
    }
    bytes.resize(static_cast<size_t>(done));
    return bytes;
}

int32_t le32(const std::string& bytes, size_t at) {
    uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= uint32_t(uint8_t(bytes[at + i])) << (8 * i);
    return static_cast<int32_t>(v);
}

void putLe32(std::string& bytes, size_t at, int32_t value) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(static_cast<uint32_t>(value) >> (8 * i));
}

constexpr size_t ENTRY0 = 8;

}  // namespace

TEST(MemoryReadStream, ReadsAndClampsSeeks) {
    MemoryReadStream stream(std::vector<uint8_t>{1, 2, 3, 4, 5});
    uint8_t out[8] = {};
    EXPECT_EQ(stream.read(out, 3), 3);
    EXPECT_EQ(stream.read(out, 8), 2);
    EXPECT_EQ(out[0], 4);
    EXPECT_EQ(stream.read(out, 8), 0);
    stream.seek(1000);
    EXPECT_EQ(stream.read(out, 8), 0);
    stream.seek(-5);
    EXPECT_EQ(stream.read(out, 1), 1);
    EXPECT_EQ(out[0], 1);
    EXPECT_EQ(stream.getMemory(), nullptr);
}

TEST(WadArchive, RoundTripOfMixedEntriesWithAnOddCount) {
    FileTestEnvironment env;
    const Files files = {{"text.txt", compressible(5000)}, {"noise.bin", incompressible(3001, 1)}, {"empty.txt", ""}};
    for (bool compress : {false, true}) {
        SCOPED_TRACE(compress);
        buildArchive("data.wad", files, compress);
        const std::string image = readFileBytes("data.wad");
        ASSERT_EQ(le32(image, 0), 2);
        ASSERT_EQ(le32(image, 4), 3);
        // Three entries end the directory at 284; the first data block starts at 288.
        EXPECT_EQ(le32(image, ENTRY0 + 80), 288);
        for (int i = 0; i < 3; ++i) {
            const size_t e = ENTRY0 + 92 * i;
            EXPECT_EQ(le32(image, e + 80) % 8, 0);
            EXPECT_NE(uint8_t(image[e]) & 0x80, 0) << "names are scrambled";
        }
        FileManager reader;
        reader.useWad(u"data.wad");
        for (const auto& [name, bytes] : files) {
            EXPECT_TRUE(reader.exists(utf8ToWide(name)));
            EXPECT_EQ(readAll(reader, name), bytes) << name;
        }
        const auto& text = reader.directory.at(u"text.txt");
        const auto& noise = reader.directory.at(u"noise.bin");
        EXPECT_EQ(text.isCompressed(), compress);
        if (compress) {
            EXPECT_LT(text.storedSize, 1000);
        }
        EXPECT_EQ(noise.storedSize, noise.unpackedSize) << "incompressible data is stored as it is";
        std::remove("data.wad");
    }
}

TEST(WadArchive, PlainNameFieldIsReadWithoutUnscrambling) {
    uint8_t field[80] = {};
    std::memcpy(field, "plain.txt", 10);
    for (int i = 10; i < 80; ++i) field[i] = 0xAA;
    WString name;
    ASSERT_TRUE(WadFile::decodeName(field, name));
    EXPECT_EQ(name, u"plain.txt");
    WadFile::encodeName(u"plain.txt", field);
    ASSERT_TRUE(WadFile::decodeName(field, name));
    EXPECT_EQ(name, u"plain.txt");
}

TEST(WadArchive, FirstMountedArchiveWinsAndMountingTwiceReadsOnce) {
    FileTestEnvironment env;
    buildArchive("one.wad", {{"shared.txt", "from one"}, {"only1.txt", "1"}}, false);
    buildArchive("two.wad", {{"shared.txt", "from two!"}, {"only2.txt", "2"}}, false);
    FileManager& files = env.files();
    files.useWad(u"one.wad");
    files.useWad(u"two.wad");
    files.useWad(u"one.wad");
    EXPECT_EQ(files.wadFiles.size(), 2u);
    EXPECT_EQ(readAll(files, "shared.txt"), "from one");
    EXPECT_EQ(readAll(files, "only2.txt"), "2");
    EXPECT_TRUE(files.exists(u"one.wad"));
}

TEST(WadArchive, DiskAndArchiveRulesHaveNoFallback) {
    FileTestEnvironment env;
    buildArchive("a.wad", {{"packed.txt", "packed"}}, false);
    writeFileBytes("loose.txt", "loose");
    FileManager& files = env.files();
    files.useWad(u"a.wad");
    EXPECT_TRUE(files.exists(u"packed.txt"));
    EXPECT_FALSE(files.exists(u"loose.txt"));
    files.bForceDisk = true;
    EXPECT_FALSE(files.exists(u"packed.txt"));
    EXPECT_TRUE(files.exists(u"loose.txt"));
    EXPECT_EQ(readAll(files, "loose.txt"), "loose");
    files.bForceDisk = false;
    EXPECT_EXIT(files.open(nullptr, u"loose.txt"), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(files.verifyFile(u"loose.txt"), testing::ExitedWithCode(255), "");
    files.bForceDisk = true;
    EXPECT_EXIT(files.open(nullptr, u"packed.txt"), testing::ExitedWithCode(255), "");
}

TEST(WadArchive, Hq2xModeReadsTheOverrideFolderFirst) {
    FileTestEnvironment env;
    std::filesystem::create_directory("override.hq2x");
    writeFileBytes("override.hq2x/big.txt", "big");
    writeFileBytes("big.txt", "small");
    writeFileBytes("other.txt", "other");
    FileManager& files = env.files();
    files.bForceDisk = true;
    files.hq2x = 2;
    EXPECT_EQ(readAll(files, "big.txt"), "big");
    EXPECT_EQ(readAll(files, "other.txt"), "other");
    files.hq2x = 0;
    EXPECT_EQ(readAll(files, "big.txt"), "small");
}

TEST(WadArchive, CreationModeKeepsTheFirstArchiveAndWritesAllAtShutdown) {
    FileTestEnvironment env;
    writeFileBytes("x.txt", "x");
    writeFileBytes("y.txt", "yy");
    {
        FileManager maker(true);
        EXPECT_FALSE(maker.bUseWad);
        maker.wadOutputFolder = u"out/deeper/";
        maker.useWad(u"first.wad");
        delete maker.open(nullptr, u"x.txt");
        maker.bForceDisk = true;
        delete maker.open(nullptr, u"y.txt");  // not recorded while forced to disk
        maker.bForceDisk = false;
        maker.useWad(u"second.wad");
        delete maker.open(nullptr, u"x.txt");  // already recorded under the first archive
        delete maker.open(nullptr, u"y.txt");
    }
    std::remove("x.txt");
    std::remove("y.txt");
    FileManager reader;
    reader.useWad(u"out/deeper/first.wad");
    reader.useWad(u"out/deeper/second.wad");
    EXPECT_EQ(reader.directory.at(u"x.txt").archive, u"out/deeper/first.wad");
    EXPECT_EQ(reader.directory.at(u"y.txt").archive, u"out/deeper/second.wad");
    EXPECT_EQ(readAll(reader, "y.txt"), "yy");
}

TEST(WadArchive, WriterRefusesNamesOf80BytesOrMore) {
    FileTestEnvironment env;
    std::string name;
    for (int i = 0; i < 30; ++i) name += "\xC3\xA9";  // 30 characters, 60 bytes
    name += std::string(25, 'b');                      // 55 characters, 85 bytes
    writeFileBytes(name, "z");
    FileManager maker(true);
    maker.wadOutputFolder = u"";
    maker.useWad(u"long.wad");
    delete maker.open(nullptr, utf8ToWide(name));
    EXPECT_EXIT(maker.saveSubWad(false, u"long.wad"), testing::ExitedWithCode(255), "");
    maker.recorded.clear();
}

namespace {

struct Damage {
    const char* what;
    void (*apply)(std::string& image);
};

const Damage damages[] = {
    {"empty file", [](std::string& s) { s.clear(); }},
    {"header cut short", [](std::string& s) { s.resize(6); }},
    {"wrong version", [](std::string& s) { putLe32(s, 0, 3); }},
    {"count beyond the file", [](std::string& s) { putLe32(s, 4, 1000); }},
    {"huge count", [](std::string& s) { putLe32(s, 4, 0x7FFFFFFF); }},
    {"negative count", [](std::string& s) { putLe32(s, 4, -1); }},
    {"directory cut short", [](std::string& s) { s.resize(8 + 92 + 40); }},
    {"name without NUL", [](std::string& s) { for (int i = 0; i < 80; ++i) s[ENTRY0 + i] = char(0x41 ^ 0xB7); }},
    {"offset beyond the file", [](std::string& s) { putLe32(s, ENTRY0 + 80, 1 << 30); }},
    {"negative offset", [](std::string& s) { putLe32(s, ENTRY0 + 80, -8); }},
    {"offset inside the directory", [](std::string& s) { putLe32(s, ENTRY0 + 80, 8); }},
    {"stored size beyond the file", [](std::string& s) { putLe32(s, ENTRY0 + 88, le32(s, ENTRY0 + 88) + 100000); }},
    {"negative stored size", [](std::string& s) { putLe32(s, ENTRY0 + 88, -1); }},
    {"negative unpacked size", [](std::string& s) { putLe32(s, ENTRY0 + 84, -1); }},
    {"impossible inflation", [](std::string& s) { putLe32(s, ENTRY0 + 84, 0x7FFFFFF0); }},
    {"data cut off", [](std::string& s) { s.resize(s.size() - 10); }},
};

}  // namespace

TEST(WadArchive, DamagedDirectoriesAreRefusedWithAReason) {
    FileTestEnvironment env;
    buildArchive("good.wad", {{"a.txt", compressible(3000)}, {"b.txt", "bbbb"}}, true);
    const std::string good = readFileBytes("good.wad");
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        std::string image = good;
        damage.apply(image);
        MemoryReadStream stream(std::vector<uint8_t>(image.begin(), image.end()));
        int32_t version = 0;
        std::vector<WadFile::Entry> entries;
        WString reason;
        EXPECT_FALSE(WadFile::readDirectory(stream, u"good.wad", version, entries, reason));
        EXPECT_FALSE(reason.empty());
    }
}

TEST(WadArchive, DamagedArchiveEndsInACleanReport) {
    FileTestEnvironment env;
    buildArchive("good.wad", {{"a.txt", compressible(3000)}}, true);
    std::string image = readFileBytes("good.wad");
    putLe32(image, 4, 0x7FFFFFFF);
    writeFileBytes("bad.wad", image);
    EXPECT_EXIT(env.files().useWad(u"bad.wad"), testing::ExitedWithCode(255), "");
    image = readFileBytes("good.wad");
    putLe32(image, 0, 1);
    writeFileBytes("old.wad", image);
    EXPECT_EXIT(env.files().useWad(u"old.wad"), testing::ExitedWithCode(255), "");
}

TEST(WadArchive, CorruptCompressedEntryIsFatalOnOpen) {
    FileTestEnvironment env;
    buildArchive("good.wad", {{"a.txt", compressible(3000)}}, true);
    std::string image = readFileBytes("good.wad");
    const int32_t offset = le32(image, ENTRY0 + 80);
    for (int i = 10; i < 30; ++i) image[offset + i] = char(0x55);
    writeFileBytes("bad.wad", image);
    env.files().useWad(u"bad.wad");
    EXPECT_EXIT(env.files().open(nullptr, u"a.txt"), testing::ExitedWithCode(255), "");
    std::vector<uint8_t> out;
    WString reason;
    MemoryReadStream stream(std::vector<uint8_t>(image.begin(), image.end()));
    EXPECT_FALSE(WadFile::readEntry(stream, env.files().directory.at(u"a.txt"), out, reason));
}

TEST(FileManager, HashTextMatchesTheClassIdHash) {
    EXPECT_EQ(FileManager::hashText(u"abc"), 108966u);
    EXPECT_EQ(FileManager::hashText(u"BasicLink"), 0x1D88B430u);
    EXPECT_EQ(FileManager::hashText(u""), 0u);
}

TEST(WadArchive, Hq2xModeMountsTheHq2xArchive) {
    FileTestEnvironment env;
    buildArchive("art.wad.hq2x", {{"big.png", "big"}}, false);
    FileManager& files = env.files();
    files.hq2x = 2;
    files.useWad(u"art.wad");
    EXPECT_EQ(files.currentWadName, u"art.wad.hq2x");
    EXPECT_EQ(readAll(files, "big.png"), "big");
}

// A pipe or a folder under a file's name is refused at once: opening a pipe for reading would wait
// for a writer forever, and nothing could end the wait.
TEST(FileManager, APipeOrFolderIsNoFileAndNeverBlocks) {
    FileTestEnvironment env;
    ASSERT_EQ(mkfifo("pipe", 0644), 0);
    std::filesystem::create_directory("dir");
    for (const char16_t* name : {u"pipe", u"dir"}) {
        EXPECT_FALSE(fileExists(name));
        EXPECT_FALSE(env.files().existsDisk(name));
        FileStream stream(name, FileStream::MODE_READ);
        EXPECT_FALSE(stream.bOpen);
        EXPECT_EQ(stream.errorText(), u"not a regular file");
    }
    env.files().bUseWad = false;
    EXPECT_EXIT(delete env.files().open(nullptr, u"pipe"), testing::ExitedWithCode(255),
                "Failed to open file 'pipe' \\(errno -1:not a regular file, cwd ");
}

TEST(WadArchive, LocateGivesWhereAFilesBytesLieOnDisk) {
    // An entry stored as it is lies in the archive at its offset; a compressed one cannot be read
    // in place; a loose file is itself; creation mode must see files read through it.
    FileTestEnvironment env;
    const Files files = {{"text.txt", compressible(5000)}, {"noise.bin", incompressible(3001, 2)}};
    buildArchive("data.wad", files, true);
    FileManager reader;
    reader.useWad(u"data.wad");
    WString path;
    int64_t offset = -1, size = -1;
    ASSERT_TRUE(reader.locate(u"noise.bin", path, offset, size));
    EXPECT_EQ(path, u"data.wad");
    EXPECT_EQ(size, 3001);
    EXPECT_EQ(readFileBytes("data.wad").substr(size_t(offset), size_t(size)), files[1].second);
    EXPECT_FALSE(reader.locate(u"text.txt", path, offset, size));
    EXPECT_EXIT(reader.locate(u"missing.bin", path, offset, size), testing::ExitedWithCode(255), "");

    writeFileBytes("loose.bin", "loose bytes");
    reader.bForceDisk = true;
    ASSERT_TRUE(reader.locate(u"loose.bin", path, offset, size));
    EXPECT_EQ(path, u"loose.bin");
    EXPECT_EQ(offset, 0);
    EXPECT_EQ(size, 11);
    EXPECT_EXIT(reader.locate(u"missing.bin", path, offset, size), testing::ExitedWithCode(255), "");

    FileManager maker(true);
    EXPECT_FALSE(maker.locate(u"loose.bin", path, offset, size));
    EXPECT_TRUE(maker.recorded.empty());
    std::remove("data.wad");
    std::remove("loose.bin");
}
