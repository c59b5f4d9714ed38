#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time over its seed corpus. New inputs go to a
# scratch directory, removed afterwards, so the committed seeds stay as they are.
# Inputs may be up to 64 KiB: room for a picture of a few thousand colours, past the
# colour census's list. One input running over 10 s counts as a hang.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$PWD/" "$scratch" "$seeds"
