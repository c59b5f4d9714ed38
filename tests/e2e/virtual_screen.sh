# Sourced by the end-to-end tests and tools/make_screenshots.sh: a scratch directory, a
# virtual screen with a window manager, and a patient search for the program's windows. The
# pids to stop are kept in the array `pids`, the scratch directory in $work.
#
# Nothing here waits a fixed time: each step waits for the state it needs, asking again
# every tenth of a second, up to a bound only a hang reaches (a busy machine may be slow,
# never that slow).
zel_hang_bound=60

# Runs "$@" until it succeeds, for at most $zel_hang_bound seconds (or $bound, when set).
wait_until() {
  local end=$((SECONDS + ${bound:-$zel_hang_bound}))
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}

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
  wait_until test -s "$work/display" || { echo "Xvfb did not start" >&2; return 1; }
  export DISPLAY=:$(cat "$work/display")
  openbox >/dev/null 2>&1 &
  pids+=($!)
  wait_until window_manager_running || { echo "openbox did not start" >&2; return 1; }
}

# A window manager has announced itself on the screen.
window_manager_running() {
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'
}

# Window $1 has the keyboard focus.
has_focus() {
  [ "$(xdotool getwindowfocus 2>/dev/null)" = "$1" ]
}

# Activates window $1 and waits until it has the keyboard focus, so keys sent next reach it.
focus_window() {
  xdotool windowactivate --sync "$1" >/dev/null 2>&1 || true
  wait_until has_focus "$1"
}

# A drop-down menu of process $1 is on the screen.
menu_shown() {
  local w
  for w in $(xdotool search --all --onlyvisible --pid "$1" --class . 2>/dev/null); do
    xprop -id "$w" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q DROPDOWN_MENU && return 0
  done
  return 1
}

# Visible windows of process $1 whose names match $2, newest last. (--all: without it
# xdotool takes either condition, and any window of the process would do.) With $1 empty,
# of any process: a Windows program's windows carry the pid of Wine's own process.
program_windows() {
  if [ -n "$1" ]; then
    xdotool search --all --onlyvisible --pid "$1" --name "$2" 2>/dev/null || true
  else
    xdotool search --onlyvisible --name "$2" 2>/dev/null || true
  fi
}

# Prints the newest visible window of process $1 (or any) named like $2, waiting for it. Qt's
# windows come and go while it starts, which one search may trip over: it asks again.
find_program_window() {
  local w end=$((SECONDS + zel_hang_bound))
  while [ "$SECONDS" -lt "$end" ]; do
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

# Opens the ファイル menu of process $1's main window framed at ($fx, $fy) and clicks the
# item $2 pixels below the menu bar's top, once the menu is on the screen.
click_file_menu_item() {
  xdotool mousemove $((fx + 35)) $((fy + 27)) click 1
  wait_until menu_shown "$1" || { echo "the ファイル menu did not open" >&2; return 1; }
  xdotool mousemove $((fx + 45)) $((fy + $2)) click 1
}

# ファイル > いんさつ... of process $1: the third item of the menu.
open_print_menu_item() {
  click_file_menu_item "$1" 92
}

# Window $1's pixels by colour class, as "red blue coloured white": pure red, pure blue,
# clearly coloured ones (a picture's) and white ones (a window not painted yet is black).
# The window's picture is left in $2.
window_colours() {
  eval "$(xdotool getwindowgeometry --shell "$1")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$2"
  convert "$2" -format %c histogram:info:- |
    awk '{ n = $1 + 0; v = $0; sub(/^[^(]*\(/, "", v); sub(/\).*/, "", v); split(v, k, ",")
           r = k[1] + 0; g = k[2] + 0; b = k[3] + 0
           if (r == 255 && g == 0 && b == 0) red += n; else if (r == 0 && g == 0 && b == 255) blue += n
           else if (r == 255 && g == 255 && b == 255) white += n
           else if ((r > g ? r - g : g - r) + (g > b ? g - b : b - g) > 60) other += n }
         END { print red + 0, blue + 0, other + 0, white + 0 }'
}
