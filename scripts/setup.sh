#!/bin/sh
# Installs everything Falavoz needs on a Debian 12 machine. Safe to run again.
set -eu

if [ "$(id -u)" -ne 0 ]; then
    SUDO=sudo
else
    SUDO=
fi

# MBROLA lives in contrib and its voices in non-free.
add_components() {
    changed=0
    for f in /etc/apt/sources.list.d/debian.sources; do
        [ -f "$f" ] || continue
        if grep -q '^Components:' "$f" && ! grep -q '^Components:.*non-free' "$f"; then
            $SUDO sed -i 's/^Components: main$/Components: main contrib non-free non-free-firmware/' "$f"
            changed=1
        fi
    done
    if [ -f /etc/apt/sources.list ] && grep -q '^deb .* main' /etc/apt/sources.list \
        && ! grep -q '^deb .* main.*non-free' /etc/apt/sources.list; then
        $SUDO sed -i '/^deb / s/ main$/ main contrib non-free non-free-firmware/' /etc/apt/sources.list
        changed=1
    fi
    return 0
}

add_components
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update -qq
# MinGW-w64 builds the Windows engine (32-bit, and 64-bit for its tests);
# Wine runs them. 64-bit Wine only: these machines cannot run 32-bit programs.
$SUDO apt-get install -y -qq --no-install-recommends \
    build-essential cmake pkg-config git \
    googletest libgtest-dev libgmock-dev \
    clang clang-format libclang-rt-14-dev \
    mbrola mbrola-br1 \
    libasound2-dev alsa-utils libsoxr-dev \
    espeak-ng sox bc hyperfine time python3 \
    speech-dispatcher python3-speechd \
    qt6-base-dev libqt6svg6 libxcb1-dev x11proto-dev fonts-dejavu-core \
    xvfb xauth trayer xdotool xsel imagemagick \
    dpkg-dev binutils man-db groff-base \
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix wine wine64 >/dev/null
echo "setup: pacotes instalados"
