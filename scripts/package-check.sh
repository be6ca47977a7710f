#!/usr/bin/env bash
# The Debian package on this machine: builds it with CPack from the default
# build, installs it with apt-get, runs the installed program on the
# installed examples and compares with the build tree, writes a PDF through
# the installed window module, validates the desktop entry and the AppStream
# metainfo, renders the icon, finds both manual pages, and removes the package again, also
# when a step fails. Needs root (or sudo) and a finished default build.
#   scripts/package-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
build=build
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive

fail() {
  echo "package-check: $*" >&2
  exit 1
}
installed() { dpkg-query -W -f='${Status}' chainadj 2>/dev/null | grep -q "install ok installed"; }

rm -f "$build"/chainadj_*.deb
(cd "$build" && cpack -G DEB >/dev/null)
debs=("$build"/chainadj_*_*.deb)
[ -f "${debs[0]}" ] && [ "${#debs[@]}" -eq 1 ] || fail "CPack made no package (or more than one) in $build"
deb="${debs[0]}"
echo "package-check: $deb"
depends=$(dpkg-deb -f "$deb" Depends)
case "$depends" in
  *libqt6widgets6*libstdc++6*) ;;
  *) fail "the dependencies do not come from dpkg-shlibdeps: $depends" ;;
esac

work=$(mktemp -d)
cleanup() {
  local status=$?
  if installed; then
    $SUDO apt-get remove -y chainadj >/dev/null || status=1
  fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT

# A package left by an interrupted run would keep its files: apt does not
# reinstall the same version.
if installed; then
  echo "package-check: removing the chainadj package installed before"
  $SUDO apt-get remove -y chainadj >/dev/null
fi
$SUDO apt-get install -y "./$deb"
[ "$(command -v chainadj)" = /usr/bin/chainadj ] || fail "chainadj is not /usr/bin/chainadj after installing"
files=$(dpkg -L chainadj)
examples=/usr/share/chainadj/examples

# The installed examples give the build tree's fields and report, byte for byte.
count=0
for chain in examples/case*.chain; do
  name=$(basename "$chain")
  [ -f "$examples/$name" ] || fail "$examples/$name is not installed"
  "$build/chainadj" --data "$chain" --fields --report-text >"$work/built" 2>&1
  chainadj --data "$examples/$name" --fields --report-text >"$work/installed" 2>&1 ||
    fail "installed chainadj failed on $examples/$name"
  diff -u "$work/built" "$work/installed" || fail "$name: the installed program differs from the build tree"
  count=$((count + 1))
done
[ "$count" -eq 12 ] || fail "$count examples compared, not 12"
echo "package-check: the installed program gives the build tree's fields and report for $count examples"

# The PDF report comes from the window module in its private directory.
env -u DISPLAY -u WAYLAND_DISPLAY chainadj --data "$examples/case1.chain" --report-pdf "$work/case1.pdf"
pdftotext "$work/case1.pdf" - | grep -q "三边平差" || fail "the PDF from the installed module has no report text"
echo "package-check: PDF written through $(grep '/libchainadj_gui.so$' <<<"$files")"

desktop=$(grep '^/usr/share/applications/.*\.desktop$' <<<"$files") || fail "no desktop entry in the package"
metainfo=$(grep '^/usr/share/metainfo/.*\.metainfo\.xml$' <<<"$files") || fail "no metainfo in the package"
desktop-file-validate "$desktop"
appstreamcli validate --no-net "$metainfo"
icon=$(sed -n 's/^Icon=//p' "$desktop")
svg="/usr/share/icons/hicolor/scalable/apps/$icon.svg"
[ -f "$svg" ] || fail "icon $icon is not installed"
for size in 48 256; do
  rsvg-convert -w "$size" -h "$size" "$svg" -o "$work/icon$size.png"
  file "$work/icon$size.png" | grep -q "PNG image data, $size x $size" || fail "the icon does not render at $size px"
done

[ "$(man -w chainadj)" = /usr/share/man/man1/chainadj.1.gz ] || fail "man chainadj does not find the English page"
[ "$(man -L zh_CN -w chainadj)" = /usr/share/man/zh_CN/man1/chainadj.1.gz ] ||
  fail "man -L zh_CN chainadj does not find the Chinese page"

$SUDO apt-get remove -y chainadj >/dev/null
! installed && [ ! -e /usr/bin/chainadj ] || fail "chainadj is still installed after apt-get remove"
echo "package-check: installed, ran, validated and removed $(basename "$deb")"
