#!/usr/bin/env bash
# Uses the package as an application developer does: installs the build in
# BUILD_DIR (default build/) into a temporary prefix, builds examples/ as a
# project of its own against it, once through the CMake package
# (find_package(Rlx4100)) and once through pkg-config, and runs the example
# and the installed tools from another working directory. Finally moves the
# installation elsewhere and runs `vtdio demo` again: nothing may depend on
# the source tree, the build tree or the prefix installed to.
set -euo pipefail
cd "$(dirname "$0")/.."
source_dir=$PWD
build_dir=$(realpath "${1:-build}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
# The tools' defaults must come from the installation, not the environment.
unset VT_DATA_DIR VT_MODULE_DIR

step() { echo "== $*"; }
fail() { echo "consumer test FAILED: $*" >&2; exit 1; }

step "install into $prefix"
cmake --install "$build_dir" --prefix "$prefix" >/dev/null
cp -r "$source_dir/examples" "$work/examples"

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
run_example() {
  local binary=$1 out
  out=$(cd / && "$binary") || fail "$binary exited with $?: $out"
  grep -q "example finished" <<<"$out" || fail "$binary did not finish: $out"
}

step "examples/ with find_package(Rlx4100)"
cmake -S "$work/examples" -B "$work/with-cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  "${launcher[@]}" >/dev/null
cmake --build "$work/with-cmake" -j"$(nproc)" >/dev/null
run_example "$work/with-cmake/dio_example"

step "examples/ with pkg-config"
PKG_CONFIG_PATH="$prefix/lib/pkgconfig" cmake -S "$work/examples" -B "$work/with-pkg-config" \
  -DRLX4100_USE_PKG_CONFIG=ON "${launcher[@]}" >/dev/null
cmake --build "$work/with-pkg-config" -j"$(nproc)" >/dev/null
run_example "$work/with-pkg-config/dio_example"
version=$(PKG_CONFIG_PATH="$prefix/lib/pkgconfig" pkg-config --modversion rlx4100)
[ "$(cd / && "$prefix/bin/vtdio" --version)" = "vtdio $version" ] ||
  fail "vtdio --version does not say $version"

step "the CMake package's version: same major version only"
mkdir -p "$work/wants"
for wanted in "$version:found" "${version%%.*}.0:found" "$(( ${version%%.*} + 1 )).0:refused"; do
  printf 'cmake_minimum_required(VERSION 3.20)\nproject(wants NONE)\nfind_package(Rlx4100 %s CONFIG REQUIRED)\n' \
    "${wanted%%:*}" >"$work/wants/CMakeLists.txt"
  if cmake -S "$work/wants" -B "$work/wants/build" -DCMAKE_PREFIX_PATH="$prefix" >/dev/null 2>&1; then
    got=found
  else
    got=refused
  fi
  rm -rf "$work/wants/build"
  [ "$got" = "${wanted##*:}" ] || fail "find_package(Rlx4100 ${wanted%%:*}) was $got"
done

step "the installed tools, then the installation moved"
help=$(cd / && "$prefix/bin/vtdio" --help)
grep -q "$prefix/share/rlx4100 (installed)" <<<"$help" ||
  fail "vtdio --help does not name the installed data: $help"
(cd / && "$prefix/bin/vtsim" --machine "$prefix/share/rlx4100/default_machine.toml" >/dev/null) ||
  fail "vtsim does not boot the installed machine description"
mv "$prefix" "$work/moved"
out=$(cd / && "$work/moved/bin/vtdio" demo) || fail "vtdio demo exited with $?: $out"
grep -q "read DI (loopback):.*ok" <<<"$out" || fail "vtdio demo: $out"
echo "consumer test passed"
