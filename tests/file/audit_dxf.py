#!/usr/bin/python3
"""Load DXF files with ezdxf, audit them and report problems.

Usage: audit_dxf.py [--expect-version ACxxxx] FILE...

Exit status is 1 if any file cannot be loaded, has audit errors or (with
--expect-version) has another DXF version; otherwise 0.  Audit fixes are
printed but do not fail the run.
"""
import argparse
import sys

import ezdxf


def audit_file(path, expect_version):
    try:
        doc = ezdxf.readfile(path)
    except Exception as e:  # any load failure counts as a failed file
        print(f"{path}: cannot load: {type(e).__name__}: {e}")
        return False

    ok = True
    if expect_version and doc.dxfversion != expect_version:
        print(f"{path}: version {doc.dxfversion}, expected {expect_version}")
        ok = False

    auditor = doc.audit()
    print(f"{path}: {doc.dxfversion}, "
          f"{len(auditor.errors)} error(s), {len(auditor.fixes)} fix(es)")
    for entry in auditor.errors:
        print(f"  error {entry.code}: {entry.message}")
    for entry in auditor.fixes:
        print(f"  fixed {entry.code}: {entry.message}")
    if auditor.has_errors:
        ok = False
    return ok


def main(argv=None):
    parser = argparse.ArgumentParser(description="Audit DXF files with ezdxf.")
    parser.add_argument("--expect-version", metavar="ACxxxx",
                        help="fail unless $ACADVER equals this value")
    parser.add_argument("files", nargs="+", metavar="FILE")
    args = parser.parse_args(argv)

    results = [audit_file(path, args.expect_version) for path in args.files]
    return 0 if all(results) else 1


if __name__ == "__main__":
    sys.exit(main())
