#!/usr/bin/env bash
# The sharp stroke-order film and tracing in the Windows program under Wine, with real
# pointer and key events. With なめらかな かきじゅん and なぞりがき チェック on in zel.ini, F3 must draw the kana
# in red turning blue with smooth edges and the stroke numbers, for a hiragana and a
# katakana. A drag with the left button must leave ink of the pen's colour along its path,
# also where the pointer left the panel and came back (the panel keeps the mouse until the
# release), and a release outside must end the stroke; a right click changes the colour;
# the next key must take the ink away. A checked kana's wrong stroke (a mere click) must be
# taken away and the next stroke's start shown in orange.
# Runs in the Wine prefix of tests/windows/wine_tests.sh. With E2E_SHOTS set to a folder,
# leaves screenshots of a film frame of each kana and of the ink there.
#   film_trace_e2e.sh <zel.exe> <sample folder>
set -euo pipefail
zel=$(realpath "$1")
sample=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test
shot() { [ -z "${E2E_SHOTS:-}" ] || cp "$work/shot.png" "$E2E_SHOTS/$1.png"; }

appdata=$(zel_appdata)
rm -rf "$appdata"
mkdir -p "$appdata"
printf '[Setting]\r\nSmoothKakijun=1\r\nTraceCheck=1\r\n' >"$appdata/zel.ini"
start_zel_window "$zel" "$sample"
wait_for panel_white 20000 || fail "the window was never painted"
focus_window "$window" || fail "the window did not take the focus"

# A frame part-way: red still to write, blue written, and the letter's edges blending into
# the white (an enlarged strip has none of those).
film_frame() {
  panel_pixels
  local red blue blend
  red=$(grep -c '#FF0000 ' "$work/panel.txt" || true)
  blue=$(grep -c '#0000FF ' "$work/panel.txt" || true)
  blend=$(grep -E '#FF[0-9A-F]{4} ' "$work/panel.txt" | grep -vcE '#FF(0000|FFFF) ' || true)
  echo "red $red, blue $blue, blended $blend" >"$work/film.txt"
  [ "$red" -gt 300 ] && [ "$blue" -gt 300 ] && [ "$blend" -gt 30 ] && echo 1 || echo 0
}
for set in hiragana katakana; do
  [ "$set" = katakana ] && xdotool key F7
  xdotool key 3  # あ, or ア in the katakana set
  wait_for panel_red 2000 || fail "no $set kana on the panel"
  xdotool key F3
  wait_for film_frame 0 || fail "the $set film showed no sharp frame part-way: $(cat "$work/film.txt")"
  cat "$work/film.txt"
  shot "film_$set"
  # The film ends with the kana back in its font, red.
  bound=60 wait_until eval '[ "$(panel_blue)" -eq 0 ] && [ "$(panel_red)" -gt 2000 ]' ||
    fail "the $set film did not end"
done

# The colour of the screen pixel at x y, as #RRGGBB.
pixel_at() {
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop 1x1+"$1"+"$2" +repage txt:- | tail -n 1 | grep -o '#[0-9A-F]\{6\}'
}
read -r left top width height < <(panel_box)

# ア is being traced: a click is no stroke, so its start is shown instead.
panel_orange() { panel_pixels; grep -c '#FF8C00' "$work/panel.txt" || true; }
[ "$(panel_orange)" -eq 0 ] || fail "a hint before any stroke"
xdotool mousemove $((left + 10)) $((top + height - 10)) click 1
wait_for panel_orange 100 || fail "no hint where the first stroke starts after a wrong one"
shot trace_check
# Plain ink from here on: the romaji set's A is not checked.
xdotool key F9 3
wait_until eval '[ "$(panel_orange)" -eq 0 ]' || fail "the hint stayed after the next key"
# Where the line from x1,y1 to x2,y2 crosses x (the panel's right edge, a little inside).
line_y_at() { echo $(($2 + ($4 - $2) * ($5 - $1) / ($3 - $1))); }
edge=$((left + width - 8))
# A stroke from a to b inside the panel, out to the right over the keys to o, back in at c,
# released there. Each move is waited for, as moves still queued may be merged into one.
ax=$((left + 30)) ay=$((top + 40)) bx=$((left + 90)) by=$((top + 40))
ox=$((left + width + 120)) oy=$((top + 100)) cx=$((left + 60)) cy=$((top + 150))
is_ink() { [ "$(pixel_at "$1" "$2")" = "$3" ]; }
xdotool mousemove $ax $ay mousedown 1 mousemove $bx $by
wait_until is_ink $(((ax + bx) / 2)) $ay '#0000FF' || fail "no blue ink along a stroke"
xdotool mousemove $ox $oy
wait_until is_ink $edge "$(line_y_at $bx $by $ox $oy $edge)" '#0000FF' ||
  fail "no ink towards the pointer leaving the panel"
xdotool mousemove $cx $cy
wait_until is_ink $edge "$(line_y_at $ox $oy $cx $cy $edge)" '#0000FF' ||
  fail "no ink where the pointer came back into the panel: the panel lost the mouse"
xdotool mouseup 1
shot ink_blue
# Between b and c straight, where no stroke went: untouched.
! is_ink $(((bx + cx) / 2)) $(((by + cy) / 2)) '#0000FF' || fail "ink where the pen never went"

# The next colour; released outside, the stroke ends there: moving back in draws nothing,
# as a later stroke's ink shows once the moves before it were taken.
xdotool click 3
dx=$((left + 40)) dy=$((top + 100))
xdotool mousemove $dx $dy mousedown 1 mousemove $((dx + 20)) $dy
wait_until is_ink $((dx + 10)) $dy '#FF00FF' || fail "no magenta ink after a right click"
xdotool mousemove $((left + width + 40)) $dy mouseup 1 mousemove $((left + 150)) $((dy + 30)) \
  mousemove $((left + 100)) $((dy + 30))
xdotool mousemove $((left + 20)) $((top + 170)) mousedown 1 mousemove $((left + 40)) $((top + 170)) mouseup 1
wait_until is_ink $((left + 30)) $((top + 170)) '#FF00FF' || fail "no ink of a later stroke"
! is_ink $((left + 125)) $((dy + 30)) '#FF00FF' || fail "the stroke went on after its release outside"
shot ink_magenta

# A key repaints the panel: the ink goes.
xdotool key t
bound=60 wait_until eval '! is_ink $cx $cy "#0000FF" && ! is_ink $((dx + 10)) $dy "#FF00FF"' ||
  fail "the ink stayed after the next key"
echo "film and tracing: ok"
