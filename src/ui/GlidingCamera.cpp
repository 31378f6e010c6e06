#include "ui/GlidingCamera.h"

#include <cmath>

#include "ui/CameraWaypoint.h"

GlidingCamera::GlidingCamera() { restPosition = position; }

void GlidingCamera::jumpTo(float x, float y, float z) {
    restPosition = Vector3(x, y, z);
    position = restPosition;
    target = Vector3(x, y, target.z);
    while (lastChild) static_cast<QelBase*>(lastChild)->release();
    Camera::update(0.0, 0.0);
}

CameraWaypoint* GlidingCamera::addWaypoint(float x, float y, float z, double duration) {
    auto* w = new CameraWaypoint(x, y, z);
    w->duration = duration;
    addChild(w);
    return w;
}

void GlidingCamera::update(double time, double dt) {
    Vector3 p = restPosition;
    for (BasicLink* l = firstChild; l;) {
        BasicLink* next = l->next;
        auto* w = static_cast<CameraWaypoint*>(l);
        if (w->delay > 0) {
            w->delay -= dt;
            l = next;
            continue;
        }
        w->update(time, dt);
        p = interpolateVector(p, w->position, w->progress, w->easing);
        if (w->progress >= 1.0f && w->prev) {
            // The earlier waypoint no longer affects the result.
            auto* earlier = static_cast<QelBase*>(w->prev);
            removeChild(earlier);
            earlier->release();
        }
        l = next;
    }
    position = p;
    target = Vector3(p.x, p.y, target.z);
    if (shakeTime < shakeDuration) {
        shakeTime += dt;
        if (shakeTime < 0) shakeTime = 0;
        if (shakeTime > shakeDuration) shakeTime = shakeDuration;
        shakeOffset = float(std::cos(shakeTime * 32.0) * (shakeDuration - shakeTime) * shakeAmplitude);
    }
    Camera::update(time, dt);
}
