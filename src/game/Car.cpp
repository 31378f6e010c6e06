#include "game/Car.h"

#include <cmath>

#include "engine/ErrorManager.h"
#include "engine/Packet.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "game/CarOverlay.h"
#include "game/Cargo.h"
#include "game/CargoColorPicker.h"
#include "game/CargoSlot.h"
#include "game/FlareEffect.h"
#include "game/GameController.h"
#include "game/LeadCar.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "media/Skin.h"
#include "runtime/QelRuntime.h"

namespace {

constexpr float kTwoPi = 6.28318530718f;
constexpr int kDebugDrawTrack = 0x100;
constexpr float kMaxLength = 1000.0f;
constexpr float kMaxTrackPosition = 1.0e6f;

// Slot offsets along the wagon, front first, by kind.
struct WagonLayout {
    const char16_t* skin;
    int count;
    float offsets[3];
};
const WagonLayout kWagons[4] = {
    {u"car:0", 0, {}},
    {u"car:1", 1, {-1.0f}},
    {u"car:2", 2, {14.0f, -19.0f}},
    {u"car:3", 3, {31.0f, 0.0f, -31.0f}},
};

bool lengthOk(float v) { return v >= 0.0f && v <= kMaxLength; }

// Track positions lie within a track's length (a few thousand units) of its start.
bool positionOk(float v) { return v >= -kMaxTrackPosition && v <= kMaxTrackPosition; }

}  // namespace

Car* Car::createByType(int carKind) {
    if (carKind == KIND_ENGINE) return new LeadCar();
    if (carKind < KIND_ONE_SLOT || carKind > KIND_THREE_SLOTS)
        ErrorManager::fatal(u"Car::createByType", "src\\Car", __LINE__, u"Should not get here");
    auto* car = new Car();
    car->kind = carKind;
    const WagonLayout& layout = kWagons[carKind];
    car->setBody(layout.skin);
    // The first slot takes an enabled colour; each further one keeps its neighbour's colour unless
    // a draw below the level's colour-change chance gives it a fresh one.
    GameController* game = GameController::current();
    static const bool noColours[CargoColorPicker::COLOR_COUNT] = {};
    const bool* enabled = game ? game->colorPicker.enabledColors : noColours;
    const float changeChance = game ? game->slotHelpChance : 0.0f;
    int slotColor = pickEnabledColor(enabled);
    for (int i = 0; i < layout.count; ++i) {
        if (i > 0 && static_cast<float>(randomNext()) / 65536.0f < changeChance) slotColor = pickEnabledColor(enabled);
        car->addSlot(layout.offsets[i], slotColor);
    }
    return car;
}

Car::Car() = default;

Car::~Car() {
    // The slots (and their pieces) go before the overlay and the car leave the depth pass.
    slots.deleteChildren();
}

void Car::setBody(const char16_t* skinName) {
    pSkin = GameController::findSkin(skinName);
    bodyLength = (pSkin ? pSkin->width : 0.0f) - bodyInset;
    updateXform();
}

CargoSlot* Car::addSlot(float offset, int slotColor) {
    auto* slot = new CargoSlot(this, slotColor);
    slot->position = Vector3(offset, 0.0f, 0.0f);
    slots.addChild(slot);
    slot->setParentXform(worldXform);
    return slot;
}

Track* Car::getTrack() const { return segment && segment->train ? segment->train->track : nullptr; }

void Car::createOverlay() {
    if (overlay) return;
    overlay = new CarOverlay(this);
    addChild(overlay);
    updateXform();
}

void Car::update(double time, double dt) {
    const Track* track = getTrack();
    if (overlay) overlay->coupling.bHidden = next == nullptr;
    if (track && nextFrontPos > track->tunnelLambda) {
        bHidden = true;
        if (overlay) overlay->bHidden = true;
    }
    QelBase::update(time, dt);
    slots.update(time, dt);
}

void Car::updateXform() {
    Renderable::updateXform();
    for (BasicLink* s = slots.firstChild; s; s = s->next) static_cast<CargoSlot*>(s)->setParentXform(worldXform);
    if (!overlay || !GameController::shadowsOn()) return;
    GameController* game = GameController::current();
    const Vector3 shadow = game && game->pLevel ? game->pLevel->shadowVector : Vector3();
    overlay->position = position + shadow * 8.0f;
    overlay->rotation = rotation;
    overlay->updateXform();
}

void Car::renderAtDepth() {
    if (bHidden) return;
    Renderable::render();
    slots.render();
    if (!qel || !(qel->debugLevel & kDebugDrawTrack) || !segment || prev) return;
    const int segmentCount = segment->train ? segment->train->countSegments() : 1;
    qelRuntime()->drawOverlayText(position.x, position.y + 10.0f, 0xFF000000, format(u"segs %d", segmentCount));
    qelRuntime()->drawOverlayText(position.x, position.y, 0xFF000000, format(u"speed=%d", static_cast<int>(segment->motion.velocity.x)));
    qelRuntime()->drawOverlayText(position.x, position.y - 20.0f, 0xFF000000, format(u"maxspeed=%d", static_cast<int>(segment->motion.maxVelocity)));
}

bool Car::isComplete() const {
    if (!slots.firstChild) return false;
    return countOpenSlots() == 0;
}

int Car::countOpenSlots() const {
    int open = 0;
    for (const BasicLink* s = slots.firstChild; s; s = s->next) {
        const auto* slot = static_cast<const CargoSlot*>(s);
        const bool settled = slot->held && slot->held->state == Cargo::STATE_SEATED && slot->isFilled();
        open += settled ? 0 : 1;
    }
    return open;
}

int Car::countSlots() const { return slots.countChildren(); }

void Car::reportOpenSlots() {
    GameController* game = GameController::current();
    if (!game) return;
    for (BasicLink* s = slots.firstChild; s; s = s->next) game->colorPicker.addOpenSlot(static_cast<CargoSlot*>(s));
}

void Car::fillAll() {
    for (BasicLink* s = slots.firstChild; s; s = s->next) {
        auto* slot = static_cast<CargoSlot*>(s);
        if (!slot->held || slot->held->bPowerUp) slot->fillWithColor(true);
    }
}

bool Car::hasWrongPiece() const {
    for (const BasicLink* s = slots.firstChild; s; s = s->next) {
        const auto* slot = static_cast<const CargoSlot*>(s);
        if (slot->held && !slot->held->bPowerUp && !slot->isFilled()) return true;
    }
    return false;
}

bool Car::receiveCargo(Cargo* piece) {
    for (BasicLink* s = slots.firstChild; s; s = s->next) {
        auto* slot = static_cast<CargoSlot*>(s);
        if (slot->refusesOutright(piece) || !slot->collide(piece)) continue;
        if (piece->type == Cargo::TYPE_FIREBALL) {
            if (slot->isFilled()) continue;
            return slot->burn(piece);
        }
        if (piece->fits(slot->color)) return slot->take(piece);
        const int passed = slot->passToNeighbour(piece);
        if (passed > 0) return true;
        // A neighbour that qualified but refused (it lies in a hidden stretch): the next slot of
        // this car may still take the piece.
        if (passed == 0) continue;
        return slot->take(piece);
    }
    return false;
}

void Car::tryComplete() {
    if (!isComplete()) return;
    GameController* game = GameController::current();
    if (game) game->onCarsCompleted(this);
    if (game && game->pEffectsLayer && GameController::detailLevel() > 0) {
        for (BasicLink* s = slots.firstChild; s; s = s->next) {
            const Vector3 at = static_cast<CargoSlot*>(s)->getCentre();
            game->pEffectsLayer->addChild(new FlareEffect(at.x, at.y, at.z, 5, 50.0f, 70.0f, 0.0f, kTwoPi, 3.0f, 0xFFFFFFFF));
        }
    }
    // The clap rises as the train comes nearer the tunnel.
    const Track* track = getTrack();
    const TrainLayout* first = segment && segment->train ? segment->train->firstSegment() : nullptr;
    const float front = first ? first->frontPos() : frontPos;
    const float semitones = track ? remap(0.0f, 12.0f, track->createLambda, track->tunnelLambda, front) : 0.0f;
    GameController::playSoundSemitones(u"handClap", static_cast<int>(semitones));
}

bool Car::serialize(Packet& packet) {
    // The lengths are the kind's own: each one a table of the track's, built as the car first moves.
    const float kindBody = bodyLength, kindInset = bodyInset, kindGap = gapLength;
    for (float* f : {&bodyLength, &bodyInset, &gapLength, &frontPos, &rearPos, &nextFrontPos}) packet.doRawWord(f);
    uint8_t engineBit = bEngine ? 1 : 0;
    packet.doBit(&engineBit, 0);
    if (!packet.bWriting) {
        const char16_t* fn = u"Car::serialize";
        if (packet.bBadData) return Train::refuseData(packet, fn, u"the car is cut short");
        if (!Train::isFinite({bodyLength, bodyInset, gapLength, frontPos, rearPos, nextFrontPos}))
            return Train::refuseData(packet, fn, u"a length or position that is no number");
        if (!lengthOk(bodyLength) || !lengthOk(bodyInset) || !lengthOk(gapLength))
            return Train::refuseData(packet, fn, u"a length outside 0-1000");
        if (bodyLength != kindBody || bodyInset != kindInset || gapLength != kindGap)
            return Train::refuseData(packet, fn, u"lengths that are not the car kind's");
        if (!positionOk(frontPos) || !positionOk(rearPos) || !positionOk(nextFrontPos))
            return Train::refuseData(packet, fn, u"a position off any track");
        bEngine = (engineBit & 1) != 0;
    }
    for (BasicLink* s = slots.firstChild; s; s = s->next)
        if (!static_cast<CargoSlot*>(s)->serialize(packet)) return false;
    return !packet.bBadData;
}
