#!/usr/bin/env bash
# The Windows program under Wine as a user meets it: started in a question folder on a
# virtual screen with a window manager, typed on with real key events (the kana layout:
# T types か, 3 types あ), shown the stroke order (F3), asked a picture question and a
# counting question, closed with Alt+F4. The typed line and the last character in red on
# the panel must show, then the film's strokes turning blue, the picture, red circles; the settings must be in the user's own folder,
# %APPDATA%\mojimori\zel.ini, in CR LF lines.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   window_e2e.sh <zel.exe> <sample folder>
set -euo pipefail
zel=$(realpath "$1")
sample=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"

# The run's screen (wine_tests.sh), which Wine's windows are bound to.
[ -n "${ZEL_WINE_DISPLAY:-}" ] || start_virtual_screen
appdata=$(zel_appdata)
rm -rf "$appdata"
start_zel_window "$zel" "$sample"

# Black pixels of text in the typed line, right of the panel under the keys.
line_text_ink() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop 300x60+$((X + 236))+$((Y + 168)) +repage txt:- | grep -c '#000000' || true
}
# A window not painted yet is black.
wait_for panel_white 20000 || fail "the window was never painted"
xdotool windowactivate --sync "$window"
[ "$(line_text_ink)" -eq 0 ] || fail "text in the line before anything was typed"
xdotool key t 3
for _ in $(seq 50); do
  ink=$(line_text_ink)
  [ "$ink" -gt 40 ] && break
  sleep 0.2
done
echo "black pixels in the line after typing: $ink"
[ "$ink" -gt 40 ] || fail "the typed kana are not in the line"
wait_for panel_red 2000 || fail "the typed character is not on the panel in red"
cp "$work/shot.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true

xdotool key F3
wait_for panel_blue 200 || fail "the stroke-order film did not turn strokes blue"

# A picture question (F1) from the folder's mondai.txt, then a counting one in the digits
# set (F10, F1).
xdotool key Escape F1
wait_for panel_picture 2000 || fail "no picture on the panel for the question"
xdotool key Escape F10 F1
wait_for panel_red 300 || fail "no red circles for the counting question"
[ "$(panel_picture)" -lt 200 ] || fail "the picture stayed under the circles"

xdotool key alt+F4
for _ in $(seq 100); do
  xdotool search --name 'もじもり' >/dev/null 2>&1 || break
  sleep 0.2
done
xdotool search --name 'もじもり' >/dev/null 2>&1 && fail "the window did not close"
ini=$appdata/zel.ini
[ -f "$ini" ] || fail "no $ini"
for line in '[Setting]' 'VoiceSpeed=400' 'KakijunSpeed=300' 'WinPosR=560'; do
  grep -qaxF "$line"$'\r' "$ini" || fail "zel.ini lacks the CR LF line $line"
done
echo "zel.ini in %APPDATA%\\mojimori: $(wc -c <"$ini") bytes"
