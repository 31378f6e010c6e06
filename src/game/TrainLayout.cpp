#include "game/TrainLayout.h"

#include <cmath>

#include "ui/ProfileData.h"
#include "engine/Packet.h"
#include "game/Car.h"
#include "game/CarOverlay.h"
#include "game/ChordTable.h"
#include "game/GameController.h"
#include "game/Track.h"
#include "game/Train.h"

namespace {

// Segment speeds without a game (those every level uses).
constexpr float kMaxSegmentSpeed = 1000.0f;
constexpr float kMinSegmentSpeed = -2000.0f;

}  // namespace

TrainLayout::TrainLayout() {
    motion.mass = 1.0f;
    motion.damping = 5.0f;
}

Car* TrainLayout::firstCar() const { return static_cast<Car*>(firstChild); }

Car* TrainLayout::lastCar() const { return static_cast<Car*>(lastChild); }

float TrainLayout::frontPos() const { return firstChild ? firstCar()->frontPos : 0.0f; }

bool TrainLayout::touches(const TrainLayout* other) const {
    if (!other || isEmpty() || other->isEmpty()) return false;
    // Each segment spans from its last car's next-front position (where a following car's front
    // would be) to its first car's front; they touch when the spans overlap.
    return lastCar()->nextFrontPos <= other->firstCar()->frontPos && other->lastCar()->nextFrontPos <= firstCar()->frontPos;
}

void TrainLayout::addCar(Car* car, bool bNew) {
    car->segment = this;
    if (bNew) {
        car->createOverlay();
        if (GameController* game = GameController::current()) {
            game->carsSpawned += car->countSlots();
            if (game->carsSpawned > game->totalCars) game->carsSpawned = game->totalCars;
        }
    }
    addChild(car);
}

void TrainLayout::update(double time, double dt) {
    if (!firstChild) {
        bDead = true;
        return;
    }
    GameController* game = GameController::current();
    Car* first = firstCar();
    motion.position.x = first->frontPos;
    motion.maxVelocity = game ? game->maxSegmentSpeed : kMaxSegmentSpeed;
    motion.minVelocity = game ? game->minSegmentSpeed : kMinSegmentSpeed;
    motion.force.x += train ? train->engineForce : 0.0f;
    motion.update(time, dt);
    first->frontPos = motion.position.x;
    placeCars();
    QelBase::update(time, dt);
}

void TrainLayout::placeCars() {
    Track* track = train ? train->track : nullptr;
    if (!track || !firstChild) return;
    const bool couplings = GameController::detailLevel() > 0;
    float p = firstCar()->frontPos;
    for (BasicLink* link = firstChild; link; link = link->next) {
        auto* car = static_cast<Car*>(link);
        car->frontPos = p;
        Vector3 front, rear;
        float depth = 0.0f;
        track->path.getPoint(p, front, nullptr, &depth);
        car->depth = depth;
        if (car->overlay) car->overlay->depth = depth + 5.0f;
        car->rearPos = track->getChordTable(car->bodyLength)->lookup(p);
        car->trackPos = (car->frontPos + car->rearPos) / 2.0f;
        track->path.getPoint(car->rearPos, rear);
        const Vector3 centre = (front + rear) * 0.5f;
        const Vector3 turn(0.0f, 0.0f, std::atan2(front.y - rear.y, front.x - rear.x));
        car->set(nullptr, &centre, &turn, nullptr, nullptr, nullptr);
        car->nextFrontPos = track->getChordTable(car->gapLength)->lookup(car->rearPos);
        if (couplings && car->overlay) {
            Vector3 following;
            track->path.getPoint(car->nextFrontPos, following);
            car->overlay->coupling.position = (rear + following) * 0.5f;
            car->overlay->coupling.rotation = Vector3(0.0f, 0.0f, std::atan2(rear.y - following.y, rear.x - following.x));
            car->overlay->coupling.updateXform();
        }
        p = car->nextFrontPos;
    }
}

void TrainLayout::removeFinishedCar() {
    const Track* track = train ? train->track : nullptr;
    for (BasicLink* link = firstChild; link; link = link->next) {
        auto* car = static_cast<Car*>(link);
        const bool reachedEnd = track && car->nextFrontPos >= track->destroyLambda;
        const bool engineBehind = car->bEngine && car->prev;
        if (!car->isComplete() && !reachedEnd && !engineBehind) continue;
        if (!train || train->state != Train::STATE_OVER) {
            if (ProfileData* profile = GameController::currentProfile()) {
                profile->addScore(100 * car->countSlots());
                GameController::noteAward(GameController::AWARD_CAR, 100 * car->countSlots(), car->countSlots());
            }
        }
        removeCar(car);
        return;
    }
}

void TrainLayout::removeCar(Car* car) {
    if (car->prev && car->next) {
        // The cars behind it become a segment of their own, moving as this one moves.
        auto* tail = new TrainLayout();
        tail->motion.position = motion.position;
        tail->motion.velocity = motion.velocity;
        tail->motion.acceleration = motion.acceleration;
        tail->motion.force = motion.force;
        while (car->next) {
            auto* behind = static_cast<Car*>(car->next);
            removeChild(behind);
            tail->addCar(behind, false);
        }
        if (train) {
            train->insertSegmentAfter(tail, this);
        } else if (owner) {
            tail->train = nullptr;
            owner->insertChildAfter(tail, this);
        } else {
            tail->release();
        }
    }
    car->tryComplete();
    removeChild(car);
    car->release();
}

bool TrainLayout::serialize(Packet& packet) {
    if (!motion.serialize(packet)) return false;
    int32_t count = packet.bWriting ? countCars() : 0;
    packet.doInt(&count);
    if (packet.bWriting) {
        for (BasicLink* link = firstChild; link; link = link->next) {
            auto* car = static_cast<Car*>(link);
            int32_t carKind = car->kind;
            packet.doInt(&carKind);
            if (!car->serialize(packet)) return false;
        }
        return true;
    }
    const char16_t* fn = u"TrainLayout::serialize";
    if (packet.bBadData) return Train::refuseData(packet, fn, u"the segment is cut short");
    if (count < 0 || count > Train::bytesLeft(packet)) return Train::refuseData(packet, fn, u"a car count the data cannot hold");
    for (int32_t i = 0; i < count; ++i) {
        int32_t carKind = -1;
        packet.doInt(&carKind);
        if (packet.bBadData) return Train::refuseData(packet, fn, u"the segment is cut short");
        if (carKind < Car::KIND_ENGINE || carKind > Car::KIND_THREE_SLOTS) return Train::refuseData(packet, fn, u"a car kind outside 0-3");
        Car* car = Car::createByType(carKind);
        car->createOverlay();
        if (!car->serialize(packet)) {
            car->release();
            return false;
        }
        addCar(car, false);
    }
    return true;
}
