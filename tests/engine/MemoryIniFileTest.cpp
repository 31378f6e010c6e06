#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <iterator>

#include "engine/ByteBuffer.h"
#include "engine/MemoryIniFile.h"
#include "support/TestFolder.h"

namespace {

MemoryIniFile parse(const std::string& bytes) { return MemoryIniFile(ByteBuffer(bytes.data(), static_cast<int>(bytes.size()))); }

TEST(MemoryIniFile, ParsingRules) {
    MemoryIniFile ini = parse(
        "orphan=before any header\r\n"
        "  [Qel] \r\n"
        "a = 1\n"
        "url=http://x/?a=b\n"
        "a=second\n"
        "\n"
        ";comment\n"
        "k=v\n"
        "[]\n"
        "e=empty section\n"
        "[x]\n"
        "X\n"
        "solo=1\n"
        "Graphics\n"
        "w=800\n");
    EXPECT_EQ(u"before any header", ini.getString(u"", u"orphan"));
    EXPECT_EQ(u"empty section", ini.getString(u"", u"e"));
    EXPECT_EQ(u" 1", ini.getString(u"Qel", u"a "));       // blanks around "=" belong to key and value
    EXPECT_EQ(u"second", ini.getString(u"Qel", u"a"));
    EXPECT_EQ(u"http://x/?a=b", ini.getString(u"Qel", u"url"));
    EXPECT_EQ(u"v", ini.getString(u"commen", u"k"));     // a line without "=" is a header, whatever it looks like
    EXPECT_EQ(u"1", ini.getString(u"", u"solo"));         // a one-character header names the empty section
    EXPECT_EQ(u"800", ini.getString(u"raphic", u"w"));
}

TEST(MemoryIniFile, FirstValueOfARepeatedKeyWins) {
    MemoryIniFile ini = parse("[s]\nk=1\n[t]\n[s]\nk=2\nj=3\n");
    EXPECT_EQ(u"1", ini.getString(u"s", u"k"));
    EXPECT_EQ(u"3", ini.getString(u"s", u"j"));
}

TEST(MemoryIniFile, Utf16WithMarkReadsLikeUtf8) {
    const WString text = u"[Sect\u00efon]\r\nName=Zo\u00eb\r\n";
    std::string utf16 = "\xFF\xFE";
    for (char16_t c : text) utf16 += std::string{static_cast<char>(c & 0xFF), static_cast<char>(c >> 8)};
    EXPECT_EQ(u"Zo\u00eb", parse(utf16).getString(u"Sect\u00efon", u"Name"));
    EXPECT_EQ(u"Zo\u00eb", parse("\xEF\xBB\xBF" + wideToUtf8(text)).getString(u"Sect\u00efon", u"Name"));
}

TEST(MemoryIniFile, TypedValues) {
    MemoryIniFile ini = parse("[t]\ni=-12x\nn=abc\nd=2.5\nyes=Yes\nlower=yes\nempty=\nY=Y\n");
    EXPECT_EQ(-12, ini.getInt(u"t", u"i"));
    EXPECT_EQ(0, ini.getInt(u"t", u"n"));
    EXPECT_EQ(2.5, ini.getDouble(u"t", u"d"));
    EXPECT_EQ(0.0, ini.getDouble(u"t", u"n"));
    EXPECT_TRUE(ini.getBool(u"t", u"yes"));
    EXPECT_FALSE(ini.getBool(u"t", u"lower"));
    EXPECT_FALSE(ini.getBool(u"t", u"empty"));
    EXPECT_TRUE(ini.getBool(u"t", u"Y"));
    ini.setDouble(0.5, u"t", u"half");
    EXPECT_EQ(u"0.50000000", ini.getString(u"t", u"half"));
    ini.setBool(false, u"t", u"yes");
    EXPECT_EQ(u"No", ini.getString(u"t", u"yes"));
    ini.setInt(-3, u"t", u"i");
    EXPECT_EQ(u"-3", ini.getString(u"t", u"i"));
    ini.removeKey(u"t", u"i");
    EXPECT_FALSE(ini.hasKey(u"t", u"i"));
}

TEST(MemoryIniFile, SaveWritesEverySectionAndReadsBack) {
    TestFolder folder("vesk-ini");
    const WString path = folder.wfile("settings.cfg");
    {
        MemoryIniFile ini(path);
        EXPECT_TRUE(ini.sections.empty());
        ini.setString(u"", u"top", u"level");
        ini.setInt(60, u"Qel", u"fps");
        ini.setString(u"Qel", u"name", u"Zo\u00eb=1");
        ini.hasKey(u"Empty", u"nothing");  // creates the section
        ASSERT_TRUE(ini.save());
    }
    const std::string bytes = readFileBytes(folder.file("settings.cfg"));
    EXPECT_EQ("\xEF\xBB\xBF[]\r\ntop=level\r\n\r\n[Qel]\r\nfps=60\r\nname=Zo\xC3\xAB=1\r\n\r\n[Empty]\r\n\r\n", bytes);
    MemoryIniFile again(path);
    EXPECT_EQ(u"level", again.getString(u"", u"top"));
    EXPECT_EQ(60, again.getInt(u"Qel", u"fps"));
    EXPECT_EQ(u"Zo\u00eb=1", again.getString(u"Qel", u"name"));
    EXPECT_FALSE(std::filesystem::exists(folder.file("settings.cfg.tmp")));
}

TEST(MemoryIniFile, FailedSaveLeavesTheOldFile) {
    TestFolder folder("vesk-ini");
    writeFileBytes(folder.file("keep.cfg"), "[a]\nb=c\n");
    MemoryIniFile ini(folder.wfile("keep.cfg"));
    ini.fileName = folder.wfile("no-such-folder/keep.cfg");
    EXPECT_FALSE(ini.save());
    EXPECT_EQ("[a]\nb=c\n", readFileBytes(folder.file("keep.cfg")));
}

// A settings text that is not an INI text (binary garbage, stray words) is flagged as damage, so
// that its owner can keep it aside instead of writing its garbage back as sections.
TEST(MemoryIniFile, TextThatIsNoIniTextIsFlaggedAsDamage) {
    struct Case {
        std::string bytes;
        const char* damage;
    } cases[] = {
        {"[Qel]\r\na=1\r\n\r\n[]\r\nb= x \r\n", ""},
        {"\xEF\xBB\xBF[Qel]\ttab=\xC3\xAB\n", ""},
        {"", ""},
        {"[Qel]\na=1\nGraphics\nw=800\n", "line 3 is neither a section header nor a key"},
        {";comment\n", "line 1 is neither a section header nor a key"},
        {"[Qel]\na=\x01\x02\n", "character 8 is not text (U+0001)"},
        {"[Qel]\na=\xFF\xFE\n", "character 8 is not text (U+FFFD)"},
        {std::string("[Qel]\na=1\0\0\0", 13), "character 9 is not text (U+0000)"},
    };
    for (const Case& c : cases) EXPECT_EQ(wideToUtf8(parse(c.bytes).damage), c.damage) << c.bytes;
}

TEST(MemoryIniFile, FileThatCannotBeReadIsToldFromAMissingOne) {
    TestFolder folder("vesk-ini");
    writeFileBytes(folder.file("good.cfg"), "[a]\nb=c\n");
    ASSERT_EQ(mkfifo(folder.file("pipe.cfg").c_str(), 0644), 0);
    std::filesystem::create_directory(folder.file("dir.cfg"));
    struct Case {
        const char* name;
        MemoryIniFile::LoadState state;
        const char* problem;
        size_t sections;
    } cases[] = {
        {"good.cfg", MemoryIniFile::LoadState::LOADED, "", 1},
        {"missing.cfg", MemoryIniFile::LoadState::NO_FILE, "", 0},
        {"pipe.cfg", MemoryIniFile::LoadState::UNREADABLE, "it is a named pipe, not a regular file", 0},
        {"dir.cfg", MemoryIniFile::LoadState::UNREADABLE, "it is a folder, not a regular file", 0},
    };
    for (const Case& c : cases) {
        MemoryIniFile ini(folder.wfile(c.name));
        EXPECT_EQ(ini.loadState, c.state) << c.name;
        EXPECT_EQ(wideToUtf8(ini.loadProblem), c.problem) << c.name;
        EXPECT_EQ(ini.sections.size(), c.sections) << c.name;
    }
}

TEST(MemoryIniFile, ManyKeysKeepTheirOrderAndFirstValues) {
    std::string text = "[big]\n";
    for (int i = 0; i < 80000; ++i) text += "key" + std::to_string(i) + "=" + std::to_string(i) + "\n";
    text += "key5=again\n[other]\nkey5=other\n";
    MemoryIniFile ini = parse(text);
    ASSERT_EQ(ini.sections.size(), 2u);
    const MemoryIniFile::Section& big = ini.sections.front().second;
    ASSERT_EQ(big.size(), 80000u);
    int expected = 0;
    for (const auto& [key, value] : big) {
        ASSERT_EQ(key, u"key" + utf8ToWide(std::to_string(expected)));
        ASSERT_EQ(value, utf8ToWide(std::to_string(expected)));
        ++expected;
    }
    EXPECT_EQ(ini.getInt(u"big", u"key79999"), 79999);
    EXPECT_EQ(ini.getString(u"big", u"key5"), u"5");
    EXPECT_EQ(ini.getString(u"other", u"key5"), u"other");
    // A value read stays valid while keys come and go around it.
    const WString& kept = ini.getString(u"big", u"key40000");
    ini.removeKey(u"big", u"key39999");
    for (int i = 0; i < 1000; ++i) ini.setInt(i, u"big", utf8ToWide("new" + std::to_string(i)));
    EXPECT_EQ(kept, u"40000");
    EXPECT_FALSE(ini.hasKey(u"big", u"key39999"));
    ini.setString(u"big", u"key39999", u"back");
    EXPECT_EQ(ini.sections.front().second.size(), 81000u);
    EXPECT_EQ(std::prev(ini.sections.front().second.end())->first, u"key39999") << "a key added again goes last";
}

TEST(MemoryIniFileDeathTest, MissingKeyIsFatal) {
    EXPECT_EXIT(
        {
            MemoryIniFile ini = parse("[s]\n");
            ini.getString(u"s", u"absent");
        },
        testing::ExitedWithCode(255), "");
}

}  // namespace
