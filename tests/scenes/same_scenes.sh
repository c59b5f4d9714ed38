#!/usr/bin/env bash
# The panel's scenes drawn by the Windows painter (under Wine) and by the Linux one must
# agree (scene_compare says how). Runs in the Wine prefix of tests/windows/wine_tests.sh:
#   same_scenes.sh <scene_render.exe> <Linux scene_compare>
# ZEL_SCENE_DIR, when set, keeps the drawings side by side there to look at.
set -euo pipefail
render=$(realpath "$1")
compare=$(realpath "$2")
[ -x "$compare" ] || { echo "FAIL: no scene_compare at $2 (the main tree builds it)" >&2; exit 1; }
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf
wine "$render" "$(winepath -w "$out")" "$(winepath -w "$font")" 2> >(grep -v '^[0-9a-f]*:fixme:' >&2)
keep=${ZEL_SCENE_DIR:-}
[ -z "$keep" ] || mkdir -p "$keep"
QT_QPA_PLATFORM=offscreen "$compare" "$out" $keep
