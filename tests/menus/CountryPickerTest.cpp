// The country picker: its order ("--" first, then by code), the table against the country names'
// keys, the letter jump with its upper-case miss, and what a choice writes into the settings.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <map>
#include <set>

#include "DrawRecorder.h"
#include "menus/MenuApplication.h"
#include "ui/MenuTestFixture.h"
#include "language/Language.h"
#include "menus/CountryPicker.h"

namespace {

const char16_t* codeAt(int value) { return CountryPicker::countries[CountryPicker::rowAt(value)].code; }

int valueOf(const char16_t* code) {
    for (int v = 0; v < CountryPicker::COUNTRY_COUNT; ++v)
        if (WStringView(codeAt(v)) == code) return v;
    return -1;
}

struct CountryPickerTest : MenuTest {
    void SetUp() override {
        MenuTest::SetUp();
        application = std::make_unique<MenuApplication>();
        picker = new CountryPicker(128, -50, 0, &application->gameConfiguration.countryIndex, u"", u"");
        menu.appendItem(picker);
        qel->pCurrentContext = &menu;
        // Hovered: the pointer on the picker's centre.
        menu.pointerWorldPos[0] = 128;
        menu.pointerWorldPos[1] = -50;
    }
    void TearDown() override {
        input()->typedChar = 0;
        MenuTest::TearDown();
        application.reset();
    }
    void type(char16_t c) {
        picker->bClicked = false;
        input()->typedChar = c;
        picker->update(0, 0.016);
        input()->typedChar = 0;
    }

    std::unique_ptr<MenuApplication> application;
    ContextMenu menu;
    CountryPicker* picker = nullptr;
};

}  // namespace

TEST_F(CountryPickerTest, ListsNoCountryFirstThenTheCountriesByCode) {
    const char16_t* first[] = {u"--", u"AD", u"AE", u"AF", u"AG", u"AI", u"AL"};
    for (int v = 0; v < 7; ++v) EXPECT_EQ(WStringView(codeAt(v)), first[v]) << v;
    EXPECT_EQ(WStringView(codeAt(240)), u"ZW");
    std::set<int> rows;
    for (int v = 0; v < CountryPicker::COUNTRY_COUNT; ++v) rows.insert(CountryPicker::countryOrder[v]);
    EXPECT_EQ(rows.size(), size_t(CountryPicker::COUNTRY_COUNT));
    for (int v = 2; v < CountryPicker::COUNTRY_COUNT; ++v) EXPECT_LT(WStringView(codeAt(v - 1)), WStringView(codeAt(v)));
    EXPECT_FLOAT_EQ(picker->frameWidth, 512.0f);
    EXPECT_EQ(picker->minValue, 0);
    EXPECT_EQ(picker->maxValue, 240);
}

TEST_F(CountryPickerTest, EveryRowIsNamedByTheTextOfItsCode) {
    // Row i is named by text COUNTRYNONE + i, whose key is "COUNTRY" and the code.
    std::map<int, WString> keyOf;
    for (const auto& [key, id] : qel->pLanguage->keyIndex) keyOf[id] = key;
    EXPECT_EQ(keyOf[COUNTRYNONE], u"COUNTRYNONE");
    for (int row = 1; row < CountryPicker::COUNTRY_COUNT; ++row)
        EXPECT_EQ(keyOf[COUNTRYNONE + row], u"COUNTRY" + WString(CountryPicker::countries[row].code)) << row;
}

TEST_F(CountryPickerTest, CapitalsGiveUnitDirections) {
    struct Given {
        const char16_t* code;
        float latitude, longitude;
    };
    for (const Given& g : {Given{u"AF", 34.46f, 69.18f}, Given{u"AL", 41.30f, 19.81f}, Given{u"DZ", 36.70f, 3.13f},
                           Given{u"ZW", -16.28f, 31.03f}}) {
        const auto& c = CountryPicker::countries[CountryPicker::rowAt(valueOf(g.code))];
        EXPECT_FLOAT_EQ(c.latitude, g.latitude) << wideToUtf8(g.code);
        EXPECT_FLOAT_EQ(c.longitude, g.longitude) << wideToUtf8(g.code);
    }
    for (const auto& c : CountryPicker::countries) {
        EXPECT_GE(c.latitude, -90.0f);
        EXPECT_LE(c.latitude, 90.0f);
        EXPECT_GE(c.longitude, -180.0f);
        EXPECT_LE(c.longitude, 180.0f);
        const Vector3 d = CountryPicker::direction(c.latitude, c.longitude);
        EXPECT_NEAR(d.x * d.x + d.y * d.y + d.z * d.z, 1.0f, 1e-5f) << wideToUtf8(c.code);
    }
    // (cos lat sin lon, sin lat, -cos lat cos lon): east is +x, north +y, longitude 0 is -z.
    struct Case {
        float lat, lon;
        Vector3 expected;
    };
    for (const Case& k : {Case{0, 0, {0, 0, -1}}, Case{90, 0, {0, 1, 0}}, Case{0, 90, {1, 0, 0}}, Case{0, -90, {-1, 0, 0}},
                          Case{0, 180, {0, 0, 1}}}) {
        const Vector3 d = CountryPicker::direction(k.lat, k.lon);
        EXPECT_NEAR(d.x, k.expected.x, 1e-6f);
        EXPECT_NEAR(d.y, k.expected.y, 1e-6f);
        EXPECT_NEAR(d.z, k.expected.z, 1e-6f);
    }
}

TEST(CountryPickerJumpTest, LowerCaseLettersJumpToTheNextCodeAndWrap) {
    CountryPicker::buildCountryOrder();
    struct Case {
        const char16_t* from;
        char16_t typed;
        const char16_t* to;
    };
    const Case cases[] = {
        {u"--", u'a', u"AD"},
        {u"AD", u'a', u"AE"},
        {u"AZ", u'a', u"AD"},  // the last A wraps to the first
        {u"--", u'f', u"FI"},
        {u"ZW", u'z', u"ZA"},  // wraps from 240 past 0
        {u"ZW", u'-', u"--"},
        {u"BE", u'A', u"BE"},  // codes are upper case and only they are lowered: a miss
        {u"BE", u'x', u"BE"},  // no code begins with X
        {u"BE", u'\r', u"BE"},
    };
    for (const Case& c : cases) {
        const int to = CountryPicker::letterJump(valueOf(c.from), c.typed);
        EXPECT_EQ(WStringView(codeAt(to)), c.to) << wideToUtf8(c.from) << " " << char(c.typed);
    }
    // A value from a damaged file starts the search from the top.
    EXPECT_EQ(WStringView(codeAt(CountryPicker::letterJump(9999, u'a'))), u"AD");
}

TEST_F(CountryPickerTest, TypingWhileHoveredJumpsAndWritesTheChoice) {
    GameConfiguration& c = application->gameConfiguration;
    type(u'f');
    EXPECT_EQ(WStringView(codeAt(c.countryIndex)), u"FI");
    EXPECT_TRUE(picker->bClicked);
    EXPECT_EQ(std::string(c.countryCode, 2), "FI");
    const Vector3 finland = CountryPicker::direction(60.17f, 24.94f);
    EXPECT_FLOAT_EQ(c.countryDirection[0], finland.x);
    EXPECT_FLOAT_EQ(c.countryDirection[1], finland.y);
    EXPECT_FLOAT_EQ(c.countryDirection[2], finland.z);
    // The upper-case miss keeps the value but still raises the click.
    type(u'F');
    EXPECT_EQ(WStringView(codeAt(c.countryIndex)), u"FI");
    EXPECT_TRUE(picker->bClicked);
    // Not hovered: typing does nothing.
    menu.pointerWorldPos[1] = 200;
    type(u'a');
    EXPECT_EQ(WStringView(codeAt(c.countryIndex)), u"FI");
    EXPECT_FALSE(picker->bClicked);
}

TEST_F(CountryPickerTest, ChoosingNoCountryWritesDashesAndTheDefaultDirection) {
    GameConfiguration& c = application->gameConfiguration;
    std::memcpy(c.countryCode, "DEab", 4);
    c.countryDirection[0] = 0.5f;
    CountryPicker::writeChoice(0, c);
    // The code's characters only; the bytes after them stay.
    EXPECT_EQ(std::string(c.countryCode, 4), "--ab");
    EXPECT_EQ(c.countryDirection[0], 0.0f);
    EXPECT_EQ(c.countryDirection[1], 0.0f);
    EXPECT_EQ(c.countryDirection[2], -1.0f);
    // A press on the left arrow from AD steps back to "--" and writes it.
    c.countryIndex = valueOf(u"AD");
    std::memcpy(c.countryCode, "AD\0\0", 4);
    menu.pointerWorldPos[0] = 128 - 232;
    addTouch(Vector3())->bPressed = true;
    picker->update(0, 0.016);
    EXPECT_EQ(c.countryIndex, 0);
    EXPECT_EQ(std::string(c.countryCode, 2), "--");
    EXPECT_EQ(c.countryDirection[2], -1.0f);
}

TEST_F(CountryPickerTest, ShowsTheCodeAndTheCountryName) {
    application->gameConfiguration.countryIndex = valueOf(u"DE");
    DrawRecorder recorder;
    picker->drawContents(picker->position.x, picker->position.y, 0);
    ASSERT_EQ(recorder.drawn.size(), 1u);
    EXPECT_EQ(recorder.drawn[0].text, u"DE (" + WString(qel->pLanguage->getText(COUNTRYDE)) + u")");
    application->gameConfiguration.countryIndex = -5;
    recorder.drawn.clear();
    picker->drawContents(picker->position.x, picker->position.y, 0);
    ASSERT_EQ(recorder.drawn.size(), 1u);
    EXPECT_EQ(recorder.drawn[0].text, u"-- (" + WString(qel->pLanguage->getText(COUNTRYNONE)) + u")");
}
