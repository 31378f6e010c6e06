#pragma once
// One convoy on a track: an engine in front and the wagons appended while it enters. Completed
// wagons taken out of the middle split it into segments (TrainLayout); the front segment then
// rolls back until it hits the one behind and the two couple again, matching colours scoring a
// combo. States: 1 entering (the engine pushes), 2 running (cruise and tunnel forces, power-up
// timers), 3 departing (all slots brought and filled: it pulls away ringing its bell), 4 the level
// is over. A train dies when its last segment has lost its last car.

#include <cstdint>
#include <initializer_list>

#include "engine/MathUtil.h"
#include "engine/QelBase.h"
#include "engine/Text.h"

class Packet;
class SoundChannel;
class Track;
class TrainLayout;

class Train : public QelBase {
public:
    enum State : int { STATE_ENTERING = 1, STATE_RUNNING = 2, STATE_DEPARTING = 3, STATE_OVER = 4 };
    static constexpr float ENTRY_FORCE = 6000.0f;
    // More slots than any level brings: a saved train beyond it is damaged.
    static constexpr int32_t kMaxSlotQuota = 100000;

    // A new train (one segment holding the engine, entering), or, with a packet, one read from a
    // saved game; a refused read leaves the packet marked damaged and the caller deletes the train.
    explicit Train(Packet* packet = nullptr);
    // Stops the engine's sound.
    ~Train() override;

    void update(double time, double dt) override;
    // The state part, the engine force, quota, spawned slots and combo, then the segments. Reading
    // refuses (false, logged, the packet marked damaged) a state outside 1-4, an engine force that
    // is no number, a negative quota or spawned count, a combo below 0 or too large to score, a
    // segment count below 0 or beyond the bytes left, and any segment refused.
    virtual bool serialize(Packet& packet);

    // The last segment's last car's next-front position (0 when there is none).
    float rearPos() const;
    int countOpenSlots() const;
    // Hands every slot to the colour picker.
    void reportOpenSlots();
    // The segment joins the train right after 'after' (at the end without one).
    void insertSegmentAfter(TrainLayout* segment, TrainLayout* after);
    TrainLayout* firstSegment() const;
    TrainLayout* lastSegment() const;
    int countSegments() const { return countChildren(); }

    // Forces by position and game state on the front segment; the applause that ends a combo; the
    // departure.
    void applyForces();
    // Wagons appended at the create position while the quota is not brought.
    void spawnWagons();
    // Consecutive segments that touch couple: matching colours fill both cars and score a combo.
    void coupleSegments();
    // At most one flying piece caught per frame.
    void catchCargo();

    // Saved data: a refusal is logged under the reader's name and marks the packet damaged; never
    // fatal. Answers false.
    static bool refuseData(Packet& packet, const char16_t* function, const char16_t* reason);
    static bool isFinite(std::initializer_list<float> values);
    static bool isFinite(const Vector3& v) { return isFinite({v.x, v.y, v.z}); }
    // Bytes a reading packet has left.
    static int bytesLeft(const Packet& packet);

    Track* track = nullptr;
    float engineForce = ENTRY_FORCE;
    int slotQuota = 0;
    int slotsSpawned = 0;
    int comboCount = 0;
    SoundChannel* engineSound = nullptr;

protected:
    // Couples N (behind) onto P (ahead).
    void couple(TrainLayout* ahead, TrainLayout* behind);
    void updateEngineSound();
    void stopEngineSound();
};
