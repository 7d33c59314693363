#!/usr/bin/env bash
# Builds the Windows zip and installer (scripts/package-windows.sh) and tries
# the installer under Wine in a Wine folder of its own: installed silently
# for the current user and for every user, the installed console companion
# exports the bundled sample as the checked-in export and says its version,
# a .twus opens in the viewer, and the silent uninstaller leaves none of the
# installed files nor the file type.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
mapfile -t built < <("$root/scripts/package-windows.sh")
zip=${built[0]}
installer=${built[1]}
build=$(dirname "$installer")

"$root/scripts/install-deps.sh" wine64 unzip
source "$root/scripts/wine-prefix.sh"
rm -rf "$build/wine"
prepare_wine_prefix "$build/wine"

fail() {
    echo "check-windows-package: $*" >&2
    exit 1
}

unzip -l "$zip" | grep "/twDspUsrSpc.exe$" >/dev/null || fail "the zip lacks twDspUsrSpc.exe"
expected=$root/tests/data/export-TWMODEL001.EN.usrspc
for mode in CurrentUser AllUsers; do
    echo "== Installed silently (/$mode)"
    "$wine" "$installer" /S /$mode
    "$wineserver" -w
    hive=$([[ $mode == CurrentUser ]] && echo HKCU || echo HKLM)
    key="$hive\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\twDspUsrSpc"
    folder=$("$wine" reg query "$key" /v InstallLocation | tr -d '\r' |
        sed -n 's/.*InstallLocation *REG_SZ *//p')
    [[ -n $folder ]] || fail "/$mode: no InstallLocation under $key"
    unix=$("$wine" winepath -u "$folder" | tr -d '\r')
    [[ -f $unix/twDspUsrSpc.exe && -f $unix/twmgr.ressource.FR ]] || fail "/$mode: nothing installed in $unix"

    "$wine" "$unix/twDspUsrSpc.com" --version | grep "twDspUsrSpc" >/dev/null || fail "/$mode: --version"
    # On Windows pages come from DllParam.dll unless a store is named.
    "$wine" "$unix/twDspUsrSpc.com" --export --output - --store "$folder\\samples" \
        127.0.0.1/TWMODEL001 >"$build/export.usrspc"
    cmp "$build/export.usrspc" "$expected" || fail "/$mode: the installed program's export differs from $expected"
    "$wine" reg query "$hive\\Software\\Classes\\.twus" | grep twDspUsrSpc.Snapshot >/dev/null ||
        fail "/$mode: .twus is not the viewer's"

    "$wine" "$unix/uninstall.exe" /$mode /S
    "$wineserver" -w
    [[ ! -e $unix ]] || fail "/$mode: the uninstaller left $unix: $(ls -R "$unix")"
    if "$wine" reg query "$hive\\Software\\Classes\\.twus" >/dev/null 2>&1; then
        fail "/$mode: the uninstaller left the .twus file type"
    fi
done
echo "== Windows zip and installer: passed"
