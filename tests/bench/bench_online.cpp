// CPU time of the network test page's frame that takes in the largest reply it accepts: 64 KiB of
// one-character lines, shown line by line. Bound: one frame at 60 Hz (16.7 ms).
//
// The reply comes from the fake maker service on loopback; only the frame that handles it is
// timed. Run by tools/bench.sh.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "BenchBound.h"
#include "app/ContextManager.h"
#include "app/GameGlobal.h"
#include "app/Loader.h"
#include "app/MenuItemButton.h"
#include "app/MessageViewer.h"
#include "engine/HttpRequest.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelGraphics.h"
#include "menus/ContextNetworkWizard1.h"
#include "support/FakeMakerService.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

namespace {

struct Engine {
    Engine() : dataHome("vesk-bench") {
        setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
        setenv("VESK_SILENT_ERRORS", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        writeFileBytes(wideToUtf8(Qel::getConfigFilePath()), "[QelGraphics]\nbFullScreen=No\nvideoModeWidth=800\n");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D::next = new RecordingDirect3D();
        engine = std::make_unique<Qel>();
        if (!engine->pQelGraphics) engine->pQelGraphics = ownGraphics = new QelGraphics(nullptr, engine->pConfig);
        engine->singleLanguage = 0;
        application = new GameGlobal();
        Loader* loader = application->initPreLoader();
        while (loader->currentStep < Loader::STEP_COUNT) loader->loadStuff(false);
        stack = application->pContextManager;
        while (Context* top = stack->getTopContext()) {
            stack->removeChild(top);
            delete top;
        }
        stack->pLastActive = stack->pTop = nullptr;
        // The first four bytes must be printable for the reply to be shown as text.
        std::string lines = "List:\n";
        while (lines.size() < size_t(HttpRequest::maxReplyLength)) lines += "a\n";
        service.setPlainText(lines);
        service.setFault(FakeMakerService::netTestPath, FakeMakerService::Fault::PlainText);
        setenv("VESK_MAKER_HOST", service.host().c_str(), 1);
    }
    ~Engine() {
        delete application;
        if (ownGraphics) {
            delete engine->pQelGraphics;
            engine->pQelGraphics = nullptr;
        }
        engine.reset();
    }

    TestFolder dataHome;
    FakeMakerService service;
    std::unique_ptr<Qel> engine;
    QelGraphics* ownGraphics = nullptr;
    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
};

void BM_NetTestLargestReply(benchmark::State& state) {
    Engine e;
    for (auto _ : state) {
        state.PauseTiming();
        auto* wizard = new ContextNetworkWizard1();
        e.stack->pushContext(wizard);
        e.stack->tick(0, 0);
        wizard->nextButton->bClicked = true;
        e.stack->tick(0, 0);
        while (wizard->request->getState() == HttpRequest::STATE_RUNNING) std::this_thread::sleep_for(std::chrono::milliseconds(1));
        state.ResumeTiming();
        e.stack->tick(0, 0);
        state.PauseTiming();
        if (wizard->nextButton->bDisabled || wizard->viewer->lines.empty() || wizard->viewer->lines.back() != u"Done.")
            state.SkipWithError("the reply was not handled");
        wizard->bDone = true;
        e.stack->tick(0, 0);
        state.ResumeTiming();
    }
    setBound(state, 16.7);
}

}  // namespace

BENCHMARK(BM_NetTestLargestReply)->Unit(benchmark::kMillisecond)->Iterations(10);

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
