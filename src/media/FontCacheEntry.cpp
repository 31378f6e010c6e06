#include "media/FontCacheEntry.h"

#include <algorithm>
#include <memory>

#include "engine/ErrorManager.h"
#include "engine/Qel.h"
#include "media/FontQuad.h"
#include "media/MemoryImageFile.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"

QEL_IMPLEMENT_CLASS(FontCacheEntry, &QelBase::classRecord, nullptr)

FontCacheEntry::FontCacheEntry(Texture* texture, int pixelScale, int left, int top, int bottom, int right)
    : cacheBounds{left, top, bottom, right}, pixelScale(pixelScale), texture(texture) {
    pQuad = new Quad();
    pQuad->pTexture = texture;
    pQuad->setSourceRect(left, top, bottom, right);
}

FontCacheEntry::~FontCacheEntry() {
    if (pQuad) pQuad->release();
    pQuad = nullptr;
}

void FontCacheEntry::showPart(int right, int bottom) {
    pQuad->setSourceRect(cacheBounds.left + pixelScale, cacheBounds.top, bottom, right);
    pQuad->setAnchor(7);
    texture->copyImageData(texture->getSavedSourceData(), &cacheBounds, nullptr);
}

void FontCacheEntry::fillCacheFromGDI(const uint32_t* pixels, int sourceWidth, int sourceHeight, int left, int top, int bottom,
                                      int right) {
    const char16_t* fn = u"FontCacheEntry::fillCacheFromGDI";
    lastUsedFrame = (qel ? qel->frameCount : 0);
    int destX = cacheBounds.left + pixelScale;
    const int destY = cacheBounds.top;
    int copyLeft = left, copyRight = right;
    if (left > 0) {
        --copyLeft;
        --destX;
    }
    if (right < sourceWidth) ++copyRight;
    MemoryImageFile* pDestMIF = texture->pSavedSourceData ? texture->getSavedSourceData() : nullptr;
    QEL_ASSERT(fn, pDestMIF != NULL);
    const int loopWidth = copyRight - copyLeft, loopHeight = bottom - top;
    QEL_ASSERT(fn, loopWidth <= cacheBounds.width());
    QEL_ASSERT(fn, loopHeight <= cacheBounds.height());
    QEL_ASSERT(fn, copyLeft >= 0 && top >= 0 && copyRight <= sourceWidth && bottom <= sourceHeight);
    QEL_ASSERT(fn, destX + loopWidth <= pDestMIF->width && destY + loopHeight <= pDestMIF->height);
    for (int y = 0; y < loopHeight; ++y) {
        const uint32_t* from = pixels + size_t(top + y) * size_t(sourceWidth) + size_t(copyLeft);
        UColor* to = pDestMIF->pImageData + size_t(destY + y) * size_t(pDestMIF->width) + size_t(destX);
        for (int x = 0; x < loopWidth; ++x) to[x] = (to[x] & 0x00FFFFFFu) | (from[x] & 0xFFu) << 24;
    }
    const int shownLeft = cacheBounds.left + pixelScale;
    showPart(shownLeft + (right - left), cacheBounds.top + loopHeight);
}

WString FontCacheEntry::fillCacheFromFontQuad(FontQuad* font, WStringView chars) {
    const char16_t* fn = u"FontCacheEntry::fillCacheFromFontQuad";
    lastUsedFrame = (qel ? qel->frameCount : 0);
    int x = cacheBounds.left + pixelScale;
    const int limit = cacheBounds.right - pixelScale;
    MemoryImageFile* dest = texture->getSavedSourceData();
    dest->clear(&cacheBounds, bClearToWhite);

    // Glyph images: the texture's kept image, else its file read once for this fill.
    std::vector<std::pair<Texture*, std::unique_ptr<MemoryImageFile>>> readImages;
    auto imageOf = [&](Texture* t) -> MemoryImageFile* {
        if (t->pSavedSourceData) return t->getSavedSourceData();
        for (auto& [texture, image] : readImages)
            if (texture == t) return image.get();
        if (t->fileName.empty()) return nullptr;
        readImages.emplace_back(t, std::make_unique<MemoryImageFile>(0, t->fileName));
        return readImages.back().second.get();
    };

    int numCharsBlitted = 0;
    for (char16_t c : chars) {
        const FontSymbol& s = font->getSymbol(c);
        int advance = (s.spacing + font->getAdvance(s)) * pixelScale;
        if (advance < 1) advance = 0;
        if (x + advance >= limit) break;
        if (s.pBaseQuad && s.pBaseQuad->pTexture) {
            MemoryImageFile* glyphs = imageOf(s.pBaseQuad->pTexture);
            if (glyphs && glyphs->pImageData) {
                PixelRect r = s.pBaseQuad->sourceRect;
                r.left = std::max(0, r.left);
                r.top = std::max(0, r.top);
                r.right = std::min({r.right, glyphs->width, r.left + (cacheBounds.right - x)});
                r.bottom = std::min({r.bottom, glyphs->height, r.top + cacheBounds.height()});
                const PixelPoint at{x, cacheBounds.top};
                if (r.width() > 0 && r.height() > 0) dest->blit(glyphs, &r, &at);
            }
        }
        x += advance;
        ++numCharsBlitted;
    }
    QEL_ASSERT(fn, numCharsBlitted > 0);
    showPart(x, cacheBounds.top + font->fontHeightRaw * pixelScale);
    return WString(chars.substr(size_t(numCharsBlitted)));
}

void FontCacheEntry::releaseLine() {
    if (texture->pSavedSourceData) texture->getSavedSourceData()->clear(&cacheBounds, bClearToWhite);
    text.clear();
    bPrimaryLine = true;
    lastUsedFrame = FREE_FRAME;
    if (pNext) pNext->releaseLine();
    pNext = nullptr;
}

void FontCacheEntry::draw(Renderable* owner) {
    Renderable line;
    line.bSkipVisibility = true;
    line.color = owner ? owner->color : 0xFFFFFFFF;
    line.set(pQuad, nullptr, nullptr, nullptr, nullptr, owner ? &owner->worldXform : nullptr);
    line.render();
    lastUsedFrame = (qel ? qel->frameCount : 0);
}
