#include "game/MotionController.h"

void MotionController::update(double time, double dt) {
    if (dt > MAX_STEP) {
        update(time, dt / 2);
        update(time + dt / 2, dt / 2);
        return;
    }
    const float step = static_cast<float>(dt);
    acceleration = force * (1.0f / mass);
    velocity = velocity + acceleration * step;
    if (damping > 0.0f) {
        const Vector3 d = velocity * (damping * step);
        if (d.length() > velocity.length()) velocity = Vector3();
        else velocity = velocity - d;
    }
    float speed = velocity.length();
    if (speed > 0.0f && drag > 0.0f) {
        const float change = drag * step;
        if (change > speed) velocity = Vector3();
        else velocity = velocity - velocity * (change / speed);
        speed = velocity.length();
    }
    if (speed > maxSpeed) {
        velocity = velocity * (maxSpeed / speed);
        speed = maxSpeed;
    }
    previousPosition = position;
    if (speed > 0.0f) position = position + velocity * step;
    if (bClearForce) force = Vector3();
}
