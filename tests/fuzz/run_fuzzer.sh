#!/usr/bin/env bash
# Runs one libFuzzer target for a bounded time over its seed corpus. New inputs go to a
# scratch directory, so the committed seeds stay as they are.
set -euo pipefail
fuzzer=$1 seeds=$2 seconds=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
exec "$fuzzer" -max_total_time="$seconds" -print_final_stats=1 -artifact_prefix="$PWD/" \
  "$scratch" "$seeds"
