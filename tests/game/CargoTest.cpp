// Pieces in play: flying out of the view, a colour no slot wants any more, the glide into a slot,
// and what happens to the piece a slot held when another takes its place.

#include "PlayFixture.h"
#include "game/CargoColorPicker.h"

namespace {

using CargoTest = PlayTest;

// A piece thrown now from the launcher spot.
Cargo* shot(PlayHarness& h, int type, const Vector3& target) { return h.shoot(type, target); }

TEST_F(CargoTest, APieceOutOfTheViewDiesAndEndsTheStreak) {
    game->stats_placementStreak = 4;
    // Straight up, past every car: it leaves the view without hitting anything.
    Cargo* piece = shot(*harness, 2, level->launcherPositions[0] + Vector3(0, 1000, 0));
    int frames = 0;
    while (game->pCargoLayer->firstChild && frames < 300) {
        EXPECT_EQ(game->stats_placementStreak, 4) << "frame " << frames;
        harness->frame();
        ++frames;
    }
    EXPECT_EQ(game->pCargoLayer->firstChild, nullptr);
    EXPECT_EQ(game->stats_placementStreak, 0);
    // It flew at 640 units a second until it was drawn outside the view.
    EXPECT_GT(frames, 10);
    EXPECT_LT(frames, 120);
    (void)piece;
}

TEST_F(CargoTest, APieceFlyingInFourStepsOfAFrameOfATenth) {
    Cargo* piece = shot(*harness, 0, level->launcherPositions[0] + Vector3(100, 0, 0));
    const Vector3 start = piece->position;
    piece->update(0.0, 0.1);
    EXPECT_NEAR(piece->position.x - start.x, 64.0f, 1e-3f);
    EXPECT_NEAR(piece->motion.position.x - piece->motion.previousPosition.x, 16.0f, 1e-3f);
}

TEST_F(CargoTest, AColourNoOpenSlotWantsDiesExceptTheOneGlidingIntoTheLastSlot) {
    Train* train = makeTrain({1, 1}, 1000.0f);
    CargoSlot* green = slotOf(carAt(train, 1));
    CargoSlot* red = slotOf(carAt(train, 2));
    green->setColor(3);
    red->setColor(0);
    // A green piece waits high above the track (still, in view); another glides into the last
    // green slot.
    Cargo* waiting = shot(*harness, 3, Vector3());
    waiting->motion.velocity = Vector3();
    waiting->motion.position = waiting->position = Vector3(0, 150, 0);
    Cargo* gliding = Cargo::createByType(3);
    gliding->position = green->getCentre() + Vector3(60, 0, 0);
    gliding->updateXform();
    green->acceptCargo(gliding);
    ASSERT_EQ(gliding->state, Cargo::STATE_GLIDING);
    harness->frame();
    // The green slot is no longer open: the waiting piece dies, the one gliding in lives on and
    // settles.
    EXPECT_EQ(game->colorPicker.openCount[3], 0);
    EXPECT_EQ(game->pCargoLayer->firstChild, nullptr);
    EXPECT_EQ(green->held, gliding);
    // It settles, and the wagon is complete and leaves the train.
    const int completed = game->carsCompleted;
    for (int frame = 0; frame < 30 && game->carsCompleted == completed; ++frame) {
        EXPECT_EQ(green->held, gliding);
        harness->frame();
    }
    EXPECT_EQ(game->carsCompleted, completed + 1);
    // A wrong piece in the red slot dies when no slot of its colour is open.
    Cargo* wrong = seat(red, 4);
    (void)wrong;
    harness->frame();
    EXPECT_EQ(red->held, nullptr);
}

TEST_F(CargoTest, ANewPieceWhileTheFormerOneFiresAndRefillsTheSlot) {
    // A bonus that, when it fires, fills its slot again (as the colour bomb does with the open
    // slots of its colour): the former piece is already out of the slot and is deleted once.
    struct RefillingBonus : TracingBonus {
        CargoSlot* home = nullptr;
        void placeInSlot(CargoSlot* target) override {
            TracingBonus::placeInSlot(target);
            home = target;
        }
        bool activate() override {
            TracingBonus::activate();
            EXPECT_EQ(owner, nullptr);
            EXPECT_NE(home->held, this);
            home->replaceCargo(Cargo::createByType(home->color));
            return true;
        }
    };
    Train* train = makeTrain({1}, 1000.0f);
    CargoSlot* slot = slotOf(carAt(train, 1));
    for (int way = 0; way < 3; ++way) {
        SCOPED_TRACE(way);
        TracingBonus::activations = 0;
        slot->replaceCargo(new RefillingBonus());
        if (way == 0) slot->replaceCargo(Cargo::createByType(slot->color));
        if (way == 1) slot->fillWithColor(true);
        if (way == 2) {
            Cargo* piece = Cargo::createByType(slot->color);
            slot->acceptCargo(piece);
        }
        EXPECT_EQ(TracingBonus::activations, 1);
        ASSERT_NE(slot->held, nullptr);
        EXPECT_EQ(slot->held->type, slot->color);
        EXPECT_EQ(slot->countChildren(), 1);
    }
}

TEST_F(CargoTest, SlotsGoneWithTheirCarLeaveTheFramesOpenSlots) {
    Train* train = makeTrain({2, 1}, 1000.0f);
    harness->frame();
    const std::vector<CargoSlot*> before = game->colorPicker.openSlots;
    ASSERT_EQ(before.size(), 3u);
    Car* removed = carAt(train, 1);
    CargoSlot* first = slotOf(removed, 0);
    CargoSlot* second = slotOf(removed, 1);
    train->firstSegment()->removeCar(removed);
    for (CargoSlot* s : game->colorPicker.openSlots) {
        EXPECT_NE(s, first);
        EXPECT_NE(s, second);
    }
    ASSERT_EQ(game->colorPicker.openSlots.size(), 1u);
    EXPECT_EQ(game->colorPicker.openSlots.front(), slotOf(carAt(train, 1)));
}

TEST_F(CargoTest, TheOpenSlotListKeepsItsMemoryFromFrameToFrame) {
    makeTrain({3, 3, 2, 1}, 1100.0f);
    makeTrain({2, 2}, 700.0f);
    harness->frame();
    const std::vector<CargoSlot*>& open = game->colorPicker.openSlots;
    ASSERT_EQ(open.size(), 13u);
    const CargoSlot* const* memory = open.data();
    const size_t capacity = open.capacity();
    for (int frame = 0; frame < 30; ++frame) {
        harness->frame();
        EXPECT_EQ(open.data(), memory);
        EXPECT_EQ(open.capacity(), capacity);
    }
}

}  // namespace
