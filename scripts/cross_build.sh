#!/usr/bin/env bash
# The Windows builds: the driver library (Rlx4100.dll), the configurator
# (VTC4100Cfg.dll) and vtcfg.exe cross-compiled with mingw-w64 against the
# real Windows headers, for 32-bit (build-mingw-i686) and 64-bit
# (build-mingw-x86_64) Windows, resource scripts compiled by windres; then
# the DLLs' export tables are checked with objdump -p.
#
#   scripts/cross_build.sh [i686|x86_64 ...]    (default: both)
#
# Needs g++-mingw-w64-i686 and g++-mingw-w64-x86-64 (scripts/deps.sh
# --windows). Warnings are errors (VT_WERROR). Exits non-zero when a build
# fails or an export table is not the documented one.
set -euo pipefail
cd "$(dirname "$0")/.."
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(i686 x86_64)
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi

# The names a DLL exports, one a line, C++ names without their type
# decoration.
exported_names() {
  local objdump=$1 filt=$2 dll=$3
  "$objdump" -p "$dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -nE 's/^\s*\[\s*[0-9]+\] (.+)$/\1/p' | "$filt" --no-strip-underscore | sed -E 's/\(.*//' | sort
}

# The library's documented operations: every RLX4100_API declaration of its
# public headers.
documented_names() {
  grep -h "RLX4100_API" library/include/*.h | grep -v "#define" |
    sed -E 's/.*RLX4100_API[^(]* \**([A-Za-z0-9_]+)\(.*/\1/' | sort
}

check_exports() {
  local triple=$1 dll=$2 expected=$3 got
  got=$(exported_names "$triple-objdump" "$triple-c++filt" "$dll")
  if [ "$got" != "$expected" ]; then
    echo "error: $dll exports are not the documented ones:" >&2
    diff <(echo "$expected") <(echo "$got") >&2 || true
    return 1
  fi
  echo "$dll: $(echo "$got" | wc -l) exports, as documented"
}

# A DLL that names a mingw runtime DLL would not load on a plain Windows.
check_imports() {
  local triple=$1 file=$2 extra
  extra=$("$triple-objdump" -p "$file" | sed -nE 's/^\s*DLL Name: (.+)$/\1/p' |
          grep -viE '^(kernel32|user32|gdi32|advapi32|comctl32|msvcrt)\.dll$' || true)
  if [ -n "$extra" ]; then
    echo "error: $file needs DLLs beside the system's: $extra" >&2
    return 1
  fi
}

status=0
for arch in "${targets[@]}"; do
  case $arch in
    i686 | x86_64) ;;
    *) echo "usage: $0 [i686|x86_64 ...]" >&2; exit 2 ;;
  esac
  triple=$arch-w64-mingw32
  dir=build-mingw-$arch
  start=$(date +%s)
  cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/toolchains/mingw-$arch.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DVT_WERROR=ON "${launcher[@]}" >/dev/null
  cmake --build "$dir" -j"$(nproc)"
  echo "$dir: built in $(( $(date +%s) - start )) s"
  check_exports "$triple" "$dir/library/Rlx4100.dll" "$(documented_names)" || status=1
  check_exports "$triple" "$dir/configurator/VTC4100Cfg.dll" "DriverConfig" || status=1
  for file in "$dir"/library/Rlx4100.dll "$dir"/configurator/VTC4100Cfg.dll "$dir"/tools/vtcfg_win/*.exe; do
    [ -e "$file" ] && { check_imports "$triple" "$file" || status=1; }
  done
done
exit $status
