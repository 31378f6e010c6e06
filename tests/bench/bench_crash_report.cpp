// The longest frame of the crash report while it sends a 10 MB crash log: from the frame that takes
// NEXT (the files are then read and packed a piece per frame, and the request starts) to the frame
// that shows the answer of the maker's service (the fake one, in this process). Each frame is
// ticked and drawn on the recording graphics device with the fonts of the generated data archives,
// and timed by the CPU time of the thread that runs it (what the frame itself costs, whatever else
// the machine runs); the longest frame on the wall clock is given beside it. Target: no frame above
// 20 ms, so the upload never stalls the page.
//
// Run by tools/bench.sh (the data archives must have been generated beside it).

#include <benchmark/benchmark.h>
#include <stdlib.h>
#include <time.h>

#include <algorithm>
#include <chrono>

#include "BenchBound.h"
#include "MenuBenchEngine.h"
#include "ui/MenuItemButton.h"
#include "engine/HttpRequest.h"
#include "engine/Utilities.h"
#include "menus/ContextErrorReport.h"
#include "support/FakeMakerService.h"

namespace {

// The screens' engine, configured for the network, sending to the fake service of this process.
struct Engine : MenuBenchEngine {
    Engine() : MenuBenchEngine("vesk-bench-crash") {
        setenv("VESK_MAKER_HOST", service.host().c_str(), 1);
        application->gameConfiguration.bOnlineConfigured = 1;
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 1.0 / 60.0;
    }
    static double threadSeconds() {
        timespec t{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
        return double(t.tv_sec) + double(t.tv_nsec) * 1e-9;
    }
    // One frame: its CPU time, and its wall-clock time in 'wall'.
    double timedFrame(double& wall) {
        const auto start = std::chrono::steady_clock::now();
        const double cpuStart = threadSeconds();
        frame();
        wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        return threadSeconds() - cpuStart;
    }

    FakeMakerService service;
};

void BM_CrashReportLongestFrameWhileSending10MB(benchmark::State& state) {
    static Engine e;
    std::string log(10u << 20, '\0');
    for (size_t i = 0; i < log.size(); ++i) log[i] = char('a' + i % 26);
    double longest = 0.0, longestWall = 0.0;
    for (auto _ : state) {
        writeFileBytes(wideToUtf8(getCrashLogPath()), log);
        e.clearStack();
        auto* page = new ContextErrorReport();
        e.stack->pushContext(page);
        for (int i = 0; i < 10; ++i) e.frame();
        page->nextButton->bClicked = true;
        double frameLongest = 0.0;
        do {
            double wall = 0.0;
            frameLongest = std::max(frameLongest, e.timedFrame(wall));
            longestWall = std::max(longestWall, wall);
        } while (!page->request || page->request->getState() != HttpRequest::STATE_IDLE);
        if (!page->bUploadSucceeded) state.SkipWithError("the upload failed");
        longest = std::max(longest, frameLongest);
        state.SetIterationTime(frameLongest);
    }
    state.counters["longest_ms"] = longest * 1000.0;
    state.counters["longest_wall_ms"] = longestWall * 1000.0;
    setBound(state, 20.0);
}

}  // namespace

BENCHMARK(BM_CrashReportLongestFrameWhileSending10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) { return runMenuBenchmarks(argc, argv); }
