#!/usr/bin/env bash
# Long exploratory fuzzing, beside the fixed runs of ./test: every target (or those named)
# for some minutes each from a fresh seed, over its committed corpus. What it finds (a crash,
# a hang, memory past the limit) is left in build/fuzz-finds/<target>/ with the seed that
# found it; mend the fault, then add the input to tests/fuzz/corpus/<target>/ so every test
# run replays it. Builds the fuzz tree (clang, libFuzzer) first.
#   tools/fuzz_explore.sh [minutes per target, default 5] [target...]
set -euo pipefail
cd "$(dirname "$0")/.."
source tools/packages.sh
zel_ensure_packages "${ZEL_BUILD_PACKAGES[@]}" "${ZEL_TEST_PACKAGES[@]}"
minutes=${1:-5}
shift || true
build=$PWD/build/fuzz
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DZEL_LOGIC_ONLY=OFF -DZEL_FUZZ=ON -DZEL_WERROR=ON >/dev/null
cmake --build "$build" -j "${ZEL_JOBS:-2}" --target fuzz_targets
targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for f in tests/fuzz/fuzz_*.cpp; do t=${f#tests/fuzz/fuzz_}; targets+=("${t%.cpp}"); done
fi
export QT_QPA_PLATFORM=offscreen
status=0
for target in "${targets[@]}"; do
  finds=$PWD/build/fuzz-finds/$target
  mkdir -p "$finds"
  scratch=$(mktemp -d)
  seed=$(od -An -N4 -tu4 /dev/urandom | tr -d ' ')
  echo "== $target for $minutes min, seed $seed"
  if ! "$build/tests/fuzz/fuzz_$target" -seed="$seed" -max_total_time=$((minutes * 60)) \
      -max_len=65536 -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix="$finds/seed-$seed-" "$scratch" "tests/fuzz/corpus/$target" 2>"$finds/last.log"; then
    echo "   found something: see $finds" >&2
    tail -n 30 "$finds/last.log" >&2
    status=1
  fi
  rm -rf "$scratch"
done
exit $status
