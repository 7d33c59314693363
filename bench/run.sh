#!/usr/bin/env bash
# Measures the viewer on three generated user spaces and compares it with the
# ordinary Qt way of filling lists, all on this machine in one run:
#
#   S  10 files x 20 ZC entries          (start-up)
#   M  1,000 files x 100 ZC, SQL on all  (about a million rows; baselines)
#   L  10,000 files x 100 ZC             (about ten million rows)
#
# Usage: bench/run.sh [--no-baselines] [--no-large]
#
# Builds in Release into $TWDS_BENCH_BUILD_DIR (default <repo>/build-bench),
# writes the generated user spaces, the raw results (Google Benchmark JSON)
# and summary.txt into $TWDS_BENCH_DATA_DIR (default <build>/bench-data).
# $TWDS_BENCH_RUNS process runs (default 5) and $TWDS_BENCH_REPETITIONS
# benchmark repetitions (default 5) give each median. Docs: docs/performance.md.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_BENCH_BUILD_DIR:-$root/build-bench}
data=${TWDS_BENCH_DATA_DIR:-$build/bench-data}
runs=${TWDS_BENCH_RUNS:-5}
reps=${TWDS_BENCH_REPETITIONS:-5}
baselines=1
large=1
for arg in "$@"; do
    case $arg in
        --no-baselines) baselines=0 ;;
        --no-large) large=0 ;;
        *)
            echo "Unknown option $arg. Usage: bench/run.sh [--no-baselines] [--no-large]" >&2
            exit 2
            ;;
    esac
done

"$root/scripts/install-deps.sh"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTWDS_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" -j2 --target twus_make twDspUsrSpc twds_bench_viewer \
    twds_bench_baselines twds_bench_hostlink twds_bench_registry twds_display_once twds_bench_find \
    twds_bench_compare twds_bench_window_compare
bin=$build/bin

store=$data/store
work=$data/work
rm -rf "$store" "$work"
mkdir -p "$store/127.0.0.1" "$work/registry" "$work/runtime"
chmod 700 "$work/runtime"
# Never the user's settings, never a display server.
export TWDSPUSRSPC_REGISTRY=$work/registry
export QT_QPA_PLATFORM=offscreen
export XDG_RUNTIME_DIR=$work/runtime
unset TWDSPUSRSPC_STORE TWDSPUSRSPC_HOSTLINK

"$bin/twus_make" --generate --files 10 --zc 20 -o "$store/127.0.0.1/BENCHS0001.twus"
"$bin/twus_make" --generate --files 1000 --zc 100 --sql -o "$store/127.0.0.1/BENCHM0001.twus"
if ((large)); then
    "$bin/twus_make" --generate --files 10000 --zc 100 -o "$store/127.0.0.1/BENCHL0001.twus"
fi

summary=$data/summary.txt
{
    echo "date:     $(date -u '+%Y-%m-%d %H:%M UTC')"
    echo "machine:  $(nproc) cores, $(lscpu | sed -n 's/^Model name: *//p' | head -1)," \
        "$(free -g | awk '/^Mem:/ {print $2}') GiB"
    echo "system:   $(. /etc/os-release && echo "$PRETTY_NAME"), $(uname -r)"
    echo "compiler: $(g++ --version | head -1)"
    echo "Qt:       $(dpkg-query -W -f='${Version}' libqt6core6 2>/dev/null || echo unknown)"
    echo "build:    Release ($build)"
    echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
    echo
} >"$summary"

median() {
    sort -g | awk '{v[NR] = $1 + 0}
        END {
            if (NR == 0) print "n/a"
            else printf "%.10g\n", (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
        }'
}

# Google Benchmark: the aggregates of each benchmark, medians kept.
gbench() {
    local out=$1
    shift
    "$@" --benchmark_repetitions="$reps" --benchmark_report_aggregates_only=true \
        --benchmark_out="$data/$out.json" --benchmark_out_format=json | tee "$data/$out.txt"
    grep -E '_median' "$data/$out.txt" >>"$summary" || true
}

echo "== Benchmarks (median of $reps repetitions; time per iteration)" >>"$summary"
gbench viewer-S "$bin/twds_bench_viewer" --store "$store" --work "$work" --name BENCHS0001 --label S
gbench viewer-M "$bin/twds_bench_viewer" --store "$store" --work "$work" --name BENCHM0001 --label M \
    --after
# The same with the file column shown on the FC, ZC and SQL lists.
gbench viewer-M-file "$bin/twds_bench_viewer" --store "$store" --work "$work" --name BENCHM0001 \
    --label M-file --after --file-column
if ((large)); then
    gbench viewer-L "$bin/twds_bench_viewer" --store "$store" --work "$work" --name BENCHL0001 \
        --label L --after
    gbench hostlink-L "$bin/twds_bench_hostlink" --store "$store" --work "$work" \
        --name BENCHL0001 --label L --files 10000
fi
# Search: headless --find against headless --export on M, the count of all
# matches on L.
gbench find-M "$bin/twds_bench_find" --store "$store" --work "$work" --name BENCHM0001 --label M
if ((large)); then
    gbench find-L "$bin/twds_bench_find" --benchmark_filter=Search --store "$store" \
        --work "$work" --name BENCHL0001 --label L
fi
# Snapshots and --compare: two M models differing in 1 % of their values
# against the export of one, and saving a snapshot of M.
gbench compare-M "$bin/twds_bench_compare" --store "$store" --work "$work" --name BENCHM0001 \
    --label M
# The window's comparison and F5: two M (and two L) differing in 1 % of
# their values, through the compare bar; the only-differences toggle.
gbench window-compare-M "$bin/twds_bench_window_compare" --store "$store" --work "$work" \
    --name BENCHM0001 --label M
if ((large)); then
    reps=3 gbench window-compare-L "$bin/twds_bench_window_compare" --store "$store" \
        --work "$work" --name BENCHL0001 --label L
fi
gbench registry "$bin/twds_bench_registry" --work "$work"
if ((baselines)); then
    # One process each, so that each reports its own peak memory. Fewer
    # repetitions: one takes seconds.
    for way in QTreeWidget QStandardItemModel; do
        reps=3 gbench "baseline-M-$way" "$bin/twds_bench_baselines" --benchmark_filter="$way" \
            --store "$store" --work "$work" --name BENCHM0001 --label M
    done
fi

# A fresh process per run: the first Display's time (cold), a second press
# (warm), the export, and the process's peak resident memory.
echo >>"$summary"
echo "== Fresh processes (median of $runs runs)" >>"$summary"
sizes=("S 10" "M 1000" "M 1000 --file-column")
if ((large)); then
    sizes+=("L 10000")
fi
for size in "${sizes[@]}"; do
    read -r label files option <<<"$size"
    log=$data/once-$label${option:+-file}.txt
    : >"$log"
    for ((i = 0; i < runs; i++)); do
        # shellcheck disable=SC2086 # the option is one word or none
        "$bin/twds_display_once" --store "$store" --work "$work" --name "BENCH${label}0001" \
            --files "$files" $option | tee -a "$log"
    done
    line="$label${option:+ (file column)}:"
    for field in display_s again_s export_s peak_display_MiB peak_export_MiB heap_display_MiB \
        heap_per_file_KiB rows; do
        value=$(grep -o "$field=[0-9.]*" "$log" | cut -d= -f2 | median)
        line+=" $field=$value"
    done
    echo "$line" >>"$summary"
done
if ((baselines)); then
    # The QTreeWidget way's first fill in a fresh process, to set beside the
    # viewer's first Display above.
    log=$data/once-baseline-M.txt
    : >"$log"
    for ((i = 0; i < runs; i++)); do
        "$bin/twds_bench_baselines" --benchmark_filter=QTreeWidget --benchmark_min_time=0 \
            --benchmark_format=json --store "$store" --work "$work" --name BENCHM0001 --label M |
            grep -o '"real_time": [0-9.e+]*' | cut -d' ' -f2 | tee -a "$log"
    done
    echo "M: baseline_QTreeWidget_first_fill_ms=$(median <"$log")" >>"$summary"
fi

# Start-up: the real executable from its start to the window shown with S
# displayed. One run first, not counted, warms the file cache.
startup() {
    TWDSPUSRSPC_QUIT_AFTER_SHOW=1 "$bin/twDspUsrSpc" --store "$store" 127.0.0.1/BENCHS0001
}
startup
log=$data/startup.txt
: >"$log"
for ((i = 0; i < 2 * runs; i++)); do
    start=$(date +%s%N)
    startup
    end=$(date +%s%N)
    echo $(((end - start) / 1000)) >>"$log"
done
echo "S: startup_ms=$(awk '{print $1 / 1000}' "$log" | median) (median of $((2 * runs)) runs)" \
    >>"$summary"
# Quitting: from the moment the window starts to quit to the process's end,
# after a Display of L (ten million rows) or of M.
quit_label=M
if ((large)); then
    quit_label=L
fi
log=$data/quit.txt
: >"$log"
for ((i = 0; i < runs; i++)); do
    quit_at=$(TWDSPUSRSPC_QUIT_AFTER_SHOW=1 "$bin/twDspUsrSpc" --store "$store" \
        "127.0.0.1/BENCH${quit_label}0001" 2>&1 >/dev/null | sed -n 's/^quit_at_ns=//p')
    end=$(date +%s%N)
    echo $(((end - quit_at) / 1000)) >>"$log"
done
echo "$quit_label: quit_ms=$(awk '{print $1 / 1000}' "$log" | median) (median of $runs runs)" \
    >>"$summary"
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)" >>"$summary"

echo
echo "==== Summary ($summary)"
cat "$summary"
