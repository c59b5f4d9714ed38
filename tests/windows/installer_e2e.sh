#!/usr/bin/env bash
# The installer as a parent uses it, under Wine: installed silently (/S) into Program
# Files with its Start-menu shortcut; the installed program started on a virtual screen
# makes the question folder Documents\mojimori from the sample set and asks a question
# from it; closed, its settings are in %APPDATA%\mojimori; uninstalled silently, the
# installed files and the shortcut go and the user's folder and settings stay, and no
# folder is left in the temporary files. The installer, the installed program and its
# uninstaller show the program's icon (first_icon_check against zel.ico), the installed
# help is the Windows one. Then as a parent clicks through it, pressing Enter on each page:
# the last page's boxes, ticked, make the desktop shortcut and start the program.
# Runs in the Wine prefix (and home) of tests/windows/wine_tests.sh.
#   installer_e2e.sh <folder holding mojimori-<version>-setup.exe> <first_icon_check.exe> <zel.ico>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
shopt -s nullglob
setups=("$1"/mojimori-*-setup.exe)
source "$here/../e2e/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; tail -20 "$work/zel.log" >&2 2>/dev/null; exit 1; }
[ ${#setups[@]} -eq 1 ] || fail "not one installer in $1: ${setups[*]}"
icon_check=$2
icon=$3
[ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"
c=$WINEPREFIX/drive_c
user=$c/users/$(id -un)
shortcut="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/もじもり！.lnk"
documents=$(realpath "$user/Documents")
desktop_shortcut="$c/users/Public/Desktop/もじもり！.lnk"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\mojimori'
version=$(basename "${setups[0]}" | sed 's/^mojimori-\(.*\)-setup\.exe$/\1/')
# What the temporary-files folders hold, to hold against it after the uninstall.
temporary() {
  local dir
  for dir in "$user/Temp" "$user/AppData/Local/Temp" "$c/windows/temp"; do
    [ -d "$dir" ] && find "$dir" -mindepth 1 -maxdepth 1
  done | sort
}
temporary >"$work/temp-before"
# The icon Windows shows for an executable is that of zel.ico.
shows_our_icon() {
  "$here/wine_run.sh" "$icon_check" "$(winepath -w "$1")" "$(winepath -w "$icon")" ||
    fail "$(basename "$1") does not show the program's icon"
}
shows_our_icon "${setups[0]}"

# The screen first: the first window-making program of a Wine session fixes the display
# for all that follow.
# The run's screen (wine_tests.sh), which Wine's windows are bound to.
[ -n "${ZEL_WINE_DISPLAY:-}" ] || start_virtual_screen
# Wine returns when the installer has finished.
timeout 300 "$here/wine_run.sh" "${setups[0]}" /S || fail "the silent install failed"
for file in zel.exe uninstall.exe CREDITS.txt fonts/ipag.ttf sample/mondai.txt sample/zel.html; do
  [ -f "$c/Program Files/mojimori/$file" ] || fail "not installed: $file"
done
[ -f "$shortcut" ] || fail "no Start-menu shortcut"
[ ! -e "$desktop_shortcut" ] || fail "a silent install made a desktop shortcut"
shows_our_icon "$c/Program Files/mojimori/zel.exe"
shows_our_icon "$c/Program Files/mojimori/uninstall.exe"
registered() { "$here/wine_run.sh" reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | grep -F "$1"; }
registered DisplayIcon | grep -qF 'mojimori\zel.exe,0' || fail "the apps list's icon is $(registered DisplayIcon)"
registered DisplayVersion | grep -qE "REG_SZ +$version\$" ||
  fail "the apps list's version is not the release $version: $(registered DisplayVersion)"
help=$c/Program\ Files/mojimori/sample/zel.html
grep -qF 'Documents\mojimori' "$help" && ! grep -qF 'sudo' "$help" || fail "the installed help is not the Windows one"
rm -rf "$documents/mojimori" "$user/AppData/Roaming/mojimori"
(cd "$work" && exec "$here/wine_run.sh" 'C:\Program Files\mojimori\zel.exe') >"$work/zel.log" 2>&1 &
pids+=($!)
window=$(find_program_window "" 'もじもり') || fail "the installed program showed no window"
[ -f "$documents/mojimori/mondai.txt" ] || fail "no question folder Documents\\mojimori"
# Pixels of the panel of any colour but white, black and red: a picture's.
count=0
picture_shown() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  import -window root "$work/shot.png"
  count=$(convert "$work/shot.png" -crop 200x190+$((X + 12))+$((Y + 168)) +repage txt:- | tail -n +2 |
    grep -vcE '#(FFFFFF|000000|FF0000) ' || true)
  [ "$count" -gt 2000 ]
}
focus_window "$window" || fail "the installed program's window did not take the focus"
xdotool key F1
wait_until picture_shown || fail "no picture question from the question folder ($count pixels)"
xdotool key alt+F4
window_closed() { ! xdotool search --name 'もじもり' >/dev/null 2>&1; }
wait_until window_closed || fail "the installed program did not close"
settings=$user/AppData/Roaming/mojimori/zel.ini
wait_until grep -qa 'Documents' "$settings" || fail "no settings in %APPDATA%\\mojimori"

timeout 300 "$here/wine_run.sh" 'C:\Program Files\mojimori\uninstall.exe' /S || fail "the silent uninstall failed"
# The uninstaller runs on from a copy of itself.
wait_until test ! -e "$c/Program Files/mojimori" ||
  fail "the uninstall left $(ls "$c/Program Files/mojimori")"
[ ! -e "$shortcut" ] || fail "the uninstall left the shortcut"
[ -f "$documents/mojimori/mondai.txt" ] || fail "the uninstall took the question folder"
[ -f "$user/AppData/Roaming/mojimori/zel.ini" ] || fail "the uninstall took the settings"
# The uninstaller's copy of itself goes too, once it has ended.
temporary_as_before() { temporary | cmp -s - "$work/temp-before"; }
wait_until temporary_as_before ||
  fail "left in the temporary files: $(temporary | comm -13 "$work/temp-before" -)"

# Clicked through: Enter takes each page's default button, until the last page's "完了"
# starts the program.
"$here/wine_run.sh" "${setups[0]}" >"$work/setup.log" 2>&1 &
pids+=($!)
setup_window() { find_program_window "" 'のインストール' >/dev/null; }
wait_until setup_window || fail "the installer showed no window"
program_window() { xdotool search --onlyvisible --name '^もじもり！$' >/dev/null 2>&1; }
enter_until_started() {
  program_window && return 0
  local w
  w=$(xdotool search --onlyvisible --name 'のインストール' 2>/dev/null | head -n 1)
  [ -n "$w" ] && focus_window "$w" >/dev/null 2>&1 && xdotool key Return
  sleep 1
  return 1
}
bound=300 wait_until enter_until_started || fail "Enter on each page did not install and start the program"
[ -f "$desktop_shortcut" ] || fail "the ticked box made no desktop shortcut"
window=$(xdotool search --onlyvisible --name '^もじもり！$' | head -n 1)
focus_window "$window" || fail "the started program's window did not take the focus"
xdotool key alt+F4
wait_until window_closed || fail "the started program did not close"
timeout 300 "$here/wine_run.sh" 'C:\Program Files\mojimori\uninstall.exe' /S || fail "the second uninstall failed"
wait_until test ! -e "$c/Program Files/mojimori" || fail "the second uninstall left files"
[ ! -e "$desktop_shortcut" ] || fail "the uninstall left the desktop shortcut"
wait_until temporary_as_before ||
  fail "left in the temporary files: $(temporary | comm -13 "$work/temp-before" -)"
echo "installed, used and uninstalled: $(stat -c %s "${setups[0]}") bytes of installer"
