#!/usr/bin/env bash
# The Windows build of the core, checked on this machine: cross-compiles the
# text executable and the portable core tests with mingw-w64 (preset mingw,
# build-mingw/), runs the tests under wine, and replays every example with
# chainadj.exe under wine, comparing standard output, standard error and
# the exit status byte for byte with the native build (build/, which must
# be built). Also runs an example from a file with a Chinese name and asks
# for the window, which this build does not have. Prints how long each
# step took. wine gets a prefix of its own in a temporary folder (no X
# needed: these are console programs) that is removed at the end.
#   scripts/windows-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
native=build/chainadj
[ -x "$native" ] || { echo "windows-check: build the native program first ($native)" >&2; exit 1; }

fail() {
  echo "windows-check: $*" >&2
  exit 1
}
now() { date +%s.%N; }
took() { awk -v a="$1" -v b="$(now)" 'BEGIN { printf "%.1f s", b - a }'; }
# Elapsed seconds of each step, printed at the end.
timings=()
begin=$(now)

start=$(now)
cmake --preset mingw >/dev/null
cmake --build --preset mingw
timings+=("cross build: $(took "$start")")
exe=build-mingw/chainadj.exe
tests=build-mingw/tests/portable/test_portable.exe
file "$exe" | grep -q 'PE32+ executable.*x86-64' || fail "$exe is not a 64-bit Windows executable"
# Linked statically: nothing but the system's own DLLs.
if x86_64-w64-mingw32-objdump -p "$exe" | grep -i 'DLL Name' | grep -viq 'kernel32\|msvcrt\|shell32\|api-ms-win'; then
  fail "$exe needs DLLs beyond the system's: $(x86_64-w64-mingw32-objdump -p "$exe" | grep 'DLL Name' | tr -d '\t')"
fi

wine=$(command -v wine64 || echo /usr/lib/wine/wine64)
wineserver=$(command -v wineserver64 || command -v wineserver || echo /usr/lib/wine/wineserver64)
[ -x "$wine" ] || fail "wine64 is not installed"
work=$(mktemp -d)
export WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" LC_ALL=C.UTF-8
unset DISPLAY WAYLAND_DISPLAY
cleanup() {
  "$wineserver" -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# The first start of wine makes its prefix (a Windows folder tree and
# registry); its messages stay out of the comparisons below.
start=$(now)
"$wine" wineboot --init >"$work/wineboot.log" 2>&1 || fail "wine did not start: $(cat "$work/wineboot.log")"
"$wineserver" -w
timings+=("wine prefix: $(took "$start")")

start=$(now)
"$wine" "$tests" >"$work/tests.log" 2>&1 || { cat "$work/tests.log"; fail "the portable core tests failed under wine"; }
grep '^\[doctest\] \(test cases\|assertions\)' "$work/tests.log"
timings+=("core tests under wine: $(took "$start")")

# chainadj.exe and the native program on the same input: the same bytes.
same() {
  local name=$1
  shift
  local status=0
  "$native" "$@" >"$work/native.out" 2>"$work/native.err" || status=$?
  echo "rc=$status" >>"$work/native.out"
  status=0
  "$wine" "$exe" "$@" >"$work/wine.out" 2>"$work/wine.err" || status=$?
  echo "rc=$status" >>"$work/wine.out"
  cmp -s "$work/native.out" "$work/wine.out" && cmp -s "$work/native.err" "$work/wine.err" && return 0
  diff -u "$work/native.out" "$work/wine.out" | head -20 >&2 || true
  diff -u "$work/native.err" "$work/wine.err" | head -20 >&2 || true
  fail "$name: chainadj.exe under wine differs from the native program"
}

start=$(now)
count=0
for n in $(seq 1 12); do
  same "case$n.chain" --data "examples/case$n.chain" --fields
  same "case$n.replies" --replies "examples/case$n.replies" --transcript --fields --report-text
  count=$((count + 2))
done
[ "$count" -eq 24 ] || fail "$count replays compared, not 24"
# A file name that the local code page cannot hold; an input error, its
# Chinese message and its exit status.
cp examples/case1.chain "$work/王家坡 测量.chain"
same "a Chinese file name" --data "$work/王家坡 测量.chain" --fields --report-text
printf 'case = 1\n' >"$work/bad.chain"
same "a broken data file" --data "$work/bad.chain" --fields
# A data file saved by chainadj.exe (the atomic writer, a Chinese name)
# has the native bytes.
"$native" --data examples/case7.chain --save-data "$work/native.chain" >/dev/null
"$wine" "$exe" --data examples/case7.chain --save-data "$work/保存 数据.chain" >/dev/null
cmp "$work/native.chain" "$work/保存 数据.chain" || fail "the data file saved by chainadj.exe differs from the native one"
! ls -A "$work" | grep -q '^\.' || fail "a temporary file was left: $(ls -A "$work")"
# The exports that need no library have the native bytes: the CSV and the
# CASS file (GBK: the system's converter instead of iconv); a batch run
# reports the same; the workbook is refused, nothing written.
for kind in csv dat; do
  "$native" --data examples/case7.chain --export-$kind "$work/native.$kind" >/dev/null
  "$wine" "$exe" --data examples/case7.chain --export-$kind "$work/导出.$kind" >/dev/null
  cmp "$work/native.$kind" "$work/导出.$kind" || fail "the .$kind file of chainadj.exe differs from the native one"
done
same "a batch run" --batch examples/case1.chain examples/case9.chain tests/data/batch/no-case.chain --summary "$work/汇总.csv"
head -c 3 "$work/汇总.csv" | cmp -s - <(printf '\xEF\xBB\xBF') || fail "the batch summary of chainadj.exe has no byte-order mark"
status=0
"$wine" "$exe" --data examples/case7.chain --export-xlsx "$work/x.xlsx" >/dev/null 2>"$work/xlsx.err" || status=$?
[ "$status" -eq 6 ] && grep -q '这个版本没有 Excel 工作簿的导出' "$work/xlsx.err" && [ ! -e "$work/x.xlsx" ] ||
  fail "asked for a workbook, chainadj.exe exited with $status: $(cat "$work/xlsx.err")"
rm -f "$work"/native.* "$work"/导出.* "$work"/汇总.csv
! ls -A "$work" | grep -q '^\.' || fail "a temporary file was left: $(ls -A "$work")"
timings+=("$count replays + 6 under wine and native: $(took "$start")")
echo "windows-check: chainadj.exe gives the native bytes for $count example replays, a Chinese file name, a broken file, a saved data file, the CSV and CASS exports and a batch run"

# The window is not in this build: it says so and exits with 1.
status=0
"$wine" "$exe" >"$work/window.out" 2>"$work/window.err" || status=$?
[ "$status" -eq 1 ] && grep -q '这个版本没有计算窗口' "$work/window.err" ||
  fail "asked for the window, chainadj.exe exited with $status: $(cat "$work/window.err")"

echo "windows-check: passed. Time taken:"
printf '  %s\n' "${timings[@]}" "in all: $(took "$begin")"
