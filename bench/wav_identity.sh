#!/bin/sh
# Checks that this build renders exactly what another build renders: the
# whole-text WAV and every file of --pieces, with the default settings and
# with the 8 kHz voice, slow and fast speech, high pitch, a lower volume and
# 8-bit samples; and the sung example melodies (through ALSA's file device).
# Prints one line per comparison and fails when any differs.
#
#   sh bench/wav_identity.sh REFERENCE_FALAVOZ [TEXT_FILE] [CHARACTERS]
#
# REFERENCE_FALAVOZ is the falavoz program of the other build (a build of
# the commit before a change, say); TEXT_FILE and CHARACTERS default to the
# text of bench/wav_speed.sh.
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
REFERENCE=${1:?usage: sh bench/wav_identity.sh REFERENCE_FALAVOZ [TEXT_FILE] [CHARACTERS]}
TEXT=${2:-../shared/data/dom_casmurro.txt}
CHARS=${3:-60000}
FALAVOZ=${FALAVOZ:-build/bin/falavoz}

[ -x "$FALAVOZ" ] || { echo "build first: sh scripts/build.sh" >&2; exit 1; }
[ -x "$REFERENCE" ] || { echo "no program at $REFERENCE" >&2; exit 1; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
text_sample "$TEXT" "$CHARS" >"$WORK/text.txt"

differences=0
# verdict WHAT CURRENT REFERENCE: compares two files.
verdict() {
    if cmp -s "$2" "$3"; then
        printf 'same       %s (%s bytes)\n' "$1" "$(stat -c %s "$2")"
    else
        printf 'DIFFERENT  %s\n' "$1"
        differences=$((differences + 1))
    fi
}

for options in "" "--8k" "-s 3" "-s 18 -p 15" "-a 10" "--bits 8"; do
    label="text${options:+ $options}"
    mkdir "$WORK/current" "$WORK/reference"
    # shellcheck disable=SC2086 # the options are words
    "$FALAVOZ" $options -w "$WORK/current/whole.wav" -f "$WORK/text.txt" 2>/dev/null
    # shellcheck disable=SC2086
    "$REFERENCE" $options -w "$WORK/reference/whole.wav" -f "$WORK/text.txt" 2>/dev/null
    verdict "$label, whole WAV" "$WORK/current/whole.wav" "$WORK/reference/whole.wav"
    rm "$WORK/current/whole.wav" "$WORK/reference/whole.wav"

    # shellcheck disable=SC2086
    "$FALAVOZ" $options --pieces -w "$WORK/current/p.wav" -f "$WORK/text.txt" 2>/dev/null
    # shellcheck disable=SC2086
    "$REFERENCE" $options --pieces -w "$WORK/reference/p.wav" -f "$WORK/text.txt" 2>/dev/null
    if [ "$(ls "$WORK/current")" = "$(ls "$WORK/reference")" ]; then
        pieces=$(ls "$WORK/current" | wc -l)
        different=0
        for piece in $(ls "$WORK/current"); do
            cmp -s "$WORK/current/$piece" "$WORK/reference/$piece" || different=$((different + 1))
        done
        if [ "$different" = 0 ]; then
            printf 'same       %s, --pieces (%s files)\n' "$label" "$pieces"
        else
            printf 'DIFFERENT  %s, --pieces (%s of %s files)\n' "$label" "$different" "$pieces"
            differences=$((differences + 1))
        fi
    else
        printf 'DIFFERENT  %s, --pieces (other files: %s against %s)\n' "$label" \
            "$(ls "$WORK/current" | wc -l)" "$(ls "$WORK/reference" | wc -l)"
        differences=$((differences + 1))
    fi
    rm -r "$WORK/current" "$WORK/reference"
done

# ALSA's file device, appending every buffer to the file (by itself it
# starts the file again with each one).
appending_device() { echo "file:FILE=\"|cat >>$1\",FORMAT=raw"; }

for melody in data/melodies/*.pho; do
    FALAVOZ_ALSA_DEVICE=$(appending_device "$WORK/current.raw") "$FALAVOZ" --sing "$melody" 2>/dev/null
    FALAVOZ_ALSA_DEVICE=$(appending_device "$WORK/reference.raw") "$REFERENCE" --sing "$melody" 2>/dev/null
    verdict "melody $(basename "$melody"), sung" "$WORK/current.raw" "$WORK/reference.raw"
    rm "$WORK/current.raw" "$WORK/reference.raw"
done

[ "$differences" = 0 ] && echo "all identical" || echo "$differences comparisons differ"
[ "$differences" = 0 ]
