#include "media/FontGDI.h"

#include "engine/ErrorManager.h"
#include "engine/Logger.h"
#include "media/FontCache.h"
#include "media/FontCacheEntry.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/TextTrace.h"
#include "media/Texture.h"

using namespace platform;

QEL_IMPLEMENT_CLASS(FontGDI, &QelBase::classRecord, nullptr)

FontGDI::FontGDI(int height, Vector3 fontScale, WStringView fontName) : pixelHeight(height), scale(fontScale) {
    const char16_t* fn = u"FontGDI::FontGDI";
    // A vertical scale of zero would divide by nothing: the height is then taken as it is.
    rawHeight = scale.y > 0.0f ? int32_t(float(pixelHeight) / scale.y) : pixelHeight;
    fontBaselineRaw = rawHeight * 80 / 100;
    fontUppercaseLineRaw = rawHeight * 20 / 100;
    fontLowercaseLineRaw = rawHeight * 34 / 100;
    qelLog(fn, u"Creating GDI font (height=%d pixels, raw=%d).", pixelHeight, rawHeight);
    qelLog(fn, u"fontBaselineRaw=%d, fontUppercaseLineRaw=%d, fontLowercaseLineRaw=%d", fontBaselineRaw, fontUppercaseLineRaw,
           fontLowercaseLineRaw);

    const int ps = Texture::pixelScale();
    LOGFONTW lf;
    lf.lfHeight = ps * rawHeight;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    QEL_ASSERT(fn, fontName.length() < LF_FACESIZE - 1);
    for (size_t i = 0; i < fontName.size(); ++i) lf.lfFaceName[i] = fontName[i];
    hFont = CreateFontIndirectW(&lf);
    QEL_ASSERT(fn, hFont != NULL);
    hDC = CreateCompatibleDC(nullptr);
    QEL_ASSERT(fn, hDC != NULL);
    SetMapMode(hDC, MM_TEXT);
    SelectObject(hDC, hFont);
    SetBkMode(hDC, OPAQUE);
    SetBkColor(hDC, 0x000000);
    SetTextAlign(hDC, TA_LEFT | TA_TOP);
    SetTextColor(hDC, 0xFFFFFF);

    pFontCache = new FontCache(format(u"%s%dpx", fontName, pixelHeight), ps * rawHeight + 1, true);
}

FontGDI::~FontGDI() {
    delete pFontCache;
    pFontCache = nullptr;
    if (hDC) DeleteDC(hDC);
    if (hFont) DeleteObject(hFont);
    hDC = nullptr;
    hFont = nullptr;
}

std::pair<int, int> FontGDI::measureText(WStringView text, int* leftOverhang, int* rightOverhang) {
    if (text.empty()) return {0, rawHeight};
    SIZE extent;
    GetTextExtentPoint32W(hDC, text.data(), int(text.size()), &extent);
    ABC first, last;
    GetCharABCWidthsW(hDC, text.front(), text.front(), &first);
    GetCharABCWidthsW(hDC, text.back(), text.back(), &last);
    int width = extent.cx;
    if (first.abcA < 0) {
        width += -first.abcA;
        if (leftOverhang) *leftOverhang = -first.abcA;
    }
    if (last.abcC < 0) {
        width += -last.abcC;
        if (rightOverhang) *rightOverhang = -last.abcC;
    }
    width += 2;
    if (leftOverhang) *leftOverhang += 1;
    if (rightOverhang) *rightOverhang += 1;
    const int ps = Texture::pixelScale();
    return {width / ps, extent.cy / ps};
}

std::pair<float, float> FontGDI::getTextSize(WStringView text) {
    auto [w, h] = measureText(text, nullptr, nullptr);
    return {float(w) * scale.x, float(h) * scale.y};
}

FontCacheEntry* FontGDI::getCacheEntry(WStringView text) {
    if (FontCacheEntry* cached = pFontCache->findText(text)) return cached;
    int left = 0;
    auto [w, h] = measureText(text, &left, nullptr);
    const int ps = Texture::pixelScale();
    w *= ps;
    h *= ps;
    if (w <= 0 || h <= 0) return nullptr;
    BITMAPINFO info;
    info.bmiHeader.biSize = 40;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(hDC, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!bitmap || !bits) return nullptr;
    HGDIOBJ previous = SelectObject(hDC, bitmap);
    TextOutW(hDC, left, 0, text.data(), int(text.size()));
    FontCacheEntry* entry = pFontCache->addTextFromGDI(static_cast<const uint32_t*>(bits), text, w, h);
    SelectObject(hDC, previous);
    DeleteObject(bitmap);
    return entry;
}

void FontGDI::drawAligned(Renderable* owner, int flags, WStringView text) {
    if (text.empty() || !owner) return;
    auto [w, h] = measureText(text, nullptr, nullptr);
    (void)h;
    int x = 0, y = 0;
    if (flags & 0x8) x = -w;
    if (flags & 0x4) x -= w / 2;
    if (flags & 0x10) y += rawHeight / 2;
    if (flags & 0x20) y += rawHeight;
    if (flags & 0x40) y += (fontUppercaseLineRaw + fontBaselineRaw) / 2;
    if (flags & 0x80) y += fontBaselineRaw;
    float px = float(x) * scale.x;
    const float py = float(y) * scale.y;
    uint32_t colour = owner->color;
    if (TextTrace::active) {
        D3DXMATRIX scaled;
        D3DXMatrixScaling(&scaled, scale.x, scale.y, 1.0f);
        D3DXMatrixMultiply(&scaled, &scaled, &owner->worldXform);
        if (!TextTrace::onText(scaled, float(x), float(y), float(w), float(rawHeight),
                               float(fontBaselineRaw - fontUppercaseLineRaw), colour,
                               u"GDI", text))
            return;
    }

    Renderable placed;
    placed.color = colour;
    placed.bSkipVisibility = true;
    for (FontCacheEntry* line = getCacheEntry(text); line; line = line->pNext) {
        Vector3 position(px, py, 0.0f);
        placed.set(nullptr, &position, nullptr, &scale, nullptr, &owner->worldXform);
        line->draw(&placed);
        px += line->pQuad->width * scale.x;
    }
}

void FontGDI::drawText(float x, float y, float z, uint32_t color, int flags, WStringView text) {
    Renderable owner;
    owner.color = color;
    Vector3 position(x, y, z);
    owner.set(nullptr, &position, nullptr, nullptr, nullptr, nullptr);
    drawAligned(&owner, flags, text);
}
