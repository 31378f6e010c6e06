#pragma once
// The engine's drawable object: a skin drawn in a colour at a position, rotation and scale, with
// optional base and parent transforms, the world matrix built from them and its inverse, and a
// bounding circle for visibility and hit tests. It draws itself only, never its children.

#include <cstdint>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "platform/D3DX9.h"

class Skin;

class Renderable : public QelBase {
    QEL_DECLARE_CLASS()
public:
    Renderable();
    ~Renderable() override;

    void render() override;
    bool isUnderPointer() override;
    // Reading the object from a packet recomputes its transform.
    void netSerialize(Packet& packet) override;
    // collisionSensitivity, position, rotation, scale, color and (when shared) pSkin.
    void describe(PropertyContainer* group) override;

    virtual void setColorStates();
    virtual D3DXMATRIX& applyLocalXform(D3DXMATRIX& m);
    virtual void calcXform();
    virtual void calcBounds();
    virtual void updateVisibility();
    virtual bool isPointInsideSkin(const Vector3& worldPoint);
    virtual bool isPointInsideBounds(const Vector3& worldPoint, float radiusFactor);
    virtual bool isPointInsideCollisionBounds(const Vector3& worldPoint);
    virtual bool collide(Renderable* other);
    virtual Vector3 local2world(const Vector3& localPoint);
    virtual Vector3 world2local(const Vector3& worldPoint);
    virtual void updateXform();
    virtual void setScaleXY(float s);
    virtual void setPostScale(float x, float y, float z);
    virtual Vector3 getPostScale();
    virtual void setPostScaleXY(float s);
    virtual void setBaseXform(const D3DXMATRIX& m);
    virtual void setParentXform(const D3DXMATRIX& m);

    // Copies each argument given (null ones are skipped), then updates the transform once.
    void set(Skin* skin, const Vector3* position, const Vector3* rotation, const Vector3* scale, const void* reserved,
             const D3DXMATRIX* parentXform);

    // Red, green and blue multiplied by the factor (truncated, low eight bits kept), alpha kept.
    static uint32_t scaleColorRGB(uint32_t color, float factor);

    D3DXMATRIX worldXform;
    D3DXMATRIX invXform;
    Vector3 boundsCenter;
    uint32_t color = 0xFFFFFFFF;
    float boundsRadius = 0.0f;
    float collisionSensitivity = 1.0f;
    bool bHidden = false;
    bool bOwnsSkin = false;
    bool bHasInvXform = false;
    // False while the world matrix cannot be inverted (a scale of zero): the renderable is then
    // never under the pointer and maps no point to local space.
    bool bInvXformValid = true;
    D3DXMATRIX baseXform;
    D3DXMATRIX parentXform;
    Skin* pSkin = nullptr;
    Vector3 position;
    Vector3 rotation;
    Vector3 scale{1.0f, 1.0f, 1.0f};
    Vector3 postScale{1.0f, 1.0f, 1.0f};
    int scaleMode = 0;
    int xformFrame = -1;

private:
    void drawDebugOverlays(int debugBits);
};
