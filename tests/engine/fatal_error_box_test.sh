#!/usr/bin/env bash
# The fatal-error box of the real program under Xvfb: a crash asked for with Ctrl+Alt+X in the
# main menu shows the box, which waits for OK; SIGTERM or SIGHUP while it waits ends the program
# as OK would: the box goes, the log says so and is copied to the crash log, the crash screenshot
# is there, and the status is 255. Every wait is for a log line, a file or a window.
#
# Usage: fatal_error_box_test.sh PROGRAM [SIGNAL...]   (TERM and HUP by default)
set -u
exe="$1"
shift
signals=("$@")
[ ${#signals[@]} -gt 0 ] || signals=(TERM HUP)
# A display of its own: the box and the keys must not meet other tests' windows.
if [ -z "${FATAL_BOX_OWN_DISPLAY:-}" ]; then
  export FATAL_BOX_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$exe" "${signals[@]}"
fi
for tool in xdotool xwininfo; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing (tools/setup.sh installs it)"; exit 77; }
done
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
# The box is the point: errors are not silenced here.
unset VESK_SILENT_ERRORS
export SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0"
product=VeskDiruzuri
fail() {
  echo "FAIL ($sig): $*"
  [ -f "$log" ] && { echo "--- $log"; grep -v "^	" "$log" | tail -n 40; }
  [ -s "$work/stderr.$sig" ] && { echo "--- stderr"; tail -n 30 "$work/stderr.$sig"; }
  exit 1
}
# wait_for TEXT [SECONDS]: until the log holds the text, the program alive.
wait_for() {
  local limit=$(( ${2:-90} * 20 ))
  for _ in $(seq 1 "$limit"); do
    grep -qF -- "$1" "$log" 2>/dev/null && return 0
    kill -0 "$pid" 2>/dev/null || return 1
    sleep 0.05
  done
  return 1
}
# box_windows: the windows named as the box is (xdotool does not see the box's window, which has
# no class).
box_windows() { xwininfo -root -tree 2>/dev/null | grep -F '"Error": '; }
# running PID: the process runs (an ended one that is not yet waited for does not count).
running() { local state; state=$(ps -o stat= -p "$1" 2>/dev/null); [ -n "$state" ] && [ "${state#Z}" = "$state" ]; }
# press, frame_sync and type_text.
source "$(dirname "$0")/../support/program_keys.sh"

for sig in "${signals[@]}"; do
  echo "== SIG$sig"
  data="$work/data.$sig"
  user="$data/Morvane studios/$product/1.47"
  log="$user/$product.log"
  VESK_DATA_HOME="$data" "$exe" >/dev/null 2>"$work/stderr.$sig" &
  pid=$!
  wait_for "Global::initPostLoader(): Global initialization complete" || fail "loading did not finish"
  # The start screens close on Space; a first start asks for a name over the main menu.
  for _ in $(seq 1 600); do
    grep -qF "ContextManager::tickContents(): ContextPlayerName in front." "$log" && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended"
    press space
  done
  wait_for "ContextManager::tickContents(): ContextPlayerName in front." 5 || fail "no name was asked for"
  type_text Ann || fail "the name could not be typed"
  press Return
  wait_for "Changing profile to 'Ann'" 30 || fail "the name was not taken"
  # The crash hot key, until the program has taken it.
  for _ in $(seq 1 100); do
    grep -qF "Crash requested." "$log" && break
    kill -0 "$pid" 2>/dev/null || fail "the program ended before the crash"
    xdotool keydown ctrl alt x; sleep 0.1; xdotool keyup x alt ctrl; sleep 0.2
  done
  wait_for "Crash requested." 5 || fail "the crash hot key was not taken"
  # The box comes up and waits.
  box=
  for _ in $(seq 1 1200); do
    box=$(box_windows | head -n 1)
    [ -n "$box" ] && break
    if grep -qF "The message box could not be shown" "$log" 2>/dev/null; then
      echo "SKIP: the system's message box cannot show here: $(grep -F "could not be shown" "$log")"
      exit 77
    fi
    kill -0 "$pid" 2>/dev/null || fail "the program ended without waiting for OK"
    sleep 0.05
  done
  [ -n "$box" ] || fail "no error box"
  grep -qF "Forced exit." "$log" && fail "the program went on before the box was answered"
  kill "-$sig" "$pid"
  for _ in $(seq 1 1200); do running "$pid" || break; sleep 0.05; done
  running "$pid" && fail "SIG$sig did not end the program while the box waited"
  wait "$pid"; status=$?
  pid=
  [ "$status" -eq 255 ] || fail "exit status $status after SIG$sig"
  number=$(kill -l "$sig")
  grep -qF "ErrorManager::error(): The message box was closed by signal $number." "$log" || fail "the signal is not logged"
  crashlog="$user/crash.$product.log"
  for line in "Crash requested." "The message box was closed by signal $number." "Forced exit."; do
    grep -qF -- "$line" "$crashlog" || fail "the crash log lacks '$line'"
  done
  [ -s "$user/crash.$product.jpg" ] || fail "no crash screenshot"
  grep -qF "Crash requested." "$work/stderr.$sig" || fail "the report is not on standard error"
  # The box went with the program.
  for _ in $(seq 1 200); do [ -z "$(box_windows)" ] && break; sleep 0.05; done
  [ -z "$(box_windows)" ] || fail "the box outlived the program"
done
echo "PASS"
