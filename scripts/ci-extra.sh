#!/usr/bin/env bash
# The checks CI runs after the README's test command:
#  1. the whole test suite built with AddressSanitizer and
#     UndefinedBehaviorSanitizer (build-asan, or $TWDS_ASAN_BUILD_DIR), leaks
#     included;
#  2. the Windows build, its tests run under Wine (scripts/check-windows.sh),
#     then its zip and installer, installed and removed under Wine
#     (scripts/check-windows-package.sh);
#  3. the fuzz targets: every seed corpus replayed, then each target run for
#     $TWDS_FUZZ_SECONDS seconds (20 by default).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_ASAN_BUILD_DIR:-$root/build-asan}
fuzz_seconds=${TWDS_FUZZ_SECONDS:-20}

"$root/scripts/install-deps.sh"

echo "== Test suite under AddressSanitizer and UndefinedBehaviorSanitizer ($build)"
if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DTWDS_SANITIZE=ON
else
    cmake "$build" -DTWDS_SANITIZE=ON
fi
cmake --build "$build" --parallel "$(nproc)"
# Leaks fail the run too; the GUI tests need no suppressions for Qt.
export ASAN_OPTIONS=detect_leaks=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ctest --test-dir "$build" --output-on-failure --parallel "$(nproc)"

echo "== Windows build, tests under Wine"
"$root/scripts/check-windows.sh"
"$root/scripts/check-windows-package.sh"

echo "== Fuzz targets: seed corpora replayed, then ${fuzz_seconds} s each"
"$root/fuzz/run.sh" "$fuzz_seconds"
