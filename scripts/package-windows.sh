#!/usr/bin/env bash
# Builds the Windows programs in Release with Debian's MinGW-w64, then the zip
# and the NSIS installer into build-windows-package/ (or
# $TWDS_WINDOWS_PACKAGE_DIR), and prints their paths. Both hold the viewer
# (twDspUsrSpc.exe), its console companion for the headless modes
# (twDspUsrSpc.com), twus_make.exe, the catalogues, the bundled sample, the
# README and the licence; the programs need no DLL beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_WINDOWS_PACKAGE_DIR:-$root/build-windows-package}

"$root/scripts/install-deps.sh" g++-mingw-w64-x86-64-posix nsis zip >&2

if [[ ! -f $build/build.ninja ]]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64.cmake" \
        -DCMAKE_BUILD_TYPE=Release -DTWDS_BUILD_GUI=OFF -DTWDS_BUILD_TESTS=OFF \
        -DTWDS_WERROR="${TWDS_WERROR:-OFF}" >&2
fi
cmake --build "$build" --parallel "$(nproc)" >&2

version=$(sed -n 's/^project(twDspUsrSpc VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")
name=twDspUsrSpc-$version-win64
stage=$build/$name
rm -rf "$stage" "$build/$name.zip" "$build/$name-setup.exe"
mkdir -p "$stage/samples/127.0.0.1"
for program in twDspUsrSpc.exe twDspUsrSpc.com twus_make.exe; do
    if [[ ! -f $build/bin/$program ]]; then
        echo "package-windows: $build/bin/$program was not built" >&2
        exit 1
    fi
    cp "$build/bin/$program" "$stage/"
done
# Windows keeps no debugging symbols for a user: strip them (the build's own
# copies keep theirs).
x86_64-w64-mingw32-strip "$stage"/*.exe "$stage"/*.com
cp "$root/data/twmgr.ressource.EN" "$root/data/twmgr.ressource.FR" "$root/README.md" "$stage/"
# Windows line ends for the licence the installer shows.
sed 's/$/\r/' "$root/LICENSE" >"$stage/LICENSE.txt"
cp "$build/bin/samples/127.0.0.1/TWMODEL001.twus" "$stage/samples/127.0.0.1/"

(cd "$build" && zip -qr9 "$name.zip" "$name")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$build/$name-setup.exe" \
    "$root/packaging/windows/twDspUsrSpc.nsi" >&2
printf "%s\n" "$build/$name.zip" "$build/$name-setup.exe"
