#!/usr/bin/env bash
# Builds the hex grid editor's memory image tests with AddressSanitizer and
# UndefinedBehaviorSanitizer in a build folder of their own and runs them:
# the image is indexed by offsets that come from the user and the clipboard.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${ASAN_BUILD_DIR:-$here/build-asan}
flags="-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="$flags" \
  -DKORVANE_BENCH=OFF >/dev/null
cmake --build "$build" --parallel 4 --target test_rejilla
ASAN_OPTIONS="detect_leaks=1 ${ASAN_OPTIONS:-}" UBSAN_OPTIONS="print_stacktrace=1 ${UBSAN_OPTIONS:-}" \
  "$build/tests/rejilla/test_rejilla"
