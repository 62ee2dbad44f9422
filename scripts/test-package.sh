#!/usr/bin/env bash
# Test stage: makes the release package and checks that it holds exactly gridwright.exe, README.txt,
# LICENSE and CHANGELOG.md, and that its gridwright.exe is the one just built, byte for byte.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

build="${GRIDWRIGHT_PACKAGE_BUILD:-build-win32}"
log="$(mktemp)"
unpacked="$(mktemp -d)"
trap 'rm -rf "$log" "$unpacked"' EXIT
bash scripts/package.sh | tee "$log"
zip="$(tail -n 1 "$log")"

passed=0
failed=0
check() {
    local what="$1"
    shift
    if "$@"; then
        passed=$((passed + 1))
    else
        echo "package: FAILED: $what"
        failed=$((failed + 1))
    fi
}

listing="$(cmake -E tar tf "$zip" | LC_ALL=C sort)"
expected="$(printf '%s\n' CHANGELOG.md LICENSE README.txt gridwright.exe)"
check "the package holds $(echo $expected)" test "$listing" = "$expected"

(cd "$unpacked" && cmake -E tar xf "$zip")
check "its gridwright.exe is $build/app/gridwright.exe" cmp "$unpacked/gridwright.exe" "$build/app/gridwright.exe"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
