#!/usr/bin/env bash
# Start-up and memory of the Windows program under Wine, side by side with a bare Win32
# window (bare_win32_window.exe, the floor any Windows program pays under Wine), both
# watched from outside by the X server's own events as the Linux comparison does: process
# start to the window mapped and to its last drawing settled, and the resident memory of
# Wine's process for the program after SAMPLE seconds. Warm runs, interleaved, each in a
# question folder made from the sample set with no settings; prints the medians and the
# ratios program/bare. A benchmark: it reports and never fails on a figure.
# Runs in a Wine session (tests/windows/wine_session.sh), from the repository:
#   tests/windows/wine_session.sh tests/bench/wine_startup_compare.sh <windows tree> [ROUNDS=9] [SAMPLE_S=3]
# The watcher is the one of the Linux comparison (winwatch.c in STARTUP_COMPARE_DIR,
# by default ../shared/tools/startup-compare beside the repository), built with cc.
set -euo pipefail
tree=$(realpath "$1")
rounds=${2:-9}
sample_s=${3:-3}
repo=$(cd "$(dirname "$0")/../.." && pwd)
watch_dir=${STARTUP_COMPARE_DIR:-$repo/../shared/tools/startup-compare}
[ -f "$watch_dir/winwatch.c" ] || { echo "no winwatch.c in $watch_dir (set STARTUP_COMPARE_DIR)" >&2; exit 1; }
[ -f "${WINEPREFIX:-}/system.reg" ] || { echo "run through tests/windows/wine_session.sh" >&2; exit 1; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cc -O2 -Wall -o "$work/winwatch" "$watch_dir/winwatch.c" -lX11 -lXdamage
appdata=$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/mojimori

one() {  # label exe
  rm -rf "$work/run" "$appdata"
  cp -r "$repo/sample" "$work/run"
  (cd "$work/run" && "$work/winwatch" -l "$1" -t "$sample_s" -T 60 -- "$repo/tests/windows/wine_run.sh" "$2") \
    >>"$work/results.jsonl" 2>/dev/null || true
}
bare=$tree/tests/bare_win32_window.exe
zel=$tree/src/zel.exe
one warmup-bare "$bare"
one warmup-program "$zel"
for _ in $(seq "$rounds"); do one bare "$bare"; one program "$zel"; done

/usr/bin/python3 - "$work/results.jsonl" <<'PY'
import json, statistics, sys
rows = [json.loads(l) for l in open(sys.argv[1]) if l.strip()]
def med(label, key):
    v = [r[key] for r in rows if r["label"] == label and r.get(key, -1) >= 0]
    return statistics.median(v) if v else float("nan")
print(f"{'':10} {'mapped ms':>10} {'drawn ms':>10} {'RSS MB':>8} {'CPU s':>6}  (medians of {sum(r['label'] == 'bare' for r in rows)} runs)")
for label in ("bare", "program"):
    print(f"{label:10} {med(label, 'first_toplevel_map_ms'):10.1f} {med(label, 'last_damage_before_sample_ms'):10.1f}"
          f" {med(label, 'rss_kb') / 1024:8.1f} {med(label, 'cpu_s'):6.2f}")
r = med("program", "last_damage_before_sample_ms") / med("bare", "last_damage_before_sample_ms")
m = med("program", "rss_kb") / med("bare", "rss_kb")
print(f"ratio program/bare: drawn {r:.2f}, memory {m:.2f}")
PY
