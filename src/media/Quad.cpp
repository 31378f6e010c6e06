#include "media/Quad.h"

#include <cmath>

#include "media/Renderable.h"
#include "media/Texture.h"

QEL_IMPLEMENT_CLASS(Quad, &Skin::classRecord, QEL_FACTORY(Quad))

Quad::Quad() { vertexBuffer.resize(4); }

void Quad::setSize(float w, float h) {
    width = w;
    height = h;
    Vertex* v = vertexBuffer.vertexData;
    v[0] = Vertex{-w / 2, h / 2, 0.0f, 0xFFFFFFFF, texLeft, texTop};
    v[1] = Vertex{w / 2, h / 2, 0.0f, 0xFFFFFFFF, texRight, texTop};
    v[2] = Vertex{-w / 2, -h / 2, 0.0f, 0xFFFFFFFF, texLeft, texBottom};
    v[3] = Vertex{w / 2, -h / 2, 0.0f, 0xFFFFFFFF, texRight, texBottom};
    vertexBuffer.upload();
}

void Quad::fitToTexture() {
    if (!pTexture) return;
    setSize((texRight - texLeft) * float(pTexture->width), std::fabs(texTop - texBottom) * float(pTexture->height));
}

void Quad::setSourceRect(int left, int top, int bottom, int right) {
    sourceRect = PixelRect{left, top, bottom, right};
    if (pTexture) pTexture->pixelRectToUV(left, top, bottom, right, texLeft, texTop, texRight, texBottom);
    fitToTexture();
}

void Quad::drawFor(Renderable* renderable) {
    vertexBuffer.vertexData[0].color = renderable ? renderable->color : 0xFFFFFFFF;
    vertexBuffer.draw(pTexture, 4, 0, -1);
}
