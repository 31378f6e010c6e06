#pragma once
// A texture of the OpenGL device: 32-bit ARGB pixels kept in memory (so it survives a device
// reset) and copied into an OpenGL texture when a lock ends.

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

    // Called by the device when it goes: the OpenGL texture went with its context.
    void detach();

private:
    GlDevice* owner;
    UINT width, height;
    D3DFORMAT format;
    std::vector<D3DCOLOR> pixels;
    uint32_t textureName = 0;
    bool bLocked = false;
    ULONG refCount = 1;
};
