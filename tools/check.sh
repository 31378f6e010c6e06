#!/usr/bin/env bash
# Sets up what is missing, builds the game, its data and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test headless (Xvfb, software OpenGL, dummy audio).
set -euo pipefail
cd "$(dirname "$0")/.."
# No floor of the source includes a floor above it (the floors: VESK_FLOORS in CMakeLists.txt).
tools/check_layers.py
tools/setup.sh
jobs=$(nproc)
# The benchmarks are built (so that they keep compiling) but only tools/bench.sh runs them.
cmake -S . -B build/check -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESK_SANITIZE=ON -DVESK_TESTS=ON -DVESK_BENCH=ON
cmake --build build/check --parallel "$jobs"
# The readers of outside data are fuzzed for a bounded number of inputs each.
tools/fuzz.sh
export LIBGL_ALWAYS_SOFTWARE=1 SDL_AUDIODRIVER=dummy VESK_SILENT_ERRORS=1
xvfb-run -a -s "-screen 0 1280x1024x24" \
  ctest --test-dir build/check --output-on-failure --parallel "$jobs" --timeout 300 --repeat until-pass:2
