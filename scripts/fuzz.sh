#!/usr/bin/env bash
# Builds the HEX-reader fuzz target with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer in its own build folder and runs it for a
# bounded time (FUZZ_SECONDS, default 60). Fails on any crash or report.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" \
  -DKORVANE_FUZZ=ON -DKORVANE_GUI=OFF -DKORVANE_BENCH=OFF -DKORVANE_TESTS=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target fuzz_hex
# A working corpus in the build folder, started from the seeds in the tree.
corpus="$build/corpus-hex"
mkdir -p "$corpus"
cp -n "$here"/tests/fuzz/semillas/* "$corpus"/
cd "$build"
UBSAN_OPTIONS=print_stacktrace=1 "$build/tests/fuzz/fuzz_hex" \
  -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  -dict="$here/tests/fuzz/hex.dict" "$corpus"
