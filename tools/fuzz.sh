#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (AddressSanitizer and UndefinedBehaviorSanitizer) and runs
# each for a bounded number of inputs from its seed corpus. Skipped when clang is not installed.
# Usage: tools/fuzz.sh [--build FOLDER] [runs per target, default 10000]
# With --build, the targets are taken from that folder, already built by clang with the
# sanitizers and -DVESK_FUZZ=ON (tools/check.sh does so); without it, build/fuzz is configured.
set -euo pipefail
cd "$(dirname "$0")/.."
build=""
if [ "${1:-}" = "--build" ]; then
  build=$2
  shift 2
fi
runs=${1:-10000}
if ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang++ not found, skipping the fuzz targets"
  exit 0
fi
targets=(fuzz_wad fuzz_signed_file fuzz_ini fuzz_packet fuzz_tga fuzz_bmp fuzz_jpg fuzz_codepointlut fuzz_vorbis fuzz_preload fuzz_net_messages fuzz_trains fuzz_net_test_reply fuzz_savedgame)
# Optimised a little (-O1, as libFuzzer advises): pictures of several megapixels stay well inside
# the time limit per input.
if [ -z "$build" ]; then
  build=build/fuzz
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVESK_SANITIZE=ON -DVESK_FUZZ=ON -DVESK_TESTS=OFF \
    -DCMAKE_C_FLAGS_DEBUG="-g -O1" -DCMAKE_CXX_FLAGS_DEBUG="-g -O1" >/dev/null
fi
cmake --build "$build" --parallel "$(nproc)" --target "${targets[@]}"
export VESK_SILENT_ERRORS=1 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for target in "${targets[@]}"; do
  corpus="$work/$target"
  mkdir -p "$corpus"
  cp tests/fuzz/corpus/"$target"/* "$corpus"/ 2>/dev/null || true
  echo "fuzz: $target ($runs inputs)"
  # Pictures of several megapixels need more than 4 KiB even when they compress well.
  max_len=4096
  [ "$target" = fuzz_jpg ] && max_len=16384
  # A saved game is read up to its whole 65,536 bytes.
  [ "$target" = fuzz_savedgame ] && max_len=65536
  "$build"/bin/"$target" -runs="$runs" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$work/" "$corpus" >"$work/$target.log" 2>&1 || {
    tail -n 60 "$work/$target.log"
    mkdir -p "$build"/artifacts && cp "$work"/crash-* "$work"/leak-* "$work"/timeout-* "$build"/artifacts/ 2>/dev/null || true
    echo "fuzz: $target FAILED (artifacts in $build/artifacts)"
    exit 1
  }
  grep -E "^Done|DONE" "$work/$target.log" | tail -n 1 || true
done
echo "fuzz: all targets ran clean"
