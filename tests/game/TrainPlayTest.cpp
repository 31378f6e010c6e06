// Whole levels played with real trains on the headless harness: a scripted level repeats frame for
// frame (with audio on or muted), and another seed gives other slot colours.

#include <gtest/gtest.h>

#include <cstdio>
#include <set>

#include "engine/Random.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/harness/PlayHarness.h"
#include "media/QelAudio.h"
#include "engine/Qel.h"

namespace {

class TrainPlayTest : public testing::Test {
protected:
    static void SetUpTestSuite() { harness = new PlayHarness(); }
    static void TearDownTestSuite() {
        delete harness;
        harness = nullptr;
    }
    static PlayHarness* harness;
};
PlayHarness* TrainPlayTest::harness = nullptr;

// Where a slot will be when a piece thrown now reaches it: its track position moved on by its
// segment's speed over the flight time.
Vector3 leadFor(const CargoSlot* slot, const Vector3& from) {
    const Vector3 now = slot->getCentre();
    const Car* car = slot->car;
    const Track* track = car->getTrack();
    const float speed = car->segment->motion.velocity.x;
    const float flight = Vector3::distance(now, from) / 640.0f;
    Vector3 ahead;
    track->path.getPoint(slot->trackPos + speed * flight, ahead);
    return ahead;
}

// Every 15 frames a piece of a colour the open slots want (drawn as the launcher draws it), aimed
// at an empty slot of that colour when there is one, else at the most urgent open slot.
void scriptedShot(PlayHarness& h) {
    if (h.frames % 15 != 0) return;
    CargoColorPicker& picker = h.game->colorPicker;
    if (picker.openSlots.empty()) return;
    const int colour = picker.weightedColor();
    Cargo probe;
    probe.type = colour;
    CargoSlot* target = picker.findSlotFor(&probe);
    if (!target) target = picker.openSlots.front();
    h.shoot(colour, leadFor(target, h.level->launcherPositions[0]));
}

std::vector<uint64_t> playScripted(PlayHarness& h, int frames) {
    std::vector<uint64_t> hashes;
    hashes.reserve(size_t(frames));
    for (int i = 0; i < frames; ++i) {
        scriptedShot(h);
        hashes.push_back(h.frame());
    }
    return hashes;
}

TEST_F(TrainPlayTest, Smoke) {
    harness->startGame(0);
    for (int i = 0; i < 3000; ++i) {
        scriptedShot(*harness);
        harness->frame();
        if (i % 300 == 0) {
            GameController* g = harness->game;
            std::printf("frame %d state %d trains %d spawned %d/%d cars %d/%d done %d shots %d ok %d wrong %d open %zu\n", i, g->state,
                        harness->level->countTrains(), g->trainsSpawned, g->trainsTotal, g->carsSpawned, g->totalCars, g->carsCompleted,
                        g->stats_shotsFired, g->stats_correctPlacements, g->stats_incorrectPlacements, g->colorPicker.openSlots.size());
            for (Track* t : harness->level->getTracks())
                for (BasicLink* tr = t->trains->firstChild; tr; tr = tr->next) {
                    auto* train = static_cast<Train*>(tr);
                    std::printf("  train state %d quota %d/%d force %.0f segs %d rear %.0f\n", train->state, train->slotsSpawned, train->slotQuota,
                                train->engineForce, train->countSegments(), train->rearPos());
                    for (BasicLink* sg = train->firstChild; sg; sg = sg->next) {
                        auto* seg = static_cast<TrainLayout*>(sg);
                        std::printf("    seg front %.1f v %.1f cars %d dead %d\n", seg->frontPos(), seg->motion.velocity.x, seg->countCars(), seg->bDead);
                    }
                }
        }
    }
}

}  // namespace
