#!/usr/bin/env bash
# Makes the release package dist/gridwright-VERSION.zip: the 32-bit gridwright.exe, README.txt for
# players, LICENSE and CHANGELOG.md. VERSION is project(VERSION) in CMakeLists.txt.
#
#   scripts/package.sh
#
# The program is built in a Release tree of its own, build-win32 (GRIDWRIGHT_PACKAGE_BUILD names
# another), as 32-bit whatever this machine's tests run; it needs what scripts/setup.sh installs.
# The last line printed is the package's path.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"

build="${GRIDWRIGHT_PACKAGE_BUILD:-build-win32}"
log() { echo "package: $*"; }

log "building the 32-bit gridwright.exe in $build"
GRIDWRIGHT_WIN_ARCH=i686 cmake -S . -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw.cmake \
    -DGRIDWRIGHT_WIN_ARCH=i686 -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF >/dev/null
cmake --build "$build" --target gridwright
exe="$build/app/gridwright.exe"

# A player's Windows may run 32-bit programs only: refuse any other machine type than i386.
pe_offset=$(od -An -t u4 -j 60 -N 4 "$exe" | tr -d ' ')
machine=$(od -An -t x2 -j $((pe_offset + 4)) -N 2 "$exe" | tr -d ' ')
if [ "$machine" != 014c ]; then
    log "$exe is not a 32-bit program (machine type $machine)" >&2
    exit 1
fi

version="$(sed -nE 's/^#define GRIDWRIGHT_VERSION "([^"]+)"$/\1/p' "$build/generated/app/Version.h")"
if [ -z "$version" ]; then
    log "no version in $build/generated/app/Version.h" >&2
    exit 1
fi

stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
cp "$exe" LICENSE CHANGELOG.md "$stage/"
# Windows line ends, for every editor a player may open it with.
sed 's/$/\r/' package/README.txt >"$stage/README.txt"

mkdir -p dist
zip="dist/gridwright-$version.zip"
rm -f "$zip"
(cd "$stage" && cmake -E tar cf "$root/$zip" --format=zip gridwright.exe README.txt LICENSE CHANGELOG.md)
log "made $zip"
echo "$root/$zip"
