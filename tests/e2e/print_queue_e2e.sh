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

for tool in cupsd lpadmin lpstat unshare pdfinfo pdftoppm pdfimages; do
  command -v "$tool" >/dev/null || skip "$tool is not installed (tools/packages.sh installs it)"
done
backend=/usr/lib/cups/backend/cups-pdf
[ -x "$backend" ] || skip "the cups-pdf backend ($backend) is not installed"
ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd
[ -f "$ppd" ] || skip "the cups-pdf printer description ($ppd) is not installed"
[ "$(id -u)" -eq 0 ] || skip "the scheduler's cups-pdf backend runs only as root, and so does the mount namespace that keeps its settings private; this test ran as $(id -un)"

source "$(dirname "$0")/virtual_screen.sh"
make_scratch
# The scheduler's filters run as user lp: they must reach the spool under the temporary
# directory.
chmod 755 "$work"
mkdir -p "$work"/{etc/ppd,spool/tmp,cache,state,log,pdf,pdf-spool,home,run}
chmod 1777 "$work/spool/tmp" "$work/pdf" "$work/pdf-spool"
socket=$work/cups.sock

cat >"$work/etc/cupsd.conf" <<EOF
Listen $socket
LogLevel debug
WebInterface No
Browsing No
DefaultAuthType None
<Location />
  Order allow,deny
  Allow all
</Location>
<Policy default>
  <Limit All>
    Order deny,allow
    Allow all
  </Limit>
</Policy>
EOF
cat >"$work/etc/cups-files.conf" <<EOF
ServerRoot $work/etc
RequestRoot $work/spool
TempDir $work/spool/tmp
CacheDir $work/cache
StateDir $work/state
ErrorLog $work/log/error_log
AccessLog $work/log/access_log
PageLog $work/log/page_log
FileDevice Yes
User lp
Group lp
SystemGroup root
Sandboxing Relaxed
EOF
cat >"$work/etc/cups-pdf.conf" <<EOF
Out $work/pdf
AnonDirName $work/pdf
Spool $work/pdf-spool
Log $work/log
LogType 3
EOF

# The scheduler in its own mount namespace; exec keeps the pid the scheduler's.
unshare --mount --propagation private sh -c \
  "mount --bind '$work/etc/cups-pdf.conf' /etc/cups/cups-pdf.conf &&
   exec cupsd -f -c '$work/etc/cupsd.conf' -s '$work/etc/cups-files.conf'" \
  >"$work/log/cupsd.out" 2>&1 &
cupsd_pid=$!
pids+=($cupsd_pid)
export CUPS_SERVER=$socket
scheduler_up_or_gone() { lpstat -r >/dev/null 2>&1 || ! kill -0 "$cupsd_pid" 2>/dev/null; }
wait_until scheduler_up_or_gone || true
if ! lpstat -r >/dev/null 2>&1; then
  skip "the private CUPS scheduler did not start: $(cat "$work/log/cupsd.out" \
    "$work/log/error_log" 2>/dev/null | grep -v '^D ' | tail -5)"
fi
echo "private scheduler: pid $cupsd_pid, socket $socket"

queue=zel-sheets
# A scheduler that has only just started may turn the first request away: ask again.
for try in 1 2 3 4 5; do
  lpadmin -p "$queue" -E -v cups-pdf:/ -P "$ppd" 2>"$work/lpadmin.err" && break
  echo "lpadmin, try $try: $(cat "$work/lpadmin.err")"
  [ "$try" = 5 ] && fail "lpadmin could not add $queue"
  sleep 1
done
# The default queue is another one, so the print dialog must be used to pick ours.
lpadmin -p another-printer -E -v "file:///dev/null" -m raw 2>/dev/null \
  || fail "lpadmin could not add the other queue"
lpadmin -d another-printer
lpstat -p "$queue" | grep -q enabled || fail "$queue is not enabled: $(lpstat -p "$queue")"
# The page size the queue prints on by default, and its size in points, from the queue's own
# copy of its description (the scheduler sets the default from the machine's paper size).
queue_ppd=$work/etc/ppd/$queue.ppd
media=$(sed -n 's/^\*DefaultPageSize: *\([^ ]*\).*/\1/p' "$queue_ppd" | tr -d '\r')
[ -n "$media" ] || fail "no default page size in $queue_ppd"
read -r page_w page_h < <(sed -n "s|^\*PaperDimension $media/[^:]*: *\"\([0-9.]*\) \([0-9.]*\)\".*|\1 \2|p" \
  "$queue_ppd") || true
[ -n "${page_w:-}" ] || fail "no paper size for $media in $queue_ppd"
echo "queue $queue prints on $media, $page_w x $page_h pt"

# The program in a fresh home, on a virtual screen with a window manager.
export HOME=$work/home SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR ZEL_NOTICE PRINTER LPDEST
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
printed() {
  pdf=$(find "$work/pdf" -name '*.pdf' -size +0 2>/dev/null | head -n 1)
  [ -n "$pdf" ] && ! lpstat -o "$queue" 2>/dev/null | grep -q .
}
bound=120 wait_until printed || true
[ -n "$pdf" ] || fail "cups-pdf wrote no PDF; jobs: $(lpstat -W all -o 2>&1); log: $(grep -E '^E ' "$work/log/error_log" | tail -5)"
[ -z "$(lpstat -W completed -o another-printer 2>/dev/null)" ] || fail "the sheet went to the default queue too"
echo "printed: $(basename "$pdf")"

pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
read -r pdf_w pdf_h < <(pdfinfo "$pdf" | awk '/^Page size:/ {print $3, $5}')
echo "PDF: $pages page(s), $pdf_w x $pdf_h pt"
[ "$pages" = 1 ] || fail "the sheet has $pages pages, not one"
awk -v a="$pdf_w" -v b="$pdf_h" -v c="$page_w" -v d="$page_h" \
  'BEGIN {exit !((a - c) ^ 2 < 1 && (b - d) ^ 2 < 1)}' \
  || fail "the page is $pdf_w x $pdf_h pt, the queue's $media is $page_w x $page_h pt"

# The box images go to the printer at 1 : 1, so their resolution is the printer's, and
# their size is the box's less its outline.
pdfimages -list "$pdf" | awk 'NR > 2 {print $4, $5, $13}' >"$work/images"
[ "$(wc -l <"$work/images")" -eq "$typed" ] || fail "$(wc -l <"$work/images") box images, $typed characters typed"
dpi=$(awk 'NR == 1 {print $3}' "$work/images")
# The printable area as Qt gives it for a PDF-driven CUPS queue: the page in the printer's
# pixels less its page layout's default margins of 10 pt all round.
read -r area_left area_w area_h < <(awk -v w="$page_w" -v h="$page_h" -v r="$dpi" \
  'function px(pt) {return int(pt * r / 72 + 0.5)}
   BEGIN {m = px(10); print m, px(w) - 2 * m, px(h) - 2 * m}')
render_dpi=100
pdftoppm -r "$render_dpi" -gray "$pdf" "$work/page"
# A fine rendering as well, where the width of each line can be measured.
fine_dpi=600
pdftoppm -r "$fine_dpi" -gray "$pdf" "$work/fine"
"$sheet_check" "$work"/page*.pgm "$render_dpi" 0 "$typed" "$dpi" "$area_left" "$area_left" \
  "$area_w" "$area_h" "$work"/fine*.pgm "$fine_dpi" | tee "$work/check.txt" \
  || fail "the printed sheet does not match its geometry"
read -r image_w image_h < <(sed -n 's/^box image \([0-9]*\)x\([0-9]*\)$/\1 \2/p' "$work/check.txt")
while read -r w h r; do
  [ "$w" = "$image_w" ] && [ "$h" = "$image_h" ] && [ "$r" = "$dpi" ] \
    || fail "a box image is $w x $h at $r dpi, the geometry says $image_w x $image_h at $dpi"
done <"$work/images"
cp "$pdf" "${E2E_PDF:-/dev/null}" 2>/dev/null || true
echo "PASS"
