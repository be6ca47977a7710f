#!/usr/bin/env bash
# Installs what building, running and testing the calculator needs on Debian 12.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail
pkgs=(
  build-essential cmake ninja-build pkg-config
  qt6-base-dev qt6-base-dev-tools libqt6opengl6-dev qt6-qpa-plugins qt6-svg-dev qt6-translations-l10n
  libgl-dev libxkbcommon-dev
  fonts-wqy-microhei
  poppler-utils
  clang libclang-rt-14-dev
  libbenchmark-dev
  nlohmann-json3-dev
  libxlsxwriter-dev libdxflib-dev unzip
  xvfb xauth
  dpkg-dev file desktop-file-utils appstream librsvg2-bin man-db
  g++-mingw-w64-x86-64-win32 wine64 doctest-dev
)
missing=()
for p in "${pkgs[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ "${#missing[@]}" -gt 0 ]; then
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update
  # Without a flush after every file: unpacking wine and mingw-w64 (900 MB)
  # takes well under a minute instead of several.
  $SUDO apt-get install -y --no-install-recommends -o Dpkg::Options::=--force-unsafe-io "${missing[@]}"
fi
