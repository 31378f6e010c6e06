#pragma once
// The view of a screen: eye and target, a pixel-aligned eye for the view matrix, the projection
// (90 degrees across), and the world rectangle visible at a given depth.

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "media/WorldRect.h"

class Camera : public QelBase {
    QEL_DECLARE_CLASS()
public:
    Camera();

    // Recomputes eye and lookAt; the base update (state and children) is not run.
    void update(double time, double dt) override;
    // Sets the projection and view transforms on the device.
    void render() override;
    // Called by the camera's context after its contents have ticked.
    virtual void postUpdate(double time, double dt) {}

    // The world rectangle seen at depth z (inverted, so empty, behind the camera).
    WorldRect getVisibleRect(float z) const;

    Vector3 position;
    Vector3 target;
    float aspect;
    float roll = 0.0f;
    bool bSnapToPixels = true;
    Vector3 eye;
    Vector3 lookAt;
};
