// CPU per frame of the options screens: each screen is ticked and drawn on the recording device
// with the fonts and pictures the loader reads from the generated archives, its first row hovered
// so that the highlight, the arrows and the hint are drawn too. One iteration is one frame.
//
//   build/<config>/bin/bench_OptionsScreensBench

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <memory>

#include "app/ContextManager.h"
#include "app/GameGlobal.h"
#include "app/Loader.h"
#include "app/MenuItem.h"
#include "engine/Qel.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "menus/ContextAdvancedOptions.h"
#include "menus/ContextControlsOptions.h"
#include "menus/ContextGameplayOptions.h"
#include "menus/ContextGraphicsOptions.h"
#include "menus/ContextOptions.h"
#include "menus/ContextSoundOptions.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

extern "C" const char* __lsan_default_suppressions() {
    return "leak:libdbus-1.so\nleak:libfontconfig.so\nleak:libX11\nleak:libGLX\nleak:libEGL\nleak:libgallium\nleak:swrast_dri\n";
}

namespace {

// The engine on the recording device with everything the loader registers, and the screen stack
// emptied of the start screens.
struct LoadedGame {
    LoadedGame() : dataHome("vesk-bench") {
        setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
        setenv("VESK_SILENT_ERRORS", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D* d3d = RecordingDirect3D::next = new RecordingDirect3D();
        engine = new Qel();
        engine->singleLanguage = 0;
        application = new GameGlobal();
        Loader* loader = application->initPreLoader();
        while (loader->loadStuff(false) < Loader::STEP_COUNT) {
        }
        // The start screens are finished and popped: the stack is empty for the screens measured.
        stack = application->pContextManager;
        for (BasicLink* c = stack->firstChild; c; c = c->next) static_cast<Context*>(c)->bDone = true;
        stack->tick(0.0, 0.0);
        stack->bQuit = false;
        device = d3d->lastDevice;
    }
    ~LoadedGame() {
        delete application;
        delete engine;
    }

    TestFolder dataHome;
    Qel* engine = nullptr;
    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
    RecordingDevice* device = nullptr;
};

LoadedGame* loaded = nullptr;

template <class Screen>
void screenFrame(benchmark::State& state) {
    auto* screen = new Screen();
    loaded->stack->pushContext(screen);
    // The first row hovered: the navigation point of the screen's first navigable item.
    QelInput* input = loaded->engine->pQelInput;
    input->pointer = screen->findNextItem(ContextMenu::worldToPointer(screen, Vector3(0, 240, 0)), ContextMenu::DIR_DOWN);
    double total = 0.0;
    for (int warm = 0; warm < 30; ++warm) {
        loaded->stack->tick(total += 1.0 / 60, 1.0 / 60);
        loaded->stack->render();
        loaded->device->calls.clear();
    }
    for (auto _ : state) {
        loaded->stack->tick(total += 1.0 / 60, 1.0 / 60);
        loaded->stack->render();
        loaded->device->calls.clear();
    }
    screen->bDone = true;
    loaded->stack->tick(total, 0.0);
}

BENCHMARK(screenFrame<ContextOptions>)->Name("ContextOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(screenFrame<ContextGameplayOptions>)->Name("ContextGameplayOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(screenFrame<ContextControlsOptions>)->Name("ContextControlsOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(screenFrame<ContextGraphicsOptions>)->Name("ContextGraphicsOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(screenFrame<ContextAdvancedOptions>)->Name("ContextAdvancedOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(screenFrame<ContextSoundOptions>)->Name("ContextSoundOptions")->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    loaded = new LoadedGame();
    benchmark::RunSpecifiedBenchmarks();
    delete loaded;
    benchmark::Shutdown();
    return 0;
}
