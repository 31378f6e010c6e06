#include <gtest/gtest.h>

#include <vector>

#include "FakeFont.h"
#include "support/LanguageSwitch.h"
#include "engine/EngineFixture.h"
#include "runtime/QelRuntime.h"
#include "ui/MessageViewer.h"
#include "ui/TextBlock.h"
#include "ui/TextLine.h"
#include "ui/TextRun.h"

namespace {

struct RunInfo {
    WString text;
    uint32_t colour;
};

std::vector<RunInfo> runsOf(const TextLine& line) {
    std::vector<RunInfo> runs;
    for (BasicLink* r = line.firstChild; r; r = r->next) {
        auto* run = static_cast<TextRun*>(r);
        runs.push_back({run->text, run->colour});
    }
    return runs;
}

std::vector<WString> linesOf(const TextBlock& block) {
    std::vector<WString> lines;
    for (BasicLink* l = block.firstChild; l; l = l->next) {
        WString text;
        for (BasicLink* r = l->firstChild; r; r = r->next) text += static_cast<TextRun*>(r)->text;
        lines.push_back(text);
    }
    return lines;
}

const WString RED = u"\x1e{ff0000}";
const WString BLUE = u"\x1e{0000ff}";

}  // namespace

TEST(TextLineTest, PlainTextIsOneRunInTheGivenColour) {
    FakeFont font;
    TextLine line(nullptr, 0xFF123456, u"hello");
    auto runs = runsOf(line);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, u"hello");
    EXPECT_EQ(runs[0].colour, 0xFF123456u);
    EXPECT_FLOAT_EQ(line.width, 50.0f);
    EXPECT_EQ(line.endColour, 0xFF123456u);
}

TEST(TextLineTest, MarksSplitRunsAndSetOpaqueColours) {
    FakeFont font;
    struct Case {
        WString text;
        std::vector<RunInfo> runs;
        uint32_t endColour;
    };
    const Case cases[] = {
        {u"ab" + RED + u"cd", {{u"ab", 7}, {u"cd", 0xFFFF0000}}, 0xFFFF0000},
        // A leading mark and two marks in a row make no empty runs.
        {RED + u"ab" + BLUE + RED + u"cd", {{u"ab", 0xFFFF0000}, {u"cd", 0xFFFF0000}}, 0xFFFF0000},
        // The value 1 stays exactly 1: the reader's default colour.
        {RED + u"ab\x1e{000001}cd", {{u"ab", 0xFFFF0000}, {u"cd", 1}}, 1},
        // A mark at the end changes the end colour only.
        {u"ab" + BLUE, {{u"ab", 7}}, 0xFF0000FF},
    };
    for (const Case& c : cases) {
        TextLine line(nullptr, 7, c.text);
        auto runs = runsOf(line);
        ASSERT_EQ(runs.size(), c.runs.size());
        for (size_t i = 0; i < runs.size(); ++i) {
            EXPECT_EQ(runs[i].text, c.runs[i].text);
            EXPECT_EQ(runs[i].colour, c.runs[i].colour);
        }
        EXPECT_EQ(line.endColour, c.endColour);
        float width = 0;
        for (const RunInfo& r : c.runs) width += 10.0f * float(r.text.size());
        EXPECT_FLOAT_EQ(line.width, width);
    }
}

TEST(TextLineTest, EmptyTextIsOneEmptyRun) {
    FakeFont font;
    TextLine line(nullptr, 5, u"");
    auto runs = runsOf(line);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, u"");
    EXPECT_EQ(line.endColour, 5u);
}

TEST(TextLineTest, UnreadableMarkFromOutsideIsShownAsTextNotFatal) {
    FakeFont font;
    // A server's reply or a typed name may carry a stray separator.
    TextLine line(nullptr, 7, u"ab\x1exyz");
    auto runs = runsOf(line);
    ASSERT_EQ(runs.size(), 1u);
    EXPECT_EQ(runs[0].text, u"abxyz");
    EXPECT_EQ(runs[0].colour, 7u);
    TextLine tail(nullptr, 7, u"ab\x1e");
    ASSERT_EQ(runsOf(tail).size(), 1u);
    EXPECT_EQ(runsOf(tail)[0].text, u"ab");
}

TEST(TextBlockTest, BarBreaksAndBlanksWrap) {
    FakeFont font;
    struct Case {
        float maxWidth;
        WString text;
        std::vector<WString> lines;
    };
    const Case cases[] = {
        {1000, u"one|two", {u"one", u"two"}},
        {1000, u"one two three", {u"one two three"}},
        // Each line as long as fits: "one two" is 70 wide.
        {70, u"one two three four", {u"one two", u"three", u"four"}},
        {60, u"one two", {u"one", u"two"}},
        // A word wider than the block stays whole on its own line.
        {30, u"a enormous b", {u"a", u"enormous", u"b"}},
        // "||" leaves an empty line.
        {1000, u"a||b", {u"a", u"", u"b"}},
        {1000, u"", {u""}},
    };
    for (const Case& c : cases) {
        TextBlock block(nullptr, c.maxWidth, -1, c.text);
        EXPECT_EQ(linesOf(block), c.lines) << c.maxWidth;
    }
}

TEST(TextBlockTest, ColourCarriesToTheNextLineAndMarksTakeNoWidth) {
    FakeFont font;
    TextBlock block(nullptr, 50, -1, RED + u"aaaa bbbb");
    ASSERT_EQ(block.countLines(), 2);
    auto* second = static_cast<TextLine*>(block.lastChild);
    EXPECT_EQ(static_cast<TextRun*>(second->firstChild)->colour, 0xFFFF0000u);
    auto* first = static_cast<TextLine*>(block.firstChild);
    EXPECT_EQ(static_cast<TextRun*>(first->firstChild)->colour, 0xFFFF0000u);
    EXPECT_FLOAT_EQ(block.width, 40.0f);
}

TEST(TextBlockTest, HeightCountsLineSpacingAndOneLineHeight) {
    FakeFont font;
    TextBlock one(nullptr, 100, -1, u"");
    EXPECT_FLOAT_EQ(one.height, 20.0f);
    TextBlock three(nullptr, 100, 25, u"a|b|c");
    EXPECT_FLOAT_EQ(three.height, 2 * 25.0f + 20.0f);
    EXPECT_FLOAT_EQ(three.lineSpacing, 25.0f);
}

TEST(MessageViewerTest, KeepsTheLastNineLines) {
    FakeFont font;
    MessageViewer viewer;
    for (int i = 0; i < 10; ++i) viewer.addMessage(format(u"line %d", i));
    ASSERT_EQ(viewer.lines.size(), 9u);
    EXPECT_EQ(viewer.lines.front(), u"line 1");
    EXPECT_EQ(viewer.lines.back(), u"line 9");
}

TEST(MessageViewerTest, WrapsToTheLayoutWidthAndKeepsEmptyMessages) {
    FakeFont font;
    MessageViewer viewer;
    EXPECT_EQ(viewer.maxWidth, 790);
    viewer.addMessage(u"");
    viewer.addMessage(WString(50, u'a') + u" " + WString(50, u'b'));
    ASSERT_EQ(viewer.lines.size(), 3u);
    EXPECT_EQ(viewer.lines[0], u"");
    EXPECT_EQ(viewer.lines[1], WString(50, u'a'));
    EXPECT_EQ(viewer.lines[2], WString(50, u'b'));
}

// Adding many messages at once keeps exactly the lines that adding them one by one keeps.
TEST(MessageViewerTest, AddingManyMessagesKeepsTheSameLines) {
    FakeFont font;
    const WString wide = WString(50, u'a') + u" " + WString(50, u'b') + u" " + WString(50, u'c');
    struct Case {
        const char* what;
        std::vector<WString> before;
        std::vector<WString> texts;
    } cases[] = {
        {"none", {u"old"}, {}},
        {"fewer than a panel", {u"old 1", u"old 2"}, {u"x", u"", u"y"}},
        {"exactly a panel", {u"old"}, std::vector<WString>(9, u"z")},
        {"one more than a panel", {u"old"}, std::vector<WString>(10, u"z")},
        {"wrapped last message", {}, {u"first", u"second", wide, wide, wide}},
        {"empty messages at the end", {}, {u"1", u"2", u"3", u"4", u"5", u"6", u"7", u"8", u"9", u"", u""}},
        {"thousands", {u"old"}, std::vector<WString>(5000, u"q")},
        {"a word wider than the panel", {u"old"}, {u"x", WString(500, u'w'), u"y"}},
    };
    cases[6].texts[4996] = wide;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageViewer one, many;
        for (const WString& t : c.before) {
            one.addMessage(t);
            many.addMessage(t);
        }
        for (const WString& t : c.texts) one.addMessage(t);
        many.addMessages(c.texts);
        EXPECT_EQ(many.lines, one.lines);
    }
}

// A word wider than the viewer (a binary reply has few blanks) is cut over lines, each as full as
// it can be; a coloured word keeps its colour on every line; nothing is lost or added.
TEST(MessageViewerTest, AWordWiderThanTheViewerIsCutOverLines) {
    FakeFont font;
    struct Case {
        const char* what;
        WString text;
        std::vector<WString> lines;
    } cases[] = {
        {"exactly the width", WString(79, u'a'), {WString(79, u'a')}},
        {"one more", WString(80, u'a'), {WString(79, u'a'), u"a"}},
        {"after a short word", u"ab " + WString(170, u'c'), {u"ab", WString(79, u'c'), WString(79, u'c'), WString(12, u'c')}},
        {"coloured", u"x " + RED + WString(100, u'r') + u"\x1e{000001}" + u" y",
         {u"x", RED + WString(79, u'r'), RED + WString(21, u'r'), u"y"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        MessageViewer viewer;
        viewer.maxLines = 20;
        viewer.addMessage(c.text);
        EXPECT_EQ(std::vector<WString>(viewer.lines.begin(), viewer.lines.end()), c.lines);
        for (const WString& line : viewer.lines) EXPECT_LE(TextLine(nullptr, 0xFFFFFFFF, line).width, float(viewer.maxWidth));
    }
}

TEST(MessageViewerTest, ColouredWordStaysOnItsLine) {
    FakeFont font;
    MessageViewer viewer;
    viewer.addMessage(u"status: " + RED + u"failed" + u"\x1e{000001} now");
    ASSERT_EQ(viewer.lines.size(), 1u);
    TextLine line(nullptr, 0xFFFFFFFF, viewer.lines[0]);
    auto runs = runsOf(line);
    ASSERT_EQ(runs.size(), 3u);
    EXPECT_EQ(runs[0].text, u"status: ");
    EXPECT_EQ(runs[0].colour, 0xFFFFFFFFu);
    EXPECT_EQ(runs[1].text, u"failed");
    EXPECT_EQ(runs[1].colour, 0xFFFF0000u);
    EXPECT_EQ(runs[2].text, u" now");
    EXPECT_EQ(runs[2].colour, 1u);
}

namespace {
struct RightToLeftTest : EngineTestOn<QelRuntime> {
    void SetUp() override {
        EngineTestOn<QelRuntime>::SetUp();
        start();
        setRightToLeftForTest(true);
    }
};
}  // namespace

TEST_F(RightToLeftTest, TextBlockCutsLinesFromTheEnd) {
    FakeFont font;
    TextBlock block(nullptr, 70, -1, u"one two three");
    EXPECT_EQ(linesOf(block), (std::vector<WString>{u"three", u"one two"}));
    TextBlock forced(nullptr, 1000, -1, u"a|b");
    EXPECT_EQ(linesOf(forced), (std::vector<WString>{u"b", u"a"}));
}
