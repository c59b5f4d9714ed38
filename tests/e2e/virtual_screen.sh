# Sourced by the end-to-end tests and tools/make_screenshots.sh: a scratch directory, a
# virtual screen with a window manager, and a patient search for the program's windows. The
# pids to stop are kept in the array `pids`, the scratch directory in $work.

# Makes $work and an empty `pids`; when the script ends, every pid is stopped and waited for
# and $work goes.
make_scratch() {
  work=$(mktemp -d)
  pids=()
  trap 'for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
        for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
        rm -rf "$work"' EXIT
}

# Starts Xvfb on a free display (the server picks it) and openbox on it; exports DISPLAY.
start_virtual_screen() {
  Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
  pids+=($!)
  for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
  [ -s "$work/display" ] || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(cat "$work/display")
  openbox >/dev/null 2>&1 &
  pids+=($!)
  sleep 0.5
}

# Visible windows of process $1 whose names match $2, newest last.
program_windows() {
  xdotool search --onlyvisible --pid "$1" --name "$2" 2>/dev/null || true
}

# Prints the newest visible window of process $1 named like $2, waiting up to 20 s. Qt's
# windows come and go while it starts, which one search may trip over: it asks again.
find_program_window() {
  local w
  for _ in $(seq 200); do
    w=$(program_windows "$1" "$2" | tail -n 1)
    [ -n "$w" ] && { echo "$w"; return 0; }
    sleep 0.1
  done
  return 1
}

# The top-left corner of window $1 on the screen, as "x y".
window_corner() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x, y}'
}

# The frame that the window manager put round window $1, and its top-left corner: sets
# $frame, $fx and $fy.
window_frame() {
  frame=$(xwininfo -id "$1" -tree | awk '/Parent window id/ {print $4}')
  read -r fx fy < <(window_corner "$frame")
}

# ファイル > いんさつ... on the main window framed at ($fx, $fy): the third item of the menu.
open_print_menu_item() {
  xdotool mousemove $((fx + 35)) $((fy + 27)) click 1
  sleep 1
  xdotool mousemove $((fx + 65)) $((fy + 92)) click 1
}
