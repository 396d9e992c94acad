#!/bin/sh
# Checks that the C++ sources and headers of the engine, the programs, the
# reader, the tests and the benchmarks are laid out as .clang-format says,
# and names those that are not. With --fix, formats them in place instead.
# Build folders are never looked at: only files under version control are.
set -eu
cd "$(dirname "$0")/.."

if command -v clang-format-14 >/dev/null 2>&1; then
    CLANG_FORMAT=${CLANG_FORMAT:-clang-format-14}
else
    CLANG_FORMAT=${CLANG_FORMAT:-clang-format}
fi

files=$(git ls-files -- \
    'engine/*.cpp' 'engine/*.h' 'fvdsp/*.cpp' 'fvdsp/*.h' 'cli/*.cpp' 'cli/*.h' \
    'host/*.cpp' 'host/*.h' 'speechd/*.cpp' 'speechd/*.h' 'reader/*.cpp' 'reader/*.h' 'tests/*.cpp' 'tests/*.h' \
    'bench/*.cpp' 'bench/*.h')

if [ "${1:-}" = "--fix" ]; then
    # shellcheck disable=SC2086 # one file name a word
    "$CLANG_FORMAT" -i $files
    exit 0
fi

# One run over every file; each line a violation, "file:line:column: error: ...".
# shellcheck disable=SC2086 # one file name a word
flagged=$("$CLANG_FORMAT" --dry-run --Werror $files 2>&1 | sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' | sort -u)
total=$(echo "$files" | wc -w)
if [ -n "$flagged" ]; then
    echo "$flagged" | sed 's/^/not formatted: /'
    echo "$(echo "$flagged" | wc -l) of $total files differ from .clang-format ($("$CLANG_FORMAT" --version));" \
        "sh scripts/check_format.sh --fix formats them" >&2
    exit 1
fi
echo "all $total C++ files formatted"
