#include "platform/Gdi.h"

#include <algorithm>
#include <utility>
#include <vector>

#include "platform/FontFileResolver.h"

namespace platform {

namespace {

// The stock bitmap every new device context holds.
GdiBitmap& stockBitmap() {
    static GdiBitmap bitmap(1, 1, true, true);
    return bitmap;
}

std::u32string decode(const char16_t* text, int count) {
    std::u32string out;
    for (int i = 0; i < count; ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < count && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (char32_t(text[i + 1]) - 0xDC00);
            ++i;
        }
        out += c;
    }
    return out;
}

// COLORREF 0x00BBGGRR to a bitmap word 0x00RRGGBB.
uint32_t toPixel(COLORREF c) { return ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF); }

uint32_t blend(uint32_t background, uint32_t foreground, unsigned coverage) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int b = int((background >> shift) & 0xFF);
        const int f = int((foreground >> shift) & 0xFF);
        const int v = b + ((f - b) * int(coverage) + (f >= b ? 127 : -127)) / 255;
        out |= uint32_t(v) << shift;
    }
    return out;
}

}  // namespace

HFONT CreateFontIndirectW(const LOGFONTW* description) {
    if (!description) return nullptr;
    size_t length = 0;
    while (length < LF_FACESIZE && description->lfFaceName[length]) ++length;
    if (length == LF_FACESIZE) return nullptr;
    const std::u16string_view faceName(description->lfFaceName, length);
    const std::string path = FontFileResolver::resolve(faceName, description->lfWeight, description->lfItalic != 0);
    auto* font = new GdiFont(path, description->lfHeight);
    if (!font->bValid) {
        delete font;
        return nullptr;
    }
    return font;
}

HDC CreateCompatibleDC(HDC) {
    auto* dc = new GdiDeviceContext();
    dc->bitmap = &stockBitmap();
    ++dc->bitmap->selectedCount;
    return dc;
}

bool DeleteDC(HDC dc) {
    if (!dc) return false;
    if (dc->font) --dc->font->selectedCount;
    if (dc->bitmap) --dc->bitmap->selectedCount;
    delete dc;
    return true;
}

HGDIOBJ SelectObject(HDC dc, HGDIOBJ object) {
    if (!dc || !object) return nullptr;
    GdiObject* previous = nullptr;
    if (object->kind == GdiObject::KIND_FONT) {
        previous = dc->font;
        dc->font = static_cast<GdiFont*>(object);
    } else {
        previous = dc->bitmap;
        dc->bitmap = static_cast<GdiBitmap*>(object);
    }
    ++object->selectedCount;
    if (previous) --previous->selectedCount;
    return previous;
}

bool DeleteObject(HGDIOBJ object) {
    if (!object || object->bStock || object->selectedCount > 0) return false;
    delete object;
    return true;
}

int SetMapMode(HDC dc, int mode) {
    if (!dc) return 0;
    return std::exchange(dc->mapMode, mode);
}

int SetBkMode(HDC dc, int mode) {
    if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
    return std::exchange(dc->backgroundMode, mode);
}

COLORREF SetBkColor(HDC dc, COLORREF colour) {
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->backgroundColour, colour & 0x00FFFFFF);
}

uint32_t SetTextAlign(HDC dc, uint32_t align) {
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->textAlign, align);
}

COLORREF SetTextColor(HDC dc, COLORREF colour) {
    if (!dc) return 0xFFFFFFFF;
    return std::exchange(dc->textColour, colour & 0x00FFFFFF);
}

bool GetTextExtentPoint32W(HDC dc, const char16_t* text, int count, SIZE* size) {
    if (!dc || !dc->font || !size || count < 0 || (count > 0 && !text)) return false;
    int32_t width = 0;
    for (char32_t c : decode(text, count)) width += dc->font->glyph(c).advance;
    size->cx = width;
    size->cy = dc->font->cellHeight;
    return true;
}

bool GetCharABCWidthsW(HDC dc, uint32_t first, uint32_t last, ABC* widths) {
    if (!dc || !dc->font || !widths || last < first) return false;
    for (uint32_t c = first; c <= last; ++c) {
        const GdiFont::Glyph& g = dc->font->glyph(c);
        ABC& abc = widths[c - first];
        abc.abcA = g.width > 0 ? g.left : 0;
        abc.abcB = uint32_t(g.width);
        abc.abcC = g.advance - abc.abcA - g.width;
    }
    return true;
}

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* info, uint32_t usage, void** bits, void*, uint32_t) {
    if (bits) *bits = nullptr;
    if (!info || usage != DIB_RGB_COLORS) return nullptr;
    const BITMAPINFOHEADER& h = info->bmiHeader;
    const int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biBitCount != 32 || h.biCompression != BI_RGB ||
        h.biWidth <= 0 || height <= 0 || int64_t(h.biWidth) * height > (int64_t(1) << 26))
        return nullptr;
    auto* bitmap = new GdiBitmap(h.biWidth, int32_t(height), h.biHeight < 0);
    if (bits) *bits = bitmap->pixels.data();
    return bitmap;
}

bool TextOutW(HDC dc, int x, int y, const char16_t* text, int count) {
    if (!dc || !dc->font || !dc->bitmap || count < 0 || (count > 0 && !text)) return false;
    GdiFont& font = *dc->font;
    GdiBitmap& target = *dc->bitmap;
    const std::u32string chars = decode(text, count);
    if (dc->backgroundMode == OPAQUE) {
        int32_t width = 0;
        for (char32_t c : chars) width += font.glyph(c).advance;
        const uint32_t fill = toPixel(dc->backgroundColour);
        for (int32_t row = 0; row < font.cellHeight; ++row)
            for (int32_t column = 0; column < width; ++column)
                if (uint32_t* p = target.pixel(x + column, y + row)) *p = fill;
    }
    const uint32_t foreground = toPixel(dc->textColour);
    const int32_t baseline = y + font.ascent;
    int32_t pen = x;
    for (char32_t c : chars) {
        const GdiFont::Glyph& g = font.glyph(c);
        for (int32_t gy = 0; gy < g.height; ++gy) {
            for (int32_t gx = 0; gx < g.width; ++gx) {
                const unsigned coverage = g.coverage[size_t(gy) * size_t(g.width) + size_t(gx)];
                const int32_t row = baseline - g.top + gy;
                // Ink stays inside the cell, as the text's bitmap is made exactly one cell high.
                if (coverage == 0 || row < y || row >= y + font.cellHeight) continue;
                if (uint32_t* p = target.pixel(pen + g.left + gx, row))
                    *p = blend(*p & 0x00FFFFFF, foreground, coverage);
            }
        }
        pen += g.advance;
    }
    return true;
}

void pinFontFile(std::u16string_view faceName, const std::string& path) { FontFileResolver::pin(faceName, path); }

}  // namespace platform
