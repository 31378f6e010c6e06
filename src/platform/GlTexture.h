#pragma once
// A texture of the OpenGL device: 32-bit ARGB pixels in an OpenGL texture, which survives a device
// reset. A lock holds the locked area in memory while it lasts (read back from the texture unless
// nothing was written there yet or the lock discards it) and writes it back when the lock ends;
// UpdateRect writes pixels straight from the caller's memory.

#include <cstdint>
#include <vector>

#include "platform/D3D9.h"

class GlDevice;

class GlTexture : public IDirect3DTexture9 {
public:
    GlTexture(GlDevice* device, UINT width, UINT height, D3DFORMAT format);
    ~GlTexture() override;

    ULONG AddRef() override { return ++refCount; }
    ULONG Release() override;
    uint32_t getGlTextureName() const override { return textureName; }
    HRESULT LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) override;
    HRESULT UnlockRect(UINT level) override;
    UINT getWidth() const override { return width; }
    UINT getHeight() const override { return height; }
    D3DFORMAT getFormat() const override { return format; }
    HRESULT UpdateRect(const RECT& area, const void* pixels, UINT pitch) override;

    // Called by the device when it goes: the OpenGL texture went with its context.
    void detach();

    // What the texture holds, per tile of TILE x TILE texels (row by row), kept as pixels are
    // written: TILE_VISIBLE when some texel there may have alpha above 0, TILE_OPAQUE when every
    // texel there is surely opaque. Both err on the safe side when a write covers part of a tile.
    static constexpr int TILE = 8;
    enum : uint8_t { TILE_VISIBLE = 1, TILE_OPAQUE = 2 };
    int tileColumns() const { return columns; }
    int tileRows() const { return rows; }
    uint8_t tile(int column, int row) const { return tiles[size_t(row) * size_t(columns) + size_t(column)]; }
    // Names what the texture holds: a new number, never given before, at its creation and at each
    // write, so that two draws of equal stamps read equal texels.
    uint64_t contentStamp() const { return stamp; }
    static uint64_t newContentStamp();

private:
    void noteWritten(const RECT& area, const D3DCOLOR* pixels, size_t pitchInPixels);

    GlDevice* owner;
    UINT width, height;
    D3DFORMAT format;
    std::vector<D3DCOLOR> lockedPixels;
    RECT lockedArea{0, 0, 0, 0};
    uint32_t textureName = 0;
    bool bLocked = false;
    bool bWritten = false;  // false while the texture is still all transparent black
    int columns = 0, rows = 0;
    std::vector<uint8_t> tiles;
    uint64_t stamp = newContentStamp();
    ULONG refCount = 1;
};
