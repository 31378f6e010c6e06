// Speed of the track and level code: every track of the campaign with its band and chord tables,
// the per-frame path and chord queries, the depth pass, a level built from the archives, and an
// idle frame of the headless harness. tools/bench.sh runs it in a release build.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <memory>
#include <vector>

#include "engine/Random.h"
#include "game/ChordTable.h"
#include "game/DepthManager.h"
#include "game/LayoutTable.h"
#include "game/Level.h"
#include "game/Track.h"
#include "game/TrackObject.h"
#include "game/harness/PlayHarness.h"
#include "support/TestFolder.h"
#include "BenchBound.h"
#include "HarnessBenchMain.h"

namespace {

PlayHarness* harness = nullptr;

// The chord lengths the cars ask for: the four kinds' bodies and the gap.
const float kChords[] = {48.0f, 32.0f, 64.0f, 96.0f, 28.0f};

Track* makeTrack(const LayoutTrack& data, int mirror) {
    auto* track = new Track();
    track->createLambda = data.createLambda;
    track->tunnelLambda = data.tunnelLambda;
    track->helpLambda = data.helpLambda;
    LayoutTable::convertTrack(data.points, mirror, 1, track->path.controlPoints, track->path.tangents);
    track->init();
    for (float chord : kChords) track->getChordTable(chord);
    return track;
}

void AllTracksOfTheCampaign(benchmark::State& state) {
    setBound(state, 100.0);
    for (auto _ : state) {
        int tracks = 0;
        for (int level = 0; level <= LayoutTable::LAST_LEVEL; ++level) {
            const LevelRow& row = LayoutTable::row(level);
            for (const LayoutTrack& data : LayoutTable::scene(row.scene).tracks) {
                Track* track = makeTrack(data, row.mirrorX);
                benchmark::DoNotOptimize(track->path.length);
                delete track;
                ++tracks;
            }
        }
        state.counters["tracks"] = tracks;
    }
}
BENCHMARK(AllTracksOfTheCampaign)->Unit(benchmark::kMillisecond);

// Positions spread over the whole path, in an order that defeats the branch predictor.
std::vector<float> positions(float length) {
    std::vector<float> out(4096);
    uint32_t r = 12345;
    for (float& x : out) {
        r = r * 1664525u + 1013904223u;
        x = static_cast<float>(r >> 8) / 16777216.0f * length;
    }
    return out;
}

void GetPoint(benchmark::State& state) {
    setBound(state, 50.0);
    std::unique_ptr<Track> track(makeTrack(LayoutTable::scene(LayoutTable::SCENE_A2).tracks[0], 1));
    const std::vector<float> xs = positions(track->path.length);
    size_t i = 0;
    for (auto _ : state) {
        Vector3 p;
        float heading, depth;
        track->path.getPoint(xs[i++ & 4095], p, &heading, &depth);
        benchmark::DoNotOptimize(p);
        benchmark::DoNotOptimize(heading);
        benchmark::DoNotOptimize(depth);
    }
}
BENCHMARK(GetPoint);

void ChordLookup(benchmark::State& state) {
    setBound(state, 50.0);
    std::unique_ptr<Track> track(makeTrack(LayoutTable::scene(LayoutTable::SCENE_A2).tracks[0], 1));
    ChordTable* table = track->getChordTable(96.0f);
    const std::vector<float> xs = positions(track->path.length);
    size_t i = 0;
    for (auto _ : state) benchmark::DoNotOptimize(table->lookup(xs[i++ & 4095]));
}
BENCHMARK(ChordLookup);

// A track object whose drawing is only counted: the pass's own cost.
class CountedObject : public TrackObject {
public:
    explicit CountedObject(DepthManager* manager) : TrackObject(manager) {}
    void renderAtDepth() override { ++drawn; }
    static inline int drawn = 0;
};

void DepthPass400(benchmark::State& state) {
    setBound(state, 20.0);
    DepthManager manager;
    std::vector<std::unique_ptr<CountedObject>> objects;
    for (int i = 0; i < 400; ++i) {
        objects.push_back(std::make_unique<CountedObject>(&manager));
        objects.back()->depth = -5.0f - 0.05f * static_cast<float>(i);
    }
    manager.update(0, 0);
    uint32_t r = 99;
    for (auto _ : state) {
        // Cars move a little every frame: a few neighbours trade places.
        for (int k = 0; k < 4; ++k) {
            r = r * 1664525u + 1013904223u;
            objects[(r >> 8) % 400]->depth += ((r >> 4) & 1) ? 0.06f : -0.06f;
        }
        manager.update(0, 0);
        manager.render();
    }
    benchmark::DoNotOptimize(CountedObject::drawn);
}
BENCHMARK(DepthPass400)->Unit(benchmark::kMicrosecond);

void LevelFromArchive(benchmark::State& state) {
    setBound(state, 100.0);
    const int number = static_cast<int>(state.range(0));
    for (auto _ : state) {
        Level* level = createLevelLayout(number);
        level->buildScene();
        benchmark::DoNotOptimize(level);
        state.PauseTiming();
        delete level;
        state.ResumeTiming();
    }
}
BENCHMARK(LevelFromArchive)->Arg(0)->Arg(7)->Arg(82)->Unit(benchmark::kMillisecond);

// The level built and its first frame drawn: the pictures made resident from the archive.
void LevelFromArchiveFirstFrame(benchmark::State& state) {
    const int number = static_cast<int>(state.range(0));
    for (auto _ : state) {
        harness->buildLevel(number);
        harness->frame();
    }
}
BENCHMARK(LevelFromArchiveFirstFrame)->Arg(0)->Arg(7)->Arg(82)->Unit(benchmark::kMillisecond);

void IdleHarnessFrame(benchmark::State& state) {
    setBound(state, 1000.0);
    harness->buildLevel(static_cast<int>(state.range(0)));
    harness->addProbes(150.0f);
    harness->run(10);
    for (auto _ : state) benchmark::DoNotOptimize(harness->frame());
}
BENCHMARK(IdleHarnessFrame)->Arg(0)->Arg(82)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runHarnessBenchmarks(argc, argv, "vesk-bench", harness); }
