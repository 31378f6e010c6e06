#pragma once
// Moves a body under a force in steps of at most 0.04 s: acceleration from the force and mass,
// damping and drag, a speed cap. A fired piece flies with no force in a straight line; the
// launcher's chain keeps its force from step to step (bClearForce off).

#include "engine/MathUtil.h"
#include "engine/QelBase.h"

class MotionController : public QelBase {
public:
    // A step longer than 0.04 s is made as two halves (each split again while too long).
    void update(double time, double dt) override;

    Vector3 position;
    Vector3 previousPosition;
    Vector3 velocity;
    Vector3 acceleration;
    Vector3 force;
    float mass = 1.0f;
    float drag = 0.0f;
    float maxSpeed = 1000000.0f;
    float damping = 0.0f;
    bool bClearForce = true;

    static constexpr double MAX_STEP = 0.04;
};
