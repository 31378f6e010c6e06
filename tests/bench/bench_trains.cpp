// Speed of one frame of the trains: the colour picker rebuilt from the open slots, every train
// updated (forces, wagons, removal, motion, car placement, coupling, catching) and the pieces in
// flight moved. A typical level (two tracks, six trains, about 80 cars, 5 pieces in flight) and a
// stress case (six trains of 60 three-slot cars, 30 pieces in flight that every car must check).
// The trains are rebuilt, untimed, every 120 frames. tools/bench.sh runs it in a release build.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <vector>

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
#include "support/TestFolder.h"
#include "BenchBound.h"
#include "HarnessBenchMain.h"

namespace {

PlayHarness* harness = nullptr;
PlayHarness* benchHarness() { return harness; }

struct Scene {
    int trainsPerTrack;
    int carsPerTrain;
    int kind;  // 0: a mix of the three wagon kinds
    int pieces;
};

// A level's tracks filled with trains from the tunnel backwards, a gap between trains; some slots
// filled, the others open; pieces held still above the playfield, where no car is.
std::vector<Train*> build(int levelNumber, const Scene& scene) {
    PlayHarness& h = *benchHarness();
    h.startGame(levelNumber);
    h.game->trainsTotal = 0;
    h.frame();  // the tracks' tables
    randomSeed = 0xBE7C4u;
    std::vector<Train*> trains;
    for (Track* track : h.level->getTracks()) {
        float front = track->tunnelLambda - 40.0f;
        for (int t = 0; t < scene.trainsPerTrack; ++t) {
            auto* train = new Train();
            track->addTrain(train);
            TrainLayout* segment = train->firstSegment();
            for (int c = 0; c < scene.carsPerTrain; ++c) {
                const int kind = scene.kind ? scene.kind : 1 + static_cast<int>(randomNext() % 3);
                Car* car = Car::createByType(kind);
                train->slotsSpawned += car->countSlots();
                segment->addCar(car, false);
                car->createOverlay();
                int i = 0;
                for (BasicLink* s = car->slots.firstChild; s; s = s->next, ++i) {
                    auto* slot = static_cast<CargoSlot*>(s);
                    if ((c + i) % 3 == 0) slot->replaceCargo(Cargo::createByType(slot->color));
                }
            }
            train->slotQuota = train->slotsSpawned;
            segment->firstCar()->frontPos = front;
            segment->placeCars();
            train->gotoState(Train::STATE_RUNNING);
            trains.push_back(train);
            front = train->rearPos() - 60.0f;
        }
    }
    for (int p = 0; p < scene.pieces; ++p) {
        Cargo* piece = Cargo::createByType(p % 3 * 2);
        piece->position = piece->motion.position = Vector3(-300.0f + 20.0f * float(p), 420.0f, 0.0f);
        piece->updateXform();
        piece->enterState(Cargo::STATE_FLYING);
        h.game->pCargoLayer->addChild(piece);
    }
    return trains;
}

void trainFrames(benchmark::State& state, int levelNumber, const Scene& scene) {
    PlayHarness& h = *benchHarness();
    std::vector<Train*> trains = build(levelNumber, scene);
    int cars = 0;
    for (Train* train : trains) cars += train->firstSegment()->countCars();
    const double dt = 1.0 / 60.0;
    double t = 0.0;
    int frame = 0;
    for (auto _ : state) {
        if (++frame % 120 == 0) {
            state.PauseTiming();
            trains = build(levelNumber, scene);
            state.ResumeTiming();
        }
        GameController* game = h.game;
        game->colorPicker.reset();
        h.level->reportOpenSlots();
        for (Track* track : h.level->getTracks()) track->trains->update(t, dt);
        game->pCargoLayer->update(t, dt);
        t += dt;
    }
    state.counters["cars"] = cars;
    state.counters["trains"] = static_cast<double>(trains.size());
    state.counters["pieces"] = scene.pieces;
}

void TypicalTrainFrame(benchmark::State& state) {
    setBound(state, 200.0);
    trainFrames(state, 21, Scene{3, 13, 0, 5});
}
BENCHMARK(TypicalTrainFrame)->Unit(benchmark::kMicrosecond);

void StressTrainFrame(benchmark::State& state) {
    setBound(state, 1000.0);
    trainFrames(state, 21, Scene{3, 60, 3, 30});
}
BENCHMARK(StressTrainFrame)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runHarnessBenchmarks(argc, argv, "vesk-bench-trains", harness); }
