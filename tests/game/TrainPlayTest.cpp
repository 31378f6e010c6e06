// Whole levels played with real trains on the headless harness: a scripted level (fixed shots,
// 3,000 frames at 60 Hz, drawn every frame) repeats frame for frame, with audio on or muted, and
// another seed gives other slot colours.

#include <gtest/gtest.h>

#include <set>

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

TEST_F(TrainPlayTest, AScriptedLevelRepeatsFrameForFrame) {
    std::vector<uint64_t> runs[2];
    for (auto& hashes : runs) {
        harness->startGame(0);
        hashes = playScripted(*harness, 3000);
    }
    EXPECT_EQ(runs[0], runs[1]);
    // The level was played: trains came, pieces were caught, and the frames differ.
    EXPECT_EQ(harness->game->trainsSpawned, 3);
    EXPECT_GT(harness->game->stats_correctPlacements, 10);
    EXPECT_GT(harness->game->carsCompleted, 10);
    EXPECT_EQ(std::set<uint64_t>(runs[0].begin(), runs[0].end()).size(), runs[0].size());
}

TEST_F(TrainPlayTest, MutedAudioTakesTheSameDrawsAsPlayingAudio) {
    std::vector<uint64_t> runs[2];
    QelAudio* audio = harness->engine->pQelAudio;
    const bool wasMuted = audio->bNoAudio;
    // Muted first, while no sample is loaded yet: nothing sounds at all in that run.
    for (int muted = 1; muted >= 0; --muted) {
        audio->bNoAudio = muted == 1;
        harness->startGame(0);
        runs[muted] = playScripted(*harness, 3000);
    }
    audio->bNoAudio = wasMuted;
    EXPECT_EQ(runs[0], runs[1]);
}

TEST_F(TrainPlayTest, AnotherSeedGivesOtherSlotColours) {
    auto colours = [](PlayHarness& h) {
        std::vector<int> seen;
        for (Track* track : h.level->getTracks())
            for (BasicLink* t = track->trains->firstChild; t; t = t->next)
                for (BasicLink* s = t->firstChild; s; s = s->next)
                    for (BasicLink* c = s->firstChild; c; c = c->next)
                        for (BasicLink* slot = static_cast<Car*>(c)->slots.firstChild; slot; slot = slot->next)
                            seen.push_back(static_cast<CargoSlot*>(slot)->color);
        return seen;
    };
    const uint32_t first = harness->seed;
    std::vector<int> seen[2];
    for (int run = 0; run < 2; ++run) {
        harness->seed = run == 0 ? first : first ^ 0x9E3779B9u;
        harness->startGame(0);
        harness->run(400);
        seen[run] = colours(*harness);
        // Level 0's colours only.
        for (int colour : seen[run]) EXPECT_TRUE(colour == 0 || colour == 2 || colour == 4) << colour;
    }
    harness->seed = first;
    ASSERT_GE(seen[0].size(), 5u);
    EXPECT_NE(seen[0], seen[1]);
}

}  // namespace
