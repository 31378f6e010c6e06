// Text from a server reaches the fonts and the log without control characters.

#include <gtest/gtest.h>

#include <string>

#include "engine/ByteBuffer.h"
#include "menus/ServerText.h"

TEST(ServerText, ControlCharactersAreDroppedAndTabsBecomeBlanks) {
    struct Case {
        WString in;
        WString out;
    } cases[] = {
        {u"plain text", u"plain text"},
        {u"a\tb", u"a b"},
        {u"\x1e{ff0000}red", u"{ff0000}red"},
        {WString(u"nul\0here", 8), u"nulhere"},
        {u"bell\x07 esc\x1b del\x7f c1\x85\x9f end", u"bell esc del c1 end"},
        {u"\u00a0\u00e9\u65e5\U0001F600~", u"\u00a0\u00e9\u65e5\U0001F600~"},
        {u"", u""},
    };
    for (const Case& c : cases) EXPECT_EQ(ServerText::clean(c.in), c.out) << wideToUtf8(c.out);
}

TEST(ServerText, ReplyIsSplitIntoCleanLines) {
    struct Case {
        std::string reply;
        std::vector<WString> lines;
    } cases[] = {
        {"one\r\ntwo\nthree", {u"one", u"two", u"three"}},
        {"\xef\xbb\xbfwith mark\r\n", {u"with mark"}},
        {"lone\rcarriage\n\n", {u"lonecarriage", u""}},
        {"tab\there\x1e!\n", {u"tab here!"}},
        {"caf\xc3\xa9", {u"caf\u00e9"}},
        {"", {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ServerText::lines(ByteBuffer(c.reply.data(), int(c.reply.size()))), c.lines) << c.reply;
    }
}
