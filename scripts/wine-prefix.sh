# Sourced by the scripts that run Windows programs under Wine. Sets $wine
# and $wineserver, and prepare_wine_prefix FOLDER: a Wine folder of the
# caller's own, never the user's ~/.wine, with Wine's own notes silenced
# (they would drown the programs' output).

wine=/usr/lib/wine/wine64
if [[ ! -x $wine ]]; then
    wine=$(command -v wine64)
fi
wineserver=$(dirname "$wine")/wineserver

# wineboot can return before the folder is filled, or leave it half made
# when interrupted: wait for Wine to finish, and make the folder again once
# when it still lacks the system's DLLs.
prepare_wine_prefix() {
    export WINEPREFIX=$1 WINEDEBUG=-all
    if ! wine_boot; then
        "$wineserver" -k >/dev/null 2>&1 || true
        rm -rf "$WINEPREFIX"
        wine_boot || echo "Wine could not prepare $WINEPREFIX; what runs there will say why" >&2
    fi
}

wine_boot() {
    "$wine" wineboot --init >/dev/null 2>&1 || true
    "$wineserver" -w >/dev/null 2>&1 || true
    [[ -f $WINEPREFIX/drive_c/windows/system32/kernel32.dll ]]
}
