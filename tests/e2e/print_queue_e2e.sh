#!/usr/bin/env bash
# A practice sheet through a real print queue: a CUPS scheduler of the test's own (private
# configuration, spool and socket under a temporary directory, started and stopped by its
# pid; a system CUPS is never asked) with two queues, a cups-pdf queue and another one that
# is the default. The program is typed on, いんさつ... is opened from the menu, the cups-pdf
# queue is picked in the print dialog and the sheet printed; the PDF that cups-pdf writes is
# read back: one A4-or-whatever-the-queue-says page, and the boxes where the sheet geometry
# puts them (sheet_check, on a pdftoppm rendering).
#
# cups-pdf reads its settings, among them the folder it writes to, from the fixed path
# /etc/cups/cups-pdf.conf. The scheduler therefore runs in a mount namespace of its own
# (unshare) in which a private cups-pdf.conf is bound over that path; the file on the system
# is neither read nor changed. That needs root: elsewhere the test is skipped, saying why.
# Usage: print_queue_e2e.sh <zel program> <sheet_check program>
set -euo pipefail
zel=$(realpath "$1")
sheet_check=$(realpath "$2")
skip() { echo "SKIPPED: $*"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }

source "$(dirname "$0")/virtual_screen.sh"
source "$(dirname "$0")/private_cups.sh"
private_cups_missing || skip "$why"

make_scratch
mkdir -p "$work"/{home,run}
start_private_cups || skip "$why"
add_sheet_queues || fail "$why"

# The program in a fresh home, on a virtual screen with a window manager.
export HOME=$work/home SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR PRINTER LPDEST
start_virtual_screen
(cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
zel_pid=$!
pids+=($zel_pid)

window=$(find_program_window "$zel_pid" 'もじもり') || fail "no main window"
focus_window "$window" || fail "the main window did not take the keyboard focus"
xdotool key t a   # か ち
typed=2

window_frame "$window"
open_print_menu_item "$zel_pid" || fail "no ファイル menu"
options=$(find_program_window "$zel_pid" '^いんさつ$') || fail "no いんさつ dialog after the menu item"
focus_window "$options" || fail "the いんさつ dialog did not take the keyboard focus"
xdotool key Return   # OK: large, first style
dialog=$(find_program_window "$zel_pid" '^印刷$|^Print$') || fail "no print dialog after いんさつ"
focus_window "$dialog" || fail "the print dialog did not take the keyboard focus"
# The printer list: Alt+N goes to it, the queue's first letter (no other queue's) picks it.
# One key, because the list forgets a typed prefix after a pause a busy machine may make.
xdotool key alt+n
xdotool type "${queue:0:1}"
import -window root "$work/dialog.png"
cp "$work/dialog.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true
xdotool key Return

pdf=""
bound=120 wait_until pdf_printed "$queue" || true
[ -n "$pdf" ] || fail "cups-pdf wrote no PDF; $(print_failure_log)"
[ -z "$(lpstat -W completed -o another-printer 2>/dev/null)" ] || fail "the sheet went to the default queue too"
echo "printed: $(basename "$pdf")"

check_one_page || fail "$why"
read_box_images "$typed" || fail "$why"
# The printable area as Qt gives it for a PDF-driven CUPS queue: the page in the printer's
# pixels less its page layout's default margins of 10 pt all round.
read -r area_left area_w area_h < <(awk -v w="$page_w" -v h="$page_h" -v r="$dpi" \
  'function px(pt) {return int(pt * r / 72 + 0.5)}
   BEGIN {m = px(10); print m, px(w) - 2 * m, px(h) - 2 * m}')
check_sheet_geometry "$area_left" "$area_left" "$area_w" "$area_h" "$typed" "$sheet_check" \
  || fail "$why"
cp "$pdf" "${E2E_PDF:-/dev/null}" 2>/dev/null || true
echo "PASS"
