#!/usr/bin/env bash
# Takes the README's pictures from the real program on a virtual screen, into docs/:
#   hiragana.png      the main window with a typed line, hiragana set
#   katakana.png      the same in the katakana set
#   question.png      a picture question from the sample set
#   stroke_order.png  the frames of a stroke-order film, side by side
#   sheet.png         a printed practice sheet (printed to a PDF file, rendered by pdftoppm)
#   smooth_film.png   the smooth stroke-order film part-way (なめらかな かきじゅん)
#   trace_check.png   the tracing check after two right strokes and a wrong one (なぞりがき チェック)
#   katakana_film.png the katakana's own smooth film part-way, in the katakana set
#   katakana_frames.png  the frames of that film, side by side
# Usage: tools/make_screenshots.sh [zel program]   (default: build/main/src/zel, built first)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
source tools/packages.sh
zel_ensure_packages xvfb xdotool x11-utils imagemagick openbox poppler-utils
if [ $# -ge 1 ]; then
  zel=$(realpath "$1")
else
  cmake -S . -B build/main -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build build/main -j "${ZEL_JOBS:-2}" --target zel
  zel=$repo/build/main/src/zel
fi
docs=$repo/docs
mkdir -p "$docs"

source tests/e2e/virtual_screen.sh
make_scratch
fail() { echo "make_screenshots: $*" >&2; exit 1; }

# A fresh home whose settings slow the stroke-order film down, so every frame can be caught;
# the sample set with its help as the question folder; no printers, so the print dialog
# offers its PDF file.
export HOME=$work/home SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb CUPS_SERVER=$work/no-cups.sock
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME/.config" "$work/run"
printf '[Setting]\r\nKakijunSpeed=700\r\n' >"$HOME/.config/zel.ini"
cp -R sample/. "$work/run/"
cp resources/help/zel.html "$work/run/"

start_virtual_screen
# Starts the program in the question folder and waits for its main window: sets $zel_pid,
# $window and its frame.
start_program() {
  (cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
  zel_pid=$!
  pids+=($zel_pid)
  window=$(find_program_window "$zel_pid" 'もじもり') || fail "no main window: $(cat "$work/zel.log")"
  xdotool windowactivate --sync "$window"
  sleep 1
  window_frame "$window"
}
start_program

# The window with its title bar; small PNGs for the README.
shoot() {
  sleep 0.8
  import -window "$frame" "$work/shot.png"
  convert "$work/shot.png" -strip -define png:compression-level=9 "$docs/$1"
}
# The display panel's place in the window without its frame, and its size.
panel_x=7 panel_y=180 panel_w=219 panel_h=208
# The display panel alone.
panel() {
  import -window "$window" "$work/client.png"
  convert "$work/client.png" -crop ${panel_w}x${panel_h}+${panel_x}+${panel_y} +repage "$1"
}
# How many pixels of picture $1 have colour $2, give or take a little.
pixels_of() {
  convert "$1" -fuzz 12% -fill black +opaque "$2" -fill white -opaque "$2" -format '%[fx:int(mean*w*h+0.5)]' info:
}

# Keys follow the Japanese kana layout: M も, Shift+D じ, L り, T か, Q た, U な.
xdotool key m shift+d m l
shoot hiragana.png

xdotool key F7 t q t u
shoot katakana.png

# The stroke-order film of あ (key 3): a frame each KakijunSpeed ms, caught when it changes.
# Before and after the film the panel shows the character itself: those are left out.
xdotool key F6 3
sleep 0.8
panel "$work/still.png"
xdotool key F3
frames=()
for i in $(seq 0 100); do
  panel "$work/frame-$i.png"
  if [ "$(compare -metric AE "$work/still.png" "$work/frame-$i.png" null: 2>&1 || true)" != 0 ] &&
     { [ ${#frames[@]} -eq 0 ] ||
       [ "$(compare -metric AE "${frames[-1]}" "$work/frame-$i.png" null: 2>&1 || true)" != 0 ]; }; then
    frames+=("$work/frame-$i.png")
  fi
  sleep 0.15
done
# The film is over by now: its last view is the character again.
if [ "$(compare -metric AE "${frames[-1]}" "$work/frame-100.png" null: 2>&1 || true)" = 0 ]; then
  unset 'frames[-1]'
fi
[ ${#frames[@]} -ge 4 ] || fail "the stroke-order film showed only ${#frames[@]} frames"
echo "stroke-order frames caught: ${#frames[@]}"
montage "${frames[@]}" -tile 8x -geometry 96x91+3+3 -background white -strip \
  -define png:compression-level=9 "$docs/stroke_order.png"

# A sheet of the typed line, printed to a PDF file through いんさつ... (ファイル menu).
xdotool key Delete m shift+d m l
sleep 0.5
open_print_menu_item "$zel_pid"
options=$(find_program_window "$zel_pid" '^いんさつ$') || fail "no いんさつ dialog"
xdotool windowactivate --sync "$options" key Return
dialog=$(find_program_window "$zel_pid" '^印刷$|^Print$') || fail "no print dialog"
xdotool windowactivate --sync "$dialog" key Return
for _ in $(seq 100); do [ -s "$HOME/print.pdf" ] && break; sleep 0.1; done
[ -s "$HOME/print.pdf" ] || fail "the print dialog wrote no PDF file"
# On a busy machine the file is still being written: wait until it reads as a whole.
for _ in $(seq 300); do pdfinfo "$HOME/print.pdf" >/dev/null 2>&1 && break; sleep 0.1; done
pdftoppm -r 40 -png -singlefile "$HOME/print.pdf" "$work/sheet"
convert "$work/sheet.png" -bordercolor '#bbbbbb' -border 1 -strip \
  -define png:compression-level=9 "$docs/sheet.png"

# A picture question from mondai.txt: もんだい (F1).
xdotool key F1
shoot question.png

# The two settings that are off by default, in a second run whose zel.ini turns them on.
kill "$zel_pid"
wait "$zel_pid" 2>/dev/null || true
printf '[Setting]\r\nKakijunSpeed=700\r\nSmoothKakijun=1\r\nTraceCheck=1\r\n' >"$HOME/.config/zel.ini"
start_program
read -r cx cy < <(window_corner "$window")

# The smooth film of あ: a frame each 700 ms from 100 ms after F3; frame 10 shows strokes 1
# and 2 written, numbered, and the third under way.
xdotool key F6 3
sleep 1
xdotool key F3
sleep 6.6
panel "$work/film.png"
shoot smooth_film.png  # 7.4 s after F3
[ "$(pixels_of "$work/film.png" blue)" -gt 500 ] && [ "$(pixels_of "$work/film.png" red)" -gt 500 ] ||
  fail "the smooth film was not caught part-way"
sleep 6  # the film ends: the kana is back in its font

# A pen stroke on the panel along a centre line given as "x,y ..." in the 0..100 stroke box,
# placed on the panel as the program places it (KanaPlacement): in the largest square, the
# box 920/1000 of it from 70/1000 left and 50/1000 down.
trace() {
  local side=$((panel_w < panel_h ? panel_w : panel_h)) points
  points=$(echo "$*" | tr ' ' '\n' | awk -F, -v s="$side" -v w="$panel_w" -v h="$panel_h" \
    -v ox=$((cx + panel_x)) -v oy=$((cy + panel_y)) '
    { x = ox + (w - s) / 2 + s * 0.07 + $1 * s * 0.0092
      y = oy + (h - s) / 2 + s * 0.05 + $2 * s * 0.0092
      # steps of a few pixels, as a hand moves
      if (NR > 1) for (k = 1; k < 4; k++) printf "%d %d\n", px + (x - px) * k / 4, py + (y - py) * k / 4
      printf "%d %d\n", x, y; px = x; py = y }')
  local first=1 x y
  while read -r x y; do
    xdotool mousemove "$x" "$y"
    if [ $first = 1 ]; then xdotool mousedown 1; first=0; fi
    sleep 0.01
  done <<<"$points"
  xdotool mouseup 1
  sleep 0.5
}

# き traced: its first two strokes right (blue), then its fourth instead of the third, which
# is taken away; the orange dot numbered 3 pulses where the third stroke starts.
xdotool key Delete g
sleep 1
trace 18,34 30,32 45,28 60,24 72,23
trace 27,49 40,49 55,46 68,43 76,41
trace 22,68 23,76 30,82 42,88 54,91 60,93
panel "$work/trace.png"
shoot trace_check.png
[ "$(pixels_of "$work/trace.png" blue)" -gt 300 ] && [ "$(pixels_of "$work/trace.png" '#ff8c00')" -gt 200 ] ||
  fail "the tracing check showed no right strokes or no dot for the next one"

# With the smooth films the katakana set shows かきじゅん and plays the katakana's own film:
# シ (key D), whose third stroke rises from the lower left. A third run with a slow film, so
# that every frame is caught: first every frame, when it changes, then the window part-way
# through the third stroke.
kill "$zel_pid"
wait "$zel_pid" 2>/dev/null || true
printf '[Setting]\r\nKakijunSpeed=1500\r\nSmoothKakijun=1\r\n' >"$HOME/.config/zel.ini"
start_program
xdotool key F7 d
sleep 1
panel "$work/kstill.png"
xdotool key F3
frames=()
film_end=$((SECONDS + 28))  # 100 ms + 17 x 1500 ms, and some
i=0
while [ $SECONDS -lt $film_end ]; do
  panel "$work/kframe-$i.png"
  if [ "$(compare -metric AE "$work/kstill.png" "$work/kframe-$i.png" null: 2>&1 || true)" != 0 ] &&
     { [ ${#frames[@]} -eq 0 ] ||
       [ "$(compare -metric AE "${frames[-1]}" "$work/kframe-$i.png" null: 2>&1 || true)" != 0 ]; }; then
    frames+=("$work/kframe-$i.png")
  fi
  i=$((i + 1))
  sleep 0.15
done
panel "$work/kafter.png"
if [ "$(compare -metric AE "${frames[-1]}" "$work/kafter.png" null: 2>&1 || true)" = 0 ]; then
  unset 'frames[-1]'
fi
[ ${#frames[@]} -ge 15 ] || fail "the katakana film showed only ${#frames[@]} frames"
echo "katakana film frames caught: ${#frames[@]}"
montage "${frames[@]}" -tile 8x -geometry 110x104+3+3 -background white -strip \
  -define png:compression-level=9 "$docs/katakana_frames.png"
xdotool key F3
sleep 17.2
panel "$work/kfilm.png"
shoot katakana_film.png  # 18 s after F3: frame 11, the third stroke under way
[ "$(pixels_of "$work/kfilm.png" blue)" -gt 300 ] && [ "$(pixels_of "$work/kfilm.png" red)" -gt 200 ] ||
  fail "the katakana film was not caught part-way"

ls -l "$docs"
