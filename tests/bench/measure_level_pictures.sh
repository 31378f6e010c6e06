#!/usr/bin/env bash
# The level pictures' cost: the data generator draws every level scene's pictures (scene with its
# railways, decorations) on two cores and reports the wall-clock time; the CPU time it took is
# given beside it.
# Prints "bench-row:NAME<TAB>FIGURE<TAB>UNIT<TAB>BOUND" lines.
#
# Usage: tests/bench/measure_level_pictures.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
datagen="$build/bin/vesk-datagen"
row() { printf 'bench-row:%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4"; }

# Two cores where the system lets the process be bound to them.
pin=()
if command -v taskset >/dev/null && [ "$(nproc)" -ge 2 ] && taskset -c 0,1 true 2>/dev/null; then pin=(taskset -c 0,1); fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
TIMEFORMAT=%U+%S
{ time "${pin[@]}" "$datagen" --level-pictures >"$work/out" 2>"$work/err"; } 2>"$work/time" || { cat "$work/err" >&2; exit 1; }
wall=$(sed -n 's/^level pictures: \([0-9.]*\) s$/\1/p' "$work/out")
[ -n "$wall" ] || { echo "measure_level_pictures: no time reported" >&2; exit 1; }
row "level pictures on two cores (wall clock)" "$wall" s 10
row "level pictures (CPU time)" "$(python3 -c "print(f'{$(cat "$work/time"):.2f}')")" s -
