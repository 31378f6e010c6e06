#pragma once
// The bound a benchmark must hold: the most CPU time one iteration may take, in the benchmark's own
// time unit. tools/bench.sh prints it beside the measured time and says whether it holds.

#include <benchmark/benchmark.h>

inline void setBound(benchmark::State& state, double bound) { state.counters["bound"] = bound; }
