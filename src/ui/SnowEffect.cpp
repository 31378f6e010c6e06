#include "ui/SnowEffect.h"

#include <cmath>

#include "ui/SnowFlake.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "engine/ResourceManager.h"
#include "media/Camera.h"
#include "media/QelGraphics.h"
#include "media/Skin.h"

namespace {

constexpr float kTwoPi = 6.2831855f;

void layoutSize(int& w, int& h) {
    w = qel && qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800;
    h = qel && qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480;
}

// Brings v into [low, low + size] by one shift of the window's size, as a falling flake needs.
void wrap(float& v, float low, float size) {
    if (v < low) v += size;
    else if (v > low + size) v -= size;
}

}  // namespace

SnowEffect::SnowEffect(Camera* camera, float areaScale) : pCamera(camera), areaScale(areaScale) {
    int w, h;
    layoutSize(w, h);
    flakes = new SnowFlake[flakeCount];
    for (int i = 0; i < flakeCount; ++i) {
        SnowFlake& f = flakes[i];
        f.phase = kTwoPi * randomUnit();
        f.basePosition.z = randomUnit() * static_cast<float>(-(w / 3));
        f.basePosition.y = -areaScale * static_cast<float>(h) / 2.0f + areaScale * static_cast<float>(h) * randomUnit();
        f.basePosition.x = -areaScale * static_cast<float>(w) / 2.0f + areaScale * static_cast<float>(w) * randomUnit();
        if (qel && qel->pResourceManager) f.pSkin = static_cast<Skin*>(qel->pResourceManager->find(false, u"snowFlake:0"));
        f.scale.x = f.scale.y = 0.3f;
        f.bSkipVisibility = true;
    }
}

SnowEffect::~SnowEffect() { delete[] flakes; }

void SnowEffect::update(double t, double dt) {
    int w, h;
    layoutSize(w, h);
    const float width = areaScale * static_cast<float>(w), height = areaScale * static_cast<float>(h);
    const float cx = pCamera ? pCamera->position.x : 0.0f, cy = pCamera ? pCamera->position.y : 0.0f;
    const float step = static_cast<float>(dt);
    for (int i = 0; i < flakeCount; ++i) {
        SnowFlake& f = flakes[i];
        wrap(f.basePosition.x, cx - width / 2.0f, width);
        wrap(f.basePosition.y, cy - height / 2.0f, height);
        f.phase = std::fmod(f.phase + 2.0f * step, kTwoPi);
        if (f.phase < 0.0f) f.phase += kTwoPi;
        f.basePosition.y -= 64.0f * step;
        f.position = Vector3(f.basePosition.x + 16.0f * std::cos(f.phase), f.basePosition.y, f.basePosition.z);
        f.rotation = Vector3(f.phase, f.phase, 0.0f);
        f.updateXform();
    }
}

void SnowEffect::render() {
    for (int i = 0; i < flakeCount; ++i) flakes[i].render();
}
