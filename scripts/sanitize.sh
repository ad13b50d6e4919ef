#!/usr/bin/env bash
# Runs the suite under AddressSanitizer + UBSan, then ThreadSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
for kind in ${1:-address thread}; do
  scripts/build.sh "build-$kind" -DVT_SANITIZE="$kind" -DVT_BUILD_BENCH=OFF
  ctest --test-dir "build-$kind" --output-on-failure -j"$(nproc)"
done
