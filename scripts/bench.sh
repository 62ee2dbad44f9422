#!/usr/bin/env bash
# Measures the start-up load: builds a Release tree in build-bench, runs the benchmark (LoadAll on
# the small and the big demo folder against reading the same files once, and its growth from 250
# to 2000 cars), then the peak memory of one load of the big folder. Arguments go to the
# benchmark, e.g. --benchmark_filter=small. Not part of the tests.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$root/build-bench"

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target gw_load_all_bench gw_load_once gw_make_demo

"$build/bench/gw_load_all_bench" "$@"

demo="$(mktemp -d)"
trap 'rm -rf "$demo"' EXIT
"$build/tools/gw_make_demo" "$demo/big" --big
# The first run unpacks the archive and takes the backup; the second is the one measured.
"$build/bench/gw_load_once" "$demo/big" >/dev/null
echo
echo "One load of the big folder (2000 car files, 2000 opponents, 4000 pictures):"
if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$build/bench/gw_load_once" "$demo/big" 2>"$demo/time.txt"
    grep -E 'Maximum resident set size|Elapsed' "$demo/time.txt"
else
    "$build/bench/gw_load_once" "$demo/big"
fi
