#include "game/Cargo.h"

#include <algorithm>
#include <cmath>

#include "engine/ErrorManager.h"
#include "engine/Random.h"
#include "game/Car.h"
#include "game/CargoSlot.h"
#include "game/ColorBombPowerUp.h"
#include "game/ExtraLifePowerUp.h"
#include "game/FireballCargo.h"
#include "game/FireballPowerUp.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "game/PlainCargo.h"
#include "game/ReversePowerUp.h"
#include "game/SlowPowerUp.h"
#include "game/SpeedShotPowerUp.h"
#include "game/StopPowerUp.h"
#include "game/WildcardCargo.h"
#include "game/WildcardPowerUp.h"
#include "media/Skin.h"

namespace {
constexpr float kTwoPi = 6.28318530718f;
}  // namespace

const uint32_t Cargo::colorTable[TYPE_COLOR_COUNT] = {0xFFFF1010, 0xFFFF8000, 0xFFFFFF00, 0xFF00C000,
                                                      0xFF00FFFF, 0xFF0000FF, 0xFFFF40FF, 0xFFFFFFFF};

bool Cargo::isKnownType(int t) { return t >= 0 && t <= TYPE_SLOW_BONUS && t != TYPE_NONE; }

Cargo* Cargo::createByType(int t) {
    Cargo* piece = nullptr;
    if (t >= 0 && t < TYPE_COLOR_COUNT) {
        piece = new PlainCargo(t);
    } else {
        switch (t) {
            case TYPE_WILDCARD: piece = new WildcardCargo(); break;
            case TYPE_WILDCARD_BONUS: piece = new WildcardPowerUp(); break;
            case TYPE_STOP_BONUS: piece = new StopPowerUp(); break;
            case TYPE_REVERSE_BONUS: piece = new ReversePowerUp(); break;
            case TYPE_COLOR_BOMB: piece = new ColorBombPowerUp(); break;
            case TYPE_FIREBALL: piece = new FireballCargo(); break;
            case TYPE_FIREBALL_BONUS: piece = new FireballPowerUp(); break;
            case TYPE_SPEED_SHOT_BONUS: piece = new SpeedShotPowerUp(); break;
            case TYPE_EXTRA_LIFE_BONUS: piece = new ExtraLifePowerUp(); break;
            case TYPE_SLOW_BONUS: piece = new SlowPowerUp(); break;
            default: ErrorManager::fatal(u"Cargo::createByType", "src\\Cargo", 272, u"Unknown type.");
        }
    }
    piece->initCollision();
    piece->updateXform();
    return piece;
}

Cargo::Cargo() {
    spinAngle = kTwoPi * randomUnit();
    collisionSensitivity = 0.75f;
}

void Cargo::initCollision() {
    if (!pSkin) return;
    const float reach = pSkin->getCorner().length();
    // A skin without size gives no measure: the piece keeps its collision size.
    if (reach > 0.0f && std::isfinite(reach)) collisionSensitivity = 16.0f / reach;
}

float Cargo::aimAngle() {
    GameController* game = GameController::current();
    return game && game->pLauncher ? game->pLauncher->aimAngle : 0.0f;
}

Vector3 Cargo::slotCentre() const { return slot ? slot->getCentre() : position; }

float Cargo::slotRoll() const { return slot && slot->car ? slot->car->rotation.z : 0.0f; }

void Cargo::applyRoll(float angle) {
    if (!bFixedRotation) rotation.z = spinAngle + angle;
}

void Cargo::setRoll(float angle) {
    if (bFixedRotation) return;
    applyRoll(angle);
    updateXform();
}

void Cargo::enterState(int next) {
    if (stateGoto == next) stateGoto = -1;
    gotoState(next, 0.0);
}

void Cargo::placeInSlot(CargoSlot* target) {
    slot = target;
    position = slotCentre();
    if (!bFixedRotation) rotation.z = slotRoll();
    updateXform();
    enterState(STATE_SEATED);
}

void Cargo::releaseFromSlot() {
    slot = nullptr;
    enterState(STATE_DETACHED);
}

bool Cargo::isFittingOccupant() const {
    return slot && (state == STATE_GLIDING || state == STATE_SEATED) && fits(slot->color) &&
           slot->held == this;
}

void Cargo::onStateChange() {
    switch (state) {
        case STATE_QUEUED:
        case STATE_CHAINED: spinAngle = rotation.z - aimAngle(); break;
        case STATE_FLYING: spinAngle = rotation.z; break;
        case STATE_GLIDING:
            blendStart = position;
            blend = 0.0f;
            break;
        case STATE_SEATED: spinAngle = rotation.z - slotRoll(); break;
        default: break;
    }
}

void Cargo::update(double time, double dt) {
    StateBase::tick(time, dt);
    const float step = static_cast<float>(dt);
    switch (state) {
        case STATE_QUEUED:
        case STATE_CHAINED:
            if (bSpinning) spinAngle += spinRate * step;
            applyRoll(aimAngle());
            updateXform();
            break;
        case STATE_FLYING:
            motion.update(time, dt);
            spinAngle += spinRate * step;
            applyRoll(0.0f);
            if (!bVisible) {
                // Out of the view: a miss, which ends the streak.
                if (GameController* game = GameController::current()) game->stats_placementStreak = 0;
                bDead = true;
            }
            position = motion.position;
            updateXform();
            break;
        case STATE_GLIDING:
            spinAngle += spinRate * step;
            applyRoll(0.0f);
            blend = std::min(blend + 4.0f * step, 1.0f);
            position = interpolateVector(blendStart, slotCentre(), blend, INTERPOLATE_LINEAR);
            updateXform();
            if (blend >= 1.0f) enterState(STATE_SEATED);
            break;
        case STATE_SEATED:
            if (bSpinning) spinAngle += spinRate * step;
            position = slotCentre();
            applyRoll(slotRoll());
            updateXform();
            if (lifetime > 0.0) {
                lifetime -= dt;
                if (lifetime <= 0.0) bDead = true;
            }
            break;
        default: break;
    }

    // A colour that no open slot wants any more: the piece goes, unless it is the fitting
    // occupant of its slot (also while it glides into the last open slot of its colour).
    if (bPowerUp || type < 0 || type >= TYPE_COLOR_COUNT) return;
    GameController* game = GameController::current();
    if (!game || game->colorPicker.openSlots.empty()) return;
    if (game->colorPicker.openCount[type] == 0 && !isFittingOccupant()) bDead = true;
}
