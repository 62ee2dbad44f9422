#!/usr/bin/env bash
# Measures start-up as a player waits for it, natively and under Wine, each figure against a floor
# measured in the same run, and prints every figure against its target. Not part of the tests.
#
#   bash scripts/bench.sh [BENCHMARK ARGS]
#
# Figures (the closing table; a figure meets its target when it is at most the target):
#   wine-idle-big      Under Wine with a window manager on the display, the big demo folder (2000
#                      car files, 2000 opponents, their pictures): from launch until the dialog is
#                      shown with both lists filled, everything painted and the program waiting for
#                      input, over a trivial dialog program started and watched the same way plus
#                      reading every file of the folder once (gw_read_once's own reading time).
#                      Target 1.0.
#   wine-idle-small    The same on the small demo folder, over the trivial dialog alone. Target 1.05.
#   wine-pictures-big  On the big folder, a car selected in each list: from choosing Show Pictures
#                      until both pictures are painted and the program waits for input, in ms.
#                      Target 200.
#   wine-load-big      The core load alone (gw_load_once.exe, whole process) over reading every file
#                      once (gw_read_once.exe, whole process). Target 1.5.
#   wine-growth        The core load's cost of a car from 1000 to 2000 cars over its cost from 250
#                      to 500 (1 for a straight line), the load timed within gw_load_once.exe.
#                      Target 1.2.
#   native-load        Natively (build-bench/), LoadAll of the big folder over reading the files it
#                      reads once (Google Benchmark; arguments go to it, e.g.
#                      --benchmark_filter=small). Target 0.6.
#   native-growth      As wine-growth, natively. Target 1.5.
# The player's figures are taken by gw_start_driver.exe, a console program that starts the program
# (or the trivial dialog) as a player would, waits until its dialog holds the expected lines with
# nothing left to paint and its thread answers messages, optionally times Show Pictures the same
# way, then closes it. Printed beside them as components: the driver's first wait for input, the
# floors' parts, and the older whole-process figures with GRIDWRIGHT_EXIT_AFTER_LOAD (the program
# closes as soon as both lists are filled; the trivial dialog as soon as it shows).
# Medians of the rounds are quoted, with the spread (lowest-highest) of the rounds.
#
# GRIDWRIGHT_BENCH_ROUNDS sets the rounds (default 3). GRIDWRIGHT_BENCH_WINE=0 skips the Wine side,
# GRIDWRIGHT_BENCH_NATIVE=0 the native benchmark. Without a display the script runs itself under
# xvfb-run; without a window manager on the display it starts openbox (installed by
# scripts/setup.sh openbox when missing) and ends it afterwards. The Wine side keeps a Wine server running
# for WINEPREFIX while it measures (so that no run pays for starting one) and, when it started
# that server, ends it afterwards: do not start another Wine program in the same prefix meanwhile.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
rounds="${GRIDWRIGHT_BENCH_ROUNDS:-3}"
with_wine="${GRIDWRIGHT_BENCH_WINE:-1}"

if [ "$with_wine" != 0 ] && [ -z "${DISPLAY:-}" ]; then
    # A desktop's size and depth: the pictures' grown window fits, and painting is true colour.
    exec xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

build="$root/build-bench"
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target gw_load_all_bench gw_load_once gw_make_demo

demo="$(mktemp -d)"
results="$demo/results.txt"
wineserver=""
window_manager=""
cleanup() {
    if [ -n "$wineserver" ]; then "$wineserver" -k 2>/dev/null || true; fi
    if [ -n "$window_manager" ]; then kill "$window_manager" 2>/dev/null || true; fi
    rm -rf "$demo"
}
trap cleanup EXIT

if [ "${GRIDWRIGHT_BENCH_NATIVE:-1}" != 0 ]; then
    "$build/bench/gw_load_all_bench" "$@" | tee "$demo/native.txt"
else
    : >"$demo/native.txt"
fi

declare -A lines # each folder's "AVAILABLE INSTALLED" line counts
for size in small big 250 500 1000; do
    case "$size" in
    small) "$build/tools/gw_make_demo" "$demo/$size" ;;
    big) "$build/tools/gw_make_demo" "$demo/$size" --big ;;
    *) "$build/tools/gw_make_demo" "$demo/$size" --cars "$size" ;;
    esac
    # The first run unpacks the archive and takes the backup; the later ones are measured.
    lines[$size]="$("$build/bench/gw_load_once" "$demo/$size" |
        awk -F '[ ,]+' '$1 == "available" {print $2, $4}')"
done

echo
echo "One load of the big folder (2000 car files, 2000 opponents, 4000 pictures):"
if [ -x /usr/bin/time ]; then
    /usr/bin/time -v "$build/bench/gw_load_once" "$demo/big" 2>"$demo/time.txt"
    grep -E 'Maximum resident set size|Elapsed' "$demo/time.txt"
else
    "$build/bench/gw_load_once" "$demo/big"
fi

# "name value target unit" lines for the closing table.
native_ratio="$(awk '/LoadAll against reading/ {on = 1} on && $1 == "cars:2000" {print $NF; exit}' \
    "$demo/native.txt")"
if [ "${GRIDWRIGHT_BENCH_NATIVE:-1}" != 0 ]; then
    echo "native-load ${native_ratio:-?} 0.6 x" >>"$results"
fi
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
    echo "native-growth $(growth_ratio $native_growth) 1.5 x" >>"$results"
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

# "lowest-highest" of numbers, one a line.
spread() {
    sort -g | awk 'NR == 1 {low = $1} {high = $1} END {print low "-" high}'
}

# The number after the word KEY in a line of words, as gw_start_driver and gw_read_once print.
field() {
    awk -v key="$1" '{for (i = 1; i < NF; ++i) if ($i == key || $i == key ",") {print $(i + 1); exit}}' |
        tr -d ',\r'
}

# measure NAME TARGET FOLDER 'COMMAND' 'FLOOR COMMAND'...: whole processes, in each round the
# command and then every floor command once; the ratio of a round is the command's time over the
# floors' sum. TARGET - prints it as a component only.
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
    local ratio_median
    ratio_median="$(printf '%s' "$ratios" | median)"
    printf '  %-26s %8d ms  floor %8d ms  ratio %5.2f (%s)  target %s\n' "$name" \
        "$(printf '%s' "$times" | median)" "$(printf '%s' "$sums" | median)" "$ratio_median" \
        "$(printf '%s' "$ratios" | spread)" "$target"
    [ "$target" = - ] || echo "$name $ratio_median $target x" >>"$results"
}

# One line of gw_start_driver, run by Wine in a folder: DRIVER ARGUMENTS...
driven() {
    local folder="$1"
    shift
    (cd "$folder" && "$wine" gw_start_driver.exe "$@" 2>&1) || {
        echo "bench.sh: gw_start_driver failed in $folder: $*" >&2
        return 1
    }
}

# measure_player NAME TARGET FOLDER FLOOR: the program as a player sees it, through
# gw_start_driver, against the trivial dialog through the same driver, plus reading every file
# once when FLOOR is "read". On the big folder Show Pictures is timed in the same runs.
measure_player() {
    local name="$1" target="$2" size="$3" floor="$4"
    local folder="$demo/$size" pictures=() round line t input trivial read floor_ms
    local times="" input_times="" trivial_times="" read_times="" floor_times="" ratios="" shown=""
    [ "$size" = big ] && pictures=(--pictures)
    # A warm-up round, as in measure.
    # shellcheck disable=SC2086 # the two line counts
    driven "$folder" "${pictures[@]}" ${lines[$size]} gridwright.exe >/dev/null
    driven "$folder" 0 0 gw_trivial_dialog.exe >/dev/null
    for ((round = 0; round < rounds; ++round)); do
        # shellcheck disable=SC2086
        line="$(driven "$folder" "${pictures[@]}" ${lines[$size]} gridwright.exe)"
        t="$(field idle <<<"$line")"
        input="$(field input-idle <<<"$line")"
        [ "$size" = big ] && shown+="$(field pictures <<<"$line")"$'\n'
        trivial="$(driven "$folder" 0 0 gw_trivial_dialog.exe | field idle)"
        read=0
        if [ "$floor" = read ]; then
            read="$(cd "$folder" && "$wine" gw_read_once.exe . | field ms)"
        fi
        floor_ms="$(awk -v a="$trivial" -v b="$read" 'BEGIN {print a + b}')"
        times+="$t"$'\n'
        input_times+="$input"$'\n'
        trivial_times+="$trivial"$'\n'
        read_times+="$read"$'\n'
        floor_times+="$floor_ms"$'\n'
        ratios+="$(awk -v a="$t" -v b="$floor_ms" 'BEGIN {printf "%.3f", a / b}')"$'\n'
    done
    local ratio_median
    ratio_median="$(printf '%s' "$ratios" | median)"
    printf '  %-26s %8.0f ms  floor %8.0f ms  ratio %5.2f (%s)  target %s\n' "$name" \
        "$(printf '%s' "$times" | median)" "$(printf '%s' "$floor_times" | median)" "$ratio_median" \
        "$(printf '%s' "$ratios" | spread)" "$target"
    printf '    launch to idle (%s) ms; its first wait for input %.0f ms; trivial dialog %.0f (%s) ms' \
        "$(printf '%s' "$times" | spread)" "$(printf '%s' "$input_times" | median)" \
        "$(printf '%s' "$trivial_times" | median)" "$(printf '%s' "$trivial_times" | spread)"
    if [ "$floor" = read ]; then
        printf '; reading every file %.0f (%s) ms' "$(printf '%s' "$read_times" | median)" \
            "$(printf '%s' "$read_times" | spread)"
    fi
    echo
    echo "$name $ratio_median $target x" >>"$results"
    if [ -n "$shown" ]; then
        local shown_median
        shown_median="$(printf '%s' "$shown" | median)"
        printf '  %-26s %8.1f ms (%s)  target %s ms\n' wine-pictures-big "$shown_median" \
            "$(printf '%s' "$shown" | spread)" 200
        echo "wine-pictures-big $shown_median 200 ms" >>"$results"
    fi
}

if [ "$with_wine" != 0 ]; then
    # A player's desktop has a window manager, which takes part in showing and sizing windows.
    has_window_manager() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }
    if ! has_window_manager; then
        command -v openbox >/dev/null || bash "$root/scripts/setup.sh" openbox
        openbox >/dev/null 2>&1 &
        window_manager=$!
        for ((i = 0; i < 100; ++i)); do
            has_window_manager && break
            sleep 0.1
        done
        has_window_manager || {
            echo "bench.sh: openbox did not start on $DISPLAY" >&2
            exit 1
        }
    fi
    wm_window="$(xprop -root _NET_SUPPORTING_WM_CHECK | awk '{print $NF}')"
    wm_name="$(xprop -id "$wm_window" _NET_WM_NAME 2>/dev/null | sed -n 's/.*= "\(.*\)"/\1/p')"

    export WINEPREFIX="${WINEPREFIX:-}"
    [ -n "$WINEPREFIX" ] || unset WINEPREFIX
    # shellcheck source=wine-env.sh
    source "$root/scripts/wine-env.sh"
    wine_build="$root/build-bench-win"
    cmake -S "$root" -B "$wine_build" -G Ninja --toolchain "$root/cmake/mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DGRIDWRIGHT_TESTS=OFF >/dev/null
    cmake --build "$wine_build" -j"$(nproc)" \
        --target gridwright gw_load_once gw_read_once gw_trivial_dialog gw_start_driver
    wineserver="$(dirname "$GRIDWRIGHT_WINE")/wineserver"
    [ -x "$wineserver" ] || wineserver=wineserver
    # Ended afterwards only when this run started it.
    "$wineserver" -p || wineserver=""
    # Wine's own services start with its first program and keep its output open: started here,
    # apart from any measurement and any output read back.
    "$GRIDWRIGHT_WINE" wineboot </dev/null >/dev/null 2>&1 || true
    for size in small big 250 500 1000; do
        cp "$wine_build/app/gridwright.exe" "$wine_build/bench/gw_load_once.exe" \
            "$wine_build/bench/gw_read_once.exe" "$wine_build/bench/gw_trivial_dialog.exe" \
            "$wine_build/bench/gw_start_driver.exe" "$demo/$size/"
    done
    wine="$GRIDWRIGHT_WINE"

    echo
    echo "Under Wine ($GRIDWRIGHT_WIN_ARCH build, $("$wine" --version), window manager" \
        "${wm_name:-unnamed}), median (spread) of $rounds rounds:"
    echo "As a player sees it (gw_start_driver):"
    measure_player wine-idle-big 1.0 big read
    measure_player wine-idle-small 1.05 small none

    echo "Components: until both lists are filled (GRIDWRIGHT_EXIT_AFTER_LOAD), whole processes:"
    export GRIDWRIGHT_EXIT_AFTER_LOAD=1
    measure wine-start-small - "$demo/small" "$wine gridwright.exe" "$wine gw_trivial_dialog.exe"
    measure wine-start-big - "$demo/big" "$wine gridwright.exe" "$wine gw_trivial_dialog.exe" \
        "$wine gw_read_once.exe ."
    unset GRIDWRIGHT_EXIT_AFTER_LOAD
    echo "The core load alone, whole processes:"
    measure wine-load-big 1.5 "$demo/big" "$wine gw_load_once.exe ." "$wine gw_read_once.exe ."

    # Timed within the process: a process start's noise under Wine is larger than the step from
    # 250 to 500 cars. Two rounds more than the others, as the steps are small.
    echo "Growth of the core load under Wine (timed within the process; the step per car between sizes):"
    declare -A load_ms load_spread
    for size in 250 500 1000 big; do
        times=""
        (cd "$demo/$size" && $wine gw_load_once.exe . >/dev/null 2>&1)
        for ((round = 0; round < rounds + 2; ++round)); do
            times+="$(cd "$demo/$size" && $wine gw_load_once.exe . 2>/dev/null | field ms)"$'\n'
        done
        load_ms[$size]="$(printf '%s' "$times" | median)"
        load_spread[$size]="$(printf '%s' "$times" | spread)"
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
        printf '  cars:%-5d %8.1f ms (%s)  x%.2f of 250  %s\n' "$cars" "${load_ms[$size]}" \
            "${load_spread[$size]}" \
            "$(awk -v a="${load_ms[$size]}" -v b="${load_ms[250]}" 'BEGIN {print a / b}')" "$step"
        previous="$size"
        previous_cars="$cars"
    done
    echo "wine-growth $(growth_ratio "${load_ms[250]}" "${load_ms[500]}" "${load_ms[1000]}" \
        "${load_ms[big]}") 1.2 x" >>"$results"
fi

echo
echo "Figures against their targets (met when at most the target):"
while read -r name value target unit; do
    verdict="$(awk -v r="$value" -v t="$target" 'BEGIN {print (r != "?" && r <= t) ? "met" : "MISSED"}')"
    printf '  %-18s %8s %-2s  target %5s %-2s  %s\n' "$name" "$value" "$unit" "$target" "$unit" \
        "$verdict"
done <"$results"
