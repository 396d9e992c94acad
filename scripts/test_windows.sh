#!/bin/sh
# The Windows stage of the tests. Builds the 32-bit engine (build-win32) and
# checks its exports; builds the same sources for 64-bit Windows
# (build-win64) and runs their checks under Wine, headless, since these
# machines cannot run 32-bit programs; compares RVCall's transcriptions and
# the phoneme lines with the Linux build named by the first argument
# (default build), which must already be built.
set -eu
cd "$(dirname "$0")/.."
linux_build=${1:-build}
root=$(pwd)
started=$(date +%s)

build_windows() {
    dir=$1
    toolchain=$2
    echo "== build $dir"
    if [ -f "$dir/CMakeCache.txt" ]; then
        cmake -S . -B "$dir" -DFALAVOZ_WERROR=ON >/dev/null
    else
        cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain" -DFALAVOZ_WERROR=ON >/dev/null
    fi
    cmake --build "$dir" -j"$(nproc)"
}

build_windows build-win32 mingw32-toolchain.cmake

echo "== exports of build-win32/bin/Falavoz32.dll"
exports=$(i686-w64-mingw32-objdump -p build-win32/bin/Falavoz32.dll |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NF == 3 { print $3 }')
missing=0
expect() {  # a name that must be exported, or must not be with "absent"
    if printf '%s\n' "$exports" | grep -qx "$1"; then
        [ "${2:-}" != absent ] && return 0
        echo "exported, but must not be: $1" >&2
    else
        [ "${2:-}" = absent ] && return 0
        echo "not exported: $1" >&2
    fi
    missing=$((missing + 1))
}
# Every TTS_ function of the header, plain and decorated; the decorated
# name's size is checked by engine_win_test linking against the import library.
for name in $(sed -n 's/^FV_EXPORT .* FV_CALL \(TTS_[A-Za-z]*\)(.*/\1/p' engine/include/falavoz32.h); do
    expect "$name"
    printf '%s\n' "$exports" | grep -q "^$name@[0-9]*\$" || { echo "not exported: $name@N" >&2; missing=$((missing + 1)); }
done
expect TTS_PlayText@8
expect TTS_Init@12
expect WaveCallback
expect RVCall
for name in $(printf '%s\n' "$exports" | grep '^\(WaveCallback\|RVCall\)@'); do expect "$name" absent; done
if [ "$missing" -ne 0 ]; then
    echo "Falavoz32.dll: $missing exports wrong" >&2
    exit 1
fi
echo "exports: $(printf '%s\n' "$exports" | wc -l) names, each TTS_ function under both names"

build_windows build-win64 mingw64-toolchain.cmake

# A private Wine, without a display, whose one wave-out device is ALSA's null
# device; the decimal separator is the one the Linux build reads by default.
export WINEPREFIX="$root/build-win64/wineprefix" WINEDEBUG=-all HOME="$root/build-win64/home"
unset DISPLAY WAYLAND_DISPLAY
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver64
mkdir -p "$HOME"
printf 'pcm.!default { type null }\nctl.!default { type hw card 0 }\n' >"$HOME/.asoundrc"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== wineboot"
    boot_started=$(date +%s)
    "$wine" wineboot -i >/dev/null 2>&1
    "$wine" reg add 'HKCU\Control Panel\International' /v sDecimal /d , /f >/dev/null 2>&1
    echo "wineboot: $(($(date +%s) - boot_started)) s"
fi
trap '"$wineserver" -k 2>/dev/null || true' EXIT

echo "== tests under Wine"
cd build-win64/bin
status=0
timeout 600 "$wine" engine_win_test.exe 2>&1 | tr -d '\r' | tee ../engine_win_test.log
grep -q '^[0-9]* passed, 0 failed$' ../engine_win_test.log || status=1

echo "== tests under Wine without a sound device"
mkdir -p ../home-without-device
HOME="$root/build-win64/home-without-device" timeout 600 "$wine" engine_win_test.exe 2>&1 |
    tr -d '\r' | grep -v '^ALSA lib' | tee ../engine_win_test_without_device.log
grep -q '^[0-9]* passed, 0 failed$' ../engine_win_test_without_device.log || status=1

echo "== RVCall under Wine against the Linux build"
timeout 300 "$wine" engine_win_test.exe --transcribe ../../tests/win32/sentences.txt ../win_transcriptions.txt
"$root/$linux_build/bin/falavoz" -x -f ../../tests/win32/sentences.txt >../linux_transcriptions.txt
if diff ../linux_transcriptions.txt ../win_transcriptions.txt >../transcriptions.diff; then
    echo "RVCall: $(wc -l <../win_transcriptions.txt) sentences transcribed alike"
else
    echo "RVCall differs from the Linux build:" >&2
    head -20 ../transcriptions.diff >&2
    status=1
fi

echo "== phoneme lines under Wine against the Linux build"
sentence='Ele fala? Bom dia, 12 casas custam 3,50.'
timeout 300 "$wine" engine_win_test.exe --pho "$sentence" ../win_phonemes.txt
"$root/$linux_build/bin/falavoz" --pho "$sentence" >../linux_phonemes.txt
if cmp -s ../linux_phonemes.txt ../win_phonemes.txt; then
    echo "phoneme lines: $(wc -l <../win_phonemes.txt) lines alike"
else
    echo "the phoneme lines differ from the Linux build" >&2
    diff ../linux_phonemes.txt ../win_phonemes.txt | head -20 >&2
    status=1
fi

echo "windows stage: $(($(date +%s) - started)) s"
exit $status
