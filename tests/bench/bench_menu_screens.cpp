// CPU time per frame of the front-end screens: each screen is ticked and drawn on the recording
// graphics device with the fonts of the generated data archives, after a few frames that fill
// the font caches; the options screens as well. Target: the players list (eight 16-character
// names, over the main menu) and the high-score table (ten names through the system font) within
// 1 ms a frame.
//
// Run by tools/bench.sh (the data archives must have been generated beside it).

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <functional>

#include "BenchBound.h"
#include "MenuBenchEngine.h"
#include "menus/ContextMain.h"
#include "engine/Utilities.h"
#include "media/QelInput.h"
#include "menus/ContextAdvancedOptions.h"
#include "menus/ContextControlsOptions.h"
#include "menus/ContextCredits.h"
#include "menus/ContextGameplayOptions.h"
#include "menus/ContextGraphicsOptions.h"
#include "menus/ContextHelp.h"
#include "menus/ContextHighScoreOptions.h"
#include "menus/ContextHighScores.h"
#include "menus/ContextOptions.h"
#include "menus/ContextPlayerName.h"
#include "menus/ContextPlayers.h"
#include "menus/ContextSoundOptions.h"

namespace {

// The screens' engine: the mouse as input, ten high scores and eight profiles of long names.
struct Engine : MenuBenchEngine {
    Engine() : MenuBenchEngine("vesk-bench") {
        engine->pQelInput->setInputMode(INPUTMODE_MOUSE);
        engine->frameTimer.previousFrameTime = 0.0;
        engine->frameTimer.frameTime = 1.0 / 60.0;
        for (int i = 0; i < 10; ++i) application->gameConfiguration.addHighScore(1234567 - i, 11 + i, true,
                                                                                  format(u"Player number %d", i + 1));
        for (int i = 0; i < 8; ++i) application->profileManager.addProfile(format(u"ABCDEFGHIJKLMN%02d", i));
    }
};

Engine& engine() {
    static Engine e;
    return e;
}

void runScreens(benchmark::State& state, const std::function<void(ContextManager*)>& pushScreens) {
    Engine& e = engine();
    e.clearStack();
    pushScreens(e.stack);
    // Warm: every text of the screens is in its font cache.
    for (int i = 0; i < 30; ++i) e.frame();
    for (auto _ : state) e.frame();
}

void BM_MainMenuWithGreeting(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) { s->pushContext(new ContextMain()); });
}
void BM_PlayersList(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) {
        s->pushContext(new ContextMain());
        s->pushContext(new ContextPlayers());
    });
    setBound(state, 1000.0);
}
void BM_PlayerName(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) {
        s->pushContext(new ContextMain());
        s->pushContext(new ContextPlayerName(false));
    });
}
void BM_HighScores(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) {
        game->lastHighScoreRow = 3;
        s->pushContext(new ContextHighScores());
    });
    setBound(state, 1000.0);
}
void BM_HighScoreOptions(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) { s->pushContext(new ContextHighScoreOptions()); });
}
void BM_Credits(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) { s->pushContext(new ContextCredits()); });
}
void BM_Help(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) { s->pushContext(new ContextHelp()); });
}
// The options screens with their first row hovered, so that its highlight, arrows and hint are
// drawn as well.
template <class Screen>
void BM_Options(benchmark::State& state) {
    runScreens(state, [](ContextManager* s) {
        auto* screen = new Screen();
        s->pushContext(screen);
        const Vector3 top = ContextMenu::worldToPointer(screen, Vector3(0.0f, 240.0f, 0.0f));
        qel->pQelInput->pointer = screen->findNextItem(top, ContextMenu::DIR_DOWN);
    });
}

}  // namespace

BENCHMARK(BM_MainMenuWithGreeting)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayersList)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlayerName)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HighScores)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_HighScoreOptions)->Unit(benchmark::kMicrosecond);
// The credits end by themselves after 66 s of their clock (3960 frames): measured mid-scroll.
BENCHMARK(BM_Credits)->Unit(benchmark::kMicrosecond)->Iterations(2000);
BENCHMARK(BM_Help)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Options<ContextOptions>)->Name("BM_Options")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Options<ContextGameplayOptions>)->Name("BM_GameplayOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Options<ContextControlsOptions>)->Name("BM_ControlsOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Options<ContextGraphicsOptions>)->Name("BM_GraphicsOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Options<ContextAdvancedOptions>)->Name("BM_AdvancedOptions")->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Options<ContextSoundOptions>)->Name("BM_SoundOptions")->Unit(benchmark::kMicrosecond);

int main(int argc, char** argv) { return runMenuBenchmarks(argc, argv); }
