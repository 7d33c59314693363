#!/usr/bin/env bash
# Configures and builds the project in build/ (or $TWDS_BUILD_DIR).
# Extra arguments go to the CMake configure step.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_BUILD_DIR:-$root/build}

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja "$@"
elif (($#)); then
    cmake "$build" "$@"
fi
cmake --build "$build" --parallel "$(nproc)"
