#pragma once
// The engine of a benchmark program of front-end screens: the recording graphics device, the
// loader run to its end over the generated data archives, an empty screen stack, in a user-data
// folder of its own with silent audio and no message boxes; and the main of such a program, which
// refuses to run without the archives.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <cstdio>
#include <memory>

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "menus/Loader.h"
#include "media/Context.h"
#include "engine/Product.h"
#include "engine/Qel.h"
#include "engine/Utilities.h"
#include "media/QelGraphics.h"
#include "runtime/QelRuntime.h"
#include "support/RecordingDirect3D.h"
#include "support/TestFolder.h"

struct MenuBenchEngine {
    explicit MenuBenchEngine(const char* folderName) : dataHome(folderName) {
        setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
        setenv("VESK_SILENT_ERRORS", "1", 1);
        setenv("SDL_AUDIODRIVER", "dummy", 0);
        writeFileBytes(wideToUtf8(Qel::getConfigFilePath()), "[QelGraphics]\nbFullScreen=No\nvideoModeWidth=800\n");
        QelGraphics::createDirect3D = &RecordingDirect3D::create;
        RecordingDirect3D::next = d3d = new RecordingDirect3D();
        engine = std::make_unique<QelRuntime>();
        if (!engine->pQelGraphics) engine->pQelGraphics = ownGraphics = new QelGraphics(nullptr, engine->pConfig);
        device = d3d->lastDevice;
        engine->singleLanguage = 0;
        application = new GameGlobal();
        Loader* loader = application->initPreLoader();
        while (loader->currentStep < Loader::STEP_COUNT) loader->loadStuff(false);
        stack = application->pContextManager;
        clearStack();
    }
    ~MenuBenchEngine() {
        clearStack();
        delete application;
        if (ownGraphics) {
            delete engine->pQelGraphics;
            engine->pQelGraphics = nullptr;
        }
        engine.reset();
    }
    MenuBenchEngine(const MenuBenchEngine&) = delete;
    MenuBenchEngine& operator=(const MenuBenchEngine&) = delete;

    void clearStack() {
        while (Context* top = stack->getTopContext()) {
            stack->removeChild(top);
            delete top;
        }
        stack->pLastActive = stack->pTop = nullptr;
        stack->bQuit = false;
    }
    // One frame as the engine runs it: tick, then draw between the scene's begin and end.
    void frame() {
        stack->tick(0, 0);
        device->BeginScene();
        stack->draw();
        device->EndScene();
        device->calls.clear();
    }

    TestFolder dataHome;
    RecordingDirect3D* d3d = nullptr;
    RecordingDevice* device = nullptr;
    std::unique_ptr<QelRuntime> engine;
    QelGraphics* ownGraphics = nullptr;
    GameGlobal* application = nullptr;
    ContextManager* stack = nullptr;
};

inline int runMenuBenchmarks(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (!fileExists(getDataArchivePath())) {
        std::fprintf(stderr, "The generated data archives are missing beside the program.\n");
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
