#!/usr/bin/env bash
# Runs the real program headless: it must be built once its window has focus, ignore a second
# copy, shut down cleanly with status 0 on SIGTERM, and leave the crash files when it crashes.
set -u
exe="$1"
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi
data=$(mktemp -d)
trap 'rm -rf "$data"' EXIT
export VESK_DATA_HOME="$data" SDL_AUDIODRIVER=dummy
log="$data/Morvane studios/VeskDiruzuri/1.47/VeskDiruzuri.log"
fail() { echo "FAIL: $*"; [ -f "$log" ] && cat "$log"; kill -KILL "$pid" 2>/dev/null; exit 1; }

"$exe" & pid=$!
for _ in $(seq 1 200); do grep -q "createQEL(): Entering game loop." "$log" 2>/dev/null && break; sleep 0.05; done
grep -q "createQEL(): Entering game loop." "$log" 2>/dev/null || fail "the engine was not built"
for line in "Application: VeskDiruzuri" "Executing " "Current directory: " "Log file: " "Log date: "; do
  grep -q "$line" "$log" || fail "header line '$line' missing"
done

timeout 20 "$exe"; second=$?
[ "$second" -eq 0 ] || fail "second copy exited with $second"
kill -0 "$pid" 2>/dev/null || fail "first copy ended when the second started"
[ "$(grep -c "Entering game loop." "$log")" -eq 1 ] || fail "the second copy built an engine"

kill -TERM "$pid"
wait "$pid"; status=$?
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
grep -q "deleteQEL(): QEL shutting down..." "$log" || fail "no shutdown line"
grep -q "Qel::~Qel(): Rendered [1-9][0-9]* frames" "$log" || fail "no frames were run"
grep -q "Qel::~Qel(): Done. Clean exit." "$log" || fail "no clean exit"

# A crash leaves the dump and a copy of the log.
rm -f "$log"
"$exe" & pid=$!
for _ in $(seq 1 200); do grep -q "createQEL(): Entering game loop." "$log" 2>/dev/null && break; sleep 0.05; done
kill -SEGV "$pid"
wait "$pid"; status=$?
[ "$status" -eq 139 ] || fail "exit status $status after SIGSEGV"
dump="$data/Morvane studios/VeskDiruzuri/1.47/crash.VeskDiruzuri.mdmp"
grep -q "^Signal: 11 (SIGSEGV)" "$dump" || fail "no crash dump"
grep -q "createQEL(): Entering game loop." "$data/Morvane studios/VeskDiruzuri/1.47/crash.VeskDiruzuri.log" || fail "no crash log"
echo "PASS"
