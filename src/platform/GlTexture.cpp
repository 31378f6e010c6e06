#include "platform/GlTexture.h"

#include <epoxy/gl.h>

#include "platform/GlDevice.h"

GlTexture::GlTexture(GlDevice* device, UINT width, UINT height, D3DFORMAT format)
    : owner(device), width(width), height(height), format(format), pixels(size_t(width) * height) {
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // A texture without alpha reads as opaque.
    if (format == D3DFMT_X8R8G8B8) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(width), GLsizei(height), 0, GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
}

GlTexture::~GlTexture() {
    if (owner) {
        owner->forgetTexture(this);
        if (textureName) glDeleteTextures(1, &textureName);
    }
}

ULONG GlTexture::Release() {
    ULONG left = --refCount;
    if (left == 0) delete this;
    return left;
}

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD) {
    if (level != 0 || !locked || bLocked) return D3DERR_INVALIDCALL;
    size_t offset = 0;
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > width || UINT(rect->bottom) > height)
            return D3DERR_INVALIDCALL;
        offset = size_t(rect->top) * width + size_t(rect->left);
    }
    locked->Pitch = int(width * sizeof(D3DCOLOR));
    locked->pBits = pixels.data() + offset;
    bLocked = true;
    return D3D_OK;
}

HRESULT GlTexture::UnlockRect(UINT level) {
    if (level != 0 || !bLocked) return D3DERR_INVALIDCALL;
    bLocked = false;
    if (owner && textureName) {
        owner->makeCurrent();
        glBindTexture(GL_TEXTURE_2D, textureName);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, GLsizei(width), GLsizei(height), GL_BGRA, GL_UNSIGNED_BYTE, pixels.data());
    }
    return D3D_OK;
}

void GlTexture::detach() {
    owner = nullptr;
    textureName = 0;
}
