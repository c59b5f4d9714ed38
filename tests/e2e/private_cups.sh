# Sourced by the printing end-to-end tests (after virtual_screen.sh and make_scratch): a CUPS
# scheduler of the test's own (private configuration, spool and socket under $work, started
# and stopped by its pid; a system CUPS is never asked) with cups-pdf queues, and the PDFs
# such a queue writes, each named after its job.
#
# cups-pdf reads its settings, among them the folder it writes to, from the fixed path
# /etc/cups/cups-pdf.conf. The scheduler therefore runs in a mount namespace of its own
# (unshare) in which a private cups-pdf.conf is bound over that path; the file on the system
# is neither read nor changed. That needs root.

cups_pdf_ppd=/usr/share/ppd/cups-pdf/CUPS-PDF_opt.ppd

# Each function that can fail returns non-zero and says why in $why.

# Whether a private scheduler with a cups-pdf queue can run here.
private_cups_missing() {
  local tool
  for tool in cupsd lpadmin lpstat cupsreject unshare pdfinfo pdftoppm pdfimages; do
    command -v "$tool" >/dev/null || { why="$tool is not installed (tools/packages.sh installs it)"; return 1; }
  done
  [ -x /usr/lib/cups/backend/cups-pdf ] \
    || { why="the cups-pdf backend (/usr/lib/cups/backend/cups-pdf) is not installed"; return 1; }
  [ -f "$cups_pdf_ppd" ] || { why="the cups-pdf printer description ($cups_pdf_ppd) is not installed"; return 1; }
  [ "$(id -u)" -eq 0 ] || { why="the scheduler's cups-pdf backend runs only as root, and so does the mount namespace that keeps its settings private; this test ran as $(id -un)"; return 1; }
}

# Starts the scheduler and exports CUPS_SERVER, its socket; the PDFs go to $work/pdf.
start_private_cups() {
  # The scheduler's filters run as user lp: they must reach the spool under $work.
  chmod 755 "$work"
  mkdir -p "$work"/{etc/ppd,spool/tmp,cache,state,log,pdf,pdf-spool}
  chmod 1777 "$work/spool/tmp" "$work/pdf" "$work/pdf-spool"
  local socket=$work/cups.sock
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
Label 2
EOF
  # The scheduler in its own mount namespace; exec keeps the pid the scheduler's.
  unshare --mount --propagation private sh -c \
    "mount --bind '$work/etc/cups-pdf.conf' /etc/cups/cups-pdf.conf &&
     exec cupsd -f -c '$work/etc/cupsd.conf' -s '$work/etc/cups-files.conf'" \
    >"$work/log/cupsd.out" 2>&1 &
  cupsd_pid=$!
  pids+=($cupsd_pid)
  export CUPS_SERVER=$socket
  wait_until scheduler_up_or_gone || true
  if ! lpstat -r >/dev/null 2>&1; then
    why="the private CUPS scheduler did not start: $(cat "$work/log/cupsd.out" \
      "$work/log/error_log" 2>/dev/null | grep -v '^D ' | tail -5)"
    return 1
  fi
  echo "private scheduler: pid $cupsd_pid, socket $socket" >&2
}
scheduler_up_or_gone() { lpstat -r >/dev/null 2>&1 || ! kill -0 "$cupsd_pid" 2>/dev/null; }

# Adds the cups-pdf queue $1, enabled.
add_pdf_queue() {
  local queue=$1
  # A scheduler that has only just started may turn the first request away: ask again.
  wait_until lpadmin -p "$queue" -E -v cups-pdf:/ -P "$cups_pdf_ppd" 2>"$work/lpadmin.err" ||
    { why="lpadmin could not add $queue: $(cat "$work/lpadmin.err")"; return 1; }
  LC_ALL=C lpstat -p "$queue" | grep -q enabled || { why="$queue is not enabled: $(lpstat -p "$queue")"; return 1; }
}

# The queues of a sheet test: the cups-pdf queue $queue (zel-sheets) and another queue that
# is the default, so the print dialog must be used to pick ours; the page size of ours as
# queue_page_size gives it.
add_sheet_queues() {
  queue=zel-sheets
  add_pdf_queue "$queue" || return 1
  lpadmin -p another-printer -E -v "file:///dev/null" -m raw 2>/dev/null \
    || { why="lpadmin could not add the other queue"; return 1; }
  lpadmin -d another-printer
  queue_page_size "$queue" || return 1
  echo "queue $queue prints on $media, $page_w x $page_h pt" >&2
}

# The page size queue $1 prints on by default into $media, its size in points into $page_w
# and $page_h, from the queue's own copy of its description (the scheduler sets the default
# from the machine's paper size).
queue_page_size() {
  local queue_ppd=$work/etc/ppd/$1.ppd
  media=$(sed -n 's/^\*DefaultPageSize: *\([^ ]*\).*/\1/p' "$queue_ppd" | tr -d '\r')
  [ -n "$media" ] || { why="no default page size in $queue_ppd"; return 1; }
  read -r page_w page_h < <(sed -n "s|^\*PaperDimension $media/[^:]*: *\"\([0-9.]*\) \([0-9.]*\)\".*|\1 \2|p" \
    "$queue_ppd") || true
  [ -n "${page_w:-}" ] || { why="no paper size for $media in $queue_ppd"; return 1; }
}

# A whole PDF from cups-pdf, and queue $1 done with it: its path in $pdf.
pdf_printed() {
  pdf=$(find "$work/pdf" -name '*.pdf' -size +0 2>/dev/null | head -n 1)
  [ -n "$pdf" ] && ! lpstat -o "$1" 2>/dev/null | grep -q .
}

# Why no PDF came: the jobs and the scheduler's errors.
print_failure_log() {
  echo "jobs: $(lpstat -W all -o 2>&1); log: $(grep -E '^E ' "$work/log/error_log" | tail -5)"
}

# Holds the PDF $pdf against the queue's page: one page of $page_w x $page_h points.
check_one_page() {
  local pages pdf_w pdf_h
  pages=$(pdfinfo "$pdf" | awk '/^Pages:/ {print $2}')
  read -r pdf_w pdf_h < <(pdfinfo "$pdf" | awk '/^Page size:/ {print $3, $5}')
  echo "PDF: $pages page(s), $pdf_w x $pdf_h pt" >&2
  [ "$pages" = 1 ] || { why="the sheet has $pages pages, not one"; return 1; }
  awk -v a="$pdf_w" -v b="$pdf_h" -v c="$page_w" -v d="$page_h" \
    'BEGIN {exit !((a - c) ^ 2 < 1 && (b - d) ^ 2 < 1)}' \
    || { why="the page is $pdf_w x $pdf_h pt, the queue's $media is $page_w x $page_h pt"; return 1; }
}

# The box images of $pdf, one line each (width, height, resolution), into $work/images; there
# must be $1 of them, one per character typed. Their resolution, the printer's, into $dpi.
read_box_images() {
  pdfimages -list "$pdf" | awk 'NR > 2 {print $4, $5, $13}' >"$work/images"
  [ "$(wc -l <"$work/images")" -eq "$1" ] || { why="$(wc -l <"$work/images") box images, $1 characters typed"; return 1; }
  dpi=$(awk 'NR == 1 {print $3}' "$work/images")
}

# The sheet of $pdf against its geometry on a printable area: sheet_check on renderings of
# the page, then each box image's size and resolution against the geometry's. The printable
# area in printer pixels at $dpi: $1 left, $2 top, $3 width, $4 height; $5 characters typed;
# the rest is the sheet_check command. Fine renderings measure every line's width.
check_sheet_geometry() {
  local left=$1 top=$2 width=$3 height=$4 typed=$5 render_dpi=100 fine_dpi=600 image_w image_h w h r
  shift 5
  pdftoppm -r "$render_dpi" -gray "$pdf" "$work/page"
  pdftoppm -r "$fine_dpi" -gray "$pdf" "$work/fine"
  "$@" "$work"/page*.pgm "$render_dpi" 0 "$typed" "$dpi" "$left" "$top" "$width" "$height" \
    "$work"/fine*.pgm "$fine_dpi" | tr -d '\r' | tee "$work/check.txt" >&2
  [ "${PIPESTATUS[0]}" -eq 0 ] || { why="the printed sheet does not match its geometry"; return 1; }
  read -r image_w image_h < <(sed -n 's/^box image \([0-9]*\)x\([0-9]*\)$/\1 \2/p' "$work/check.txt")
  # The box images go to the printer at 1 : 1, so their size is the box's less its outline.
  while read -r w h r; do
    [ "$w" = "$image_w" ] && [ "$h" = "$image_h" ] && [ "$r" = "$dpi" ] \
      || { why="a box image is $w x $h at $r dpi, the geometry says $image_w x $image_h at $dpi"; return 1; }
  done <"$work/images"
}
