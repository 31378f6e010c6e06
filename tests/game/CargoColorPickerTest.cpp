// The colour picker's tables and draws: the urgent and weighted colours, bonus types and wagon
// kinds by weight, the slot finders, and the draws of the game's generator they make.

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "engine/Random.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoColorPicker.h"
#include "game/CargoSlot.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"

namespace {

// The generator as the rules define it, to know which values a seed gives.
uint32_t lcg(uint32_t& x) {
    x = x * 214013u + 2531011u;
    return (x >> 16) & 0xFFFFu;
}

// Wagons on a track whose path is 1000 long: each slot's distance to the end is 1000 - its track
// position. Works without an engine (no pictures).
class PickerTest : public testing::Test {
protected:
    void SetUp() override {
        track.path.length = 1000.0f;
        startTrain();
    }
    // A fresh train (the last one's cars go).
    void startTrain() {
        track.trains->deleteChildren();
        train = new Train();
        track.addTrain(train);
    }
    // A one-slot wagon of that colour whose slot lies 'distance' from the end of the track.
    CargoSlot* slotAt(int colour, float distance) {
        Car* car = Car::createByType(Car::KIND_ONE_SLOT);
        auto* slot = static_cast<CargoSlot*>(car->slots.firstChild);
        slot->setColor(colour);
        car->trackPos = 1000.0f - distance - slot->position.x;
        train->lastSegment()->addCar(car, false);
        return slot;
    }
    // What the level reports each frame (its trains report to the game's picker).
    void report() {
        picker.reset();
        for (BasicLink* car = train->firstSegment()->firstChild; car; car = car->next)
            for (BasicLink* slot = static_cast<Car*>(car)->slots.firstChild; slot; slot = slot->next)
                picker.addOpenSlot(static_cast<CargoSlot*>(slot));
    }
    Track track;
    Train* train = nullptr;
    CargoColorPicker picker;
};

TEST_F(PickerTest, UrgentColourKeepsATruncatedRunningMinimum) {
    struct Case {
        std::vector<std::pair<int, float>> slots;
        int urgent;
    };
    const Case cases[] = {
        {{{0, 5.7f}, {1, 5.2f}}, 0},  // 5.2 is not below the truncated 5
        {{{0, 5.7f}, {1, 4.9f}}, 1},
        {{{2, 300.0f}, {5, 12.0f}, {6, 12.5f}}, 5},
        {{{3, 0.5f}, {4, 0.2f}}, 3},  // truncated to 0: nothing beats it
        {{}, 0},                      // nothing open
    };
    for (const Case& c : cases) {
        startTrain();
        for (auto [colour, distance] : c.slots) slotAt(colour, distance);
        report();
        EXPECT_EQ(picker.urgentColor(), c.urgent) << c.slots.size();
    }
}

TEST_F(PickerTest, OpenSlotsCountEmptyWrongAndPowerUpButNotFittingOnes) {
    CargoSlot* empty = slotAt(2, 100);
    CargoSlot* wrong = slotAt(2, 90);
    wrong->replaceCargo(Cargo::createByType(4));
    CargoSlot* fitting = slotAt(2, 80);
    fitting->replaceCargo(Cargo::createByType(2));
    CargoSlot* wildcard = slotAt(6, 70);
    wildcard->replaceCargo(Cargo::createByType(Cargo::TYPE_WILDCARD));
    CargoSlot* bonus = slotAt(6, 60);
    bonus->replaceCargo(Cargo::createByType(Cargo::TYPE_SLOW_BONUS));
    report();
    EXPECT_EQ(picker.openSlots, (std::vector<CargoSlot*>{empty, wrong, bonus}));
    EXPECT_EQ(picker.openCount[2], 2);
    EXPECT_EQ(picker.openCount[6], 1);
    EXPECT_FLOAT_EQ(picker.nearestDistance[2], 90.0f);
    EXPECT_FLOAT_EQ(picker.nearestDistance[6], 60.0f);
    EXPECT_FLOAT_EQ(picker.nearestDistance[0], CargoColorPicker::FAR);
    // The finders.
    Cargo red, white, joker;
    red.type = 2;
    white.type = 7;
    joker.type = Cargo::TYPE_WILDCARD;
    EXPECT_EQ(picker.findSlotFor(&red), empty);
    EXPECT_EQ(picker.findSlotFor(&white), nullptr);
    EXPECT_EQ(picker.findSlotFor(&joker), empty);
    EXPECT_EQ(picker.findWrongSlot(), wrong);
    EXPECT_EQ(picker.findBonusSlot(), bonus);
    // A slot that goes during the frame leaves the list.
    picker.removeOpenSlot(wrong);
    EXPECT_EQ(picker.openSlots, (std::vector<CargoSlot*>{empty, bonus}));
}

TEST_F(PickerTest, WeightedColourFollowsTheOpenCountsForKnownSeeds) {
    slotAt(0, 10);
    slotAt(2, 20);
    slotAt(2, 30);
    slotAt(4, 40);
    report();
    // n = 4: r mod 4 falls in colour 0 (0), 2 (1, 2) or 4 (3).
    for (uint32_t seed : {1u, 2u, 12345u, 0xDEADBEEFu, 0x5EED1234u, 77u}) {
        uint32_t x = seed;
        const int r = int(lcg(x) % 4);
        const int expected = r == 0 ? 0 : (r <= 2 ? 2 : 4);
        randomSeed = seed;
        EXPECT_EQ(picker.weightedColor(), expected) << seed;
        EXPECT_EQ(randomSeed, x) << "one draw";
    }
    // Nothing open: 0 without a draw.
    picker.reset();
    randomSeed = 99;
    EXPECT_EQ(picker.weightedColor(), 0);
    EXPECT_EQ(randomSeed, 99u);
}

TEST(PickerDrawTest, EnabledColourForKnownSeeds) {
    const bool enabled[8] = {true, false, true, false, true, false, false, false};
    const int colours[3] = {0, 2, 4};
    for (uint32_t seed : {1u, 2u, 3u, 12345u, 0xDEADBEEFu, 0x5EED1234u}) {
        uint32_t x = seed;
        const int expected = colours[lcg(x) % 3];
        randomSeed = seed;
        EXPECT_EQ(pickEnabledColor(enabled), expected) << seed;
        EXPECT_EQ(randomSeed, x);
    }
    // Nothing enabled (no modulo by zero): 0, and the draw is still made.
    const bool none[8] = {};
    randomSeed = 5;
    uint32_t x = 5;
    lcg(x);
    EXPECT_EQ(pickEnabledColor(none), 0);
    EXPECT_EQ(randomSeed, x);
}

TEST(PickerDrawTest, ForcedTypesFirstThenTheWeights) {
    CargoColorPicker picker;
    EXPECT_FALSE(picker.hasTypeWeights());
    picker.typeWeights[11] = 0.5f;
    EXPECT_TRUE(picker.hasTypeWeights());
    picker.forcedType = 18;
    picker.forcedCount = 3;
    randomSeed = 42;
    for (int i = 0; i < 3; ++i) EXPECT_EQ(picker.pickType(), 18);
    EXPECT_EQ(randomSeed, 42u) << "forced types draw nothing";
    EXPECT_EQ(picker.forcedCount, 0);
    EXPECT_EQ(picker.pickType(), 11);
    // No forced type: the count is kept and the weights decide.
    picker.forcedType = CargoColorPicker::NO_TYPE;
    picker.forcedCount = 5;
    EXPECT_EQ(picker.pickType(), 11);
    EXPECT_EQ(picker.forcedCount, 5);
    // The first type whose running sum exceeds W x r / 65536.
    picker.typeWeights[11] = 0.0f;
    picker.typeWeights[10] = 1.0f;
    picker.typeWeights[13] = 3.0f;
    for (uint32_t seed : {1u, 7u, 1000u, 0xABCDEFu}) {
        uint32_t x = seed;
        const float v = 4.0f * float(lcg(x)) / 65536.0f;
        randomSeed = seed;
        EXPECT_EQ(picker.pickType(), v < 1.0f ? 10 : 13) << seed;
    }
    picker.clear();
    EXPECT_FALSE(picker.hasTypeWeights());
    EXPECT_EQ(picker.forcedType, CargoColorPicker::NO_TYPE);
}

TEST(PickerDrawTest, WagonKindsByWeightAndAOneSlotWagonWithoutWeights) {
    CargoColorPicker picker;
    picker.carKindWeights[0] = 1.0f;
    picker.carKindWeights[2] = 1.0f;
    for (uint32_t seed : {3u, 9u, 31337u, 0xFEEDu}) {
        uint32_t x = seed;
        const float v = 2.0f * float(lcg(x)) / 65536.0f;
        randomSeed = seed;
        EXPECT_EQ(picker.pickCarKind(), v < 1.0f ? 1 : 3) << seed;
    }
    // No weight at all: a one-slot wagon (never the engine, which could not bring a slot).
    picker.clear();
    randomSeed = 8;
    EXPECT_EQ(picker.pickCarKind(), 1);
    EXPECT_NE(randomSeed, 8u);
}

}  // namespace
