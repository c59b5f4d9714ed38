#!/usr/bin/env bash
# Runs a Windows build tree's tests (ctest, with Wine as the emulator) in a Wine session
# made afresh for this run (wine_session.sh).
#   wine_tests.sh <windows build tree> [ctest arguments...]
set -euo pipefail
tree=$(cd "$1" && pwd)
shift
exec "$(dirname "$0")/wine_session.sh" ctest --test-dir "$tree" --output-on-failure "$@"
