#!/usr/bin/env bash
# The real program played by its automatic player (VESK_AUTOPLAY=1), headless, from an empty
# user-data folder: it goes through the logos, the name prompt, the main menu and the map on its
# own, starts level 0, wins it and starts level 1, saving a screenshot ten seconds into the level
# on the way. SIGTERM then ends it with status 0, and the profiles file holds the player at level 1
# with a positive score. The program runs in a PID namespace of its own where the system allows
# it, so that a copy running elsewhere on the machine does not keep it from starting.
# Every wait is on a log line, with generous limits for a loaded machine; a focus loss (which
# pauses the game) fails the test at once with its reason.
set -u
exe="$1"
# An X server of its own, even under a display shared with other tests: a window of theirs taking
# the focus would pause the game (it stands still while the window is in the background).
if [ -z "${VESK_AUTOPLAY_TEST_DISPLAY:-}" ]; then
  export VESK_AUTOPLAY_TEST_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 800x600x24" "$0" "$@"
fi
work=$(mktemp -d)
outer=
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  [ -n "$outer" ] && kill -KILL "$outer" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
product=VeskDiruzuri
user="$work/home/Morvane studios/$product/1.47"
log="$user/$product.log"
fail() {
  echo "FAIL: $*"
  [ -s "$work/stderr" ] && { echo "--- stderr"; tail -n 50 "$work/stderr"; }
  [ -f "$log" ] && { echo "--- $log"; cat "$log"; }
  exit 1
}
command -v python3 >/dev/null || { echo "python3 is missing (tools/setup.sh installs it)"; exit 77; }

launcher=()
if unshare --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --pid --fork --mount-proc)
elif unshare --user --map-root-user --pid --fork --mount-proc true 2>/dev/null; then
  launcher=(unshare --user --map-root-user --pid --fork --mount-proc)
fi
mkdir -p "$work/home"
VESK_AUTOPLAY=1 VESK_DATA_HOME="$work/home" SDL_AUDIODRIVER=dummy "${launcher[@]}" "$exe" 2>"$work/stderr" &
outer=$!
pid=$outer
if [ ${#launcher[@]} -gt 0 ]; then
  # The program is the launcher's only child.
  pid=
  for _ in $(seq 1 1000); do
    pid=$(pgrep -P "$outer" | head -n 1) && [ -n "$pid" ] && break
    sleep 0.01
  done
  [ -n "$pid" ] || fail "the program did not start"
fi

started=$(date +%s)
# wait_line TEXT SECONDS: until the log has the line (counted from the start), the program alive.
wait_line() {
  while ! grep -qF "$1" "$log" 2>/dev/null; do
    kill -0 "$pid" 2>/dev/null || fail "the program ended before '$1'"
    grep -q "Window focus lost." "$log" 2>/dev/null && fail "the window lost the focus before '$1'"
    [ $(($(date +%s) - started)) -lt "$2" ] || fail "no '$1' within $2 s"
    sleep 0.2
  done
}
wait_line "GameController::startGame(): Starting level 0." 150
wait_line "AutoPilot::playLevel(): Screenshot of level 0." 300
wait_line "GameController::startGame(): Starting level 1." 300
echo "level 1 started after $(($(date +%s) - started)) s"

kill -TERM "$pid"
wait "$outer"; status=$?
outer=
pid=
[ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
grep -q "Qel::~Qel(): Done. Clean exit." "$log" || fail "no clean exit"
grep -q "GameController::onLevelResult(): Level 0 result 2." "$log" || fail "level 0 was not won"
ls "$user"/*.bmp >/dev/null 2>&1 || fail "no screenshot was saved"

# The profiles file: a header (name, version, digest, size) and the zlib-packed profiles; the
# current profile's level and score.
python3 - "$user/$product.pro" <<'PY' || fail "the profiles file does not hold level 1 with a score"
import struct, sys, zlib
data = open(sys.argv[1], "rb").read()
size = struct.unpack_from("<I", data, 0x40)[0]
profiles = zlib.decompress(data[0x44:])
assert len(profiles) == size == 18484, len(profiles)
current = struct.unpack_from("<i", profiles, 0)[0]
profile = 4 + 1848 * current
counter = lambda k: struct.unpack_from("<i", profiles, profile + 260 + 264 * k + 260)[0]
name = profiles[profile:profile + 256].split(b"\0")[0].decode()
level, score = counter(0), counter(2)
print(f"profile '{name}': level {level}, score {score}")
sys.exit(0 if level == 1 and score > 0 else 1)
PY
exit 0
