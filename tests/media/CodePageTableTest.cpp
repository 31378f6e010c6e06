#include "media/CodePageTable.h"

#include <gtest/gtest.h>

#include "engine/DataBlock.h"
#include "engine/FileTestEnvironment.h"

#include <memory>
#include <set>
#include <string>
#include <vector>

namespace {

std::string lutBytes(uint32_t count, const std::vector<uint32_t>& entries) {
    std::string s(8, '\0');
    for (int i = 0; i < 4; ++i) s[4 + i] = char((count >> (8 * i)) & 0xFF);
    for (uint32_t e : entries)
        for (int i = 0; i < 4; ++i) s.push_back(char((e >> (8 * i)) & 0xFF));
    return s;
}

bool readLut(CodePageTable& table, const std::string& bytes, WString& reason) {
    return table.readCodepointLUT(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), reason);
}

}  // namespace

TEST(CodePageTable, BuiltInTablesMapLikeTheSystemConversion) {
    struct Case {
        const char16_t* codePage;
        int position;
        char16_t unit;
    };
    const Case cases[] = {
        {u"1252", 0x80, u'\u20AC'}, {u"1252", 0x81, u'\u0081'}, {u"1252", 0x9F, u'\u0178'}, {u"1252", 0xE9, u'\u00E9'},
        {u"1250", 0x8A, u'\u0160'}, {u"1250", 0x83, u'\u0083'}, {u"1250", 0xB9, u'\u0105'},
        {u"1251", 0xC0, u'\u0410'}, {u"1251", 0x98, u'\u0098'}, {u"1251", 0xFF, u'\u044F'},
        {u"1253", 0xC1, u'\u0391'}, {u"1253", 0xAA, u'\uF8F9'}, {u"1253", 0xD2, u'\uF8FA'}, {u"1253", 0xFF, u'\uF8FB'},
        {u"1253", 0x81, u'\u0081'},
        {u"1255", 0xE0, u'\u05D0'}, {u"1255", 0xA4, u'\u20AA'}, {u"1255", 0xCA, u'\u05BA'}, {u"1255", 0xD9, u'\uF88D'},
        {u"1255", 0xDF, u'\uF893'}, {u"1255", 0xFB, u'\uF894'}, {u"1255", 0xFC, u'\uF895'}, {u"1255", 0xFF, u'\uF896'},
    };
    for (const Case& c : cases) {
        CodePageTable table;
        ASSERT_TRUE(table.selectBuiltIn(c.codePage));
        ASSERT_EQ(table.count(), 256);
        EXPECT_EQ(table.codeUnit(c.position), c.unit) << wideToUtf8(c.codePage) << " " << c.position;
    }
}

TEST(CodePageTable, BuiltInTablesKeepAsciiAndGiveEveryPositionItsOwnUnit) {
    for (const char16_t* codePage : {u"1250", u"1251", u"1252", u"1253", u"1255"}) {
        CodePageTable table;
        ASSERT_TRUE(table.selectBuiltIn(codePage));
        std::set<char16_t> units;
        for (int i = 0; i < 256; ++i) {
            if (i < 128) {
                EXPECT_EQ(table.codeUnit(i), char16_t(i));
            }
            units.insert(table.codeUnit(i));
        }
        // Two positions with one code unit would give one character two glyphs.
        EXPECT_EQ(units.size(), 256u) << wideToUtf8(codePage);
    }
    CodePageTable table;
    EXPECT_FALSE(table.selectBuiltIn(u"Korean"));
    EXPECT_EQ(CodePageTable::builtIn(u"1254"), nullptr);
    EXPECT_EQ(table.count(), 0);
}

TEST(CodePageTable, CodepointLutGivesTheLowSixteenBitsOfEachEntry) {
    CodePageTable table;
    WString reason;
    // Trailing bytes after the counted entries are not read.
    ASSERT_TRUE(readLut(table, lutBytes(3, {0xAC00, 0x12343131, 0x30A2}) + "xy", reason));
    ASSERT_EQ(table.count(), 3);
    EXPECT_EQ(table.codeUnit(0), u'\uAC00');
    EXPECT_EQ(table.codeUnit(1), u'\u3131');
    EXPECT_EQ(table.codeUnit(2), u'\u30A2');
}

TEST(CodePageTable, DamagedCodepointLutIsRefusedWithAReason) {
    struct Case {
        const char* name;
        std::string bytes;
        const char16_t* reason;
    };
    const Case cases[] = {
        {"empty", "", u"header is short"},
        {"header cut", lutBytes(1, {}).substr(0, 7), u"header is short"},
        {"no entries", lutBytes(0, {}), u"count is out of range"},
        {"count huge", lutBytes(0xFFFFFFFFu, {0x41}), u"count is out of range"},
        {"count past data", lutBytes(3, {0x41, 0x42}), u"is short"},
        {"entry cut", lutBytes(2, {0x41, 0x42}).substr(0, 15), u"is short"},
    };
    for (const Case& c : cases) {
        CodePageTable table;
        table.selectBuiltIn(u"1252");
        WString reason;
        EXPECT_FALSE(readLut(table, c.bytes, reason)) << c.name;
        EXPECT_NE(reason.find(c.reason), WString::npos) << c.name << ": " << wideToUtf8(reason);
        EXPECT_EQ(table.count(), 0) << c.name;
    }
}

namespace {

// An engine object with a ResourceManager and a FileManager reading from disk.
struct LutResources : FileTestEnvironment {
    LutResources() { files().bForceDisk = true; }
    // Registers a data block with the bytes under the name.
    void add(const std::string& name, const std::string& bytes) {
        writeFileBytes(name, bytes);
        blocks.push_back(std::make_unique<DataBlock>(0, utf8ToWide(name)));
        engine->pResourceManager->addResource(blocks.back().get(), utf8ToWide(name));
    }
    std::vector<std::unique_ptr<DataBlock>> blocks;
};

}  // namespace

TEST(CodePageTable, CodePageSelectsABuiltInTableOrTheRegisteredLut) {
    LutResources resources;
    resources.add("Korean.codepointLUT", lutBytes(2, {0xAC00, 0xAC01}));
    CodePageTable table;
    table.selectForCodePage(u"1251");
    EXPECT_EQ(table.count(), 256);
    EXPECT_EQ(table.codeUnit(0xC0), u'\u0410');
    table.selectForCodePage(u"Korean");
    ASSERT_EQ(table.count(), 2);
    EXPECT_EQ(table.codeUnit(1), u'\uAC01');
}

TEST(CodePageTableDeathTest, UnknownMissingOrDamagedCodePagesAreFatal) {
    LutResources resources;
    resources.add("Japanese.codepointLUT", lutBytes(5, {0x30A2}));
    CodePageTable table;
    EXPECT_EXIT(table.selectForCodePage(u"1254"), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(table.selectForCodePage(u"Korean"), testing::ExitedWithCode(255), "");
    EXPECT_EXIT(table.selectForCodePage(u"Japanese"), testing::ExitedWithCode(255), "");
}
