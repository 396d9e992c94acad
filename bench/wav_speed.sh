#!/bin/sh
# Renders the same long Portuguese text to WAV with falavoz and with
# espeak-ng on the same MBROLA voice (br1), and prints the ratio of the
# median wall times of a few runs of each, taken in one session.
#
#   sh bench/wav_speed.sh [TEXT_FILE] [CHARACTERS]
#
# TEXT_FILE defaults to the public-domain novel Dom Casmurro from the shared
# reference data; CHARACTERS (default 60000) limits how much of it is read.
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
TEXT=${1:-../shared/data/dom_casmurro.txt}
CHARS=${2:-60000}
RUNS=${RUNS:-3}
FALAVOZ=${FALAVOZ:-build/bin/falavoz}

require_programs

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
text_sample "$TEXT" "$CHARS" >"$WORK/text.txt"

# Median wall time in seconds of RUNS runs of the command.
audio_seconds() {
    # data bytes / (rate * bytes per sample), from the WAV header
    size=$(stat -c %s "$1")
    echo "($size - 44) / 32000" | bc -l
}

falavoz_time=$(median_seconds "$FALAVOZ" -w "$WORK/falavoz.wav" -f "$WORK/text.txt")
espeak_time=$(median_seconds espeak-ng -v mb-br1 -w "$WORK/espeak.wav" -f "$WORK/text.txt")

printf 'text: %s characters of %s, %s runs each\n' "$(wc -c <"$WORK/text.txt")" "$TEXT" "$RUNS"
printf 'falavoz   -w: %8.2f s wall (median), %8.1f s of audio\n' "$falavoz_time" "$(audio_seconds "$WORK/falavoz.wav")"
printf 'espeak-ng -w: %8.2f s wall (median), %8.1f s of audio\n' "$espeak_time" "$(audio_seconds "$WORK/espeak.wav")"
printf 'ratio falavoz/espeak-ng wall time: %.3f\n' "$(echo "$falavoz_time / $espeak_time" | bc -l)"
