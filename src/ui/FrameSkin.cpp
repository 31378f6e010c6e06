#include "ui/FrameSkin.h"

#include <cmath>

#include "engine/ErrorManager.h"
#include "media/Quad.h"
#include "media/Renderable.h"
#include "media/Texture.h"
#include "media/Vertex.h"

FrameSkin::FrameSkin(Quad* source) : pSource(source) { vertexBuffer.resize(24); }

Quad* FrameSkin::sourceQuad(QelBase* skin, WStringView name) {
    if (!skin || !skin->isKindOf(&Quad::classRecord))
        QEL_FATAL(u"FrameSkin::sourceQuad", u"Frame picture '%s' is not a single quad.", WString(name));
    return static_cast<Quad*>(skin);
}

void FrameSkin::buildVertices(Vertex* out, float w, float h, const int b[4], const float outer[4], const float inner[4]) {
    const float xs[4] = {-w / 2, -w / 2 + float(b[0]), w / 2 - float(b[3]), w / 2};
    const float us[4] = {outer[0], inner[0], inner[2], outer[2]};
    const float ys[4] = {h / 2, h / 2 - float(b[1]), -h / 2 + float(b[2]), -h / 2};
    const float vs[4] = {outer[1], inner[1], inner[3], outer[3]};
    for (int row = 0; row < 3; ++row) {
        for (int col = 0; col < 4; ++col) {
            Vertex* v = out + row * 8 + col * 2;
            v[0] = Vertex{xs[col], ys[row], 0.0f, 0xFFFFFFFF, us[col], vs[row]};
            v[1] = Vertex{xs[col], ys[row + 1], 0.0f, 0xFFFFFFFF, us[col], vs[row + 1]};
        }
    }
}

void FrameSkin::setRect(int left, int top, int bottom, int right) {
    border[0] = left;
    border[1] = top;
    border[2] = bottom;
    border[3] = right;
    if (pSource && pSource->pTexture) {
        const int s = Texture::pixelScale();
        const PixelRect& r = pSource->sourceRect;
        pSource->pTexture->pixelRectToUV(r.left + s * left, r.top + s * top, r.bottom - s * bottom, r.right - s * right,
                                         innerUV[0], innerUV[1], innerUV[2], innerUV[3]);
    }
    fitToTexture();
}

void FrameSkin::fitToTexture() {
    if (!pSource || !pSource->pTexture) return;
    setSize((pSource->texRight - pSource->texLeft) * float(pSource->pTexture->width),
            std::fabs(pSource->texTop - pSource->texBottom) * float(pSource->pTexture->height));
}

void FrameSkin::setSize(float w, float h) {
    if (w > 0) width = w;
    if (h > 0) height = h;
    const float outer[4] = {pSource ? pSource->texLeft : 0.0f, pSource ? pSource->texTop : 0.0f,
                            pSource ? pSource->texRight : 1.0f, pSource ? pSource->texBottom : 1.0f};
    buildVertices(vertexBuffer.vertexData, width, height, border, outer, innerUV);
    vertexBuffer.upload();
}

void FrameSkin::drawFor(Renderable* renderable) {
    vertexBuffer.vertexData[0].color = renderable ? renderable->color : 0xFFFFFFFF;
    Texture* texture = pSource ? pSource->pTexture : nullptr;
    if (drawsAllRows()) {
        for (int row = 0; row < 3; ++row) vertexBuffer.draw(texture, 4, row * 8, 8);
    } else {
        vertexBuffer.draw(texture, 4, 8, 8);
    }
}
