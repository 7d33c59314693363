#!/usr/bin/env bash
# Fails when a tracked C++ file is not as clang-format (.clang-format) would
# write it, naming each place.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" clang-format
cd "$root"
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "== clang-format: every tracked C++ file is formatted"
