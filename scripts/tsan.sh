#!/usr/bin/env bash
# Builds the firmware-link tests with ThreadSanitizer in a build folder of
# their own and runs them: the reply watcher hands over to the main thread
# while the transfer runs, and the simulated board runs on a thread too.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${TSAN_BUILD_DIR:-$here/build-tsan}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DKORVANE_TSAN=ON -DKORVANE_GUI=OFF -DKORVANE_BENCH=OFF >/dev/null
cmake --build "$build" --parallel 4 --target test_firmware
TSAN_OPTIONS="halt_on_error=1 second_deadlock_stack=1 ${TSAN_OPTIONS:-}" "$build/tests/test_firmware"
