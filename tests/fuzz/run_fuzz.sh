#!/bin/sh
# Builds the engine with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and feeds it random texts for a bounded time.
#
#   sh tests/fuzz/run_fuzz.sh [SECONDS]     (default 60)
#
# Findings are written to build-fuzz/findings/ and make the script fail.
set -eu
cd "$(dirname "$0")/../.."
SECONDS_TO_RUN=${1:-60}
BUILD=build-fuzz
CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DFALAVOZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j"$(nproc)" --target engine_fuzz falavoz_data
mkdir -p "$BUILD/corpus" "$BUILD/findings"
cp tests/fuzz/seeds/* "$BUILD/corpus/" 2>/dev/null || true
FALAVOZ_DATA="$PWD/$BUILD/bin" "$BUILD/bin/engine_fuzz" "$BUILD/corpus" \
    -max_total_time="$SECONDS_TO_RUN" -max_len=4096 -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$BUILD/findings/" -print_final_stats=1
