#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "engine/Text.h"

namespace {

struct FormatCase {
    const char16_t* expected;
    WString actual;
};

TEST(Format, ConversionsFlagsAndWidths) {
    const WString wide = u"Zo\u00eb";
    const FormatCase cases[] = {
        {u"a=b", format(u"%s=%s", u"a", WString(u"b"))},
        {u"%s", format(u"%%s")},
        {u"100%", format(u"%d%%", 100)},
        {u"[  Zo\u00eb]", format(u"[%5s]", wide)},
        {u"[Zo\u00eb  ]", format(u"[%-5s]", wide)},
        {u"[Zo]", format(u"[%.2s]", wide)},
        {u"narrow \u00e9", format(u"narrow %hs", "\xC3\xA9")},
        {u"-42", format(u"%d", -42)},
        {u"+42", format(u"%+d", 42)},
        {u"00042", format(u"%05d", 42)},
        {u"-0042", format(u"%05d", -42)},
        {u"   42", format(u"%5d", 42)},
        {u"42   |", format(u"%-5d|", 42)},
        {u"007", format(u"%.3d", 7)},
        {u"", format(u"%.0d", 0)},
        {u"4294967295", format(u"%u", -1)},
        {u"-1", format(u"%d", 0xFFFFFFFFu)},
        {u"ffffffff", format(u"%x", -1)},
        {u"000000ab", format(u"%08x", 0xAB)},
        {u"9223372036854775807", format(u"%lld", std::numeric_limits<int64_t>::max())},
        {u"-9223372036854775808", format(u"%I64d", std::numeric_limits<int64_t>::min())},
        {u"18446744073709551615", format(u"%llu", std::numeric_limits<uint64_t>::max())},
        {u"1ffffffff", format(u"%I64x", 0x1FFFFFFFFLL)},
        {u"3.14", format(u"%.2f", 3.14159)},
        {u"0.50000000", format(u"%.8lf", 0.5)},
        {u"-0.000", format(u"%.3f", -0.0001)},
        {u"1.000000e+06", format(u"%e", 1e6)},
        {u"1e+06", format(u"%g", 1e6)},
        {u"0.0001", format(u"%g", 0.0001)},
        {u"123457", format(u"%g", 123456.7)},
        {u"  2.5", format(u"%5.1f", 2.5)},
        {u"inf", format(u"%f", std::numeric_limits<double>::infinity())},
        {u"x", format(u"%c", u'x')},
        {u"  9", format(u"%*d", 3, 9)},
        {u"1,234", format(u"%d,%03d", 1, 234)},
    };
    for (const auto& c : cases) EXPECT_EQ(WString(c.expected), c.actual);
}

TEST(Format, SixtyFourBitLengthsAreNotCutAndThirtyTwoBitOnesAre) {
    EXPECT_EQ(u"0", format(u"%lu", 4294967296LL));
    EXPECT_EQ(u"4294967296", format(u"%llu", 4294967296LL));
    EXPECT_EQ(u"0X1F", format(u"%#X", 31));
}

TEST(Format, FailuresGiveThePlaceholder) {
    const WString failures[] = {
        format(u"%d"),                        // missing argument
        format(u"%d", u"text"),               // wrong kind
        format(u"%s", 5),                     // wrong kind
        format(u"%q", 1),                     // unknown conversion
        format(u"50%"),                       // dangling percent
        format(u"%70000d", 1),                // too wide
    };
    for (const WString& f : failures) EXPECT_EQ(u"<XXX>", f);
}

TEST(Format, OutputLimit) {
    const WString big(65535, u'a');
    EXPECT_EQ(big, format(u"%s", big));
    EXPECT_EQ(u"<XXX>", format(u"%s!", big));
    WString out = u"old";
    formatTo(out, u"%s%s", big, u"b");
    EXPECT_EQ(u"<XXX>", out);
}

TEST(Format, NullWideStringPrintsNull) {
    const char16_t* none = nullptr;
    EXPECT_EQ(u"(null)", format(u"%s", none));
}

TEST(Scan, NumbersAsScanfReadsThem) {
    int32_t i = 0;
    EXPECT_TRUE(scanInt(u"  -12abc", i));
    EXPECT_EQ(-12, i);
    EXPECT_TRUE(scanInt(u"+7", i));
    EXPECT_EQ(7, i);
    EXPECT_FALSE(scanInt(u"abc", i));
    EXPECT_FALSE(scanInt(u"", i));
    EXPECT_TRUE(scanInt(u"99999999999", i));
    EXPECT_EQ(std::numeric_limits<int32_t>::max(), i);
    double d = 0;
    EXPECT_TRUE(scanDouble(u" 0.50000000", d));
    EXPECT_EQ(0.5, d);
    EXPECT_TRUE(scanDouble(u"-1e3x", d));
    EXPECT_EQ(-1000.0, d);
    EXPECT_FALSE(scanDouble(u"x1", d));
    uint32_t h = 0;
    EXPECT_TRUE(scanHex(u"ff00ff00", h));
    EXPECT_EQ(0xff00ff00u, h);
    EXPECT_TRUE(scanHex(u"0x1A", h));
    EXPECT_EQ(0x1Au, h);
}

TEST(Utf8, KnownEncodings) {
    EXPECT_EQ("\xE2\x82\xAC", wideToUtf8(u"\u20AC"));
    EXPECT_EQ(u"\u20AC", utf8ToWide("\xE2\x82\xAC"));
    EXPECT_EQ("\xC3\xA9", wideToUtf8(u"\u00e9"));
    EXPECT_EQ("A", wideToUtf8(u"A"));
}

TEST(Utf8, SurrogatePairsRoundTripAsFourBytes) {
    const WString snowman_and_emoji = u"\u2603\U0001F682";
    const std::string utf8 = wideToUtf8(snowman_and_emoji);
    EXPECT_EQ("\xE2\x98\x83\xF0\x9F\x9A\x82", utf8);
    EXPECT_EQ(snowman_and_emoji, utf8ToWide(utf8));
}

TEST(Utf8, LoneSurrogatesSurviveARoundTrip) {
    const WString lone = u"a\xD800" u"b\xDC00";
    EXPECT_EQ(lone, utf8ToWide(wideToUtf8(lone)));
}

TEST(Utf8, MalformedInputNeverReadsPastTheEnd) {
    struct Case {
        std::string bytes;
        WString expected;
    } cases[] = {
        {"\xE2\x82", u"\xFFFD\xFFFD"},             // cut-off three-byte sequence
        {"\xF0\x9F\x9A", u"\xFFFD\xFFFD\xFFFD"},   // cut-off four-byte sequence
        {"\xC3", u"\xFFFD"},                       // lead byte at the very end
        {"\x80" "a", u"\xFFFD" "a"},               // stray continuation byte
        {"\xFF", u"\xFFFD"},
        {std::string("a\0b", 3), WString(u"a\0b", 3)},
    };
    for (const auto& c : cases) {
        // A heap copy of exactly the input's size lets AddressSanitizer see any over-read.
        std::vector<char> exact(c.bytes.begin(), c.bytes.end());
        EXPECT_EQ(c.expected, utf8ToWide(std::string_view(exact.data(), exact.size())));
    }
}

TEST(TextHelpers, SplitLines) {
    using Lines = std::vector<WString>;
    EXPECT_EQ((Lines{u"a", u"b"}), splitLines(u"a\r\nb\n"));
    EXPECT_EQ((Lines{u""}), splitLines(u"\n"));
    EXPECT_EQ(Lines{}, splitLines(u""));
    EXPECT_EQ((Lines{u"a", u"", u"b"}), splitLines(u"a\r\n\r\nb"));
    EXPECT_EQ((Lines{u"a\r"}), splitLines(u"a\r"));
    EXPECT_EQ((Lines{u"a"}), splitLines(u"a\n"));
}

TEST(TextHelpers, TrimReplaceAndFileName) {
    WString t = u" \t\r\n ";
    trim(t);
    EXPECT_EQ(u"", t);
    t = u"\t key = value \r\n";
    trim(t);
    EXPECT_EQ(u"key = value", t);

    WString r = u"aaa";
    replaceAll(r, u"a", u"aa");
    EXPECT_EQ(u"aaaaaa", r);
    r = u"%s and %s";
    replaceAll(r, u"%s", u"%ls");
    EXPECT_EQ(u"%ls and %ls", r);

    EXPECT_EQ(u"", getFileName(u"dir/"));
    EXPECT_EQ(u"", getFileName(u"dir\\"));
    EXPECT_EQ(u"name.txt", getFileName(u"name.txt"));
    EXPECT_EQ(u"b.tga", getFileName(u"c:\\a/b.tga"));
}

}  // namespace
