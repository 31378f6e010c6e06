#!/usr/bin/env bash
# Sets up what is missing, builds the game with its data, and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
tools/setup.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVESK_TESTS=OFF
cmake --build build/release --parallel
exec build/release/bin/VeskDiruzuri "$@"
