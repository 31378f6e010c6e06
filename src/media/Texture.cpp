#include "media/Texture.h"

#include <algorithm>
#include <cstring>

#include "engine/DataBlock.h"
#include "engine/ErrorManager.h"
#include "engine/FileManager.h"
#include "engine/FileStream.h"
#include "engine/Logger.h"
#include "engine/MemoryIniFile.h"
#include "engine/ObjectListEntry.h"
#include "engine/Qel.h"
#include "media/MemoryImageFile.h"
#include "media/PreloadRecord.h"
#include "media/QelGraphics.h"
#include "media/Quad.h"
#include "media/TiledSkin.h"
#include "platform/D3DX9.h"

QEL_IMPLEMENT_CLASS(Texture, &QelBase::classRecord, nullptr)

int32_t residentTextureBytes = 0;

namespace {

QelGraphics* graphics() { return qel ? qel->pQelGraphics : nullptr; }

// The bForceDisk of the engine's FileManager set for a scope, restored after.
class ForceDiskScope {
public:
    ForceDiskScope(bool value) : fm(qel ? qel->pFileManager : nullptr) {
        if (fm) {
            former = fm->bForceDisk;
            fm->bForceDisk = value;
        }
    }
    ~ForceDiskScope() {
        if (fm) fm->bForceDisk = former;
    }

private:
    FileManager* fm;
    bool former = false;
};

}  // namespace

int Texture::pixelScale() { return qel && qel->hq2x > 1 ? qel->hq2x : 1; }

Texture::Texture(uint32_t flags, WStringView file) : fileName(file), name(file), textureFlags(flags) {
    tiles = new QelBase();
    addChild(tiles);
    FileManager* fm = qel ? qel->pFileManager : nullptr;
    QEL_ASSERT(u"Texture::Texture", fm != NULL);
    bForceDisk = fm->bForceDisk;

    PreloadRecord record;
    readDescription(record);
    bHasAlpha = record.bHasAlpha || (flags & FLAG_FORCE_ALPHA);
    createEmptyTexture(record.width, record.height, flags, true);
    if (realWidth >= record.width && realHeight >= record.height) {
        makeSkins(record);
    } else if (flags & FLAG_HALVE_TO_FIT) {
        int32_t w = record.width, h = record.height;
        while ((realWidth < w || realHeight < h) && w > 0 && h > 0) {
            w /= 2;
            h /= 2;
            scaleFactor *= 2;
        }
        width *= scaleFactor;
        height *= scaleFactor;
        makeSkins(record);
    } else {
        splitIntoTiles(record);
    }
    if (flags & FLAG_KEEP_IMAGE) pSavedSourceData = new MemoryImageFile(MemoryImageFile::FLAG_DELAYED, fileName);

    if (!qel->bEnableDelayedLoad) {
        makeResident();
    } else {
        ForceDiskScope disk(bForceDisk);
        fm->verifyFile(fileName);
    }
}

Texture::Texture(int32_t w, int32_t h, uint32_t flags) : textureFlags(flags) {
    tiles = new QelBase();
    addChild(tiles);
    bHasAlpha = true;
    bForceDisk = false;
    createEmptyTexture(w, h, flags, true);
    QEL_ASSERT(u"Texture::Texture", realWidth >= requestedWidth);
    QEL_ASSERT(u"Texture::Texture", realHeight >= requestedHeight);
    if (flags & FLAG_KEEP_IMAGE) {
        pSavedSourceData = new MemoryImageFile(realWidth, realHeight);
        pSavedSourceData->clear(nullptr, false);
    }
    auto* quad = new Quad();
    quad->pTexture = this;
    quad->setSourceRect(0, 0, h, w);
    skins.push_back(quad);
}

Texture::~Texture() {
    delete pSavedSourceData;
    pSavedSourceData = nullptr;
    for (Skin* skin : skins) skin->release();
    skins.clear();
    releaseDXTexture();
}

void Texture::releaseDXTexture() {
    if (!dxTexture) return;
    dxTexture->Release();
    dxTexture = nullptr;
    residentTextureBytes -= 4 * realWidth * realHeight;
}

void Texture::onQELmodeChange(int oldMode, int newMode) {
    if (oldMode == Qel::MODE_PAUSED && newMode == Qel::MODE_FROZEN) releaseDXTexture();
}

void Texture::purge() {
    // Only a picture read from its file comes back as it was; the tiles of one go with it, and
    // only when none of them was drawn in the last frame.
    if (fileName.empty() || !tileName.empty()) return;
    const int32_t recent = (qel ? qel->frameCount : 0) - 1;
    int32_t lastUsed = lastUsedFrame;
    for (BasicLink* t = tiles ? tiles->firstChild : nullptr; t; t = t->next)
        lastUsed = std::max(lastUsed, static_cast<Texture*>(t)->lastUsedFrame);
    if (lastUsed >= recent) return;
    releaseDXTexture();
    for (BasicLink* t = tiles ? tiles->firstChild : nullptr; t; t = t->next) static_cast<Texture*>(t)->releaseDXTexture();
}

void Texture::purgeUnused() {
    for (BasicLink* e = Qel::objectList.firstChild; e;) {
        BasicLink* following = e->next;
        QelBase* object = static_cast<ObjectListEntry*>(e)->object;
        if (object->isKindOf(&Texture::classRecord)) static_cast<Texture*>(object)->purge();
        e = following;
    }
}

void Texture::readDescription(PreloadRecord& record) {
    const char16_t* fn = u"Texture::Texture";
    FileManager* fm = qel->pFileManager;
    const WString preloadName = fileName + u".preload";
    WString reason;
    if (fm->bUseWad && !fm->bForceDisk) {
        DataBlock block(0, preloadName);
        if (!record.read(block.getData(), size_t(std::max(0, block.getSize())), reason))
            QEL_FATAL(fn, u"Damaged skin record '%s': %s.", preloadName, reason);
        return;
    }

    {
        MemoryImageFile header(MemoryImageFile::FLAG_HEADER_ONLY, fileName);
        record.width = header.width;
        record.height = header.height;
        record.bHasAlpha = header.bHasAlpha;
    }
    const WString iniName = fileName + u".ini";
    {
        ForceDiskScope disk(true);
        if (fm->exists(iniName)) {
            MemoryIniFile ini(iniName);
            const int count = int(ini.sections.size());
            for (int i = 0; i < count; ++i) {
                const WString section = format(u"Skin %d", i);
                PreloadSkin s;
                s.left = ini.getInt(section, u"left");
                s.top = ini.getInt(section, u"top");
                s.width = ini.getInt(section, u"width");
                s.height = ini.getInt(section, u"height");
                if (ini.hasKey(section, u"origin_adjust_x")) s.originAdjustX = ini.getInt(section, u"origin_adjust_x");
                if (ini.hasKey(section, u"origin_adjust_y")) s.originAdjustY = ini.getInt(section, u"origin_adjust_y");
                record.skins.push_back(s);
            }
        } else {
            record.skins.push_back(PreloadSkin{0, 0, record.width, record.height, 0, 0});
        }
    }
    if (!record.checkSkins(reason)) QEL_FATAL(fn, u"Bad skin description '%s': %s.", iniName, reason);

    if (fm->bCreateWad && !fm->bForceDisk) {
        const std::vector<uint8_t> bytes = record.toBytes();
        {
            FileStream out(fm->getDiskPath(preloadName), FileStream::MODE_WRITE);
            if (!out.write(bytes.data(), bytes.size())) QEL_FATAL(fn, u"Could not write '%s'.", preloadName);
        }
        DataBlock recorded(0, preloadName);
    }
}

void Texture::makeSkins(const PreloadRecord& record) {
    const float ps = float(pixelScale());
    for (const PreloadSkin& e : record.skins) {
        auto* quad = new Quad();
        quad->pTexture = this;
        quad->fitToTexture();
        if (e.width & 1) quad->originOffset.x -= 0.5f / ps;
        if (e.height & 1) quad->originOffset.y += 0.5f / ps;
        quad->originOffset.x -= float(e.originAdjustX) / ps;
        quad->originOffset.y += float(e.originAdjustY) / ps;
        quad->setSourceRect(e.left, e.top, e.top + e.height, e.left + e.width);
        skins.push_back(quad);
    }
}

void Texture::splitIntoTiles(const PreloadRecord& record) {
    makeSkins(record);
    const int ps = pixelScale();
    bSplitX = record.width > realWidth;
    bSplitY = record.height > realHeight;
    stepX = bSplitX ? realWidth - 2 * ps : realWidth;
    stepY = bSplitY ? realHeight - 2 * ps : realHeight;
    QEL_ASSERT(u"Texture::Texture", stepX > 0 && stepY > 0);
    tilesPerRow = (record.width - 1) / stepX + 1;
    const int bx0 = bSplitX ? 1 : 0, by0 = bSplitY ? 1 : 0;
    std::vector<Texture*> tileList;
    for (int32_t y = 0; y < record.height; y += stepY) {
        for (int32_t x = 0; x < record.width; x += stepX) {
            // Tiles take the 512 allowance of their texture so that they hold a whole step.
            auto* tile = new Texture(realWidth, realHeight, textureFlags & FLAG_ALLOW_512);
            // A tile at the right or bottom edge holds less of the picture: its texture is only as
            // large as what it shows needs (below).
            tile->fitTileStorage(tileExtent(x, stepX, bx0, record.width, realWidth), tileExtent(y, stepY, by0, record.height, realHeight));
            tiles->addChild(tile);
            tile->tileName = tile->name = format(u"%s@(%d,%d)", fileName, x, y);
            tile->bHasAlpha = bHasAlpha;
            tileList.push_back(tile);
        }
    }
    const int bx = bSplitX ? 1 : 0, by = bSplitY ? 1 : 0;
    for (Skin*& skin : skins) {
        auto* old = static_cast<Quad*>(skin);
        const PixelRect s = old->sourceRect;
        const int firstColumn = s.left / stepX, firstRow = s.top / stepY;
        const int columns = std::max(0, (s.right - 1) / stepX - firstColumn + 1);
        const int rows = std::max(0, (s.bottom - 1) / stepY - firstRow + 1);
        auto* tiled = new TiledSkin(columns, rows);
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const size_t index = size_t((firstRow + r) * tilesPerRow + firstColumn + c);
                if (index >= tileList.size()) continue;
                Texture* tile = tileList[index];
                const int ox = (firstColumn + c) * stepX, oy = (firstRow + r) * stepY;
                const int left = std::clamp(s.left - ox, 0, stepX) + bx, right = std::clamp(s.right - ox, 0, stepX) + bx;
                const int top = std::clamp(s.top - oy, 0, stepY) + by, bottom = std::clamp(s.bottom - oy, 0, stepY) + by;
                auto* quad = new Quad();
                quad->pTexture = tile;
                quad->setSourceRect(left, top, bottom, right);
                tile->skins.push_back(quad);
                tiled->cells[size_t(r * columns + c)] = quad;
            }
        }
        tiled->originOffset = old->originOffset;
        tiled->layout();
        skin = tiled;
        old->release();
    }
}

void Texture::createEmptyTexture(int32_t w, int32_t h, uint32_t flags, bool bDeferred) {
    width = realWidth = requestedWidth = w;
    height = realHeight = requestedHeight = h;
    const int ps = pixelScale();
    QelGraphics* g = graphics();
    if (g && g->bSimulate256x256TextureHW && !bExactSize) {
        const int32_t cap = ((flags & FLAG_ALLOW_512) ? 512 : 256) * ps;
        realWidth = std::min((realWidth + 255) / 256 * 256, cap);
        realHeight = std::min((realHeight + 255) / 256 * 256, cap);
    }
    if (!bDeferred) {
        releaseDXTexture();
        HRESULT hr = D3DXCreateTexture(g ? g->dxDevice : nullptr, UINT(realWidth), UINT(realHeight), 1, 0, D3DFMT_A8R8G8B8,
                                       D3DPOOL_MANAGED, &dxTexture);
        if (dxFailed(hr) || !dxTexture) {
            dxTexture = nullptr;
            ErrorManager::error(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d",
                                ErrorManager::getDXErrorString(hr),
                                u"D3DXCreateTexture( qel->pQelGraphics->dxDevice, realWidth, realHeight, 1, 0, "
                                u"D3DFMT_A8R8G8B8, D3DPOOL_MANAGED, &dxTexture)",
                                u"Texture::createEmptyTexture", getFileName(utf8ToWide(__FILE__)), __LINE__);
        }
        realWidth = int32_t(dxTexture->getWidth());
        realHeight = int32_t(dxTexture->getHeight());
        residentTextureBytes += 4 * realWidth * realHeight;
    }
    scaleFactor = 1;
    width = realWidth / ps;
    height = realHeight / ps;
}

int32_t Texture::tileExtent(int32_t origin, int32_t step, int32_t border, int32_t pictureSide, int32_t side) {
    // What loadTiles writes: from the tile's first texel to the picture's part (and the border
    // before it), and one more copy of the picture's last texels where the picture ends in it.
    const int32_t end = std::min(pictureSide, origin + step + border);
    int32_t used = end - (origin - border);
    if (origin + step + border > pictureSide && used < side) ++used;
    return std::min(used, side);
}

void Texture::fitTileStorage(int32_t usedWidth, int32_t usedHeight) {
    // The texels past what the tile holds are transparent black, as they would be in a texture of
    // the full side; one such texel is kept after the used ones, so that a sample reaching past
    // either end meets one, as it would there. A power of two keeps the texture coordinates of
    // whole texels exact.
    auto storage = [](int32_t used, int32_t side) {
        int32_t s = 1;
        while (s < used + 1 && s < side) s *= 2;
        return std::min(s, side);
    };
    const int32_t w = storage(usedWidth, realWidth), h = storage(usedHeight, realHeight);
    if (w == realWidth && h == realHeight) return;
    bExactSize = true;
    createEmptyTexture(w, h, textureFlags, true);
    static_cast<Quad*>(skins[0])->setSourceRect(0, 0, h, w);
}

Texture* Texture::tileOwner() const {
    if (tileName.empty() || !owner || !owner->owner) return nullptr;
    return static_cast<Texture*>(owner->owner);
}

bool Texture::isResident() const {
    if (!tiles || !tiles->firstChild) return dxTexture != nullptr;
    for (BasicLink* t = tiles->firstChild; t; t = t->next)
        if (!static_cast<Texture*>(t)->dxTexture) return false;
    return true;
}

void Texture::makeResident() {
    if (dxTexture || isResident()) return;
    if (Texture* parent = tileOwner()) {
        parent->makeResident();
        return;
    }
    QelGraphics* g = graphics();
    if (!g || !g->dxDevice) return;
    // The picture is read before any texture memory is taken: its skin record gave the size, and
    // a record that does not match the picture is damage, not a reason to make a huge texture.
    MemoryImageFile* image = nullptr;
    if (!fileName.empty()) {
        {
            ForceDiskScope disk(bForceDisk);
            image = new MemoryImageFile(0, fileName);
        }
        if (image->width != requestedWidth || image->height != requestedHeight) {
            const int32_t w = image->width, h = image->height;
            delete image;
            QEL_FATAL(u"Texture::makeResident", u"Damaged skin record '%s.preload': it describes a %dx%d image, the image is %dx%d.",
                      fileName, requestedWidth, requestedHeight, w, h);
        }
    }
    if (!tiles->firstChild) {
        createEmptyTexture(requestedWidth, requestedHeight, textureFlags, false);
    } else {
        for (BasicLink* t = tiles->firstChild; t; t = t->next) {
            auto* tile = static_cast<Texture*>(t);
            tile->createEmptyTexture(tile->requestedWidth, tile->requestedHeight, tile->textureFlags, false);
        }
    }
    loadImageData(image);
}

void Texture::loadImageData(MemoryImageFile* fileImage) {
    MemoryImageFile* image = fileImage;
    bool bOwned = false;
    if (image) {
        bOwned = true;
        QelGraphics* g = graphics();
        if (g && g->backBufferBits <= 16 && !(textureFlags & FLAG_NO_DITHER)) {
            if (qel->ditherDepth == 15) image->ditherDiffusion15bpp();
            else if (qel->ditherDepth == 12) image->ditherDiffusion12bpp();
        }
    } else if (pSavedSourceData) {
        image = getSavedSourceData();
    }
    if (image && image->pImageData) {
        if (realWidth >= image->width && realHeight >= image->height) {
            copyImageData(image, nullptr, nullptr);
        } else if (textureFlags & FLAG_HALVE_TO_FIT) {
            while ((realWidth < image->width || realHeight < image->height) && image->width > 0) {
                image->halveSize();
                scaleFactor *= 2;
            }
            width *= scaleFactor;
            height *= scaleFactor;
            copyImageData(image, nullptr, nullptr);
        } else {
            loadTiles(image);
        }
    }
    if (bOwned) delete image;
}

void Texture::loadTiles(const MemoryImageFile* image) {
    if (stepX <= 0 || stepY <= 0 || tilesPerRow <= 0) return;
    const int bx = bSplitX ? 1 : 0, by = bSplitY ? 1 : 0;
    int index = 0;
    for (BasicLink* t = tiles->firstChild; t; t = t->next, ++index) {
        auto* tile = static_cast<Texture*>(t);
        const int x = (index % tilesPerRow) * stepX, y = (index / tilesPerRow) * stepY;
        const int left = std::max(0, x - bx), top = std::max(0, y - by);
        const int right = std::min(image->width, x + stepX + bx), bottom = std::min(image->height, y + stepY + by);
        if (right <= left || bottom <= top) continue;
        const PixelRect part{left, top, bottom, right};
        const PixelPoint at{left - (x - bx), top - (y - by)};
        tile->copyImageData(image, &part, &at);
        // Repeat the outermost column or row of the image into the border beside it.
        if (x - bx < 0 && at.x > 0) {
            const PixelRect column{left, top, bottom, left + 1};
            const PixelPoint to{at.x - 1, at.y};
            tile->copyImageData(image, &column, &to);
        }
        if (y - by < 0 && at.y > 0) {
            const PixelRect row{left, top, top + 1, right};
            const PixelPoint to{at.x, at.y - 1};
            tile->copyImageData(image, &row, &to);
        }
        if (x + stepX + bx > image->width && at.x + part.width() < tile->realWidth) {
            const PixelRect column{right - 1, top, bottom, right};
            const PixelPoint to{at.x + part.width(), at.y};
            tile->copyImageData(image, &column, &to);
        }
        if (y + stepY + by > image->height && at.y + part.height() < tile->realHeight) {
            const PixelRect row{left, bottom - 1, bottom, right};
            const PixelPoint to{at.x, at.y + part.height()};
            tile->copyImageData(image, &row, &to);
        }
    }
}

void Texture::select() {
    makeResident();
    QelGraphics* g = graphics();
    if (g && g->dxDevice) g->dxDevice->SetTexture(0, dxTexture);
    const int frame = (qel ? qel->frameCount : 0);
    if (lastUsedFrame != frame) {
        lastUsedFrame = frame;
        if (qel) {
            qel->frameStats[Qel::STAT_TEXTURES_USED] += 1;
            qel->frameStats[Qel::STAT_TEXELS_USED] += realWidth * realHeight;
        }
    }
}

void Texture::pixelRectToUV(int left, int top, int bottom, int right, float& u0, float& v0, float& u1, float& v1) const {
    const float ps = float(pixelScale());
    const float w = float(width) * ps, h = float(height) * ps;
    u0 = w > 0 ? float(left) / w : 0.0f;
    v0 = h > 0 ? float(top) / h : 0.0f;
    u1 = w > 0 ? float(right) / w : 0.0f;
    v1 = h > 0 ? float(bottom) / h : 0.0f;
}

void Texture::copyImageData(const MemoryImageFile* source, const PixelRect* sourceRectIn, const PixelPoint* destPointIn) {
    const char16_t* fn = u"Texture::copyImageData";
    makeResident();
    if (!dxTexture || !source || !source->pImageData) return;
    if (sourceRectIn) QEL_ASSERT(fn, scaleFactor == 1);
    const PixelRect whole{0, 0, source->height, source->width};
    const PixelRect* sourceRect = sourceRectIn ? sourceRectIn : &whole;
    if (sourceRect->width() <= 0 || sourceRect->height() <= 0) return;
    QEL_ASSERT(fn, sourceRect->left >= 0 && sourceRect->top >= 0 && sourceRect->right <= source->width &&
                       sourceRect->bottom <= source->height);
    const PixelPoint corner{sourceRect->left, sourceRect->top};
    const PixelPoint* destPoint = destPointIn ? destPointIn : &corner;
    QEL_ASSERT(fn, destPoint->x >= 0 && destPoint->y >= 0);
    QEL_ASSERT(fn, destPoint->x + sourceRect->width() <= realWidth && destPoint->y + sourceRect->height() <= realHeight);

    const RECT destRect{destPoint->x, destPoint->y, destPoint->x + sourceRect->width(), destPoint->y + sourceRect->height()};
    // The picture's rows go to the texture as they are, without a locked copy of the area.
    const UColor* from = source->pImageData + size_t(sourceRect->top) * size_t(source->width) + size_t(sourceRect->left);
    HRESULT hr = dxTexture->UpdateRect(destRect, from, UINT(source->width) * 4);
    if (dxFailed(hr))
        ErrorManager::error(u"Error: %s\n Statement: %s\n Function: %s()\n File: %s\n Line: %d", ErrorManager::getDXErrorString(hr),
                            u"dxTexture->UpdateRect(destRect, from, source->width * 4)", fn, getFileName(utf8ToWide(__FILE__)),
                            __LINE__);
}

MemoryImageFile* Texture::getSavedSourceData() {
    QEL_ASSERT(u"Texture::getSavedSourceData", pSavedSourceData != NULL);
    pSavedSourceData->unpurge();
    return pSavedSourceData;
}
