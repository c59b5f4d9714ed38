# Sourced by the Windows end-to-end tests, after tests/e2e/virtual_screen.sh: the start of
# a test, the program started under Wine in a copy of a question folder, and what its panel
# shows, read from screenshots.

fail() { echo "FAIL: $*" >&2; exit 1; }

# The start of a test here: its scratch folder, and the session's Wine prefix and screen
# (wine_tests.sh), which Wine's windows are bound to.
begin_wine_test() {
  make_scratch
  [ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"
  [ -n "${ZEL_WINE_DISPLAY:-}" ] || start_virtual_screen
}

# The user's own settings folder, %APPDATA%\mojimori.
zel_appdata() { echo "$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/mojimori"; }

# A visible window named like $1, in $found. A search may trip over a window going away as
# it asks: it is asked again.
find_window() {
  found=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1)
  [ -n "$found" ]
}

# Starts zel.exe $1 in a copy of the question folder $2, its process in $zel_pid, and sets
# $window to its main window.
start_zel_window() {
  rm -rf "$work/run"
  cp -r "$2" "$work/run"
  (cd "$work/run" && exec "$here/wine_run.sh" "$1") >"$work/zel.log" 2>&1 &
  zel_pid=$!
  pids+=($zel_pid)
  # A busy machine may take Wine a while to bring the first window up.
  bound=120 wait_until find_window 'もじもり' || fail "no main window"
  window=$found
}

# The panel's place on the screen: left, top, width and height, at the window's lower left.
panel_box() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  echo "$((X + 12)) $((Y + 168)) 200 190"
}
# The panel's pixels as "x,y: ... #RRGGBB" lines in $work/panel.txt (x, y in the crop).
panel_pixels() {
  local left top w h
  read -r left top w h < <(panel_box)
  import -window root "$work/shot.png"
  convert "$work/shot.png" -crop ${w}x${h}+${left}+${top} +repage txt:- | tail -n +2 >"$work/panel.txt"
}
panel_red() { panel_pixels; grep -c '#FF0000' "$work/panel.txt" || true; }
panel_blue() { panel_pixels; grep -c '#0000FF' "$work/panel.txt" || true; }
panel_white() { panel_pixels; grep -c '#FFFFFF' "$work/panel.txt" || true; }
# Any colour but white, black and red: a picture's.
panel_picture() { panel_pixels; grep -vcE '#(FFFFFF|000000|FF0000) ' "$work/panel.txt" || true; }

# Waits for the count `$1` prints to pass the bound $2: a busy machine may take a moment
# to repaint.
wait_for() {
  local what=$1 bound=$2 count deadline=$((SECONDS + 60))
  while :; do
    count=$($what)
    [ "$count" -gt "$bound" ] || [ "$SECONDS" -ge "$deadline" ] && break
    sleep 0.2
  done
  echo "$what: $count"
  [ "$count" -gt "$bound" ]
}
