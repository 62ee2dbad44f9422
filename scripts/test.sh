#!/usr/bin/env bash
# The test command: installs what is missing, builds both trees, runs every test and every later
# stage, and closes with one line "N passed, N failed" over all of them. Exits non-zero when
# anything failed. A failing stage does not stop the ones after it.
#
# Later stages: every scripts/test-*.sh runs here in name order (today test-fuzz.sh, the short
# fuzzing run, and test-package.sh, the release package), from the repository root, with the
# variables exported below. A stage may print its own count as a last line "N passed, N failed";
# otherwise it counts as one test passed or failed by its exit code.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$(pwd)"

bash scripts/setup.sh

export GRIDWRIGHT_ROOT="$root"
export GRIDWRIGHT_BUILD_NATIVE="$root/build"
export GRIDWRIGHT_BUILD_WIN="$root/build-win"
export WINEDEBUG=-all
source scripts/wine-env.sh
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1}"

logs="$(mktemp -d)"
trap 'rm -rf "$logs"' EXIT

total_passed=0
total_failed=0
summary=()

# Runs one stage, shows its output and adds its count to the totals. The count is taken from a
# ctest summary or a plain "N passed, N failed" line, the last one it printed; a stage that printed
# neither counts as one test.
run_stage() {
    local name="$1"
    shift
    local log="$logs/stage.log" status start elapsed passed failed line
    echo
    echo "=== $name"
    start=$SECONDS
    set +e
    "$@" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    set -e
    elapsed=$((SECONDS - start))

    passed=""
    failed=""
    line="$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1 || true)"
    if [ -n "$line" ]; then
        failed="$(sed -E 's/.*tests passed, ([0-9]+) tests failed out of [0-9]+.*/\1/' <<<"$line")"
        passed=$(($(sed -E 's/.*out of ([0-9]+).*/\1/' <<<"$line") - failed))
    else
        line="$(grep -E '^([A-Za-z]+: )?[0-9]+ passed, [0-9]+ failed' "$log" | tail -n 1 || true)"
        if [ -n "$line" ]; then
            passed="$(sed -E 's/^([A-Za-z]+: )?([0-9]+) passed.*/\2/' <<<"$line")"
            failed="$(sed -E 's/.* ([0-9]+) failed.*/\1/' <<<"$line")"
        fi
    fi
    if [ -z "$passed" ]; then
        if [ "$status" -eq 0 ]; then passed=1; failed=0; else passed=0; failed=1; fi
    elif [ "$status" -ne 0 ] && [ "$failed" -eq 0 ]; then
        failed=1 # failed without saying what
    fi

    total_passed=$((total_passed + passed))
    total_failed=$((total_failed + failed))
    summary+=("$(printf '%-32s %s  (%d passed, %d failed, %ds)' "$name" \
        "$([ "$status" -eq 0 ] && echo ok || echo FAILED)" "$passed" "$failed" "$elapsed")")
}

# A build is not a test: it adds to the count only when it fails. Ninja keeps going past a failing
# file so the tests that did build still run.
build_tree() {
    local preset="$1" status
    set +e
    cmake --preset "$preset" && cmake --build --preset "$preset" -- -k 0
    status=$?
    set -e
    return $status
}

build_stage() {
    local name="$1" preset="$2" start
    echo
    echo "=== $name"
    start=$SECONDS
    if build_tree "$preset"; then
        summary+=("$(printf '%-32s ok  (%ds)' "$name" $((SECONDS - start)))")
    else
        total_failed=$((total_failed + 1))
        summary+=("$(printf '%-32s FAILED  (%ds)' "$name" $((SECONDS - start)))")
    fi
}

run_ctest() {
    local dir="$1"
    [ -f "$dir/CTestTestfile.cmake" ] || {
        echo "no test tree in $dir: its configure failed"
        return 1
    }
    ctest --test-dir "$dir" --output-on-failure -j2 --no-tests=error
}

# The Windows tests draw real windows, so they run on a virtual X display of their own.
run_ctest_on_display() {
    xvfb-run -a -s "-screen 0 1280x1024x24" bash -c "$(declare -f run_ctest wine_session); wine_session $1"
}

# Wine's background services and its desktop inherit the output of the program that started the
# session and hold it open while the session lasts, which would keep ctest waiting on that test. So
# the session is started here, away from ctest's pipes, and kept for the run; it is let end before
# the display goes, so a later stage starts a session of its own.
wine_session() {
    local status
    wineserver -p5 2>/dev/null || true
    "$GRIDWRIGHT_WINE" cmd /c exit </dev/null >/dev/null 2>&1 || true
    "$GRIDWRIGHT_WINE" rundll32.exe user32.dll,GetDesktopWindow </dev/null >/dev/null 2>&1 || true
    run_ctest "$1" && status=0 || status=$?
    timeout 60 wineserver -w 2>/dev/null || true
    return $status
}

# --- Native core under AddressSanitizer and UBSan
build_stage "native build" native
run_stage "native tests" run_ctest build

# --- Windows build (32-bit, or 64-bit where 32-bit can't run), its tests and the GUI tests under
# Wine on a virtual display
build_stage "windows build" windows
run_stage "windows tests (Wine)" run_ctest_on_display build-win

# --- Later stages: scripts/test-*.sh
shopt -s nullglob
for stage in scripts/test-*.sh; do
    run_stage "$(basename "$stage" .sh)" bash "$stage"
done
shopt -u nullglob

echo
echo "=== Summary"
printf '%s\n' "${summary[@]}"
echo
echo "$total_passed passed, $total_failed failed"
[ "$total_failed" -eq 0 ] && [ "$total_passed" -gt 0 ]
