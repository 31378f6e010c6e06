#pragma once
// One railway of a level: a path with named positions along it (the zones), hidden stretches, and
// the trains that run on it. The level sets the control points and the create, tunnel and help
// positions; init derives the other zones, samples the path and lays the band along it.
//
// Zones (track positions along the path):
//   create      where a train's engine starts and wagons are appended; start of progress
//   tunnel      the mouth: everything beyond it is hidden; an open slot passing it loses the level
//   help        labelled in the debug view only
//   destroy     tunnel + 100: a car whose next-front position reaches it is removed
//   danger      tunnel - 300: the lone segment's force ramps from cruise to tunnel force from here
//   sprint      create + sprint fraction of the way to the tunnel: the engine stops pushing
//   refill      create + refill fraction of the way: the next train comes when the last one's
//               rear passes it
//   resistance  create + 0.3 of the way: the end of the engine force's ramp

#include <memory>
#include <unordered_map>

#include "engine/QelBase.h"
#include "game/ChordTable.h"
#include "game/TrackPath.h"
#include "game/TrackStrip.h"

class Packet;
class Train;

class Track : public QelBase {
public:
    Track();
    ~Track() override;

    // Checks the zones the level set (fatal when one is missing or a derived one is already set),
    // derives the others from the current host's fractions, samples the path and builds the band.
    virtual void init();
    // Writes or reads the trains: their count, then each train. False when the packet's data is
    // refused (a count the packet cannot hold, more trains or cars than kMaxTrains and kMaxCars,
    // or a train that fails); the trains read by a refused call are deleted again.
    virtual bool serialize(Packet& packet);
    // What a saved track may hold. The rules bring at most six trains a track and 200 slots a
    // level (a wagon holds one to three); every car moves and is drawn each frame.
    static constexpr int kMaxTrains = 50;
    static constexpr int kMaxCars = 300;

    // Prepares the chord tables of the car kinds, asks the host for a train when the track is
    // ready for one, runs the trains and joins those that have caught up with the one ahead.
    void update(double time, double dt) override;
    // Debug view only (debug-draw flag 0x100): the band, the path and the zones' labels.
    void render() override;

    // Beyond the tunnel, or inside a hidden stretch.
    bool isHidden(float pos) const;
    // The train joins this track: it is appended behind the others.
    void addTrain(Train* train);
    // The table for that exact length, built when first asked for; a negative length or one that
    // is not a number asks for the table of length 0.
    ChordTable* getChordTable(float length);
    // How far the first train with an open slot has come from create to the tunnel (0..1); 0
    // when no train has an open slot.
    float getProgress() const;
    // The progress of a front at track position p: 0 at create, 1 at the tunnel, clamped; 0 when
    // create and tunnel coincide or p is not a number.
    float progressAt(float p) const;
    // Every train to state 4 (the level is over) at once.
    void stopTrains();
    int countTrains() const;
    // Every train's open slots to the colour picker.
    void reportOpenSlots();

    float createLambda = -1.0f;
    float destroyLambda = -1.0f;
    float sprintLambda = -1.0f;
    float refillLambda = -1.0f;
    float tunnelLambda = -1.0f;
    float dangerLambda = -1.0f;
    float helpLambda = -1.0f;
    float resistanceLambda = -1.0f;

    TrackPath path;
    // Its children are the HiddenZones.
    QelBase hiddenZones;
    TrackStrip strip;
    // A child of the track; its children are the Trains, oldest (front-most) first.
    QelBase* trains = nullptr;
    std::unordered_map<float, std::unique_ptr<ChordTable>> chordTables;
    // A track position labelled in the debug view.
    float debugMarker = 1000.0f;

protected:
    // Builds the tables of every car kind's body and gap lengths before the first train runs, so
    // that later lookups find them ready.
    void prepareChordTables();
    // No train, or the last one's rear has passed the refill position. A dead train (one that has
    // lost its last car) counts as none.
    bool wantsNextTrain() const;
    // A train whose front has caught up with the rear of the train ahead joins it.
    void coupleTrains();
};
