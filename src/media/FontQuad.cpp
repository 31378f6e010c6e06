#include "media/FontQuad.h"

#include <cmath>

#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "language/Language.h"
#include "media/CodePageTable.h"
#include "media/FontCache.h"
#include "media/FontCacheEntry.h"
#include "media/FontGDI.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "media/TextTrace.h"

QEL_IMPLEMENT_CLASS(FontQuad, &QelBase::classRecord, nullptr)

namespace {

// The current language's text of an id; empty without a language.
WString languageText(TextId id) {
    if (!qel || !qel->pLanguage) return WString();
    const char16_t* text = qel->pLanguage->getText(id);
    return text ? WString(text) : WString();
}

constexpr char16_t GRAVE = 0x0060, ACUTE = 0x00B4, CIRCUMFLEX = 0x02C6, TILDE = 0x02DC, DIAERESIS = 0x00A8, RING = 0x00B0,
                   CEDILLA = 0x00B8, OGONEK = 0x02DB, DOT_ABOVE = 0x02D9;

struct Composite {
    char16_t composite, base, accent;
    int accentY;
};

constexpr int AUTO = -999;

const Composite kComposites1250[] = {
    {0x0104, u'A', OGONEK, 0},    {0x0106, u'C', ACUTE, AUTO},     {0x0118, u'E', OGONEK, 0},    {0x0143, u'N', ACUTE, AUTO},
    {0x00D3, u'O', ACUTE, AUTO},  {0x015A, u'S', ACUTE, AUTO},     {0x0179, u'Z', ACUTE, AUTO},  {0x017B, u'Z', DOT_ABOVE, AUTO},
    {0x0105, u'a', OGONEK, 0},    {0x0107, u'c', ACUTE, AUTO},     {0x0119, u'e', OGONEK, 0},    {0x0144, u'n', ACUTE, AUTO},
    {0x00F3, u'o', ACUTE, AUTO},  {0x015B, u's', ACUTE, AUTO},     {0x017A, u'z', ACUTE, AUTO},  {0x017C, u'z', DOT_ABOVE, AUTO},
};

const Composite kComposites1252[] = {
    {0x0178, u'Y', DIAERESIS, AUTO},
    {0x00C0, u'A', GRAVE, AUTO},     {0x00C1, u'A', ACUTE, AUTO},     {0x00C2, u'A', CIRCUMFLEX, AUTO},
    {0x00C3, u'A', TILDE, AUTO},     {0x00C4, u'A', DIAERESIS, AUTO}, {0x00C5, u'A', RING, AUTO},
    {0x00C7, u'C', CEDILLA, 0},
    {0x00C8, u'E', GRAVE, AUTO},     {0x00C9, u'E', ACUTE, AUTO},     {0x00CA, u'E', CIRCUMFLEX, AUTO}, {0x00CB, u'E', DIAERESIS, AUTO},
    {0x00CC, u'I', GRAVE, AUTO},     {0x00CD, u'I', ACUTE, AUTO},     {0x00CE, u'I', CIRCUMFLEX, AUTO}, {0x00CF, u'I', DIAERESIS, AUTO},
    {0x00D1, u'N', TILDE, AUTO},
    {0x00D2, u'O', GRAVE, AUTO},     {0x00D3, u'O', ACUTE, AUTO},     {0x00D4, u'O', CIRCUMFLEX, AUTO},
    {0x00D5, u'O', TILDE, AUTO},     {0x00D6, u'O', DIAERESIS, AUTO},
    {0x00D9, u'U', GRAVE, AUTO},     {0x00DA, u'U', ACUTE, AUTO},     {0x00DB, u'U', CIRCUMFLEX, AUTO}, {0x00DC, u'U', DIAERESIS, AUTO},
    {0x00DD, u'Y', ACUTE, AUTO},
    {0x00E0, u'a', GRAVE, AUTO},     {0x00E1, u'a', ACUTE, AUTO},     {0x00E2, u'a', CIRCUMFLEX, AUTO},
    {0x00E3, u'a', TILDE, AUTO},     {0x00E4, u'a', DIAERESIS, AUTO}, {0x00E5, u'a', RING, AUTO},
    {0x00E7, u'c', CEDILLA, 0},
    {0x00E8, u'e', GRAVE, AUTO},     {0x00E9, u'e', ACUTE, AUTO},     {0x00EA, u'e', CIRCUMFLEX, AUTO}, {0x00EB, u'e', DIAERESIS, AUTO},
    {0x00EC, 0x007F, GRAVE, AUTO},   {0x00ED, 0x007F, ACUTE, AUTO},   {0x00EE, 0x007F, CIRCUMFLEX, AUTO},
    {0x00EF, 0x007F, DIAERESIS, AUTO},
    {0x00F1, u'n', TILDE, AUTO},
    {0x00F2, u'o', GRAVE, AUTO},     {0x00F3, u'o', ACUTE, AUTO},     {0x00F4, u'o', CIRCUMFLEX, AUTO},
    {0x00F5, u'o', TILDE, AUTO},     {0x00F6, u'o', DIAERESIS, AUTO},
    {0x00F9, u'u', GRAVE, AUTO},     {0x00FA, u'u', ACUTE, AUTO},     {0x00FB, u'u', CIRCUMFLEX, AUTO}, {0x00FC, u'u', DIAERESIS, AUTO},
    {0x00FD, u'y', ACUTE, AUTO},     {0x00FF, u'y', DIAERESIS, AUTO},
};

}  // namespace

FontQuad::FontQuad() = default;

FontQuad::~FontQuad() {
    delete pFontGDI;
    pFontGDI = nullptr;
    delete pFontCache;
    pFontCache = nullptr;
    for (FontSymbol*& page : glyphPages) {
        delete[] page;
        page = nullptr;
    }
}

void FontQuad::copyScaledValues() {
    lineHeight = fontHeightRaw;
    capHeightScaled = capHeight;
    accentLiftUpperScaled = accentLiftUpper;
    accentLiftLowerScaled = accentLiftLower;
}

void FontQuad::onRestorePresentation() { copyScaledValues(); }

FontSymbol& FontQuad::getSymbol(char16_t c) {
    FontSymbol*& page = glyphPages[c >> 8];
    if (!page) page = new FontSymbol[256]();
    return page[c & 0xFF];
}

int FontQuad::getAdvance(const FontSymbol& symbol) const {
    return symbol.pBaseQuad ? int(symbol.pBaseQuad->width) : spaceWidth;
}

void FontQuad::addSourceTexture(Texture* texture, uint16_t firstSymbol, bool bIdentity) {
    const char16_t* fn = u"FontQuad::addSourceTexture";
    if (firstSymbol != 0xFFFF) nextSymbolToLoad = firstSymbol;
    CodePageTable table;
    if (bIdentity) {
        for (uint32_t n = 0; n < 256; ++n) table.entries.push_back(n);
    } else {
        table.selectForCodePage(languageText(LANGUAGECODEPAGE));
    }
    const size_t codepage2unicodeEntries = table.entries.size();
    Texture* _pTexture = texture;
    QEL_ASSERT(fn, nextSymbolToLoad + _pTexture->skins.size() <= codepage2unicodeEntries);
    for (Skin* skin : texture->skins) {
        // Glyphs are single quads: a glyph texture is never split into tiles.
        QEL_ASSERT(fn, skin->isKindOf(&Quad::classRecord));
        if (nextSymbolToLoad != 32) {
            FontSymbol* sym = &getSymbol(table.codeUnit(nextSymbolToLoad));
            QEL_ASSERT(fn, sym->pBaseQuad == NULL);
            sym->pBaseQuad = static_cast<Quad*>(skin);
            sym->pBaseQuad->setAnchor(7);
            sym->spacing = letterSpacing;
            if (nextSymbolToLoad < 256) {
                fontHeightRaw = std::max(fontHeightRaw, int32_t(sym->pBaseQuad->height));
            } else {
                QEL_ASSERT(fn, sym->pBaseQuad->height <= fontHeightRaw);
            }
        }
        ++nextSymbolToLoad;
    }
}

void FontQuad::loadFontTextures(WStringView baseName) {
    fontName = WString(baseName);
    ResourceManager* resources = qel ? qel->pResourceManager : nullptr;
    if (!resources) return;
    auto addNumbered = [&](const char16_t* pattern, uint16_t first) {
        for (int n = 1;; ++n) {
            QelBase* found = resources->find(false, format(pattern, fontName, n));
            if (!found || !found->isKindOf(&Texture::classRecord)) break;
            addSourceTexture(static_cast<Texture*>(found), n == 1 ? first : 0xFFFF);
        }
    };
    addNumbered(u"%s%d", 0);
    addNumbered(u"%sExtra%d", 256);
}

void FontQuad::setCompositeChar(char16_t composite, char16_t base, char16_t accent, int accentY) {
    FontSymbol* sym = &getSymbol(composite);
    const FontSymbol& baseSymbol = getSymbol(base);
    const FontSymbol& accentSymbol = getSymbol(accent);
    sym->pBaseQuad = baseSymbol.pBaseQuad;
    sym->pAccentQuad = accentSymbol.pBaseQuad;
    QEL_ASSERT(u"FontQuad::setCompositeChar", sym->pAccentQuad != NULL);
    sym->spacing = baseSymbol.spacing;
    const float baseWidth = sym->pBaseQuad ? sym->pBaseQuad->width : 0.0f;
    sym->accentX = int((baseWidth + 1.0f - sym->pAccentQuad->width) * 0.5f);
    if (accentY != AUTO) {
        sym->accentY = accentY;
    } else {
        const bool bLower = (base >= 0x61 && base <= 0x7A) || base == 0x7F;
        sym->accentY = int(1.0f + sym->pAccentQuad->height - float(bLower ? accentLiftLower : accentLiftUpper));
    }
}

void FontQuad::defineCompositeChars() {
    if (languageText(LANGUAGECOMPOSITECHARS) != u"Yes") return;
    const WString codePage = languageText(LANGUAGECODEPAGE);
    if (codePage == u"1250") {
        for (const Composite& c : kComposites1250) setCompositeChar(c.composite, c.base, c.accent, c.accentY);
    } else if (codePage == u"1252") {
        for (const Composite& c : kComposites1252) setCompositeChar(c.composite, c.base, c.accent, c.accentY);
    }
}

void FontQuad::createFontCache() {
    for (char16_t c : {u'A', u'a', u'0'}) {
        const FontSymbol& s = getSymbol(c);
        if (s.pBaseQuad) {
            capHeight = int32_t(s.pBaseQuad->height);
            break;
        }
    }
    delete pFontCache;
    pFontCache = new FontCache(format(u"%s%dpx", fontName, fontHeightRaw), Texture::pixelScale() * fontHeightRaw + 1,
                               bWhiteCacheBackground);
    copyScaledValues();
}

FontGDI* FontQuad::getFontGDI() {
    if (!pFontGDI) pFontGDI = new FontGDI(lineHeight, Vector3(0.75f, 1.0f, 1.0f), u"Tahoma");
    return pFontGDI;
}

std::pair<int, int> FontQuad::measureLine(bool bTrailingSpacing, int* limit, WStringView text) {
    int width = 0;
    const int count = int(text.size());
    for (int i = 0; i < count; ++i) {
        const FontSymbol& s = getSymbol(text[size_t(i)]);
        int advance = getAdvance(s);
        if (bTrailingSpacing || i != count - 1) advance += s.spacing;
        if (limit && width + advance > *limit) {
            *limit = i;
            return {width, fontHeightRaw};
        }
        width += advance;
    }
    if (limit) *limit = count;
    return {width, fontHeightRaw};
}

std::pair<float, float> FontQuad::getTextSize(bool bTrailingSpacing, int* limit, int flags, WStringView text) {
    if (flags & USE_GDI) {
        if (limit) *limit = int(text.size());
        return getFontGDI()->getTextSize(text);
    }
    auto [w, h] = measureLine(bTrailingSpacing, limit, text);
    return {float(w), float(h)};
}

std::pair<float, float> FontQuad::getTextWidth(WStringView text) {
    float width = 0.0f, height = 0.0f;
    size_t start = 0;
    auto measureRun = [&](size_t end) {
        auto [w, h] = measureLine(true, nullptr, text.substr(start, end - start));
        width += float(w);
        height = std::max(height, float(h));
    };
    for (size_t i = 0; i < text.size();) {
        if (text[i] == COLOR_SWITCH) {
            measureRun(i);
            i = std::min(text.size(), i + 9);
            start = i;
        } else {
            ++i;
        }
    }
    measureRun(text.size());
    return {width, height};
}

int FontQuad::alignY(int flags) const {
    int y = 0;
    if (flags & ALIGN_HALF_HEIGHT) y += fontHeightRaw / 2;
    if (flags & ALIGN_HEIGHT) y += fontHeightRaw;
    if (flags & ALIGN_HALF_CAP) y += (accentLiftUpper + capHeight) / 2;
    if (flags & ALIGN_CAP) y += capHeight;
    return y;
}

void FontQuad::drawAligned(Renderable* owner, int flags, WStringView text) {
    if (text.empty() || !owner) return;
    if (flags & USE_GDI) {
        getFontGDI()->drawAligned(owner, flags, text);
        return;
    }
    const int width = measureLine(false, nullptr, text).first;
    int x = 0;
    if (flags & ALIGN_CENTER) x -= width / 2;
    if (flags & ALIGN_RIGHT) x -= width;
    const int y = alignY(flags);
    uint32_t colour = owner->color;
    // The glyph cells hold the face's ascent and descent; its capitals take kCapShare of them.
    constexpr float kCapShare = 0.63f;
    if (TextTrace::active && !TextTrace::onText(owner->worldXform, float(x), float(y), float(width), float(fontHeightRaw),
                                                kCapShare * float(fontHeightRaw), colour, fontName, text))
        return;

    Renderable glyph;
    glyph.bSkipVisibility = true;
    glyph.color = colour;
    auto drawAt = [&](Skin* skin, float px, float py) {
        Vector3 position(px, py, 0.0f);
        glyph.pSkin = nullptr;
        glyph.set(skin, &position, nullptr, nullptr, nullptr, &owner->worldXform);
        glyph.render();
    };

    float pen = float(x);
    for (char16_t c : text) {
        const FontSymbol& s = getSymbol(c);
        if (s.pAccentQuad) drawAt(s.pAccentQuad, pen + float(s.accentX), float(y + s.accentY));
        pen += float(getAdvance(s) + s.spacing);
    }

    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    const bool bGlyphPath = !bUseFontCache || !pFontCache || !g || !g->bEnableFontCache || (flags & NO_FONT_CACHE) ||
                            text.size() < 4;
    pen = float(x);
    if (bGlyphPath) {
        for (char16_t c : text) {
            const FontSymbol& s = getSymbol(c);
            if (s.pBaseQuad) drawAt(s.pBaseQuad, pen, float(y));
            pen += float(s.spacing + getAdvance(s));
        }
        return;
    }
    FontCacheEntry* entry = pFontCache->findText(text);
    if (!entry) entry = pFontCache->addTextFromFontQuad(this, text);
    for (; entry; entry = entry->pNext) {
        Vector3 position(pen, float(y), 0.0f);
        glyph.pSkin = nullptr;
        glyph.set(nullptr, &position, nullptr, nullptr, nullptr, &owner->worldXform);
        entry->draw(&glyph);
        pen += entry->pQuad->width;
    }
}

void FontQuad::drawText(float x, float y, float z, uint32_t color, int flags, WStringView text) {
    Renderable owner;
    owner.color = color;
    Vector3 position(x, y, z);
    owner.set(nullptr, &position, nullptr, nullptr, nullptr, nullptr);
    drawAligned(&owner, flags, text);
}

void FontQuad::renderText(Renderable* owner, int flags, float shadowX, float shadowY, float shadowZ, uint32_t shadowColor,
                          WStringView text) {
    QelGraphics* g = qel ? qel->pQelGraphics : nullptr;
    if (g && g->bHighDetail) {
        const Vector3 position = owner->position;
        const uint32_t color = owner->color;
        Vector3 moved = position + Vector3(shadowX, shadowY, shadowZ);
        owner->color = shadowColor;
        owner->set(nullptr, &moved, nullptr, nullptr, nullptr, nullptr);
        {
            TextTrace::Decoration shadow;
            drawAligned(owner, flags, text);
        }
        owner->color = color;
        owner->set(nullptr, &position, nullptr, nullptr, nullptr, nullptr);
    }
    drawAligned(owner, flags, text);
}

void FontQuad::drawTextAt(float x, float y, float z, uint32_t color, int, float shadowX, float shadowY, float shadowZ,
                          uint32_t shadowColor, WStringView text) {
    Renderable owner;
    owner.color = color;
    Vector3 position(x, y, z);
    owner.set(nullptr, &position, nullptr, nullptr, nullptr, nullptr);
    renderText(&owner, 0x24, shadowX, shadowY, shadowZ, shadowColor, text);
}
