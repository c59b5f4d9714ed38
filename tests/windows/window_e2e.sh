#!/usr/bin/env bash
# The Windows program under Wine as a user meets it: started in a question folder on a
# virtual screen with a window manager, typed on with real key events (the kana layout:
# T types か, 3 types あ), given a new speed, shown the about box and the print dialog from
# the menu, shown the stroke order (F3), asked a picture question and a counting question,
# closed with Alt+F4. The typed line and the last character in red on the panel must show,
# the dialogs in their templates' sizes, then the film's strokes turning blue, the
# picture, red circles; the settings, with the new speed and the print size chosen in the
# cancelled dialog, must be in the user's own folder, %APPDATA%\mojimori\zel.ini, in CR LF
# lines. With E2E_DIALOG_SHOTS naming a folder, the dialogs' screenshots go there.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   window_e2e.sh <zel.exe> <sample folder>
set -euo pipefail
zel=$(realpath "$1")
sample=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test
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
wait_for line_text_ink 40 || fail "the typed kana are not in the line"
wait_for panel_red 2000 || fail "the typed character is not on the panel in red"
cp "$work/shot.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true

# The menu from the keyboard, as Windows offers it: Alt, then Down opens "ファイル"; an open
# menu is a second visible window of the program. A key may come before the window takes
# it, so the opening is tried again.
dropdown_open() { [ "$(xdotool search --onlyvisible --classname zel.exe 2>/dev/null | wc -l)" -ge 2 ]; }
open_file_menu() {
  for _ in 1 2 3; do
    focus_window "$window" || true
    xdotool key alt Down
    bound=20 wait_until dropdown_open && return 0
    xdotool key Escape Escape Escape
  done
  return 1
}
# Opens the dialog of a menu item (keys after the file menu opened) and waits for it.
open_dialog() {
  local title=$1
  shift
  open_file_menu || fail "the menu did not open"
  xdotool key "$@"
  wait_until find_window "$title" || fail "no dialog $title"
  dialog=$found
  focus_window "$dialog" || fail "the dialog $title did not take the keyboard"
  eval "$(xdotool getwindowgeometry --shell "$dialog")"
  wait_until dialog_painted || fail "the dialog $title shows no text"
  [ -z "${E2E_DIALOG_SHOTS:-}" ] || cp "$work/dialog.png" "$E2E_DIALOG_SHOTS/$title.png"
}
# Black text in the dialog.
dialog_painted() {
  import -window root "$work/dialog.png"
  [ "$(convert "$work/dialog.png" -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage txt:- |
    grep -c '#000000 ')" -gt 200 ]
}
# Gone, by a search that did not trip.
dialog_gone() { [ -z "$(xdotool search --onlyvisible --name "$1" 2>&1)" ]; }
# The template's size, in the program's 16-pixel face: two pixels a dialog unit across,
# at least two down. In another face the texts would not fit the places they are given.
expect_units() {
  [ "$WIDTH" -eq $((2 * $1)) ] && [ "$HEIGHT" -ge $((2 * $2)) ] ||
    fail "the dialog is ${WIDTH}x${HEIGHT} pixels, not $1x$2 units of the 16-pixel face"
}

# The speed dialog ("せってい", its 6th item): the first field is ready to be typed over;
# OK keeps the new speed, which the close stores.
open_dialog 'スピードのせってい' Right Down Down Down Down Down Down Return
expect_units 187 96
xdotool type 350
xdotool key Return
wait_until dialog_gone 'スピードのせってい' || fail "the speed dialog did not close on Enter"

# The about box ("ヘルプ", its 2nd item) closes with its OK.
open_dialog 'バージョン情報' Right Right Down Return
expect_units 174 110
xdotool key Return
wait_until dialog_gone 'バージョン情報' || fail "the about box did not close"

# The print dialog ("ファイル", its 3rd item): a click on "小（４８文字）" chooses the small
# size at once, so it stays though the dialog is cancelled.
open_dialog 'いんさつ' Down Down Return
expect_units 250 101
xdotool mousemove --window "$dialog" $((31 * WIDTH / 250)) $((76 * HEIGHT / 101)) click 1
xdotool key Escape
wait_until dialog_gone 'いんさつ' || fail "the print dialog did not close on Escape"
focus_window "$window" || fail "the main window did not take the keyboard back"

xdotool key F3
wait_for panel_blue 200 || fail "the stroke-order film did not turn strokes blue"

# A picture question (F1) from the folder's mondai.txt, then a counting one in the digits
# set (F10, F1).
xdotool key Escape F1
wait_for panel_picture 2000 || fail "no picture on the panel for the question"
xdotool key Escape F10 F1
wait_for panel_red 300 || fail "no red circles for the counting question"
[ "$(panel_picture)" -lt 200 ] || fail "the picture stayed under the circles"

# The settings are written before the program ends, so the file is read only after that.
windows_gone() { [ -z "$(xdotool search --name 'もじもり' 2>&1)" ]; }
program_ended() { ! kill -0 "$zel_pid" 2>/dev/null; }
closing=$SECONDS
xdotool key alt+F4
wait_until windows_gone || fail "the window did not close"
wait_until program_ended || fail "the program did not end"
echo "closed and ended in $((SECONDS - closing)) s"
ini=$appdata/zel.ini
[ -f "$ini" ] || fail "no $ini"
for line in '[Setting]' 'VoiceSpeed=350' 'KakijunSpeed=300' 'PrintSize=2' 'PrintStyle=0' \
  'WinPosR=560'; do
  grep -qaxF "$line"$'\r' "$ini" || fail "zel.ini lacks the CR LF line $line"
done
# The start-up directory in Windows' own form, ending in its separator.
grep -qaxE 'ExeDir=[A-Z]:\\([^/\\]+\\)*run\\'$'\r' "$ini" ||
  fail "ExeDir is not the start-up directory with a trailing backslash: $(grep -a ExeDir "$ini")"
echo "zel.ini in %APPDATA%\\mojimori: $(wc -c <"$ini") bytes"
