// The longest frame of the crash report while it sends a 10 MB crash log: from the frame that takes
// NEXT (reading the files, building the body, starting the request) to the frame that shows the
// answer of the maker's service (the fake one, in this process). Each frame is ticked and drawn on
// the recording graphics device with the fonts of the generated data archives, and timed on the
// wall clock. Target: no frame above 100 ms, so the upload never freezes the screen.
//
// Run by tools/bench.sh (the data archives must have been generated beside it).

#include <benchmark/benchmark.h>
#include <stdlib.h>

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
    // One frame, timed on the wall clock.
    double timedFrame() {
        const auto start = std::chrono::steady_clock::now();
        frame();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    FakeMakerService service;
};

void BM_CrashReportLongestFrameWhileSending10MB(benchmark::State& state) {
    static Engine e;
    std::string log(10u << 20, '\0');
    for (size_t i = 0; i < log.size(); ++i) log[i] = char('a' + i % 26);
    double longest = 0.0;
    for (auto _ : state) {
        writeFileBytes(wideToUtf8(getCrashLogPath()), log);
        e.clearStack();
        auto* page = new ContextErrorReport();
        e.stack->pushContext(page);
        for (int i = 0; i < 10; ++i) e.frame();
        page->nextButton->bClicked = true;
        double frameLongest = 0.0;
        do {
            frameLongest = std::max(frameLongest, e.timedFrame());
        } while (!page->request || page->request->getState() != HttpRequest::STATE_IDLE);
        if (!page->bUploadSucceeded) state.SkipWithError("the upload failed");
        longest = std::max(longest, frameLongest);
        state.SetIterationTime(frameLongest);
    }
    state.counters["longest_ms"] = longest * 1000.0;
    setBound(state, 100.0);
}

}  // namespace

BENCHMARK(BM_CrashReportLongestFrameWhileSending10MB)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(5);

int main(int argc, char** argv) { return runMenuBenchmarks(argc, argv); }
