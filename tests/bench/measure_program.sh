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
# - the same (and the device's count of fragments shaded per viewport pixel, VESK_DRAW_STATS) in
#   a busy level at 1280x1024: the automatic player's first level, a few seconds in;
# - fragments shaded per viewport pixel in the idle main menu (overdraw);
# - peak resident memory (VmHWM) in the main menu, and the peak of the heap from start through
#   some seconds of the first level, counted by heaptrack.
# Rates divide by the interval measured between samples, each time-stamped as it is taken.
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
outer=
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
  if [ -n "${outer:-}" ]; then kill -KILL "$outer" 2>/dev/null || true; fi
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

# One sample of a running program: "monotonic_s frames main_ns llvmpipe_ns other_ns", the time
# taken as the frame count is read, so that rates divide by the interval actually measured (the
# sampler's own start takes a varying part of a second).
sample() {
  python3 - "$1" "$exe" "$qel_symbol" "$frame_offset" <<'PY'
import os, sys, time
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
    stamp = time.monotonic()
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
print(f"{stamp:.6f}", frames, main, llvmpipe, other)
PY
}

# start_program HOME [VAR=VALUE...]: starts the program (a prefix command in $wrapper, if any) with
# its user data in HOME; sets pid (the program) and outer (what to wait for).
start_program() {
  local home=$1
  shift
  mkdir -p "$home"
  env "$@" VESK_DATA_HOME="$home" SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 VESK_DRAW_STATS=1 \
    "${launcher[@]}" ${wrapper[@]+"${wrapper[@]}"} "$exe" >"$home/stdout" 2>"$home/stderr" &
  pid=$!
  outer=$pid
  if [ ${#launcher[@]} -gt 0 ] || [ -n "${wrapper+x}" ]; then
    find_program || { echo "measure_program: the program did not start" >&2; exit 1; }
  fi
}
# The launcher's (or the wrapper's) descendant that runs the executable (a wrapper may start
# helpers by the same name first).
find_program() {
  [ ${#launcher[@]} -gt 0 ] || [ -n "${wrapper+x}" ] || return 1
  pid=
  for _ in $(seq 1 1000); do
    pid=$(pgrep -f -n "^$exe" | head -n 1) && [ -n "$pid" ] && return 0
    kill -0 "$outer" 2>/dev/null || return 1
    sleep 0.01
  done
  return 1
}
# wait_log LOG TEXT SECONDS: until the log has the line, the program alive.
wait_log() {
  local until=$(($(date +%s) + $3))
  while ! grep -qF "$2" "$1" 2>/dev/null; do
    if ! kill -0 "$pid" 2>/dev/null && ! { sleep 0.2; find_program && kill -0 "$pid" 2>/dev/null; }; then
      echo "measure_program: the program ended before '$2'" >&2
      cat "$1" >&2
      exit 1
    fi
    [ "$(date +%s)" -lt "$until" ] || { echo "measure_program: no '$2' within $3 s" >&2; cat "$1" >&2; exit 1; }
    sleep 0.05
  done
}
stop_program() {
  kill -TERM "$pid"
  # A program that does not end within a minute (heaptrack writes its profile as it ends) is
  # killed, and the run fails instead of hanging.
  local until=$(($(date +%s) + 60))
  while kill -0 "$outer" 2>/dev/null && [ "$(date +%s)" -lt "$until" ]; do sleep 0.1; done
  if kill -0 "$outer" 2>/dev/null; then
    echo "measure_program: the program did not end within a minute of SIGTERM" >&2
    kill -KILL "$pid" "$outer" 2>/dev/null || true
    exit 1
  fi
  wait "$outer" || { echo "measure_program: the program did not end cleanly" >&2; exit 1; }
  pid=
}
# The device's fragment counts printed on standard error from line FROM on: the mean of its
# "per viewport pixel" figures, or "-" when it printed none.
overdraw_since() {
  tail -n +"$2" "$1" | awk '/^GlDevice: .* per viewport pixel$/ {s += $(NF-3); n++} END {if (n) printf "%.3f\n", s / n; else print "-"}'
}

# Start the program, skip the logos, let the main menu settle for a second, then sample the idle
# frames over a window, read the peak memory and end the program with SIGTERM.
home="$work/home"
log="$home/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.log"
launched=$(now)
start_program "$home"
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
  presser=
  xdotool keyup space 2>/dev/null || true
fi
[ -n "$menu_seen" ] || { echo "measure_program: no main menu within the time allowed" >&2; cat "$log" >&2; exit 1; }
at_menu=$(sample "$pid")
sleep 1
window=5
first=$(sample "$pid")
stats_from=$(($(wc -l <"$home/stderr") + 1))
sleep "$window"
last=$(sample "$pid")
menu_overdraw=$(overdraw_since "$home/stderr" "$stats_from")
hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
stop_program

# A busy level: the automatic player starts the first level from the main menu; its frames are
# sampled a few seconds in, while it aims, shoots and the trains run.
level_home="$work/level"
level_log="$level_home/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.log"
start_program "$level_home" VESK_AUTOPLAY=1
wait_log "$level_log" "GameController::startGame(): Starting level 0." 120
sleep 4
level_first=$(sample "$pid")
level_stats_from=$(($(wc -l <"$level_home/stderr") + 1))
sleep "$window"
level_last=$(sample "$pid")
level_overdraw=$(overdraw_since "$level_home/stderr" "$level_stats_from")
stop_program

# The peak of the heap in play, counted by heaptrack over the same path (start, menu, level).
heap_peak=-
if command -v heaptrack >/dev/null && command -v heaptrack_print >/dev/null; then
  heap_home="$work/heap"
  wrapper=(heaptrack -o "$work/heap/profile")
  mkdir -p "$heap_home"
  heap_log="$heap_home/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.log"
  start_program "$heap_home" VESK_AUTOPLAY=1
  wait_log "$heap_log" "GameController::startGame(): Starting level 0." 300
  sleep 8
  stop_program
  unset wrapper
  # (A pattern that matches nothing is no failure here: heaptrack writes one kind of file.)
  profile=
  for candidate in "$work"/heap/profile*.zst "$work"/heap/profile*.gz; do
    if [ -f "$candidate" ]; then profile=$candidate; break; fi
  done
  if [ -n "$profile" ]; then
    # Only the summary is needed: no backtrace tables, and a bounded time to read the profile.
    heap_peak=$(timeout 300 heaptrack_print -f "$profile" -p 0 -a 0 -T 0 -l 0 2>/dev/null |
      awk '/^peak heap memory consumption:/ {print $5}') || heap_peak=-
    [ -n "$heap_peak" ] || heap_peak=-
  else
    echo "measure_program: heaptrack wrote no profile" >&2
  fi
fi

python3 - "$log" "$launched" "$menu_seen" "$at_menu" "$first" "$last" "$hwm" "$level_first" "$level_last" \
  "$menu_overdraw" "$level_overdraw" "$heap_peak" <<'PY'
import re, sys
log = sys.argv[1]
launched, menu_seen = float(sys.argv[2]), float(sys.argv[3])
parse = lambda a: [float(a.split()[0])] + [int(x) for x in a.split()[1:]]
at_menu, first, last = (parse(a) for a in sys.argv[4:7])
hwm = int(sys.argv[7])
level_first, level_last = parse(sys.argv[8]), parse(sys.argv[9])
menu_overdraw, level_overdraw, heap_peak = sys.argv[10], sys.argv[11], sys.argv[12]
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
row("start to interactive main menu, logos skipped (log)", f"{start_to_menu / 1000:.3f}", "s", "0.6")
row("start to interactive main menu, logos skipped (wall clock from launch)", f"{menu_seen - launched:.3f}", "s")
row("start to interactive main menu: main thread CPU", f"{at_menu[2] / 1e9:.3f}", "s")

def frame_rows(label, a, b, all_bound):
    frames = b[1] - a[1]
    if frames <= 0:
        sys.exit(f"measure_program: no frames in the {label} window")
    per_frame = lambda i: (b[i] - a[i]) / frames / 1e6
    row(f"{label}: frames per second", f"{frames / (b[0] - a[0]):.1f}", "fps")
    row(f"{label}: CPU per frame, all threads", f"{per_frame(2) + per_frame(3) + per_frame(4):.3f}", "ms", all_bound)
    row(f"{label}: main thread CPU per frame", f"{per_frame(2):.3f}", "ms", "2" if "menu" in label else "-")
    row(f"{label}: llvmpipe threads CPU per frame", f"{per_frame(3):.3f}", "ms")
    row(f"{label}: other threads CPU per frame", f"{per_frame(4):.3f}", "ms")

frame_rows("idle main menu 1280x1024", first, last, "15")
# A figure that could not be read is a failed row, not a missing one.
row("idle main menu 1280x1024: fragments shaded per viewport pixel (overdraw)", menu_overdraw if menu_overdraw != "-" else "failed", "x", "1.6")
frame_rows("busy level 1280x1024", level_first, level_last, "18")
row("busy level 1280x1024: fragments shaded per viewport pixel (overdraw)", level_overdraw if level_overdraw != "-" else "failed", "x", "1.6")
row("peak resident memory in the main menu", f"{hwm / 1024:.1f}", "MB", "150")
m = re.match(r"([\d.]+)([KMG]?)B?", heap_peak)
if m:
    scale = {"": 1 / 1e6, "K": 1e-3, "M": 1.0, "G": 1e3}[m.group(2)]
    row("peak heap from start through the first level (heaptrack)", f"{float(m.group(1)) * scale:.1f}", "MB", "40")
else:
    row("peak heap from start through the first level (heaptrack)", "failed", "MB", "40")
PY
