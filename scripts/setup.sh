#!/usr/bin/env bash
# Installs what building and testing need on Debian 12, and any packages named as arguments, and
# prepares a Wine prefix. Only missing packages are installed, so a second run takes a moment.
set -euo pipefail

export DEBIAN_FRONTEND=noninteractive

sudo_cmd=()
if [ "$(id -u)" -ne 0 ]; then
    sudo_cmd=(sudo)
fi

packages=(
    cmake ninja-build g++ libgtest-dev libbenchmark-dev googletest # native build and tests
    g++-mingw-w64-i686 binutils-mingw-w64-i686                     # 32-bit Windows cross build
    g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64                 # 64-bit, where 32-bit can't run
    wine wine32:i386 wine64 xvfb xdotool x11-utils imagemagick     # running it under Wine
    fonts-wine                                                     # Wine's Marlett and Tahoma
    clang libclang-rt-14-dev clang-format                          # fuzzing and formatting
    "$@"                                                           # what a caller adds (bench.sh: openbox)
)

is_installed() {
    dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'
}

missing=()
for package in "${packages[@]}"; do
    is_installed "$package" || missing+=("$package")
done

if [ ${#missing[@]} -gt 0 ]; then
    echo "setup: installing ${missing[*]}"
    # The 32-bit Wine comes from the i386 architecture.
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo_cmd[@]}" dpkg --add-architecture i386
    fi
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -q
    "${sudo_cmd[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y -q "${missing[@]}" </dev/null
fi

# A fresh prefix otherwise asks to install Mono and Gecko and makes the first test wait for wineboot.
# The program is 32-bit, so a 32-bit prefix serves and boots faster; see wine-env.sh for machines
# that run no 32-bit code.
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "setup: preparing the $WINEARCH Wine prefix $WINEPREFIX"
    timeout 300 "$GRIDWRIGHT_WINE" wineboot -i </dev/null
    timeout 120 wineserver -w
fi

# This Wine does not load the fonts of fonts-wine by itself: without Marlett the caption buttons
# draw as letters, and the dialogs' Tahoma falls back to another face with other sizes. The
# prefix gets its own copies.
fonts="$WINEPREFIX/drive_c/windows/Fonts"
if [ -d /usr/share/wine/fonts ] && [ -d "$fonts" ]; then
    for font in /usr/share/wine/fonts/*.ttf; do
        [ -f "$fonts/$(basename "$font")" ] || cp "$font" "$fonts/"
    done
fi

echo "setup: ready"
