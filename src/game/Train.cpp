#include "game/Train.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "ui/ProfileData.h"
#include "engine/Logger.h"
#include "engine/Packet.h"
#include "engine/PropertyContainer.h"
#include "engine/Qel.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/GameController.h"
#include "game/HeartEffect.h"
#include "game/Track.h"
#include "game/TrainLayout.h"
#include "language/Language.h"
#include "media/AudioEnvironment.h"
#include "media/Sound.h"
#include "media/SoundChannel.h"

namespace {

// The forces of the game's first level, for a train that runs without a game.
constexpr float kCruiseForce = 250.0f;
constexpr float kTunnelForce = 75.0f;
constexpr float kDepartForce = 2500.0f;
constexpr float kRollbackForce = -1200.0f;

bool live(const BasicLink* segment) { return !segment->bDead && segment->firstChild; }

TrainLayout* nextLive(BasicLink* from) {
    for (BasicLink* s = from; s; s = s->next)
        if (live(s)) return static_cast<TrainLayout*>(s);
    return nullptr;
}

}  // namespace

Train::Train(Packet* packet) {
    if (packet) {
        serialize(*packet);
        return;
    }
    auto* segment = new TrainLayout();
    insertSegmentAfter(segment, nullptr);
    segment->addCar(Car::createByType(Car::KIND_ENGINE), true);
    gotoState(STATE_ENTERING);
}

Train::~Train() { stopEngineSound(); }

TrainLayout* Train::firstSegment() const { return nextLive(firstChild); }

TrainLayout* Train::lastSegment() const {
    for (BasicLink* s = lastChild; s; s = s->prev)
        if (live(s)) return static_cast<TrainLayout*>(s);
    return nullptr;
}

void Train::insertSegmentAfter(TrainLayout* segment, TrainLayout* after) {
    segment->train = this;
    if (after && after->owner == this) insertChildAfter(segment, after);
    else addChild(segment);
}

float Train::rearPos() const {
    const TrainLayout* last = lastSegment();
    return last ? last->lastCar()->nextFrontPos : 0.0f;
}

int Train::countOpenSlots() const {
    int open = 0;
    for (const BasicLink* s = firstChild; s; s = s->next)
        for (const BasicLink* c = s->firstChild; c; c = c->next) open += static_cast<const Car*>(c)->countOpenSlots();
    return open;
}

void Train::reportOpenSlots() {
    for (BasicLink* s = firstChild; s; s = s->next)
        for (BasicLink* c = s->firstChild; c; c = c->next) static_cast<Car*>(c)->reportOpenSlots();
}

void Train::update(double time, double dt) {
    StateBase::tick(time, dt);
    if (!track) {
        updateChildren(time, dt);
        return;
    }
    GameController* game = GameController::current();
    const TrainLayout* front = firstSegment();
    const float frontPos = front ? front->frontPos() : 0.0f;
    if (state == STATE_ENTERING) {
        engineForce = ENTRY_FORCE;
        if (front && frontPos > track->sprintLambda) {
            // In play: the engine stops pushing and the game is told.
            engineForce = 0.0f;
            gotoState(STATE_RUNNING);
            if (engineSound) engineSound->setVolume(0.0f, 0.5);
            if (game) game->onTrainEntered();
        }
    }
    if (state == STATE_RUNNING) {
        engineForce = frontPos < track->resistanceLambda
                          ? remapClamped(ENTRY_FORCE, 0.0f, track->createLambda, track->resistanceLambda, frontPos)
                          : 0.0f;
    }
    applyForces();
    spawnWagons();
    for (BasicLink* s = firstChild; s; s = s->next) static_cast<TrainLayout*>(s)->removeFinishedCar();
    updateChildren(time, dt);
    coupleSegments();
    catchCargo();
    if (state == STATE_ENTERING) updateEngineSound();
    if (!firstSegment()) bDead = true;
}

void Train::applyForces() {
    TrainLayout* f = firstSegment();
    if (!f) return;
    GameController* game = GameController::current();
    if (nextLive(f->next)) {
        // The front segment rolls back towards the one behind.
        f->motion.force.x += game ? game->rollbackForce : kRollbackForce;
        return;
    }
    const float cruise = game ? game->cruiseForce : kCruiseForce;
    const float tunnel = game ? game->tunnelForce : kTunnelForce;
    // The force falls from the cruise force at the danger position to the tunnel force at the
    // mouth and holds there. Carried on past the mouth, the line would reach zero a short way in
    // and then pull the train back; with the smaller tunnel force of a level with two tracks the
    // trains would come to rest with open slots still short of the mouth, and the level could
    // never be lost.
    float a = remap(cruise, tunnel, track->dangerLambda, track->tunnelLambda, std::min(f->frontPos(), track->tunnelLambda));
    if (game) {
        const double now = game->getGameTime();
        if (now < game->reverseUntil) a = -1.5f * a;
        else if (now < game->stopUntil) a = 0.0f;
        else if (now < game->slowUntil) a = 0.25f * a;
    }
    f->motion.force.x += a;
    // The first forward frame ends a combo: applause for two couplings or more.
    if (f->motion.velocity.x >= 0.0f) {
        if (comboCount >= 4) GameController::playSoundRandomPitch(u"applause3");
        else if (comboCount == 3) GameController::playSoundRandomPitch(u"applause2");
        else if (comboCount == 2) GameController::playSoundRandomPitch(u"applause1");
        comboCount = 0;
    }
    if (state == STATE_RUNNING && slotsSpawned >= slotQuota) {
        int open = 0;
        for (const BasicLink* c = f->firstChild; c; c = c->next) open += static_cast<const Car*>(c)->countOpenSlots();
        if (open == 0) {
            gotoState(STATE_DEPARTING);
            GameController::playSoundPanned(u"toot", f->firstCar()->position.x);
        }
    }
    if (state == STATE_DEPARTING || state == STATE_OVER) f->motion.force.x += game ? game->departForce : kDepartForce;
}

void Train::spawnWagons() {
    TrainLayout* last = lastSegment();
    if (!last) return;
    GameController* game = GameController::current();
    while (slotsSpawned < slotQuota && rearPos() > track->createLambda) {
        const int kind = game ? game->colorPicker.pickCarKind() : Car::KIND_ONE_SLOT;
        Car* car = Car::createByType(kind);
        slotsSpawned += car->countSlots();
        last->addCar(car, true);
    }
}

void Train::coupleSegments() {
    TrainLayout* ahead = firstSegment();
    while (ahead) {
        TrainLayout* behind = nextLive(ahead->next);
        if (!behind) return;
        if (ahead->touches(behind)) {
            // The merged segment is then tested against its new neighbour.
            couple(ahead, behind);
            continue;
        }
        ahead = behind;
    }
}

void Train::couple(TrainLayout* ahead, TrainLayout* behind) {
    GameController* game = GameController::current();
    ProfileData* profile = GameController::currentProfile();
    Car* tail = ahead->lastCar();
    Car* head = behind->firstCar();
    auto* tailSlot = static_cast<CargoSlot*>(tail->slots.lastChild);
    auto* headSlot = static_cast<CargoSlot*>(head->slots.firstChild);
    Vector3 meeting;
    track->path.getPoint(behind->frontPos(), meeting);
    if (tailSlot && headSlot && tailSlot->color == headSlot->color && !tail->hasWrongPiece() && !head->hasWrongPiece()) {
        tail->fillAll();
        head->fillAll();
        ++comboCount;
        GameController::playSoundSemitones(u"vibe", std::min(3 * comboCount - 3, 12));
        if (game && game->pEffectsLayer) game->pEffectsLayer->addChild(new HeartEffect(meeting.x, meeting.y, meeting.z));
        if (profile && profile->addHeart() < 1 && game) {
            const char16_t* text = qel && qel->pLanguage ? qel->pLanguage->getText(EXTRALIFE) : u"extra life!";
            game->showFloatingScore(meeting, 10000, text);
            GameController::noteAward(GameController::AWARD_EXTRA_LIFE, 10000, 1);
            GameController::playSoundRandomPitch(u"extraLife");
        }
        if (profile) {
            profile->addScore(comboCount * 1000);
            GameController::noteAward(GameController::AWARD_COUPLING, comboCount * 1000, comboCount);
        }
        GameController::playSoundPanned(u"fireworkBangShort", tail->position.x);
    }
    GameController::playSoundPanned(u"segmentImpact", meeting.x);
    ahead->motion.velocity = (ahead->motion.velocity + behind->motion.velocity) * 0.5f;
    while (Car* car = behind->firstCar()) {
        behind->removeChild(car);
        ahead->addCar(car, false);
    }
    removeChild(behind);
    behind->release();
}

void Train::catchCargo() {
    GameController* game = GameController::current();
    if (!game || !game->pCargoLayer || !game->pCargoLayer->firstChild) return;
    for (BasicLink* s = firstChild; s; s = s->next) {
        if (!live(s)) continue;
        for (BasicLink* p = game->pCargoLayer->firstChild; p; p = p->next) {
            auto* piece = static_cast<Cargo*>(p);
            if (piece->bDead) continue;
            for (BasicLink* c = s->firstChild; c; c = c->next)
                if (static_cast<Car*>(c)->receiveCargo(piece)) return;
        }
    }
}

void Train::updateEngineSound() {
    const TrainLayout* front = firstSegment();
    if (!front) return;
    if (!engineSound) {
        Sound* sound = GameController::findSound(u"engineChug");
        if (!sound) return;
        engineSound = new SoundChannel(sound);
    }
    engineSound->setPan(Sound::panFromX(front->firstCar()->position.x, AudioEnvironment::layoutWidth()), 0.0);
    if (!engineSound->isPlaying()) engineSound->play();
}

void Train::stopEngineSound() {
    if (!engineSound) return;
    if (engineSound->hChannel) BASS_ChannelStop(engineSound->hChannel);
    engineSound->release();
    engineSound = nullptr;
}

bool Train::serialize(Packet& packet) {
    {
        PropertyContainer stateGroup(u"StateBase", 0);
        StateBase::describe(&stateGroup);
        stateGroup.serializeValue(packet);
    }
    packet.doRawWord(&engineForce);
    packet.doInt(&slotQuota);
    packet.doInt(&slotsSpawned);
    packet.doInt(&comboCount);
    int32_t count = packet.bWriting ? countSegments() : 0;
    packet.doInt(&count);
    if (packet.bWriting) {
        for (BasicLink* s = firstChild; s; s = s->next)
            if (!static_cast<TrainLayout*>(s)->serialize(packet)) return false;
        return true;
    }
    const char16_t* fn = u"Train::serialize";
    if (packet.bBadData) return refuseData(packet, fn, u"the train is cut short");
    if (state < STATE_ENTERING || state > STATE_OVER) return refuseData(packet, fn, u"a state outside 1-4");
    if (!std::isfinite(timeInState) || timeInState < 0.0) return refuseData(packet, fn, u"a time in state that is no duration");
    // A train changes state at once, never after a delay: nothing is pending.
    stateGoto = state;
    stateLeft = 0.0;
    if (!isFinite({engineForce})) return refuseData(packet, fn, u"an engine force that is no number");
    if (slotQuota < 0 || slotsSpawned < 0) return refuseData(packet, fn, u"a negative quota or spawned count");
    if (slotQuota > kMaxSlotQuota || slotsSpawned > kMaxSlotQuota) return refuseData(packet, fn, u"a quota no level brings");
    if (comboCount < 0 || comboCount > INT_MAX / 1000) return refuseData(packet, fn, u"a combo that cannot be scored");
    if (count < 0 || count > bytesLeft(packet)) return refuseData(packet, fn, u"a segment count the data cannot hold");
    for (int32_t i = 0; i < count; ++i) {
        auto* segment = new TrainLayout();
        insertSegmentAfter(segment, nullptr);
        if (!segment->serialize(packet)) return false;
    }
    return true;
}

bool Train::refuseData(Packet& packet, const char16_t* function, const char16_t* reason) {
    qelLog(function, u"Saved data refused: %s.", reason);
    packet.bBadData = true;
    return false;
}

bool Train::isFinite(std::initializer_list<float> values) {
    for (float v : values)
        if (!std::isfinite(v)) return false;
    return true;
}

int Train::bytesLeft(const Packet& packet) {
    if (packet.bWriting) return packet.bufferSize - static_cast<int>(packet.cursor - packet.start);
    return packet.dataSize - static_cast<int>(packet.cursor - packet.start);
}
