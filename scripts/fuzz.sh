#!/usr/bin/env bash
# Builds the fuzz targets (every reader of outside input) with clang,
# AddressSanitizer and UndefinedBehaviorSanitizer in a build folder of their
# own and runs each for its share of FUZZ_SECONDS (default 60 in all).
# Seeds come from the project's own files and the test fixtures. Fails on
# any crash or sanitizer report; prints each target's executions.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build=${FUZZ_BUILD_DIR:-$here/build-fuzz}
seconds=${FUZZ_SECONDS:-60}
targets="fuzz_hex fuzz_hex_archivo fuzz_ini fuzz_respuestas_fw fuzz_vorra fuzz_ajustes_tessaly"
count=$(echo $targets | wc -w)
share=$(( seconds / count ))
[ "$share" -lt 5 ] && share=5
sanitizers="-fsanitize=address,undefined -fno-sanitize-recover=undefined"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_C_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DCMAKE_CXX_FLAGS="$sanitizers -fsanitize=fuzzer-no-link" \
  -DCMAKE_EXE_LINKER_FLAGS="$sanitizers" \
  -DKORVANE_FUZZ=ON -DKORVANE_GUI=OFF -DKORVANE_BENCH=OFF -DKORVANE_TESTS=ON >/dev/null
cmake --build "$build" --parallel "$(nproc)" --target $targets

# Working corpora in the build folder, started from the seeds. A seed's
# first byte (or two) chooses the device or the use, as each target reads it.
seed() {  # seed <corpus> <name> <prefix bytes as printf escapes> <file>
  { printf "$3"; cat "$4"; } > "$1/$2"
}
corpus="$build/corpus"
mkdir -p "$corpus"/{fuzz_hex,fuzz_hex_archivo,fuzz_ini,fuzz_respuestas_fw,fuzz_vorra,fuzz_ajustes_tessaly}
cp -n "$here"/tests/fuzz/semillas/* "$corpus/fuzz_hex/"
for f in "$here"/tests/fuzz/semillas/*; do
  seed "$corpus/fuzz_hex_archivo" "$(basename "$f")" '' "$f"
  seed "$corpus/fuzz_hex_archivo" "bin-$(basename "$f")" '\x0a\x01' "$f"
done
i=0
for f in "$here"/korvane/app/LANGUAGES/*.ini; do
  i=$((i + 1)); seed "$corpus/fuzz_ini" "idioma$i" '\x01' "$f"
  seed "$corpus/fuzz_ini" "ajustes$i" '\x00' "$f"
done
for f in "$here"/korvane/app/Hardware/*.prf; do
  i=$((i + 1)); seed "$corpus/fuzz_ini" "perfil$i" '\x02' "$f"
done
cp "$here/tessaly/data/vorra.ini" "$corpus/fuzz_vorra/vorra.ini"
# Tessaly's settings file as the program writes it, sections in order and not.
printf '[Main]\nLeft=0\nTop=0\n\n[SerialNumber]\nSerialNumber=12\nStartingLocation=9000\n\n[Options]\nVorraPort=2\nAutoPortDetect=0\n\n[Device]\nDevice=PIC16F84A\nConfig0=0x3FF1\n\n[Files]\n/tmp/a.hex\nb.hex\n\n' > "$corpus/fuzz_ajustes_tessaly/ajustes"
printf '[Files]\nx.hex\n[Code]\nHeight=10\nAscii=1\n[Device]\nConfig=$10\nDevice= PIC 18F452 \n' > "$corpus/fuzz_ajustes_tessaly/desordenado"
# Board answers: the version ("Ok2.07"), a 40-word read and its XOR, a closing reply.
printf '\x00\x06Ok2.07' > "$corpus/fuzz_respuestas_fw/version"
printf '\x80\x06Ok2.07' > "$corpus/fuzz_respuestas_fw/version-usb"
{ printf '\x01\x51'; head -c 81 /dev/zero; } > "$corpus/fuzz_respuestas_fw/lectura"
printf '\x03\x01\x02\x01\x02\x01\x00' > "$corpus/fuzz_respuestas_fw/escritura"

cd "$build"
for t in $targets; do
  echo "== $t: ${share}s"
  extra=""
  [ "$t" = fuzz_hex ] && extra="-dict=$here/tests/fuzz/hex.dict"
  status=0
  UBSAN_OPTIONS=print_stacktrace=1 "$build/tests/fuzz/$t" \
    -max_total_time="$share" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    $extra "$corpus/$t" > "$build/$t.log" 2>&1 || status=$?
  grep -E "stat::number_of_executed_units|stat::new_units_added" "$build/$t.log" || true
  if [ "$status" -ne 0 ] || grep -qE "ERROR: |deadly signal|==ABORTING|Test unit written" "$build/$t.log"; then
    echo "$t: a finding, see $build/$t.log" >&2
    exit 1
  fi
done
