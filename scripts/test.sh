#!/bin/sh
# Runs every test: installs what is missing, checks the C++ layout against
# .clang-format, builds with warnings as errors and runs the suite, then does
# the same under AddressSanitizer and UndefinedBehaviorSanitizer, runs the
# asynchronous tests under ThreadSanitizer, fuzzes the engine's inputs for a
# minute, and builds the Windows engine and runs its checks under Wine.
set -eu
cd "$(dirname "$0")/.."
sh scripts/setup.sh

echo "== format"
sh scripts/check_format.sh

run_suite() {
    dir=$1
    shift
    echo "== build $dir ($*)"
    cmake -S . -B "$dir" -DFALAVOZ_WERROR=ON "$@" >/dev/null
    cmake --build "$dir" -j"$(nproc)"
    echo "== tests $dir"
    (cd "$dir" && ctest --output-on-failure -j2 --timeout 300)
}

run_suite build
run_suite build-asan -DFALAVOZ_SANITIZE=ON

# The tests where the device's own thread plays while the engine goes on,
# under ThreadSanitizer (a report fails the test program).
echo "== build build-tsan (asynchronous tests)"
cmake -S . -B build-tsan -DFALAVOZ_WERROR=ON -DFALAVOZ_TSAN=ON >/dev/null
cmake --build build-tsan -j"$(nproc)" --target async_test singing_test waveout_test falavoz_data
echo "== tests build-tsan"
(cd build-tsan && ctest --output-on-failure -j2 --timeout 300 -R '^(async_test|singing_test|waveout_test)[.]')

# A minute of libFuzzer, shared by the targets of each kind of input (the
# full ten minutes: run_fuzz.sh 600).
echo "== fuzz"
sh tests/fuzz/run_fuzz.sh 60

# The Windows engine, against the Linux build in build/.
sh scripts/test_windows.sh build

# No mbrola child may outlive the tests.
if pgrep -x mbrola >/dev/null 2>&1; then
    echo "mbrola processes left behind:" >&2
    pgrep -a -x mbrola >&2
    exit 1
fi
echo "all suites passed"
