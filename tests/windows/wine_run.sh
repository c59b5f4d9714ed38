#!/usr/bin/env bash
# Runs a Windows program of the tree under Wine, as ctest's emulator: in the prefix the
# caller made (tests/windows/wine_tests.sh makes a fresh one each run), with the Japanese
# locale a Japanese Windows would have and Wine's own messages quiet.
set -euo pipefail
if [ -z "${WINEPREFIX:-}" ] || [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "WINEPREFIX names no Wine prefix; run the Windows tests through tests/windows/wine_tests.sh" >&2
  exit 1
fi
export LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 WINEDEBUG=${WINEDEBUG:--all}
exec wine "$@"
