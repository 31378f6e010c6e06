#pragma once
// The main of a benchmark program played on the play harness: the harness's engine in a user-data
// folder of its own, with silent audio and no message boxes, as in the tests, kept in 'harness'
// while the benchmarks run.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include "game/harness/PlayHarness.h"
#include "support/TestFolder.h"

inline int runHarnessBenchmarks(int argc, char** argv, const char* folderName, PlayHarness*& harness) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    TestFolder dataHome(folderName);
    setenv("VESK_DATA_HOME", dataHome.path.c_str(), 1);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    harness = new PlayHarness();
    benchmark::RunSpecifiedBenchmarks();
    delete harness;
    harness = nullptr;
    benchmark::Shutdown();
    return 0;
}
