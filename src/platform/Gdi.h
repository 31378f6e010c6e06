#pragma once
// The text-rasterising calls the engine makes of the system's GDI, done on FreeType and
// fontconfig: fonts by face name ("Arial" and "Tahoma" stand in as installed free faces), memory
// device contexts, 32-bit device-independent bitmaps, measuring and drawing a line of text with
// grey antialiasing. The cell height of a font is exactly the positive height asked for.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/GdiBitmap.h"
#include "platform/GdiDeviceContext.h"
#include "platform/GdiFont.h"
#include "platform/GdiObject.h"

namespace platform {

using HGDIOBJ = GdiObject*;
using HFONT = GdiFont*;
using HBITMAP = GdiBitmap*;
using HDC = GdiDeviceContext*;
using COLORREF = uint32_t;  // 0x00BBGGRR

constexpr int LF_FACESIZE = 32;
constexpr int MM_TEXT = 1;
constexpr int TRANSPARENT = 1;
constexpr int OPAQUE = 2;
constexpr uint32_t TA_LEFT = 0;
constexpr uint32_t TA_TOP = 0;
constexpr uint8_t DEFAULT_CHARSET = 1;
constexpr int32_t FW_NORMAL = 400;
constexpr int32_t FW_BOLD = 700;
constexpr uint32_t BI_RGB = 0;
constexpr uint32_t DIB_RGB_COLORS = 0;

struct LOGFONTW {
    int32_t lfHeight = 0;
    int32_t lfWidth = 0;
    int32_t lfEscapement = 0;
    int32_t lfOrientation = 0;
    int32_t lfWeight = 0;
    uint8_t lfItalic = 0;
    uint8_t lfUnderline = 0;
    uint8_t lfStrikeOut = 0;
    uint8_t lfCharSet = 0;
    uint8_t lfOutPrecision = 0;
    uint8_t lfClipPrecision = 0;
    uint8_t lfQuality = 0;
    uint8_t lfPitchAndFamily = 0;
    char16_t lfFaceName[LF_FACESIZE] = {};
};

struct SIZE {
    int32_t cx = 0;
    int32_t cy = 0;
};

struct ABC {
    int32_t abcA = 0;
    uint32_t abcB = 0;
    int32_t abcC = 0;
};

struct BITMAPINFOHEADER {
    uint32_t biSize = 0;
    int32_t biWidth = 0;
    int32_t biHeight = 0;  // negative: rows run top-down
    uint16_t biPlanes = 0;
    uint16_t biBitCount = 0;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 0;
    int32_t biYPelsPerMeter = 0;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
static_assert(sizeof(BITMAPINFOHEADER) == 40);

struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    uint32_t bmiColors[1] = {};
};

// A font matching the description, or null when no font file can be found or opened.
HFONT CreateFontIndirectW(const LOGFONTW* description);
// A memory device context (the argument is not used: there is one screen format).
HDC CreateCompatibleDC(HDC reference);
bool DeleteDC(HDC dc);
// Selects a font or bitmap; returns the previous object of that kind (null on failure).
HGDIOBJ SelectObject(HDC dc, HGDIOBJ object);
// Deletes a font or bitmap; refuses stock objects and objects still selected.
bool DeleteObject(HGDIOBJ object);
int SetMapMode(HDC dc, int mode);
int SetBkMode(HDC dc, int mode);
COLORREF SetBkColor(HDC dc, COLORREF colour);
uint32_t SetTextAlign(HDC dc, uint32_t align);
COLORREF SetTextColor(HDC dc, COLORREF colour);
// Width (sum of whole-pixel advances) and cell height of count UTF-16 units.
bool GetTextExtentPoint32W(HDC dc, const char16_t* text, int count, SIZE* size);
// A, B and C widths of the characters first to last.
bool GetCharABCWidthsW(HDC dc, uint32_t first, uint32_t last, ABC* widths);
// A 32-bit uncompressed bitmap, zero-filled; *bits receives its pixels.
HBITMAP CreateDIBSection(HDC dc, const BITMAPINFO* info, uint32_t usage, void** bits, void* section, uint32_t offset);
// Draws the text with its cell's top-left at (x, y) into the selected bitmap; with the opaque
// background mode the cell is first filled with the background colour. Ink is clipped to the
// cell's rows.
bool TextOutW(HDC dc, int x, int y, const char16_t* text, int count);

// Makes a face name use this font file instead of fontconfig's match ("" removes the pin).
void pinFontFile(std::u16string_view faceName, const std::string& path);

}  // namespace platform
