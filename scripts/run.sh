#!/usr/bin/env bash
# Installs what is missing, builds, and opens the viewer on the bundled sample
# user space. Arguments replace the sample's address/name.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh"
build=${TWDS_BUILD_DIR:-$root/build}
if (($#)); then
    exec "$build/bin/twDspUsrSpc" "$@"
fi
exec "$build/bin/twDspUsrSpc" 127.0.0.1/TWMODEL001
