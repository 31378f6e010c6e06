#!/usr/bin/env bash
# Start-up with a settings file grown far past any real one: the program is started on a fresh user
# folder with a normal ".cfg" and with a 100 MB one, each until the loader has finished ("Global
# initialization complete" in the log), three times each. Compared are the median wall-clock times
# from launch to that line and the median peak resident memory (VmHWM) there: the oversized file is
# kept aside unread, so the start may take at most 0.5 s and 20 MB more than the normal one.
# Prints "bench-row:NAME<TAB>FIGURE<TAB>UNIT<TAB>BOUND" lines.
#
# Usage: tests/bench/measure_settings_start.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"; fi
exe="$build/bin/VeskDiruzuri"
command -v python3 >/dev/null || { echo "measure_settings_start: python3 is missing" >&2; exit 1; }

work=$(mktemp -d)
pid=
outer=
cleanup() {
  if [ -n "$outer" ]; then kill -KILL "$outer" 2>/dev/null || true; fi
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
now() { date +%s.%N; }

# As in measure_program.sh: a PID namespace of its own where the system allows it, so that a copy
# running elsewhere on the machine does not keep this one from starting.
launcher=()
if unshare --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --pid --fork --mount-proc)
elif unshare --user --map-root-user --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --user --map-root-user --pid --fork --mount-proc)
fi

# A settings file of about 100 MB: the real sections, then sections of filler keys.
python3 - "$work/big.cfg" <<'PY'
import sys
with open(sys.argv[1], "wb") as out:
    out.write(b"\xef\xbb\xbf[Qel]\r\ndefaultLanguage=1\r\n")
    block = b"".join(b"[Section%d]\r\nkey=value of a setting nobody reads\r\n" % i for i in range(20000))
    while out.tell() < 100 * 1024 * 1024:
        out.write(block)
PY

# One start: prints "SECONDS KILOBYTES" for launch to the end of loading and the peak memory there.
measure() {
  local cfg=$1 home="$work/home"
  rm -rf "$home"
  mkdir -p "$home/Morvane studios/VeskDiruzuri/1.47"
  local folder="$home/Morvane studios/VeskDiruzuri/1.47"
  [ -z "$cfg" ] || cp "$cfg" "$folder/VeskDiruzuri.cfg"
  # The copy's writing back is not the program's start.
  sync
  local log="$folder/VeskDiruzuri.log"
  local launched
  launched=$(now)
  VESK_DATA_HOME="$home" SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "${launcher[@]}" "$exe" >"$work/out" 2>&1 &
  outer=$!
  pid=$outer
  if [ ${#launcher[@]} -gt 0 ]; then
    pid=
    for _ in $(seq 1 2000); do
      pid=$(pgrep -P "$outer" | head -n 1) && [ -n "$pid" ] && break
      sleep 0.005
    done
    [ -n "$pid" ] || { echo "measure_settings_start: the program did not start" >&2; exit 1; }
  fi
  local loaded=
  for _ in $(seq 1 12000); do
    if grep -q "Global::initPostLoader(): Global initialization complete" "$log" 2>/dev/null; then
      loaded=$(now)
      break
    fi
    kill -0 "$pid" 2>/dev/null || { echo "measure_settings_start: the program ended early" >&2; cat "$work/out" "$log" >&2; exit 1; }
    sleep 0.005
  done
  [ -n "$loaded" ] || { echo "measure_settings_start: loading did not finish in time" >&2; exit 1; }
  local hwm
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  kill -TERM "$pid"
  wait "$outer" || { echo "measure_settings_start: the program did not end cleanly" >&2; exit 1; }
  outer=
  pid=
  if [ -n "$cfg" ] && [ ! -f "$folder/VeskDiruzuri.cfg.bad" ]; then
    echo "measure_settings_start: the 100 MB settings file was not kept aside" >&2
    exit 1
  fi
  python3 -c "print(f'{$loaded - $launched:.3f} $hwm')"
}

normal=()
big=()
for _ in 1 2 3; do
  normal+=("$(measure "")")
  big+=("$(measure "$work/big.cfg")")
done

python3 - "${normal[@]}" "${big[@]}" <<'PY'
import statistics, sys
runs = [tuple(float(x) for x in a.split()) for a in sys.argv[1:]]
normal, big = runs[:3], runs[3:]
def median(rows, i):
    return statistics.median(r[i] for r in rows)
def row(name, figure, unit, bound="-"):
    print(f"bench-row:{name}\t{figure}\t{unit}\t{bound}")
row("start to end of loading, normal settings (median of 3)", f"{median(normal, 0):.3f}", "s")
row("start to end of loading, 100 MB settings (median of 3)", f"{median(big, 0):.3f}", "s")
row("start with 100 MB settings: extra time", f"{median(big, 0) - median(normal, 0):.3f}", "s", "0.5")
row("start with 100 MB settings: extra peak resident memory", f"{(median(big, 1) - median(normal, 1)) / 1024:.1f}", "MB", "20")
PY
