#pragma once
// The engine's bitmap font: every glyph is a skin of a glyph texture, the order of the skins read
// through the language's code-page table. Accented characters are a base glyph plus an accent
// glyph. Measures and draws single lines with alignment flags and an optional drop shadow, hands
// text to a GDI font on request (flag 0x200), and draws texts of four characters or more as whole
// lines of the font cache.

#include <cstdint>
#include <utility>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "engine/Text.h"
#include "media/FontSymbol.h"

class FontCache;
class FontGDI;
class Renderable;
class Texture;

class FontQuad : public QelBase {
    QEL_DECLARE_CLASS()
public:
    enum : int {
        ALIGN_CENTER = 0x004,
        ALIGN_RIGHT = 0x008,
        ALIGN_HALF_HEIGHT = 0x010,
        ALIGN_HEIGHT = 0x020,
        ALIGN_HALF_CAP = 0x040,
        ALIGN_CAP = 0x080,
        NO_FONT_CACHE = 0x100,
        USE_GDI = 0x200,
    };
    static constexpr char16_t COLOR_SWITCH = 0x001E;

    FontQuad();
    ~FontQuad() override;
    void onRestorePresentation() override;

    // Every skin of the texture becomes the glyph of the next code-page position (0xFFFF:
    // continue from nextSymbolToLoad). With bIdentity position n is U+0000 + n.
    void addSourceTexture(Texture* texture, uint16_t firstSymbol = 0xFFFF, bool bIdentity = false);
    // "%s%d" from 1 from symbol 0, then "%sExtra%d" from 1 from symbol 256, while registered.
    void loadFontTextures(WStringView baseName);
    void setCompositeChar(char16_t composite, char16_t base, char16_t accent, int accentY = -999);
    void defineCompositeChars();
    void createFontCache();
    void setScaleFlag(bool) {}

    std::pair<float, float> getTextSize(bool bTrailingSpacing, int* limit, int flags, WStringView text);
    // The text without its colour switches, measured run by run.
    std::pair<float, float> getTextWidth(WStringView text);
    // Width and height in pixels of the art; with a limit, stops before the character that
    // would pass it and stores how many characters fit.
    std::pair<int, int> measureLine(bool bTrailingSpacing, int* limit, WStringView text);

    void drawAligned(Renderable* owner, int flags, WStringView text);
    void drawText(float x, float y, float z, uint32_t color, int flags, WStringView text);
    void renderText(Renderable* owner, int flags, float shadowX, float shadowY, float shadowZ, uint32_t shadowColor,
                    WStringView text);
    void drawTextAt(float x, float y, float z, uint32_t color, int unused, float shadowX, float shadowY, float shadowZ,
                    uint32_t shadowColor, WStringView text);

    // The record of a code unit; its page is made on first use.
    FontSymbol& getSymbol(char16_t c);
    // Advance of a character without its spacing: the glyph's width truncated, or spaceWidth.
    int getAdvance(const FontSymbol& symbol) const;
    FontCache* getFontCache() const { return pFontCache; }
    FontGDI* getFontGDI();

    int32_t spaceWidth = 4;
    int32_t letterSpacing = 1;
    int32_t fontHeightRaw = 0;
    int32_t capHeight = 0;
    int32_t accentLiftUpper = 0;
    int32_t accentLiftLower = 0;
    int32_t lineHeight = 0;
    int32_t capHeightScaled = 0;
    int32_t accentLiftUpperScaled = 0;
    int32_t accentLiftLowerScaled = 0;
    bool bUseFontCache = true;
    bool bWhiteCacheBackground = false;
    WString fontName = u"<unknown>";
    uint16_t nextSymbolToLoad = 0;

    // The current language's "LANGUAGECODEPAGE" and "LANGUAGECOMPOSITECHARS" texts (empty
    // without a language). Kept apart from the drawing code, whose graphics names clash with
    // text ids.
    static WString languageCodePage();
    static WString languageCompositeChars();

private:
    void copyScaledValues();
    // The vertical move of the alignment flags.
    int alignY(int flags) const;

    FontCache* pFontCache = nullptr;
    FontSymbol* glyphPages[256] = {};
    FontGDI* pFontGDI = nullptr;
};
