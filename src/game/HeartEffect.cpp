#include "game/HeartEffect.h"

#include <cmath>

#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/Skin.h"
#include "media/Texture.h"

HeartEffect::HeartEffect(float x, float y, float z) : startX(x), startZ(z) {
    if (qel && qel->pResourceManager) {
        frames = static_cast<Texture*>(qel->pResourceManager->find(true, u"heart"))->skins;
        glow.pSkin = static_cast<Skin*>(qel->pResourceManager->find(true, u"flare:0"));
    }
    if (!frames.empty()) pSkin = frames[0];
    position = Vector3(x, y, z);
    glow.position = position;
    updateXform();
    glow.updateXform();
}

void HeartEffect::update(double t, double dt) {
    age += float(0.5 * dt);
    if (age > 1.0f) bDead = true;
    phase += float(dt);
    phase -= std::floor(phase);
    const int n = int(frames.size());
    if (n > 0) {
        const int frame = int(std::floor(phase * float(n - 1)));
        if (frame >= 0 && frame < n) pSkin = frames[size_t(frame)];
    }
    position.y += float(100.0 * dt);
    position.x = startX + std::cos(16.0f * age) * (24.0f - 24.0f * age);
    const float s = 1.5f - 1.5f * age * age;
    scale = Vector3(s, s, 1.0f);
    updateXform();
    glow.position = position;
    glow.scale = Vector3(3.0f * s, 3.0f * s, 1.0f);
    glow.rotation.z += float(2.0 * dt);
    glow.updateXform();
    Renderable::update(t, dt);
}

void HeartEffect::render() {
    if (bHidden) return;
    glow.render();
    Renderable::render();
}
