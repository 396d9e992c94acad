#!/bin/sh
# Builds the engine with clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each fuzz target in turn, the time
# given shared evenly between them:
#
#   sh tests/fuzz/run_fuzz.sh [SECONDS]     (default 60, for all the targets)
#
#   engine     texts: the transcription and a WAV rendering into a file
#   long_text  texts of about 100 KB, where a slowdown is a timeout
#   language   the language data file, then a text spoken with it
#   dict       a user dictionary, saved and loaded back unchanged
#   melody     melodies sung through TTS_PlayMusic
#
# Each target grows its corpus in build-fuzz/corpus/NAME from the seeds in
# tests/fuzz/seeds/NAME and those made here from the data (too big, or too
# close to data/, to keep twice). Findings are written to build-fuzz/findings/
# and make the script fail; a reproducer runs as
# build-fuzz/bin/NAME_fuzz FILE. The last lines sum up each target's run.
set -eu
cd "$(dirname "$0")/../.."
SECONDS_TO_RUN=${1:-60}
BUILD=build-fuzz
TARGETS="engine long_text language dict melody"

CC=clang CXX=clang++ cmake -S . -B "$BUILD" -DFALAVOZ_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
binaries=""
for name in $TARGETS; do binaries="$binaries ${name}_fuzz"; done
# shellcheck disable=SC2086 # one target a word
cmake --build "$BUILD" -j"$(nproc)" --target $binaries falavoz_data

# The files the targets write go to memory: the engine syncs every save.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
    TMPDIR=$(mktemp -d /dev/shm/falavoz-fuzz.XXXXXX)
else
    TMPDIR=$(mktemp -d)
fi
export TMPDIR
trap 'rm -rf "$TMPDIR"' EXIT

# Prints TEXT COUNT times.
repeat() {
    TEXT=$1 COUNT=$2 awk 'BEGIN { for (i = 0; i < ENVIRON["COUNT"]; i++) printf "%s", ENVIRON["TEXT"] }'
}

# Seeds made from the data of this tree.
GENERATED="$BUILD/seeds"
rm -rf "$GENERATED"
mkdir -p "$GENERATED/long_text" "$GENERATED/language" "$GENERATED/melody"

# Long texts, each after a byte of options: runs of digits and dots, of
# pauses, of one letter, of blanks, of numbers and of sentences.
long="$GENERATED/long_text"
{ printf '\000'; repeat '1.' 50000; printf '0'; } >"$long/digits-and-dots"
{ printf '\000'; repeat '1,' 50000; printf '0'; } >"$long/digits-and-commas"
{ printf '\000'; repeat '9' 100000; } >"$long/digits"
{ printf '\000'; repeat '1 ' 50000; } >"$long/numbers"
{ printf '\000'; repeat '\P1' 33000; } >"$long/pauses"
{ printf '\000'; repeat '\P1 a' 20000; } >"$long/pauses-and-words"
{ printf '\000'; printf '\\*'; repeat '-ba' 33000; printf '\\*'; } >"$long/phonetic"
{ printf '\000'; repeat 'a' 100000; } >"$long/word"
{ printf '\001'; repeat 'A' 100000; } >"$long/capitals-spelled"
{ printf '\000'; repeat ' ' 100000; printf 'fim'; } >"$long/blanks"
{ printf '\000'; repeat '.' 100000; } >"$long/dots"
{ printf '\020'; repeat 'O menino comprou 23 casas em 1999. ' 2900; } >"$long/sentences"

# Language data: the rule sections whole, and a sample of the lexicon that
# keeps its order.
for step in 300 3000; do
    awk -v step="$step" '/^$|^\*/ { rules = 1 } rules || NR % step == 1' "$BUILD/bin/brport.lng" \
        >"$GENERATED/language/every-$step"
done

# Melodies, after a byte of options and one of mode: as text (with the
# CR LF line ends TTS_PlayMusic cuts text at), from a file, asynchronously.
for melody in data/melodies/*.pho; do
    name=$(basename "$melody" .pho)
    { printf '\000\000'; awk '{ printf "%s\r\n", $0 }' "$melody"; } >"$GENERATED/melody/$name"
    { printf '\020\001'; cat "$melody"; } >"$GENERATED/melody/$name-file"
    { printf '\000\002'; awk '{ printf "%s\r\n", $0 }' "$melody"; } >"$GENERATED/melody/$name-async"
done

# The longest input each target is given, and how long one may take. Under
# the sanitizers the slowest texts of 200 KB seen (a run of numbers, one long
# digit token) take under 10 s, on a machine shared with builds; a stage that
# grew with the square of a token's length would take minutes.
options_of() {
    case $1 in
        long_text) echo "-max_len=200000 -len_control=0 -timeout=30" ;;
        language) echo "-max_len=65536 -timeout=10" ;;
        *) echo "-max_len=4096 -timeout=10" ;;
    esac
}

count=0
for name in $TARGETS; do count=$((count + 1)); done
share=$((SECONDS_TO_RUN / count))
[ "$share" -ge 1 ] || share=1

mkdir -p "$BUILD/corpus" "$BUILD/findings" "$BUILD/logs"
summary="$BUILD/logs/summary.txt"
: >"$summary"
failed=0
for name in $TARGETS; do
    corpus="$BUILD/corpus/$name"
    mkdir -p "$corpus"
    seeds=""
    for dir in "tests/fuzz/seeds/$name" "$GENERATED/$name"; do
        if [ -d "$dir" ]; then seeds="$seeds $dir"; fi
    done
    log="$BUILD/logs/$name.log"
    echo "== fuzz $name for ${share}s (log: $log)"
    started=$(date +%s)
    # shellcheck disable=SC2046,SC2086 # one option, one folder a word
    if FALAVOZ_DATA="$PWD/$BUILD/bin" "$BUILD/bin/${name}_fuzz" "$corpus" $seeds \
        -max_total_time="$share" -rss_limit_mb=2048 $(options_of "$name") \
        -artifact_prefix="$BUILD/findings/$name-" -print_final_stats=1 >"$log" 2>&1; then
        result="ok"
    else
        artifact=$(sed -n 's/.*Test unit written to \(.*\)$/\1/p' "$log" | tail -n 1)
        result="FAILED: ${artifact:-see $log}"
        failed=1
        tail -n 40 "$log"
    fi
    seconds=$(($(date +%s) - started))
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    printf '%-10s %10s runs %6s s  %s\n' "$name" "${runs:-?}" "$seconds" "$result" >>"$summary"
done

echo "== fuzz summary (${SECONDS_TO_RUN}s in all)"
cat "$summary"
exit "$failed"
