#!/usr/bin/env bash
# The Windows program's sounds under Wine, heard where a user would hear them: Wine's audio
# goes to PulseAudio (winepulse), to a null sink of the test's own whose monitor is recorded.
# Each press must give its whole sound at the sink:
#   T types か: か's built-in voice;
#   E types い, replaced by I.wav, the chime in 32-bit floating point, stereo, at 44.1 kHz
#     (a kind PlaySound would not be given as it is): the chime;
#   4 types う, replaced by U.wav, which is no sound: the default alert (the prefix names no
#     system sound, so the program's own).
# The delay from the key to か's voice and the voice's pitch and loudness are reported.
# Runs in the Wine prefix of tests/windows/wine_tests.sh.
#   sound_e2e.sh <zel.exe> <sample folder> <built-in sounds folder>
set -euo pipefail
zel=$(realpath "$1")
sample=$(realpath "$2")
sounds=$(realpath "$3")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }
[ -f "${WINEPREFIX:-}/system.reg" ] || fail "no Wine prefix; run through tests/windows/wine_tests.sh"
[ -n "${ZEL_WINE_DISPLAY:-}" ] || start_virtual_screen

start_null_sink zel_sink || fail "no PulseAudio sink"
cp -r "$sample" "$work/run"
sox "$sounds/385.wav" -e floating-point -b 32 -c 2 -r 44100 "$work/run/I.wav"
echo "not a sound" >"$work/run/U.wav"
# Wine takes PulseAudio when it can reach a server; asked for by name, so it never falls
# back on ALSA unnoticed.
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 ||
  fail "could not choose Wine's PulseAudio driver"

(cd "$work/run" && exec "$here/wine_run.sh" "$zel") >"$work/zel.log" 2>&1 &
pids+=($!)
window=$(timeout 120 xdotool search --sync --onlyvisible --name 'もじもり' | head -n 1) ||
  fail "no main window"
focus_window "$window" || fail "the main window never had the keyboard focus"

/usr/bin/python3 "$here/../e2e/sink_voice.py" --sink zel_sink --presses "${ZEL_SOUND_PRESSES:-5}" \
  --expect t="$sounds/305.wav" --expect e="$sounds/385.wav" --expect 4="$sounds/default.wav" \
  ${ZEL_SOUND_JSON:+--json "$ZEL_SOUND_JSON"} ||
  { tail -20 "$work/zel.log" >&2; fail "a key's sound did not reach the sink whole"; }

xdotool key alt+F4
wait_until eval '! xdotool search --name "もじもり" >/dev/null 2>&1' || fail "the window did not close"
