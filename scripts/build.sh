#!/usr/bin/env bash
# Configures and builds into build/ (or $1 with extra CMake arguments after
# it, which override the defaults: -DCMAKE_BUILD_TYPE=RelWithDebInfo for
# debug information). The build is optimised as users build it (Release),
# so the suite runs on that code and the optimiser's warnings show; warnings
# are errors here (VT_WERROR). Uses ccache when the machine has it, so that
# rebuilds of unchanged sources (another build folder, another checkout) are
# quick. VT_BUILD_TARGET=name builds that target only (default: all).
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DVT_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)" ${VT_BUILD_TARGET:+--target "$VT_BUILD_TARGET"}
