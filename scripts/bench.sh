#!/usr/bin/env bash
# Measures the start-up load, natively and under Wine, each against a floor measured in the same
# run, and prints every ratio against its target. Not part of the tests.
#
#   bash scripts/bench.sh [BENCHMARK ARGS]
#
# Native (build-bench/): the load of the small folder and of 250 to 2000 cars against reading the
# same files once (Google Benchmark; arguments go to it, e.g. --benchmark_filter=small), its growth,
# and the peak memory of one load of the big folder.
# Windows under Wine (build-bench-win/, the build scripts/wine-env.sh chooses), whole processes
# timed from launch to exit, in rounds that take each command in turn:
#   - gridwright.exe from launch until both lists are filled (GRIDWRIGHT_EXIT_AFTER_LOAD makes it
#     close then) against a trivial dialog program started the same way, plus reading every file
#     of the folder once, on the small and the big demo folder;
#   - the core load alone (gw_load_once.exe) against reading every file once (gw_read_once.exe),
#     and its growth from 250 to 2000 cars.
# Growth is given as a ratio too: the cost of a car from 1000 to 2000 cars over its cost from 250
# to 500 (1 for a straight line; target 1.5).
# GRIDWRIGHT_BENCH_ROUNDS sets the rounds (default 3; medians are quoted). GRIDWRIGHT_BENCH_WINE=0
# skips the Wine side, GRIDWRIGHT_BENCH_NATIVE=0 the native benchmark. The Wine side keeps a Wine server running for WINEPREFIX while it measures
# (so that no run pays for starting one) and, when it started that server, ends it afterwards: do
# not start another Wine program in the same prefix while it runs. Without a display it runs itself under xvfb-run.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${GRIDWRIGHT_BENCH_ROUNDS:-3}"
with_wine="${GRIDWRIGHT_BENCH_WINE:-1}"

if [ "$with_wine" != 0 ] && [ -z "${DISPLAY:-}" ]; then
    exec xvfb-run -a bash "$0" "$@"
fi

build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target gw_load_all_bench gw_load_once gw_make_demo

demo="$(mktemp -d)"
results="$demo/results.txt"
wineserver=""
cleanup() {
    if [ -n "$wineserver" ]; then "$wineserver" -k 2>/dev/null || true; fi
    rm -rf "$demo"
}
trap cleanup EXIT

if [ "${GRIDWRIGHT_BENCH_NATIVE:-1}" != 0 ]; then
    "$build/bench/gw_load_all_bench" "$@" | tee "$demo/native.txt"
else
    : >"$demo/native.txt"
fi

for size in small big 250 500 1000; do
    case "$size" in
    small) "$build/tools/gw_make_demo" "$demo/$size" ;;
    big) "$build/tools/gw_make_demo" "$demo/$size" --big ;;
    *) "$build/tools/gw_make_demo" "$demo/$size" --cars "$size" ;;
    esac
    # The first run unpacks the archive and takes the backup; the later ones are measured.
    "$build/bench/gw_load_once" "$demo/$size" >/dev/null
done

echo
echo "One load of the big folder (2000 car files, 2000 opponents, 4000 pictures):"
if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$build/bench/gw_load_once" "$demo/big" 2>"$demo/time.txt"
    grep -E 'Maximum resident set size|Elapsed' "$demo/time.txt"
else
    "$build/bench/gw_load_once" "$demo/big"
fi

# "name ratio target" lines for the closing table.
native_ratio="$(awk '/LoadAll against reading/ {on = 1} on && $1 == "cars:2000" {print $NF; exit}' \
    "$demo/native.txt")"
echo "native-load ${native_ratio:-?} 1.5" >>"$results"
# Linear growth: the cost of a car between 1000 and 2000 cars over its cost between 250 and 500
# (1 when the load grows in a straight line).
growth_ratio() {
    awk -v a="$1" -v b="$2" -v c="$3" -v d="$4" \
        'BEGIN {if (b > a && d > c) printf "%.3f", ((d - c) / 1000) / ((b - a) / 250); else print "?"}'
}
native_growth="$(awk '/LoadAll against reading/ {on = 1} on && $1 ~ /^cars:/ && $2 == "LoadAll" {t[$1] = $3}
    END {print t["cars:250"], t["cars:500"], t["cars:1000"], t["cars:2000"]}' "$demo/native.txt")"
# shellcheck disable=SC2086 # four numbers
if [ -n "${native_growth// /}" ]; then
    echo "native-growth $(growth_ratio $native_growth) 1.5" >>"$results"
fi

# Milliseconds of one run of a command in a folder, its output thrown away; fails with it.
run_ms() {
    local folder="$1" start end
    shift
    start="$(date +%s%N)"
    if ! (cd "$folder" && "$@" >/dev/null 2>&1); then
        echo "bench.sh: failed in $folder: $*" >&2
        return 1
    fi
    end="$(date +%s%N)"
    echo $(((end - start) / 1000000))
}

median() {
    sort -g | awk '{a[NR] = $1} END {print a[int((NR + 1) / 2)]}'
}

# measure NAME TARGET FOLDER 'COMMAND' 'FLOOR COMMAND'...: in each round the command and then
# every floor command once; the ratio of a round is the command's time over the floors' sum.
measure() {
    local name="$1" target="$2" folder="$3" command="$4"
    shift 4
    local -a floors=("$@")
    local round t floor floor_sum ratios="" times="" sums=""
    # A warm-up round: the files in the page cache and the programs loaded once.
    run_ms "$folder" $command >/dev/null
    for floor in "${floors[@]}"; do run_ms "$folder" $floor >/dev/null; done
    for ((round = 0; round < rounds; ++round)); do
        t="$(run_ms "$folder" $command)"
        floor_sum=0
        for floor in "${floors[@]}"; do
            floor_sum=$((floor_sum + $(run_ms "$folder" $floor)))
        done
        times+="$t"$'\n'
        sums+="$floor_sum"$'\n'
        ratios+="$(awk -v a="$t" -v b="$floor_sum" 'BEGIN {printf "%.3f", a / b}')"$'\n'
    done
    local t_median sum_median ratio_median
    t_median="$(printf '%s' "$times" | median)"
    sum_median="$(printf '%s' "$sums" | median)"
    ratio_median="$(printf '%s' "$ratios" | median)"
    printf '  %-26s %8d ms  floor %8d ms  ratio %5.2f  (target %s)\n' "$name" "$t_median" \
        "$sum_median" "$ratio_median" "$target"
    echo "$name $ratio_median $target" >>"$results"
}

if [ "$with_wine" != 0 ]; then
    export WINEPREFIX="${WINEPREFIX:-}"
    [ -n "$WINEPREFIX" ] || unset WINEPREFIX
    # shellcheck source=wine-env.sh
    source "$root/scripts/wine-env.sh"
    wine_build="$root/build-bench-win"
    cmake -S "$root" -B "$wine_build" -G Ninja --toolchain "$root/cmake/mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF >/dev/null
    cmake --build "$wine_build" -j"$(nproc)" \
        --target gridwright gw_load_once gw_read_once gw_trivial_dialog
    wineserver="$(dirname "$GRIDWRIGHT_WINE")/wineserver"
    [ -x "$wineserver" ] || wineserver=wineserver
    # Ended afterwards only when this run started it.
    "$wineserver" -p || wineserver=""
    for size in small big 250 500 1000; do
        cp "$wine_build/app/gridwright.exe" "$wine_build/bench/gw_load_once.exe" \
            "$wine_build/bench/gw_read_once.exe" "$wine_build/bench/gw_trivial_dialog.exe" \
            "$demo/$size/"
    done
    wine="$GRIDWRIGHT_WINE"
    export GRIDWRIGHT_EXIT_AFTER_LOAD=1

    echo
    echo "Under Wine ($GRIDWRIGHT_WIN_ARCH build, $("$wine" --version)), median of $rounds rounds:"
    measure wine-start-small 1.1 "$demo/small" "$wine gridwright.exe" "$wine gw_trivial_dialog.exe"
    measure wine-start-big 1.5 "$demo/big" "$wine gridwright.exe" "$wine gw_trivial_dialog.exe" \
        "$wine gw_read_once.exe ."
    measure wine-load-big 1.5 "$demo/big" "$wine gw_load_once.exe ." "$wine gw_read_once.exe ."

    echo "Growth of the core load under Wine (whole process; the step per car between sizes):"
    declare -A load_ms
    for size in 250 500 1000 big; do
        times=""
        run_ms "$demo/$size" "$wine" gw_load_once.exe . >/dev/null
        for ((round = 0; round < rounds; ++round)); do
            times+="$(run_ms "$demo/$size" "$wine" gw_load_once.exe .)"$'\n'
        done
        load_ms[$size]="$(printf '%s' "$times" | median)"
    done
    previous=""
    for size in 250 500 1000 big; do
        cars="$size"
        [ "$size" = big ] && cars=2000
        step=""
        if [ -n "$previous" ]; then
            step="$(awk -v a="${load_ms[$size]}" -v b="${load_ms[$previous]}" -v n="$cars" \
                -v m="$previous_cars" 'BEGIN {printf "%7.1f us a car from %d", \
                1000 * (a - b) / (2 * (n - m)), m}')"
        fi
        printf '  cars:%-5d %8d ms  x%.2f of 250  %s\n' "$cars" "${load_ms[$size]}" \
            "$(awk -v a="${load_ms[$size]}" -v b="${load_ms[250]}" 'BEGIN {print a / b}')" "$step"
        previous="$size"
        previous_cars="$cars"
    done
    echo "wine-growth $(growth_ratio "${load_ms[250]}" "${load_ms[500]}" "${load_ms[1000]}" \
        "${load_ms[big]}") 1.5" >>"$results"
fi

echo
echo "Ratios against their targets:"
while read -r name ratio target; do
    verdict="$(awk -v r="$ratio" -v t="$target" 'BEGIN {print (r != "?" && r <= t) ? "met" : "MISSED"}')"
    printf '  %-18s %6s  target %4s  %s\n' "$name" "$ratio" "$target" "$verdict"
done <"$results"
