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
#include <cstdio>
#include <memory>

#include "BenchBound.h"
#include "app/ContextManager.h"
#include "app/GameGlobal.h"
#include "app/Loader.h"
#include "app/MenuItemButton.h"
#include "engine/HttpRequest.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelGraphics.h"
#include "menus/ContextErrorReport.h"
#include "support/FakeMakerService.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

namespace {

// The engine on the recording device with the loader run to its end over the generated archives.
struct Engine {
    Engine() : dataHome("vesk-bench-crash") {
        setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
        setenv("VESK_SILENT_ERRORS", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        setenv("VESK_MAKER_HOST", service.host().c_str(), 1);
        writeFileBytes(wideToUtf8(Qel::getConfigFilePath()), "[QelGraphics]\nbFullScreen=No\nvideoModeWidth=800\n");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D::next = d3d = new RecordingDirect3D();
        engine = std::make_unique<Qel>();
        if (!engine->pQelGraphics) engine->pQelGraphics = ownGraphics = new QelGraphics(nullptr, engine->pConfig);
        device = d3d->lastDevice;
        engine->singleLanguage = 0;
        application = new GameGlobal();
        Loader* loader = application->initPreLoader();
        while (loader->currentStep < Loader::STEP_COUNT) loader->loadStuff(false);
        stack = application->pContextManager;
        clearStack();
        application->gameConfiguration.bOnlineConfigured = 1;
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 1.0 / 60.0;
    }
    ~Engine() {
        clearStack();
        delete application;
        if (ownGraphics) {
            delete engine->pQelGraphics;
            engine->pQelGraphics = nullptr;
        }
        engine.reset();
    }
    void clearStack() {
        while (Context* top = stack->getTopContext()) {
            stack->removeChild(top);
            delete top;
        }
        stack->pLastActive = stack->pTop = nullptr;
        stack->bQuit = false;
    }
    // One frame as the engine runs it, timed: tick, then draw between the scene's begin and end.
    double frame() {
        const auto start = std::chrono::steady_clock::now();
        stack->tick(0, 0);
        device->BeginScene();
        stack->draw();
        device->EndScene();
        device->calls.clear();
        return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

    FakeMakerService service;
    TestFolder dataHome;
    RecordingDirect3D* d3d = nullptr;
    RecordingDevice* device = nullptr;
    std::unique_ptr<Qel> engine;
    QelGraphics* ownGraphics = nullptr;
    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
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
            frameLongest = std::max(frameLongest, e.frame());
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

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!fileExists(getDataArchivePath())) {
        std::fprintf(stderr, "The generated data archives are missing beside the program.\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
