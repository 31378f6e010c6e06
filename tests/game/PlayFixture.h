#pragma once
// Level 0 played with real trains on the headless harness (one harness a test program), with the
// host launching no trains of its own: tests build the trains they need on the level's track and
// drive them frame by frame or step by step. Sounds are traced, not played.

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "game/GameGlobal.h"
#include "ui/ProfileData.h"
#include "media/Context.h"
#include "engine/Text.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "game/PowerUp.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/harness/PlayHarness.h"

// The sounds asked for, with their pitch factor (0: the sound's random pitch).
struct TracedSounds {
    static inline std::vector<std::pair<std::u16string, float>> played;
    static void record(WStringView name, float pitch) { played.emplace_back(WString(name), pitch); }
    static int count(const char16_t* name) {
        int n = 0;
        for (const auto& p : played) n += p.first == name;
        return n;
    }
    static std::vector<std::u16string> names() {
        std::vector<std::u16string> n;
        for (const auto& p : played) n.push_back(p.first);
        return n;
    }
};

// A bonus that counts how often it is collected and where it was when it was.
class TracingBonus : public PowerUp {
public:
    TracingBonus() : PowerUp(TYPE_STOP_BONUS, u"bonus:0") {}
    bool activate() override {
        ++activations;
        heldBySlotWhenFired = slot != nullptr || owner != nullptr;
        return true;
    }
    static inline int activations = 0;
    static inline bool heldBySlotWhenFired = false;
};

class PlayTest : public testing::Test {
protected:
    static void SetUpTestSuite() { harness = new PlayHarness(); }
    static void TearDownTestSuite() {
        delete harness;
        harness = nullptr;
    }
    void SetUp() override {
        harness->startGame(0);
        game = harness->game;
        level = harness->level;
        track = level->getTracks()[0];
        // The trains are the test's own: the tracks ask the harness's host, which launches none,
        // and the level waits for a train it never gets, so it is neither won nor lost.
        LevelHost::setCurrent(&harness->host);
        game->trainsTotal = 1;
        game->trainsSpawned = 0;
        profile().resetGame();
        TracedSounds::played.clear();
        GameController::soundHook = &TracedSounds::record;
        TracingBonus::activations = 0;
        TracingBonus::heldBySlotWhenFired = false;
    }
    void TearDown() override { GameController::soundHook = nullptr; }

    static ProfileData& profile() { return *GameController::currentProfile(); }
    static GameGlobal* application() { return harness->application; }

    // A train on the level's track: the engine with its front at 'front', then wagons of the
    // kinds given, in one segment, laid out; its quota is what it brings; in 'state'.
    Train* makeTrain(std::vector<int> kinds, float front, int state = Train::STATE_RUNNING) {
        auto* train = new Train();
        track->addTrain(train);
        TrainLayout* segment = train->firstSegment();
        for (int kind : kinds) {
            Car* car = Car::createByType(kind);
            train->slotsSpawned += car->countSlots();
            segment->addCar(car, true);
        }
        train->slotQuota = train->slotsSpawned;
        segment->firstCar()->frontPos = front;
        segment->motion.position.x = front;
        segment->placeCars();
        train->gotoState(state);
        refreshSlots(train);
        return train;
    }
    // The cars from 'first' on become a segment of their own, its front 'gap' behind the
    // next-front position of the car ahead.
    TrainLayout* split(Car* first, float gap) {
        TrainLayout* from = first->segment;
        const float front = static_cast<Car*>(first->prev)->nextFrontPos - gap;
        auto* tail = new TrainLayout();
        while (Car* car = static_cast<Car*>(from->lastChild)) {
            from->removeChild(car);
            tail->prependChild(car);
            car->segment = tail;
            if (car == first) break;
        }
        from->train->insertSegmentAfter(tail, from);
        first->frontPos = front;
        tail->motion.position.x = front;
        tail->placeCars();
        refreshSlots(from->train);
        return tail;
    }
    // Positions, bounds and hidden flags of every slot as a frame leaves them.
    void refreshSlots(Train* train) {
        for (BasicLink* s = train->firstChild; s; s = s->next)
            for (BasicLink* c = s->firstChild; c; c = c->next)
                for (BasicLink* slot = static_cast<Car*>(c)->slots.firstChild; slot; slot = slot->next)
                    static_cast<CargoSlot*>(slot)->update(game->getGameTime(), 0.0);
    }
    static Car* carAt(Train* train, int index) {
        int i = 0;
        for (BasicLink* s = train->firstChild; s; s = s->next)
            for (BasicLink* c = s->firstChild; c; c = c->next, ++i)
                if (i == index) return static_cast<Car*>(c);
        return nullptr;
    }
    static CargoSlot* slotOf(Car* car, int index = 0) {
        int i = 0;
        for (BasicLink* s = car->slots.firstChild; s; s = s->next, ++i)
            if (i == index) return static_cast<CargoSlot*>(s);
        return nullptr;
    }
    // A piece of that type seated in the slot at once.
    static Cargo* seat(CargoSlot* slot, int type) {
        Cargo* piece = Cargo::createByType(type);
        slot->replaceCargo(piece);
        return piece;
    }
    // Every slot of the car gets a settled piece of its colour.
    static void complete(Car* car) {
        for (BasicLink* s = car->slots.firstChild; s; s = s->next) seat(static_cast<CargoSlot*>(s), static_cast<CargoSlot*>(s)->color);
    }
    int effects() const { return game->pEffectsLayer->countChildren(); }
    template <class T>
    int effectsOf() const {
        int n = 0;
        for (BasicLink* e = game->pEffectsLayer->firstChild; e; e = e->next) n += dynamic_cast<T*>(e) != nullptr;
        return n;
    }

    static inline PlayHarness* harness = nullptr;
    GameController* game = nullptr;
    Level* level = nullptr;
    Track* track = nullptr;
};
