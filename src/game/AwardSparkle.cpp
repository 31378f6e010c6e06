#include "game/AwardSparkle.h"

#include <cmath>

#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "media/Skin.h"

AwardSparkle::AwardSparkle(float x, float y, float z) {
    if (qel && qel->pResourceManager) pSkin = static_cast<Skin*>(qel->pResourceManager->find(true, u"flare:0"));
    position = Vector3(x, y, z);
    updateXform();
}

void AwardSparkle::update(double t, double dt) {
    Renderable::update(t, dt);
    // A sparkle never changes state: its time in state is its age, this frame's step included.
    const double s = timeInState;
    if (s < 1.0) {
        rotation.z = float(4.0 * s);
        updateXform();
        setScaleXY(float(3.0 * std::sin(3.14159265358979 * s)));
    } else {
        bDead = true;
    }
}
