#!/usr/bin/env bash
# Fails when the docs (docs/*.md, README.md, CONTRIBUTING.md) name a test as
# Suite.Case that CTest does not list, naming each file, line and name. Run
# it after a build: it reads the tests of build/ (or $TWDS_BUILD_DIR).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/install-deps.sh" python3
build=${TWDS_BUILD_DIR:-$root/build}
tests=$(mktemp)
trap 'rm -f "$tests"' EXIT
# CTest lists a test as Suite.Case (a parametrised one as Prefix/Suite.Case/N).
ctest --test-dir "$build" -N | sed -n 's/.*Test *#[0-9]*: //p' |
    sed 's|^[^/]*/||; s|/[^/]*$||' | sort -u >"$tests"
if [ ! -s "$tests" ]; then
    echo "check-doc-tests: CTest lists no tests in $build; build first" >&2
    exit 1
fi
cd "$root"
python3 - "$tests" <<'PY'
import glob, re, sys
tests = set(line.strip() for line in open(sys.argv[1]))
suites = {t.split('.')[0] for t in tests}
missing = 0
for doc in sorted(glob.glob('docs/*.md')) + ['README.md', 'CONTRIBUTING.md']:
    for number, line in enumerate(open(doc, encoding='utf-8'), 1):
        for m in re.finditer(r'\b([A-Z][A-Za-z0-9]+(?:Test)?)\.([A-Z][A-Za-z0-9]+)\b', line):
            if (m.group(1) in suites or m.group(1).endswith('Test')) and m.group(0) not in tests:
                print(f'{doc}:{number}: no such test: {m.group(0)}')
                missing += 1
print(f'== check-doc-tests: {missing} test names in the docs that CTest does not list')
sys.exit(1 if missing else 0)
PY
