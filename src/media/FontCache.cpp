#include "media/FontCache.h"

#include <algorithm>

#include "engine/ErrorManager.h"
#include "engine/MemoryIniFile.h"
#include "engine/Qel.h"
#include "media/FontCacheEntry.h"
#include "media/MemoryImageFile.h"
#include "media/Texture.h"

QEL_IMPLEMENT_CLASS(FontCache, &QelBase::classRecord, nullptr)

FontCache::FontCache(WStringView cacheName, int lineHeight, bool bClearToWhite)
    : name(cacheName), lineHeight(lineHeight), bClearToWhite(bClearToWhite) {
    pixelScale = Texture::pixelScale();
    textureSide = 256 * pixelScale;
    maxPieceWidth = 254 * pixelScale;
    if (qel && qel->pConfig) {
        MemoryIniFile& c = *qel->pConfig;
        if (!c.hasKey(u"FontCache", u"cacheTTLframes")) c.setInt(2, u"FontCache", u"cacheTTLframes");
        cacheTTLframes = c.getInt(u"FontCache", u"cacheTTLframes");
    }
    // A line must stay at least the frame it was filled in, or a wide text would take back its
    // own first line while it is being stored.
    if (cacheTTLframes < 1) cacheTTLframes = 1;
    // Lines are children after the textures, so they go first at destruction.
    textures = new QelBase();
    addChild(textures);
    lines = new QelBase();
    addChild(lines);
}

FontCache::~FontCache() { dropAll(); }

void FontCache::dropAll() {
    if (lines) lines->releaseChildren();
    if (textures) textures->releaseChildren();
}

void FontCache::onQELmodeChange(int oldMode, int newMode) {
    if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_FROZEN) dropAll();
}

void FontCache::purge() { dropAll(); }

FontCacheEntry* FontCache::createCacheTexture() {
    const int count = lineHeight > 0 ? textureSide / lineHeight : 0;
    // No image of the texture is kept: lines are made in memory one at a time and uploaded.
    auto* texture = new Texture(textureSide, textureSide, textureSide > 256 ? uint32_t(Texture::FLAG_ALLOW_512) : 0u);
    texture->name = format(u"FontCacheTex%s[%d]", name, textures->countChildren());
    textures->addChild(texture);
    // The texture starts cleared, written a band of one line's height at a time.
    MemoryImageFile band(textureSide, std::clamp(lineHeight, 1, textureSide));
    band.clear(nullptr, bClearToWhite);
    for (int top = 0; top < textureSide; top += band.height) {
        const PixelRect part{0, 0, std::min(band.height, textureSide - top), textureSide};
        const PixelPoint at{0, top};
        texture->copyImageData(&band, &part, &at);
    }
    FontCacheEntry* result = nullptr;
    for (int t = 0; t < count; ++t) {
        auto* line = new FontCacheEntry(texture, pixelScale, 0, t * lineHeight, (t + 1) * lineHeight, textureSide);
        line->bClearToWhite = bClearToWhite;
        lines->addChild(line);
        if (!result) result = line;
    }
    QEL_ASSERT(u"FontCache::createCacheTexture", result != NULL);
    return result;
}

FontCacheEntry* FontCache::getFreeLine() {
    const int frame = (qel ? qel->frameCount : 0);
    for (BasicLink* l = lines->firstChild; l; l = l->next) {
        auto* line = static_cast<FontCacheEntry*>(l);
        if (line->bPrimaryLine && frame >= line->lastUsedFrame + cacheTTLframes) {
            line->releaseLine();
            return line;
        }
    }
    return createCacheTexture();
}

FontCacheEntry* FontCache::findText(WStringView text) {
    if (text.empty()) return nullptr;
    for (BasicLink* l = lines->firstChild; l; l = l->next) {
        auto* _o = static_cast<FontCacheEntry*>(l);
        if (_o->text == text) {
            QEL_ASSERT(u"FontCache::findText", _o->bPrimaryLine);
            return _o;
        }
    }
    return nullptr;
}

FontCacheEntry* FontCache::takeLine(FontCacheEntry* previous, WStringView text) {
    FontCacheEntry* line = getFreeLine();
    if (previous) {
        previous->pNext = line;
        line->bPrimaryLine = false;
    } else {
        line->text = WString(text);
    }
    return line;
}

FontCacheEntry* FontCache::addTextFromGDI(const uint32_t* pixels, WStringView text, int width, int height) {
    FontCacheEntry* first = nullptr;
    FontCacheEntry* previous = nullptr;
    for (int x = 0; x < width; x += maxPieceWidth) {
        FontCacheEntry* line = takeLine(previous, text);
        if (!first) first = line;
        line->fillCacheFromGDI(pixels, width, height, x, 0, height, std::min(x + maxPieceWidth, width));
        previous = line;
    }
    return first;
}

FontCacheEntry* FontCache::addTextFromFontQuad(FontQuad* font, WStringView text) {
    FontCacheEntry* first = nullptr;
    FontCacheEntry* previous = nullptr;
    WString remaining(text);
    while (!remaining.empty()) {
        FontCacheEntry* line = takeLine(previous, text);
        if (!first) first = line;
        remaining = line->fillCacheFromFontQuad(font, remaining);
        previous = line;
    }
    return first;
}
