#pragma once
// A vertex buffer of the OpenGL device: a copy in memory (the managed pool, so it survives a
// device reset) and an OpenGL buffer filled from it at Unlock.

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

    // Called by the device when it goes: the OpenGL buffer went with its context.
    void detach();
    uint32_t glName() const { return bufferName; }
    // The memory copy, as of the last Unlock (what the OpenGL buffer holds).
    const uint8_t* bytes() const { return data.data(); }

private:
    GlDevice* owner;
    std::vector<uint8_t> data;
    uint32_t bufferName = 0;
    bool bLocked = false;
    ULONG refCount = 1;
};
