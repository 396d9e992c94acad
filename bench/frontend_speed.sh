#!/bin/sh
# The text front end's throughput: characters per second turned into phones
# by `falavoz -x` (the engine's RVCall, line by line) next to
# `espeak-ng -v pt-br -q -x` on the same text, in one session. Prints the
# median of a few runs of each and their ratio.
#
#   sh bench/frontend_speed.sh [TEXT_FILE] [CHARACTERS]
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
TEXT=${1:-../shared/data/dom_casmurro.txt}
CHARS=${2:-200000}
RUNS=${RUNS:-5}
FALAVOZ=${FALAVOZ:-build/bin/falavoz}

require_programs

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
text_sample "$TEXT" "$CHARS" >"$WORK/text.txt"
characters=$(wc -m <"$WORK/text.txt")

falavoz_time=$(median_seconds "$FALAVOZ" -x -f "$WORK/text.txt")
espeak_time=$(median_seconds espeak-ng -v pt-br -q -x -f "$WORK/text.txt")

printf 'text: %s characters of %s, median of %s runs\n' "$characters" "$TEXT" "$RUNS"
printf 'falavoz -x:           %8.3f s  %10.0f characters/s\n' "$falavoz_time" "$(echo "$characters / $falavoz_time" | bc -l)"
printf 'espeak-ng -q -x:      %8.3f s  %10.0f characters/s\n' "$espeak_time" "$(echo "$characters / $espeak_time" | bc -l)"
printf 'throughput ratio falavoz/espeak-ng: %.2f\n' "$(echo "$espeak_time / $falavoz_time" | bc -l)"
