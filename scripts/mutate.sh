#!/usr/bin/env bash
# Mutation check: plants the mutants of scripts/mutants.txt one at a time and
# runs the tests. See docs/testing.md; --help for the options.
exec python3 "$(dirname "$0")/mutate.py" "$@"
