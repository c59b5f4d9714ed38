#!/usr/bin/env bash
# Runs a command in a Wine session made afresh for it: a prefix made by `wineboot -i` and
# removed afterwards, so no state of an earlier run or of the user's own ~/.wine counts; a
# home of its own; one virtual screen with a window manager. Japanese locale, as on a
# Japanese Windows: without it the ANSI code page would be 1252.
#   wine_session.sh <command> [arguments...]
set -euo pipefail
source "$(dirname "$0")/../e2e/virtual_screen.sh"

if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  echo "the locale ja_JP.UTF-8 is not generated (tools/packages.sh: zel_ensure_locale)" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zel-wine.XXXXXX")
# A home of the run's own: the prefix links Documents and the desktop to it.
mkdir -p "$work/home"
export HOME=$work/home
export WINEPREFIX=$work/prefix WINEDEBUG=-all WINEARCH=win64
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8
# No Mono or Gecko: nothing here needs .NET or an HTML engine, and asking would hang.
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine's sound goes to PulseAudio where a test gives it a server (PULSE_SERVER); elsewhere
# it must not start a sound server of its own that outlives the run.
printf 'autospawn = no\n' >"$work/pulse-client.conf"
export PULSE_CLIENTCONFIG=$work/pulse-client.conf
screen_pids=()
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  for pid in "${screen_pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# One virtual screen with a window manager for the whole run, up before Wine starts: the
# first program of a Wine session that makes a window fixes the display for all others.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp 5>"$work/display" 2>/dev/null &
screen_pids+=($!)
wait_until test -s "$work/display" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=:$(cat "$work/display") ZEL_WINE_DISPLAY=1
openbox >/dev/null 2>&1 &
screen_pids+=($!)
wait_until window_manager_running || { echo "openbox did not start" >&2; exit 1; }

started=$(date +%s)
# Bounded: a prefix takes 15-40 s; ten times that means Wine hangs.
timeout 600 wineboot -i >"$work/wineboot.log" 2>&1 || {
  echo "wineboot -i failed or hung:" >&2
  tail -20 "$work/wineboot.log" >&2
  exit 1
}
timeout 300 wineserver -w
echo "fresh Wine prefix in $(( $(date +%s) - started )) s, $(du -sm "$WINEPREFIX" | cut -f1) MB"

# One wineserver for the whole run, so each test does not start its own, and Wine's
# services started now with their output in a log: started by a test they would keep
# ctest's output pipe open, and ctest would wait for them.
wineserver -p
timeout 300 wine wineboot </dev/null >>"$work/wineboot.log" 2>&1
"$@"
