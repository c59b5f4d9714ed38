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

# A free display number from the server itself.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
pids+=($!)
for _ in $(seq 50); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(cat "$work/display")
openbox >/dev/null 2>&1 &
pids+=($!)
sleep 0.5

(cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
zel_pid=$!
pids+=($zel_pid)
window=$(timeout 20 xdotool search --sync --name 'もじもり' | head -n 1) || fail "no main window"
xdotool windowactivate --sync "$window"
sleep 0.3

panel_red() {
  import -window root "$work/shot.png"
  # The panel stands at the lower left of the window.
  convert "$work/shot.png" -crop 240x260+0+190 +repage txt:- | grep -ci '#FF0000' || true
}
[ "$(panel_red)" -eq 0 ] || fail "red on the panel before anything was typed"

xdotool key t shift+t alt+f colon
xdotool keydown g; sleep 0.8; xdotool keyup g   # held: auto-repeats must not type
# A busy machine may take a moment to repaint.
for _ in $(seq 25); do
  red=$(panel_red)
  [ "$red" -gt 2000 ] && break
  sleep 0.2
done
echo "red pixels on the panel after typing: $red"
[ "$red" -gt 2000 ] || fail "the typed character is not on the panel in red"
cp "$work/shot.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true

frame=$(xwininfo -id "$window" -tree | awk '/Parent window id/ {print $4}')
read -r fx fy fw < <(xwininfo -id "$frame" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /Width/ {w=$2} END {print x, y, w}')

# Saved through the menu ファイル > ほぞん..., the line holds exactly what was typed: the
# held key once.
xdotool mousemove $((fx + 35)) $((fy + 27)) click 1
sleep 1
xdotool mousemove $((fx + 45)) $((fy + 71)) click 1
timeout 10 xdotool search --sync --name 'ほぞんする' >/dev/null || fail "no save dialog"
sleep 0.3
xdotool type --delay 10 "$work/line.TXT"
xdotool key Return
for _ in $(seq 100); do [ -s "$work/line.TXT" ] && break; sleep 0.1; done
expected=$(printf 'かがぱけき\r\n' | iconv -f UTF-8 -t CP932 | od -An -tx1)
actual=$(od -An -tx1 "$work/line.TXT" 2>/dev/null || true)
[ "$actual" = "$expected" ] || fail "saved line is [$actual], expected [$expected]"

# The close button: the rightmost button of the frame's title bar.
xdotool mousemove $((fx + fw - 11)) $((fy + 9)) click 1
for _ in $(seq 50); do kill -0 "$zel_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$zel_pid" 2>/dev/null && fail "the close button did not end the program"
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
timeout 20 xdotool search --sync --name 'もじもり' >/dev/null || fail "no main window again"
kill -TERM "$zel_pid"
for _ in $(seq 50); do kill -0 "$zel_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$zel_pid" 2>/dev/null && fail "SIGTERM did not end the program within 5 s"
wait "$zel_pid" || fail "the program ended on SIGTERM with an error"
grep -q "^VoiceSpeed=400" "$ini" 2>/dev/null || fail "SIGTERM lost the settings"
echo "PASS"
