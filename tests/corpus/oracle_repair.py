#!/usr/bin/python3
"""`vestrel --repair` of every drawing, as ezdxf sees what it writes.

Usage: oracle_repair.py VESTREL DIR...
       (every .dxf in the folders and below them, and in
       $VESTREL_EXTRA_CORPUS when that is set)

For every drawing our program can read, `--repair IN OUT` must exit 0 and
write OUT; `--check OUT` must read it; ezdxf (an independent reader) must
load OUT whenever it loads IN, and its audit of OUT must find no error
where its audit of IN found none. A drawing our program cannot read must
make `--repair` exit 2 and write nothing.

Exit status: 0 when every drawing passes, 1 otherwise, 2 on bad usage.
"""
import logging
import os
import subprocess
import sys
import tempfile

import ezdxf

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from oracle_counts import drawings, program_and_folders  # noqa: E402


def audit_errors(path):
    """ezdxf's audit errors of the file, or None when it cannot load it."""
    try:
        doc = ezdxf.readfile(path)
    except Exception:  # any load failure: ezdxf does not take the file
        return None
    return [f"{e.code}: {e.message}" for e in doc.audit().errors]


def check_file(vestrel, path, out):
    run = lambda *args: subprocess.run([vestrel, *args], capture_output=True, text=True, errors="replace")
    readable = run("--check", path).returncode != 2
    if os.path.exists(out):
        os.remove(out)
    repair = run("--repair", path, out)
    name = os.path.basename(path)
    if not readable:
        if repair.returncode != 2 or os.path.exists(out):
            return f"FAIL {name}: unreadable, but --repair exited {repair.returncode}"
        return None
    if repair.returncode != 0 or not os.path.exists(out):
        return f"FAIL {name}: --repair exited {repair.returncode}: {repair.stderr.strip()}"
    if run("--check", out).returncode == 2:
        return f"FAIL {name}: --check cannot read the repaired drawing"
    before, after = audit_errors(path), audit_errors(out)
    if before is not None and after is None:
        return f"FAIL {name}: ezdxf loads the drawing but not its repair"
    if before == [] and after:
        return f"FAIL {name}: ezdxf's audit of the repair: {after[:3]}"
    print(f"ok   {name}: {repair.stdout.strip()}")
    return None


def main(argv):
    arguments = program_and_folders(argv, __doc__)
    if not arguments:
        return 2
    vestrel, folders = arguments
    logging.disable(logging.CRITICAL)  # ezdxf's complaints about the drawings themselves
    failures = []
    with tempfile.TemporaryDirectory() as tmp:
        paths = drawings(folders)
        for path in paths:
            failure = check_file(vestrel, path, os.path.join(tmp, "repaired.dxf"))
            if failure:
                print(failure)
                failures.append(failure)
    print(f"summary: {len(paths)} drawings, {len(failures)} fail")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
