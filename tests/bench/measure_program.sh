#!/usr/bin/env bash
# Whole-program measures of a build (tools/bench.sh passes its release build folder):
# - data generation: the data generator's wall-clock time for every archive, settings file and guide;
# - start to an interactive main menu with the logos skipped: from the log's time stamps, from the
#   engine's first log line to the main menu coming to the front ("Global::saveUserData(): Saving.",
#   which the main menu does as it takes input); the logos are skipped with the Space key as soon as
#   they show. The wall-clock time from launching the process and the main thread's CPU time up to
#   then are given beside it;
# - CPU time per frame while idling in the main menu at 1280x1024 on Mesa's software OpenGL: the
#   game's own main thread, llvmpipe's rasterising threads and any other thread, each read from
#   /proc/PID/task/TID/schedstat, over a window of idle frames counted exactly: the engine's frame
#   count is read from the running program's memory (the global 'qel' from the symbol table, the
#   member's offset from frame_counter_offset, built with the program);
# - peak resident memory (VmHWM) in the main menu.
# Prints "bench-row:NAME<TAB>FIGURE<TAB>UNIT<TAB>BOUND" lines.
#
# Usage: tests/bench/measure_program.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"; fi
exe="$build/bin/VeskDiruzuri"
datagen="$build/bin/vesk-datagen"
for tool in xdotool python3 nm; do
  command -v "$tool" >/dev/null || { echo "measure_program: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  if [ -n "${presser:-}" ]; then kill "$presser" 2>/dev/null || true; fi
  rm -rf "$work"
}
trap cleanup EXIT
row() { printf 'bench-row:%s\t%s\t%s\t%s\n' "$1" "$2" "$3" "$4"; }
now() { date +%s.%N; }

# Data generation.
start=$(now)
"$datagen" "$work/data" "$work/staging" >"$work/datagen.log" 2>&1
row "data generation (wall clock)" "$(python3 -c "print(f'{$(now) - $start:.2f}')")" s -

# The program runs alone in a PID namespace of its own where the system allows it, so that a copy
# running elsewhere on the machine does not keep it from starting (one copy runs at a time).
launcher=()
if unshare --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --pid --fork --mount-proc)
elif unshare --user --map-root-user --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --user --map-root-user --pid --fork --mount-proc)
fi

# The engine's frame count in a running program: the address of the global 'qel' and the offset of
# the count in the engine object.
qel_symbol=$(nm "$exe" | awk '$3 == "qel" && ($2 == "B" || $2 == "b" || $2 == "D" || $2 == "d") {print $1; exit}')
frame_offset=$("$build/bin/frame_counter_offset")
[ -n "$qel_symbol" ] || { echo "measure_program: no symbol 'qel' in $exe" >&2; exit 1; }

# One sample of a running program: "frames main_ns llvmpipe_ns other_ns".
sample() {
  python3 - "$1" "$exe" "$qel_symbol" "$frame_offset" <<'PY'
import os, sys
pid, exe, symbol, offset = sys.argv[1], os.path.realpath(sys.argv[2]), int(sys.argv[3], 16), int(sys.argv[4])
base = None
for line in open(f"/proc/{pid}/maps"):
    fields = line.split()
    if len(fields) >= 6 and int(fields[2], 16) == 0 and os.path.realpath(fields[5]) == exe:
        base = int(fields[0].split("-")[0], 16)
        break
if base is None:
    sys.exit("measure_program: the program's image is not mapped")
with open(f"/proc/{pid}/mem", "rb") as memory:
    memory.seek(base + symbol)
    engine = int.from_bytes(memory.read(8), "little")
    memory.seek(engine + offset)
    frames = int.from_bytes(memory.read(4), "little", signed=True)
main = llvmpipe = other = 0
for tid in os.listdir(f"/proc/{pid}/task"):
    try:
        comm = open(f"/proc/{pid}/task/{tid}/comm").read().strip()
        ns = int(open(f"/proc/{pid}/task/{tid}/schedstat").read().split()[0])
    except OSError:
        continue
    if tid == pid:
        main += ns
    elif comm.startswith("llvmpipe"):
        llvmpipe += ns
    else:
        other += ns
print(frames, main, llvmpipe, other)
PY
}

# Start the program, skip the logos, let the main menu settle for a second, then sample the idle
# frames over a window, read the peak memory and end the program with SIGTERM.
home="$work/home"
mkdir -p "$home"
log="$home/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.log"
launched=$(now)
VESK_DATA_HOME="$home" SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 "${launcher[@]}" "$exe" >"$home/stdout" 2>&1 &
pid=$!
outer=$pid
if [ ${#launcher[@]} -gt 0 ]; then
  # The program is the launcher's only child.
  pid=
  for _ in $(seq 1 500); do
    pid=$(pgrep -P "$outer" | head -n 1) && [ -n "$pid" ] && break
    sleep 0.01
  done
  [ -n "$pid" ] || { echo "measure_program: the program did not start" >&2; exit 1; }
fi
# The logos close on Space: once loading is over, a helper keeps pressing it (held for a few
# frames and released for a few more, as the program reads the keyboard once per frame) until the
# main menu is there.
presser=
menu_seen=
for _ in $(seq 1 3000); do
  if grep -q "Global::saveUserData(): Saving." "$log" 2>/dev/null; then
    menu_seen=$(now)
    break
  fi
  kill -0 "$pid" 2>/dev/null || { echo "measure_program: the program ended early" >&2; cat "$log" >&2; exit 1; }
  if [ -z "$presser" ] && grep -q "Global::initPostLoader(): Global initialization complete" "$log" 2>/dev/null; then
    (while :; do xdotool keydown space; sleep 0.05; xdotool keyup space; sleep 0.03; done) >/dev/null 2>&1 &
    presser=$!
  fi
  sleep 0.005
done
if [ -n "$presser" ]; then
  kill "$presser" 2>/dev/null || true
  wait "$presser" 2>/dev/null || true
  xdotool keyup space 2>/dev/null || true
fi
[ -n "$menu_seen" ] || { echo "measure_program: no main menu within the time allowed" >&2; cat "$log" >&2; exit 1; }
at_menu=$(sample "$pid")
sleep 1
window=5
first=$(sample "$pid")
sleep "$window"
last=$(sample "$pid")
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
kill -TERM "$pid"
wait "$outer" || { echo "measure_program: the program did not end cleanly" >&2; exit 1; }
pid=

python3 - "$log" "$launched" "$menu_seen" "$at_menu" "$first" "$last" "$window" "$hwm" <<'PY'
import re, sys
log = sys.argv[1]
launched, menu_seen = float(sys.argv[2]), float(sys.argv[3])
at_menu, first, last = ([int(x) for x in a.split()] for a in sys.argv[4:7])
window, hwm = float(sys.argv[7]), int(sys.argv[8])
def row(name, figure, unit, bound="-"):
    print(f"bench-row:{name}\t{figure}\t{unit}\t{bound}")
# The log's time stamps are the milliseconds since the line before.
total_ms = 0
start_to_menu = None
for line in open(log, encoding="utf-8-sig"):
    m = re.match(r"\+(\d+)\t", line)
    if m:
        total_ms += int(m.group(1))
    if "Global::saveUserData(): Saving." in line:
        start_to_menu = total_ms
        break
if start_to_menu is None:
    sys.exit("measure_program: the log lacks the main menu")
row("start to interactive main menu, logos skipped (log)", f"{start_to_menu / 1000:.3f}", "s", "1.5")
row("start to interactive main menu, logos skipped (wall clock from launch)", f"{menu_seen - launched:.3f}", "s")
row("start to interactive main menu: main thread CPU", f"{at_menu[1] / 1e9:.3f}", "s")
frames = last[0] - first[0]
if frames <= 0:
    sys.exit("measure_program: no frames in the idle window")
per_frame = lambda i: (last[i] - first[i]) / frames / 1e6
row("idle main menu 1280x1024: frames per second", f"{frames / window:.1f}", "fps")
row("idle main menu 1280x1024: main thread CPU per frame", f"{per_frame(1):.3f}", "ms", "2")
row("idle main menu 1280x1024: llvmpipe threads CPU per frame", f"{per_frame(2):.3f}", "ms")
row("idle main menu 1280x1024: other threads CPU per frame", f"{per_frame(3):.3f}", "ms")
row("peak resident memory in the main menu", f"{hwm / 1024:.1f}", "MB", "150")
PY
