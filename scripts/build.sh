#!/usr/bin/env bash
# Configures and builds the project in build/ (or $TWDS_BUILD_DIR).
# Extra arguments go to the CMake configure step. $TWDS_BUILD_TARGETS, when
# set, names the targets to build instead of all of them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_BUILD_DIR:-$root/build}

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja "$@"
elif (($#)); then
    cmake "$build" "$@"
fi
targets=()
if [[ -n ${TWDS_BUILD_TARGETS:-} ]]; then
    read -ra names <<<"$TWDS_BUILD_TARGETS"
    targets=(--target "${names[@]}")
fi
cmake --build "$build" --parallel "$(nproc)" "${targets[@]}"
