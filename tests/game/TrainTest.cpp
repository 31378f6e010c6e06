// A train's states and forces, wagons appearing up to the quota, cars leaving (splits, scores,
// sparks, explosions), segments coupling (combos, hearts, the bell) and trains joining.

#include <chrono>
#include <cmath>
#include <memory>
#include <thread>

#include "PlayFixture.h"
#include "game/CarOverlay.h"
#include "game/FloatingText.h"
#include "game/FlareEffect.h"
#include "game/HeartEffect.h"
#include "game/LeadCar.h"
#include "game/Launcher.h"
#include "game/SmokeEffect.h"
#include "game/SmokeParticle.h"
#include "game/WildcardCargo.h"
#include "engine/Qel.h"
#include "engine/Random.h"
#include "media/QelGraphics.h"
#include "media/Sound.h"
#include "media/SoundChannel.h"
#include "platform/AudioLibrary.h"

namespace {

using TrainTest = PlayTest;

TEST_F(TrainTest, AFrontExactlyAtTheSprintPositionIsStillEntering) {
    auto* launcher = new Launcher();
    game->pWorldLayer->addChild(launcher);
    game->pLauncher = launcher;
    game->pWorldLayer->totalTime = 12.5;
    struct Case {
        float offset;
        int state;
        float force;
    };
    const Case cases[] = {{-1.0f, 1, 6000.0f}, {0.0f, 1, 6000.0f}, {0.01f, 2, 0.0f}};
    // (A wagon with an open slot keeps the train from departing at once.)
    for (const Case& c : cases) {
        SCOPED_TRACE(c.offset);
        game->levelStartTime = 0.0;
        launcher->gotoState(Launcher::STATE_DISABLED);
        Train* train = makeTrain({1}, track->sprintLambda + c.offset, Train::STATE_ENTERING);
        train->update(12.5, 0.0);
        EXPECT_EQ(train->state, c.state);
        EXPECT_FLOAT_EQ(train->engineForce, c.force);
        // Entering play arms the launcher and starts the level's clock.
        EXPECT_EQ(launcher->state, c.state == 2 ? Launcher::STATE_READY : Launcher::STATE_DISABLED);
        EXPECT_DOUBLE_EQ(game->levelStartTime, c.state == 2 ? 12.5 : 0.0);
        track->trains->deleteChildren();
    }
    game->pLauncher = nullptr;
}

// The engine chugs while the train comes in, panned to where the engine is; once the train is in
// play the chug fades out and ends by itself; a train that goes cuts its chug.
TEST_F(TrainTest, TheEngineChugsWhileTheTrainComesIn) {
    const int width = harness->engine->pQelGraphics->layoutWidth;
    const float span = track->sprintLambda - track->createLambda;
    for (const float f : {0.05f, 0.5f, 0.95f}) {
        SCOPED_TRACE(f);
        // The sound's minimum interval (a quarter second) lies between two starts.
        harness->run(20);
        Train* train = makeTrain({1}, track->createLambda + f * span, Train::STATE_ENTERING);
        train->update(game->getGameTime(), 0.0);
        ASSERT_NE(train->engineSound, nullptr);
        const HCHANNEL channel = train->engineSound->hChannel;
        EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_PLAYING);
        float pan = 2.0f;
        EXPECT_TRUE(BASS_ChannelGetAttribute(channel, BASS_ATTRIB_PAN, &pan));
        EXPECT_FLOAT_EQ(pan, Sound::panFromX(train->firstSegment()->firstCar()->position.x, width));
        track->trains->deleteChildren();
        EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED) << "cut with the train";
    }

    harness->run(20);
    Train* train = makeTrain({1}, track->sprintLambda - 1.0f, Train::STATE_ENTERING);
    train->update(game->getGameTime(), 0.0);
    ASSERT_NE(train->engineSound, nullptr);
    const HCHANNEL channel = train->engineSound->hChannel;
    TrainLayout* front = train->firstSegment();
    front->firstCar()->frontPos = track->sprintLambda + 1.0f;
    front->motion.position.x = track->sprintLambda + 1.0f;
    front->placeCars();
    train->update(game->getGameTime(), 0.0);
    ASSERT_EQ(train->state, Train::STATE_RUNNING);
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_PLAYING) << "a fade, not a cut";
    // The output mixes in real time: the fade runs its course within a generous limit.
    bool faded = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (BASS_ChannelIsActive(channel) == BASS_ACTIVE_PLAYING && std::chrono::steady_clock::now() < deadline) {
        float volume = 1.0f;
        if (BASS_ChannelGetAttribute(channel, BASS_ATTRIB_VOL, &volume) && volume > 0.0f && volume < 1.0f) faded = true;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(BASS_ChannelIsActive(channel), BASS_ACTIVE_STOPPED);
    EXPECT_TRUE(faded) << "the volume went down on its way to silence";
    EXPECT_NE(train->engineSound, nullptr) << "the train still has its channel";
    track->trains->deleteChildren();
}

TEST_F(TrainTest, TheEngineForceRampsDownToTheResistancePosition) {
    const float span = track->resistanceLambda - track->createLambda;
    for (float f : {0.0f, 0.25f, 0.5f, 1.0f, 1.5f}) {
        Train* train = makeTrain({1}, track->createLambda + f * span, Train::STATE_RUNNING);
        train->update(0.0, 0.0);
        EXPECT_NEAR(train->engineForce, 6000.0f * std::max(0.0f, 1.0f - f), 0.5f) << f;
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, ForcesByPositionPowerUpAndSegments) {
    const double now = 20.0;
    game->pWorldLayer->totalTime = now;
    const float danger = track->dangerLambda;
    auto ramp = [&](float front) { return 250.0f + (75.0f - 250.0f) * (front - danger) / (track->tunnelLambda - danger); };
    enum Until { NONE = 0, REVERSE = 1, STOP = 2, SLOW = 4, EXPIRED = 8 };
    struct Case {
        const char* name;
        float front;
        int until;
        bool twoSegments;
        int state;
        float expected;
    };
    const float before = danger - 100.0f, after = danger + 150.0f;
    const Case cases[] = {
        {"before the danger position (the ramp goes on unclamped)", before, NONE, false, 2, ramp(before)},
        {"past the danger position", after, NONE, false, 2, ramp(after)},
        {"at the tunnel", track->tunnelLambda, NONE, false, 2, 75.0f},
        {"past the tunnel (the tunnel force holds)", track->tunnelLambda + 50.0f, NONE, false, 2, 75.0f},
        {"past the tunnel, slowed", track->tunnelLambda + 50.0f, SLOW, false, 2, 0.25f * 75.0f},
        {"reverse", after, REVERSE, false, 2, -1.5f * ramp(after)},
        {"stop", after, STOP, false, 2, 0.0f},
        {"slow", after, SLOW, false, 2, 0.25f * ramp(after)},
        {"reverse wins over stop and slow", after, REVERSE | STOP | SLOW, false, 2, -1.5f * ramp(after)},
        {"stop wins over slow", after, STOP | SLOW, false, 2, 0.0f},
        {"timers run out", after, EXPIRED, false, 2, ramp(after)},
        {"departing", after, NONE, false, 3, ramp(after) + 2500.0f},
        {"level over", after, SLOW, false, 4, 0.25f * ramp(after) + 2500.0f},
        {"two segments: only the roll-back", after, REVERSE, true, 2, -1200.0f},
        {"two segments while departing", after, NONE, true, 3, -1200.0f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        game->reverseUntil = (c.until & REVERSE) ? now + 1 : (c.until & EXPIRED) ? now - 1 : 0;
        game->stopUntil = (c.until & STOP) ? now + 1 : (c.until & EXPIRED) ? now : 0;
        game->slowUntil = (c.until & SLOW) ? now + 1 : (c.until & EXPIRED) ? now - 0.5 : 0;
        // An open wagon keeps a running train from departing.
        Train* train = makeTrain({1, 1, 1}, c.front, c.state);
        if (c.twoSegments) split(carAt(train, 2), 40.0f);
        TrainLayout* front = train->firstSegment();
        front->motion.force = Vector3();
        train->applyForces();
        EXPECT_NEAR(front->motion.force.x, c.expected, 0.01f);
        if (c.twoSegments) {
            EXPECT_EQ(train->lastSegment()->motion.force.x, 0.0f);
        }
        EXPECT_EQ(train->state, c.state);
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, TheFirstForwardFrameEndsACombo) {
    struct Case {
        int combo;
        float velocity;
        const char16_t* applause;
        int comboAfter;
    };
    const Case cases[] = {
        {0, 10, nullptr, 0},       {1, 10, nullptr, 0},       {2, 10, u"applause1", 0}, {3, 0, u"applause2", 0},
        {4, 10, u"applause3", 0},  {9, 10, u"applause3", 0},  {3, -5, nullptr, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combo);
        TracedSounds::played.clear();
        Train* train = makeTrain({1}, 1000.0f);
        train->comboCount = c.combo;
        train->firstSegment()->motion.velocity.x = c.velocity;
        train->applyForces();
        EXPECT_EQ(train->comboCount, c.comboAfter);
        const std::vector<std::u16string> expected = c.applause ? std::vector<std::u16string>{c.applause} : std::vector<std::u16string>{};
        EXPECT_EQ(TracedSounds::names(), expected);
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, ADoneTrainDepartsWithAToot) {
    struct Case {
        const char* name;
        int extraQuota;
        int content;  // what the one wagon holds: -1 nothing, 0 its colour settled, 1 gliding in
        int state;
    };
    const Case cases[] = {
        {"all brought and filled", 0, 0, 3},
        {"a slot still to bring", 1, 0, 2},
        {"an empty slot", 0, -1, 2},
        {"a fitting piece still gliding in", 0, 1, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TracedSounds::played.clear();
        Train* train = makeTrain({1}, 1000.0f);
        train->slotQuota += c.extraQuota;
        CargoSlot* slot = slotOf(carAt(train, 1));
        if (c.content >= 0) {
            Cargo* piece = seat(slot, slot->color);
            if (c.content == 1) piece->enterState(Cargo::STATE_GLIDING);
        }
        train->applyForces();
        EXPECT_EQ(train->state, c.state);
        EXPECT_EQ(TracedSounds::count(u"toot"), c.state == 3 ? 1 : 0);
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, WagonsAppearOneAFrameUpToTheQuota) {
    struct Case {
        float weights[3];
        int quota;
        int totalCars;
        int wagons;
        int spawned;
        int carsSpawned;
    };
    const Case cases[] = {
        {{1, 0, 0}, 5, 40, 5, 5, 5},
        {{0, 0, 1}, 4, 40, 2, 6, 6},   // the last wagon may bring more than the quota
        {{0, 1, 0}, 5, 3, 3, 6, 3},    // the game's count stops at the level's total
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.quota);
        for (int i = 0; i < 3; ++i) game->colorPicker.carKindWeights[i] = c.weights[i];
        game->totalCars = c.totalCars;
        game->carsSpawned = 0;
        Train* train = makeTrain({}, track->createLambda, Train::STATE_ENTERING);
        train->slotQuota = c.quota;
        int cars = 1;
        for (int frame = 0; frame < 900 && train->slotsSpawned < c.quota; ++frame) {
            harness->frame();
            const int now = train->firstSegment()->countCars();
            EXPECT_LE(now - cars, 1) << "frame " << frame;
            cars = now;
        }
        for (int frame = 0; frame < 30; ++frame) harness->frame();
        EXPECT_EQ(train->firstSegment()->countCars(), 1 + c.wagons);
        EXPECT_EQ(train->slotsSpawned, c.spawned);
        EXPECT_EQ(game->carsSpawned, c.carsSpawned);
        // Each wagon appeared at the create position: they follow each other a gap apart.
        for (BasicLink* car = train->firstSegment()->firstChild; car && car->next; car = car->next)
            EXPECT_NEAR(static_cast<Car*>(car->next)->frontPos, static_cast<Car*>(car)->nextFrontPos, 0.01f);
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, ACarTakenFromTheMiddleSplitsTheSegment) {
    struct Case {
        int removed;
        std::vector<int> segments;
    };
    const Case cases[] = {{0, {3}}, {3, {3}}, {1, {1, 2}}, {2, {2, 1}}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.removed);
        Train* train = makeTrain({1, 2, 3}, 1200.0f);
        TrainLayout* segment = train->firstSegment();
        segment->motion.velocity = Vector3(33, 0, 0);
        segment->motion.force = Vector3(-120, 0, 0);
        segment->removeCar(carAt(train, c.removed));
        std::vector<int> counts;
        for (BasicLink* s = train->firstChild; s; s = s->next) {
            auto* part = static_cast<TrainLayout*>(s);
            counts.push_back(part->countCars());
            EXPECT_EQ(part->train, train);
            for (BasicLink* car = part->firstChild; car; car = car->next) EXPECT_EQ(static_cast<Car*>(car)->segment, part);
            // The split-off part moves on as the segment moved, with the fresh mass and damping.
            EXPECT_EQ(part->motion.velocity, Vector3(33, 0, 0));
            EXPECT_EQ(part->motion.force, Vector3(-120, 0, 0));
            EXPECT_FLOAT_EQ(part->motion.damping, 5.0f);
        }
        EXPECT_EQ(counts, c.segments);
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, FinishedCarsLeaveScoringUnlessTheLevelIsOver) {
    struct Case {
        int state;
        int scoreGain;
    };
    for (const Case& c : {Case{2, 300}, Case{4, 0}}) {
        SCOPED_TRACE(c.state);
        profile().score() = 1000;
        game->carsCompleted = 0;
        game->totalCars = 40;
        TracedSounds::played.clear();
        game->pEffectsLayer->deleteChildren();
        Train* train = makeTrain({1, 3, 1}, 1200.0f, c.state);
        Car* done = carAt(train, 2);
        complete(done);
        train->firstSegment()->removeFinishedCar();
        EXPECT_EQ(profile().score(), 1000 + c.scoreGain);
        EXPECT_EQ(train->countSegments(), 2);
        // Sparks at each slot and a clap, whatever the state; its slots count as completed.
        EXPECT_EQ(effectsOf<FlareEffect>(), 3);
        EXPECT_EQ(TracedSounds::count(u"handClap"), 1);
        EXPECT_EQ(game->carsCompleted, 3);
        EXPECT_FLOAT_EQ(game->levelProgress, 3.0f / 40.0f);
        // One car a frame: nothing else is done.
        train->firstSegment()->removeFinishedCar();
        EXPECT_EQ(profile().score(), 1000 + c.scoreGain);
        track->trains->deleteChildren();
    }
    // A wagon removed incomplete makes no effect.
    game->pEffectsLayer->deleteChildren();
    TracedSounds::played.clear();
    Train* train = makeTrain({1, 1}, 1200.0f);
    train->firstSegment()->removeCar(carAt(train, 1));
    EXPECT_EQ(effects(), 0);
    EXPECT_EQ(TracedSounds::count(u"handClap"), 0);
}

TEST_F(TrainTest, TheClapRisesWithTheTrainsWayToTheTunnel) {
    const float span = track->tunnelLambda - track->createLambda;
    for (float f : {0.0f, 0.5f, 0.99f}) {
        TracedSounds::played.clear();
        Train* train = makeTrain({1, 1}, track->createLambda + f * span);
        complete(carAt(train, 1));
        train->firstSegment()->removeFinishedCar();
        ASSERT_EQ(TracedSounds::count(u"handClap"), 1);
        EXPECT_FLOAT_EQ(TracedSounds::played.back().second, Sound::semitoneFactor(int(12.0f * f))) << f;
        track->trains->deleteChildren();
    }
}

// Two segments that touch: P (the engine and a one-slot wagon) ahead of N (two one-slot wagons).
struct Coupling {
    Train* train;
    TrainLayout* ahead;
    TrainLayout* behind;
    CargoSlot* tail;  // P's last slot
    CargoSlot* head;  // N's first slot
    CargoSlot* other;  // N's second slot
};

TEST_F(TrainTest, MatchingEndsFillBothCarsAndScoreTheCombo) {
    struct Case {
        int combo;
        int semitones;
    };
    const Case cases[] = {{1, 0}, {2, 3}, {5, 12}, {6, 12}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.combo);
        TracedSounds::played.clear();
        TracingBonus::activations = 0;
        game->pEffectsLayer->deleteChildren();
        profile().score() = 500;
        profile().hearts() = 10;
        Train* train = makeTrain({1, 1, 1}, 1200.0f);
        TrainLayout* behind = split(carAt(train, 2), 0.0f);
        TrainLayout* ahead = train->firstSegment();
        CargoSlot* tail = slotOf(carAt(train, 1));
        CargoSlot* head = slotOf(carAt(train, 2));
        CargoSlot* other = slotOf(carAt(train, 3));
        tail->setColor(2);
        head->setColor(2);
        other->setColor(0);
        // P's slot holds a bonus, which fires as it is filled.
        tail->replaceCargo(new TracingBonus());
        ahead->motion.velocity.x = -200.0f;
        behind->motion.velocity.x = 40.0f;
        train->comboCount = c.combo - 1;
        ASSERT_TRUE(ahead->touches(behind));
        train->coupleSegments();

        EXPECT_EQ(train->countSegments(), 1);
        EXPECT_EQ(ahead->countCars(), 4);
        EXPECT_FLOAT_EQ(ahead->motion.velocity.x, -80.0f);
        for (CargoSlot* filled : {tail, head}) {
            ASSERT_NE(filled->held, nullptr);
            EXPECT_EQ(filled->held->type, 2);
            EXPECT_EQ(filled->held->state, Cargo::STATE_SEATED);
        }
        EXPECT_EQ(other->held, nullptr);
        EXPECT_EQ(TracingBonus::activations, 1);
        EXPECT_EQ(train->comboCount, c.combo);
        EXPECT_EQ(profile().score(), 500 + 1000 * c.combo);
        EXPECT_EQ(profile().hearts(), 11);
        EXPECT_EQ(effectsOf<HeartEffect>(), 1);
        EXPECT_EQ(effectsOf<FlareEffect>(), 2);
        EXPECT_EQ(TracedSounds::names(), (std::vector<std::u16string>{u"vibe", u"fireworkBangShort", u"segmentImpact"}));
        EXPECT_FLOAT_EQ(TracedSounds::played[0].second, Sound::semitoneFactor(c.semitones));
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, TheHundredthHeartOfACouplingIsAnExtraLife) {
    profile().score() = 0;
    profile().hearts() = 99;
    const int lives = profile().lives();
    Train* train = makeTrain({1, 1}, 1200.0f);
    split(carAt(train, 2), 0.0f);
    slotOf(carAt(train, 1))->setColor(4);
    slotOf(carAt(train, 2))->setColor(4);
    train->coupleSegments();
    EXPECT_EQ(profile().hearts(), 0);
    EXPECT_EQ(profile().lives(), lives + 1);
    EXPECT_EQ(profile().score(), 10000 + 1000);
    EXPECT_EQ(TracedSounds::count(u"extraLife"), 1);
    int shown = 0;
    for (BasicLink* e = game->pEffectsLayer->firstChild; e; e = e->next)
        if (auto* text = dynamic_cast<FloatingText*>(e)) shown += text->text == u"extra life!";
    EXPECT_EQ(shown, 1);
}

TEST_F(TrainTest, MismatchedEndsOnlyBump) {
    struct Case {
        const char* name;
        int tailColour, headColour;
        int wrongIn;  // 0 none, 1 P's last car, 2 N's first car
    };
    const Case cases[] = {{"other colours", 1, 2, 0}, {"a wrong piece ahead", 2, 2, 1}, {"a wrong piece behind", 2, 2, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TracedSounds::played.clear();
        profile().score() = 700;
        Train* train = makeTrain({2, 2}, 1200.0f);
        split(carAt(train, 2), 0.0f);
        Car* tailCar = carAt(train, 1);
        Car* headCar = carAt(train, 2);
        slotOf(tailCar, 1)->setColor(c.tailColour);
        slotOf(headCar, 0)->setColor(c.headColour);
        // The wrong piece sits in the car's other slot.
        if (c.wrongIn == 1) seat(slotOf(tailCar, 0), (slotOf(tailCar, 0)->color + 1) % 8);
        if (c.wrongIn == 2) seat(slotOf(headCar, 1), (slotOf(headCar, 1)->color + 1) % 8);
        train->comboCount = 1;
        train->coupleSegments();
        EXPECT_EQ(train->countSegments(), 1);
        EXPECT_EQ(slotOf(tailCar, 1)->held, nullptr);
        EXPECT_EQ(slotOf(headCar, 0)->held, nullptr);
        EXPECT_EQ(train->comboCount, 1);
        EXPECT_EQ(profile().score(), 700);
        EXPECT_EQ(TracedSounds::names(), (std::vector<std::u16string>{u"segmentImpact"}));
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, SegmentsTouchWhenTheirSpansMeet) {
    for (float gap : {-10.0f, 0.0f, 0.5f, 30.0f}) {
        Train* train = makeTrain({1, 1}, 1200.0f);
        TrainLayout* behind = split(carAt(train, 2), gap);
        // A gap of 0 or less: N's front has reached where P's next car would be.
        EXPECT_EQ(train->firstSegment()->touches(behind), gap <= 0.0f) << gap;
        EXPECT_EQ(behind->touches(train->firstSegment()), gap <= 0.0f) << gap;
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, ATrainThatCatchesUpJoinsAndItsEngineExplodesANextFrame) {
    game->pEffectsLayer->deleteChildren();
    profile().score() = 0;
    Train* ahead = makeTrain({1, 1}, 1300.0f);
    const float rear = ahead->rearPos();
    Train* behind = makeTrain({1}, rear + 2.0f);
    behind->slotQuota = 7;
    auto engines = [&] {
        int n = 0;
        for (int i = 0; Car* car = carAt(ahead, i); ++i) n += car->bEngine;
        return n;
    };
    auto engineBehindACar = [&] {
        for (int i = 1; Car* car = carAt(ahead, i); ++i)
            if (car->bEngine && car->prev) return true;
        return false;
    };
    track->update(game->getGameTime(), 0.0);
    // Joined: one train; the quota grows by what the rear train had still to bring.
    ASSERT_EQ(track->countTrains(), 1);
    EXPECT_EQ(ahead->countSegments(), 2);
    int broughtBehind = 0;
    for (BasicLink* c = ahead->lastSegment()->firstChild; c; c = c->next) broughtBehind += static_cast<Car*>(c)->countSlots();
    EXPECT_EQ(ahead->slotQuota, 2 + 7 - broughtBehind);
    EXPECT_EQ(engines(), 2);
    // The next frame the segments couple: the second engine ends up behind a car.
    track->update(game->getGameTime(), 0.0);
    EXPECT_EQ(ahead->countSegments(), 1);
    EXPECT_TRUE(engineBehindACar());
    EXPECT_EQ(TracedSounds::count(u"boom"), 0);
    // And the frame after that it goes, with three bursts and no points.
    track->update(game->getGameTime(), 0.0);
    EXPECT_EQ(engines(), 1);
    EXPECT_TRUE(carAt(ahead, 0)->bEngine);
    EXPECT_EQ(TracedSounds::count(u"boom"), 3);
    EXPECT_EQ(effectsOf<SmokeEffect>(), 3);
    EXPECT_EQ(profile().score(), 0);
}

TEST_F(TrainTest, TheBellRingsEveryHundredUnitsAfterTheFirst) {
    for (int state : {Train::STATE_DEPARTING, Train::STATE_RUNNING}) {
        SCOPED_TRACE(state);
        TracedSounds::played.clear();
        profile().score() = 0;
        Train* train = makeTrain({}, 500.0f, state);
        auto* engineCar = static_cast<LeadCar*>(carAt(train, 0));
        std::vector<int> rungAt;
        for (int p = 500; p <= static_cast<int>(track->tunnelLambda) + 300; ++p) {
            engineCar->trackPos = float(p);
            const int before = TracedSounds::count(u"trainBell");
            engineCar->update(game->getGameTime(), 0.0);
            if (TracedSounds::count(u"trainBell") > before) rungAt.push_back(p);
        }
        if (state == Train::STATE_RUNNING) {
            EXPECT_TRUE(rungAt.empty());
        } else {
            // Armed at 500; then at every crossing of the next mark, short of the tunnel.
            ASSERT_FALSE(rungAt.empty());
            EXPECT_EQ(rungAt.front(), 601);
            for (size_t i = 1; i < rungAt.size(); ++i) EXPECT_EQ(rungAt[i] - rungAt[i - 1], 101);
            EXPECT_LT(rungAt.back(), track->tunnelLambda);
            EXPECT_GE(rungAt.back() + 101, track->tunnelLambda);
            EXPECT_EQ(profile().score(), 100 * int(rungAt.size()));
        }
        track->trains->deleteChildren();
    }
}

TEST_F(TrainTest, TrackProgressFollowsTheFirstTrainWithAnOpenSlot) {
    EXPECT_EQ(track->getProgress(), 0.0f);
    const float span = track->tunnelLambda - track->createLambda;
    Train* done = makeTrain({1}, track->createLambda + 0.8f * span);
    complete(carAt(done, 1));
    EXPECT_EQ(track->getProgress(), 0.0f) << "a train without open slots is passed over";
    makeTrain({1}, track->createLambda + 0.4f * span);
    EXPECT_NEAR(track->getProgress(), 0.4f, 1e-4f);
    EXPECT_NEAR(level->getProgress(), 0.4f, 1e-4f);
}

TEST_F(TrainTest, EmptySegmentsArePassedOverWhenCoupling) {
    // A segment that has lost its cars (and one marked dead) between two that touch: the two
    // couple, and nothing reads a car of the empty ones.
    Train* train = makeTrain({1, 1}, 1200.0f);
    TrainLayout* behind = split(carAt(train, 2), 0.0f);
    auto* empty = new TrainLayout();
    train->insertSegmentAfter(empty, train->firstSegment());
    auto* dead = new TrainLayout();
    train->insertSegmentAfter(dead, empty);
    dead->addCar(Car::createByType(1), false);
    dead->bDead = true;
    EXPECT_FALSE(train->firstSegment()->touches(empty));
    EXPECT_FALSE(empty->touches(behind));
    EXPECT_EQ(train->firstSegment()->next, empty);
    train->coupleSegments();
    EXPECT_EQ(train->firstSegment()->countCars(), 3);
    EXPECT_EQ(TracedSounds::count(u"segmentImpact"), 1);
    // The empty and dead ones go with the next frame's walk; the train lives on.
    train->update(game->getGameTime(), 1.0 / 60.0);
    EXPECT_EQ(train->countSegments(), 1);
    EXPECT_FALSE(train->bDead);
}

TEST_F(TrainTest, EffectsCarryTheirCountsSpeedsAndSizes) {
    struct Burst {
        int count;
        float maxSpeed;
        float size;
    };
    auto expectBurst = [](const auto* effect, const Burst& b) {
        ASSERT_NE(effect, nullptr);
        EXPECT_EQ(effect->count, b.count);
        EXPECT_FLOAT_EQ(effect->maxSpeed, b.maxSpeed);
        EXPECT_FLOAT_EQ(effect->size, b.size);
    };
    // The engine's chimney: light puffs while it runs, thick smoke once it leaves.
    const struct {
        int state;
        Burst smoke;
    } chimney[] = {{Train::STATE_ENTERING, {1, 1, 1}}, {Train::STATE_RUNNING, {1, 1, 1}},
                   {Train::STATE_DEPARTING, {2, 5, 3}}, {Train::STATE_OVER, {2, 5, 3}}};
    for (const auto& c : chimney) {
        SCOPED_TRACE(c.state);
        game->pEffectsLayer->deleteChildren();
        Train* train = makeTrain({1}, 1200.0f, c.state);
        auto* engineCar = static_cast<LeadCar*>(carAt(train, 0));
        ASSERT_FALSE(track->isHidden(engineCar->trackPos + engineCar->chimneyOffset));
        engineCar->smokeTimer = engineCar->smokeInterval;
        engineCar->update(game->getGameTime(), 0.0);
        ASSERT_EQ(effects(), 1);
        expectBurst(dynamic_cast<SmokeEffect*>(game->pEffectsLayer->lastChild), c.smoke);
        track->trains->deleteChildren();
    }
    // A completed wagon: a white flare at each slot.
    game->pEffectsLayer->deleteChildren();
    Train* train = makeTrain({2, 1}, 1200.0f);
    complete(carAt(train, 1));
    train->firstSegment()->removeFinishedCar();
    ASSERT_EQ(effectsOf<FlareEffect>(), 2);
    for (BasicLink* e = game->pEffectsLayer->firstChild; e; e = e->next) {
        auto* flare = dynamic_cast<FlareEffect*>(e);
        expectBurst(flare, {5, 70, 3});
        for (SmokeParticle* p : flare->particles) EXPECT_EQ(p->color, 0xFFFFFFFFu);
    }
    // An engine behind a car: three bursts drawn beneath the rest.
    game->pEffectsLayer->deleteChildren();
    game->pEffectsLayer->addChild(new HeartEffect(0, 0, 0));
    Car* engineBehind = Car::createByType(Car::KIND_ENGINE);
    train->firstSegment()->addCar(engineBehind, true);
    train->firstSegment()->placeCars();
    train->firstSegment()->removeFinishedCar();
    ASSERT_EQ(effectsOf<SmokeEffect>(), 3);
    EXPECT_NE(dynamic_cast<HeartEffect*>(game->pEffectsLayer->lastChild), nullptr);
    for (BasicLink* e = game->pEffectsLayer->firstChild; e != game->pEffectsLayer->lastChild; e = e->next)
        expectBurst(dynamic_cast<SmokeEffect*>(e), {5, 20, 6});
}

TEST_F(TrainTest, AWildcardsSparklesShareOnePrimaryColour) {
    for (uint32_t seed : {1u, 77u, 4242u, 0xC0FFEEu}) {
        SCOPED_TRACE(seed);
        game->pEffectsLayer->deleteChildren();
        randomSeed = seed;
        auto* piece = static_cast<WildcardCargo*>(Cargo::createByType(Cargo::TYPE_WILDCARD));
        piece->sparkleTimer = 0.05;
        piece->update(game->getGameTime(), 0.0);
        ASSERT_EQ(effects(), 1);
        auto* flare = dynamic_cast<FlareEffect*>(game->pEffectsLayer->firstChild);
        ASSERT_NE(flare, nullptr);
        EXPECT_EQ(flare->count, 2);
        EXPECT_FLOAT_EQ(flare->maxSpeed, 50.0f);
        EXPECT_FLOAT_EQ(flare->size, 2.0f);
        ASSERT_EQ(flare->particles.size(), 2u);
        const uint32_t colour = flare->particles[0]->color;
        EXPECT_EQ(flare->particles[1]->color, colour);
        // A primary colour: at least one channel full.
        EXPECT_TRUE((colour & 0xFF0000u) == 0xFF0000u || (colour & 0xFF00u) == 0xFF00u || (colour & 0xFFu) == 0xFFu) << std::hex << colour;
        piece->release();
    }
}

TEST_F(TrainTest, AWagonsSlotsKeepTheFirstColourUnlessTheChanceDrawsAnother) {
    const int colours[3] = {0, 2, 4};
    for (int i = 0; i < 8; ++i) game->colorPicker.enabledColors[i] = i == 0 || i == 2 || i == 4;
    struct Case {
        float chance;
        uint32_t seed;
    };
    const Case cases[] = {{0.0f, 1u}, {0.0f, 999u}, {1.0f, 1u}, {1.0f, 999u}, {0.5f, 31u}, {0.5f, 0xABCDu}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.chance << " seed " << c.seed);
        game->slotHelpChance = c.chance;
        // The draws as the rules make them: the first slot's colour, then one draw per further slot
        // and a fresh colour when that draw falls below the chance.
        uint32_t x = c.seed;
        auto draw = [&x] {
            x = x * 214013u + 2531011u;
            return (x >> 16) & 0xFFFFu;
        };
        std::vector<int> expected{colours[draw() % 3]};
        for (int i = 1; i < 3; ++i)
            expected.push_back(float(draw()) / 65536.0f < c.chance ? colours[draw() % 3] : expected.back());
        randomSeed = c.seed;
        std::unique_ptr<Car> car(Car::createByType(Car::KIND_THREE_SLOTS));
        std::vector<int> got;
        for (BasicLink* s = car->slots.firstChild; s; s = s->next) got.push_back(static_cast<CargoSlot*>(s)->color);
        EXPECT_EQ(got, expected);
        EXPECT_EQ(randomSeed, x) << "the draws are made whatever the chance";
        if (c.chance == 0.0f) {
            EXPECT_TRUE(got[0] == got[1] && got[1] == got[2]);
        }
    }
}

TEST_F(TrainTest, ASegmentSplitOffInTheRemovalPassIsVisitedInThatPass) {
    profile().score() = 0;
    // Engine, then four one-slot wagons; the first and the third are done.
    Train* train = makeTrain({1, 1, 1, 1}, 1400.0f);
    Car* second = carAt(train, 2);
    Car* fourth = carAt(train, 4);
    complete(carAt(train, 1));
    complete(carAt(train, 3));
    train->update(game->getGameTime(), 0.0);
    std::vector<int> counts;
    for (BasicLink* s = train->firstChild; s; s = s->next) counts.push_back(static_cast<TrainLayout*>(s)->countCars());
    EXPECT_EQ(counts, (std::vector<int>{1, 1, 1}));
    EXPECT_EQ(carAt(train, 1), second);
    EXPECT_EQ(carAt(train, 2), fourth);
    EXPECT_EQ(profile().score(), 200);
}

TEST_F(TrainTest, AJoinedSegmentIsTestedAgainstItsNewNeighbour) {
    // Three segments, each touching the next, with ends that do not match: one pass joins them all.
    Train* train = makeTrain({1, 1, 1}, 1200.0f);
    slotOf(carAt(train, 1))->setColor(0);
    slotOf(carAt(train, 2))->setColor(1);
    slotOf(carAt(train, 3))->setColor(2);
    split(carAt(train, 2), 0.0f);
    split(carAt(train, 3), 0.0f);
    ASSERT_EQ(train->countSegments(), 3);
    train->coupleSegments();
    EXPECT_EQ(train->countSegments(), 1);
    EXPECT_EQ(train->firstSegment()->countCars(), 4);
    EXPECT_EQ(TracedSounds::count(u"segmentImpact"), 2);
    EXPECT_EQ(train->comboCount, 0);
}

}  // namespace
