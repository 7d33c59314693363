#!/usr/bin/env bash
# Installs what is missing, builds the viewer (not the tests), and opens it on
# the bundled sample user space. Arguments (ADDRESS/NAME, options) replace the
# sample's address/name.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
TWDS_BUILD_TARGETS="twDspUsrSpc twds_catalogues twds_samples" "$root/scripts/build.sh"
build=${TWDS_BUILD_DIR:-$root/build}
if (($#)); then
    exec "$build/bin/twDspUsrSpc" "$@"
fi
exec "$build/bin/twDspUsrSpc" 127.0.0.1/TWMODEL001
