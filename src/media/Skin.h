#pragma once
// The drawable shape a renderable carries: a width by height rectangle around a local centre, an
// anchor point that lands on the renderable's origin, a hit test in local space and point hooks
// by which derived skins bend their shape. The base skin draws nothing.

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "media/VertexBuffer.h"
#include "platform/D3DX9.h"

class Renderable;

class Skin : public QelBase {
    QEL_DECLARE_CLASS()
public:
    Skin();
    ~Skin() override;

    // Moves the matrix's translation by minus the anchor point.
    virtual D3DXMATRIX& applyAnchor(D3DXMATRIX& m);
    // A local point inside the rectangle: left and bottom edges in, right and top edges out.
    virtual bool isPointInside(float x, float y, float z);
    // Draws for the renderable with its world transform already set; nothing here.
    virtual void drawFor(Renderable* renderable);
    virtual Vector3 getCorner();
    virtual Vector3 warpPoint(const Vector3& point);
    virtual Vector3 unwarpPoint(const Vector3& point);
    virtual Vector3 warpPointFrame(const Vector3& point);
    virtual Vector3 unwarpPointFrame(const Vector3& point);

    // The anchor by number-pad code with y up: 1 bottom-left, 2 bottom middle, 3 bottom-right,
    // 4 middle left, 6 middle right, 7 top-left, 8 top middle, 9 top-right; any other code the
    // centre. Call again after the size changes.
    void setAnchor(int code);

    Vector3 originOffset;
    Vector3 center;
    VertexBuffer vertexBuffer;
    float width = 0.0f;
    float height = 0.0f;
};
