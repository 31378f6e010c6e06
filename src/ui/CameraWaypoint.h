#pragma once
// A target position of a gliding camera: reached over 'duration' seconds with an easing, after an
// optional delay. Queued as a child of the GlidingCamera.

#include "media/Camera.h"

class CameraWaypoint : public Camera {
public:
    CameraWaypoint(float x, float y, float z);

    // Advances the waypoint's own clock; the camera update of the base is not run.
    void update(double time, double dt) override;

    int easing = 6;
    double duration = 1.0;
    double waypointTime = 0.0;
    float progress = 0.0f;
    double delay = 0.0;
};
