#pragma once
// A body of a train: the engine (kind 0, a LeadCar) in front and wagons of kinds 1-3 with one to
// three cargo slots. It knows where its front, rear and the next car's front lie on the track,
// draws itself in the depth pass, says whether its slots are all correctly filled, and makes the
// effects when it leaves the train.

#include "engine/QelBase.h"
#include "game/TrackObject.h"

class CarOverlay;
class CargoSlot;
class Cargo;
class Packet;
class Track;
class TrainLayout;

class Car : public TrackObject {
public:
    enum Kind : int { KIND_ENGINE = 0, KIND_ONE_SLOT = 1, KIND_TWO_SLOTS = 2, KIND_THREE_SLOTS = 3, KIND_UNSET = 4 };

    // A car of that kind: 0 the engine, 1-3 wagons whose slots take colours drawn for the level.
    // Any other kind is a fatal error.
    static Car* createByType(int kind);

    Car();
    ~Car() override;

    void update(double time, double dt) override;
    // Each slot takes the car's world transform as its parent transform; with shadows on, the
    // shadow follows the car, offset along the level's shadow direction.
    void updateXform() override;

    // The body, then the slots (nothing while hidden). With the debug-draw flag 0x100 the first
    // car of a segment also shows the segment count and its speed.
    void renderAtDepth() override;
    // Once per car: the shadow and coupling, in the car's skin.
    virtual void createOverlay();
    // Every slot holds a settled piece that fits it; false for a car without slots.
    virtual bool isComplete() const;
    // What the car does as it leaves the train (a completed wagon: sparks and clapping).
    virtual void tryComplete();
    // The car's lengths and positions, whether it is the engine, and its slots. Reading (into a car
    // made for its kind) refuses (false, logged) numbers that are no numbers, lengths outside
    // 0-1000 and lengths other than the kind's.
    virtual bool serialize(Packet& packet);

    // Slots not holding a settled piece that fits them.
    int countOpenSlots() const;
    int countSlots() const;
    // Every slot to the colour picker.
    void reportOpenSlots();
    // Every slot that is empty or holds a power-up gets a piece of its colour (with sparks);
    // slots holding a wrong ordinary piece keep it.
    void fillAll();
    // Some slot holds an ordinary piece that does not fit it.
    bool hasWrongPiece() const;
    // The slot rule over this car's slots, front to back: false when no slot took the piece.
    bool receiveCargo(Cargo* piece);

    // The track the car runs on, through its segment and train (none while it has no segment).
    Track* getTrack() const;
    // Adds a slot at that offset along the car.
    CargoSlot* addSlot(float offset, int slotColor);

    float bodyLength = 0.0f;
    float bodyInset = 24.0f;
    float gapLength = 28.0f;
    float frontPos = 0.0f;
    float rearPos = 0.0f;
    float nextFrontPos = 0.0f;
    bool bEngine = false;
    int kind = KIND_UNSET;
    TrainLayout* segment = nullptr;
    CarOverlay* overlay = nullptr;
    // Its children are the car's slots, front first.
    QelBase slots;

protected:
    // The skin of the kind and the body length it gives.
    void setBody(const char16_t* skinName);
};
