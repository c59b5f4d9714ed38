#!/usr/bin/env bash
# Takes the README's pictures of the Windows program, run under Wine on a virtual screen in
# a fresh Wine session (tests/windows/wine_session.sh), into docs/:
#   windows_hiragana.png   the main window with a typed line, hiragana set
#   windows_question.png   a picture question from the sample set
#   windows_counting.png   a counting question in the digits set, with the mode bar shown
# Usage: tools/make_windows_screenshots.sh [zel.exe]   (default: build/windows/tree/src/zel.exe,
# built first)
set -euo pipefail
cd "$(dirname "$0")/.."
repo=$PWD
if [ -z "${WINEPREFIX:-}" ]; then
  source tools/packages.sh
  zel_ensure_packages xvfb xdotool x11-utils imagemagick openbox "${ZEL_WINDOWS_PACKAGES[@]}"
  zel_ensure_locale ja_JP.UTF-8
  if [ $# -ge 1 ]; then
    zel=$(realpath "$1")
  else
    cmake -S . -B build/windows/tree -G Ninja -DCMAKE_BUILD_TYPE=Release -DZEL_LOGIC_ONLY=ON \
      -DZEL_WIN32_PROGRAM=ON -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchains/mingw-w64-x86_64.cmake" >/dev/null
    cmake --build build/windows/tree -j "${ZEL_JOBS:-2}" --target zel_win32 zel_probe
    zel=$repo/build/windows/tree/src/zel.exe
  fi
  exec tests/windows/wine_session.sh "$0" "$zel"
fi
zel=$1
probe=$(dirname "$zel")/../tests/zel_probe.exe
docs=$repo/docs
source tests/e2e/virtual_screen.sh
make_scratch
fail() { echo "make_windows_screenshots: $*" >&2; exit 1; }

mkdir -p "$work/run"
cp -R sample/. "$work/run/"
# One picture question, so the picture is known.
head -n 1 sample/mondai.txt >"$work/run/mondai.txt"
(cd "$work/run" && exec "$repo/tests/windows/wine_run.sh" "$zel") >"$work/zel.log" 2>&1 &
pids+=($!)
window=$(find_program_window "" 'もじもり') || fail "no main window"
focus_window "$window" || fail "the window did not take the focus"
window_frame "$window"

line_is() { [ "$("$repo/tests/windows/wine_run.sh" "$probe" line | tr -d '\r')" = "$1" ]; }
red_at_least() { local r b o w; read -r r b o w < <(window_colours "$window" "$work/client.png"); [ "$r" -gt "$1" ]; }
picture_shown() { local r b o w; read -r r b o w < <(window_colours "$window" "$work/client.png"); [ "$o" -gt 2000 ]; }
shoot() {
  import -window "$frame" "$work/shot.png"
  convert "$work/shot.png" -strip -define png:compression-level=9 "$docs/$1"
  echo "docs/$1"
}

# Keys follow the Japanese kana layout: M も, Shift+D じ, L り.
xdotool key m shift+d m l
wait_until line_is "もじもり" || fail "the line did not show もじもり"
wait_until red_at_least 2000 || fail "no red character on the panel"
shoot windows_hiragana.png

xdotool key F1
wait_until line_is "" || fail "the question did not clear the line"
wait_until picture_shown || fail "no picture for the question"
xdotool key e
wait_until line_is "い" || fail "the answer's first kana did not show"
shoot windows_question.png

"$repo/tests/windows/wine_run.sh" "$probe" command 1213  # the mode bar
xdotool key F10 F1
wait_until line_is "" || fail "the counting question did not clear the line"
no_picture() { local r b o w; read -r r b o w < <(window_colours "$window" "$work/client.png"); [ "$o" -lt 200 ] && [ "$r" -gt 300 ]; }
wait_until no_picture || fail "no circles in place of the picture"
shoot windows_counting.png
xdotool key alt+F4
