#!/usr/bin/env bash
# Sets up what is missing, builds the game, its data and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test headless (Xvfb, software OpenGL, dummy audio).
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
# No floor of the source includes a floor above it (the floors: VESK_FLOORS in CMakeLists.txt).
tools/check_layers.py
jobs=$(nproc)
# One configuration serves the tests, the benchmarks (built so that they keep compiling; only
# tools/bench.sh runs them) and the fuzz targets: clang with AddressSanitizer and
# UndefinedBehaviorSanitizer, every object carrying the fuzzers' coverage, optimised a little
# (-O1, as libFuzzer advises: pictures of several megapixels stay inside the fuzzers' time limit).
# The debug information is the line tables only, all that the sanitizers' reports and backtraces
# read (file, line, inlined function), and LLVM's linker links the large sanitized programs in a
# fraction of the system linker's time.
CC=clang CXX=clang++ cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=Debug \
  -DVESK_SANITIZE=ON -DVESK_FUZZ=ON -DVESK_TESTS=ON -DVESK_BENCH=ON \
  -DCMAKE_C_FLAGS_DEBUG="-gline-tables-only -O1" -DCMAKE_CXX_FLAGS_DEBUG="-gline-tables-only -O1" \
  -DCMAKE_EXE_LINKER_FLAGS="-fuse-ld=lld"
cmake --build build/check --parallel "$jobs"
# The readers of outside data are fuzzed for a bounded number of inputs each.
tools/fuzz.sh --build build/check
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy VESK_SILENT_ERRORS=1
# A test gets up to three runs: LeakSanitizer's tracer now and then crashes at a passing test
# program's exit ("Tracer caught signal 11"), on a busy two-core machine even twice running; a
# real failure fails every run.
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build/check --output-on-failure --parallel "$jobs" --timeout 300 --repeat until-pass:3
