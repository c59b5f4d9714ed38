#!/usr/bin/env bash
# A parent's phone photo as a question picture in the Windows program under Wine: a JPEG
# stored sideways with an EXIF orientation of 6, named in mondai.txt. Asked (F1), it must
# stand upright on the panel, whole and in its own shape (a tall box of its colour, white
# beside it); the question check, opened from its menu item, must show it small, upright
# too, and close on Escape, leaving the program running.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   photo_e2e.sh <zel.exe>
set -euo pipefail
zel=$(realpath "$1")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test

# The sensor's picture is wide, 240 × 120; shown upright it is tall, 120 × 240.
mkdir "$work/run"
convert -size 240x120 'xc:rgb(30,120,220)' -quality 95 "$work/sensor.jpg"
python3 - "$work/sensor.jpg" "$work/run/photo.jpg" <<'PY'
import sys
jpeg = open(sys.argv[1], 'rb').read()
tiff = b"II*\0\x08\0\0\0" + b"\x01\0" + b"\x12\x01\x03\0\x01\0\0\0" + bytes([6, 0, 0, 0]) + b"\0\0\0\0"
payload = b"Exif\0\0" + tiff
n = len(payload) + 2
open(sys.argv[2], 'wb').write(jpeg[:2] + b"\xFF\xE1" + bytes([n >> 8, n & 255]) + payload + jpeg[2:])
PY
printf 'photo.jpg,いぬ\r\n' >"$work/run/mondai.txt"
# The settings of the session's earlier tests do not count here.
rm -rf "$(zel_appdata)"

(cd "$work/run" && exec "$here/wine_run.sh" "$zel") >"$work/zel.log" 2>&1 &
pids+=($!)
window=$(timeout 120 xdotool search --sync --onlyvisible --name '^もじもり' | head -n 1) ||
  fail "no main window"

# The box around the photo's colour in window $1, as "width height" (0 0 when absent).
photo_box() {
  import -window "$1" "$work/shot.png" 2>/dev/null || { echo "0 0"; return; }
  convert "$work/shot.png" -depth 8 txt:- | awk '
    /^#/ { next }
    { gsub(/[^0-9]+/, " "); split($0, v, " ")
      x = v[1]; y = v[2]; r = v[3]; g = v[4]; b = v[5]
      if (r < 70 && g > 90 && g < 150 && b > 190) {
        n++
        if (n == 1 || x < x0) x0 = x; if (n == 1 || x > x1) x1 = x
        if (n == 1 || y < y0) y0 = y; if (n == 1 || y > y1) y1 = y } }
    END { if (n < 50) print 0, 0; else print x1 - x0 + 1, y1 - y0 + 1 }'
}
# Tall: about twice as high as wide, and at least min pixels high.
stands_upright() {
  local min=$2 box w h
  box=$(photo_box "$1")
  read -r w h <<<"$box"
  [ "$h" -ge "$min" ] && [ $((h * 10)) -ge $((w * 18)) ] && [ $((h * 10)) -le $((w * 22)) ]
}

focus_window "$window" || fail "the main window never had the focus"
xdotool key F1
bound=60 wait_until stands_upright "$window" 100 ||
  fail "the photo does not stand upright and whole on the panel: box $(photo_box "$window")"
echo "photo on the panel: $(photo_box "$window") (width height)"
cp "$work/shot.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true
xdotool key Escape

# The check, from the ファイル menu: its title is the menu bar's first, at the top left of
# the window (Wine draws the menu bar inside it).
eval "$(xdotool getwindowgeometry --shell "$window")"
# The menu's title is drawn highlighted (blue) while its menu is open.
menu_title_highlighted() {
  import -window "$window" "$work/title.png" 2>/dev/null || return 1
  convert "$work/title.png" -crop 1x1+4+10 -depth 8 txt:- | tail -n 1 |
    awk '{ gsub(/[^0-9]+/, " "); split($0, v, " "); exit !(v[3] < 100 && v[5] > 200) }'
}
open_check() {
  xdotool mousemove --window "$window" 24 10 click 1 2>/dev/null
  wait_until menu_title_highlighted || return 1
  xdotool key Down Down Down Down Return  # よびだし, ほぞん, いんさつ, もんだいの チェック
}
check_window() { xdotool search --onlyvisible --name 'もんだいの チェック' 2>/dev/null | head -n 1; }
check_open() { [ -n "$(check_window)" ]; }
# A key may come before the open menu takes it: the opening is tried again.
opened=
for _ in 1 2 3; do
  open_check || fail "the ファイル menu did not open"
  bound=20 wait_until check_open && { opened=1; break; }
  xdotool key Escape Escape Escape
done
[ -n "$opened" ] || fail "the question check did not open"
check=$(check_window)
bound=60 wait_until stands_upright "$check" 50 ||
  fail "no upright thumbnail in the check: box $(photo_box "$check")"
echo "thumbnail in the check: $(photo_box "$check") (width height)"
cp "$work/shot.png" "${E2E_CHECK_SHOT:-/dev/null}" 2>/dev/null || true
focus_window "$check" || fail "the check never had the focus"
xdotool key Escape
check_closed() { ! check_open; }
bound=60 wait_until check_closed || fail "Escape did not close the check"

focus_window "$window" || fail "the main window did not take the focus back"
xdotool key alt+F4
bound=60 wait_until bash -c '! xdotool search --name "^もじもり" >/dev/null 2>&1' ||
  fail "the program did not close after the check"
