# Shared by the benchmark scripts (sourced, not run).

# Median wall time in seconds of $RUNS runs of the command.
median_seconds() {
    for run in $(seq "$RUNS"); do
        start=$(date +%s.%N)
        "$@" >/dev/null 2>&1
        end=$(date +%s.%N)
        echo "$end - $start" | bc -l
    done | sort -n | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}

# The first CHARS characters of a UTF-8 text, cut on a character boundary.
text_sample() {
    head -c "$2" "$1" | iconv -f UTF-8 -t UTF-8 -c
}

# Stops with a hint when falavoz ($FALAVOZ), espeak-ng or the text ($TEXT)
# is not there.
require_programs() {
    [ -x "$FALAVOZ" ] || { echo "build first: sh scripts/build.sh" >&2; exit 1; }
    command -v espeak-ng >/dev/null || { echo "espeak-ng is missing: sh scripts/setup.sh" >&2; exit 1; }
    [ -r "$TEXT" ] || { echo "cannot read $TEXT" >&2; exit 1; }
}
