#!/bin/sh
# Configures and builds Falavoz into build/ (programs in build/bin, libraries
# in build/lib). Extra arguments go to cmake's configure step.
set -eu
cd "$(dirname "$0")/.."
BUILD_DIR=${BUILD_DIR:-build}
cmake -S . -B "$BUILD_DIR" "$@" >/dev/null
cmake --build "$BUILD_DIR" -j"$(nproc)"
