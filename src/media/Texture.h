#pragma once
// An image made into one or more A8R8G8B8 device textures, with its skins: the rectangles of the
// image that renderables draw, read from the ".ini" description beside the image on disk or from
// the ".preload" record in an archive. An image larger than a texture may be is split into tiles
// with one-pixel borders, or halved until it fits (flag 2). The device texture is made on first
// use, dropped on a device loss or a purge, and made again from the file (or the kept image) when
// next used.

#include <cstdint>
#include <vector>

#include "engine/QelBase.h"
#include "engine/Text.h"
#include "media/PixelPoint.h"
#include "media/PixelRect.h"
#include "platform/D3D9.h"

class MemoryImageFile;
class PreloadRecord;
class Skin;

// 4 x realWidth x realHeight summed over the resident device textures.
extern int32_t residentTextureBytes;

class Texture : public QelBase {
    QEL_DECLARE_CLASS()
public:
    enum : uint32_t {
        FLAG_FORCE_ALPHA = 1,
        FLAG_HALVE_TO_FIT = 2,
        FLAG_ALLOW_512 = 4,
        FLAG_KEEP_IMAGE = 8,
        FLAG_NO_DITHER = 16,
    };

    Texture(uint32_t flags, WStringView fileName);
    // An empty texture of the size, with one quad over it as skin 0.
    Texture(int32_t width, int32_t height, uint32_t flags);
    ~Texture() override;

    void onQELmodeChange(int oldMode, int newMode) override;
    // Drops the device texture of a picture read from a file (with its tiles) when none of it was
    // drawn in the last frame: the next use reads the file again. Textures without a file keep
    // theirs, as what was written into them lives only there.
    void purge() override;
    // Purges every texture: the pictures of screens no longer shown stop taking memory.
    static void purgeUnused();

    void createEmptyTexture(int32_t w, int32_t h, uint32_t flags, bool bDeferred);
    // Makes the texture resident and binds it to stage 0; counts it once per frame.
    void select();
    void pixelRectToUV(int left, int top, int bottom, int right, float& u0, float& v0, float& u1, float& v1) const;
    // Uploads the source rectangle (null: all of the source) to the point (null: the rectangle's
    // left, top).
    void copyImageData(const MemoryImageFile* source, const PixelRect* sourceRect, const PixelPoint* destPoint);
    MemoryImageFile* getSavedSourceData();
    void makeResident();
    bool isResident() const;

    // The engine's integer pixel scale (hq2x); never below 1.
    static int pixelScale();

    int32_t width = 0;
    int32_t height = 0;
    int32_t requestedWidth = 0;
    int32_t requestedHeight = 0;
    std::vector<Skin*> skins;
    bool bHasAlpha = false;
    QelBase* tiles = nullptr;
    WString tileName;
    int32_t lastUsedFrame = -999;
    int32_t realWidth = 0;
    int32_t realHeight = 0;
    int32_t scaleFactor = 1;
    MemoryImageFile* pSavedSourceData = nullptr;
    WString fileName;
    // The texture's name in logs and statistics: the file name, a tile's name or one given by
    // the texture's maker.
    WString name;
    uint32_t textureFlags = 0;
    bool bForceDisk = false;
    IDirect3DTexture9* dxTexture = nullptr;

private:
    void readDescription(PreloadRecord& record);
    void makeSkins(const PreloadRecord& record);
    void splitIntoTiles(const PreloadRecord& record);
    // Copies the picture into the texture: 'fileImage' (read from the file, owned from here on), or
    // the kept source image of a texture without a file.
    void loadImageData(MemoryImageFile* fileImage);
    void loadTiles(const MemoryImageFile* image);
    void releaseDXTexture();
    Texture* tileOwner() const;
    // The texels of a tile that loadTiles writes along one axis: the tile at 'origin' (a multiple
    // of 'step'), with 'border' texels before it on a split axis, of a picture 'pictureSide' long,
    // in a texture 'side' long.
    static int32_t tileExtent(int32_t origin, int32_t step, int32_t border, int32_t pictureSide, int32_t side);
    // Makes a tile's texture only as large as the texels it holds need.
    void fitTileStorage(int32_t usedWidth, int32_t usedHeight);
    // The size asked is the texture's size (a tile fitted to what it holds), without the rounding
    // of the simulated 256 x 256 hardware.
    bool bExactSize = false;
    // Tile grid of a split texture.
    int32_t stepX = 0, stepY = 0, tilesPerRow = 0;
    bool bSplitX = false, bSplitY = false;
};
