#!/usr/bin/env bash
# The installer as a parent uses it, under Wine: installed silently (/S) into Program
# Files with its Start-menu shortcut; the installed program started on a virtual screen
# makes the question folder Documents\mojimori from the sample set and asks a question
# from it; closed, its settings are in %APPDATA%\mojimori; uninstalled silently, the
# installed files and the shortcut go and the user's folder and settings stay.
# Runs in the Wine prefix (and home) of tests/windows/wine_tests.sh.
#   installer_e2e.sh <folder holding mojimori-<version>-setup.exe>
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
shopt -s nullglob
setups=("$1"/mojimori-*-setup.exe)
source "$here/../e2e/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; tail -20 "$work/zel.log" >&2 2>/dev/null; exit 1; }
[ ${#setups[@]} -eq 1 ] || fail "not one installer in $1: ${setups[*]}"
[ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"
c=$WINEPREFIX/drive_c
user=$c/users/$(id -un)
shortcut="$c/ProgramData/Microsoft/Windows/Start Menu/Programs/もじもり！.lnk"
documents=$(realpath "$user/Documents")

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
echo "installed, used and uninstalled: $(stat -c %s "${setups[0]}") bytes of installer"
