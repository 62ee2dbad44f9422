#!/usr/bin/env bash
# Fuzzes every reader and the session harness: builds the clang tree build-fuzz and runs each
# harness (or only those named) for SECONDS (default 600) on its seed corpus, one process at a
# time, then prints the executions per harness. Inputs found to be
# interesting collect in build-fuzz/long/corpus/ and are reused by the next run; the seeds in
# tests/fuzz/corpus/ are never changed. Fails on any crash, hang, leak or sanitizer report; the
# input that caused it is kept in build-fuzz/<run>/findings/, the output in build-fuzz/<run>/*.log.
#   scripts/fuzz.sh [SECONDS [HARNESS...]]     e.g. scripts/fuzz.sh 3600 fuzz_nothing_lost
# With GRIDWRIGHT_FUZZ_FRESH=1 it starts from the seeds alone and works in build-fuzz/short/
# (scripts/test-fuzz.sh does), so a short run never disturbs a long one.
set -euo pipefail

SECONDS_EACH="${1:-600}"
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
HARNESSES=(fuzz_opponent_list fuzz_archive fuzz_pictures fuzz_load_all fuzz_nothing_lost)
if [[ $# -gt 1 ]]; then
    HARNESSES=("${@:2}")
fi
if [[ "${GRIDWRIGHT_FUZZ_FRESH:-0}" == 1 ]]; then
    WORK="$BUILD/short"
    rm -rf "$WORK"
else
    WORK="$BUILD/long"
fi

mkdir -p "$WORK/findings"
CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DGRIDWRIGHT_FUZZ=ON -DGRIDWRIGHT_TESTS=OFF >"$WORK/configure.log" 2>&1 ||
    { cat "$WORK/configure.log"; exit 1; }
cmake --build "$BUILD" -j"$(nproc)" --target "${HARNESSES[@]}" >"$WORK/build.log" 2>&1 ||
    { tail -n 60 "$WORK/build.log"; exit 1; }

export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
status=0
summary=()
for harness in "${HARNESSES[@]}"; do
    corpus="$WORK/corpus/$harness"
    mkdir -p "$corpus"
    cp -n "$ROOT/tests/fuzz/corpus/$harness/"* "$corpus/"
    log="$WORK/$harness.log"
    # The session harness reads one byte per choice: a few hundred make a long session.
    max_len=65536
    [[ "$harness" == fuzz_nothing_lost ]] && max_len=256
    if "$BUILD/tests/fuzz/$harness" "$corpus" -max_total_time="$SECONDS_EACH" -timeout=5 \
        -rss_limit_mb=2048 -max_len="$max_len" -print_final_stats=1 \
        -artifact_prefix="$WORK/findings/$harness-" >"$log" 2>&1; then
        result=ok
    else
        result="FAILED (see $log)"
        status=1
        grep -E -A1 'ERROR|broken:|written outside|changed|Timeout|leak' "$log" | head -n 6 >&2 || true
    fi
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    summary+=("$(printf '%-20s %10s executions %6s/s  corpus %4s  %s' "$harness" "${runs:-?}" \
        "${speed:-?}" "$(ls "$corpus" | wc -l)" "$result")")
done
printf '%s\n' "${summary[@]}"
failed=$(printf '%s\n' "${summary[@]}" | grep -c FAILED || true)
echo "$((${#HARNESSES[@]} - failed)) passed, $failed failed"
exit $status
