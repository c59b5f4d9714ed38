#!/usr/bin/env bash
# The panel after the window's layout changes, under Wine: resized by the window manager,
# maximised and restored by the caption's buttons, the mode bar shown and hidden from the
# menu. After each, once the screen has settled, the panel must show exactly what a fresh
# paint of it shows, and none of the window's grey ground: a frame or sibling painted over
# it would leave the grey until the next key.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   relayout_e2e.sh <zel.exe> <zel_probe.exe> <sample folder>
set -euo pipefail
zel=$(realpath "$1")
probe_exe=$(realpath "$2")
sample=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test
# Fresh settings: an earlier test's colour, size or mode bar would change the panel.
rm -rf "$(zel_appdata)"
start_zel_window "$zel" "$sample"

probe() { timeout 30 "$here/wine_run.sh" "$probe_exe" "$@" | tr -d '\r'; }
probe_answers() { probe rect 1113 >/dev/null 2>&1; }
wait_until probe_answers || fail "the program does not answer its probe"

# The panel's pixels, where the program says the panel is now, into $work/$1.txt.
panel_shot() {
  local left top w h
  read -r left top w h < <(probe rect 1113)
  [ "$w" -gt 0 ] && [ "$h" -gt 0 ] || fail "the panel is ${w}x${h}"
  import -window root "$work/screen.png"
  convert "$work/screen.png" -crop "${w}x${h}+${left}+${top}" +repage txt:- | tail -n +2 >"$work/$1.txt"
  # With ZEL_RELAYOUT_SHOTS naming a folder, the panel's shots are kept there.
  [ -z "${ZEL_RELAYOUT_SHOTS:-}" ] ||
    convert "$work/screen.png" -crop "${w}x${h}+${left}+${top}" +repage "$ZEL_RELAYOUT_SHOTS/$1.png"
}
# The panel as it is once two shots in a row agree: painting has stopped.
settled_panel() {
  panel_shot previous
  settled() {
    panel_shot "$1"
    cmp -s "$work/$1.txt" "$work/previous.txt" && return 0
    mv "$work/$1.txt" "$work/previous.txt"
    return 1
  }
  wait_until settled "$1" || fail "the panel never settled"
}
# The window's own ground, read off the client area left of the first key.
ground=
read_ground() {
  local left top w h
  read -r left top w h < <(probe rect 1066)
  import -window root "$work/screen.png"
  ground=$(convert "$work/screen.png" -crop "1x1+$((left - 3))+$((top + 2))" +repage txt:- |
    grep -oE '#[0-9A-F]{6}' | head -n 1)
  [ -n "$ground" ] || fail "the window's ground could not be read"
}

# The panel after one change, held against a fresh paint of itself.
check_after() {
  local change=$1
  settled_panel after
  local grey
  grey=$(grep -c " $ground " "$work/after.txt" || true)
  [ "$grey" -eq 0 ] || fail "after $change, $grey pixels of the panel show the window's ground $ground"
  probe repaint || fail "the probe could not repaint the panel"
  settled_panel fresh
  cmp -s "$work/after.txt" "$work/fresh.txt" ||
    fail "after $change the panel differs from a fresh paint in" \
      "$(diff "$work/after.txt" "$work/fresh.txt" | grep -c '^<') pixels"
  echo "after $change: the panel as freshly painted ($(wc -l <"$work/after.txt") pixels)"
}

panel_size() { probe rect 1113 | cut -d' ' -f3-4; }
size_changed() { [ "$(panel_size)" != "$1" ]; }
bar_shown() { [ "$(probe visible 1081)" = "$1" ]; }

wait_for panel_white 20000 || fail "the window was never painted"
focus_window "$window" || fail "the main window did not take the keyboard"
xdotool key t
wait_for panel_red 2000 || fail "the typed character is not on the panel in red"
read_ground

before=$(panel_size)
xdotool windowsize "$window" 700 520
wait_until size_changed "$before" || fail "the window was not resized"
check_after "a resize"

before=$(panel_size)
probe maximize
wait_until size_changed "$before" || fail "the window was not maximised"
check_after "maximising"

before=$(panel_size)
probe restore
wait_until size_changed "$before" || fail "the window was not restored"
check_after "restoring"

shown=$(probe visible 1081)
for _ in 1 2; do
  probe command 1213
  want=$((1 - shown))
  wait_until bar_shown "$want" || fail "the mode bar was not toggled"
  shown=$want
  check_after "the mode bar $([ "$shown" = 1 ] && echo shown || echo hidden)"
done
