#!/usr/bin/env bash
# The real program, headless, from an empty user-data folder: the intro, a name for the player,
# main menu -> Start game -> world map -> Play -> level 1-1. SIGTERM in play ends it with status 0
# and leaves the saved game, ending in 78 56 34 12, with its flag. The next start finds it
# ("...success."), the map's button continues the level, and SIGTERM ends it with status 0 again.
# With VESK_E2E_SHOTS set to a folder, the program's own screenshots (F9) of the map and the level
# are kept there. Every wait is for a log line or a file, never a fixed time. Exit 77 (skipped)
# without xdotool.
#
# Usage: tests/game/saved_game_test.sh PROGRAM
set -u
exe="$1"
command -v xdotool >/dev/null || { echo "saved_game_test: xdotool is missing (tools/setup.sh installs it)"; exit 77; }
# A screen of its own, of a known size: the clicks below are window pixels on it.
if [ -z "${VESK_E2E_SCREEN:-}" ]; then VESK_E2E_SCREEN=1 exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"; fi
work=$(mktemp -d)
pid=
cleanup() {
  [ -n "$pid" ] && kill -KILL "$pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy VESK_DATA_HOME="$work/data"
user="$work/data/Morvane studios/VeskDiruzuri/1.47"
log="$user/VeskDiruzuri.log"
shots="${VESK_E2E_SHOTS:-}"
fail() {
  echo "FAIL: $*"
  [ -f "$log" ] && { echo "--- $log"; tail -n 60 "$log"; }
  [ -s "$work/stderr" ] && { echo "--- stderr"; tail -n 30 "$work/stderr"; }
  exit 1
}
count() {
  local n
  n=$(grep -c -- "$1" "$log" 2>/dev/null)
  echo "${n:-0}"
}
# until LINE N: waits (at most 60 s) until the log holds LINE more than N times.
until_logged() {
  for _ in $(seq 1 600); do [ "$(count "$1")" -gt "$2" ] && return 0; sleep 0.1; done
  return 1
}
# click_until X Y LINE: clicks the window pixel until the log holds LINE once more (at most 20 tries).
click_until() {
  local before
  before=$(count "$3")
  for _ in $(seq 1 20); do
    xdotool mousemove "$1" "$2" sleep 0.2 click 1
    for _ in $(seq 1 15); do [ "$(count "$3")" -gt "$before" ] && return 0; sleep 0.1; done
  done
  return 1
}
# press, frame_sync and type_text.
source "$(dirname "$0")/../support/program_keys.sh"
# shot NAME: the program's screenshot, kept when asked for once the file has stopped growing.
shot() {
  [ -n "$shots" ] || return 0
  mkdir -p "$shots"
  rm -f "$user"/*.bmp
  press F9
  local size=-1 now
  for _ in $(seq 1 100); do
    now=$(cat "$user"/*.bmp 2>/dev/null | wc -c)
    [ "$now" -gt 0 ] && [ "$now" -eq "$size" ] && break
    size=$now
    sleep 0.1
  done
  mv "$user"/*.bmp "$shots/$1.bmp" 2>/dev/null || true
}
# in_play: until the level is being played. The game saves when its window loses the focus in
# play (not before, while the whistle blows): the focus goes to the root window and comes back,
# each time after the program has logged the change, until a save is logged.
in_play() {
  local root window saves lost gained paused
  root=$(xwininfo -root | awk '/Window id:/ {print $4}')
  window=$(xdotool search --name "^Vesk" | head -n 1)
  [ -n "$root" ] && [ -n "$window" ] || return 1
  for _ in $(seq 1 60); do
    saves=$(count "GameController::save(): Saving game to")
    lost=$(count "Window focus lost.")
    gained=$(count "Window focus gained.")
    paused=$(count "Changing mode from 3 to 2.")
    xdotool windowfocus "$root"
    until_logged "Window focus lost." "$lost" || return 1
    # The frame after the loss pauses the engine (mode 3 to 2), which saves a level in play.
    until_logged "Changing mode from 3 to 2." "$paused" || return 1
    xdotool windowfocus "$window"
    until_logged "Window focus gained." "$gained" || return 1
    [ "$(count "GameController::save(): Saving game to")" -gt "$saves" ] && return 0
  done
  return 1
}
start() {
  "$exe" 2>"$work/stderr" &
  pid=$!
  until_logged "Global initialization complete" 0 || fail "the program did not get going"
  # The intro gives way to the main menu (which saves the user data as it comes up).
  click_until 640 512 "Global::saveUserData(): Saving." || fail "no main menu"
}
stop() {
  kill -TERM "$pid"
  wait "$pid"
  local status=$?
  pid=
  [ "$status" -eq 0 ] || fail "exit status $status after SIGTERM"
  grep -q "Qel::~Qel(): Done. Clean exit." "$log" || fail "no clean exit"
}
# Window pixels of the 1280x1024 screen: the main menu's "Start game", the map's play button.
start_game=(640 588)
play_button=(272 732)

start
# A new player names itself, on the page that asks for the name.
until_logged "ContextManager::tickContents(): ContextPlayerName in front." 0 || fail "no name was asked for"
type_text Tess || fail "the name could not be typed"
press Return
until_logged "Changing profile to 'Tess'" 0 || fail "the name was not taken"
click_until "${start_game[@]}" "Global::saveUserData(): Saving." || fail "Start game did not open the map"
grep -q "Found saved game" "$log" && fail "a saved game was found in an empty folder"
shot map-play
click_until "${play_button[@]}" "GameController::startGame(): Starting level 0." || fail "Play did not start level 1-1"
# The help page goes with a click; the whistle blows and the train comes in.
until_logged "ContextManager::tickContents(): ContextMessage in front." 0 || fail "no help page"
click_until 640 600 "ContextManager::tickContents(): GameController in front again." || fail "the help page did not go"
in_play || fail "the level did not come into play"
shot level
saves=$(count "GameController::save(): Saving game to")
stop
[ "$(count "GameController::save(): Saving game to")" -gt "$saves" ] || fail "SIGTERM in play did not save"
save=$(ls "$user"/VeskDiruzuri.pro.* 2>/dev/null | grep -v '\.bad$' | head -n 1)
[ -n "$save" ] || fail "no saved game after SIGTERM in play"
grep -q "GameController::save(): Saving game to $save..." "$log" || fail "the save was not logged"
[ "$(tail -c 4 "$save" | od -An -tx1 | tr -d ' \n')" = "78563412" ] || fail "the saved game does not end in 78 56 34 12"
[ "$(head -c 1 "$save" | od -An -tx1 | tr -d ' \n')" = "00" ] || fail "the saved game is not of level 0"

rm -f "$log"
start
click_until "${start_game[@]}" "WorldManager::WorldManager(): Found saved game. Loading..." || fail "the map did not find the saved game"
until_logged "WorldManager::WorldManager(): ...success." 0 || fail "the saved game did not load"
grep -q "GameController::load(): level=0" "$log" || fail "the load did not log its level"
shot map-continue
click_until "${play_button[@]}" "GameController::continueGame(): Continuing level 0." || fail "the map's button did not continue the level"
grep -q "GameController::startGame()" "$log" && fail "the level was started afresh"
until_logged "ContextManager::tickContents(): GameController in front." 0 || fail "the level is not in front"
shot level-continued
stop
echo "saved_game_test: passed"
