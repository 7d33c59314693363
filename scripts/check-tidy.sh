#!/usr/bin/env bash
# Fails on any clang-tidy finding (.clang-tidy) in the production code,
# naming each place. Reads the compile commands of a configured build folder
# (default build/, or $TWDS_BUILD_DIR). The Windows-only sources are not in a
# Linux build's commands; the MinGW build's warnings-as-errors covers them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" clang-tidy python3
build=${TWDS_BUILD_DIR:-$root/build}
if [[ ! -f "$build/compile_commands.json" ]]; then
    echo "check-tidy: no compile_commands.json in $build; build first (scripts/build.sh)." >&2
    exit 2
fi
# The generated Qt sources (moc, rcc) are named in the build folder, so
# anchoring on the source folder leaves them out.
# The commands are g++'s: a warning option clang does not know (GCC 12's
# -Wno-restrict) is not a finding.
run-clang-tidy -quiet -j "$(nproc)" -p "$build" -extra-arg=-Wno-unknown-warning-option \
    "^$root/(app|pages|hostlink|localisation|common|tools)/.*\.cpp$" > "$build/clang-tidy.log" 2>&1 || {
    grep -E 'error:|warning:' -A3 "$build/clang-tidy.log" >&2
    echo "check-tidy: findings above (whole output in $build/clang-tidy.log)." >&2
    exit 1
}
echo "== clang-tidy: the production code is clean"
