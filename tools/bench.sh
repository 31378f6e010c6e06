#!/usr/bin/env bash
# Builds the release configuration (in build/bench) and runs every benchmark of the project, then
# prints one table: name, figure, unit, bound and whether the figure holds its bound.
#
# What runs, found by name so that new benchmarks join without changes here:
# - every Google Benchmark executable named bench_* in the build (each tests/bench/bench_*.cpp);
#   the figure is the CPU time of one iteration, or for a benchmark that times itself (manual time)
#   the time it reports; a benchmark states its bound with setBound (tests/bench/BenchBound.h), in
#   its own time unit;
# - every whole-program measure tests/bench/measure_*.sh, then every long run tests/bench/long_*.sh
#   (a whole campaign played by the automatic player, say); --quick leaves the long runs out.
#   Each script is called with the build folder and prints its results as lines
#   "bench-row:NAME<TAB>FIGURE<TAB>UNIT<TAB>BOUND", BOUND being "-" when there is none.
# A figure holds when it is at most its bound. The exit status is 1 when a bound does not hold or
# a benchmark failed.
#
# Usage: tools/bench.sh [--quick]
set -euo pipefail
cd "$(dirname "$0")/.."
quick=0
for arg in "$@"; do
  case "$arg" in
    --quick) quick=1 ;;
    *) echo "usage: tools/bench.sh [--quick]" >&2; exit 2 ;;
  esac
done

tools/setup.sh
build=build/bench
# The tests are configured (the benchmarks use their support code) but only what runs here is built.
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVESK_TESTS=ON -DVESK_BENCH=ON >/dev/null
cmake --build "$build" --parallel "${BENCH_JOBS:-$(nproc)}" --target vesk-bench

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
rows="$work/rows"
: >"$rows"
failed=0

# Google Benchmark executables: their JSON results become rows.
for exe in "$build"/bin/bench_*; do
  [ -x "$exe" ] || continue
  name=$(basename "$exe")
  echo "bench: $name" >&2
  if ! "$exe" --benchmark_out="$work/$name.json" --benchmark_out_format=json >"$work/$name.out" 2>&1; then
    cat "$work/$name.out" >&2
    printf '%s\tfailed\t-\t-\n' "$name" >>"$rows"
    failed=1
    continue
  fi
  python3 - "$work/$name.json" "$name" >>"$rows" <<'EOF'
import json, sys
results = json.load(open(sys.argv[1]))
for b in results["benchmarks"]:
    if b.get("run_type") == "aggregate":
        continue
    name = sys.argv[2] + "/" + b["name"]
    if b.get("error_occurred"):
        print(f"{name}\tfailed\t-\t-")
        continue
    bound = b.get("bound")
    if b["name"].endswith("/manual_time"):
        # The benchmark times what it means itself (its longest frame, say): that is the figure.
        print(f"{name}\t{b['real_time']:.3f}\t{b['time_unit']} (own timing)\t{'-' if bound is None else f'{bound:g}'}")
        continue
    # CPU time: what one iteration costs, whatever else the machine is doing.
    print(f"{name}\t{b['cpu_time']:.3f}\t{b['time_unit']} CPU\t{'-' if bound is None else f'{bound:g}'}")
EOF
done

# Whole-program measures and long runs.
scripts=(tests/bench/measure_*.sh)
[ "$quick" -eq 1 ] || scripts+=(tests/bench/long_*.sh)
for script in "${scripts[@]}"; do
  [ -f "$script" ] || continue
  echo "bench: $script" >&2
  if ! bash "$script" "$build" >"$work/script.out" 2>"$work/script.err"; then
    cat "$work/script.err" >&2
    printf '%s\tfailed\t-\t-\n' "$(basename "$script" .sh)" >>"$rows"
    failed=1
  fi
  sed -n 's/^bench-row://p' "$work/script.out" >>"$rows"
done

python3 - "$rows" <<'EOF' || failed=1
import sys
rows = [line.rstrip("\n").split("\t") for line in open(sys.argv[1]) if line.strip()]
table = [("name", "figure", "unit", "bound", "holds?")]
bad = False
for name, figure, unit, bound in rows:
    if figure == "failed":
        holds = "FAILED"
        bad = True
    elif bound == "-":
        holds = "-"
    else:
        ok = float(figure) <= float(bound)
        holds = "yes" if ok else "NO"
        bad |= not ok
    table.append((name, figure, unit, bound, holds))
widths = [max(len(r[i]) for r in table) for i in range(5)]
for i, r in enumerate(table):
    print("  ".join(c.ljust(w) if k == 0 else c.rjust(w) for k, (c, w) in enumerate(zip(r, widths))).rstrip())
    if i == 0:
        print("  ".join("-" * w for w in widths))
sys.exit(1 if bad else 0)
EOF
# Wall-clock figures depend on what else the machine is doing.
echo "($(nproc) cores; load average $(cut -d' ' -f1-3 /proc/loadavg) at the end of the run)"
exit "$failed"
