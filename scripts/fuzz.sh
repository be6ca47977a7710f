#!/usr/bin/env bash
# Builds the fuzz targets with clang in build-fuzz (or FUZZ_BUILD_DIR) and
# runs them for SECONDS in all (default 60): half on the Compute path fed
# with replies files, half on the data files. The corpora are seeded from
# examples/ and from the test chains of all twelve cases. Exits non-zero on
# a finding; the input that broke a property is left in build-fuzz/findings/.
#   scripts/fuzz.sh [SECONDS]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-60}"
dir="${FUZZ_BUILD_DIR:-build-fuzz}"

cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
  -DCHAIN_FUZZ=ON -DCHAIN_TESTS=OFF -DCHAIN_BENCH=OFF >/dev/null
cmake --build "$dir" -j2 --target fuzz_compute fuzz_datafile fuzz_seeds

corpus="$dir/corpus"
dataCorpus="$dir/corpus-data"
findings="$dir/findings"
mkdir -p "$corpus" "$dataCorpus" "$findings"
cp examples/*.replies "$corpus"/ 2>/dev/null || true
cp examples/*.chain "$dataCorpus"/ 2>/dev/null || true
"$dir/fuzz/fuzz_seeds" "$corpus" "$dataCorpus"

export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
half=$(( (seconds + 1) / 2 ))
status=0
echo "fuzzing the Compute path for ${half} s ($(ls "$corpus" | wc -l) inputs in the corpus)"
"$dir/fuzz/fuzz_compute" -max_total_time="$half" -dict=fuzz/replies.dict -max_len=4096 \
  -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/" "$corpus" || status=$?
if [ "$status" -eq 0 ]; then
  echo "fuzzing the data files for ${half} s ($(ls "$dataCorpus" | wc -l) inputs in the corpus)"
  "$dir/fuzz/fuzz_datafile" -max_total_time="$half" -dict=fuzz/datafile.dict -max_len=4096 \
    -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 -artifact_prefix="$findings/data-" "$dataCorpus" || status=$?
fi
if [ "$status" -ne 0 ]; then
  echo "fuzz: a finding (status $status); the input is in $findings/" >&2
  exit "$status"
fi
echo "fuzz: no finding in ${seconds} s"
