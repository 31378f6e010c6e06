#!/usr/bin/env bash
# Runs the real program headless, one scenario per call:
#   basic         built once its window has focus; a second copy says it is already running and
#                 ends with status 0; SIGTERM shuts down cleanly with status 0; a crash leaves the
#                 crash files
#   simultaneous  of two copies started together exactly one runs, several times over
#   other-user    a copy with another user's data folder runs beside the first; SIGHUP (a closed
#                 terminal) ends it cleanly with its files saved
#   pipe          a named pipe in place of a user file neither hangs the start nor is replaced
#   read-only     a read-only user folder (for root a read-only bind mount in a mount namespace of
#                 its own; exit 77, skipped, where the system forbids one) leaves the program
#                 running and the old files intact, and says so
# Every scenario runs beside a decoy process of the program's name: the one-copy rule is the user's
# lock, not a process name, so no other process on the machine can stop these tests.
set -u
exe="$1"
scenario="${2:-basic}"
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy
product=VeskDiruzuri
folder_of() { echo "$1/Morvane studios/$product/1.47"; }
data="$work/data"
user="$(folder_of "$data")"
log="$user/$product.log"
fail() {
  echo "FAIL ($scenario): $*"
  for f in "$work"/stderr.*; do [ -s "$f" ] && { echo "--- $f"; cat "$f"; }; done
  [ -f "$log" ] && { echo "--- $log"; cat "$log"; }
  exit 1
}

# A process that only carries the program's name.
mkdir -p "$work/decoy"
cp "$(command -v sleep)" "$work/decoy/$product"
"$work/decoy/$product" 600 & pids+=($!)

# start NAME [DATA]: starts a copy with its standard error in stderr.NAME; its pid in $started.
start() {
  VESK_DATA_HOME="${2:-$data}" "$exe" 2>"$work/stderr.$1" &
  started=$!
  pids+=("$started")
}
# wait_for_loop LOG: until the engine of that log has entered its game loop.
wait_for_loop() {
  for _ in $(seq 1 400); do grep -q "createQEL(): Entering game loop." "$1" 2>/dev/null && return 0; sleep 0.05; done
  return 1
}
# wait_gone PID: until the process has ended (at most 20 s); false when it still runs.
wait_gone() {
  for _ in $(seq 1 400); do kill -0 "$1" 2>/dev/null || return 0; sleep 0.05; done
  return 1
}
# stop PID SIGNAL: sends the signal and checks the clean exit with status 0.
stop() {
  kill "-$2" "$1"
  wait "$1"; local status=$?
  [ "$status" -eq 0 ] || fail "exit status $status after SIG$2"
}
check_clean_exit() {
  grep -q "deleteQEL(): QEL shutting down..." "$1" || fail "no shutdown line"
  grep -q "Qel::~Qel(): Rendered [1-9][0-9]* frames" "$1" || fail "no frames were run"
  grep -q "Qel::~Qel(): Done. Clean exit." "$1" || fail "no clean exit"
}
check_refused() {  # the copy's stderr holds exactly the one line
  [ "$(cat "$work/stderr.$1")" = "$product is already running." ] || fail "copy $1 did not say it was already running"
}

case "$scenario" in
basic)
  start first; pid=$started
  wait_for_loop "$log" || fail "the engine was not built"
  for line in "Application: $product" "Executing " "Current directory: " "Log file: " "Log date: "; do
    grep -q "$line" "$log" || fail "header line '$line' missing"
  done
  start second
  wait_gone "$started" || fail "the second copy runs"
  wait "$started"; second=$?
  [ "$second" -eq 0 ] || fail "second copy exited with $second"
  check_refused second
  kill -0 "$pid" 2>/dev/null || fail "first copy ended when the second started"
  [ "$(grep -c "Entering game loop." "$log")" -eq 1 ] || fail "the second copy built an engine"
  stop "$pid" TERM
  check_clean_exit "$log"

  # A crash leaves the dump and a copy of the log.
  rm -f "$log"
  start crash; pid=$started
  wait_for_loop "$log" || fail "the engine was not built again"
  kill -SEGV "$pid"
  wait "$pid"; status=$?
  [ "$status" -eq 139 ] || fail "exit status $status after SIGSEGV"
  grep -q "^Signal: 11 (SIGSEGV)" "$user/crash.$product.mdmp" || fail "no crash dump"
  grep -q "createQEL(): Entering game loop." "$user/crash.$product.log" || fail "no crash log"
  ;;

simultaneous)
  for round in 1 2 3; do
    rm -f "$log"
    start "a$round"; a=$started
    start "b$round"; b=$started
    # The copy that does not get the lock ends at once; the other runs on.
    ended=""
    for _ in $(seq 1 400); do
      if ! kill -0 "$a" 2>/dev/null; then ended=a; break; fi
      if ! kill -0 "$b" 2>/dev/null; then ended=b; break; fi
      sleep 0.05
    done
    [ -n "$ended" ] || fail "round $round: both copies run"
    if [ "$ended" = a ]; then loser=$a; winner=$b; else loser=$b; winner=$a; fi
    wait "$loser"; status=$?
    [ "$status" -eq 0 ] || fail "round $round: the refused copy exited with $status"
    check_refused "$ended$round"
    wait_for_loop "$log" || fail "round $round: neither copy runs"
    kill -0 "$winner" 2>/dev/null || fail "round $round: neither copy runs"
    [ "$(grep -c "Entering game loop." "$log")" -eq 1 ] || fail "round $round: both copies built an engine"
    stop "$winner" TERM
  done
  ;;

other-user)
  start mine; mine=$started
  wait_for_loop "$log" || fail "the engine was not built"
  other="$work/other"
  otherUser="$(folder_of "$other")"
  start theirs "$other"; theirs=$started
  wait_for_loop "$otherUser/$product.log" || fail "another user's copy did not run"
  kill -0 "$mine" 2>/dev/null || fail "the first copy ended"
  stop "$theirs" HUP
  check_clean_exit "$otherUser/$product.log"
  for file in pro hst cfg; do [ -s "$otherUser/$product.$file" ] || fail "SIGHUP: .$file not saved"; done
  stop "$mine" TERM
  ;;

pipe)
  mkdir -p "$user"
  mkfifo "$user/$product.pro"
  start piped; pid=$started
  wait_for_loop "$log" || fail "a pipe in place of the profiles hung the start"
  grep -q "cannot be read (it is a named pipe, not a regular file)" "$log" || fail "the pipe is not logged"
  stop "$pid" TERM
  check_clean_exit "$log"
  [ -p "$user/$product.pro" ] || fail "the pipe was replaced"
  ;;

read-only)
  # Old files first, from a normal run.
  start first; pid=$started
  wait_for_loop "$log" || fail "the engine was not built"
  stop "$pid" TERM
  for file in pro hst cfg; do cp "$user/$product.$file" "$work/old.$file"; done
  # The folder read-only in a mount namespace of the program's own: root ignores file modes.
  if [ "$(id -u)" -eq 0 ]; then
    wrap=(unshare --mount --propagation private sh -c 'mount --bind "$1" "$1" && mount -o remount,bind,ro "$1" && shift && exec "$@"' sh "$user")
    # Without one (a container that forbids it) the case cannot be made real here: reported as
    # skipped (77), never as passed. The unit tests still cover it.
    "${wrap[@]}" true 2>/dev/null || { echo "SKIPPED: root without a mount namespace cannot make a read-only folder"; exit 77; }
  else
    chmod 555 "$user"
    wrap=()
  fi
  rm -f "$work/stderr.ro"
  VESK_DATA_HOME="$data" "${wrap[@]}" "$exe" 2>"$work/stderr.ro" & pid=$!; pids+=("$pid")
  # No log can be made there; the game is up once it has mounted its data archive, which comes
  # after reading the user files.
  up=""
  for _ in $(seq 1 600); do
    ls -l "/proc/$pid/fd" 2>/dev/null | grep -q "/$product\.dat\$" && { up=1; break; }
    sleep 0.05
  done
  [ -n "$up" ] || fail "the program did not start"
  grep -q "Could not create the log file '$log'" "$work/stderr.ro" || fail "the unwritable log is not reported"
  # It runs on: its window comes up after the start-up it could not log.
  if command -v xdotool >/dev/null; then
    shown=""
    for _ in $(seq 1 1200); do
      kill -0 "$pid" 2>/dev/null || break
      xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1 && { shown=1; break; }
      sleep 0.05
    done
    [ -n "$shown" ] || fail "the program did not keep running to show its window"
  fi
  kill -0 "$pid" 2>/dev/null || fail "the program did not keep running"
  stop "$pid" TERM
  [ "$(id -u)" -eq 0 ] || chmod 755 "$user"
  for file in pro hst cfg; do
    cmp -s "$user/$product.$file" "$work/old.$file" || fail ".$file changed"
    [ "$(grep -c "Could not save '$user/$product.$file'" "$work/stderr.ro")" -eq 1 ] || fail ".$file: not said once on standard error"
  done
  ;;

*) fail "unknown scenario" ;;
esac
echo "PASS"
