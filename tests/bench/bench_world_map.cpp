// Speed of the world map on the play harness's engine (the generated archives, the recording
// device): building the map for a profile without a saved game, and one frame of the map ticked
// and drawn, idle and in its busiest state (the train gliding, so the line is rebuilt every frame,
// with the pointer on a town that pulses and throws sparks, and the train's smoke). Targets: the
// map built within 20 ms, a frame within 1 ms of CPU time. tools/bench.sh runs it in a release
// build.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "BenchBound.h"
#include "HarnessBenchMain.h"

#include "ui/ContextManager.h"
#include "game/GameGlobal.h"
#include "ui/ProfileData.h"
#include "engine/Qel.h"
#include "game/WorldManager.h"
#include "game/WorldMapMarker.h"
#include "game/harness/PlayHarness.h"
#include "media/QelGraphics.h"
#include "media/QelInput.h"
#include "support/TestFolder.h"

namespace {

// A profile far into the game: fifty towns' worth of line, most towns reached.
void setUpProfile() {
    ProfileData& profile = game->profileManager.current();
    profile.resetGame();
    profile.level() = 60;
    profile.highestLevel() = 70;
    profile.score() = 123456;
    game->gameConfiguration.detailLevel = 1;
}

void emptyStack(ContextManager* stack) {
    while (Context* top = stack->getTopContext()) {
        stack->removeChild(top);
        delete top;
    }
    stack->pLastActive = stack->pTop = nullptr;
    stack->bQuit = false;
}

// One frame as the engine runs it, 1/60 s after the last: the stack ticked, then drawn.
void frame(ContextManager* stack) {
    qel->frameTimer.period = 0.0;
    qel->frameTimer.previousFrameTime = 0.0;
    qel->frameTimer.frameTime = 1.0 / 60.0;
    ++qel->frameCount;
    stack->tick(0, 1.0 / 60.0);
    IDirect3DDevice9* device = qel->pQelGraphics ? qel->pQelGraphics->dxDevice : nullptr;
    if (device) device->BeginScene();
    stack->draw();
    if (device) device->EndScene();
}

void WorldMapBuiltWithoutASave(benchmark::State& state) {
    setBound(state, 20.0);
    setUpProfile();
    for (auto _ : state) {
        auto* map = new WorldManager();
        benchmark::DoNotOptimize(map);
        state.PauseTiming();
        delete map;
        state.ResumeTiming();
    }
}
BENCHMARK(WorldMapBuiltWithoutASave)->Unit(benchmark::kMillisecond);

// Argument 0: the map idle, the pointer over no town. 1: the train gliding and a town hovered.
void WorldMapFrame(benchmark::State& state) {
    setBound(state, 1000.0);
    const bool busy = state.range(0) != 0;
    setUpProfile();
    ContextManager* stack = game->pContextManager;
    emptyStack(stack);
    auto* map = new WorldManager();
    stack->pushContext(map);
    QelInput* input = qel->pQelInput;
    input->setInputMode(INPUTMODE_MOUSE);
    const int width = qel->pQelGraphics ? qel->pQelGraphics->layoutWidth : 800;
    const int height = qel->pQelGraphics ? qel->pQelGraphics->layoutHeight : 480;
    WorldMapMarker* town = map->stages[5];
    input->pointer = busy ? ContextMenu::worldToPointer(map, town->position) : Vector3(float(width) - 5.0f, float(height) / 2.0f, 0.0f);
    // Warm: the fonts' caches hold the texts, the effects run at their steady count.
    for (int i = 0; i < 120; ++i) frame(stack);
    for (auto _ : state) {
        if (busy) {
            // Every frame a glide from the first town: the line is rebuilt at its full length.
            map->trainFrom = 0.0f;
            map->trainT = 0.5f;
        }
        frame(stack);
    }
    state.counters["hovered"] = town->bHover ? 1 : 0;
    emptyStack(stack);
}
BENCHMARK(WorldMapFrame)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

}  // namespace

int main(int argc, char** argv) {
    PlayHarness* harness = nullptr;
    return runHarnessBenchmarks(argc, argv, "vesk-bench", harness);
}
