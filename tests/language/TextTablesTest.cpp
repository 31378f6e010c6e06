// The five compiled-in text tables: completeness, header rows, the conventions inside texts that
// callers and the fonts rely on, and the groups addressed by base id plus offset.

#include <gtest/gtest.h>

#include <regex>
#include <string>
#include <vector>

#include "language/Language.h"

namespace {

const char* const languageNames[LANGUAGE_COUNT] = {"English", "French", "German", "Italian", "Spanish"};

class TextTables : public testing::Test {
protected:
    Language language;

    WStringView text(int32_t lang, int32_t id) const { return language.texts[lang][id]; }

    // Key of an id, for messages.
    std::string keyOf(int32_t id) const {
        for (const auto& [key, keyId] : language.keyIndex)
            if (keyId == id) return wideToUtf8(key);
        return "reserved " + std::to_string(id);
    }
    std::string where(int32_t lang, int32_t id) const { return keyOf(id) + " in " + languageNames[lang]; }
};

// The printf-style placeholders of a text, in order.
std::vector<std::string> placeholders(WStringView text) {
    static const std::regex placeholder("%[-+#0]*[0-9]*(\\.[0-9]+)?(hs|ls|lld|I64d|lf|lu|lx|l|h)?[sdufxcS]");
    std::string narrow = wideToUtf8(text);
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(narrow.begin(), narrow.end(), placeholder); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    return found;
}

bool isPlaceholderAt(WStringView text, size_t percent) {
    WString rest(text.substr(percent));
    return !placeholders(rest).empty() && wideToUtf8(rest).find(placeholders(rest)[0]) == 0;
}

std::vector<WString> lines(WStringView text) {
    std::vector<WString> result(1);
    for (char16_t c : text) {
        if (c == u'|')
            result.emplace_back();
        else
            result.back() += c;
    }
    return result;
}

// The characters of code page 1252 (the 0x80-0x9F row holds 27 of them).
bool isCodePage1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return true;
    static const char16_t row80[] = u"\u20AC\u201A\u0192\u201E\u2026\u2020\u2021\u02C6\u2030\u0160\u2039\u0152\u017D"
                                    u"\u2018\u2019\u201C\u201D\u2022\u2013\u2014\u02DC\u2122\u0161\u203A\u0153\u017E\u0178";
    return WStringView(row80).find(c) != WStringView::npos;
}

TEST_F(TextTables, EveryCellIsSetAndOnlyTheBlankKeysAreEmpty) {
    for (int32_t id = 0; id < TEXT_COUNT; ++id) {
        const bool reserved = keyOf(id).rfind("reserved", 0) == 0;
        for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
            ASSERT_NE(language.texts[lang][id], nullptr) << where(lang, id);
            if (reserved) { EXPECT_TRUE(text(lang, id).empty()) << where(lang, id); }
            // A text is written in every language where English has one.
            if (id != PLACEHOLDER0) { EXPECT_EQ(text(lang, id).empty(), text(0, id).empty()) << where(lang, id); }
        }
    }
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
        EXPECT_TRUE(text(lang, NULL_TEXT).empty());
        EXPECT_TRUE(text(lang, DIK_NONE).empty());
        EXPECT_EQ(text(lang, PLACEHOLDER0), lang == 0 ? u" " : u"");
    }
}

TEST_F(TextTables, HeaderRowsDescribeEachLanguage) {
    const char16_t* const rows[][LANGUAGE_COUNT] = {
        {u"English", u"Fran\u00E7ais", u"Deutsch", u"Italiano", u"Espa\u00F1ol"},
        {u"en", u"fr", u"de", u"it", u"es"},
        {u"1252", u"1252", u"1252", u"1252", u"1252"},
        {u"LTR", u"LTR", u"LTR", u"LTR", u"LTR"},
        {u"Yes", u"Yes", u"Yes", u"Yes", u"Yes"},
        {u",", u" ", u" ", u".", u"."},
        {u".", u",", u".", u",", u","},
        {u" ", u"", u"", u"", u""},
    };
    for (int32_t row = 0; row < 8; ++row)
        for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang)
            EXPECT_EQ(text(lang, LANGUAGENAME + row), rows[row][lang]) << where(lang, LANGUAGENAME + row);
    const char16_t* const unknown[] = {u"UNKNOWN", u"INCONNUE", u"UNBEKANNT", u"SCONOSCIUTO", u"DESCONOCIDO"};
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) EXPECT_EQ(text(lang, DIK_UNKNOWN), unknown[lang]);
}

TEST_F(TextTables, PlaceholdersAreTheSameInEveryLanguage) {
    for (int32_t id = 0; id < TEXT_COUNT; ++id)
        for (int32_t lang = 1; lang < LANGUAGE_COUNT; ++lang)
            EXPECT_EQ(placeholders(text(lang, id)), placeholders(text(0, id))) << where(lang, id);
    const struct {
        TextId id;
        std::vector<std::string> expected;
    } contracts[] = {
        {HELLO, {"%s"}},
        {FAILEDWITHCODE, {"%d"}},
        {ERRORREPORTUPLOADING, {"%s"}},
        {ERRORMINVERSIONCLIENT, {"%s", "%.2lf"}},
        {ERRORMINVERSIONSERVER, {"%s", "%.2lf"}},
        {CONNECTEDTO, {"%s"}},
        {DISCONNECTEDFROM, {"%s"}},
        {PLAYERJOINED, {"%s"}},
        {PLAYERLEFT, {"%s"}},
        {NEWWORLDTEXT, {"%s"}},
        {IOS_NEWWORLDTEXT, {"%s"}},
        {STREAKX, {"%d"}},
        {LEVELX, {"%d", "%d"}},
        {IOS_MVLEGAL2, {"%s", "%s"}},
        {TIP12, {}},
    };
    for (const auto& contract : contracts) EXPECT_EQ(placeholders(text(0, contract.id)), contract.expected) << keyOf(contract.id);
}

TEST_F(TextTables, FormattingUsesExactlyTheContractArguments) {
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
        WString level = format(text(lang, LEVELX), 3, 7);
        size_t three = level.find(u'3');
        ASSERT_NE(three, WString::npos) << languageNames[lang];
        EXPECT_NE(level.find(u'7', three), WString::npos) << languageNames[lang];
        EXPECT_EQ(level.find(u'%'), WString::npos);
        WString hello = format(text(lang, HELLO), u"Ann");
        EXPECT_NE(hello.find(u"Ann"), WString::npos);
        EXPECT_EQ(hello.find(u'%'), WString::npos);
        // TIP12 is shown verbatim: its percent signs are literal.
        EXPECT_NE(text(lang, TIP12).find(u"70"), WStringView::npos);
        EXPECT_EQ(std::count(text(lang, TIP12).begin(), text(lang, TIP12).end(), u'%'), 3) << languageNames[lang];
    }
    EXPECT_EQ(text(0, TIP12), u"You need at least|70% for a bronze award,|80% for a silver award,|and 90% for a gold award!");
    EXPECT_EQ(text(0, NEWWORLDTEXT), u"Your train has reached:|%s||If you lose the game,|you can start from this station|by clicking on it.");
}

TEST_F(TextTables, PictureLinesAndLineBreaksAreKept) {
    const TextId withPicture[] = {TIPHOWTOPLAY,       TIPHOWTOPLAYTOUCH, TIPCHAINREACTION,  TIPBONUSSLOW,
                                  TIPBONUSSTOP,       TIPBONUSREVERSE,   TIPBONUSWILDCARD,  TIPBONUSSPEEDSHOT,
                                  TIPBONUSFIREBALL,   TIPBONUSCOLORBOMB, TIPDOUBLECARRIAGE, TIPTREBBLECARRIAGE,
                                  TIPLAUNCHERSPOTS,   IOS_TIPHOWTOPLAYTOUCH, IOS_TIPLAUNCHERSPOTS};
    for (TextId id : withPicture)
        for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
            std::vector<WString> split = lines(text(lang, id));
            EXPECT_EQ(std::count(split.begin(), split.end(), u"~"), 1) << where(lang, id);
        }
    for (int32_t id = 0; id < TEXT_COUNT; ++id) {
        std::vector<WString> english = lines(text(0, id));
        for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) {
            std::vector<WString> split = lines(text(lang, id));
            EXPECT_EQ(split.size(), english.size()) << where(lang, id);
            for (size_t line = 0; line < split.size() && line < english.size(); ++line) {
                EXPECT_EQ(split[line] == u"~", english[line] == u"~") << where(lang, id);
                // "~" is never part of a line of text.
                if (split[line] != u"~") { EXPECT_EQ(split[line].find(u'~'), WString::npos) << where(lang, id); }
            }
        }
    }
    EXPECT_EQ(text(0, TIPTWINTRACKS), u"Keep your eye on both trains!");
}

TEST_F(TextTables, EveryTextFitsCodePage1252And264Characters) {
    size_t longest = 0;
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang)
        for (int32_t id = 0; id < TEXT_COUNT; ++id) {
            WStringView t = text(lang, id);
            longest = std::max(longest, t.size());
            EXPECT_LE(t.size(), 264u) << where(lang, id);
            for (char16_t c : t) EXPECT_TRUE(isCodePage1252(c)) << where(lang, id) << " U+" << std::hex << int(c);
        }
    EXPECT_GT(longest, 100u);
}

TEST_F(TextTables, OnlyEnglishCarriesTheButtonAndArrowPictograms) {
    const struct {
        TextId id;
        const char16_t* english;
    } special[] = {
        {BACK, u"\t  Back"},         {NEXT, u"Next  \n"},  {CANCEL, u"\x02  Cancel"}, {QUIT, u"\x02  Quit"},
        {HELP, u"\r  Help"},         {DIK_LEFT, u"\x03"},  {DIK_RIGHT, u"\x04"},      {DIK_UP, u"\x05"},
        {DIK_DOWN, u"\x06"},
    };
    for (const auto& s : special) {
        EXPECT_EQ(text(0, s.id), s.english) << keyOf(s.id);
        for (int32_t lang = 1; lang < LANGUAGE_COUNT; ++lang) {
            EXPECT_FALSE(text(lang, s.id).empty()) << where(lang, s.id);
            for (char16_t c : text(lang, s.id)) EXPECT_GE(c, 0x20) << where(lang, s.id);
        }
    }
    // Outside the bullets (U+0001 followed by a space), no other text carries control characters.
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang)
        for (int32_t id = 0; id < TEXT_COUNT; ++id) {
            bool isSpecial = false;
            for (const auto& s : special) isSpecial |= lang == 0 && s.id == id;
            if (isSpecial) continue;
            WStringView t = text(lang, id);
            for (size_t i = 0; i < t.size(); ++i) {
                if (t[i] >= 0x20) continue;
                EXPECT_EQ(t[i], 0x01) << where(lang, id);
                EXPECT_TRUE(i + 1 < t.size() && t[i + 1] == u' ') << where(lang, id);
            }
        }
    const char16_t* const frenchArrows[] = {u"HAUT", u"GAUCHE", u"DROITE", u"BAS"};
    const TextId arrows[] = {DIK_UP, DIK_LEFT, DIK_RIGHT, DIK_DOWN};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(text(1, arrows[i]), frenchArrows[i]);
    EXPECT_EQ(text(2, DIK_SPACE), u"LEERTASTE");
    EXPECT_EQ(text(2, DIK_JOYBUTTON0), u"JOY-KNOPF0");
    EXPECT_EQ(text(0, DIK_MOUSEBUTTON0), u"MOUSE BUTTON 0");
    EXPECT_EQ(text(0, DIK_JOYUP), u"JOYUP");
}

TEST_F(TextTables, NoBreakSpacesFollowEachLanguagesRules) {
    const char16_t nbsp = 0x00A0;
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang)
        for (int32_t id = 0; id < TEXT_COUNT; ++id) {
            WStringView t = text(lang, id);
            for (size_t i = 0; i < t.size(); ++i) {
                const char16_t c = t[i];
                const bool literalPercent = c == u'%' && !isPlaceholderAt(t, i);
                const bool frenchMark = c == u'!' || c == u'?' || c == u':' || literalPercent;
                if (c == nbsp) {
                    // A no-break space only ever stands before the marks of its language.
                    ASSERT_TRUE(lang == 1 || lang == 2) << where(lang, id);
                    ASSERT_LT(i + 1, t.size()) << where(lang, id);
                    const char16_t next = t[i + 1];
                    const bool nextIsPercent = next == u'%' && !isPlaceholderAt(t, i + 1);
                    if (lang == 1)
                        EXPECT_TRUE(next == u'!' || next == u'?' || next == u':' || nextIsPercent) << where(lang, id);
                    else
                        EXPECT_TRUE(nextIsPercent) << where(lang, id);
                }
                if (i == 0) continue;
                if (lang == 1 && frenchMark && t[i - 1] != u'!' && t[i - 1] != u'?') {
                    EXPECT_EQ(t[i - 1], nbsp) << where(lang, id);
                }
                if (lang == 2 && literalPercent) { EXPECT_EQ(t[i - 1], nbsp) << where(lang, id); }
            }
        }
    EXPECT_EQ(text(1, CONFIRM).back(), u'?');
    EXPECT_EQ(text(1, CONFIRM)[text(1, CONFIRM).size() - 2], nbsp);
}

TEST_F(TextTables, GroupsAreAddressedByBasePlusOffset) {
    EXPECT_EQ(text(0, COUNTRYNONE + 0), u"not specified");
    EXPECT_EQ(COUNTRYNONE + 240, COUNTRYZW);
    EXPECT_EQ(text(0, COUNTRYNONE + 240), u"Zimbabwe");
    EXPECT_EQ(text(0, COUNTRYAF), u"Afghanistan");
    EXPECT_EQ(text(0, COUNTRYMK), u"F.Y.R.O.M.");
    EXPECT_EQ(text(0, COUNTRYTP), u"East Timor");
    EXPECT_EQ(text(0, COUNTRYKP), u"Korea, North");
    EXPECT_EQ(text(0, COUNTRYKR), u"Korea, South");
    EXPECT_EQ(text(0, COUNTRYVA), u"Holy See / Vatican City State");
    EXPECT_EQ(text(0, COUNTRYFX), u"France, Metropolitan");
    EXPECT_EQ(WORLD0 + 14, WORLD14);
    EXPECT_EQ(ENUMDETAIL0 + 1, ENUMDETAIL1);
    EXPECT_EQ(ENUMSOUNDQUALITY0 + 2, ENUMSOUNDQUALITY2);
    // 240 countries in every language, none left blank.
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang)
        for (int32_t i = 0; i <= 240; ++i) EXPECT_FALSE(text(lang, COUNTRYNONE + i).empty()) << where(lang, COUNTRYNONE + i);
    const char16_t* const stages[] = {u"South Bend",   u"Sugar Creek",      u"Three Forks", u"Warm Springs",
                                      u"Pikes Peak",   u"Sweetwater",       u"Black Hills", u"Big Timber",
                                      u"Boulder Junction", u"Twin Falls",   u"Crystal Creek", u"North Pass",
                                      u"Pine Grove",   u"Klondike"};
    for (int32_t stage = 0; stage < 14; ++stage)
        for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) EXPECT_EQ(text(lang, WORLD0 + stage), stages[stage]);
    const char16_t* const northPole[] = {u"North Pole Central", u"Gare du P\u00F4le Nord", u"Nordpol",
                                         u"Stazione Polo Nord", u"Polo Norte"};
    for (int32_t lang = 0; lang < LANGUAGE_COUNT; ++lang) EXPECT_EQ(text(lang, WORLD14), northPole[lang]);
}

TEST_F(TextTables, EnglishTextsGivenWordForWordAreKept) {
    const struct {
        TextId id;
        const char16_t* english;
    } given[] = {
        {CONFIRM, u"Are you sure?"}, {YES, u"Yes"}, {OK, u"OK"}, {STARTINGDOTS, u"Starting..."},
        {CLICKTOCHANGEPLAYERS, u"Click here to change players."}, {ENTERYOURNAME, u"Enter your name:"},
        {HELLO, u"Hello, %s!"}, {STARTGAME, u"Start game"}, {OPTIONSDOTS, u"Options..."},
        {WEBSITEHINT, u"Visit official website"}, {TUTORIAL, u"In-game help"}, {ADVANCEDOPTIONS, u"Advanced Options"},
        {ENUMSOUNDQUALITY2, u"Very high"}, {SWAPMOUSE, u"Swap mouse buttons"}, {CHANGELANGUAGE, u"Language"},
        {NETTESTSUCCESS, u"Connection test was successful."},
        {CHECKCONNECTION, u"Please check your internet connection and try again."},
        {FAILEDWITHCODE, u"Failed with status code: %d"}, {ERRORREPORTUPLOADING, u"Uploading error data (%s bytes)."},
        {ERRORMINVERSIONCLIENT, u"You need at least version %s of the game (you have %.2lf)."},
        {ERRORMINVERSIONSERVER, u"Server must be at least version %s of the game (it's %.2lf)."},
        {PLAYERLEFT, u"Player '%s' has left the game."}, {INTRO11, u"Save Christmas!"},
        {INTRO51, u"Do your best, Christmas depends on it!"}, {RESTARTTITLE, u"Change Station?"},
        {CLICKTOCONTINUE, u"click to continue"}, {BONUSSPEEDSHOT, u"speedshot!"}, {STREAKX, u"streak x%d"},
        {TUTORIALRMBBONUS, u"grab with claw"}, {LEVELX, u"Level %d-%d"},
        {SPACETOCYCLE, u"press SPACE to cycle through available launcher spots!"},
        {TIPCHAINREACTIONTITLE, u"Chain Reaction"}, {DIK_ESCAPE, u"Esc"}, {DIK_BACK, u"Backspace"},
        {DIK_RCONTROL, u"Right Ctrl"}, {DIK_NUMPAD0, u"Num 0"}, {DIK_NUMPADENTER, u"Num Enter"},
        {DIK_PRIOR, u"Page Up"}, {DIK_NEXT, u"Page Down"}, {DIK_SYSRQ, u"Prnt Scrn"}, {DIK_DECIMAL, u"Num Del"},
        {DIK_BACKSLASH, u"\\"}, {DIK_GRAVE, u"`"}, {DIK_F15, u"F15"}, {DIK_KANA, u"KANA"}, {DIK_WEBHOME, u"WEBHOME"},
    };
    for (const auto& g : given) EXPECT_EQ(text(0, g.id), g.english) << keyOf(g.id);
}

}  // namespace
