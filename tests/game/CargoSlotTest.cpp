// The slot rules: which caught piece a slot keeps, when it is passed to a neighbour, what a
// fireball and a bonus do, the streak, the tunnel, and the chain pulling pieces out.

#include <cmath>

#include "PlayFixture.h"
#include "game/FloatingText.h"
#include "game/Launcher.h"
#include "game/LauncherChain.h"

namespace {

// A train of the engine, a three-slot wagon (slots A, B, C) and a one-slot wagon (D), laid
// straight along x with no turn: A at +31, B at 0, C at -31 from the wagon's centre at the origin,
// D 150 behind. A piece "at B" sits beside B, touching it but neither A nor C.
class CargoSlotTest : public PlayTest {
protected:
    void SetUp() override {
        PlayTest::SetUp();
        train = makeTrain({3, 1}, 1200.0f);
        const Vector3 turn;
        for (int i = 0; i < 3; ++i) {
            const Vector3 at(150.0f - 150.0f * float(i), 0.0f, 0.0f);
            carAt(train, i)->set(nullptr, &at, &turn, nullptr, nullptr, nullptr);
        }
        wagon = carAt(train, 1);
        for (int i = 0; i < 3; ++i) slots[i] = slotOf(wagon, i);
        slots[3] = slotOf(carAt(train, 2));
        for (int i = 0; i < 4; ++i) slots[i]->setColor(i);
        game->stats_correctPlacements = game->stats_incorrectPlacements = 0;
        game->stats_placementStreak = 2;
    }
    // A flying piece at a point (in the flight layer, as the train finds it).
    Cargo* flying(int type, const Vector3& at) {
        Cargo* piece = Cargo::createByType(type);
        piece->position = at;
        piece->motion.position = at;
        piece->updateXform();
        piece->enterState(Cargo::STATE_FLYING);
        game->pCargoLayer->addChild(piece);
        return piece;
    }
    // Beside B, the given distance along the wagon (positive towards A).
    Vector3 besideB(float along) {
        Cargo probe;
        probe.pSkin = GameController::findSkin(u"cargo:0");
        probe.initCollision();
        probe.updateXform();
        const float reach = slots[1]->boundsRadius * slots[1]->collisionSensitivity + probe.boundsRadius * probe.collisionSensitivity;
        return slots[1]->getCentre() + Vector3(along, 0.9f * reach, 0.0f);
    }
    int holder(const Cargo* piece) const {
        for (int i = 0; i < 4; ++i)
            if (slots[i]->held == piece) return i;
        return -1;
    }

    Train* train = nullptr;
    Car* wagon = nullptr;
    CargoSlot* slots[4] = {};
};

TEST_F(CargoSlotTest, WhereACaughtPieceGoes) {
    enum : int { EMPTY = -1, BONUS = 100 };
    struct Case {
        const char* name;
        int colours[4];
        int contents[4];
        int type;
        float along;  // beside B, this far towards A
        int taken;    // the slot that holds the piece afterwards (-1: the car refuses it)
        int correct, incorrect, streak;
        const char16_t* sound;
        int fired;
    };
    const Case cases[] = {
        {"a wrong piece goes to the nearer fitting empty neighbour", {2, 1, 2, 3}, {EMPTY, EMPTY, EMPTY, EMPTY}, 2, -3.0f, 2, 1, 0, 3, u"tick", 0},
        {"the other neighbour when it is the nearer", {2, 1, 2, 3}, {EMPTY, EMPTY, EMPTY, EMPTY}, 2, 3.0f, 0, 1, 0, 3, u"tick", 0},
        {"a tie keeps the previous neighbour", {2, 1, 2, 3}, {EMPTY, EMPTY, EMPTY, EMPTY}, 2, 0.0f, 0, 1, 0, 3, u"tick", 0},
        {"only an empty neighbour qualifies", {2, 1, 2, 3}, {0, EMPTY, EMPTY, EMPTY}, 2, 3.0f, 2, 1, 0, 3, u"tick", 0},
        {"no fitting empty neighbour: a wrong piece stays", {0, 1, 3, 2}, {EMPTY, EMPTY, EMPTY, EMPTY}, 2, 0.0f, 1, 0, 1, 0, u"wrong", 0},
        // Both neighbours empty and of the colour the wildcard's type would read as: it stays in B.
        {"the wildcard is never passed on", {9 % 8, 2, 9 % 8, 3}, {EMPTY, EMPTY, EMPTY, EMPTY}, 9, 0.0f, 1, 1, 0, 3, u"tick", 0},
        {"a fitting piece collects a bonus", {0, 1, 2, 3}, {EMPTY, BONUS, EMPTY, EMPTY}, 1, 0.0f, 1, 1, 0, 3, u"tick", 1},
        {"a wrong piece replaces a bonus without collecting it", {0, 1, 2, 3}, {EMPTY, BONUS, EMPTY, EMPTY}, 3, 0.0f, 1, 0, 1, 0, u"wrong", 0},
        {"a slot holding a wrong piece takes nothing else", {0, 1, 2, 3}, {EMPTY, 5, EMPTY, EMPTY}, 1, 0.0f, -1, 0, 0, 2, nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (int i = 0; i < 4; ++i) {
            slots[i]->setColor(c.colours[i]);
            if (c.contents[i] == BONUS) slots[i]->replaceCargo(new TracingBonus());
            else if (c.contents[i] != EMPTY) seat(slots[i], c.contents[i]);
        }
        TracingBonus::activations = 0;
        TracedSounds::played.clear();
        Cargo* piece = flying(c.type, besideB(c.along));
        if (c.along == 0.0f && c.taken == 0) {
            ASSERT_EQ(Vector3::distance(piece->position, slots[0]->getCentre()), Vector3::distance(piece->position, slots[2]->getCentre()));
        }
        ASSERT_TRUE(slots[1]->collide(piece));
        ASSERT_FALSE(slots[0]->collide(piece));
        ASSERT_FALSE(slots[2]->collide(piece));
        EXPECT_EQ(wagon->receiveCargo(piece), c.taken >= 0);
        EXPECT_EQ(holder(piece), c.taken);
        if (c.taken >= 0) {
            EXPECT_EQ(piece->owner, slots[c.taken]);
            EXPECT_EQ(piece->slot, slots[c.taken]);
            EXPECT_EQ(piece->state, Cargo::STATE_GLIDING);
        } else {
            EXPECT_EQ(piece->owner, game->pCargoLayer);
            EXPECT_EQ(piece->state, Cargo::STATE_FLYING);
        }
        EXPECT_EQ(game->stats_correctPlacements, c.correct);
        EXPECT_EQ(game->stats_incorrectPlacements, c.incorrect);
        EXPECT_EQ(game->stats_placementStreak, c.streak);
        EXPECT_EQ(TracedSounds::names(), c.sound ? std::vector<std::u16string>{c.sound} : std::vector<std::u16string>{});
        EXPECT_EQ(TracingBonus::activations, c.fired);
        track->trains->deleteChildren();
        game->pCargoLayer->deleteChildren();
    }
}

TEST_F(CargoSlotTest, FireballsSeatTheSlotsColourInTheFirstOpenSlotTheyTouch) {
    enum : int { EMPTY = -1, BONUS = 100 };
    struct Case {
        const char* name;
        int contents[3];
        int burned;  // the slot that now holds a piece of its colour
        int fired;
    };
    const Case cases[] = {
        {"an empty slot", {EMPTY, EMPTY, EMPTY}, 0, 0},
        {"a slot holding a wrong piece", {5, EMPTY, EMPTY}, 0, 0},
        {"a slot holding a bonus, which fires", {BONUS, EMPTY, EMPTY}, 0, 1},
        {"filled slots hand it on", {0, 1, EMPTY}, 2, 0},
        {"all filled: flies on", {0, 1, 2}, -1, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        for (int i = 0; i < 3; ++i) {
            if (c.contents[i] == BONUS) slots[i]->replaceCargo(new TracingBonus());
            else if (c.contents[i] != EMPTY) seat(slots[i], c.contents[i]);
        }
        TracingBonus::activations = 0;
        TracedSounds::played.clear();
        // Over B, touching all three slots.
        Cargo* fireball = flying(Cargo::TYPE_FIREBALL, slots[1]->getCentre());
        for (int i = 0; i < 3; ++i) ASSERT_TRUE(slots[i]->collide(fireball));
        // A filled slot refuses it itself.
        for (int i = 0; i < 3; ++i)
            if (slots[i]->isFilled()) {
                EXPECT_FALSE(slots[i]->receiveCargo(fireball, false));
            }
        EXPECT_EQ(wagon->receiveCargo(fireball), c.burned >= 0);
        if (c.burned >= 0) {
            Cargo* seated = slots[c.burned]->held;
            ASSERT_NE(seated, nullptr);
            EXPECT_EQ(seated->type, slots[c.burned]->color);
            EXPECT_EQ(seated->state, Cargo::STATE_SEATED);
            EXPECT_EQ(game->stats_correctPlacements, 1);
            EXPECT_EQ(TracedSounds::names(), std::vector<std::u16string>{u"fireworkBangShort"});
        }
        // The fireball itself flies on.
        EXPECT_EQ(fireball->owner, game->pCargoLayer);
        EXPECT_EQ(TracingBonus::activations, c.fired);
        track->trains->deleteChildren();
        game->pCargoLayer->deleteChildren();
    }
}

TEST_F(CargoSlotTest, HiddenSlotsRefuseEverything) {
    slots[1]->bHidden = true;
    for (int type : {1, 9, int(Cargo::TYPE_FIREBALL)}) {
        Cargo* piece = flying(type, besideB(0.0f));
        EXPECT_FALSE(slots[1]->receiveCargo(piece, false)) << type;
        EXPECT_FALSE(slots[1]->receiveCargo(piece, true)) << type;
        EXPECT_FALSE(wagon->receiveCargo(piece)) << type;
        EXPECT_EQ(slots[1]->held, nullptr);
    }
    // A slot that holds a wrong piece still takes a fireball while it is in sight.
    slots[1]->bHidden = false;
    seat(slots[1], 6);
    EXPECT_FALSE(slots[1]->receiveCargo(flying(1, besideB(0.0f)), false));
    EXPECT_TRUE(slots[1]->receiveCargo(flying(Cargo::TYPE_FIREBALL, besideB(0.0f)), false));
    EXPECT_EQ(slots[1]->held->type, 1);
}

TEST_F(CargoSlotTest, AHiddenCandidateSendsThePieceOnToTheCarsNextSlot) {
    // Over B: A (colour 0) is hit first by a piece of colour 2; its only candidate B (2, empty)
    // lies in a hidden stretch and refuses; the car goes on past B (hidden) to C, which fits.
    slots[0]->setColor(0);
    slots[1]->setColor(2);
    slots[2]->setColor(2);
    slots[1]->bHidden = true;
    Cargo* piece = flying(2, slots[1]->getCentre());
    ASSERT_TRUE(slots[0]->collide(piece));
    ASSERT_TRUE(slots[2]->collide(piece));
    // The slot alone returns the candidate's refusal.
    EXPECT_FALSE(slots[0]->receiveCargo(piece, false));
    EXPECT_EQ(slots[0]->held, nullptr);
    EXPECT_TRUE(wagon->receiveCargo(piece));
    EXPECT_EQ(slots[2]->held, piece);
    EXPECT_EQ(game->stats_correctPlacements, 1);
}

TEST_F(CargoSlotTest, EveryFifthFittingPlacementInARowShowsTheStreak) {
    struct Case {
        int before;
        int points;  // 0: no streak shown
    };
    for (const Case& c : {Case{4, 500}, Case{9, 1000}, Case{5, 0}, Case{0, 0}, Case{14, 1500}}) {
        SCOPED_TRACE(c.before);
        SetUp();
        game->pEffectsLayer->deleteChildren();
        game->stats_placementStreak = c.before;
        profile().score() = 0;
        TracedSounds::played.clear();
        EXPECT_TRUE(wagon->receiveCargo(flying(1, besideB(0.0f))));
        EXPECT_EQ(game->stats_placementStreak, c.before + 1);
        EXPECT_EQ(profile().score(), c.points);
        EXPECT_EQ(TracedSounds::names(), std::vector<std::u16string>{c.points ? u"streak" : u"tick"});
        const FloatingText* shown = nullptr;
        for (BasicLink* e = game->pEffectsLayer->firstChild; e; e = e->next)
            if (auto* text = dynamic_cast<FloatingText*>(e)) shown = text;
        if (c.points) {
            ASSERT_NE(shown, nullptr);
            EXPECT_EQ(shown->text, format(u"streak x%d", c.before + 1));
        } else {
            EXPECT_EQ(shown, nullptr);
        }
        track->trains->deleteChildren();
        game->pCargoLayer->deleteChildren();
    }
}

TEST_F(CargoSlotTest, AnOpenSlotInTheTunnelLosesTheLevelOnlyWhilePlaying) {
    enum : int { EMPTY = -1 };
    struct Case {
        int content;
        int gameState;
        bool inside;
        int after;
    };
    const Case cases[] = {
        {EMPTY, 4, true, 5},  {5, 4, true, 5},   {int(Cargo::TYPE_SLOW_BONUS), 4, true, 5},
        {1, 4, true, 4},      {EMPTY, 4, false, 4}, {EMPTY, 3, true, 3}, {EMPTY, 7, true, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.content << " " << c.gameState << " " << c.inside);
        SetUp();
        if (c.content != EMPTY) seat(slots[1], c.content);
        game->gotoState(c.gameState);
        // B's rear just past the tunnel mouth (or just short of it).
        const float rear = slots[1]->widthFactor * slots[1]->boundsRadius;
        wagon->trackPos = track->tunnelLambda + rear + (c.inside ? 0.5f : -0.5f);
        slots[1]->update(game->getGameTime(), 0.0);
        EXPECT_EQ(game->state, c.after);
        track->trains->deleteChildren();
    }
    game->gotoState(4);
}

TEST_F(CargoSlotTest, TheChainPullsWrongPiecesAndBonusesOutOfSlotsInSight) {
    struct Case {
        const char* name;
        int content;
        int chainState;
        bool hidden;
        bool hookThere;
        bool pulled;
    };
    const Case cases[] = {
        {"a wrong piece", 5, 2, false, true, true},
        {"a bonus", int(Cargo::TYPE_STOP_BONUS), 2, false, true, true},
        {"a fitting piece stays", 1, 2, false, true, false},
        {"a wildcard stays", 9, 2, false, true, false},
        {"the chain is not out", 5, 1, false, true, false},
        {"the hook is elsewhere", 5, 2, false, false, false},
        {"the slot is hidden", 5, 2, true, true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        // (A new game for each case: the launcher goes with it.)
        auto* launcher = new Launcher();
        game->pWorldLayer->addChild(launcher);
        game->pLauncher = launcher;
        LauncherChain* chain = launcher->chain;
        Cargo* piece = seat(slots[1], c.content);
        chain->gotoState(c.chainState);
        chain->extension.force = Vector3(-2000, 0, 0);
        const Vector3 hook = c.hookThere ? slots[1]->getCentre() : Vector3(0, 500, 0);
        chain->set(nullptr, &hook, nullptr, nullptr, nullptr, nullptr);
        // The hidden flag comes from the track: move the wagon behind the tunnel mouth's
        // neighbourhood only for that case.
        if (c.hidden) wagon->trackPos = track->tunnelLambda + 200.0f;
        game->gotoState(3);  // no level lost by the test's moves
        slots[1]->update(game->getGameTime(), 0.0);
        EXPECT_EQ(slots[1]->held == nullptr, c.pulled);
        if (c.pulled) {
            EXPECT_EQ(chain->held, piece);
            EXPECT_EQ(piece->owner, chain);
            EXPECT_EQ(piece->slot, nullptr);
            EXPECT_EQ(piece->state, Cargo::STATE_CHAINED);
            EXPECT_EQ(chain->extension.force, Vector3(-8000, 0, 0));
        } else {
            EXPECT_EQ(piece->owner, slots[1]);
        }
        track->trains->deleteChildren();
    }
    game->gotoState(4);
}

TEST_F(CargoSlotTest, ASeatedBonusVanishesAfterTenSecondsAPlainPieceNever) {
    Cargo* bonus = seat(slots[0], Cargo::TYPE_SLOW_BONUS);
    seat(slots[1], 1);
    seat(slots[2], 5);
    double t = 0.0;
    for (int frame = 0; frame < 599; ++frame) {
        for (CargoSlot* s : {slots[0], slots[1], slots[2]}) s->update(t, 1.0 / 60.0);
        t += 1.0 / 60.0;
    }
    EXPECT_EQ(slots[0]->held, bonus);
    for (int frame = 0; frame < 2; ++frame)
        for (CargoSlot* s : {slots[0], slots[1], slots[2]}) s->update(t, 1.0 / 60.0);
    EXPECT_EQ(slots[0]->held, nullptr);
    EXPECT_EQ(slots[0]->firstChild, nullptr);
    ASSERT_NE(slots[1]->held, nullptr);
    ASSERT_NE(slots[2]->held, nullptr);
    for (int frame = 0; frame < 1200; ++frame)
        for (CargoSlot* s : {slots[1], slots[2]}) s->update(t, 1.0 / 60.0);
    EXPECT_NE(slots[1]->held, nullptr);
    EXPECT_NE(slots[2]->held, nullptr);
}

using CargoNeighbourTest = PlayTest;

TEST_F(CargoNeighbourTest, ACarWithoutSlotsOffersNoNeighbour) {
    // An engine pushed behind a wagon (it goes the next frame): the wagon behind it finds no
    // neighbour ahead, not even the fitting empty slot of the wagon beyond the engine.
    for (bool engineBetween : {true, false}) {
        SCOPED_TRACE(engineBetween);
        TracedSounds::played.clear();
        Train* train = makeTrain({1}, 1200.0f);
        TrainLayout* segment = train->firstSegment();
        if (engineBetween) segment->addCar(Car::createByType(Car::KIND_ENGINE), true);
        segment->addCar(Car::createByType(Car::KIND_ONE_SLOT), true);
        const Vector3 turn;
        int i = 0;
        for (BasicLink* c = segment->firstChild; c; c = c->next, ++i) {
            const Vector3 at(300.0f - 150.0f * float(i), 0.0f, 0.0f);
            static_cast<Car*>(c)->set(nullptr, &at, &turn, nullptr, nullptr, nullptr);
        }
        CargoSlot* ahead = slotOf(carAt(train, 1));
        Car* last = static_cast<Car*>(segment->lastChild);
        CargoSlot* behind = slotOf(last);
        ahead->setColor(2);
        behind->setColor(1);
        Cargo* piece = Cargo::createByType(2);
        piece->position = piece->motion.position = behind->getCentre();
        piece->updateXform();
        piece->enterState(Cargo::STATE_FLYING);
        game->pCargoLayer->addChild(piece);
        ASSERT_TRUE(behind->collide(piece));
        ASSERT_FALSE(ahead->collide(piece));
        EXPECT_TRUE(last->receiveCargo(piece));
        // Without the engine between them the neighbour ahead takes it.
        EXPECT_EQ(behind->held, engineBetween ? piece : nullptr);
        EXPECT_EQ(ahead->held, engineBetween ? nullptr : piece);
        EXPECT_EQ(TracedSounds::names(), std::vector<std::u16string>{engineBetween ? u"wrong" : u"tick"});
        track->trains->deleteChildren();
        game->pCargoLayer->deleteChildren();
    }
}

}  // namespace
