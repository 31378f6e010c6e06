#pragma once
// One segment of a train: cars that move as one body along the track under the segment's motion
// (mass 1, damping 5, so that a segment left without force slows down by drag). Its position x is
// the track position of its front; each frame it lays its cars out behind it on the chord tables.

#include "engine/QelBase.h"
#include "game/LayoutController.h"

class Car;
class Packet;
class Train;

class TrainLayout : public QelBase {
public:
    TrainLayout();

    // Without cars the segment is dead; otherwise it moves under the train's engine force (its
    // velocity capped to the game's segment speeds) and places its cars.
    void update(double time, double dt) override;
    // The motion, the car count, then each car's kind and the car. Reading refuses (false, logged)
    // a count below 0 or beyond the bytes left and any car refused; the cars read so far stay.
    virtual bool serialize(Packet& packet);

    // The car joins the segment at its end. A new car also gets its overlay and counts its slots
    // into the game's spawned slots (at most the level's total).
    void addCar(Car* car, bool bNew);
    // Removes a car (the train's removal rule): cars both ahead and behind it split the segment;
    // then the car makes its leaving effects and is deleted.
    void removeCar(Car* car);
    // The first car that is complete, has reached the destroy position, or is an engine behind
    // another car leaves the segment, scoring 100 a slot unless the level is over.
    void removeFinishedCar();
    // Lays the cars out behind the front: each car's rear from the chord table of its body, the
    // next car's front from that of its gap.
    void placeCars();

    // The first car's front (0 without cars).
    float frontPos() const;
    // The two segments' intervals overlap.
    bool touches(const TrainLayout* other) const;
    Car* firstCar() const;
    Car* lastCar() const;
    int countCars() const { return countChildren(); }
    bool isEmpty() const { return firstChild == nullptr; }

    LayoutController motion;
    Train* train = nullptr;
};
