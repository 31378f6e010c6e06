// The Language record: construction, choosing the language, lookups by key and the fatal reports.

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "engine/Logger.h"
#include "engine/Qel.h"
#include "language/Language.h"

namespace {

std::string readLog() {
    std::ifstream in(wideToUtf8(Logger::getLogFilePath()), std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

TEST(Language, ConstructionFillsEveryCellAndSetsNoLanguage) {
    Language language;
    EXPECT_EQ(language.currentLanguage, -1);
    EXPECT_FALSE(language.bRightToLeft);
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang)
        for (int32_t id = 0; id < TEXT_COUNT; ++id) ASSERT_NE(language.texts[lang][id], nullptr) << lang << " " << id;
}

TEST(Language, GetTextBeforeAnyLanguageReadsEnglish) {
    Language language;
    EXPECT_EQ(WStringView(language.getText(STARTGAME)), u"Start game");
    EXPECT_EQ(language.getText(LANGUAGENAME), language.texts[0][LANGUAGENAME]);
}

struct MaskCase {
    const char16_t* mask;
    int32_t index;
    int32_t expected;
};

TEST(Language, SetLanguageHonoursTheMaskAndFallsBackToEnglish) {
    const MaskCase cases[] = {
        {u"", 3, 3},      {u"", 0, 0},      {u"", 4, 4},      {u"", -1, 0},     {u"", 5, 0},
        {u"10100", 1, 0}, {u"10100", 2, 2}, {u"10100", 4, 0}, {u"01", 0, 0},    {u"01", 1, 1},
        {u"01", 2, 0},    {u"01", -1, 0},   {u"11111", 4, 4}, {u"1 1x1", 1, 0}, {u"1 1x1", 3, 0},
        {u"00001", 4, 4}, {u"00001", 7, 0},
    };
    for (const MaskCase& c : cases) {
        Language language;
        WString mask = c.mask;
        language.pLanguageMask = &mask;
        language.setLanguage(c.index);
        EXPECT_EQ(language.currentLanguage, c.expected) << wideToUtf8(mask) << " " << c.index;
        EXPECT_EQ(language.getText(LANGUAGENAME), language.texts[c.expected][LANGUAGENAME]);
    }
}

TEST(Language, MaskIsReadFromTheEngine) {
    Qel engine;
    Language language;
    engine.languageMask = u"10100";
    language.setLanguage(1);
    EXPECT_EQ(language.currentLanguage, 0);
    language.setLanguage(2);
    EXPECT_EQ(language.currentLanguage, 2);
    EXPECT_FALSE(language.isLanguageAvailable(-1));
    engine.languageMask.clear();
    EXPECT_TRUE(language.isLanguageAvailable(1));
}

TEST(Language, ReadingOrderFollowsTheExactRtlText) {
    Language language;
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
        language.setLanguage(lang);
        EXPECT_EQ(language.currentLanguage, lang);
        EXPECT_FALSE(language.bRightToLeft) << lang;
    }
    const struct {
        const char16_t* text;
        bool rightToLeft;
    } orders[] = {{u"RTL", true}, {u"rtl", false}, {u" RTL", false}, {u"RTL ", false}, {u"LTR", false}};
    for (const auto& order : orders) {
        language.texts[4][LANGUAGEREADINGORDER] = order.text;
        language.setLanguage(4);
        EXPECT_EQ(language.bRightToLeft, order.rightToLeft) << wideToUtf8(order.text);
        language.setLanguage(0);
        EXPECT_FALSE(language.bRightToLeft);
    }
}

TEST(Language, KeysAreRegisteredExactlyOncePerNamedId) {
    Language language;
    EXPECT_EQ(language.keyIndex.size(), 791u);
    const struct {
        const char16_t* key;
        int32_t id;
    } keys[] = {{u"NULL", 0},        {u"PLACEHOLDER0", 8}, {u"DIK_NONE", 9},        {u"DIK_ESCAPE", 11},
                {u"COUNTRYNONE", 199}, {u"COUNTRYZW", 439}, {u"CONFIRM", 440},       {u"STOP", 459},
                {u"PLAYERS", 461},   {u"STARTGAME", 467}, {u"OPTIONS", 469},       {u"AUTHORIZATIONCODE", 538},
                {u"WIN61", 609},     {u"VESK", 622},      {u"CREDITS10A", 638},    {u"CREDITS45B", 674},
                {u"WORLD0", 675},    {u"WORLD14", 689},   {u"SHOWHELPMESSAGES", 698}, {u"TIPTWINTRACKS", 774},
                {u"TIP17", 747},     {u"IOS_MVLEGAL1", 785}, {u"IOS_TIP17", 824}, {u"IOS_TIPLAUNCHERSPOTS", 826}};
    for (const auto& k : keys) {
        auto found = language.keyIndex.find(k.key);
        ASSERT_NE(found, language.keyIndex.end()) << wideToUtf8(k.key);
        EXPECT_EQ(found->second, k.id) << wideToUtf8(k.key);
    }
    for (const auto& [key, id] : language.keyIndex) EXPECT_TRUE(id >= 0 && id < TEXT_COUNT);
}

TEST(Language, HasTextLooksAtKeysOnly) {
    Language language;
    language.setLanguage(1);
    EXPECT_TRUE(language.hasText(u"IOS_TIP17"));
    EXPECT_FALSE(language.hasText(u"IOS_TIP1"));
    EXPECT_TRUE(language.hasText(u"PLACEHOLDER0"));
    EXPECT_EQ(WStringView(language.getText(PLACEHOLDER0)), u"");
    EXPECT_TRUE(language.hasText(u"NULL"));
    EXPECT_TRUE(language.hasText(u"DIK_NONE"));
    EXPECT_FALSE(language.hasText(u"startgame"));
    EXPECT_FALSE(language.hasText(u""));
    EXPECT_FALSE(language.hasText(nullptr));
}

TEST(Language, GetTextByStringReadsTheCurrentLanguage) {
    Language language;
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
        language.setLanguage(lang);
        EXPECT_EQ(language.getTextByString(u"STARTGAME", true), language.texts[lang][467]);
        EXPECT_EQ(language.getTextByString(u"TIP3", false), language.texts[lang][TIP3]);
        EXPECT_EQ(language.getTextByString(u"IOS_TIP17", true), language.texts[lang][824]);
        const char16_t* unknown = language.getTextByString(u"TIP18", false);
        ASSERT_NE(unknown, nullptr);
        EXPECT_EQ(WStringView(unknown), u"");
        EXPECT_EQ(WStringView(language.getTextByString(u"startgame", false)), u"");
    }
}

TEST(LanguageDeathTest, UnknownKeyWithReportIsFatal) {
    EXPECT_EXIT(
        {
            Qel engine;
            Language language;
            language.setLanguage(0);
            language.getTextByString(u"NOSUCHKEY", true);
        },
        testing::ExitedWithCode(255), "");
    std::string log = readLog();
    EXPECT_NE(log.find("Unknown string identifier 'NOSUCHKEY'"), std::string::npos) << log;
    EXPECT_NE(log.find("Language::getTextByString"), std::string::npos);
}

TEST(LanguageDeathTest, MissingTextIsFatalWithItsEnglishText) {
    EXPECT_EXIT(
        {
            Qel engine;
            Language language;
            language.texts[2][5] = nullptr;
            language.texts[3][4] = nullptr;
            language.checkCompleteness();
        },
        testing::ExitedWithCode(255), "");
    std::string log = readLog();
    EXPECT_NE(log.find("String 5 ('Yes') is missing from language 2."), std::string::npos) << log;
    EXPECT_EQ(log.find("is missing from language 3."), std::string::npos);
    EXPECT_NE(log.find("Language::Language"), std::string::npos);
}

TEST(LanguageDeathTest, MissingEnglishTextIsReportedAsNull) {
    EXPECT_EXIT(
        {
            Qel engine;
            Language language;
            language.texts[0][STARTGAME] = nullptr;
            language.checkCompleteness();
        },
        testing::ExitedWithCode(255), "");
    std::string log = readLog();
    EXPECT_NE(log.find("String 467 ('(null)') is missing from language 0."), std::string::npos) << log;
}

}  // namespace
