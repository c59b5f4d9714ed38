#!/usr/bin/env bash
# The program's sounds heard where a user would hear them: SDL's audio goes to a PulseAudio
# null sink of the test's own whose monitor is recorded. A built-in voice, a replacement
# voice in 32-bit float stereo and one that is no sound (the default alert) must each reach
# the sink whole at every press: the same check as the Windows program's under Wine (see
# voices_at_sink in virtual_screen.sh), so the two can be set side by side.
#   sound_e2e.sh <zel> <sample folder> <built-in sounds folder>
set -euo pipefail
zel=$(realpath "$1")
sample=$(realpath "$2")
sounds=$(realpath "$3")
source "$(dirname "$0")/virtual_screen.sh"
make_scratch
fail() { echo "FAIL: $*" >&2; exit 1; }

export HOME=$work/home
unset XDG_CONFIG_HOME XDG_RUNTIME_DIR
mkdir -p "$HOME"
export SDL_AUDIODRIVER=pulseaudio QT_QPA_PLATFORM=xcb
start_virtual_screen
start_null_sink zel_sink || fail "no PulseAudio sink"
cp -r "$sample" "$work/run"
put_sound_fixtures "$work/run" "$sounds"

# The start-up sound (371) is heard before the first key, whenever the device opens.
/usr/bin/python3 "$(dirname "$0")/sink_voice.py" --sink zel_sink --heard "$sounds/371.wav" \
  --ready "$work/recording" &
heard=$!
pids+=($heard)
wait_until test -e "$work/recording" || fail "the sink's recorder did not start"
(cd "$work/run" && exec "$zel") >"$work/zel.log" 2>&1 &
zel_pid=$!
pids+=($zel_pid)
wait "$heard" || fail "the start-up sound was not heard whole"
window=$(find_program_window "$zel_pid" 'もじもり') || fail "no main window"
focus_window "$window" || fail "the main window did not take the keyboard focus"

voices_at_sink zel_sink "$sounds" || { tail -20 "$work/zel.log" >&2; fail "a key's sound did not reach the sink whole"; }
waited_voice_at_sink zel_sink "$sounds" "$work/run" ||
  fail "a waiting play of a long voice file was not cut after 3 seconds"
