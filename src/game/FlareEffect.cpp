#include "game/FlareEffect.h"

#include "ui/Global.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/SmokeEffect.h"
#include "game/SmokeParticle.h"
#include "media/Texture.h"

namespace {
constexpr float kTwoPi = 2.0f * 3.14159265f;
}  // namespace

FlareEffect::FlareEffect(float x, float y, float z, int count, float minSpeed, float maxSpeed, float angle,
                         float angleRange, float size, uint32_t colour)
    : count(count), maxSpeed(maxSpeed), size(size) {
    if (qel && qel->pResourceManager) frames = static_cast<Texture*>(qel->pResourceManager->find(true, u"flare"))->skins;
    for (int i = 0; i < count; ++i) {
        auto* p = new SmokeParticle();
        p->rotation.z = kTwoPi * randomUnit();
        p->color = colour != 0 ? colour : randomPrimaryColor();
        if (!frames.empty()) p->pSkin = frames[0];
        SmokeEffect::launch(*p, x, y, z, minSpeed, maxSpeed, angle, angleRange);
        particles.push_back(p);
    }
}

FlareEffect::~FlareEffect() {
    for (SmokeParticle* p : particles) delete p;
}

void FlareEffect::update(double t, double dt) {
    bool alive = false;
    for (SmokeParticle* p : particles) {
        if (!(p->speed > 0.0f)) continue;
        if (!frames.empty()) p->pSkin = frames[0];
        p->position = p->position + p->velocity * float(dt);
        const float s = maxSpeed > 0.0f ? 0.1f + (p->speed / maxSpeed) * (size - 0.1f) : 0.1f;
        p->scale = Vector3(s, s, s);
        p->speed -= deceleration * float(dt);
        p->updateXform();
        alive = alive || p->speed > 0.0f;
    }
    if (!alive) bDead = true;
    QelBase::update(t, dt);
}

void FlareEffect::render() {
    for (SmokeParticle* p : particles)
        if (p->speed > 0.0f) p->render();
}
