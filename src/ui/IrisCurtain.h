#pragma once
// A black full-screen curtain that closes as a wobbling circle towards the centre; the screen
// stack draws it over everything, and screens open and close it for their transitions.

#include "media/Renderable.h"

class VertexBuffer;

class IrisCurtain : public Renderable {
public:
    IrisCurtain();
    ~IrisCurtain() override;

    // Moves closedness towards its target by one unit per second, without overshooting.
    void update(double t, double dt) override;
    void render() override;

    // The radius of the open hole (R at 0, none at 1) for the layout size W x H.
    static float holeRadius(float closedness, int layoutWidth, int layoutHeight);
    // R: 32 units beyond the layout's corners.
    static float outerRadius(int layoutWidth, int layoutHeight);

    // 0 fully open .. 1 fully closed.
    float closedness = 0.0f;
    float targetClosedness = 0.0f;
    VertexBuffer* pEdge = nullptr;
    VertexBuffer* pRing = nullptr;
};
