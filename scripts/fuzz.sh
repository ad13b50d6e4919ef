#!/usr/bin/env bash
# Builds the libFuzzer targets with clang into build-fuzz/ and runs each one
# for a bounded time:
#   scripts/fuzz.sh [seconds per fuzzer, default 60] [fuzzer name ...]
# VT_FUZZ_RUNS=N runs N inputs per fuzzer instead (then seconds is ignored).
# Each fuzzer reads its seeds from fuzz/corpus/<name>/ and keeps what it finds
# in build-fuzz/corpus/<name>/; a crash leaves its input in
# build-fuzz/artifacts/ and fails the script. The count of inputs run is
# printed per fuzzer. fuzz/<name>.options, when present, holds further
# libFuzzer options for that fuzzer on one line.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
shift || true
scripts/deps.sh clang libclang-rt-dev  # libFuzzer and the sanitizer runtimes

launcher=()
if command -v ccache >/dev/null 2>&1; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DVT_FUZZ=ON -DVT_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  "${launcher[@]}" >/dev/null
cmake --build build-fuzz -j"$(nproc)"

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  mapfile -t names < build-fuzz/fuzz/fuzzers.txt
fi
mkdir -p build-fuzz/artifacts
for name in "${names[@]}"; do
  [ -n "$name" ] || continue
  work=build-fuzz/corpus/$name
  mkdir -p "$work"
  args=(-print_final_stats=1 -max_len=16384 "-artifact_prefix=build-fuzz/artifacts/$name-")
  if [ -f "fuzz/$name.dict" ]; then args+=("-dict=fuzz/$name.dict"); fi
  if [ -f "fuzz/$name.options" ]; then
    read -ra extra <"fuzz/$name.options"
    args+=("${extra[@]}")
  fi
  if [ -n "${VT_FUZZ_RUNS:-}" ]; then args+=("-runs=$VT_FUZZ_RUNS"); else args+=("-max_total_time=$seconds"); fi
  log=build-fuzz/$name.log
  echo "== $name"
  if ! "build-fuzz/fuzz/${name}_fuzzer" "${args[@]}" "$work" "fuzz/corpus/$name" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name: FAILED (log: $log)"
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
  echo "$name: ${runs:-?} inputs, no failure (log: $log)"
done
