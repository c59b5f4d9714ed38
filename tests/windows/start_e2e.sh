#!/usr/bin/env bash
# What a start of the installed Windows program meets, under Wine, as the Linux program
# meets it: the leftover of a first start killed while copying goes, and nothing else of a
# like name; a window rectangle from INT_MIN to INT_MAX in the settings opens the window
# whole on the screen and is stored so; settings that cannot be written are told once, in
# one box over the window, and the close that writes them all again tells nothing more.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   start_e2e.sh <zel.exe> <sample folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test

# The installed layout: the program with the sample set beside it.
mkdir -p "$work/prog"
cp "$1" "$work/prog/zel.exe"
cp -r "$2" "$work/prog/sample"
documents=$(realpath "$WINEPREFIX/drive_c/users/$(id -un)/Documents")
appdata=$(zel_appdata)
rm -rf "$documents/mojimori" "$documents"/.mojimori* "$appdata"
mkdir -p "$appdata"
ini=$appdata/zel.ini
printf '[Setting]\r\nWinPosL=-2147483648\r\nWinPosR=2147483647\r\nWinPosT=-2147483648\r\nWinPosB=2147483647\r\n' >"$ini"

# Odd process ids are never given on Windows: 4000000001's start has ended.
mkdir -p "$documents/.mojimori-4000000001/e" "$documents/.mojimori-12x/e"
cp "$2/mondai.txt" "$documents/.mojimori-4000000001/e/"
cp "$2/mondai.txt" "$documents/.mojimori-12x/e/"
echo "a file, not a folder" >"$documents/.mojimori-4000000005"

program_ended() { ! kill -0 "$zel_pid" 2>/dev/null; }
start_installed() {
  (cd "$work" && exec "$here/wine_run.sh" "$work/prog/zel.exe") >"$work/zel.log" 2>&1 &
  zel_pid=$!
  pids+=($zel_pid)
  bound=120 wait_until find_window '^もじもり' || fail "no main window"
  window=$found
}
saved_rect() { grep -a '^WinPos' "$ini" | tr -d '\r' | tr '\n' ' '; }
# The stored rectangle lies on the 1024 x 768 screen, at least as large as the default. Wine
# keeps the window's rectangle by its own frame, a few pixels off the window manager's,
# which it stands inside of: some slack.
rect_on_screen() {
  tr -d '\r' <"$ini" | awk -F= '/^WinPos/ { v[$1] = $2 + 0 }
    END { l = v["WinPosL"]; r = v["WinPosR"]; t = v["WinPosT"]; b = v["WinPosB"]; s = 8
          exit !(l >= -s && t >= -s && r <= 1024 + s && b <= 768 + s && r - l >= 560 && b - t >= 420) }'
}
# The frame the window manager put round the main window lies wholly on the screen.
frame_on_screen() {
  local w h
  window_frame "$window"
  read -r w h < <(xwininfo -id "$frame" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')
  frame_box="$fx,$fy ${w}x$h"
  [ "$fx" -ge 0 ] && [ "$fy" -ge 0 ] && [ $((fx + w)) -le 1024 ] && [ $((fy + h)) -le 768 ]
}

# First start, with settings it may write.
start_installed
[ -f "$documents/mojimori/mondai.txt" ] || fail "no question folder Documents\\mojimori"
left=$(cd "$documents" && ls -d .mojimori* | LC_ALL=C sort | tr '\n' ' ')
[ "$left" = ".mojimori-12x .mojimori-4000000005 " ] ||
  fail "the staging folders left beside the question folder are [$left]"
[ -f "$documents/.mojimori-12x/e/mondai.txt" ] || fail "a folder of another name lost its files"
wait_until frame_on_screen || fail "the window's frame at $frame_box is not wholly on the screen"
focus_window "$window" || fail "the main window did not take the focus"
xdotool key alt+F4
wait_until program_ended || fail "the program did not end"
rect_on_screen || fail "the stored rectangle is off the screen: $(saved_rect)"
echo "from INT_MIN..INT_MAX: the frame at $frame_box, the window stored at: $(saved_rect)"

# Second start, the settings marked read-only: one box, over the window, named by the file.
# Without ExeDir and VoiceSpeed in the file, the start and the close each have a write that
# changes it, and fails.
grep -av '^ExeDir=\|^VoiceSpeed=' "$ini" >"$work/zel.ini" || true
cp "$work/zel.ini" "$ini"
stored=$(cat "$ini")
chmod a-w "$ini"
start_installed
bound=60 wait_until find_window 'zel\.ini' || fail "a settings file that takes no writes was not told"
box=$found
focus_window "$box" || fail "the box did not take the focus"
xdotool key Return
box_gone() { ! find_window 'zel\.ini'; }
wait_until box_gone || fail "the box did not close"
focus_window "$window" || fail "the main window did not take the focus back"
xdotool key alt+F4
ended_or_told() { program_ended || find_window 'zel\.ini'; }
wait_until ended_or_told || fail "the program did not end"
program_ended || fail "the close told the failed write a second time"
[ "$(cat "$ini")" = "$stored" ] || fail "the read-only settings changed"
echo "PASS"
