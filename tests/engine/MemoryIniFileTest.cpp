#include <gtest/gtest.h>

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

TEST(MemoryIniFileDeathTest, MissingKeyIsFatal) {
    EXPECT_EXIT(
        {
            MemoryIniFile ini = parse("[s]\n");
            ini.getString(u"s", u"absent");
        },
        testing::ExitedWithCode(255), "");
}

}  // namespace
