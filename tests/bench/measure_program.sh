#!/usr/bin/env bash
# Whole-program measures of a build (tools/bench.sh passes its release build folder):
# - data generation: the data generator's wall-clock time for every archive, settings file and guide;
# - start to an interactive main menu with the logos skipped: from the log's time stamps, from the
#   engine's first log line to the main menu coming to the front ("Global::saveUserData(): Saving.",
#   which the main menu does as it takes input); the logos are skipped with the Space key as soon as
#   they show. The wall-clock time from launching the process is given beside it;
# - CPU time per frame while idling in the main menu at 1280x1024 on Mesa's software OpenGL: the
#   game's own main thread, llvmpipe's rasterising threads and any other thread, each read from
#   /proc/PID/task/TID/schedstat. Frames come from the engine's closing log line ("Rendered N
#   frames"): two runs that idle for different times are compared, so that loading and the logos
#   drop out and only idle frames remain;
# - peak resident memory (VmHWM) in the main menu.
# Prints "bench-row:NAME<TAB>FIGURE<TAB>UNIT<TAB>BOUND" lines.
#
# Usage: tests/bench/measure_program.sh BUILD_FOLDER
set -euo pipefail
build=$(cd "$1" && pwd)
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"; fi
exe="$build/bin/VeskDiruzuri"
datagen="$build/bin/vesk-datagen"
for tool in xdotool python3; do
  command -v "$tool" >/dev/null || { echo "measure_program: $tool is missing (tools/setup.sh installs it)" >&2; exit 1; }
done

work=$(mktemp -d)
pid=
cleanup() {
  if [ -n "$pid" ]; then kill -KILL "$pid" 2>/dev/null || true; fi
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

# The per-thread CPU of a process: "main llvmpipe other" in nanoseconds.
thread_cpu() {
  python3 - "$1" <<'EOF'
import os, sys
pid = sys.argv[1]
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
print(main, llvmpipe, other)
EOF
}

# One run: start the program, skip the logos, idle in the main menu for $1 seconds, then read the
# threads' CPU and the peak memory, end it with SIGTERM and read its log.
# Prints "launch_to_menu_wall_s log_start_to_menu_ms frames main_ns llvmpipe_ns other_ns hwm_kb
# idle_s".
run_program() {
  local idle=$1 home="$work/home$1"
  mkdir -p "$home"
  local log="$home/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.log"
  local launched menu_seen=
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
    [ -n "$pid" ] || { echo "measure_program: the program did not start" >&2; return 1; }
  fi
  for _ in $(seq 1 1500); do
    if grep -q "Global::saveUserData(): Saving." "$log" 2>/dev/null; then
      menu_seen=$(now)
      break
    fi
    kill -0 "$pid" 2>/dev/null || { echo "measure_program: the program ended early" >&2; cat "$log" >&2; return 1; }
    # The logos close on Space; before they show, the key does nothing. The key is held for a few
    # frames, as the program reads the keyboard's state once per frame.
    if grep -q "Global::initPostLoader(): Global initialization complete" "$log" 2>/dev/null; then
      xdotool keydown space 2>/dev/null || true
      sleep 0.03
      xdotool keyup space 2>/dev/null || true
    fi
    sleep 0.01
  done
  [ -n "$menu_seen" ] || { echo "measure_program: no main menu within 15 s" >&2; cat "$log" >&2; return 1; }
  sleep "$idle"
  local cpu hwm sampled
  sampled=$(now)
  cpu=$(thread_cpu "$pid")
  hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status")
  kill -TERM "$pid"
  wait "$outer" || { echo "measure_program: the program did not end cleanly" >&2; return 1; }
  pid=
  python3 - "$log" "$launched" "$menu_seen" "$cpu" "$hwm" "$sampled" <<'EOF'
import re, sys
log, launched, menu_seen, cpu, hwm, sampled = sys.argv[1], float(sys.argv[2]), float(sys.argv[3]), sys.argv[4], sys.argv[5], float(sys.argv[6])
total_ms = 0
start_to_menu = None
frames = None
for line in open(log, encoding="utf-8-sig"):
    m = re.match(r"\+(\d+)\t", line)
    if m:
        total_ms += int(m.group(1))
    if start_to_menu is None and "Global::saveUserData(): Saving." in line:
        start_to_menu = total_ms
    m = re.search(r"Qel::~Qel\(\): Rendered (\d+) frames", line)
    if m:
        frames = int(m.group(1))
if start_to_menu is None or frames is None:
    sys.exit("measure_program: the log lacks the main menu or the frame count")
print(f"{menu_seen - launched:.3f} {start_to_menu} {frames} {cpu} {hwm} {sampled - menu_seen:.3f}")
EOF
}

short=$(run_program 2)
long=$(run_program 8)
python3 - "$short" "$long" <<'EOF'
import sys
a = [float(x) for x in sys.argv[1].split()]
b = [float(x) for x in sys.argv[2].split()]
def row(name, figure, unit, bound="-"):
    print(f"bench-row:{name}\t{figure}\t{unit}\t{bound}")
# Start: the slower of the two runs.
row("start to interactive main menu, logos skipped (log)", f"{max(a[1], b[1]) / 1000:.3f}", "s", "1.5")
row("start to interactive main menu, logos skipped (wall clock from launch)", f"{max(a[0], b[0]):.3f}", "s")
frames = b[2] - a[2]
if frames <= 0:
    sys.exit("measure_program: no idle frames between the two runs")
per_frame = lambda i: (b[i] - a[i]) / frames / 1e6
row("idle main menu 1280x1024: frames per second", f"{frames / (b[7] - a[7]):.1f}", "fps")
row("idle main menu 1280x1024: main thread CPU per frame", f"{per_frame(3):.3f}", "ms", "2")
row("idle main menu 1280x1024: llvmpipe threads CPU per frame", f"{per_frame(4):.3f}", "ms")
row("idle main menu 1280x1024: other threads CPU per frame", f"{per_frame(5):.3f}", "ms")
row("peak resident memory in the main menu", f"{max(a[6], b[6]) / 1024:.1f}", "MB", "150")
EOF
