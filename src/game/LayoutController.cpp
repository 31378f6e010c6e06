#include "game/LayoutController.h"

#include <algorithm>
#include <cmath>

#include "engine/Packet.h"
#include "game/Train.h"

namespace {

float squared(const Vector3& v) { return v.x * v.x + v.y * v.y + v.z * v.z; }

// Segments weigh 1; a lighter body than this would turn the forces of play into speeds no
// number holds (a denormal mass has no finite inverse at all).
constexpr float kMinMass = 1.0e-3f;

}  // namespace

void LayoutController::update(double, double dt) {
    const float step = static_cast<float>(dt);
    acceleration = force * (1.0f / mass);
    velocity = velocity + acceleration * step;
    if (damping > 0.0f) {
        const Vector3 drag = velocity * (damping * step);
        if (squared(drag) > squared(velocity)) velocity = Vector3();
        else velocity = velocity - drag;
    }
    if (squared(velocity) > 0.0f) {
        if (friction > 0.0f) {
            const Vector3 f = normalizeVector(velocity) * (-step * friction);
            if (squared(f) > squared(velocity)) velocity = Vector3();
            else velocity = velocity + f;
        }
        velocity.x = std::clamp(velocity.x, minVelocity, maxVelocity);
        previousPosition = position;
        position = position + velocity * step;
    }
    force = Vector3();
}

bool LayoutController::serialize(Packet& packet) {
    packet.doVector3(&position.x);
    packet.doVector3(&previousPosition.x);
    packet.doVector3(&velocity.x);
    packet.doVector3(&acceleration.x);
    packet.doVector3(&force.x);
    for (float* f : {&mass, &friction, &maxVelocity, &minVelocity, &damping}) packet.doRawWord(f);
    if (packet.bWriting) return true;
    const char16_t* fn = u"LayoutController::serialize";
    for (const Vector3* v : {&position, &previousPosition, &velocity, &acceleration, &force})
        if (!Train::isFinite(*v)) return Train::refuseData(packet, fn, u"a vector that is no number");
    if (!Train::isFinite({mass, friction, maxVelocity, minVelocity, damping}))
        return Train::refuseData(packet, fn, u"a coefficient that is no number");
    if (!(mass > 0.0f)) return Train::refuseData(packet, fn, u"mass <= 0");
    if (mass < kMinMass || !std::isfinite(1.0f / mass)) return Train::refuseData(packet, fn, u"a mass below 0.001");
    if (minVelocity > maxVelocity) return Train::refuseData(packet, fn, u"minVelocity > maxVelocity");
    return !packet.bBadData;
}
