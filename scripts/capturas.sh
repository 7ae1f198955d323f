#!/usr/bin/env bash
# Renders Korvane's main window (every page and family), its dialogs and
# the operation window after a run on a simulated part, offscreen, into
# PNG files under the build folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${BUILD_DIR:-$here/build}
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --parallel 3 --target qt_capturas_test
out="$build/capturas"
rm -rf "$out"
QT_QPA_PLATFORM=offscreen KORVANE_CAPTURAS="$out" "$build/tests/qt_capturas_test" -silent
echo "Pictures in $out"
