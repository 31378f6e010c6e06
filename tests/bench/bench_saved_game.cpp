// Speed of the saved game: the largest level state the rules allow (the last level, every slot of
// the level on its tracks at once, each holding a piece or a power-up) serialised; a whole save
// with its atomic write; reading and checking inputs of up to 65,536 bytes into a level already
// built (the largest save of the rules, one packed with as many trains as the bytes can hold, the
// largest the reader takes, and noise); and the first frame after loading the largest saves.
// tools/bench.sh runs it in a release build.

#include <benchmark/benchmark.h>

#include <cstdint>
#include <vector>

#include "ui/ProfileData.h"
#include "game/Car.h"
#include "game/Cargo.h"
#include "game/CargoSlot.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/Train.h"
#include "game/TrainLayout.h"
#include "game/harness/PlayHarness.h"
#include "BenchBound.h"
#include "HarnessBenchMain.h"

namespace {

PlayHarness* harness = nullptr;

// The last level with all its slots on the tracks: on each track one train of three-slot wagons,
// the slots alternately holding a piece of their colour and a power-up.
GameController& largestLevel() {
    harness->startGame(GameController::LAST_LEVEL);
    GameController& game = *harness->game;
    const std::vector<Track*> tracks = game.pLevel->getTracks();
    const int perTrack = game.totalCars / static_cast<int>(tracks.size()) + 2;
    int k = 0;
    for (Track* track : tracks) {
        auto* train = new Train();
        track->addTrain(train);
        for (int slots = 0; slots < perTrack; slots += 3) {
            Car* car = Car::createByType(Car::KIND_THREE_SLOTS);
            train->firstSegment()->addCar(car, true);
            for (BasicLink* s = car->slots.firstChild; s; s = s->next, ++k) {
                auto* slot = static_cast<CargoSlot*>(s);
                slot->replaceCargo(Cargo::createByType(k % 2 ? Cargo::TYPE_SLOW_BONUS : slot->color));
            }
        }
        train->slotQuota = train->slotsSpawned = perTrack;
        train->firstSegment()->placeCars();
        ++game.trainsSpawned;
    }
    return game;
}

void SerialiseLargestLevel(benchmark::State& state) {
    setBound(state, 1000.0);
    GameController& game = largestLevel();
    std::vector<uint8_t> image;
    for (auto _ : state) {
        game.writeSavedGame(GameController::LAST_LEVEL, image);
        benchmark::DoNotOptimize(image.data());
    }
    state.counters["bytes"] = static_cast<double>(image.size());
}
BENCHMARK(SerialiseLargestLevel)->Unit(benchmark::kMicrosecond);

void SaveLargestLevelToFile(benchmark::State& state) {
    setBound(state, 50.0);
    GameController& game = largestLevel();
    for (auto _ : state)
        if (!game.save()) state.SkipWithError("the save failed");
}
BENCHMARK(SaveLargestLevelToFile)->Unit(benchmark::kMillisecond);

enum Input { LARGEST_SAVE = 0, PACKED_TRAINS = 1, NOISE = 2, PACKED_CARS = 3 };

// Inputs of the last level: its largest save; one holding as many trains of one engine car as
// 65,536 bytes can (on its first track); 65,536 bytes of noise after the level number; the
// largest save the reader takes: on each track a train of as many three-slot wagons as a track
// holds, every slot holding a piece or a power-up.
std::vector<uint8_t> input(Input kind) {
    std::vector<uint8_t> image;
    if (kind == NOISE) {
        image.assign(GameController::kMaxSavedGameBytes, 0);
        uint32_t r = 4321;
        for (uint8_t& b : image) {
            r = r * 1664525u + 1013904223u;
            b = static_cast<uint8_t>(r >> 24);
        }
        image[0] = static_cast<uint8_t>(GameController::LAST_LEVEL);
        return image;
    }
    GameController& game = largestLevel();
    if (kind == PACKED_TRAINS) {
        Track* track = game.pLevel->getTracks()[0];
        track->trains->deleteChildren();
        while (game.writeSavedGame(GameController::LAST_LEVEL, image) && image.size() < GameController::kMaxSavedGameBytes - 200)
            track->addTrain(new Train());
    }
    if (kind == PACKED_CARS) {
        int k = 0;
        for (Track* track : game.pLevel->getTracks()) {
            track->trains->deleteChildren();
            auto* train = new Train();
            track->addTrain(train);
            for (int cars = 1; cars < Track::kMaxCars; ++cars) {
                Car* car = Car::createByType(Car::KIND_THREE_SLOTS);
                train->firstSegment()->addCar(car, true);
                for (BasicLink* s = car->slots.firstChild; s; s = s->next, ++k) {
                    auto* slot = static_cast<CargoSlot*>(s);
                    slot->replaceCargo(Cargo::createByType(k % 2 ? Cargo::TYPE_SLOW_BONUS : slot->color));
                }
            }
            train->firstSegment()->placeCars();
        }
    }
    game.writeSavedGame(GameController::LAST_LEVEL, image);
    return image;
}

void ReadAndCheck(benchmark::State& state) {
    setBound(state, 5000.0);
    const std::vector<uint8_t> image = input(static_cast<Input>(state.range(0)));
    // The level is built once, as the loader builds it before reading.
    harness->startGame(GameController::LAST_LEVEL);
    GameController& game = *harness->game;
    bool accepted = false;
    for (auto _ : state) {
        accepted = GameController::precheckSavedGame(image.data(), image.size(), GameController::LAST_LEVEL) == nullptr &&
                   game.readSavedGame(image.data(), image.size(), GameController::LAST_LEVEL);
        benchmark::DoNotOptimize(accepted);
    }
    state.counters["bytes"] = static_cast<double>(image.size());
    state.counters["accepted"] = accepted ? 1 : 0;
}
BENCHMARK(ReadAndCheck)->Arg(LARGEST_SAVE)->Arg(PACKED_TRAINS)->Arg(NOISE)->Arg(PACKED_CARS)->Unit(benchmark::kMicrosecond);

// The first frame of the trains of a save just read: the tracks make the tables of the cars'
// lengths they lack, the depth pass sorts the cars of the file and every car moves and is drawn.
// The level has drawn one frame before the read, so that its pictures are in memory: the first
// draw of a level decodes them, with or without a saved game. Only the frame is timed (with the
// harness's hash of the scene after it); engine_ms is the engine's frame alone.
void FirstFrameAfterLoad(benchmark::State& state) {
    setBound(state, 5.0);
    const std::vector<uint8_t> image = input(static_cast<Input>(state.range(0)));
    bool accepted = true;
    int cars = 0;
    double engineCpu = 0.0;
    for (auto _ : state) {
        state.PauseTiming();
        harness->startGame(GameController::LAST_LEVEL);
        harness->frame();
        accepted = harness->game->readSavedGame(image.data(), image.size(), GameController::LAST_LEVEL) && accepted;
        state.ResumeTiming();
        harness->frame();
        engineCpu += harness->lastFrameCpuSeconds;
    }
    state.counters["engine_ms"] = 1000.0 * engineCpu / double(state.iterations());
    for (Track* track : harness->level->getTracks())
        for (BasicLink* t = track->trains->firstChild; t; t = t->next)
            for (BasicLink* s = t->firstChild; s; s = s->next) cars += static_cast<TrainLayout*>(s)->countCars();
    if (!accepted) state.SkipWithError("the save was refused");
    state.counters["bytes"] = static_cast<double>(image.size());
    state.counters["cars"] = cars;
}
BENCHMARK(FirstFrameAfterLoad)->Arg(LARGEST_SAVE)->Arg(PACKED_CARS)->Unit(benchmark::kMillisecond)->Iterations(30);

}  // namespace

int main(int argc, char** argv) { return runHarnessBenchmarks(argc, argv, "vesk-bench-saved-game", harness); }
