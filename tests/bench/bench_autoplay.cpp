// A busy level played by the automatic player: level 10 (every power-up) with detail and shadows
// on, 60 s of game time in 1/60 s steps. Per frame, the CPU time of the engine's frame (update and
// the drawing calls handed to the recording device; no presentation, no waiting): its mean as the
// benchmark's time, with the median, the 99th percentile and what the level held.

#include <benchmark/benchmark.h>

#include <stdlib.h>

#include <algorithm>
#include <numeric>
#include <vector>

#include "game/GameGlobal.h"
#include "engine/Qel.h"
#include "game/AutoPlayer.h"
#include "game/GameController.h"
#include "game/Level.h"
#include "game/harness/PlayHarness.h"
#include "media/QelGraphics.h"
#include "support/TestFolder.h"
#include "BenchBound.h"
#include "HarnessBenchMain.h"

namespace {

PlayHarness* harness = nullptr;

int countTree(const QelBase* node) {
    int n = 0;
    for (const BasicLink* l = node->firstChild; l; l = l->next) n += 1 + countTree(static_cast<const QelBase*>(l));
    return n;
}

void AutoPlayedBusyLevel(benchmark::State& state) {
    setBound(state, 1000.0);
    PlayHarness& h = *harness;
    h.application->gameConfiguration.detailLevel = 2;
    h.application->gameConfiguration.bTutorial = 0;
    h.engine->pQelGraphics->bHighDetail = true;
    AutoPlayer player;
    auto begin = [&] {
        h.playLevel(10);
        while (h.game->state != GameController::STATE_PLAYING) h.frame();
    };
    begin();
    std::vector<double> times;
    times.reserve(3600);
    double pieces = 0.0, effects = 0.0, drawn = 0.0, cars = 0.0;
    for (auto _ : state) {
        player.step();
        h.frame();
        state.SetIterationTime(h.lastFrameCpuSeconds);
        times.push_back(h.lastFrameCpuSeconds * 1e6);
        pieces += h.game->pCargoLayer->countChildren();
        effects += countTree(h.game->pEffectsLayer);
        drawn += h.engine->frameStats[Qel::STAT_RENDERABLES_DRAWN];
        cars += static_cast<double>(h.game->depthManager.objects.size());
        if (h.game->state != GameController::STATE_PLAYING) {
            state.PauseTiming();
            begin();
            state.ResumeTiming();
        }
    }
    if (times.empty()) return;
    std::vector<double> sorted = times;
    std::sort(sorted.begin(), sorted.end());
    const double n = static_cast<double>(times.size());
    state.counters["mean_us"] = std::accumulate(times.begin(), times.end(), 0.0) / n;
    state.counters["median_us"] = sorted[sorted.size() / 2];
    state.counters["p99_us"] = sorted[std::min(sorted.size() - 1, static_cast<size_t>(0.99 * n))];
    state.counters["pieces"] = pieces / n;
    state.counters["effects"] = effects / n;
    state.counters["drawn"] = drawn / n;
    state.counters["trackObjects"] = cars / n;
    state.counters["shots"] = player.shotsFired;
}
BENCHMARK(AutoPlayedBusyLevel)->Iterations(3600)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) { return runHarnessBenchmarks(argc, argv, "vesk-bench-autoplay", harness); }
