// The text box: its character set and length limit, backspace, the typed-character hook, the
// copy into the target, and the caret.

#include <gtest/gtest.h>

#include "DrawRecorder.h"
#include "ui/MenuTestFixture.h"
#include "menus/MenuTextBox.h"

namespace {

struct CountingTextBox : MenuTextBox {
    using MenuTextBox::MenuTextBox;
    void onCharTyped() override { ++typed; }
    int typed = 0;
};

struct TextBoxTest : MenuTest {
    void SetUp() override {
        MenuTest::SetUp();
        box = new CountingTextBox(0, 0, 0, u"Code", u"", &target, 4);
        menu.appendItem(box);
        qel->pCurrentContext = &menu;
    }
    void TearDown() override {
        input()->typedChar = 0;
        MenuTest::TearDown();
    }
    void type(char16_t c, double time = 0.0) {
        input()->typedChar = c;
        box->update(time, 0.016);
        input()->typedChar = 0;
    }

    WString target = u"ab";
    ContextMenu menu;
    CountingTextBox* box = nullptr;
};

}  // namespace

TEST(TextBoxRulesTest, CharacterSetAndLengthLimit) {
    const WString allowed = MenuTextBox::defaultAllowedChars();
    EXPECT_EQ(allowed.size(), 1u + (0x7D - 0x21 + 1) - 1);
    struct Case {
        const char16_t* before;
        char16_t c;
        int maxLength;
        const char16_t* after;
    };
    const Case cases[] = {
        {u"", u'a', 3, u"a"},
        {u"ab", u' ', 3, u"ab "},
        {u"ab", u'}', 3, u"ab}"},
        {u"ab", u'!', 3, u"ab!"},
        {u"abc", u'd', 3, u"abc"},   // at the limit
        {u"abc", 8, 3, u"ab"},       // backspace still works there
        {u"", 8, 3, u""},
        {u"ab", u'~', 3, u"ab"},     // tilde refused
        {u"ab", u'`', 3, u"ab"},     // grave accent refused
        {u"ab", 0x7F, 3, u"ab"},
        {u"ab", u'\r', 3, u"ab"},
        {u"ab", u'\x1b', 3, u"ab"},
        {u"ab", u'\u00e9', 3, u"ab"},
        {u"ab", 0xD83D, 3, u"ab"},
        {u"", u'a', 0, u""},
    };
    for (const Case& c : cases) {
        WString text = c.before;
        MenuTextBox::applyChar(text, c.c, allowed, c.maxLength);
        EXPECT_EQ(text, c.after) << wideToUtf8(c.before) << " + " << int(c.c);
    }
}

TEST_F(TextBoxTest, StartsFromTheTargetAndCommitsEachTypedCharacter) {
    EXPECT_EQ(box->text, u"ab");
    menu.pointerWorldPos[0] = 0;
    type(u'c');
    EXPECT_EQ(target, u"abc");
    type(u'~');
    type(u'd');
    type(u'e');
    EXPECT_EQ(target, u"abcd");
    // The hook ran after every character but none for backspace.
    type(8);
    EXPECT_EQ(target, u"abc");
    EXPECT_EQ(box->typed, 4);
    MenuTextBox untargeted(0, 0, 0, u"", u"", nullptr, 8);
    EXPECT_EQ(untargeted.text, u"");
}

TEST_F(TextBoxTest, OnlyAHoveredEnabledBoxTakesCharacters) {
    menu.pointerWorldPos[0] = 300;
    type(u'c');
    EXPECT_EQ(target, u"ab");
    EXPECT_FALSE(box->bCaretVisible);
    menu.pointerWorldPos[0] = 0;
    box->bDisabled = true;
    type(u'c');
    EXPECT_EQ(target, u"ab");
    EXPECT_FALSE(box->bCaretVisible);
    EXPECT_EQ(box->typed, 0);
}

TEST_F(TextBoxTest, CaretBlinksAtFourHertzWhileHovered) {
    struct Case {
        double time;
        bool visible;
    };
    for (const Case& c : {Case{0.0, true}, Case{0.124, true}, Case{0.125, false}, Case{0.249, false}, Case{0.25, true},
                          Case{10.2, false}}) {
        EXPECT_EQ(MenuTextBox::caretVisibleAt(c.time), c.visible) << c.time;
    }
    DrawRecorder recorder;
    box->update(0.0, 0.016);
    ASSERT_TRUE(box->bCaretVisible);
    box->drawContents(0, 0, 0);
    box->update(0.2, 0.016);
    box->drawContents(0, 0, 0);
    ASSERT_EQ(recorder.drawn.size(), 2u);
    EXPECT_EQ(recorder.drawn[0].text, u"ab_");
    EXPECT_EQ(recorder.drawn[1].text, u"ab");
    // Both from the same leading edge, so the caret does not move the text.
    EXPECT_FLOAT_EQ(recorder.drawn[0].position.x, recorder.drawn[1].position.x);
    EXPECT_LT(recorder.drawn[0].position.x, 0.0f);
}
