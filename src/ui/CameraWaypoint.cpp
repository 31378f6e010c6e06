#include "ui/CameraWaypoint.h"

CameraWaypoint::CameraWaypoint(float x, float y, float z) {
    position = Vector3(x, y, z);
    target = Vector3(x, y, target.z);
}

void CameraWaypoint::update(double, double dt) {
    if (progress >= 1.0f) return;
    waypointTime += dt;
    float p = duration == 0.0 ? 1.0f : float(waypointTime / duration);
    if (p < 0) p = 0;
    if (p > 1) p = 1;
    progress = p;
}
