#!/usr/bin/env bash
# The file dialogs under Wine, as a parent uses them: a line saved into another folder
# leaves the program where it started, so the next picture question still finds its
# picture beside mondai.txt; a name that is not there, typed into the load dialog, reaches
# the program, which says 「ファイルがオープンできません。」 with the name as caption.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   file_dialog_e2e.sh <zel.exe> <zel_probe.exe> <sample folder>
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
mkdir -p "$work/other"

probe() { timeout 30 "$here/wine_run.sh" "$probe_exe" "$@"; }
# In the dialog of menu command $1, titled $3, goes to the folder of the path $2 as a
# parent browsing would, then gives the file's name.
use_dialog() {
  probe command "$1" || fail "the probe could not give command $1"
  wait_until find_window "$3" || fail "no dialog $3"
  local dialog=$found
  focus_window "$dialog" || fail "the dialog $3 did not take the keyboard"
  xdotool type --delay 10 "$(winepath -w "$(dirname "$2")")"
  xdotool key Return
  xdotool type --delay 10 "$(basename "$2")"
  xdotool key Return
}

wait_for panel_white 20000 || fail "the window was never painted"
focus_window "$window" || fail "the main window did not take the keyboard"
xdotool key t

use_dialog 1208 "$work/other/line.TXT" 'ほぞんする'
wait_until test -s "$work/other/line.TXT" || fail "the line was not saved in the other folder"
focus_window "$window" || fail "the main window did not take the keyboard back"
xdotool key F1
wait_for panel_picture 2000 ||
  fail "after a save in another folder the question's picture was not found where the program started"
xdotool key Escape

use_dialog 1209 "$work/other/none.TXT" 'よびだす'
wait_until find_window 'none.TXT' ||
  fail "no message of the program's own, with the missing file's name as its caption"
xdotool key Return
echo "the missing name reached the program, which said so"
