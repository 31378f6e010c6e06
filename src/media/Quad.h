#pragma once
// One textured rectangle: four vertices in triangle-strip order, centred on the local origin,
// showing a rectangle of a texture given in texture coordinates or in texture pixels.

#include "media/PixelRect.h"
#include "media/Skin.h"

class Texture;

class Quad : public Skin {
    QEL_DECLARE_CLASS()
public:
    Quad();

    void drawFor(Renderable* renderable) override;
    // The size of the shown texture part in layout units.
    virtual void fitToTexture();

    void setSize(float w, float h);
    // Pixels of the texture in the order left, top, bottom, right.
    void setSourceRect(int left, int top, int bottom, int right);

    Texture* pTexture = nullptr;
    float texLeft = 0.0f;
    float texTop = 0.0f;
    float texRight = 1.0f;
    float texBottom = 1.0f;
    PixelRect sourceRect;
};
