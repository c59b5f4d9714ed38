#!/usr/bin/env bash
# Runs a Windows program of the tree under Wine with its sound going to a PulseAudio null
# sink of its own, through Wine's PulseAudio driver, so that a test of the audio device has
# a device on a machine without a sound card. In the prefix of wine_tests.sh.
#   with_null_sink.sh <program.exe> [arguments...]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../e2e/virtual_screen.sh"
make_scratch
start_null_sink test_sink || { echo "no PulseAudio sink" >&2; exit 1; }
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d pulse /f >/dev/null 2>&1 ||
  { echo "could not choose Wine's PulseAudio driver" >&2; exit 1; }
"$here/wine_run.sh" "$@"
