#!/usr/bin/env bash
# The Linux program (under Xvfb) and the Windows program (under Wine) given the same keys and
# menu commands, one after the other on the same screen, must end in the same state:
#   - kana typed in the hiragana, katakana, romaji and digit sets, a backspace: the line;
#   - the font dialog's colour changed to blue: the character on the panel;
#   - the line saved as a text file (ほぞん...): the file, byte for byte;
#   - the line erased (けす), a picture question from the sample set answered with a wrong
#     key and then the right ones, a counting question answered by the circles shown;
#   - two settings changed from the menu (the mode bar, なめらかな かきじゅん), the window
#     resized, the program closed: zel.ini's keys and values (Windows writes CR LF, as Linux
#     does; the program's folder and the window's place on the screen are each system's own).
# Then files change hands: a text file saved by either program loads into the other as the
# same line, and the zel.ini written by either gives the other the same font colour, window
# size and settings.
# The line is read from outside: on Linux through the accessibility bus (atspi_probe.py), on
# Windows by tests/windows/zel_probe.exe from the same Wine session.
# Runs in the Wine prefix and on the screen of tests/windows/wine_tests.sh:
#   compare_e2e.sh <Linux zel> <zel.exe> <zel_probe.exe> <sample folder>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
# The accessibility bus needs a session bus of the test's own.
if [ -z "${ZEL_COMPARE_BUS:-}" ]; then
  ZEL_COMPARE_BUS=1 exec dbus-run-session -- "$0" "$@" 2> >(grep -v 'fd limit' >&2)
fi
linux_zel=$(realpath "$1")
windows_zel=$(realpath "$2")
probe_exe=$(realpath "$3")
sample=$(realpath "$4")
source "$here/../e2e/virtual_screen.sh"
make_scratch
# On a failure the screen is kept in $ZEL_FAIL_SHOT, when set.
fail() { echo "FAIL: $*" >&2; [ -z "${ZEL_FAIL_SHOT:-}" ] || import -window root "$ZEL_FAIL_SHOT" || true; exit 1; }
[ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"
[ -x "$linux_zel" ] || fail "no Linux program at $1"
[ -n "${ZEL_WINE_DISPLAY:-}" ] || start_virtual_screen
export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/mojimori
atspi=$here/../e2e/atspi_probe.py

# The question folder: the sample set with one picture question, so both programs ask the
# same one (which of several is drawn depends on the clock).
make_folder() {
  rm -rf "$1"
  cp -r "$sample" "$1"
  head -n 1 "$sample/mondai.txt" >"$1/mondai.txt"
}

# ---- One platform at a time: $os is linux or windows.
ini_of() { [ "$os" = linux ] && echo "$work/linux-home/.config/zel.ini" || echo "$appdata/zel.ini"; }
folder_of() { echo "$work/$os-run"; }

start_program() {
  local log=$work/$os.log
  if [ "$os" = linux ]; then
    (cd "$(folder_of)" && HOME=$work/linux-home exec "$linux_zel") >>"$log" 2>&1 &
  else
    (cd "$(folder_of)" && exec "$here/wine_run.sh" "$windows_zel") >>"$log" 2>&1 &
  fi
  zel_pid=$!
  pids+=($zel_pid)
  window=$(find_program_window "" 'もじもり') || fail "$os: no main window"
  wait_until painted || fail "$os: the window was never painted"
  focus_window "$window" || fail "$os: the main window did not take the focus"
}
# The program answers its probe once its window is up.
probe() {
  if [ "$os" = linux ]; then
    timeout 30 /usr/bin/python3 "$atspi" "$@"
  else
    timeout 30 "$here/wine_run.sh" "$probe_exe" "$@"
  fi
}
line() { probe line | tr -d '\r'; }
line_is() { [ "$(line 2>/dev/null)" = "$1" ]; }
# The menu item $1 (its text on Linux) / $2 (its command id on Windows), as a click on it.
# A dialog's item returns only when the dialog closes, so it is not waited for.
menu_command() {
  if [ "$os" = linux ]; then
    timeout 120 /usr/bin/python3 "$atspi" command "$1" >/dev/null 2>&1 &
    pids+=($!)
  else
    probe command "$2"
  fi
}
# Control $1 (its caption on Linux) / $2 (its id on Windows) is shown.
shown() {
  local name=$1 id=$2
  [ "$os" = linux ] || name=$id
  [ "$(probe visible "$name" 2>/dev/null)" = 1 ]
}

colours() { window_colours "$window" "$work/shot.png"; }
painted() { local r b o w; read -r r b o w < <(colours); [ "$w" -gt 20000 ]; }
blue_character() { local r b o w; read -r r b o w < <(colours); [ "$b" -gt 1500 ]; }
picture_shown() { local r b o w; read -r r b o w < <(colours); [ "$o" -gt 2000 ]; }
# The red circles of a counting question, each one blob.
circles() {
  colours >/dev/null
  convert "$work/shot.png" -fill black +opaque '#FF0000' -fill white -opaque '#FF0000' \
    -define connected-components:verbose=true -connected-components 8 null: |
    awk '/gray\(255\)|srgb\(255,255,255\)/ { split($3, a, "x"); if ($4 + 0 > 100) n++ } END { print n + 0 }'
}
# Circles in place of the picture and the answer's mark.
circles_shown() { local r b o w; read -r r b o w < <(colours); [ "$o" -lt 200 ] && [ "$(circles)" -gt 0 ]; }

# Types into the file dialog that menu item $1/$2 opens (its title $3) the name $4 of a file
# in the question folder: a bare name on Linux, where the dialog opens on the folder the
# program runs in (a path would bring up the name completer); the whole path on Windows,
# whose dialog opens where the user last went.
file_dialog() {
  menu_command "$1" "$2"
  local dialog
  dialog=$(find_program_window "" "$3") || fail "$os: no dialog $3"
  focus_window "$dialog" || fail "$os: the dialog $3 did not take the focus"
  if [ "$os" = linux ]; then
    xdotool type --delay 10 "$4"
  else
    xdotool type --delay 10 "$(winepath -w "$(folder_of)/$4")"
  fi
  xdotool key Return
  wait_until window_gone "$dialog" || fail "$os: the dialog $3 stayed"
}
window_gone() { ! xdotool getwindowname "$1" >/dev/null 2>&1 || ! xwininfo -id "$1" 2>/dev/null | grep -q IsViewable; }

close_program() {
  focus_window "$window" || true
  xdotool key alt+F4
  wait_until ended || fail "$os: the program did not end on Alt+F4"
}
ended() { ! xdotool search --onlyvisible --name 'もじもり' >/dev/null 2>&1 && ! kill -0 "$zel_pid" 2>/dev/null; }

# Records what a step shows (or $3 in its place), and checks it against what it must be.
record() { printf '%s: %s\n' "$1" "$2" >>"$work/$os.record"; }
expect_line() {
  wait_until line_is "$2" || true
  local got
  got=$(line)
  record "$1" "${3-$got}"
  [ "$got" = "$2" ] || fail "$os: after $1 the line is [$got], expected [$2]"
}

# After a right answer: the next question's message about its missing picture, then the line
# as the answer left it ($1, $2 and $3 as for expect_line), then the message closed.
after_answer() {
  local box
  box=$(find_program_window "" "nothing.bmp") || fail "$os: no message for the next question's picture"
  expect_line "$@"
  focus_window "$box" || fail "$os: the message did not take the focus"
  xdotool key Return
  wait_until window_gone "$box" || fail "$os: the message stayed"
}

# The sequence, the same for both programs.
run_sequence() {
  make_folder "$(folder_of)"
  rm -rf "$work/linux-home" "$appdata"
  mkdir -p "$work/linux-home/.config" "$appdata"
  start_program
  wait_until line_is "" || fail "$os: the line does not read empty at the start"
  # Kana layout: T か, 3 あ, Shift+T が, Alt+F ぱ; F7 katakana: T カ, Q タ; F9 romaji:
  # K の as NO; F10 digits １ ２; a backspace takes the ２.
  xdotool key t 3 shift+t alt+f
  expect_line hiragana "かあがぱ"
  # The font dialog (フォント...): its colour box (Alt+C) three down from red is blue, as in
  # every font dialog's sixteen colours; Return is OK.
  menu_command "フォント..." 1207
  local dialog
  dialog=$(find_program_window "" 'フォント') || fail "$os: no font dialog"
  focus_window "$dialog" || fail "$os: the font dialog did not take the focus"
  xdotool key alt+c Down Down Down Return
  wait_until window_gone "$dialog" || fail "$os: the font dialog stayed"
  wait_until blue_character || fail "$os: the character is not drawn in the colour chosen"
  xdotool key F7 t q F9 k F10 1 2 BackSpace
  expect_line sets "かあがぱカタNO１"
  file_dialog "ほぞん..." 1208 "ほぞんする" "line.TXT"
  wait_until test -s "$(folder_of)/line.TXT" || fail "$os: the line was not saved"
  xdotool key Delete
  expect_line erased ""
  # A picture question: a wrong key (か) is not typed, the answer いぬ (E, 1) is.
  # Two seconds after a right answer the next question empties the line, however slow the
  # machine. So the next one names a picture that is not there: its message holds the line
  # as the answer left it until it is closed.
  xdotool key F6 F1
  wait_until picture_shown || fail "$os: no picture for the question"
  printf 'nothing.bmp,いぬ\r\n' >"$(folder_of)/mondai.txt"
  xdotool key t e 1
  after_answer picture "いぬ"
  # A counting question, answered with the number of circles (10 is the key X). Return,
  # waiting in the same queue as the answer, reads the line aloud, which ends the quiz
  # before the timer to the next question can come due: the line stays as answered.
  xdotool key F10 F1
  wait_until circles_shown || fail "$os: no circles for the counting question"
  local n
  n=$(circles)
  echo "$os: $n circles"
  [ "$n" -ge 1 ] && [ "$n" -le 10 ] || fail "$os: $n circles"
  if [ "$n" -eq 10 ]; then xdotool key x Return; else xdotool key "$n" Return; fi
  # How many circles is drawn by lot: both lines must hold the number shown.
  # The digits set labels 1-9 in full-width digits, and 10 as "10".
  local shown_number=10
  [ "$n" -eq 10 ] || shown_number=$(echo "$n" | sed 'y/0123456789/０１２３４５６７８９/')
  expect_line counting "$shown_number" "the number of circles"
  # Two settings from the menu, and a window of another size.
  menu_command "ﾓｰﾄﾞ切替えﾎﾞﾀﾝ表示" 1213
  wait_until shown ア 1082 || fail "$os: the mode bar did not show"
  menu_command "なめらかな かきじゅん" 1220
  xdotool key F7
  wait_until shown かきじゅん 1075 || fail "$os: no かきじゅん button in the katakana set with sharp films"
  xdotool windowsize --sync "$window" 620 470
  record size "$(xdotool getwindowgeometry "$window" | awk '/Geometry/ {print $2}')"
  close_program
  cp "$(ini_of)" "$work/$os.ini"
  cp "$(folder_of)/line.TXT" "$work/$os-line.TXT"
}

# zel.ini as comparable lines: every key and value, CR LF ends checked apart. The program's
# folder is each system's own, and so is the window's rectangle: it is the outer one, and
# the frame round the same inside differs (Qt takes the window manager's, Wine its own).
ini_lines() {
  grep -q $'\r$' "$1" || fail "$1 has no CR LF ends"
  tr -d '\r' <"$1" | iconv -f CP932 -t UTF-8 | sed -E 's/^(ExeDir|WinPos[LRTB])=.*/\1=/' | sort
}
# The window's size as the file has it.
ini_size() {
  tr -d '\r' <"$1" | awk -F= '/^WinPosL=/ {l=$2} /^WinPosR=/ {r=$2} /^WinPosT=/ {t=$2} /^WinPosB=/ {b=$2}
                              END {print r - l "x" b - t}'
}

for os in linux windows; do
  echo "== $os"
  run_sequence
  cat "$work/$os.record"
done
diff "$work/linux.record" "$work/windows.record" || fail "the programs differ (above)"
cmp "$work/linux-line.TXT" "$work/windows-line.TXT" || fail "the saved text files differ"
echo "saved text file (both):$(od -An -tx1 -v "$work/linux-line.TXT" | tr -s ' \n' ' ')"
diff <(ini_lines "$work/linux.ini") <(ini_lines "$work/windows.ini") || fail "zel.ini differs (above)"
echo "zel.ini: the same keys and values; outer window $(ini_size "$work/linux.ini") on Linux," \
  "$(ini_size "$work/windows.ini") on Windows, round the same inside"""

# ---- Files change hands: each program starts on the other's zel.ini and loads the other's
# text file.
for os in linux windows; do
  other=windows
  [ "$os" = linux ] || other=linux
  echo "== $os reads what $other wrote"
  make_folder "$(folder_of)"
  rm -rf "$work/linux-home" "$appdata"
  mkdir -p "$work/linux-home/.config" "$appdata"
  cp "$work/$other.ini" "$(ini_of)"
  cp "$work/$other-line.TXT" "$(folder_of)/other.TXT"
  start_program
  wait_until shown ア 1082 || fail "$os: the mode bar of $other's settings did not show"
  xdotool key F7
  wait_until shown かきじゅん 1075 || fail "$os: $other's なめらかな かきじゅん was not read"
  xdotool key F6 3
  wait_until blue_character || fail "$os: $other's font colour was not read"
  file_dialog "よびだし..." 1209 "よびだす" "other.TXT"
  expect_line "$other's file" "$(sed -n 's/^sets: //p' "$work/$other.record")"
  close_program
  # The window took the size the file gave it, and gives it back as it was.
  [ "$(ini_size "$(ini_of)")" = "$(ini_size "$work/$other.ini")" ] ||
    fail "$os: the window of $other's size $(ini_size "$work/$other.ini") came back as $(ini_size "$(ini_of)")"
done
echo "PASS"
