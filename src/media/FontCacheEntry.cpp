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
#include "media/TgaRowReader.h"

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

void FontCacheEntry::showPart(int right, int bottom, const MemoryImageFile& line) {
    pQuad->setSourceRect(cacheBounds.left + pixelScale, cacheBounds.top, bottom, right);
    pQuad->setAnchor(7);
    const PixelPoint at{cacheBounds.left, cacheBounds.top};
    texture->copyImageData(&line, nullptr, &at);
}

void FontCacheEntry::fillCacheFromGDI(const uint32_t* pixels, int sourceWidth, int sourceHeight, int left, int top, int bottom,
                                      int right) {
    const char16_t* fn = u"FontCacheEntry::fillCacheFromGDI";
    lastUsedFrame = (qel ? qel->frameCount : 0);
    // The line is made in memory, cleared, and uploaded whole: the texture keeps no image.
    MemoryImageFile line(cacheBounds.width(), cacheBounds.height());
    line.clear(nullptr, bClearToWhite);
    int destX = pixelScale;
    int copyLeft = left, copyRight = right;
    if (left > 0) {
        --copyLeft;
        --destX;
    }
    if (right < sourceWidth) ++copyRight;
    const int loopWidth = copyRight - copyLeft, loopHeight = bottom - top;
    QEL_ASSERT(fn, loopWidth <= cacheBounds.width());
    QEL_ASSERT(fn, loopHeight <= cacheBounds.height());
    QEL_ASSERT(fn, copyLeft >= 0 && top >= 0 && copyRight <= sourceWidth && bottom <= sourceHeight);
    QEL_ASSERT(fn, destX + loopWidth <= line.width && loopHeight <= line.height);
    for (int y = 0; y < loopHeight; ++y) {
        const uint32_t* from = pixels + size_t(top + y) * size_t(sourceWidth) + size_t(copyLeft);
        UColor* to = line.pImageData + size_t(y) * size_t(line.width) + size_t(destX);
        for (int x = 0; x < loopWidth; ++x) to[x] = (to[x] & 0x00FFFFFFu) | (from[x] & 0xFFu) << 24;
    }
    const int shownLeft = cacheBounds.left + pixelScale;
    showPart(shownLeft + (right - left), cacheBounds.top + loopHeight, line);
}

namespace {

// One glyph to copy into a line: its rectangle on its page and where it goes in the line.
struct GlyphCopy {
    Texture* page;
    PixelRect rect;
    int x;
    std::unique_ptr<MemoryImageFile> pixels;  // the rectangle itself, when read from the page's file
};

}  // namespace

WString FontCacheEntry::fillCacheFromFontQuad(FontQuad* font, WStringView chars) {
    const char16_t* fn = u"FontCacheEntry::fillCacheFromFontQuad";
    lastUsedFrame = (qel ? qel->frameCount : 0);
    MemoryImageFile line(cacheBounds.width(), cacheBounds.height());
    line.clear(nullptr, bClearToWhite);
    int x = pixelScale;
    const int limit = line.width - pixelScale;

    // Which glyphs go where, in the order they are copied.
    std::vector<GlyphCopy> copies;
    int numCharsBlitted = 0;
    for (char16_t c : chars) {
        const FontSymbol& s = font->getSymbol(c);
        int advance = (s.spacing + font->getAdvance(s)) * pixelScale;
        if (advance < 1) advance = 0;
        if (x + advance >= limit) break;
        if (s.pBaseQuad && s.pBaseQuad->pTexture) {
            PixelRect r = s.pBaseQuad->sourceRect;
            r.left = std::max(0, r.left);
            r.top = std::max(0, r.top);
            r.right = std::min(r.right, r.left + (line.width - x));
            r.bottom = std::min(r.bottom, r.top + line.height);
            copies.push_back(GlyphCopy{s.pBaseQuad->pTexture, r, x, nullptr});
        }
        x += advance;
        ++numCharsBlitted;
    }
    QEL_ASSERT(fn, numCharsBlitted > 0);

    // Glyph pages: a page's image when it is in memory; otherwise only the glyphs' rectangles,
    // read from its file a row at a time (a TGA), or the file decoded for this fill.
    std::vector<std::pair<Texture*, std::unique_ptr<MemoryImageFile>>> readImages;
    auto imageOf = [&](Texture* t) -> MemoryImageFile* {
        if (t->pSavedSourceData && t->pSavedSourceData->pImageData) return t->pSavedSourceData;
        for (auto& [texture, image] : readImages)
            if (texture == t) return image.get();
        if (t->pSavedSourceData && t->fileName.empty()) return t->getSavedSourceData();
        if (t->fileName.empty()) return nullptr;
        readImages.emplace_back(t, std::make_unique<MemoryImageFile>(0, t->fileName));
        return readImages.back().second.get();
    };
    std::vector<Texture*> streamed;
    for (const GlyphCopy& g : copies) {
        Texture* t = g.page;
        const bool inMemory = t->pSavedSourceData && t->pSavedSourceData->pImageData;
        if (!inMemory && t->fileName.ends_with(u".tga") && std::find(streamed.begin(), streamed.end(), t) == streamed.end())
            streamed.push_back(t);
    }
    for (Texture* t : streamed) {
        TgaRowReader reader(t->fileName);
        if (!reader.isOpen()) QEL_FATAL(fn, u"Refused '%s': %s", t->fileName, reader.reason);
        int32_t top = reader.height, bottom = 0;
        for (GlyphCopy& g : copies) {
            if (g.page != t) continue;
            g.rect.right = std::min(g.rect.right, reader.width);
            g.rect.bottom = std::min(g.rect.bottom, reader.height);
            g.pixels = std::make_unique<MemoryImageFile>(std::max(0, g.rect.width()), std::max(0, g.rect.height()));
            if (g.rect.width() <= 0 || g.rect.height() <= 0) continue;
            top = std::min(top, g.rect.top);
            bottom = std::max(bottom, g.rect.bottom);
        }
        std::vector<UColor> row(size_t(reader.width));
        while (reader.nextRow() >= top) {
            const int32_t y = reader.nextRow();
            const bool wanted = y < bottom;
            if (!(wanted ? reader.readRow(row.data()) : reader.skipRow())) QEL_FATAL(fn, u"Refused '%s': %s", t->fileName, reader.reason);
            if (!wanted) continue;
            for (GlyphCopy& g : copies) {
                if (g.page != t || y < g.rect.top || y >= g.rect.bottom || g.rect.width() <= 0) continue;
                std::copy_n(row.data() + g.rect.left, g.rect.width(), g.pixels->pImageData + size_t(y - g.rect.top) * size_t(g.rect.width()));
            }
        }
    }
    for (GlyphCopy& g : copies) {
        const PixelPoint at{g.x, 0};
        if (g.pixels) {
            if (g.rect.width() > 0 && g.rect.height() > 0) line.blit(g.pixels.get(), nullptr, &at);
            continue;
        }
        MemoryImageFile* glyphs = imageOf(g.page);
        if (!glyphs || !glyphs->pImageData) continue;
        PixelRect r = g.rect;
        r.right = std::min(r.right, glyphs->width);
        r.bottom = std::min(r.bottom, glyphs->height);
        if (r.width() > 0 && r.height() > 0) line.blit(glyphs, &r, &at);
    }
    showPart(cacheBounds.left + x, cacheBounds.top + font->fontHeightRaw * pixelScale, line);
    return WString(chars.substr(size_t(numCharsBlitted)));
}

void FontCacheEntry::releaseLine() {
    // The texture keeps what the line showed until the line is filled again, which uploads it whole.
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
