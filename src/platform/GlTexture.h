#pragma once
// A texture of the OpenGL device: 32-bit ARGB pixels in an OpenGL texture, which survives a device
// reset. A lock reads the locked area into memory and writes it back when the lock ends.

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
    std::vector<D3DCOLOR> lockedPixels;
    RECT lockedArea{0, 0, 0, 0};
    uint32_t textureName = 0;
    bool bLocked = false;
    ULONG refCount = 1;
};
