#include "platform/GlVertexBuffer.h"

#include "platform/GlDevice.h"

GlVertexBuffer::GlVertexBuffer(GlDevice* device, UINT length) : owner(device), data(length) {}

GlVertexBuffer::~GlVertexBuffer() {
    if (owner) owner->forgetVertexBuffer(this);
}

ULONG GlVertexBuffer::Release() {
    ULONG left = --refCount;
    if (left == 0) delete this;
    return left;
}

HRESULT GlVertexBuffer::Lock(UINT offsetToLock, UINT sizeToLock, void** ppbData, DWORD) {
    if (!ppbData || bLocked) return D3DERR_INVALIDCALL;
    if (offsetToLock > data.size() || sizeToLock > data.size() - offsetToLock) return D3DERR_INVALIDCALL;
    *ppbData = data.data() + offsetToLock;
    bLocked = true;
    return D3D_OK;
}

HRESULT GlVertexBuffer::Unlock() {
    if (!bLocked) return D3DERR_INVALIDCALL;
    bLocked = false;
    return D3D_OK;
}

void GlVertexBuffer::detach() { owner = nullptr; }
