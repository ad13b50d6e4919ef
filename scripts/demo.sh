#!/usr/bin/env bash
# Installs what is missing, builds, and runs the demo: every simulated board
# written, read back, read through its output-to-input wiring, and its
# interrupts raised and reported.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
scripts/build.sh build
build/tools/vtdio/vtdio demo
