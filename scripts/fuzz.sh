#!/usr/bin/env bash
# Builds the fuzz target over the Compute path with clang in build-fuzz and
# runs it for SECONDS (default 60) on a corpus seeded from examples/ and from
# the test chains of all twelve cases. Exits non-zero on a finding; the
# input that broke a property is left in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir="${FUZZ_BUILD_DIR:-build-fuzz}"

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCHAIN_FUZZ=ON -DCHAIN_TESTS=OFF -DCHAIN_BENCH=OFF >/dev/null
cmake --build "$dir" -j2 --target fuzz_compute fuzz_seeds

corpus="$dir/corpus"
findings="$dir/findings"
mkdir -p "$corpus" "$findings"
cp examples/*.replies "$corpus"/ 2>/dev/null || true
"$dir/fuzz/fuzz_seeds" "$corpus"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
echo "fuzzing the Compute path for ${seconds} s ($(ls "$corpus" | wc -l) inputs in the corpus)"
status=0
"$dir/fuzz/fuzz_compute" -max_total_time="$seconds" -dict=fuzz/replies.dict -max_len=4096 \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" || status=$?
if [ "$status" -ne 0 ]; then
  echo "fuzz: a finding (status $status); the input is in $findings/" >&2
  exit "$status"
fi
echo "fuzz: no finding in ${seconds} s"
