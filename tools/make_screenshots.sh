#!/usr/bin/env bash
# Takes the README's pictures from the real program on a virtual screen, into docs/:
#   hiragana.png      the main window with a typed line, hiragana set
#   katakana.png      the same in the katakana set
#   question.png      a picture question from the sample set
#   stroke_order.png  the frames of a stroke-order film, side by side
#   sheet.png         a printed practice sheet (printed to a PDF file, rendered by pdftoppm)
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

work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "make_screenshots: $*" >&2; exit 1; }

# A fresh home whose settings slow the stroke-order film down, so every frame can be caught;
# the sample set with its help as the question folder; no printers, so the print dialog
# offers its PDF file.
export HOME=$work/home SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb CUPS_SERVER=$work/no-cups.sock
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR ZEL_NOTICE
mkdir -p "$HOME/.config" "$work/run"
printf '[Setting]\r\nKakijunSpeed=700\r\n' >"$HOME/.config/zel.ini"
cp -R sample/. "$work/run/"
cp resources/help/zel.html "$work/run/"

source tests/e2e/virtual_screen.sh
start_virtual_screen
(cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
zel_pid=$!
pids+=($zel_pid)

window=$(find_program_window "$zel_pid" 'もじもり') || fail "no main window: $(cat "$work/zel.log")"
xdotool windowactivate --sync "$window"
sleep 1
window_frame "$window"

# The window with its title bar; small PNGs for the README.
shoot() {
  sleep 0.8
  import -window "$frame" "$work/shot.png"
  convert "$work/shot.png" -strip -define png:compression-level=9 "$docs/$1"
}
# The display panel alone, from the window without its frame.
panel() {
  import -window "$window" "$work/client.png"
  convert "$work/client.png" -crop 219x208+7+180 +repage "$1"
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
open_print_menu_item
options=$(find_program_window "$zel_pid" '^いんさつ$') || fail "no いんさつ dialog"
xdotool windowactivate --sync "$options" key Return
dialog=$(find_program_window "$zel_pid" '^印刷$|^Print$') || fail "no print dialog"
xdotool windowactivate --sync "$dialog" key Return
for _ in $(seq 100); do [ -s "$HOME/print.pdf" ] && break; sleep 0.1; done
[ -s "$HOME/print.pdf" ] || fail "the print dialog wrote no PDF file"
sleep 1
pdftoppm -r 40 -png -singlefile "$HOME/print.pdf" "$work/sheet"
convert "$work/sheet.png" -bordercolor '#bbbbbb' -border 1 -strip \
  -define png:compression-level=9 "$docs/sheet.png"

# A picture question from mondai.txt: もんだい (F1).
xdotool key F1
shoot question.png

ls -l "$docs"
