#include "game/ExtraLifePowerUp.h"

#include <algorithm>
#include <cmath>

#include "ui/ProfileData.h"
#include "engine/Qel.h"
#include "engine/ResourceManager.h"
#include "game/GameController.h"
#include "media/Texture.h"

namespace {
// The note of a heart rises with the hearts held, by at most an octave.
constexpr int kMaxSemitones = 12;
}  // namespace

ExtraLifePowerUp::ExtraLifePowerUp() : PowerUp(TYPE_EXTRA_LIFE_BONUS, u"bonus:6") {
    if (qel && qel->pResourceManager) {
        if (auto* hearts = static_cast<Texture*>(qel->pResourceManager->find(false, u"heart"))) frames = hearts->skins;
    }
    glow.pSkin = GameController::findSkin(u"flare:0");
    glow.color = 0xFFFF0000;
}

void ExtraLifePowerUp::update(double time, double dt) {
    PowerUp::update(time, dt);
    phase += static_cast<float>(dt);
    phase -= std::floor(phase);
    const int n = static_cast<int>(frames.size());
    if (n > 0) {
        const int frame = static_cast<int>(std::floor(phase * static_cast<float>(n - 1)));
        if (frame >= 0 && frame < n && frames[static_cast<size_t>(frame)]) pSkin = frames[static_cast<size_t>(frame)];
    }
    glow.position = position;
    const float s = std::sin(8.0f * static_cast<float>(time)) + 4.0f;
    glow.scale = Vector3(s, s, 1.0f);
    glow.rotation.z += 16.0f * static_cast<float>(dt);
    glow.updateXform();
}

void ExtraLifePowerUp::render() {
    glow.render();
    PowerUp::render();
}

bool ExtraLifePowerUp::activate() {
    ProfileData* profile = GameController::currentProfile();
    const bool newLife = profile && profile->addHeart() < 1;
    if (newLife) {
        setCaption(EXTRALIFE);
        GameController::playSoundRandomPitch(u"extraLife");
        showActivation();
        return true;
    }
    GameController::playSoundSemitones(u"vibe", std::min(profile ? static_cast<int>(profile->hearts()) : 0, kMaxSemitones));
    // No life gained: the sparks and the count, but no caption and no floating text.
    showActivation(false);
    return true;
}
