#pragma once
// A bar showing a fraction 0..1: a frame skin and a filling cropped from the left, both from one
// texture. The filling moves, turns and scales with the bar.

#include "media/Renderable.h"

class Texture;
class Quad;

class ProgressBar : public Renderable {
public:
    // frameSkinIndex < 0: no frame. The fill is a quad of its own over the fill skin's pixels.
    ProgressBar(Texture* texture, int frameSkinIndex, int fillSkinIndex);
    ~ProgressBar() override;

    // Clamped to 0..1; the fill shows that part of the fill skin from its left edge.
    void setFraction(float f);
    void render() override;
    void updateXform() override;

    Texture* pTexture = nullptr;
    int fillSkinIndex = 0;
    float fraction = 0.0f;
    Renderable fill;

private:
    Quad* fillQuad = nullptr;
};
