#!/usr/bin/python3
"""Compare the entity counts of `vestrel --info` with those of ezdxf.

Usage: oracle_counts.py VESTREL DIR...
       (every .dxf in the folders and below them, and in
       $VESTREL_EXTRA_CORPUS when that is set)

For every drawing, ezdxf (an independent reader) loads the file and counts,
per kind, the entities of the kinds our reader turns into display-list
entries: those of the model space, of every paper space layout and of every
block definition.  Our program's `entities KIND: N` lines must agree kind by
kind.  A difference is allowed only where EXPLAINED below says why, and an
entry there that no longer matches what happens fails the run too, so the
table never goes stale.

A drawing ezdxf cannot load at all (not even with its recover mode) is
reported and skipped; our program must still read it without crashing.

Exit status: 0 when every drawing agrees, 1 otherwise, 2 on bad usage.
"""
import collections
import logging
import os
import re
import subprocess
import sys

import ezdxf
from ezdxf import recover
from ezdxf.document import Drawing

# The kinds that become display-list entries; everything else is stepped
# over and is not compared here.
KINDS = frozenset({
    "VIEWPORT", "POLYLINE", "DIMENSION", "RAY", "XLINE", "LINE", "LWPOLYLINE",
    "LEADER", "HATCH", "WIPEOUT", "SOLID", "POINT", "SPLINE", "ARC", "CIRCLE",
    "ELLIPSE", "TEXT", "MTEXT", "INSERT", "MULTILEADER", "ATTRIB", "TRACE",
})

# Differences between our reader and ezdxf that are not faults, found by
# reading the drawing itself:
#   {"file.dxf": {"KIND": (ours, ezdxf, "why")}}
# Keys are file names without folder.  Each entry must happen exactly as
# written: if either count changes, the run fails until the entry is fixed
# or removed.
#
# Nothing needs explaining in the corpus beside the repository today.  The
# R13/R14 drawings there (F100, Pinapple, SingleSpline) would differ by the
# 20 dimension arrow blocks that ezdxf adds while loading such files; those
# are left out of the ezdxf side below, as they are not in the file.
CUT_SHORT = ("the file ends inside its ENTITIES section: ezdxf's recover mode "
             "leaves out the section that has no ENDSEC, we read what is there")
EXPLAINED = {
    "cut_short.dxf": {"LINE": (1, 0, CUT_SHORT), "LWPOLYLINE": (1, 0, CUT_SHORT)},
}

TIMEOUT_S = 120
INFO_KIND = re.compile(r"^entities (.+): (\d+)$")
INFO_TOTAL = re.compile(r"^entities: (\d+)$")


# ezdxf upgrades R13/R14 drawings to R2000 while loading them, and on the way
# it creates every standard dimension arrow block (_CLOSEDFILLED, _DOT, ...)
# that the file lacks.  Those blocks and their entities are ezdxf's own
# making, so we note which blocks the upgrade added and leave them uncounted.
_create_all_arrow_blocks = Drawing.create_all_arrow_blocks


def _noting_arrow_blocks(doc):
    before = {block.name.upper() for block in doc.blocks}
    _create_all_arrow_blocks(doc)
    doc.oracle_made_blocks = {
        block.name.upper() for block in doc.blocks} - before


Drawing.create_all_arrow_blocks = _noting_arrow_blocks


class _Remarks(logging.Handler):
    """Keeps what ezdxf logs while loading one drawing, to print with it."""

    def __init__(self):
        super().__init__(logging.WARNING)
        self.messages = []

    def emit(self, record):
        self.messages.append(record.getMessage())


_remarks = _Remarks()
logging.getLogger("ezdxf").addHandler(_remarks)
logging.getLogger("ezdxf").propagate = False


def load_with_ezdxf(path):
    """Return (doc, how) or (None, reason)."""
    try:
        return ezdxf.readfile(path), "readfile"
    except Exception as first:  # any load failure: try the recover mode
        first_error = f"{type(first).__name__}: {first}"
    try:
        doc, _auditor = recover.readfile(path)
        return doc, f"recover ({first_error})"
    except Exception as second:
        return None, (f"readfile: {first_error}; "
                      f"recover: {type(second).__name__}: {second}")


def ezdxf_counts(doc):
    """Count our kinds in every block layout, the layout blocks included.

    doc.blocks holds *Model_Space and the *Paper_Space blocks as well as the
    block definitions, so walking it alone visits every layout exactly once.
    """
    made = getattr(doc, "oracle_made_blocks", set())
    counts = collections.Counter()
    made_entities = 0
    seen = set()
    for block in doc.blocks:
        name = block.name.upper()
        if name in seen:
            raise RuntimeError(f"ezdxf lists block {block.name!r} twice")
        seen.add(name)
        entities = [e.dxftype() for e in block]
        if name in made:
            made_entities += len(entities)
            continue
        counts.update(kind for kind in entities if kind in KINDS)
        # The attributes that follow a reference are entries of their own.
        attribs = sum(len(e.attribs) for e in block if e.dxftype() == "INSERT")
        if attribs:
            counts["ATTRIB"] += attribs
    for layout in doc.layouts:
        name = layout.block_record.dxf.name.upper()
        if name not in seen:
            raise RuntimeError(f"layout {layout.name!r} has no block in doc.blocks")
    return counts, len(made), made_entities


class Crash(RuntimeError):
    """vestrel died or hung: a fault whatever the drawing holds."""


def vestrel_counts(vestrel, path):
    """Return (counts, total, stepped lines) or raise RuntimeError."""
    try:
        run = subprocess.run([vestrel, "--info", path], capture_output=True,
                             text=True, errors="replace", timeout=TIMEOUT_S)
    except subprocess.TimeoutExpired:
        raise Crash(f"vestrel --info took more than {TIMEOUT_S} s")
    if run.returncode < 0:
        raise Crash(f"vestrel --info died with signal {-run.returncode}")
    if run.returncode != 0:
        raise RuntimeError(f"vestrel --info exit {run.returncode}: "
                           f"{run.stderr.strip()}")
    counts = collections.Counter()
    total = None
    stepped = []
    for line in run.stdout.splitlines():
        m = INFO_TOTAL.match(line)
        if m:
            total = int(m.group(1))
            continue
        m = INFO_KIND.match(line)
        if m:
            kind = m.group(1)
            if kind in counts:
                raise RuntimeError(f"vestrel --info names {kind!r} twice")
            counts[kind] = int(m.group(2))
        elif line.startswith("stepped over "):
            stepped.append(line[len("stepped over "):])
    if total is None:
        raise RuntimeError("vestrel --info printed no 'entities: N' line")
    if total != sum(counts.values()):
        raise RuntimeError(f"vestrel --info: 'entities: {total}' but the kinds "
                           f"add up to {sum(counts.values())}")
    return counts, total, stepped


def check_file(vestrel, path, used_explanations):
    """Print the comparison of one drawing; return 'ok', 'fail' or 'skip'."""
    name = os.path.basename(path)
    _remarks.messages.clear()
    doc, how = load_with_ezdxf(path)
    try:
        ours, total, stepped = vestrel_counts(vestrel, path)
        our_side = f"ours: {total} entities"
    except Crash as e:
        print(f"FAIL {name}: {e}")
        return "fail"
    except RuntimeError as e:
        if doc is not None:
            print(f"FAIL {name}: {e}")
            return "fail"
        our_side = str(e)
    if doc is None:
        # Neither side's count can be checked; ours only must not crash.
        print(f"skip {name}: ezdxf cannot load it ({how}); {our_side}")
        return "skip"
    try:
        theirs, made_blocks, made_entities = ezdxf_counts(doc)
    except RuntimeError as e:
        print(f"FAIL {name}: {e}")
        return "fail"

    notes = [f"ezdxf {how}, {doc.acad_release}"]
    if made_blocks:
        notes.append(f"{made_blocks} blocks ({made_entities} entities) "
                     f"made by ezdxf not counted")
    if stepped:
        notes.append("stepped over " + ", ".join(stepped))
    notes += [f"ezdxf says: {m}" for m in dict.fromkeys(_remarks.messages)]
    explained = EXPLAINED.get(name, {})
    rows = []
    failed = False
    for kind in sorted(set(ours) | set(theirs) | set(explained)):
        a, b = ours.get(kind, 0), theirs.get(kind, 0)
        if kind in explained:
            used_explanations.add((name, kind))
            want_a, want_b, _why = explained[kind]
            if (a, b) == (want_a, want_b):
                status = "explained"
            else:
                status = f"STALE (table says {want_a}/{want_b})"
                failed = True
        elif a == b:
            status = ""
        else:
            status = "DIFFERS"
            failed = True
        rows.append((kind, a, b, status))

    print(f"{'FAIL' if failed else 'ok  '} {name}: ours {total}, "
          f"ezdxf {sum(theirs.values())}; " + "; ".join(notes))
    for kind, a, b, status in rows:
        print(f"       {kind:<11} {a:>6} {b:>6}  {status}".rstrip())
        if kind in explained:
            print(f"         ({explained[kind][2]})")
    return "fail" if failed else "ok"


def drawings(folders):
    found = []
    for folder in folders + [os.environ.get("VESTREL_EXTRA_CORPUS")]:
        if not folder:
            continue
        if not os.path.isdir(folder):
            raise RuntimeError(f"no such folder: {folder}")
        found += sorted(os.path.join(d, f) for d, _, files in os.walk(folder) for f in files
                        if f.lower().endswith(".dxf"))
    return found


def program_and_folders(argv, usage):
    """VESTREL and the folders of the arguments; None, said why, when they are wrong."""
    if len(argv) < 3:
        print(usage.strip().splitlines()[2], file=sys.stderr)
        return None
    if not os.access(argv[1], os.X_OK):
        print(f"not an executable: {argv[1]}", file=sys.stderr)
        return None
    return argv[1], argv[2:]


def main(argv):
    arguments = program_and_folders(argv, __doc__)
    if not arguments:
        return 2
    vestrel, folders = arguments
    try:
        paths = drawings(folders)
    except RuntimeError as e:
        print(e, file=sys.stderr)
        return 2
    if not paths:
        print(f"no .dxf drawings in {', '.join(folders)}", file=sys.stderr)
        return 2
    names = collections.Counter(os.path.basename(p) for p in paths)
    clash = [n for n, c in names.items() if c > 1 and n in EXPLAINED]
    if clash:
        print(f"explained drawings found more than once: {', '.join(clash)}",
              file=sys.stderr)
        return 2

    print(f"ezdxf {ezdxf.__version__}; columns: kind, ours, ezdxf")
    used = set()
    results = collections.Counter(check_file(vestrel, p, used) for p in paths)

    # An explanation whose drawing was found but could not be compared can
    # no longer be confirmed, so it fails; one whose drawing is not among
    # those checked (it may live in another VESTREL_EXTRA_CORPUS) is noted.
    present = {os.path.basename(p) for p in paths}
    unused = [(f, k) for f, kinds in EXPLAINED.items() for k in kinds
              if (f, k) not in used and f in present]
    absent = sorted(f for f in EXPLAINED if f not in present)
    for f, k in unused:
        print(f"FAIL table entry {f} {k} could not be checked "
              f"(ezdxf or vestrel could not read the drawing)")
    for f in absent:
        print(f"note: table entries for {f} not checked, no such drawing here")

    print(f"summary: {len(paths)} drawings, {results['ok']} agree, "
          f"{results['fail']} fail, {results['skip']} skipped "
          f"(ezdxf cannot load them), {len(unused)} table entries unchecked")
    return 1 if results["fail"] or unused else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
