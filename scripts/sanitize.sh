#!/usr/bin/env bash
# Builds the suite under a sanitizer and runs it:
#   scripts/sanitize.sh [address|thread ...]   (default: address thread)
# address: AddressSanitizer + UBSan, into build-address/, the whole suite;
# thread:  ThreadSanitizer, into build-thread/, the tests labelled tsan (the
#          interrupt, wait and concurrency tests: ctest -L tsan), building
#          only their programs.
# Any sanitizer report fails the test that caused it, and so the script.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/deps.sh
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
export TSAN_OPTIONS=${TSAN_OPTIONS:-halt_on_error=1:second_deadlock_stack=1}
for kind in ${@:-address thread}; do
  case $kind in
    address) select=(); target= ;;
    thread) select=(-L tsan); target=tsan_tests ;;
    *) echo "sanitize.sh: unknown kind '$kind' (address or thread)" >&2; exit 2 ;;
  esac
  VT_BUILD_TARGET=$target scripts/build.sh "build-$kind" -DVT_SANITIZE="$kind" -DVT_BUILD_BENCH=OFF \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo
  ctest --test-dir "build-$kind" --output-on-failure -j"$(nproc)" "${select[@]}"
done
