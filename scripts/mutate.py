#!/usr/bin/env python3
"""Plant the mutants of scripts/mutants.txt one at a time and run the tests.

For each mutant: the original text must occur exactly once in its file (a
mutant whose text is gone or ambiguous is refused, so the list is kept
current); the file is changed, the build folder rebuilt incrementally, ctest
run, the outcome recorded (caught, survived, or invalid when the build fails)
and the file restored, whatever happens, Ctrl-C included.
"""

import argparse
import os
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent


def Unescape(text):
    # Only \n and \\ mean something: the texts are code, full of other escapes.
    out = []
    i = 0
    while i < len(text):
        if text[i] == "\\" and i + 1 < len(text) and text[i + 1] in "n\\":
            out.append("\n" if text[i + 1] == "n" else "\\")
            i += 2
        else:
            out.append(text[i])
            i += 1
    return "".join(out)


def ReadMutants(path):
    """Blocks of "file:", "from:", "to:", "why:" lines, one mutant each."""
    mutants = []
    current = {}
    for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
        if not line.strip() or line.startswith("#"):
            if current:
                mutants.append(current)
                current = {}
            continue
        key, sep, value = line.partition(": ")
        if not sep or key not in ("file", "from", "to", "why"):
            sys.exit(f"{path}:{number}: expected 'file|from|to|why: ...', got: {line}")
        current[key] = value if key in ("file", "why") else Unescape(value)
        current.setdefault("line", number)
    if current:
        mutants.append(current)
    for m in mutants:
        missing = {"file", "from", "to", "why"} - m.keys()
        if missing:
            sys.exit(f"{path}:{m['line']}: mutant lacks {', '.join(sorted(missing))}")
    return mutants


def Run(command, log):
    with open(log, "w", encoding="utf-8") as out:
        return subprocess.run(command, cwd=ROOT, stdout=out, stderr=subprocess.STDOUT).returncode


def Configure(build):
    if not (build / "build.ninja").exists():
        print(f"configuring {build}", flush=True)
        build.mkdir(parents=True, exist_ok=True)
        if Run(["cmake", "-S", str(ROOT), "-B", str(build), "-G", "Ninja",
                "-DCMAKE_BUILD_TYPE=Debug"], build / "configure.log") != 0:
            sys.exit(f"configure failed: see {build / 'configure.log'}")
    print(f"building {build} unmutated", flush=True)
    log = build / "unmutated-build.log"
    if Run(["cmake", "--build", str(build), f"-j{JOBS}"], log) != 0:
        sys.exit(f"the unmutated build fails: see {log}")


def Tests(build, log):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    selection = ["-R", TESTS] if TESTS else []
    with open(log, "a", encoding="utf-8") as out:
        return subprocess.run(["ctest", "--test-dir", str(build), f"-j{JOBS}", "--stop-on-failure",
                               "--output-on-failure", "--timeout", "300", *selection],
                              cwd=ROOT, env=env, stdout=out, stderr=subprocess.STDOUT).returncode


JOBS = 2
TESTS = None
TARGETS = []


def main():
    global JOBS, TESTS, TARGETS
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--list", default=str(ROOT / "scripts" / "mutants.txt"))
    parser.add_argument("--build", default=os.environ.get("MUTANTS_BUILD", str(ROOT / "build-mutants")),
                        help="build folder (default build-mutants, or $MUTANTS_BUILD)")
    parser.add_argument("--only", help="mutant numbers, e.g. 1,4,10-12")
    parser.add_argument("--file", help="only mutants of files whose path contains this")
    parser.add_argument("--check", action="store_true",
                        help="only check that every mutant's text occurs once")
    parser.add_argument("--tests", metavar="REGEX",
                        help="run only the tests whose names match (ctest -R): which of them catch a mutant")
    parser.add_argument("--targets", metavar="T1,T2",
                        help="build only these targets for each mutant (those holding the --tests)")
    parser.add_argument("-j", type=int, default=2)
    args = parser.parse_args()
    JOBS = args.j
    TESTS = args.tests
    TARGETS = ["--target", *args.targets.split(",")] if args.targets else []

    mutants = ReadMutants(Path(args.list))
    chosen = list(range(1, len(mutants) + 1))
    if args.only:
        wanted = set()
        for part in args.only.split(","):
            first, _, last = part.partition("-")
            wanted.update(range(int(first), int(last or first) + 1))
        chosen = [n for n in chosen if n in wanted]
    if args.file:
        chosen = [n for n in chosen if args.file in mutants[n - 1]["file"]]

    refused = []
    for n in chosen:
        m = mutants[n - 1]
        path = ROOT / m["file"]
        count = path.read_bytes().count(m["from"].encode()) if path.exists() else 0
        if count != 1 or m["from"] == m["to"]:
            refused.append(n)
            print(f"#{n} REFUSED: its text occurs {count} times in {m['file']} "
                  f"(line {m['line']} of the list): update the list", flush=True)
    if args.check:
        print(f"{len(chosen) - len(refused)} of {len(chosen)} mutants apply")
        return 1 if refused else 0

    build = Path(args.build).resolve()
    Configure(build)
    logs = build / "mutants"
    logs.mkdir(exist_ok=True)

    planted = {}  # path -> original text, restored on any exit

    def Restore():
        for path, text in list(planted.items()):
            path.write_bytes(text)
            del planted[path]

    def Interrupted(signum, _frame):
        Restore()
        sys.exit(f"interrupted by signal {signum}; files restored")

    signal.signal(signal.SIGINT, Interrupted)
    signal.signal(signal.SIGTERM, Interrupted)

    results = {}
    try:
        for n in chosen:
            if n in refused:
                continue
            m = mutants[n - 1]
            path = ROOT / m["file"]
            original = path.read_bytes()
            started = time.monotonic()
            planted[path] = original
            path.write_bytes(original.replace(m["from"].encode(), m["to"].encode()))
            log = logs / f"{n:03d}.log"
            if Run(["cmake", "--build", str(build), f"-j{JOBS}", *TARGETS], log) != 0:
                outcome = "invalid"
            else:
                outcome = "survived" if Tests(build, log) == 0 else "caught"
            Restore()
            # The restored file is older than the objects built from the mutant.
            os.utime(path)
            results[n] = outcome
            print(f"#{n} {outcome.upper():8} {time.monotonic() - started:5.0f} s  {m['file']}: "
                  f"{m['why']}", flush=True)
    finally:
        Restore()
    # Leave the build as the sources are, not as the last mutant left it.
    if results:
        print("rebuilding unmutated", flush=True)
        Run(["cmake", "--build", str(build), f"-j{JOBS}"], logs / "unmutated-rebuild.log")

    caught = sum(1 for r in results.values() if r == "caught")
    valid = sum(1 for r in results.values() if r != "invalid")
    print()
    print(f"{caught} caught of {valid} valid mutants"
          + (f" ({100 * caught / valid:.0f} %)" if valid else "")
          + f"; {len(results) - valid} invalid, {len(refused)} refused")
    for n, r in results.items():
        if r == "survived":
            print(f"  survived #{n}: {mutants[n - 1]['file']}: {mutants[n - 1]['why']}")
    print(f"logs in {logs}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
