#!/usr/bin/env bash
# A practice sheet from the Windows program under Wine through a real print queue: a CUPS
# scheduler of the test's own (tests/e2e/private_cups.sh) with a cups-pdf queue and another
# queue that is the default. Typed on, いんさつ... from the ファイル menu by keyboard, the
# size dialog confirmed, the cups-pdf queue picked in the system print dialog and set to its
# finest quality (2400 dpi): the PDF that cups-pdf writes holds one page with the boxes where
# the sheet geometry puts them, drawn at 300 dpi (no line thinner than a 300-dpi pixel),
# checked by the same sheet_check as on Linux. A second print, confirmed as the dialog
# opens, goes to the queue picked the first time, at the same resolution; a third, to the
# queue now turning jobs away, is told as a failure. Prints how long each sheet took.
# Runs in the Wine prefix of tests/windows/wine_tests.sh; needs root, as the Linux test
# does, and is skipped, saying why, without it.
#   print_e2e.sh <zel.exe> <sheet_check.exe> <sample folder>
set -euo pipefail
zel=$(realpath "$1")
sheet_check=$(realpath "$2")
sample=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
source "$here/../e2e/private_cups.sh"
[ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"
private_cups_missing || skip "$why"

make_scratch
start_private_cups || skip "$why"
add_sheet_queues || fail "$why"

# The run's screen (wine_tests.sh), which Wine's windows are bound to.
[ -n "${ZEL_WINE_DISPLAY:-}" ] || start_virtual_screen
# The settings of the session's earlier tests do not count here.
rm -rf "$(zel_appdata)"
cp -r "$sample" "$work/run"
unset PRINTER LPDEST
(cd "$work/run" && exec "$here/wine_run.sh" "$zel") >"$work/zel.log" 2>&1 &
pids+=($!)
# A visible window named like $1 (an extended regular expression), in $found.
window_named() { found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -n 1) && [ -n "$found" ]; }
# A busy machine may take Wine a while to bring the first window up.
bound=120 wait_until window_named '^もじもり' || fail "no main window"
window=$found
focus_window "$window" || fail "the main window did not take the keyboard focus"
# Characters in the first two boxes: か ち (the kana layout: T, A).
xdotool key t a
typed=2

# ファイル > いんさつ... by keyboard: Alt opens the menu bar, Down the ファイル menu on its
# first item; the third item, past a separator, is いんさつ.... Then the size and style
# dialog's OK (the first size and style: no choice has been made in this run) and the system
# print dialog, in $dialog.
open_print_dialog() {
  focus_window "$window" || fail "the main window did not take the keyboard focus"
  xdotool key alt
  xdotool key Down Down Down Return
  window_named '^いんさつ$|^印刷$' || wait_until window_named '^いんさつ$|^印刷$' \
    || fail "no いんさつ dialog after the menu item"
  if [ "$(xdotool getwindowname "$found")" = いんさつ ]; then
    focus_window "$found" || fail "the いんさつ dialog did not take the keyboard focus"
    xdotool key Return
    wait_until window_named '^印刷$' || fail "no print dialog after いんさつ"
  fi
  dialog=$found
  focus_window "$dialog" || fail "the print dialog did not take the keyboard focus"
}

# Confirms the print dialog with a click on its OK and waits for the PDF number $1 of the
# queue, in $pdf; prints the time from OK to the job handed to the scheduler (the program's
# own part) and to the PDF.
print_and_wait() {
  local before handed
  client_corner "$dialog"
  before=$(date +%s%N)
  xdotool mousemove $((cx + 300)) $((cy + 277)) click 1
  wait_until jobs_queued "$1" || fail "no job number $1 reached $queue"
  handed=$(date +%s%N)
  wait_until pdfs_written "$1" || fail "cups-pdf wrote no PDF number $1; $(print_failure_log)"
  echo "sheet $1 under Wine: $(( (handed - before) / 1000000 )) ms from OK to the job in the" \
    "scheduler, $(( ($(date +%s%N) - before) / 1000000 )) ms to the PDF"
}
jobs_queued() { [ "$(lpstat -W all -o "$queue" 2>/dev/null | wc -l)" -ge "$1" ]; }
pdfs_written() {
  local found_pdfs
  mapfile -t found_pdfs < <(find "$work/pdf" -name '*.pdf' -size +0 2>/dev/null | sort)
  [ "${#found_pdfs[@]}" -ge "$1" ] && ! lpstat -o "$queue" 2>/dev/null | grep -q . || return 1
  pdf=${found_pdfs[$1 - 1]}
}

# The top-left corner of window $1's client area on the screen, in $cx and $cy.
client_corner() {
  read -r cx cy < <(xwininfo -id "$1" | awk '/Absolute upper-left X/ {x = $4}
    /Absolute upper-left Y/ {y = $4} END {print x, y}')
}
options_gone() { ! window_named '^オプション$'; }

open_print_dialog
# Clicks where the controls of Wine's dialogs are under the Japanese locale: keys sent as a
# dialog comes up may reach it before it takes them, and Wine's print dialog takes no Alt+N.
client_corner "$dialog"
# The printer list; the queue's first letter (no other queue's) picks it.
xdotool mousemove $((cx + 180)) $((cy + 39)) click 1
xdotool type "${queue:0:1}"
# The printer's properties: the finest print quality at the end of its list.
xdotool mousemove $((cx + 362)) $((cy + 39)) click 1
wait_until window_named '^オプション$' || fail "no properties of the printer"
client_corner "$found"
xdotool mousemove $((cx + 173)) $((cy + 333)) click 1
xdotool key End Return
import -window root "$work/dialog.png"
cp "$work/dialog.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true
xdotool key Return
wait_until options_gone || fail "the printer's properties did not close"
print_and_wait 1
[ -z "$(lpstat -W completed -o another-printer 2>/dev/null)" ] || fail "the sheet went to the default queue too"
echo "printed: $(basename "$pdf")"
cp "$pdf" "${E2E_PDF:-/dev/null}" 2>/dev/null || true

check_one_page || fail "$why"
read_box_images "$typed" || fail "$why"
[ "$dpi" = 300 ] || fail "the box images are at $dpi dpi; a finer printer gets sheets drawn at 300"
# The printable area: the queue's imageable area of its page size, in printer pixels at the
# sheet's resolution.
read -r area_left area_top area_w area_h < <(sed -n \
  "s|^\*ImageableArea $media/[^:]*: *\"\([0-9.]*\) \([0-9.]*\) \([0-9.]*\) \([0-9.]*\)\".*|\1 \2 \3 \4|p" \
  "$work/etc/ppd/$queue.ppd" | awk -v h="$page_h" -v r="$dpi" \
  'function px(pt) {return int(pt * r / 72 + 0.5)}
   {print px($1), px(h - $4), px($3) - px($1), px($4) - px($2)}')
[ -n "${area_h:-}" ] || fail "no imageable area for $media in the queue's description"
check_sheet_geometry "$area_left" "$area_top" "$area_w" "$area_h" "$typed" \
  "$here/wine_run.sh" "$sheet_check" || fail "$why"

# The second print offers the printer and settings of the first: OK as the dialog opens
# prints there, and at the same resolution.
open_print_dialog
print_and_wait 2
[ -z "$(lpstat -W completed -o another-printer 2>/dev/null)" ] \
  || fail "the second sheet went to the default queue, not to the one picked before"
read_box_images "$typed" || fail "$why"
[ "$dpi" = 300 ] || fail "the second sheet's box images are at $dpi dpi"

# A queue that turns the job away: the sheet did not come out, and the program says so in
# the Linux version's words.
cupsreject "$queue"
open_print_dialog
client_corner "$dialog"
xdotool mousemove $((cx + 300)) $((cy + 277)) click 1
wait_until window_named '^実行エラー$' || fail "no message when the queue turned the sheet away"
[ "$(lpstat -W all -o "$queue" 2>/dev/null | wc -l)" -eq 2 ] || fail "a third job reached $queue"
echo "PASS"
