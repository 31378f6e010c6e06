#include "platform/GlVertexBuffer.h"

#include <epoxy/gl.h>

#include "platform/GlDevice.h"

GlVertexBuffer::GlVertexBuffer(GlDevice* device, UINT length) : owner(device), data(length) {
    glGenBuffers(1, &bufferName);
    glBindBuffer(GL_ARRAY_BUFFER, bufferName);
    glBufferData(GL_ARRAY_BUFFER, GLsizeiptr(data.size()), data.data(), GL_DYNAMIC_DRAW);
}

GlVertexBuffer::~GlVertexBuffer() {
    if (owner) {
        owner->forgetVertexBuffer(this);
        if (bufferName) glDeleteBuffers(1, &bufferName);
    }
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
    if (owner && bufferName) {
        owner->makeCurrent();
        glBindBuffer(GL_ARRAY_BUFFER, bufferName);
        glBufferSubData(GL_ARRAY_BUFFER, 0, GLsizeiptr(data.size()), data.data());
    }
    return D3D_OK;
}

void GlVertexBuffer::detach() {
    owner = nullptr;
    bufferName = 0;
}
