#pragma once
// The motion of one train segment along its track: a body of some mass under a force, slowed by
// damping and friction, whose velocity is capped on x. Only the x components are used by trains:
// x is the track position of the segment's front.

#include "engine/MathUtil.h"
#include "engine/QelBase.h"

class Packet;

class LayoutController : public QelBase {
public:
    // One integration step of dt seconds; the force is used up.
    void update(double time, double dt) override;
    // The five vectors, then mass, friction, the velocity caps and damping as raw words. Reading
    // refuses (false, logged, the packet marked damaged) values that are no numbers, a mass that is
    // not positive or below 0.001 and a floor above the cap; the fields then hold what was read.
    bool serialize(Packet& packet);

    Vector3 position;
    Vector3 previousPosition;
    Vector3 velocity;
    Vector3 acceleration;
    Vector3 force;
    float mass = 1.0f;
    float friction = 0.0f;
    float maxVelocity = 1000000.0f;
    float minVelocity = -1000000.0f;
    float damping = 0.0f;
};
