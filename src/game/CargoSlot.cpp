#include "game/CargoSlot.h"

#include <cmath>

#include "ui/Global.h"
#include "engine/Logger.h"
#include "engine/Packet.h"
#include "engine/Qel.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"
#include "game/Launcher.h"
#include "game/LauncherChain.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "language/Language.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;

// Takes an object out of whatever list holds it.
void detach(QelBase* object) {
    if (object->owner) static_cast<QelBase*>(object->owner)->removeChild(object);
}

const Track* trackOf(const Car* car) {
    return car && car->segment && car->segment->train ? car->segment->train->track : nullptr;
}

}  // namespace

CargoSlot::CargoSlot(Car* owningCar, int slotColor) : car(owningCar) { setColor(slotColor); }

CargoSlot::~CargoSlot() {
    if (GameController* game = GameController::current()) game->colorPicker.removeOpenSlot(this);
}

void CargoSlot::setColor(int newColor) {
    color = newColor;
    if (color < 0 || color >= Cargo::TYPE_COLOR_COUNT) return;
    Renderable::color = Cargo::colorTable[color];
    const bool colorBlind = game && game->gameConfiguration.bColorBlind;
    pSkin = GameController::findSkin(colorBlind ? format(u"dock:%d", color + 1) : WString(u"dock:0"));
    updateXform();
}

bool CargoSlot::isFilled() const { return held && held->fits(color); }

bool CargoSlot::refusesOutright(const Cargo* piece) const {
    if (held && !held->bPowerUp && piece->type != Cargo::TYPE_FIREBALL) return true;
    return bHidden;
}

Vector3 CargoSlot::getCentre() const { return Vector3(worldXform.m[3][0], worldXform.m[3][1], worldXform.m[3][2]); }

bool CargoSlot::receiveCargo(Cargo* piece, bool redirected) {
    if (refusesOutright(piece)) return false;
    if (!redirected && !collide(piece)) return false;
    if (piece->type == Cargo::TYPE_FIREBALL) return isFilled() ? false : burn(piece);
    if (!piece->fits(color)) {
        const int passed = passToNeighbour(piece);
        if (passed >= 0) return passed != 0;
    }
    return take(piece);
}

CargoSlot* CargoSlot::previousSlot() const {
    if (prev) return static_cast<CargoSlot*>(prev);
    // The last slot of the car ahead in the same segment; a car without slots offers none.
    const auto* ahead = car ? static_cast<const Car*>(car->prev) : nullptr;
    return ahead ? static_cast<CargoSlot*>(ahead->slots.lastChild) : nullptr;
}

CargoSlot* CargoSlot::nextSlot() const {
    if (next) return static_cast<CargoSlot*>(next);
    const auto* behind = car ? static_cast<const Car*>(car->next) : nullptr;
    return behind ? static_cast<CargoSlot*>(behind->slots.firstChild) : nullptr;
}

int CargoSlot::passToNeighbour(Cargo* piece) {
    CargoSlot* candidates[2] = {previousSlot(), nextSlot()};
    if (candidates[0] && candidates[1]) {
        const Vector3 at = piece->position;
        // The nearer first; on a tie the previous one.
        if (Vector3::distance(at, candidates[1]->getCentre()) < Vector3::distance(at, candidates[0]->getCentre()))
            std::swap(candidates[0], candidates[1]);
    }
    for (CargoSlot* candidate : candidates) {
        if (!candidate || candidate->held || !piece->fits(candidate->color)) continue;
        return candidate->receiveCargo(piece, true) ? 1 : 0;
    }
    return -1;
}

bool CargoSlot::burn(Cargo*) {
    GameController* game = GameController::current();
    if (game) ++game->stats_correctPlacements;
    replaceCargo(Cargo::createByType(color));
    GameController::playSoundPanned(u"fireworkBangShort", getCentre().x);
    return true;
}

bool CargoSlot::take(Cargo* piece) {
    detach(piece);
    acceptCargo(piece);
    GameController* game = GameController::current();
    const float x = getCentre().x;
    if (isFilled()) {
        int streak = 0;
        if (game) {
            ++game->stats_correctPlacements;
            streak = ++game->stats_placementStreak;
        }
        if (streak > 0 && streak % 5 == 0) {
            const char16_t* text = qel && qel->pLanguage ? qel->pLanguage->getText(STREAKX) : u"streak x%d";
            game->showFloatingScore(getCentre(), streak * 100, format(text, streak));
            GameController::noteAward(GameController::AWARD_STREAK, streak * 100, streak);
            GameController::playSoundPanned(u"streak", x);
        } else {
            GameController::playSoundPanned(u"tick", x);
        }
    } else {
        if (game) {
            ++game->stats_incorrectPlacements;
            game->stats_placementStreak = 0;
        }
        GameController::playSoundPanned(u"wrong", x);
    }
    return true;
}

void CargoSlot::dropFormer(Cargo* former, bool fire) {
    if (!former) return;
    // Out of the slot before it fires: a colour bomb that refills this slot must not find itself.
    detach(former);
    former->slot = nullptr;
    if (fire) former->activate();
    former->release();
}

void CargoSlot::acceptCargo(Cargo* piece) {
    Cargo* former = held;
    held = piece;
    detach(piece);
    addChild(piece);
    piece->slot = this;
    piece->enterState(Cargo::STATE_GLIDING);
    placementIcon.position = getCentre();
    placementIcon.updateXform();
    dropFormer(former, piece->fits(color));
}

void CargoSlot::replaceCargo(Cargo* piece) {
    Cargo* former = held;
    held = piece;
    detach(piece);
    addChild(piece);
    piece->placeInSlot(this);
    dropFormer(former, piece->fits(color));
}

void CargoSlot::fillWithColor(bool flare) {
    replaceCargo(Cargo::createByType(color));
    if (!flare || GameController::detailLevel() <= 0) return;
    GameController* game = GameController::current();
    if (!game || !game->pEffectsLayer) return;
    const Vector3 at = getCentre();
    game->pEffectsLayer->addChild(new FlareEffect(at.x, at.y, at.z, 5, 50.0f, 70.0f, 0.0f, kTwoPi, 3.0f, Cargo::colorTable[color]));
}

void CargoSlot::update(double time, double dt) {
    StateBase::tick(time, dt);
    const Track* track = trackOf(car);
    trackPos = (car ? car->trackPos : 0.0f) + position.x;
    frontPos = trackPos + widthFactor * boundsRadius;
    rearPos = trackPos - widthFactor * boundsRadius;
    bHidden = track && track->isHidden(trackPos);

    const bool filled = isFilled();
    if (held && !filled) {
        placementIcon.position = getCentre();
        if (held->bPowerUp) {
            placementIcon.pSkin = GameController::findSkin(u"placementIcons:1");
            placementIcon.color = Cargo::colorTable[color];
        } else {
            placementIcon.pSkin = GameController::findSkin(u"placementIcons:0");
            placementIcon.color = lerpColor(0xFF808080, 0xFFFFFFFF, 0.5f + 0.5f * std::sin(16.0f * static_cast<float>(time)));
        }
        placementIcon.updateXform();
    }

    // An open slot entering the tunnel ends the attempt, while the game is being played.
    GameController* game = GameController::current();
    if (!filled && track && rearPos > track->tunnelLambda && game && game->state == GameController::STATE_PLAYING)
        game->gotoState(GameController::STATE_LOST, 0.0);

    if (!held) return;
    held->update(time, dt);
    if (held->bDead) {
        held->release();
        held = nullptr;
        return;
    }
    if (bHidden || held->fits(color) || !game || !game->pLauncher || !game->pLauncher->chain) return;
    Cargo* piece = held;
    if (game->pLauncher->chain->grab(piece)) {
        held = nullptr;
        piece->slot = nullptr;
    }
}

void CargoSlot::render() {
    if (bHidden) return;
    const bool filled = isFilled();
    if (!filled) Renderable::render();
    if (held) held->render();
    if (held && !filled) placementIcon.render();
}

bool CargoSlot::serialize(Packet& packet) {
    int32_t savedColor = color;
    packet.doInt(&savedColor);
    uint8_t hasPiece = held ? 1 : 0;
    packet.doBit(&hasPiece, 0);
    int32_t savedType = held ? held->type : 0;
    if (hasPiece & 1) packet.doInt(&savedType);
    if (packet.bWriting) return true;
    const char16_t* fn = u"CargoSlot::serialize";
    if (packet.bBadData) return Train::refuseData(packet, fn, u"the slot is cut short");
    if (savedColor < 0 || savedColor >= Cargo::TYPE_COLOR_COUNT) return Train::refuseData(packet, fn, u"a colour outside 0-7");
    if ((hasPiece & 1) && !Cargo::isKnownType(savedType)) return Train::refuseData(packet, fn, u"a piece of no known type");
    // A fireball turns into a piece of the slot's colour as it lands: it never rests in a slot.
    if ((hasPiece & 1) && savedType == Cargo::TYPE_FIREBALL) return Train::refuseData(packet, fn, u"a fireball resting in a slot");
    setColor(savedColor);
    if (hasPiece & 1) replaceCargo(Cargo::createByType(savedType));
    return true;
}
