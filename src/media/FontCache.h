#pragma once
// Square textures cut into horizontal lines of one height: each text drawn is stored once in one
// or more lines and drawn from there while it keeps being used; a first line not drawn for
// cacheTTLframes frames may be reused. Serves the GDI fonts and the bitmap fonts. The textures
// hold the only copy of the lines: a fill makes its line in memory and uploads it.

#include <cstdint>

#include "engine/QelBase.h"
#include "engine/Text.h"

class FontCacheEntry;
class FontQuad;
class Texture;

class FontCache : public QelBase {
    QEL_DECLARE_CLASS()
public:
    FontCache(WStringView name, int lineHeight, bool bClearToWhite);
    ~FontCache() override;

    void onQELmodeChange(int oldMode, int newMode) override;
    void purge() override;

    // The first line holding exactly the text, or null (always null for an empty text).
    FontCacheEntry* findText(WStringView text);
    FontCacheEntry* addTextFromGDI(const uint32_t* pixels, WStringView text, int width, int height);
    FontCacheEntry* addTextFromFontQuad(FontQuad* font, WStringView text);
    FontCacheEntry* getFreeLine();
    FontCacheEntry* createCacheTexture();
    // Deletes every line, then every texture.
    void dropAll();

    int32_t textureSide = 256;
    int32_t pixelScale = 1;
    int32_t maxPieceWidth = 254;
    WString name;
    int32_t lineHeight = 0;
    bool bClearToWhite = false;
    int32_t cacheTTLframes = 2;
    QelBase* textures = nullptr;
    QelBase* lines = nullptr;

private:
    // Chains a new line after the previous one of the same text (null: it is the first).
    FontCacheEntry* takeLine(FontCacheEntry* previous, WStringView text);
};
