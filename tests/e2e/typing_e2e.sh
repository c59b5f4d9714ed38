#!/usr/bin/env bash
# The built program as a user meets it: started in a fresh home directory on a virtual
# screen with a window manager, typed on with real key events, closed with the window's
# close button. Afterwards the settings file must hold what a run stores, and the panel
# must have shown the typed character in red.
set -euo pipefail
zel=$(realpath "$1")
source "$(dirname "$0")/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$work/home
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME" "$work/run"
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb

start_virtual_screen

(cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
zel_pid=$!
pids+=($zel_pid)
window=$(find_program_window "$zel_pid" 'もじもり') || fail "no main window"
focus_window "$window" || fail "the main window did not take the keyboard focus"

panel_red() {
  import -window root "$work/shot.png"
  # The panel stands at the lower left of the window.
  convert "$work/shot.png" -crop 240x260+0+190 +repage txt:- | grep -ci '#FF0000' || true
}
[ "$(panel_red)" -eq 0 ] || fail "red on the panel before anything was typed"

xdotool key t shift+t alt+f colon
# Held for longer than the server's auto-repeat delay (660 ms): a stimulus, not a wait. A
# busy machine only holds it longer, with more repeats, which must not type either.
xdotool keydown g; sleep 0.8; xdotool keyup g
# A busy machine may take a moment to repaint.
red=0
panel_red_enough() {
  red=$(panel_red)
  [ "$red" -gt 2000 ]
}
wait_until panel_red_enough || true
echo "red pixels on the panel after typing: $red"
[ "$red" -gt 2000 ] || fail "the typed character is not on the panel in red"
cp "$work/shot.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true

frame=$(xwininfo -id "$window" -tree | awk '/Parent window id/ {print $4}')
read -r fx fy fw < <(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} END {print x, y, w}')

# Saved through the menu ファイル > ほぞん..., the line holds exactly what was typed: the
# held key once.
click_file_menu_item "$zel_pid" 71 || fail "no ファイル menu"
dialog=$(find_program_window "$zel_pid" 'ほぞんする') || fail "no save dialog"
focus_window "$dialog" || fail "the save dialog did not take the keyboard focus"
# A bare name in the folder the dialog opens on, the program's own and empty: a path would
# bring up the name completer over /tmp, whose list loads while the keys arrive.
xdotool type --delay 10 "line.TXT"
xdotool key Return
saved=$work/run/line.TXT
wait_until test -s "$saved" || true
expected=$(printf 'かがぱけき\r\n' | iconv -f UTF-8 -t CP932 | od -An -tx1)
actual=$(od -An -tx1 "$saved" 2>/dev/null || true)
[ "$actual" = "$expected" ] || fail "saved line is [$actual], expected [$expected]"

# The close button: the rightmost button of the frame's title bar.
xdotool mousemove $((fx + fw - 11)) $((fy + 9)) click 1
running() { kill -0 "$zel_pid" 2>/dev/null; }
ended() { ! running; }
wait_until ended || fail "the close button did not end the program"
wait "$zel_pid" || fail "the program ended with an error"

ini=$HOME/.config/zel.ini
[ -f "$ini" ] || fail "no settings file at $ini"
for line in VoiceSpeed=400 KakijunSpeed=300 PrintSize=0 PrintStyle=0 WinPosL= WinPosR= WinPosT= \
            WinPosB= ShowButton=0 "ExeDir=$work/run/"; do
  grep -q "^$line" "$ini" || fail "settings file lacks $line: $(cat "$ini")"
done
grep -q $'\r$' "$ini" || fail "settings lines do not end in CR LF"

# Ended by SIGTERM (a shutdown, a logout, kill), the program still stores its settings and
# ends at once.
rm -f "$ini"
(cd "$work/run" && exec "$zel") >>"$work/zel.log" 2>&1 &
zel_pid=$!
pids+=($zel_pid)
find_program_window "$zel_pid" 'もじもり' >/dev/null || fail "no main window again"
kill -TERM "$zel_pid"
wait_until ended || fail "SIGTERM did not end the program"
wait "$zel_pid" || fail "the program ended on SIGTERM with an error"
grep -q "^VoiceSpeed=400" "$ini" 2>/dev/null || fail "SIGTERM lost the settings"
echo "PASS"
