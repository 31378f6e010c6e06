#pragma once
// The nine-slice skin of the front end: one rectangle of a texture drawn at any size, its four
// borders kept at their natural size and the middle stretched. Three rows of eight vertices.

#include "engine/Text.h"
#include "media/Skin.h"

class Quad;
struct Vertex;

class FrameSkin : public Skin {
public:
    explicit FrameSkin(Quad* source);
    // The picture a frame is cut from must be a single quad of a texture; anything else (a tiled
    // picture, a missing one) is a data error and ends the program with the name.
    static Quad* sourceQuad(QelBase* skin, WStringView name);

    void drawFor(Renderable* renderable) override;

    // Borders in texture pixels (also used as drawing units); then the natural size.
    void setRect(int left, int top, int bottom, int right);
    // The natural size of the source rectangle.
    void fitToTexture();
    // A size of 0 or below keeps that dimension.
    void setSize(float w, float h);
    // Without a top or bottom border only the middle row is drawn, over the full height.
    bool drawsAllRows() const { return border[1] != 0 || border[2] != 0; }

    // The 24 vertices for a size, borders (left, top, bottom, right), the outer texture
    // coordinates (left u, top v, right u, bottom v) and the inner ones in the same order.
    static void buildVertices(Vertex* out, float w, float h, const int border[4], const float outerUV[4],
                              const float innerUV[4]);

    Quad* pSource;
    float innerUV[4] = {};
    int border[4] = {};
};
