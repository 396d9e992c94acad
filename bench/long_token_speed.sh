#!/bin/sh
# How the time of `falavoz -x` grows with the length of one long token: a
# digit token of 15,000 and of 150,000 "1." pairs (30 and 300 KB), and lines
# of 3,000 and of 30,000 pauses "\P1", with blanks between them and without
# (12 and 120 KB; without blanks they make one word). Prints the median of a
# few runs of each and, for each pair, how many times longer the ten times
# longer text took. Fails when that is more than 15: every stage must stay
# linear in the length of a token.
#
#   sh bench/long_token_speed.sh
set -eu
cd "$(dirname "$0")/.."
. bench/common.sh
RUNS=${RUNS:-3}
FALAVOZ=${FALAVOZ:-build/bin/falavoz}
LIMIT=15

[ -x "$FALAVOZ" ] || { echo "build first: sh scripts/build.sh" >&2; exit 1; }

WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# repeat COUNT PIECE END: COUNT times PIECE, then END and a line end.
# (Through the environment: awk -v would read the backslashes as escapes.)
repeat() {
    COUNT=$1 PIECE=$2 END=$3 awk 'BEGIN {
        for (k = 0; k < ENVIRON["COUNT"]; k++) printf "%s", ENVIRON["PIECE"]
        print ENVIRON["END"]
    }'
}

repeat 15000 '1.' '0' >"$WORK/digits-short.txt"
repeat 150000 '1.' '0' >"$WORK/digits-long.txt"
repeat 3000 '\P1 ' '' >"$WORK/pauses-short.txt"
repeat 30000 '\P1 ' '' >"$WORK/pauses-long.txt"
repeat 3000 '\P1' '' >"$WORK/joined-short.txt"
repeat 30000 '\P1' '' >"$WORK/joined-long.txt"

status=0
# compare NAME: times the short and the long text of NAME, prints the ratio.
compare() {
    short=$(median_seconds "$FALAVOZ" -x -f "$WORK/$1-short.txt")
    long=$(median_seconds "$FALAVOZ" -x -f "$WORK/$1-long.txt")
    ratio=$(echo "$long / $short" | bc -l)
    printf '%-8s %6d / %7d bytes: %8.3f s / %8.3f s, ratio %6.2f (at most %d)\n' "$1" \
        "$(wc -c <"$WORK/$1-short.txt")" "$(wc -c <"$WORK/$1-long.txt")" "$short" "$long" "$ratio" "$LIMIT"
    if [ "$(echo "$ratio > $LIMIT" | bc -l)" = 1 ]; then status=1; fi
}

printf 'falavoz -x -f, median of %s runs\n' "$RUNS"
compare digits
compare pauses
compare joined
exit "$status"
