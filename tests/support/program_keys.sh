# Keys for the real program under Xvfb, for the scripts that drive it (sourced; they set `user`,
# the program's user-data folder, where its F9 screenshots land).

# press KEY: a key pressed long enough for a frame to see it down.
press() { xdotool keydown "$1"; sleep 0.2; xdotool keyup "$1"; }

# frame_sync: until the program has run a frame after all input sent so far: F9 is held until its
# screenshot appears (then removed). The program reads the keys' state once a frame, so F9 released
# and pressed again between two of its frames reads as one held key and takes no new screenshot:
# when none comes, F9 is let go for a moment and pressed again.
frame_sync() {
  local before
  before=$(ls "$user"/*.bmp 2>/dev/null | wc -l)
  for _ in $(seq 1 10); do
    xdotool keydown F9
    for _ in $(seq 1 60); do
      if [ "$(ls "$user"/*.bmp 2>/dev/null | wc -l)" -gt "$before" ]; then
        xdotool keyup F9
        rm -f "$user"/*.bmp
        return 0
      fi
      sleep 0.05
    done
    xdotool keyup F9
    sleep 0.5
  done
  return 1
}

# type_text TEXT: one character a frame (the program keeps one typed character a frame).
type_text() {
  local i
  for ((i = 0; i < ${#1}; i++)); do
    xdotool type -- "${1:i:1}"
    frame_sync || return 1
  done
}
