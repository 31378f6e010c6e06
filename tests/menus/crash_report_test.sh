#!/usr/bin/env bash
# The crash report with the real program under Xvfb, against the fake maker service program:
#   1. a run killed by SIGSEGV leaves its dump and crash log; at the next start the crash report is
#      the first screen, NEXT does nothing until the network wizard has run its test and the
#      configuration is accepted; then NEXT sends both files byte for byte and FINISH removes them;
#      the start after that shows no report;
#   2. a run ended by the crash hot key Ctrl+Alt+X leaves its crash log and screenshot; with the
#      service refusing every connection the upload fails, CANCEL keeps the files and the report
#      returns at the next start, where the working service takes them and FINISH removes them.
# Every wait is for a log line or a file, with generous limits for a loaded machine.
#
# Usage: crash_report_test.sh PROGRAM SERVICE_PROGRAM [SCREENSHOT_FOLDER]
set -u
exe="$1"
service="$2"
shots="${3:-}"
# A display of its own, also under a test run's shared one: other tests' windows there would take
# the focus and the clicks.
if [ -z "${CRASH_REPORT_OWN_DISPLAY:-}" ]; then
  export CRASH_REPORT_OWN_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
for tool in xdotool python3; do
  command -v "$tool" >/dev/null || { echo "SKIP: $tool is missing"; exit 77; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -KILL "$p" 2>/dev/null; done
  wait 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1 VESK_SILENT_ERRORS=1
export ASAN_OPTIONS="${ASAN_OPTIONS:-}:detect_leaks=0:handle_segv=0"
product=VeskDiruzuri
data="$work/data"
user="$data/Morvane studios/$product/1.47"
log="$user/$product.log"
crashlog="$user/crash.$product.log"
dump="$user/crash.$product.mdmp"
shot="$user/crash.$product.jpg"
fail() {
  echo "FAIL: $*"
  [ -f "$log" ] && { echo "--- $log"; grep -v "^	" "$log" | tail -n 40; }
  for f in "$work"/stderr.* "$work"/service.*.err; do [ -s "$f" ] && { echo "--- $f"; tail -n 20 "$f"; }; done
  exit 1
}
step() { echo "== $*"; }

# The program runs in a PID namespace of its own where the system allows it, so that a copy
# running elsewhere on the machine does not keep it from starting. A shell is the namespace's
# first process: the first process ignores signals it does not handle, so the program itself would
# survive its crash handler's re-raised SIGSEGV.
launcher=()
inner=(sh -c '"$@" & wait $!' sh)
if unshare --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --pid --fork --mount-proc "${inner[@]}")
elif unshare --user --map-root-user --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --user --map-root-user --pid --fork --mount-proc "${inner[@]}")
fi

# wait_for TEXT [FILE] [SECONDS]: until the file (the log by default) holds the text.
wait_for() {
  local file="${2:-$log}" limit=$(( ${3:-60} * 20 ))
  for _ in $(seq 1 "$limit"); do grep -qF -- "$1" "$file" 2>/dev/null && return 0; sleep 0.05; done
  return 1
}
# count TEXT: how many log lines hold the text.
count() { grep -cF -- "$1" "$log" 2>/dev/null || true; }

# start_service NAME [ARGS...]: the service program; its host in $host.
start_service() {
  local name="$1"; shift
  mkdir -p "$work/rec.$name"
  "$service" --record "$work/rec.$name" "$@" >"$work/service.$name.out" 2>"$work/service.$name.err" &
  pids+=($!)
  service_pid=$!
  for _ in $(seq 1 400); do [ -s "$work/service.$name.out" ] && break; sleep 0.05; done
  host="127.0.0.1:$(head -n 1 "$work/service.$name.out")"
  [ -s "$work/service.$name.out" ] || fail "the service $name did not start"
}

# start_game NAME: the program against $host, with a fresh log; its pid in $game (the process
# itself, inside the namespace launcher when there is one) and the launcher's in $outer.
start_game() {
  rm -f "$log"
  VESK_DATA_HOME="$data" VESK_MAKER_HOST="$host" "${launcher[@]}" "$exe" >"$work/stdout.$1" 2>"$work/stderr.$1" &
  outer=$!
  pids+=("$outer")
  game=$outer
  if [ ${#launcher[@]} -gt 0 ]; then
    game=
    # The program is the only child of the namespace's shell, the launcher's only child.
    for _ in $(seq 1 500); do
      local shell
      shell=$(pgrep -P "$outer" | head -n 1)
      [ -n "$shell" ] && game=$(pgrep -P "$shell" | head -n 1) && [ -n "$game" ] && break
      sleep 0.01
    done
    [ -n "$game" ] || fail "$1: the program did not start"
  fi
  wait_for "Global::initPostLoader(): Global initialization complete" "$log" 90 || fail "$1: loading did not finish"
  window=
  for _ in $(seq 1 400); do
    window=$(xdotool search --onlyvisible --name "^Vesk" 2>/dev/null | head -n 1) && [ -n "$window" ] && break
    sleep 0.05
  done
  [ -n "$window" ] || fail "$1: no window"
}
# stop_game: SIGTERM and a clean exit.
stop_game() {
  kill -TERM "$game"
  wait "$outer"; local status=$?
  [ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
}

# click X Y: a press and release at a point of the 800 by 480 layout (origin in the middle, y up),
# mapped onto the window as the program maps it (scaled to fit, aspect kept, centred).
click() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  read -r px py < <(python3 -c "
w, h, x, y = $WIDTH, $HEIGHT, $1, $2
s = min(w / 800, h / 480)
print(int($X + w / 2 + x * s), int($Y + h / 2 - y * s))")
  # Held long enough for the program to see the press in a frame of its own, also when a loaded
  # machine makes its frames slow.
  xdotool mousemove "$px" "$py"; sleep 0.2
  xdotool mousedown 1; sleep 0.4
  xdotool mouseup 1; sleep 0.3
}
# click_until TEXT X Y: clicks until the log holds the text (a few tries, each waited for): for
# clicks that are harmless to repeat until they take.
click_until() {
  local text="$1"; shift
  for _ in 1 2 3 4 5 6; do
    click "$@"
    wait_for "$text" "$log" 5 && return 0
  done
  return 1
}
# The buttons of the online pages, and the wizard's run-on-desktop row.
NEXT="305 -200"; CANCEL="-305 -200"; WIZARD="0 -200"; DESKTOP_ROW="305 -150"

# screenshot NAME: the program's own screenshot key (F9), kept as NAME.png when a folder was given.
screenshot() {
  [ -n "$shots" ] || return 0
  mkdir -p "$shots"
  local before
  before=$(ls "$user"/*.bmp 2>/dev/null | wc -l)
  xdotool keydown F9; sleep 0.15; xdotool keyup F9
  for _ in $(seq 1 200); do [ "$(ls "$user"/*.bmp 2>/dev/null | wc -l)" -gt "$before" ] && break; sleep 0.05; done
  local bmp
  bmp=$(ls -t "$user"/*.bmp 2>/dev/null | head -n 1)
  [ -n "$bmp" ] || { echo "no screenshot for $1"; return 0; }
  # Until the file has stopped growing.
  local size=-1 now
  for _ in $(seq 1 100); do
    now=$(wc -c <"$bmp")
    [ "$now" -gt 0 ] && [ "$now" -eq "$size" ] && break
    size=$now
    sleep 0.05
  done
  python3 - "$bmp" "$shots/$1.png" <<'PY'
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
offset, = struct.unpack_from("<I", data, 10)
width, height, _, bits = struct.unpack_from("<iiHH", data, 18)
stride = (width * bits // 8 + 3) & ~3
rows = []
for r in range(abs(height)):
    src = height - 1 - r if height > 0 else r
    row = data[offset + src * stride: offset + src * stride + width * bits // 8]
    px = bytearray()
    step = bits // 8
    for i in range(0, len(row), step):
        px += bytes((row[i + 2], row[i + 1], row[i]))
    rows.append(b"\0" + bytes(px))
def chunk(kind, body):
    return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body) & 0xffffffff)
png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, abs(height), 8, 2, 0, 0, 0))
png += chunk(b"IDAT", zlib.compress(b"".join(rows), 6)) + chunk(b"IEND", b"")
open(sys.argv[2], "wb").write(png)
PY
  rm -f "$bmp"
}

# check_sent REC INDEX FILE PART: the service received the file as that part, named by its full
# path, with its exact bytes.
check_sent() {
  local rec="$1" index="$2" file="$3" part="$4"
  grep -qF "	$part	$file	" "$rec/requests.txt" || fail "$part was not sent as '$file'"
  cmp -s "$rec/$index-$part.bin" "$work/sent/$(basename "$file")" || fail "$part did not arrive byte for byte"
}
# keep_copies FILE...: the crash files as they were before the upload.
keep_copies() { rm -rf "$work/sent"; mkdir -p "$work/sent"; for f in "$@"; do cp "$f" "$work/sent/"; done; }
# upload_and_finish REC FILES...: NEXT on the report (configured), the files arrive, FINISH removes them.
upload_and_finish() {
  local rec="$1"; shift
  local connected
  connected=$(count "> Connected.")
  # NEXT until the upload starts: a click that lands while another page (the configuration page
  # closing) is still in front only finishes that page.
  click_until "> Uploading error data (" $NEXT || fail "NEXT did not start the upload"
  for _ in $(seq 1 1200); do [ "$(count "> Connected.")" -gt "$connected" ] && break; sleep 0.05; done
  [ "$(count "> Connected.")" -gt "$connected" ] || fail "the upload did not finish"
  wait_for "/vesk/crashreport.php 200" "$rec/requests.txt" 20 || fail "the service did not take the report"
  local index
  index=$(grep "/vesk/crashreport.php 200" "$rec/requests.txt" | tail -n 1 | cut -d' ' -f1)
  for f in "$@"; do
    case "$f" in
      *.log) check_sent "$rec" "$index" "$f" crashLog ;;
      *.mdmp) check_sent "$rec" "$index" "$f" crashMiniDump ;;
      *.jpg) check_sent "$rec" "$index" "$f" crashScreenshot ;;
    esac
  done
  [ "$(grep -c "^	" "$rec/requests.txt")" -ge $((4 + $#)) ] || fail "parts are missing"
  screenshot finished-upload
  click $NEXT
  for _ in $(seq 1 400); do [ -e "$crashlog" ] || [ -e "$dump" ] || [ -e "$shot" ] || break; sleep 0.05; done
  for f in "$crashlog" "$dump" "$shot"; do [ -e "$f" ] && fail "FINISH left $f"; done
  return 0
}

start_service ok --payload "masterServer=127.0.0.1:23006
message=Network test passed."
ok_host=$host
ok_rec="$work/rec.ok"

step "round 1: SIGSEGV"
start_game first
kill -SEGV "$game"
wait "$outer"
[ -s "$dump" ] || fail "no crash dump after SIGSEGV"
[ -s "$crashlog" ] || fail "no crash log after SIGSEGV"
[ -e "$shot" ] && fail "a screenshot after SIGSEGV"
keep_copies "$crashlog" "$dump"

start_game report1
grep -qF "> Oops! The game stopped unexpectedly last time." "$log" || fail "no crash report after the crash"
grep -qF "> The network has not been set up yet." "$log" || fail "no wizard lines"
screenshot crash-page
# NEXT is disabled: clicking it sends nothing. The wizard button opens the network test.
click $NEXT
click_until "> Let's make sure the game can reach the internet." $WIZARD || fail "the wizard button did nothing"
grep -qF "> Uploading error data (" "$log" && fail "NEXT sent the report before the network was set up"
[ -s "$ok_rec/requests.txt" ] && grep -q crashreport "$ok_rec/requests.txt" && fail "a report reached the service early"
# The test without switching to a window, then the configuration page, accepted.
click $DESKTOP_ROW
click_until "> Starting..." $NEXT || fail "the network test did not start"
grep -qF "Restarting to apply configuration." "$log" && fail "the test switched to a window"
wait_for "nettest.php 200" "$ok_rec/requests.txt" 60 || fail "the network test did not reach the service"
wait_for "> Done." "$log" 30 || fail "the network test did not finish"
# NEXT to the configuration page, whose NEXT accepts it.
click_until "ContextManager::tickContents(): ContextNetworkConfig in front." $NEXT || fail "NEXT did not open the configuration page"
click_until "ContextManager::tickContents(): ContextErrorReport in front again." $NEXT || fail "the configuration was not accepted"
# Back on the report: NEXT sends.
upload_and_finish "$ok_rec" "$crashlog" "$dump"
stop_game

start_game clean1
grep -qF "> Oops!" "$log" && fail "the report came back after it was sent"
stop_game

step "round 2: Ctrl+Alt+X"
start_game hotkey
# The logos close on Space; the main menu takes the hot key.
for _ in $(seq 1 600); do
  grep -qF "Global::saveUserData(): Saving." "$log" && break
  xdotool keydown space; sleep 0.05; xdotool keyup space; sleep 0.05
done
grep -qF "Global::saveUserData(): Saving." "$log" || fail "no main menu"
# A first start asks for the player's name over the main menu; the menu saves again when it is
# back in front.
wait_for "ContextManager::tickContents(): ContextPlayerName in front." "$log" 30 || fail "no name was asked for"
xdotool type --delay 100 Ann; sleep 0.2
xdotool keydown Return; sleep 0.15; xdotool keyup Return
for _ in $(seq 1 400); do [ "$(count "Global::saveUserData(): Saving.")" -ge 2 ] && break; sleep 0.05; done
[ "$(count "Global::saveUserData(): Saving.")" -ge 2 ] || fail "the name was not taken"
for _ in $(seq 1 100); do
  kill -0 "$game" 2>/dev/null || break
  xdotool keydown ctrl alt x; sleep 0.1; xdotool keyup x alt ctrl; sleep 0.2
done
kill -0 "$game" 2>/dev/null && fail "the crash hot key did not end the program"
wait "$outer"; status=$?
[ "$status" -eq 255 ] || fail "exit status $status after the crash hot key"
grep -qF "Crash requested." "$crashlog" || fail "no crash log after the hot key"
[ -s "$shot" ] || fail "no crash screenshot after the hot key"
keep_copies "$crashlog" "$shot"

step "round 2: the service refuses"
start_service refusing --fault refused
start_game refused
grep -qF "> Oops!" "$log" || fail "no crash report after the hot key"
grep -qF "> The network has not been set up yet." "$log" && fail "wizard lines although set up"
click_until "> Uploading error data (" $NEXT || fail "NEXT did not start the upload"
wait_for "> Failed." "$log" 60 || fail "no failure shown"
click $CANCEL
stop_game
[ -e "$crashlog" ] && [ -e "$shot" ] || fail "CANCEL after a failed upload removed the files"

step "round 2: sent at the next start"
host=$ok_host
start_game report2
grep -qF "> Oops!" "$log" || fail "the report did not come back after the failure"
upload_and_finish "$ok_rec" "$crashlog" "$shot"
stop_game
start_game clean2
grep -qF "> Oops!" "$log" && fail "the report came back after it was sent"
stop_game
echo "PASS"
