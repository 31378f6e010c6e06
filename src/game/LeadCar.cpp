#include "game/LeadCar.h"

#include "game/GameController.h"
#include "game/SmokeEffect.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "media/Skin.h"

namespace {
constexpr float kPi = 3.14159265359f;
}  // namespace

LeadCar::LeadCar() {
    kind = KIND_ENGINE;
    bEngine = true;
    setBody(u"car:0");
}

void LeadCar::update(double time, double dt) {
    Car::update(time, dt);
    const Track* track = getTrack();
    const Train* train = segment ? segment->train : nullptr;
    if (!track || !train) return;
    GameController* game = GameController::current();

    // The bell while departing: the first crossing only arms it, then 100 points every 100 units.
    if (train->state == Train::STATE_DEPARTING && trackPos < track->tunnelLambda && trackPos > nextBellPos) {
        if (nextBellPos > 0.0f) {
            if (game) {
                game->showFloatingScore(position, 100, u"");
                GameController::noteAward(GameController::AWARD_BELL, 100, 1);
            }
            GameController::playSoundPanned(u"trainBell", position.x);
        }
        nextBellPos = trackPos + 100.0f;
    }

    if (track->isHidden(trackPos + chimneyOffset) || GameController::detailLevel() < 1) return;
    smokeTimer += dt;
    if (smokeTimer < smokeInterval) return;
    smokeTimer = 0.0;
    if (!game || !game->pEffectsLayer) return;
    const Vector3 chimney = local2world(Vector3(4.0f, 0.0f, 0.0f));
    const bool leaving = train->state == Train::STATE_DEPARTING || train->state == Train::STATE_OVER;
    const float angle = rotation.z + kPi;
    game->pEffectsLayer->addChild(leaving ? new SmokeEffect(chimney.x, chimney.y, chimney.z, 2, 5.0f, 5.0f, angle, kPi / 2, 3.0f, 0xFFFFFFFF)
                                          : new SmokeEffect(chimney.x, chimney.y, chimney.z, 1, 1.0f, 1.0f, angle, kPi / 2, 1.0f, 0xFFFFFFFF));
}

void LeadCar::tryComplete() {
    // Only an engine pushed out of the front of its train (a car ahead of it) explodes.
    if (!prev || GameController::detailLevel() < 1) return;
    GameController* game = GameController::current();
    const float width = pSkin ? pSkin->width : 0.0f;
    for (float f = 0.25f; f < 0.75f; f += 0.245f) {
        const Vector3 at = local2world(Vector3(-width / 2 + f * width, 0.0f, 0.0f));
        if (game && game->pEffectsLayer)
            game->pEffectsLayer->prependChild(new SmokeEffect(at.x, at.y, at.z, 5, 1.0f, 20.0f, rotation.z + kPi, kPi / 2, 6.0f, 0xFFFFFFFF));
        GameController::playSoundPanned(u"boom", position.x);
    }
}
