#!/usr/bin/env bash
# Installs what is missing, builds, and runs the whole test suite: once in
# the default build (then builds, installs, checks and removes the Debian
# package, and cross-builds the core for Windows and checks it under wine)
# and once under AddressSanitizer + UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen

cmake --preset default
cmake --build --preset default
ctest --preset default
bash scripts/package-check.sh
bash scripts/windows-check.sh

cmake --preset asan
cmake --build --preset asan
ctest --preset asan

if [ -x scripts/fuzz.sh ]; then
  bash scripts/fuzz.sh "${FUZZ_SECONDS:-60}"
fi
