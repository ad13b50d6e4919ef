#!/usr/bin/env bash
# Takes the template editor's pictures under Wine (docs/pictures/wine/) with
# the same steps as the headless pictures (vtcfg_pictures.vtcfg): vtcfg.exe
# from the 64-bit Windows build (scripts/cross_build.sh x86_64) on a virtual
# display, each picture read from the screen as a BMP and converted to PNG.
# Needs wine, xvfb-run and ImageMagick (scripts/deps.sh --windows) and the
# host's vtcfg for the tree (cmake --build build --target vtcfg).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vtcfg=${VTCFG:-$here/../../build/tools/vtcfg/vtcfg}
exe=${VTCFG_EXE:-$here/../../build-mingw-x86_64/tools/vtcfg_win/vtcfg.exe}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$vtcfg" init "$work/tree" >/dev/null
sed -E 's/^picture (.*)\.png$/picture \1.bmp/' "$here/vtcfg_pictures.vtcfg" >"$work/steps.vtcfg"
winpath() { echo "Z:$1" | tr / '\\'; }
export WINEPREFIX=${WINEPREFIX:-$work/prefix} WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
(cd "$work" && xvfb-run -a -s "-screen 0 1024x768x24" wine "$exe" run \
  "$(winpath "$work/steps.vtcfg")" --root "$(winpath "$work/tree")")
wineserver -w  # the prefix is removed with the scratch folder
mkdir -p "$here/wine"
for bmp in "$work"/*.bmp; do
  convert "$bmp" "$here/wine/$(basename "${bmp%.bmp}").png"
done
