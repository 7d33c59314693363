#!/usr/bin/env bash
# Builds the viewer for 64-bit Windows with Debian's MinGW-w64, warnings as
# errors, and runs its tests under Wine: the catalogue and registry library
# with the Windows registry store, the host link with LoadLibraryA (against
# test DLLs built here), the decoders, the Display command and the export,
# twus_make.exe, the native window (app/win32) driven in-process, and the
# console companion's exports. The Linux build never compiles
# the Windows-only sources; this does, and exercises them.
#
# Usage: scripts/check-windows.sh   (build folder: build-windows, or
#                                    $TWDS_WINDOWS_BUILD_DIR)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_WINDOWS_BUILD_DIR:-$root/build-windows}

"$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix wine64
source "$root/scripts/wine-prefix.sh"

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_CROSSCOMPILING_EMULATOR="$wine" -DTWDS_BUILD_GUI=OFF -DTWDS_WERROR=ON
fi
cmake --build "$build" --parallel "$(nproc)"

prepare_wine_prefix "$build/wine"
# The window tests create real windows: Wine's null display driver gives
# them a screen without an X server.
"$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1 || true
"$wineserver" -w >/dev/null 2>&1 || true
ctest --test-dir "$build" --output-on-failure
echo "== Windows build and tests under Wine: passed"
