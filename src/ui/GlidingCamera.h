#pragma once
// A camera that glides through its queue of waypoints (children, in queue order) with easing and
// can shake. A waypoint is dropped once a later one has completed.

#include "media/Camera.h"

class CameraWaypoint;

class GlidingCamera : public Camera {
public:
    GlidingCamera();

    void update(double time, double dt) override;

    // Rest position, position and look-at at once; the queue is emptied.
    void jumpTo(float x, float y, float z);
    CameraWaypoint* addWaypoint(float x, float y, float z, double duration);

    Vector3 restPosition;
    double shakeDuration = 0.0;
    double shakeTime = 0.0;
    float shakeAmplitude = 0.0f;
    float shakeOffset = 0.0f;
};
