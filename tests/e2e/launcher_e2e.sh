#!/usr/bin/env bash
# The launcher as the menu entry runs it, over a stand-in of the installed files: the
# program's first start makes ~/mojimori from the sample set beside it and runs there; a
# later start keeps the parent's edits and pictures; a folder that cannot be made is reported
# once in a message box and the program starts in the sample set.
# Usage: launcher_e2e.sh <launcher template> <zel program> <sample dir> <help document>
set -euo pipefail
template=$(realpath "$1")
zel=$(realpath "$2")
sample_src=$(realpath "$3")
help_src=$(realpath "$4")
source "$(dirname "$0")/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }

# The installed layout: the program, a read-only sample set with its help where the program
# looks for it, and the launcher pointing at the program.
installed=$work/usr/share/zel/sample
mkdir -p "$installed" "$work/usr/bin"
cp "$zel" "$work/usr/bin/zel"
cp -R "$sample_src/." "$installed/"
cp "$help_src" "$installed/zel.html"
chmod -R a-w "$work/usr"
launcher=$work/mojimori
sed -e "s|@ZEL_PROGRAM@|$work/usr/bin/zel|" "$template" >"$launcher"
chmod +x "$launcher"

export SDL_AUDIODRIVER=dummy QT_QPA_PLATFORM=xcb
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
start_virtual_screen

# Starts the launcher with the given home and waits for its window; the launcher execs the
# program, so $pid is the program's. Windows come and go while Qt starts, which a search
# may trip over: it is asked again.
start() {
  HOME=$1 "$launcher" >"$work/zel.log" 2>&1 &
  pid=$!
  pids+=($pid)
  wait_until windows_at_least 1 || fail "no main window from the launcher: $(cat "$work/zel.log")"
}
stop() {
  kill "$1"
  wait "$1" 2>/dev/null || true
}
visible_windows() {
  program_windows "$1" 'もじもり' | wc -l
}
windows_at_least() { [ "$(visible_windows "$pid")" -ge "$1" ]; }
windows_exactly() { [ "$(visible_windows "$pid")" -eq "$1" ]; }
# The program has drawn its first frame: it stores its folder in the settings only then,
# after a message about the folder has been put up.
started_up() { grep -qs '^ExeDir=' "$1/.config/zel.ini"; }

# First start: the folder is made from the sample set, owned and writable by the user, and
# the program runs in it with the help beside the questions; nothing is left beside it.
home=$work/home
mkdir -p "$home"
start "$home"
folder=$home/mojimori
[ -d "$folder" ] || fail "no folder $folder after the first start"
[ "$(readlink "/proc/$pid/cwd")" = "$folder" ] \
  || fail "the program runs in $(readlink "/proc/$pid/cwd"), not in $folder"
diff -r "$installed" "$folder" >/dev/null || fail "the folder differs from the sample set"
[ -w "$folder/mondai.txt" ] || fail "mondai.txt in the folder cannot be edited"
ls -a "$home" | grep -q '^\.mojimori' && fail "a staging folder was left in the home"
wait_until started_up "$home" || fail "the program did not finish starting"
windows_exactly 1 || fail "a message was shown on a start that went well"
stop "$pid"

# A parent's edits: a question of their own, a picture, and a removed sample picture.
printf 'mine.bmp,\x82\xdd\x82\xc8\r\n' >"$folder/mondai.txt"   # みな, in Shift-JIS
convert -size 64x64 xc:'#00c000' -type TrueColor BMP3:"$folder/mine.bmp"
rm "$folder/inu.bmp"
echo stale >"$folder/zel.html"
before=$(cd "$folder" && ls -l --time-style=+%s.%N mondai.txt mine.bmp)
# What first starts killed while copying left: a staging folder of an ended process goes;
# one of a process still running (this script) and names of another form stay.
ended=$(($(cat /proc/sys/kernel/pid_max) + 1))
for name in ".mojimori-$ended" ".mojimori-$$" ".mojimori-${ended}x" ".mojimori.Ab12Cd"; do
  mkdir -p "$home/$name/e"
  cp "$installed/mondai.txt" "$home/$name/e/"
done
start "$home"
wait_until test ! -e "$home/.mojimori-$ended" || fail "the leftover of an ended first start stayed"
staging_left() { (cd "$home" && ls -d .mojimori* | LC_ALL=C sort); }
expected=$(printf '%s\n' ".mojimori-$$" ".mojimori-${ended}x" ".mojimori.Ab12Cd" | LC_ALL=C sort)
[ "$(staging_left)" = "$expected" ] ||
  fail "staging folders of a running process or of another name went: $(staging_left)"
rm -rf "$home"/.mojimori*
[ "$(readlink "/proc/$pid/cwd")" = "$folder" ] || fail "second start not in $folder"
after=$(cd "$folder" && ls -l --time-style=+%s.%N mondai.txt mine.bmp)
[ "$before" = "$after" ] || fail "the second start touched the parent's files"
[ ! -e "$folder/inu.bmp" ] || fail "the second start brought back a removed picture"
cmp -s "$installed/zel.html" "$folder/zel.html" || fail "the help was not brought up to date"
# もんだい (F1) asks the parent's question: their green picture fills the panel.
window=$(program_windows "$pid" 'もじもり' | head -n 1)
focus_window "$window" || fail "the window did not take the keyboard focus"
xdotool key F1
green=0
question_shown() {
  import -window "$window" "$work/question.png"
  green=$(convert "$work/question.png" txt:- | grep -ci '#00C000' || true)
  [ "$green" -gt 10000 ]
}
wait_until question_shown || true
echo "green pixels of the parent's picture on the panel: $green"
[ "$green" -gt 10000 ] || fail "the parent's own question was not asked"
stop "$pid"

# A folder that cannot be made (its place in the home is taken by a file): one message box
# over the window, in Japanese, and the program runs in the sample set. The home itself is
# sound, so the settings can be stored and nothing else has to be told.
mkdir -p "$work/blocked-home"
: >"$work/blocked-home/mojimori"
start "$work/blocked-home"
[ "$(readlink "/proc/$pid/cwd")" = "$installed" ] \
  || fail "without a folder the program runs in $(readlink "/proc/$pid/cwd")"
wait_until windows_at_least 2 || true
windows_exactly 2 || fail "no single message about the folder"
import -window root "$work/message.png"
cp "$work/message.png" "${E2E_SHOT:-/dev/null}" 2>/dev/null || true
# The box is modal and has the focus: Return closes it.
xdotool key Return
wait_until windows_exactly 1 || fail "the message did not close with Return"
wait_until started_up "$work/blocked-home" || fail "the program did not finish starting"
windows_exactly 1 || fail "the message came back"
stop "$pid"
echo "PASS"
