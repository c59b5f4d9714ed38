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

# A PulseAudio server of the test's own with one null sink, $1, as its default sink: sounds
# played to it can be recorded from its monitor, and nothing of the machine's own sound
# (or another test's) meets them. Exports PULSE_SERVER for the programs started next.
start_null_sink() {
  mkdir -p "$work/pulse"
  # -n: none of the system's configuration, only these modules.
  PULSE_RUNTIME_PATH=$work/pulse PULSE_STATE_PATH=$work/pulse \
    pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-exit=yes \
    --log-target=file:"$work/pulse/log" \
    -L "module-native-protocol-unix socket=$work/pulse/native auth-anonymous=1" \
    -L "module-null-sink sink_name=$1 rate=48000 channels=2" 2>/dev/null &
  pids+=($!)
  export PULSE_SERVER=unix:$work/pulse/native
  wait_until pactl info >/dev/null 2>&1 || { echo "PulseAudio did not start" >&2; return 1; }
  pactl set-default-sink "$1"
}

# The program's folder $1 made ready for voices_at_sink and waited_voice_at_sink, before the
# program starts (it looks for replacements and counts the questions then), from the
# built-in sounds in $2: I.wav, the chime (385) in 32-bit floating point, stereo, at
# 44.1 kHz; U.wav, no sound; a mondai.txt of one picture question, いぬ.
put_sound_fixtures() {
  sox "$2/385.wav" -e floating-point -b 32 -c 2 -r 44100 "$1/I.wav"
  echo "not a sound" >"$1/U.wav"
  printf 'inu.bmp,\x82\xa2\x82\xca\r\n' >"$1/mondai.txt"  # いぬ in Shift-JIS
}

# Types into the focused main window and checks each key's sound at null sink $1, whole, at
# every press (tests/e2e/sink_voice.py), with the built-in sounds in $2 and the folder made
# by put_sound_fixtures:
#   T types か: か's built-in voice;
#   E types い, replaced by I.wav: the chime;
#   4 types う, replaced by U.wav, which is no sound: the default alert.
# Reports the delay from T to its voice and the voice's pitch and loudness, and writes them
# to $ZEL_SOUND_JSON when set, the sounds from the sink into folder $ZEL_SOUND_SAVE when set;
# $ZEL_SOUND_PRESSES presses a key (5); ZEL_SOUND_FINE_CLOCK=1 measures the delays to
# within 2 ms (the sink then mixes in 2 ms blocks, which a busy machine may break).
voices_at_sink() {
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sink_voice.py" --sink "$1" \
    --presses "${ZEL_SOUND_PRESSES:-5}" \
    --expect t="$2/305.wav" --expect e="$2/385.wav" --expect 4="$2/default.wav" \
    ${ZEL_SOUND_JSON:+--json "$ZEL_SOUND_JSON"} ${ZEL_SOUND_SAVE:+--save "$ZEL_SOUND_SAVE"} \
    ${ZEL_SOUND_FINE_CLOCK:+--fine-clock}
}

# A waiting play is cut after 3 seconds: in the program's folder $3, made by
# put_sound_fixtures, asks the picture question いぬ (F1: "KORE", 383 from $2, at null sink
# $1) and types い, whose voice then waits for its end. I.wav is a 5-second tone by then
# (a voice file is read at each play): only its first 3 seconds may reach the sink.
waited_voice_at_sink() {
  sox -n -r 16000 -b 16 -c 1 "$3/I.wav" synth 5 sine 440 vol 0.5
  sox -n -r 16000 -b 16 -c 1 "$work/three_seconds.wav" synth 3 sine 440 vol 0.5
  /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/sink_voice.py" --sink "$1" --presses 1 \
    --expect F1="$2/383.wav" --expect e="$work/three_seconds.wav"
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
