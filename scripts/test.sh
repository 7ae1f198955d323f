#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
bash "$here/scripts/deps.sh"
build=${BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build "$build" --parallel "$(nproc)"
# The firmware link under ThreadSanitizer, the hex grid's memory image under
# AddressSanitizer, and every reader of outside input under the fuzzer.
bash "$here/scripts/tsan.sh"
bash "$here/scripts/asan.sh"
bash "$here/scripts/fuzz.sh"
export QT_QPA_PLATFORM=offscreen
# No reruns: a test that fails once is a fault to find.
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)" --timeout 600
