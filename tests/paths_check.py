#!/usr/bin/python3
"""The tests read and run nothing outside the repository and its build
folder but the system's programs, and the extra corpus of real drawings
only when it is there: a clone alone can run them all.

Usage: paths_check.py CTEST SOURCE_DIR BUILD_DIR [EXTRA_CORPUS]

Looks at every test CTest knows in BUILD_DIR (its command, arguments,
working folder and environment) and at the compile definitions of the
programs built from tests/ and bench/ (compile_commands.json). Every
absolute path there, and every relative one that climbs out with "..",
must lie in SOURCE_DIR or BUILD_DIR, below /usr, /bin or /lib, or in
EXTRA_CORPUS, which must exist. Exit status 0 when all do, 1 otherwise.
"""
import json
import os
import re
import shlex
import subprocess
import sys

SYSTEM = ("/usr", "/bin", "/lib")


def candidates(text, base):
    """The paths within a value: the parts of a list or an assignment that
    look like paths, made absolute against `base`."""
    for part in re.split(r"[;=:]", text):
        part = part.strip().strip('"')
        if part.startswith("/"):
            yield os.path.normpath(part)
        elif part.startswith("../") or "/../" in part:
            yield os.path.normpath(os.path.join(base, part))


def test_values(ctest, build):
    """(where, value, base folder) for everything the tests are given."""
    listing = subprocess.run([ctest, "--show-only=json-v1"], cwd=build, capture_output=True, text=True,
                             check=True, timeout=120)
    for test in json.loads(listing.stdout)["tests"]:
        base = build
        for prop in test.get("properties", []):
            if prop["name"] == "WORKING_DIRECTORY":
                base = prop["value"]
        for word in test.get("command", []):
            yield test["name"], word, base
        for prop in test.get("properties", []):
            values = prop["value"] if isinstance(prop["value"], list) else [prop["value"]]
            for v in values:
                if isinstance(v, str):
                    yield f"{test['name']} {prop['name']}", v, base


def definition_values(source, build):
    with open(os.path.join(build, "compile_commands.json"), encoding="utf-8") as f:
        commands = json.load(f)
    for c in commands:
        if not c["file"].startswith((os.path.join(source, "tests") + "/", os.path.join(source, "bench") + "/")):
            continue
        for word in shlex.split(c["command"]):
            if word.startswith("-D") and "=" in word:
                yield os.path.relpath(c["file"], source) + " " + word.split("=")[0], word.split("=", 1)[1], \
                    c["directory"]


def main(argv):
    if len(argv) not in (4, 5):
        print(__doc__, file=sys.stderr)
        return 2
    ctest, source, build = argv[1], os.path.realpath(argv[2]), os.path.realpath(argv[3])
    allowed = [source, build] + list(SYSTEM)
    problems = []
    if len(argv) == 5:
        extra = os.path.realpath(argv[4])
        if not os.path.isdir(extra):
            problems.append(f"the extra corpus {extra} is not there")
        allowed.append(extra)

    def inside(path):
        real = os.path.realpath(path)
        return any(real == a or real.startswith(a + "/") for a in allowed)

    seen = 0
    for values in (test_values(ctest, build), definition_values(source, build)):
        for where, value, base in values:
            for path in candidates(value, base):
                seen += 1
                if not inside(path):
                    problems.append(f"{where}: {path}")
    for p in sorted(set(problems)):
        print("outside the repository:", p)
    print(f"{seen} paths, {len(set(problems))} outside")
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
