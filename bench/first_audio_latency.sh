#!/bin/sh
# Latency to the first audio of an asynchronous TTS_PlayText, with this
# build and, when given, a build of another commit, in one session: the two
# alternate, one process each time, and the median of the runs of each is
# printed with the paired ratio. The audio goes to ALSA's null device.
#
#   sh bench/first_audio_latency.sh [REFERENCE_BUILD_DIR]
#
# REFERENCE_BUILD_DIR is the build folder of the other commit (its lib/ and
# bin/ are used). RUNS (default 9) sets the number of runs of each.
set -eu
cd "$(dirname "$0")/.."
RUNS=${RUNS:-9}
BUILD=${BUILD:-build}
REFERENCE=${1:-}
TEXT='O menino abriu a janela da sala, olhou a rua molhada pela chuva da noite e chamou o irmao para ver o arco-iris sobre o morro.'

[ -f "$BUILD/lib/libFalavoz32.so" ] || { echo "build first: sh scripts/build.sh" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# compile BUILD_DIR NAME: the benchmark program linked to that build's engine.
compile() {
    dir=$(cd "$1" && pwd)
    c++ -std=c++20 -O2 -Iengine/include bench/first_audio.cpp -o "$WORK/$2" \
        -L"$dir/lib" -lFalavoz32 -Wl,-rpath,"$dir/lib"
    echo "$dir/bin" >"$WORK/$2.data"
}

# run NAME: one run in a fresh process, its time in milliseconds.
run() {
    FALAVOZ_ALSA_DEVICE=null FALAVOZ_DATA=$(cat "$WORK/$1.data") "$WORK/$1" 1 "$TEXT"
}

median() { sort -n "$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

compile "$BUILD" current
[ -z "$REFERENCE" ] || compile "$REFERENCE" reference
for k in $(seq "$RUNS"); do
    run current >>"$WORK/current.ms"
    [ -z "$REFERENCE" ] || run reference >>"$WORK/reference.ms"
done

printf 'first audio of TTS_PlayText(text, 1), %s runs each, median\n' "$RUNS"
printf 'this build (%s): %8.1f ms\n' "$BUILD" "$(median "$WORK/current.ms")"
if [ -n "$REFERENCE" ]; then
    printf 'reference (%s): %8.1f ms\n' "$REFERENCE" "$(median "$WORK/reference.ms")"
    paste "$WORK/current.ms" "$WORK/reference.ms" | awk '{ print $1 / $2 }' >"$WORK/ratio"
    printf 'median paired ratio this/reference: %.3f\n' "$(median "$WORK/ratio")"
fi
