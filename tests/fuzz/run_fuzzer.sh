#!/usr/bin/env bash
# Runs one libFuzzer target the same way on every machine and at any load: its committed
# corpus first, then a fixed number of new inputs from a fixed seed. So a test run finds
# what it found before, and an unrelated change cannot turn it red by chance; exploring
# with new seeds for minutes is tools/fuzz_explore.sh, whose finds join the corpus.
# New inputs go to a scratch directory, removed afterwards, so the committed seeds stay as
# they are. Inputs may be up to 64 KiB: room for a picture of a few thousand colours, past
# the colour census's list. One input running over 20 s counts as a hang.
#   run_fuzzer.sh <fuzzer> <corpus> <runs>
set -euo pipefail
fuzzer=$1 seeds=$2 runs=$3
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
"$fuzzer" -seed=1 -runs="$runs" -max_len=65536 -timeout=20 -rss_limit_mb=2048 \
  -print_final_stats=1 -artifact_prefix="$PWD/" "$scratch" "$seeds"
