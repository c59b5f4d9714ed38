#!/usr/bin/env bash
# The Windows program's sounds under Wine, heard where a user would hear them: Wine's audio
# goes to PulseAudio (winepulse), to a null sink of the test's own whose monitor is recorded.
# A built-in voice, a replacement voice in 32-bit float stereo and one that is no sound (the
# default alert) must each reach the sink whole at every press, counted in samples, never
# timed; see voices_at_sink in tests/e2e/virtual_screen.sh. With no system sound set in the
# prefix, the alert is the program's own, as on Linux; once one is set, that one.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   sound_e2e.sh <zel.exe> <sample folder> <built-in sounds folder>
# With ZEL_SOUND_LOAD_WORKERS=N, the same presses and a waiting play again, in a fresh start,
# with N stress-ng workers keeping the processors busy beside the program, for measuring key
# to voice under load. Not by default: there Wine's PulseAudio driver falls behind (its
# stream underflows, as its log says) and a sound can come short, so the counts are not the
# program's alone to keep.
set -euo pipefail
zel=$(realpath "$1")
sample=$(realpath "$2")
sounds=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
source "$here/zel_window.sh"
begin_wine_test

start_null_sink zel_sink || fail "no PulseAudio sink"
# Wine takes PulseAudio when it can reach a server; asked for by name, so it never falls
# back on ALSA unnoticed.
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 ||
  fail "could not choose Wine's PulseAudio driver"
# The settings of the session's earlier tests do not count here.
rm -rf "$(zel_appdata)"
cp -r "$sample" "$work/run"
put_sound_fixtures "$work/run" "$sounds"

# The program in $work/run, its window focused and its start-up sound (371) heard; the voice
# files are looked for as it starts.
start_program() {
  rm -f "$work/recording"
  /usr/bin/python3 "$here/../e2e/sink_voice.py" --sink zel_sink --heard "$sounds/371.wav" \
    --ready "$work/recording" &
  local heard=$!
  pids+=($heard)
  wait_until test -e "$work/recording" || fail "the sink's recorder did not start"
  (cd "$work/run" && exec "$here/wine_run.sh" "$zel") >"$work/zel.log" 2>&1 &
  zel_pid=$!
  pids+=($zel_pid)
  wait "$heard" || { tail -20 "$work/zel.log" >&2; fail "the start-up sound was not heard whole"; }
  # A search may trip over a window going away as it asks (the program's earlier run):
  # it is asked again. A busy machine may take Wine a while to bring the window up.
  bound=120 wait_until find_window 'もじもり' || fail "no main window"
  window=$found
  focus_window "$window" || fail "the main window never had the keyboard focus"
}
close_program() {
  xdotool key alt+F4
  wait_until eval '! xdotool search --name "もじもり" >/dev/null 2>&1' || fail "the window did not close"
  wait_until eval '! kill -0 "$zel_pid" 2>/dev/null' || fail "the program did not end"
}

start_program

voices_at_sink zel_sink "$sounds" || { tail -20 "$work/zel.log" >&2; fail "a key's sound did not reach the sink whole"; }

# Once the system's sounds name a default sound, it stands in for what is no sound: here the
# prompt (224), named as Windows names its media, through a variable.
alert_key='HKCU\AppEvents\Schemes\Apps\.Default\.Default\.Current'
cp "$sounds/224.wav" "$WINEPREFIX/drive_c/users/$(id -un)/alert.wav"
wine reg add "$alert_key" /ve /t REG_EXPAND_SZ /d '%USERPROFILE%\alert.wav' /f >/dev/null 2>&1 ||
  fail "could not set the system's default sound"
/usr/bin/python3 "$here/../e2e/sink_voice.py" --sink zel_sink --presses 2 --expect 4="$sounds/224.wav" ||
  fail "U.wav did not give the system's default sound"
wine reg delete 'HKCU\AppEvents\Schemes\Apps\.Default' /f >/dev/null 2>&1 || true

waited_voice_at_sink zel_sink "$sounds" "$work/run" ||
  fail "a waiting play of a long voice file was not cut after 3 seconds"

close_program

[ -n "${ZEL_SOUND_LOAD_WORKERS:-}" ] || exit 0
# Under load, in a fresh start (the waiting play left a question asked, and I.wav the long
# tone). The sink and the recorder run beside the load as well, as a user's sound server would.
command -v stress-ng >/dev/null || fail "ZEL_SOUND_LOAD_WORKERS needs stress-ng"
put_sound_fixtures "$work/run" "$sounds"
stress-ng --cpu "$ZEL_SOUND_LOAD_WORKERS" --timeout 900s >/dev/null 2>&1 &
stress=$!
pids+=($stress)
start_program
echo "with $ZEL_SOUND_LOAD_WORKERS busy workers beside the program:"
voices_at_sink zel_sink "$sounds" ||
  { tail -20 "$work/zel.log" >&2; fail "under load, a key's sound did not reach the sink whole"; }
waited_voice_at_sink zel_sink "$sounds" "$work/run" ||
  fail "under load, a waiting play of a long voice file was not heard whole up to its 3 seconds"
kill "$stress"
close_program
