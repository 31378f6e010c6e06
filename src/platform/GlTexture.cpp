#include "platform/GlTexture.h"

#include <epoxy/gl.h>

#include "platform/GlDevice.h"

GlTexture::GlTexture(GlDevice* device, UINT width, UINT height, D3DFORMAT format)
    : owner(device), width(width), height(height), format(format) {
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // A texture without alpha reads as opaque.
    if (format == D3DFMT_X8R8G8B8) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    // A new texture is transparent black.
    const std::vector<D3DCOLOR> zero(size_t(width) * height, 0);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(width), GLsizei(height), 0, GL_BGRA, GL_UNSIGNED_BYTE, zero.data());
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
    RECT area{0, 0, int32_t(width), int32_t(height)};
    if (rect) {
        if (rect->left < 0 || rect->top < 0 || rect->left >= rect->right || rect->top >= rect->bottom ||
            UINT(rect->right) > width || UINT(rect->bottom) > height)
            return D3DERR_INVALIDCALL;
        area = *rect;
    }
    // Only the locked area is held in memory, and only while it is locked: the pixels themselves
    // live in the OpenGL texture, which outlasts a device reset. The lock shows what the texture
    // holds there, as a Direct3D lock does.
    lockedArea = area;
    const GLsizei w = GLsizei(area.right - area.left), h = GLsizei(area.bottom - area.top);
    lockedPixels.assign(size_t(w) * size_t(h), 0);
    if (owner && textureName) {
        owner->makeCurrent();
        GLint previousRead = 0;
        glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &previousRead);
        GLuint reader = 0;
        glGenFramebuffers(1, &reader);
        glBindFramebuffer(GL_READ_FRAMEBUFFER, reader);
        glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureName, 0);
        if (glCheckFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE) {
            glPixelStorei(GL_PACK_ALIGNMENT, 4);
            glReadPixels(GLint(area.left), GLint(area.top), w, h, GL_BGRA, GL_UNSIGNED_BYTE, lockedPixels.data());
        }
        glBindFramebuffer(GL_READ_FRAMEBUFFER, GLuint(previousRead));
        glDeleteFramebuffers(1, &reader);
    }
    locked->Pitch = int(w * int(sizeof(D3DCOLOR)));
    locked->pBits = lockedPixels.data();
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
        glTexSubImage2D(GL_TEXTURE_2D, 0, GLint(lockedArea.left), GLint(lockedArea.top), GLsizei(lockedArea.right - lockedArea.left),
                        GLsizei(lockedArea.bottom - lockedArea.top), GL_BGRA, GL_UNSIGNED_BYTE, lockedPixels.data());
    }
    std::vector<D3DCOLOR>().swap(lockedPixels);
    return D3D_OK;
}

void GlTexture::detach() {
    owner = nullptr;
    textureName = 0;
}
