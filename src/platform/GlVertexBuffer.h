#pragma once
// A vertex buffer of the OpenGL device: its vertices in memory only (the managed pool, so they
// survive a device reset). The device copies the vertices of each draw into its own stream as it
// records the draw, so no OpenGL buffer is kept per vertex buffer.

#include <cstdint>
#include <vector>

#include "platform/D3D9.h"

class GlDevice;

class GlVertexBuffer : public IDirect3DVertexBuffer9 {
public:
    GlVertexBuffer(GlDevice* device, UINT length);
    ~GlVertexBuffer() override;

    ULONG AddRef() override { return ++refCount; }
    ULONG Release() override;
    HRESULT Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD flags) override;
    HRESULT Unlock() override;
    UINT getLength() const override { return UINT(data.size()); }

    // Called by the device when it goes.
    void detach();
    // The vertices as written.
    const uint8_t* bytes() const { return data.data(); }

private:
    GlDevice* owner;
    std::vector<uint8_t> data;
    bool bLocked = false;
    ULONG refCount = 1;
};
