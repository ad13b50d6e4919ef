#!/usr/bin/env bash
# The configurator under Wine beside its headless twin: the same steps
# (editor_steps.vtcfg) run by the host's vtcfg on the headless windows and
# by the cross-built vtcfg.exe (VTC4100Cfg.dll) under Wine on a virtual
# display; the registry scripts the two save must be byte for byte the
# same, and the windows' states that each reads back (the headless window
# objects; Win32 calls under Wine) must agree.
#
#   wine_vtcfg_test.sh HOST_VTCFG WINDOWS_BUILD_DIR WORK_DIR
#
# Exit 77 (skipped) with the reason when Wine, Xvfb or the Windows build is
# missing (scripts/deps.sh --windows; scripts/cross_build.sh x86_64).
set -euo pipefail
vtcfg=$1
windows_build=$2
work=$3
here=$(cd "$(dirname "$0")" && pwd)
exe=$windows_build/tools/vtcfg_win/vtcfg.exe

skip() {
  echo "skipped: $1"
  exit 77
}
command -v wine >/dev/null 2>&1 || skip "wine is not installed (scripts/deps.sh --windows)"
command -v xvfb-run >/dev/null 2>&1 || skip "xvfb-run is not installed (scripts/deps.sh --windows)"
[ -f "$exe" ] || skip "no Windows build at $windows_build (scripts/cross_build.sh x86_64)"
[ -f "$windows_build/tools/vtcfg_win/VTC4100Cfg.dll" ] || skip "no VTC4100Cfg.dll beside $exe"

rm -rf "$work/host" "$work/wine"
mkdir -p "$work/host/out" "$work/wine/out"
"$vtcfg" init "$work/host/tree" >/dev/null
"$vtcfg" init "$work/wine/tree" >/dev/null

(cd "$work/host/out" && "$vtcfg" run --root ../tree "$here/editor_steps.vtcfg" >log.txt)

# Wine's view of a Unix path: the Z: drive.
winpath() { echo "Z:$1" | tr / '\\'; }
export WINEPREFIX=$work/wineprefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
(cd "$work/wine/out" &&
  timeout 240 xvfb-run -a -s "-screen 0 1024x768x24" wine "$exe" run \
    "$(winpath "$here/editor_steps.vtcfg")" --root "$(winpath "$work/wine/tree")" >log.txt 2>err.txt) || {
  echo "vtcfg.exe failed under Wine:"
  cat "$work/wine/out/log.txt" "$work/wine/out/err.txt"
  wineserver -w
  exit 1
}
wineserver -w  # no Wine process outlives the test

status=0
for package in VTC4100/VTC4100.reg VTM6200K/VTM6200K.reg; do
  script=Public/Korvel/Device_Drivers/$package
  if cmp "$work/host/tree/$script" "$work/wine/tree/$script"; then
    echo "saved $package: the same bytes"
  else
    diff "$work/host/tree/$script" "$work/wine/tree/$script" || true
    status=1
  fi
done
for states in "$work"/host/out/*.txt; do
  name=$(basename "$states")
  [ "$name" = log.txt ] && continue
  if "$vtcfg" compare-states "$states" "$work/wine/out/$name"; then
    echo "states $name: the same"
  else
    echo "states $name differ (headless, then Wine)"
    status=1
  fi
done
exit $status
