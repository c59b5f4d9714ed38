#!/usr/bin/env bash
# Started on a system without any font for kana, the program says so in a box before its
# window opens. The window must then open where the settings put it, its title bar on the
# screen, and store the same rectangle when closed: three starts in a row do not move it.
set -euo pipefail
zel=$(realpath "$1")
source "$(dirname "$0")/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$work/home
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME/.config" "$work/run"
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
# Only DejaVu, which has no kana.
cat >"$work/fonts.conf" <<CONF
<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><dir>/usr/share/fonts/truetype/dejavu</dir><cachedir>$work/fontcache</cachedir></fontconfig>
CONF
export FONTCONFIG_FILE=$work/fonts.conf
[ -z "$(fc-list :lang=ja family)" ] || fail "the font configuration still has a face for Japanese"
ini=$HOME/.config/zel.ini
printf '[Setting]\r\nWinPosL=100\r\nWinPosR=700\r\nWinPosT=60\r\nWinPosB=500\r\n' >"$ini"
saved_rect() { grep -a '^WinPos' "$ini" | tr -d '\r' | sort | tr '\n' ' '; }
expected=$(saved_rect)

start_virtual_screen

# The frame the window manager put round window $1: its corner and size, as "x y w h".
frame_box() {
  window_frame "$1"
  echo "$fx $fy $(xwininfo -id "$frame" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w, h}')"
}
frame_at_saved_place() { [ "$(frame_box "$window")" = "100 60 600 440" ]; }
for start in 1 2 3; do
  (cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
  zel_pid=$!
  pids+=($zel_pid)
  box=$(find_program_window "$zel_pid" 'フォント') || fail "start $start: no word about the missing font"
  focus_window "$box" || fail "start $start: the box did not take the keyboard focus"
  xdotool key Return
  window=$(find_program_window "$zel_pid" 'もじもり') || fail "start $start: no main window"
  wait_until frame_at_saved_place ||
    fail "start $start: the window's frame is at $(frame_box "$window"), not at 100 60 600 440"
  read -r cx cy < <(window_corner "$window")
  [ "$cy" -gt 60 ] || fail "start $start: the window's inside is at $cx,$cy, over its title bar"
  focus_window "$window" || fail "start $start: the window did not take the keyboard focus"
  xdotool key alt+F4
  ended() { ! kill -0 "$zel_pid" 2>/dev/null; }
  wait_until ended || fail "start $start: Alt+F4 did not end the program"
  wait "$zel_pid" || fail "start $start: the program ended with an error"
  [ "$(saved_rect)" = "$expected" ] ||
    fail "start $start: the settings hold [$(saved_rect)], not [$expected]"
  echo "start $start: frame at 100,60 600x440, inside at $cx,$cy; stored [$(saved_rect)]"
done
echo PASS
