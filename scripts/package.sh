#!/usr/bin/env bash
# Builds the Debian package and a binary tarball of the same install into
# build-package/ (or $TWDS_PACKAGE_DIR): a Release build of the programs
# only, then CPack. Prints the package files' paths.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${TWDS_PACKAGE_DIR:-$root/build-package}

# dpkg-shlibdeps (dpkg-dev) computes the package's dependencies; rsvg-convert
# draws the icon's sizes.
"$root/scripts/install-deps.sh" dpkg-dev librsvg2-bin fakeroot >&2

TWDS_BUILD_DIR=$build "$root/scripts/build.sh" -DCMAKE_BUILD_TYPE=Release \
    -DTWDS_BUILD_TESTS=OFF -DTWDS_BUILD_BENCHMARKS=OFF >&2
cd "$build"
cpack -G "DEB;TGZ" >&2
ls -1 "$build"/twdspusrspc_*.deb "$build"/twdspusrspc-*.tar.gz
