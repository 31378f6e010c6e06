#include "platform/Gdi.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>

#include "platform/FontFileResolver.h"
#include "support/GeneratedData.h"

using namespace platform;

namespace {

const std::string kDejaVuSans = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";
const std::string kDejaVuMono = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono.ttf";

LOGFONTW describe(const char16_t* face, int32_t height) {
    LOGFONTW lf;
    lf.lfHeight = height;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::u16string_view name(face);
    for (size_t i = 0; i < name.size() && i < LF_FACESIZE - 1; ++i) lf.lfFaceName[i] = name[i];
    return lf;
}

// A device context with a font pinned to a DejaVu file, white text on an opaque black background
// as the engine's GDI font prepares it.
class GdiText : public testing::Test {
protected:
    void SetUp() override {
        VESK_REQUIRE_GENERATED(std::filesystem::exists(kDejaVuSans), kDejaVuSans);
        pinFontFile(u"PinnedFace", kDejaVuSans);
        dc = CreateCompatibleDC(nullptr);
        ASSERT_NE(dc, nullptr);
        SetMapMode(dc, MM_TEXT);
        SetBkMode(dc, OPAQUE);
        SetBkColor(dc, 0x000000);
        SetTextAlign(dc, TA_LEFT | TA_TOP);
        SetTextColor(dc, 0xFFFFFF);
    }
    void TearDown() override {
        if (dc) {
            if (previousBitmap) SelectObject(dc, previousBitmap);
            DeleteDC(dc);
        }
        if (bitmap) DeleteObject(bitmap);
        if (font) DeleteObject(font);
        pinFontFile(u"PinnedFace", "");
    }
    void useFont(int32_t height) {
        if (font) {
            // Swap fonts: the old one can go once it is no longer selected.
            HFONT old = font;
            font = CreateFontIndirectW(std::make_unique<LOGFONTW>(describe(u"PinnedFace", height)).get());
            ASSERT_NE(font, nullptr);
            SelectObject(dc, font);
            EXPECT_TRUE(DeleteObject(old));
            return;
        }
        const LOGFONTW lf = describe(u"PinnedFace", height);
        font = CreateFontIndirectW(&lf);
        ASSERT_NE(font, nullptr);
        SelectObject(dc, font);
    }
    // A top-down w x h bitmap, filled with 'fill', selected into the context.
    uint32_t* useBitmap(int w, int h, uint32_t fill) {
        if (bitmap) {
            SelectObject(dc, previousBitmap);
            DeleteObject(bitmap);
        }
        BITMAPINFO info;
        info.bmiHeader.biSize = 40;
        info.bmiHeader.biWidth = w;
        info.bmiHeader.biHeight = -h;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        void* bits = nullptr;
        bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        EXPECT_NE(bitmap, nullptr);
        previousBitmap = SelectObject(dc, bitmap);
        auto* pixels = static_cast<uint32_t*>(bits);
        for (int i = 0; i < w * h; ++i) pixels[i] = fill;
        width = w;
        return pixels;
    }
    SIZE extent(std::u16string_view text) {
        SIZE size;
        EXPECT_TRUE(GetTextExtentPoint32W(dc, text.data(), int(text.size()), &size));
        return size;
    }

    HDC dc = nullptr;
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr;
    HGDIOBJ previousBitmap = nullptr;
    int width = 0;
};

std::string wideToUtf8Test(const std::u16string& text) {
    std::string out;
    for (char16_t c : text) out += c < 0x80 ? char(c) : '?';
    return out;
}

}  // namespace

TEST_F(GdiText, CellHeightIsExactlyTheHeightAskedAndHoldsTheGlyphs) {
    const std::u16string text = u"\u00C1Hgjy|";
    for (int32_t height : {8, 11, 12, 13, 16, 17, 24, 33}) {
        useFont(height);
        const SIZE size = extent(text);
        EXPECT_EQ(size.cy, height);
        // Drawn 10 rows down in a taller bitmap, the ink stays inside the cell.
        const int w = size.cx + 20, h = height + 20;
        uint32_t* pixels = useBitmap(w, h, 0);
        SetBkMode(dc, TRANSPARENT);
        ASSERT_TRUE(TextOutW(dc, 10, 10, text.data(), int(text.size())));
        SetBkMode(dc, OPAQUE);
        int top = h, bottom = -1;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (pixels[y * w + x] != 0) {
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
        // The accent reaches the top of the cell and the descenders its bottom, never beyond.
        EXPECT_GE(top, 10) << height;
        EXPECT_LE(top, 10 + 1 + height / 16) << height;
        EXPECT_LE(bottom, 10 + height - 1) << height;
        EXPECT_GE(bottom, 10 + height - 2 - height / 16) << height;
    }
}

TEST_F(GdiText, WhiteOnBlackGivesGreyCoverageWithFullAndPartialLevels) {
    useFont(24);
    const std::u16string text = u"O\u2588";  // a round letter and a full block
    const SIZE size = extent(text);
    // The opaque background covers the cell whatever the bitmap held.
    uint32_t* pixels = useBitmap(size.cx, size.cy, 0x00FFFFFF);
    ASSERT_TRUE(TextOutW(dc, 0, 0, text.data(), int(text.size())));
    int full = 0, partial = 0;
    for (int i = 0; i < size.cx * size.cy; ++i) {
        const uint32_t p = pixels[i];
        const uint32_t b = p & 0xFF;
        EXPECT_EQ(p >> 24, 0u);
        EXPECT_EQ((p >> 8) & 0xFF, b);
        EXPECT_EQ((p >> 16) & 0xFF, b);
        if (b == 255) ++full;
        else if (b > 0) ++partial;
    }
    EXPECT_GT(full, 20);
    EXPECT_GT(partial, 4);
    EXPECT_EQ(pixels[0], 0u);  // the top-left corner is background
}

TEST_F(GdiText, ExtentAddsWholePixelAdvancesAndAbcWidthsMatchTheInk) {
    useFont(16);
    EXPECT_EQ(extent(u"").cx, 0);
    EXPECT_EQ(extent(u"").cy, 16);
    EXPECT_EQ(extent(u"AVAW").cx, extent(u"AV").cx + extent(u"AW").cx);
    useFont(32);
    for (char16_t c : {u'W', u'j', u'f', u'.'}) {
        ABC abc;
        ASSERT_TRUE(GetCharABCWidthsW(dc, c, c, &abc));
        const std::u16string one(1, c);
        EXPECT_EQ(abc.abcA + int32_t(abc.abcB) + abc.abcC, extent(one).cx);
        // Drawn at x = -A, the leftmost ink is in column 0 and the rightmost in column B - 1.
        const int w = extent(one).cx + 40;
        uint32_t* pixels = useBitmap(w, 32, 0);
        ASSERT_TRUE(TextOutW(dc, 10 - abc.abcA, 0, one.data(), 1));
        int first = w, last = -1;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < w; ++x)
                if (pixels[y * w + x] & 0xFF) {
                    first = std::min(first, x);
                    last = std::max(last, x);
                }
        EXPECT_EQ(first, 10) << char(c);
        EXPECT_EQ(last, 10 + int(abc.abcB) - 1) << char(c);
    }
}

TEST_F(GdiText, TextMeasuredWithItsOverhangsFitsItsBitmapWithAOnePixelMargin) {
    // The engine's font measures extent plus the negative A of the first and C of the last
    // character, plus one pixel each side, and draws at the left overhang: no ink may be lost.
    for (int32_t height : {12, 16, 23}) {
        useFont(height);
        for (std::u16string text : {u"jaf", u"Wolf", u"\u0192x\u0192", u"j", u"Tj.f"}) {
            const SIZE size = extent(text);
            ABC first, last;
            ASSERT_TRUE(GetCharABCWidthsW(dc, text.front(), text.front(), &first));
            ASSERT_TRUE(GetCharABCWidthsW(dc, text.back(), text.back(), &last));
            int left = 0, right = 0;
            int w = size.cx;
            if (first.abcA < 0) {
                w -= first.abcA;
                left = -first.abcA;
            }
            if (last.abcC < 0) {
                w -= last.abcC;
                right = -last.abcC;
            }
            w += 2;
            ++left;
            ++right;
            uint32_t* pixels = useBitmap(w, size.cy, 0);
            ASSERT_TRUE(TextOutW(dc, left, 0, text.data(), int(text.size())));
            int inkFirst = w, inkLast = -1;
            for (int y = 0; y < size.cy; ++y)
                for (int x = 0; x < w; ++x)
                    if (pixels[y * w + x] & 0xFF) {
                        inkFirst = std::min(inkFirst, x);
                        inkLast = std::max(inkLast, x);
                    }
            EXPECT_GE(inkFirst, 1) << wideToUtf8Test(text) << " at " << height;
            EXPECT_LE(inkLast, w - 2) << wideToUtf8Test(text) << " at " << height;
        }
    }
}

TEST(GdiFaces, ArialAndTahomaResolveToInstalledFreeFaces) {
    EXPECT_EQ(FontFileResolver::substituteFamily(u"Arial"), "Liberation Sans");
    EXPECT_EQ(FontFileResolver::substituteFamily(u"Tahoma"), "DejaVu Sans");
    EXPECT_EQ(FontFileResolver::substituteFamily(u"Verdana"), "Verdana");
    VESK_REQUIRE_GENERATED(std::filesystem::exists(kDejaVuSans), kDejaVuSans);
    const std::string arial = FontFileResolver::resolve(u"Arial", FW_NORMAL, false);
    const std::string tahoma = FontFileResolver::resolve(u"Tahoma", FW_NORMAL, false);
    EXPECT_NE(arial.find("LiberationSans-Regular"), std::string::npos) << arial;
    EXPECT_NE(tahoma.find("DejaVuSans.ttf"), std::string::npos) << tahoma;
}

TEST(GdiFaces, APinnedFileWinsOverFontconfig) {
    VESK_REQUIRE_GENERATED(std::filesystem::exists(kDejaVuMono), kDejaVuMono);
    pinFontFile(u"Tahoma", kDejaVuMono);
    const LOGFONTW lf = describe(u"Tahoma", 20);
    HFONT font = CreateFontIndirectW(&lf);
    pinFontFile(u"Tahoma", "");
    ASSERT_NE(font, nullptr);
    EXPECT_EQ(font->filePath, kDejaVuMono);
    HDC dc = CreateCompatibleDC(nullptr);
    SelectObject(dc, font);
    SIZE narrow, wide;
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"iii", 3, &narrow));
    ASSERT_TRUE(GetTextExtentPoint32W(dc, u"WWW", 3, &wide));
    EXPECT_EQ(narrow.cx, wide.cx);  // monospaced
    // A selected font is not deleted; once the context is gone it is.
    EXPECT_FALSE(DeleteObject(font));
    DeleteDC(dc);
    EXPECT_TRUE(DeleteObject(font));
}

TEST(GdiFaces, BadRequestsFailWithoutAnObject) {
    LOGFONTW unterminated = describe(u"", 12);
    for (char16_t& c : unterminated.lfFaceName) c = u'A';
    EXPECT_EQ(CreateFontIndirectW(&unterminated), nullptr);
    pinFontFile(u"Missing", "/nonexistent/font.ttf");
    const LOGFONTW missing = describe(u"Missing", 12);
    EXPECT_EQ(CreateFontIndirectW(&missing), nullptr);
    pinFontFile(u"Missing", "");

    HDC dc = CreateCompatibleDC(nullptr);
    BITMAPINFO info;
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = 4;
    info.bmiHeader.biHeight = -4;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    void* bits = reinterpret_cast<void*>(1);
    EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    EXPECT_EQ(bits, nullptr);
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biWidth = 0;
    EXPECT_EQ(CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
    // Without a font there is nothing to measure or draw.
    SIZE size;
    EXPECT_FALSE(GetTextExtentPoint32W(dc, u"a", 1, &size));
    EXPECT_FALSE(TextOutW(dc, 0, 0, u"a", 1));
    DeleteDC(dc);
}
