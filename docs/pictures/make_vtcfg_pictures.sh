#!/usr/bin/env bash
# Draws the template editor's pictures in docs/pictures with vtcfg on a fresh
# platform tree (build first: cmake --build build --target vtcfg).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
vtcfg=${VTCFG:-$here/../../build/tools/vtcfg/vtcfg}
tree=$(mktemp -d)
trap 'rm -rf "$tree"' EXIT
"$vtcfg" init "$tree" >/dev/null
cd "$here"
"$vtcfg" run --root "$tree" vtcfg_pictures.vtcfg
