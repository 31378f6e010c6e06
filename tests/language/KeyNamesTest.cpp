#include <gtest/gtest.h>

#include <map>

#include "language/KeyNames.h"
#include "platform/KeyCodeTable.h"

namespace {

// A stand-in for the language's texts: the texts the key names read, in English or German.
struct StubTexts {
    explicit StubTexts(bool german) {
        texts[KeyNames::TEXT_DIK_NONE] = u"";
        texts[KeyNames::TEXT_DIK_UNKNOWN] = german ? u"UNBEKANNT" : u"UNKNOWN";
        for (int row = 0; row < platform::KEYBOARD_KEY_ROWS; ++row)
            texts[KeyNames::TEXT_DIK_FIRST_KEY + row] = utf8ToWide(platform::keyCodeTable[row].name);
        texts[KeyNames::TEXT_DIK_FIRST_KEY + 56] = german ? u"LEERTASTE" : u"SPACE";  // the SPACE row
        texts[KeyNames::TEXT_DIK_FIRST_KEY + 120] = u"\u0005";  // UP in English is a control character
        const char16_t* dirs[4] = {u"JOYUP", u"JOYDOWN", u"JOYLEFT", u"JOYRIGHT"};
        for (int d = 0; d < 4; ++d) texts[KeyNames::TEXT_DIK_JOYUP + d] = dirs[d];
        for (int b = 0; b < 32; ++b)
            texts[KeyNames::TEXT_DIK_JOYBUTTON0 + b] = format(german ? u"JOY-KNOPF%d" : u"JOYBUTTON%d", b);
        for (int m = 0; m < 4; ++m) {
            texts[KeyNames::TEXT_DIK_MOUSEUP + m] = format(u"MOUSE%d", m);
            texts[KeyNames::TEXT_DIK_MOUSEBUTTON0 + m] = format(u"MOUSE BUTTON %d", m);
        }
    }
    KeyNames::TextLookup lookup() {
        return [this](int id) { return texts.at(id).c_str(); };
    }
    std::map<int, WString> texts;
};

}  // namespace

TEST(KeyNames, EveryCodeIsNamedFromTheTexts) {
    StubTexts english(false);
    WString names[INPUT_KEY_COUNT];
    names[0] = u"stale";
    KeyNames::apply(names, english.lookup());
    const struct {
        int code;
        const char16_t* name;
    } cases[] = {
        {0, u""},
        {0x01, u"ESCAPE"},
        {0x39, u"SPACE"},
        {0x54, u"UNKNOWN-84"},
        {0x59, u"UNKNOWN-89"},
        {0xEE, u"UNKNOWN-238"},
        {0xFF, u"UNKNOWN-255"},
        {0xC8, u"\u0005"},
        {0xED, u"MEDIASELECT"},
        {256, u"(1) JOYUP"},
        {259, u"(1) JOYRIGHT"},
        {260, u"UNKNOWN-260"},
        {271, u"UNKNOWN-271"},
        {272, u"(1) JOYBUTTON0"},
        {304, u"(2) JOYUP"},
        {447, u"(4) JOYBUTTON31"},
        {448, u"MOUSE0"},
        {452, u"MOUSE BUTTON 0"},
        {455, u"MOUSE BUTTON 3"},
    };
    for (const auto& c : cases) EXPECT_EQ(names[c.code], c.name) << c.code;

    int ownNames = 0;
    for (const WString& n : names)
        if (n.rfind(u"UNKNOWN-", 0) != 0) ++ownNames;
    EXPECT_EQ(ownNames, 297);
}

TEST(KeyNames, EachCallRebuildsAllNamesInTheNewLanguage) {
    StubTexts english(false), german(true);
    WString names[INPUT_KEY_COUNT];
    KeyNames::apply(names, english.lookup());
    KeyNames::apply(names, german.lookup());
    EXPECT_EQ(names[0x39], u"LEERTASTE");
    EXPECT_EQ(names[272], u"(1) JOY-KNOPF0");
    EXPECT_EQ(names[0x54], u"UNBEKANNT-84");
    EXPECT_EQ(names[0], u"");
}
