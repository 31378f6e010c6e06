#pragma once
// The standard mouse pointer, drawn by the screen stack over screens that show the pointer.

#include "media/Renderable.h"

class Texture;

class PointerSprite : public Renderable {
public:
    PointerSprite();
    // Follows the pointer of the screen being updated; dimmed or hidden in touch mode.
    void update(double t, double dt) override;

    // The "mousePointer" texture (a resource, not owned).
    Texture* pTexture = nullptr;
    int spare = 0;
};
