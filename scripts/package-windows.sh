#!/usr/bin/env bash
# Packages the Windows build (scripts/check-windows.sh builds it) as a zip
# and an NSIS installer in build-windows/package (or $TWDS_WINDOWS_PACKAGE_DIR),
# then checks under Wine that the installer installs silently, that the
# installed console companion exports the bundled sample as the Linux build
# does, and that the uninstaller removes it. Prints the two files' paths.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_WINDOWS_BUILD_DIR:-$root/build-windows}
out=${TWDS_WINDOWS_PACKAGE_DIR:-$build/package}
"$root/scripts/install-deps.sh" nsis zip g++-mingw-w64-x86-64-posix wine64 >&2
[[ -x $build/bin/twDspUsrSpc.exe ]] || "$root/scripts/check-windows.sh" >&2
version=$(sed -n 's/^project(twDspUsrSpc VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt")

stage=$out/twDspUsrSpc-$version-win64
rm -rf "$out" && mkdir -p "$stage/samples/127.0.0.1"
for program in twDspUsrSpc.exe twDspUsrSpc.com; do
    x86_64-w64-mingw32-strip -o "$stage/$program" "$build/bin/$program"
done
cp "$build"/bin/twmgr.ressource.{EN,FR} "$stage/"
cp "$build/bin/samples/127.0.0.1/TWMODEL001.twus" "$stage/samples/127.0.0.1/"
cp "$root/README.md" "$stage/"
# Windows line ends for the licence the installer shows.
sed 's/$/\r/' "$root/LICENSE" > "$stage/LICENSE.txt"
(cd "$out" && zip -qr "twDspUsrSpc-$version-win64.zip" "$(basename "$stage")")
makensis -V2 -DVERSION="$version" -DSTAGE="$stage" \
    -DOUTFILE="$out/twDspUsrSpc-$version-setup.exe" "$root/packaging/windows/twDspUsrSpc.nsi" >&2

# Install, export, uninstall, in a Wine folder of the package's own.
wine=/usr/lib/wine/wine64
[[ -x $wine ]] || wine=$(command -v wine64)
export WINEPREFIX=$out/wine WINEDEBUG=-all
"$wine" wineboot --init >/dev/null 2>&1 || true
"$(dirname "$wine")/wineserver" -w
"$wine" "$out/twDspUsrSpc-$version-setup.exe" /S /CurrentUser
installed=$(find "$WINEPREFIX/drive_c" -name twDspUsrSpc.com -path '*Programs*' | head -1)
[[ -n $installed ]] || { echo "the installer installed nothing" >&2; exit 1; }
samples=$("$wine" winepath -w "$(dirname "$installed")/samples" 2>/dev/null | tr -d '\r')
"$wine" "$installed" --export --output 'C:\TWMODEL001.usrspc' --store "$samples" \
    127.0.0.1/TWMODEL001 >&2
cmp "$WINEPREFIX/drive_c/TWMODEL001.usrspc" "$root/tests/data/export-TWMODEL001.EN.usrspc"
"$wine" reg query 'HKCU\Software\Classes\.twus' >/dev/null
"$wine" "$(dirname "$installed")/uninstall.exe" /CurrentUser /S
"$(dirname "$wine")/wineserver" -w
sleep 2
[[ ! -e $installed ]] || { echo "the uninstaller left $installed" >&2; exit 1; }
echo "installed silently, exported as the Linux build, uninstalled" >&2
ls -1 "$out"/twDspUsrSpc-*.zip "$out"/twDspUsrSpc-*-setup.exe
