#include "game/SmokeEffect.h"

#include <cmath>

#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "game/SmokeParticle.h"
#include "media/Texture.h"

namespace {
constexpr float kTwoPi = 2.0f * 3.14159265f;

std::vector<Skin*> skinList(const char16_t* name) {
    if (!qel || !qel->pResourceManager) return {};
    return static_cast<Texture*>(qel->pResourceManager->find(true, name))->skins;
}
}  // namespace

float SmokeEffect::coneFactor(float theta, float angle, float angleRange) {
    if (!(angleRange > 0.0f && angleRange < kTwoPi)) return 1.0f;
    return 1.0f - 0.9f * std::fabs(theta - angle) / (angleRange / 2.0f);
}

void SmokeEffect::launch(SmokeParticle& p, float x, float y, float z, float minSpeed, float maxSpeed, float angle,
                         float angleRange) {
    // The roll was drawn by the caller (with the colour after it); here the direction and speed.
    const float theta = angle + angleRange * randomUnit() - angleRange / 2.0f;
    float speed = minSpeed + (maxSpeed - minSpeed) * randomUnit();
    const float factor = coneFactor(theta, angle, angleRange);
    speed *= factor;
    p.position = Vector3(x, y, z);
    p.velocity = Vector3(speed * std::cos(theta), speed * std::sin(theta), 0.0f);
    p.speed = speed;
    p.initialSpeed = speed;
    p.updateXform();
}

SmokeEffect::SmokeEffect(float x, float y, float z, int count, float minSpeed, float maxSpeed, float angle,
                         float angleRange, float size, uint32_t colour)
    : count(count), maxSpeed(maxSpeed), size(size), frames(skinList(u"smoke")) {
    for (int i = 0; i < count; ++i) {
        auto* p = new SmokeParticle();
        p->rotation.z = kTwoPi * randomUnit();
        p->scale = Vector3(size, size, size);
        p->color = colour;
        if (!frames.empty()) p->pSkin = frames[0];
        launch(*p, x, y, z, minSpeed, maxSpeed, angle, angleRange);
        particles.push_back(p);
    }
}

SmokeEffect::~SmokeEffect() {
    for (SmokeParticle* p : particles) delete p;
}

void SmokeEffect::update(double t, double dt) {
    bool alive = false;
    const int n = int(frames.size());
    for (SmokeParticle* p : particles) {
        if (!(p->speed > 0.0f)) continue;
        p->age = 1.0f - p->speed / (p->initialSpeed + 1.0f);
        if (maxSpeed > 0.0f && n > 0) {
            const int frame = int((maxSpeed - p->speed) * float(n - 1) / maxSpeed);
            // A frame beyond the list keeps the one shown.
            if (frame >= 0 && frame < n) p->pSkin = frames[size_t(frame)];
        }
        p->position = p->position + p->velocity * float(dt);
        const float s = (0.25f + 0.75f * p->age) * size;
        p->scale = Vector3(s, s, s);
        p->speed -= deceleration * float(dt);
        p->updateXform();
        alive = alive || p->speed > 0.0f;
    }
    if (!alive) bDead = true;
    QelBase::update(t, dt);
}

void SmokeEffect::render() {
    for (SmokeParticle* p : particles)
        if (p->speed > 0.0f) p->render();
}
