#include "platform/GlTexture.h"

#include <epoxy/gl.h>

#include <algorithm>
#include <atomic>

#include "platform/GlDevice.h"

GlTexture::GlTexture(GlDevice* device, UINT width, UINT height, D3DFORMAT format)
    : owner(device), width(width), height(height), format(format) {
    columns = int((width + TILE - 1) / TILE);
    rows = int((height + TILE - 1) / TILE);
    // Without alpha every texel reads as opaque; otherwise the texture starts transparent.
    tiles.assign(size_t(columns) * size_t(rows), format == D3DFMT_X8R8G8B8 ? uint8_t(TILE_VISIBLE | TILE_OPAQUE) : uint8_t(0));
    glGenTextures(1, &textureName);
    glBindTexture(GL_TEXTURE_2D, textureName);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAX_LEVEL, 0);
    // A texture without alpha reads as opaque.
    if (format == D3DFMT_X8R8G8B8) glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_SWIZZLE_A, GL_ONE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, GLsizei(width), GLsizei(height), 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
    // A new texture is transparent black: cleared where it lives, without a zeroed copy in memory,
    // by the driver's own texture clear where it has one (no framebuffer, and so no drawing
    // memory, for it), else by a framebuffer over the texture.
    if (epoxy_has_gl_extension("GL_ARB_clear_texture")) {
        glClearTexImage(textureName, 0, GL_BGRA, GL_UNSIGNED_BYTE, nullptr);
        return;
    }
    GLint previousDraw = 0;
    glGetIntegerv(GL_DRAW_FRAMEBUFFER_BINDING, &previousDraw);
    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    GLboolean mask[4];
    GLfloat clearColor[4];
    glGetBooleanv(GL_COLOR_WRITEMASK, mask);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    GLuint writer = 0;
    glGenFramebuffers(1, &writer);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, writer);
    glFramebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, textureName, 0);
    glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glClearColor(0, 0, 0, 0);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    glColorMask(mask[0], mask[1], mask[2], mask[3]);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    glBindFramebuffer(GL_DRAW_FRAMEBUFFER, GLuint(previousDraw));
    glDeleteFramebuffers(1, &writer);
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

HRESULT GlTexture::LockRect(UINT level, D3DLOCKED_RECT* locked, const RECT* rect, DWORD flags) {
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
    // Nothing to read where nothing was written yet, or where the caller overwrites everything.
    if (owner && textureName && bWritten && !(flags & D3DLOCK_DISCARD)) {
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
    // Draws waiting in the device's queue show the texture as it was.
    if (owner) owner->flushDraws();
    if (owner && textureName) {
        owner->makeCurrent();
        glBindTexture(GL_TEXTURE_2D, textureName);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glTexSubImage2D(GL_TEXTURE_2D, 0, GLint(lockedArea.left), GLint(lockedArea.top), GLsizei(lockedArea.right - lockedArea.left),
                        GLsizei(lockedArea.bottom - lockedArea.top), GL_BGRA, GL_UNSIGNED_BYTE, lockedPixels.data());
    }
    noteWritten(lockedArea, lockedPixels.data(), size_t(lockedArea.right - lockedArea.left));
    std::vector<D3DCOLOR>().swap(lockedPixels);
    bWritten = true;
    return D3D_OK;
}

HRESULT GlTexture::UpdateRect(const RECT& area, const void* pixels, UINT pitch) {
    if (bLocked || !pixels || area.left < 0 || area.top < 0 || area.left >= area.right || area.top >= area.bottom ||
        UINT(area.right) > width || UINT(area.bottom) > height || pitch % 4 != 0 || pitch / 4 < UINT(area.right - area.left))
        return D3DERR_INVALIDCALL;
    // Draws waiting in the device's queue show the texture as it was.
    if (owner) owner->flushDraws();
    if (owner && textureName) {
        owner->makeCurrent();
        glBindTexture(GL_TEXTURE_2D, textureName);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, GLint(pitch / 4));
        glTexSubImage2D(GL_TEXTURE_2D, 0, GLint(area.left), GLint(area.top), GLsizei(area.right - area.left),
                        GLsizei(area.bottom - area.top), GL_BGRA, GL_UNSIGNED_BYTE, pixels);
        glPixelStorei(GL_UNPACK_ROW_LENGTH, 0);
    }
    noteWritten(area, static_cast<const D3DCOLOR*>(pixels), pitch / 4);
    bWritten = true;
    return D3D_OK;
}

uint64_t GlTexture::newContentStamp() {
    static std::atomic<uint64_t> last{0};
    return ++last;
}

void GlTexture::noteWritten(const RECT& area, const D3DCOLOR* pixels, size_t pitchInPixels) {
    stamp = newContentStamp();
    if (format == D3DFMT_X8R8G8B8) return;
    const int c0 = area.left / TILE, c1 = (area.right - 1) / TILE;
    const int r0 = area.top / TILE, r1 = (area.bottom - 1) / TILE;
    for (int r = r0; r <= r1; ++r) {
        const int tileTop = r * TILE, tileBottom = std::min(tileTop + TILE, int(height));
        const int y0 = std::max(tileTop, int(area.top)), y1 = std::min(tileBottom, int(area.bottom));
        for (int c = c0; c <= c1; ++c) {
            const int tileLeft = c * TILE, tileRight = std::min(tileLeft + TILE, int(width));
            const int x0 = std::max(tileLeft, int(area.left)), x1 = std::min(tileRight, int(area.right));
            uint32_t anyAlpha = 0, allAlpha = 0xFF;
            for (int y = y0; y < y1; ++y) {
                const D3DCOLOR* row = pixels + size_t(y - area.top) * pitchInPixels;
                for (int x = x0; x < x1; ++x) {
                    const uint32_t a = row[x - area.left] >> 24;
                    anyAlpha |= a;
                    allAlpha &= a;
                }
            }
            uint8_t& t = tiles[size_t(r) * size_t(columns) + size_t(c)];
            const bool whole = x0 == tileLeft && x1 == tileRight && y0 == tileTop && y1 == tileBottom;
            const uint8_t seen = uint8_t((anyAlpha ? TILE_VISIBLE : 0) | (allAlpha == 0xFF ? TILE_OPAQUE : 0));
            if (whole) t = seen;
            else t = uint8_t((t | (seen & TILE_VISIBLE)) & ((seen & TILE_OPAQUE) ? 0xFF : ~TILE_OPAQUE));
        }
    }
}

void GlTexture::detach() {
    owner = nullptr;
    textureName = 0;
}
