#!/bin/sh
# Renders the same long Portuguese text to WAV with falavoz and with
# espeak-ng on the same MBROLA voice (br1), the two alternating in pairs in
# one session. Prints for each the median wall time, the wall time per second
# of audio it wrote (falavoz speaks more slowly, so its text lasts longer),
# and its peak resident memory; then the median of the pairs' ratios of wall
# time, falavoz to espeak-ng. On a machine shared with other work single
# times are noisy; the paired ratio is the figure to compare.
#
#   sh bench/wav_speed.sh [TEXT_FILE] [CHARACTERS]
#
# TEXT_FILE defaults to the public-domain novel Dom Casmurro from the shared
# reference data; CHARACTERS (default 60000) limits how much of it is read;
# PAIRS (default 10) sets the number of pairs.
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
TEXT=${1:-../shared/data/dom_casmurro.txt}
CHARS=${2:-60000}
PAIRS=${PAIRS:-10}
FALAVOZ=${FALAVOZ:-build/bin/falavoz}

require_programs
[ -x /usr/bin/time ] || { echo "GNU time is missing: sh scripts/setup.sh" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
text_sample "$TEXT" "$CHARS" >"$WORK/text.txt"

# measure NAME COMMAND...: appends the wall time in seconds to NAME.wall and
# the peak resident memory in kB to NAME.rss.
measure() {
    name=$1
    shift
    start=$(date +%s.%N)
    /usr/bin/time -f %M -o "$WORK/rss" "$@" >/dev/null 2>&1
    end=$(date +%s.%N)
    echo "$end - $start" | bc -l >>"$WORK/$name.wall"
    cat "$WORK/rss" >>"$WORK/$name.rss"
}

# Seconds of audio in a WAV file: its data bytes over the bytes per second
# of its header.
audio_seconds() {
    bytes_per_second=$(od -An -tu4 -j28 -N4 "$1" | tr -d ' ')
    echo "($(stat -c %s "$1") - 44) / $bytes_per_second" | bc -l
}

median() { sort -n "$1" | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'; }

for pair in $(seq "$PAIRS"); do
    measure falavoz "$FALAVOZ" -w "$WORK/falavoz.wav" -f "$WORK/text.txt"
    measure espeak espeak-ng -v mb-br1 -w "$WORK/espeak.wav" -f "$WORK/text.txt"
done
paste "$WORK/falavoz.wall" "$WORK/espeak.wall" | awk '{ print $1 / $2 }' >"$WORK/ratio"

report() {
    wall=$(median "$WORK/$2.wall")
    audio=$(audio_seconds "$WORK/$2.wav")
    printf '%-13s %7.2f s wall (median), %7.1f s of audio, %6.2f ms per second of audio, peak RSS %6d kB\n' \
        "$1" "$wall" "$audio" "$(echo "1000 * $wall / $audio" | bc -l)" "$(median "$WORK/$2.rss")"
}

printf 'text: %s characters of %s, %s pairs, %s processors\n' "$(wc -c <"$WORK/text.txt")" "$TEXT" "$PAIRS" \
    "$(getconf _NPROCESSORS_ONLN)"
report 'falavoz -w' falavoz
report 'espeak-ng -w' espeak
printf 'pair ratios falavoz/espeak-ng: %s\n' "$(sort -n "$WORK/ratio" | awk '{ printf "%.3f ", $1 }')"
printf 'median paired ratio falavoz/espeak-ng wall time: %.3f\n' "$(median "$WORK/ratio")"
