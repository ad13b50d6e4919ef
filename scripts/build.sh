#!/usr/bin/env bash
# Configures and builds into build/ (or $1 with extra CMake arguments after
# it, which override the defaults: -DCMAKE_BUILD_TYPE=Release). Warnings are
# errors here (VT_WERROR). Uses ccache when the machine has it, so that
# rebuilds of unchanged sources (another build folder, another checkout) are
# quick.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=${1:-build}
shift || true
launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVT_WERROR=ON "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j"$(nproc)"
