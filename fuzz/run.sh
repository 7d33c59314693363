#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, AddressSanitizer,
# UndefinedBehaviorSanitizer), replays every seed corpus, then runs each
# target for SECONDS (default 60).
#
#   fuzz/run.sh [SECONDS] [--merge] [TARGET...]
#   fuzz/run.sh --minimise [TARGET...]
#
# Inputs the fuzzers find go to <build>/fuzz-corpus/<target>, crashes, hangs
# and memory blow-ups to <build>/fuzz-artifacts/<target>/. With --merge the
# new inputs that add coverage are copied into fuzz/corpus/<target> so they
# can be committed. The build folder is build-fuzz (or $TWDS_FUZZ_BUILD_DIR).
# Exits 1 when any target failed, naming the input that made it fail.
#
# --minimise replays the corpora, fuzzes nothing, and rebuilds each
# fuzz/corpus/<target> in a fresh folder: the hand-made seeds of
# fuzz/make-seeds.py and the regression-* inputs, kept whatever they cover,
# then `-merge=1` adds, smallest first, only those of the old corpus and of
# <build>/fuzz-corpus/<target> that cover something those do not. Run it after
# long runs, before committing the corpora.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_FUZZ_BUILD_DIR:-$root/build-fuzz}

seconds=60
merge=0
minimise=0
targets=()
for argument in "$@"; do
    case $argument in
        --merge) merge=1 ;;
        --minimise) minimise=1 ;;
        '' | *[!0-9]*) targets+=("$argument") ;;
        *) seconds=$argument ;;
    esac
done
if ((${#targets[@]} == 0)); then
    targets=(fuzz_decoders fuzz_field_number fuzz_saved_userspace fuzz_catalogue fuzz_registry
             fuzz_registry_writer fuzz_command_line fuzz_export)
fi

"$root/scripts/install-deps.sh" clang libclang-rt-14-dev

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DTWDS_FUZZ=ON \
        -DTWDS_BUILD_TESTS=OFF
fi
cmake --build "$build" --target "${targets[@]}" --parallel "$(nproc)"

# Every limit the runs must keep: 5 s per input, 1 GB of memory.
limits=(-timeout=5 -rss_limit_mb=1024)
# Flags of one target's fuzzing run. fuzz_decoders mixes one-page inputs
# (microseconds) with whole Displays (milliseconds): scaling each input's
# share of mutations by its speed keeps most of the time on the pages.
declare -A run_flags=(
    [fuzz_decoders]="-entropic_scale_per_exec_time=1"
)
failed=()
for target in "${targets[@]}"; do
    binary=$build/bin/$target
    seeds=$root/fuzz/corpus/$target
    found=$build/fuzz-corpus/$target
    artifacts=$build/fuzz-artifacts/$target
    mkdir -p "$seeds" "$found" "$artifacts"
    log=$artifacts/run.log

    echo "== $target: replaying $(find "$seeds" -type f | wc -l) seed inputs"
    if ! (cd "$artifacts" && "$binary" "${limits[@]}" -artifact_prefix="$artifacts/" \
        -runs=0 "$seeds" >"$log" 2>&1); then
        tail -n 40 "$log"
        failed+=("$target (seed corpus, log $log)")
        continue
    fi

    if ((minimise)); then
        fresh=$(mktemp -d)
        python3 "$root/fuzz/make-seeds.py" "$fresh" >/dev/null
        mkdir -p "$fresh/$target"
        find "$seeds" -maxdepth 1 -type f -name 'regression-*' -exec cp {} "$fresh/$target/" \;
        before="$(find "$seeds" -type f | wc -l) inputs, $(du -sb "$seeds" | cut -f1) bytes"
        "$binary" "${limits[@]}" -merge=1 "$fresh/$target" "$seeds" "$found" >>"$log" 2>&1
        rm -rf "$seeds"
        mv "$fresh/$target" "$seeds"
        rm -rf "$fresh"
        echo "   minimised from $before to $(find "$seeds" -type f | wc -l) inputs," \
            "$(du -sb "$seeds" | cut -f1) bytes"
        continue
    fi

    echo "== $target: fuzzing for ${seconds} s"
    read -ra flags <<<"${run_flags[$target]:-}"
    if ! (cd "$artifacts" && "$binary" "${limits[@]}" "${flags[@]}" -artifact_prefix="$artifacts/" \
        -max_total_time="$seconds" -print_final_stats=1 "$found" "$seeds" >"$log" 2>&1); then
        tail -n 40 "$log"
        failed+=("$target (log $log)")
        continue
    fi
    grep -E '^stat::number_of_executed_units|^Done' "$log" || true

    if ((merge)); then
        "$binary" "${limits[@]}" -merge=1 "$seeds" "$found" >>"$log" 2>&1
        echo "   corpus now $(find "$seeds" -type f | wc -l) inputs"
    fi
done

if ((${#failed[@]})); then
    echo "Fuzzing failed:"
    printf '  %s\n' "${failed[@]}"
    echo "The failing inputs are in $build/fuzz-artifacts/<target>/ (crash-*, timeout-*, oom-*)."
    echo "Reproduce one with: $build/bin/<target> <input>"
    exit 1
fi
echo "Fuzzing passed: ${targets[*]}"
