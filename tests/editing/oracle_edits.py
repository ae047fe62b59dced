#!/usr/bin/python3
"""Checks our editing operations with ezdxf, an independent DXF library.

Usage: oracle_edits.py EDIT_DRIVER DIR...

For the drawings named in EDITED below, found in the folders given (the
project's own drawings, made by make_drawings.py, and the real drawings of
an extra corpus when it is given), the driver moves, turns, mirrors,
scales, copies, arrays and deletes everything the model shows; then

  * ezdxf loads each result and its audit finds no error and nothing to
    fix that it did not fix in the original;
  * the geometry ezdxf computes for every edited object (its outline,
    flattened; a block reference, dimension or multileader by what it
    draws; a text by its insertion point, direction and height) is that of
    the original mapped by the same matrix (ezdxf's own transform),
    within 1e-6 of the drawing's size; copies are the originals moved;
  * a mirrored text reads forwards: mirrored in place and direction, its
    letters not.

Then, on the drawings named in RANDOM, 200 random edits of every kind
each: the audit finds no error,
every handle is used once, and undoing every step gives back the text of
the original but for $HANDSEED.

Prints a report; exit status 0 when everything holds, else 1.
"""
import math
import os
import subprocess
import sys
import tempfile
import time

import numpy

import ezdxf
from ezdxf import path as ezpath

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "writers"))
from oracle_writers import Report  # noqa: E402
from ezdxf.math import Matrix44, Vec3

COMPOSITE = {"INSERT", "DIMENSION", "MULTILEADER", "MLEADER"}
# What the editor shows and lets the user pick; what it steps over (a
# trace, a 3-D face) it does not edit.
EDITABLE = {"LINE", "POINT", "CIRCLE", "ARC", "ELLIPSE", "LWPOLYLINE", "POLYLINE", "SOLID", "TEXT", "MTEXT",
            "INSERT", "DIMENSION", "LEADER", "SPLINE", "RAY", "XLINE", "WIPEOUT", "VIEWPORT", "HATCH",
            "MULTILEADER", "MLEADER"}
TEXTS = {"TEXT", "ATTRIB", "MTEXT"}


# --- geometry ------------------------------------------------------------------------


def virtual(e):
    try:
        return list(e.virtual_entities())
    except Exception:  # what ezdxf cannot take apart has nothing to compare
        return []


def text_frame(e):
    """Insertion point, and the point one height along the baseline."""
    if e.dxftype() == "MTEXT":
        at = Vec3(e.dxf.insert)
        if e.dxf.hasattr("text_direction"):
            direction = Vec3(e.dxf.text_direction).normalize()
        else:
            direction = e.ocs().to_wcs(Vec3.from_deg_angle(e.dxf.get("rotation", 0)))
        return [[at, at + direction * e.dxf.char_height]]
    ocs = e.ocs()
    at = ocs.to_wcs(e.dxf.insert)
    direction = ocs.to_wcs(Vec3.from_deg_angle(e.dxf.get("rotation", 0)))
    frame = [[at, at + direction * e.dxf.height]]
    if e.dxf.get("halign", 0) or e.dxf.get("valign", 0):
        frame.append([ocs.to_wcs(e.dxf.align_point)])
    return frame


def hatch_lines(e, d):
    """A hatch's boundaries, each edge flattened on the curve itself."""
    from ezdxf.entities.boundary_paths import ArcEdge, EllipseEdge, LineEdge, SplineEdge, PolylinePath
    from ezdxf.math import ConstructionArc, bulge_to_arc

    ocs, z = e.ocs(), Vec3(e.dxf.elevation).z

    def world(points):
        return [ocs.to_wcs(Vec3(p.x, p.y, z)) for p in points]

    out = []
    for path in e.paths:
        if isinstance(path, PolylinePath):
            vertices = list(path.vertices)
            if path.is_closed and vertices:
                vertices.append(vertices[0])
            for (x1, y1, b), (x2, y2, _) in zip(vertices, vertices[1:]):
                if b:
                    centre, start, end, radius = bulge_to_arc((x1, y1), (x2, y2), b)
                    arc = ConstructionArc(centre, radius, math.degrees(start), math.degrees(end))
                    out.append(world(arc.flattening(d)))
                else:
                    out.append(world([Vec3(x1, y1), Vec3(x2, y2)]))
            continue
        for edge in path.edges:
            if isinstance(edge, LineEdge):
                out.append(world([Vec3(edge.start), Vec3(edge.end)]))
            elif isinstance(edge, ArcEdge):
                # A full circle (ezdxf's own transform leaves its end one
                # turn after its start, which its arcs take as no arc).
                start, end = edge.start_angle, edge.end_angle
                if start != end and math.isclose((end - start) % 360, 0, abs_tol=1e-9):
                    start, end = 0, 360
                out.append(world(ConstructionArc(edge.center, edge.radius, start, end).flattening(d)))
            elif isinstance(edge, EllipseEdge):
                out.append(world(edge.construction_tool().vertices(edge.construction_tool().params(720))))
            elif isinstance(edge, SplineEdge):
                out.append(world([Vec3(p) for p in edge.control_points] or [Vec3(p) for p in edge.fit_points]))
    return out


def polylines(e, size):
    """What entity `e` draws, as polylines of points in the world, each
    point on the curve itself."""
    t = e.dxftype()
    d = size * 1e-6
    if t in COMPOSITE:
        out = []
        for v in virtual(e):
            out += polylines(v, size)
        if t == "INSERT":
            for a in e.attribs:
                out += text_frame(a)
        return out
    if t in TEXTS:
        return text_frame(e)
    if t == "POINT":
        return [[Vec3(e.dxf.location)]]
    if t in ("XLINE", "RAY"):
        return [[Vec3(e.dxf.start), Vec3(e.dxf.start) + Vec3(e.dxf.unit_vector).normalize(size / 10)]]
    if t == "LEADER":
        return [[Vec3(v) for v in e.vertices]]
    if t == "VIEWPORT":
        c = Vec3(e.dxf.center)
        return [[c + Vec3(e.dxf.width / 2, e.dxf.height / 2), c - Vec3(e.dxf.width / 2, e.dxf.height / 2)]]
    if t in ("ARC", "CIRCLE"):
        return [list(e.flattening(d))]
    if t == "ELLIPSE":
        return [list(e.flattening(d))]
    if t == "POLYLINE" and (e.is_poly_face_mesh or e.is_polygon_mesh):
        return [[Vec3(v.dxf.location)] for v in e.vertices if v.dxf.flags & 64 or e.is_polygon_mesh]
    if t in ("LWPOLYLINE", "POLYLINE") and any(v[4] for v in getattr(e, "get_points", lambda f: [])("xyseb")) \
            or t == "POLYLINE" and any(v.dxf.get("bulge", 0) for v in e.vertices):
        out = []
        for v in virtual(e):
            out += polylines(v, size)
        return out
    if t == "HATCH":
        return hatch_lines(e, d)
    if t == "SPLINE":
        # A spline maps as its control points (and the points it was fitted
        # through): compared as they are, exactly.
        out = [[Vec3(p) for p in e.control_points]] if e.control_point_count() else []
        return out + ([[Vec3(p) for p in e.fit_points]] if e.fit_point_count() else [])
    try:
        p = ezpath.make_path(e)
    except (TypeError, ValueError, ezdxf.DXFError):
        return []
    out = []
    for sub in p.sub_paths() if p.has_sub_paths else [p]:
        pts = list(sub.flattening(d))
        if pts:
            out.append(pts)
    return out


def copied(e):
    """A copy of `e`, without its extension dictionary (which ezdxf cannot
    always copy, and which has nothing to draw)."""
    xdict = e.extension_dict
    e.extension_dict = None
    try:
        return e.copy()
    finally:
        e.extension_dict = xdict


def transformed(e, m, size):
    """What `e` draws once ezdxf has mapped it by `m`."""
    if e.dxftype() in COMPOSITE:
        out = []
        for v in virtual(e):
            out += transformed(v, m, size)
        if e.dxftype() == "INSERT":
            for a in e.attribs:
                out += transformed(a, m, size)
        return out
    try:
        c = copied(e)
        c.transform(m)
    except Exception as x:  # noqa: BLE001 - a kind ezdxf cannot map is not compared
        return None
    return polylines(c, size)


def farthest(points, lines):
    """The largest distance of any of `points` from the nearest of `lines`."""
    starts, ends = [], []
    for line in lines:
        if len(line) == 1:
            starts.append(line[0]), ends.append(line[0])
        starts += line[:-1]
        ends += line[1:]
    a = numpy.array([tuple(q) for q in starts])
    ab = numpy.array([tuple(q) for q in ends]) - a
    length2 = numpy.maximum((ab * ab).sum(axis=1), 1e-300)
    worst = 0.0
    # Evenly spread points of the one against every segment of the other:
    # a wrong map shows at any of them.
    p = numpy.array([tuple(q) for q in points[::max(1, len(points) // 2000)]])
    step = max(1, 2000000 // max(1, len(a)))
    for k in range(0, len(p), step):
        chunk = p[k:k + step, None, :]
        t = numpy.clip(((chunk - a) * ab).sum(axis=2) / length2, 0, 1)
        d = numpy.linalg.norm(chunk - (a + ab * t[:, :, None]), axis=2)
        worst = max(worst, float(d.min(axis=1).max()))
    return worst


def apart(a, b):
    """How far the two sets of polylines are apart (Hausdorff, on their
    points against the other's segments)."""
    if not a and not b:
        return 0.0
    if not a or not b:
        return math.inf
    return max(farthest([p for line in a for p in line], b), farthest([p for line in b for p in line], a))


def readable(e):
    """A text reads forwards: its letters are not mirrored."""
    if e.dxftype() == "MTEXT":
        return Vec3(e.dxf.extrusion).z > 0
    ocs = e.ocs()
    r = e.dxf.get("rotation", 0)
    x, y = ocs.to_wcs(Vec3.from_deg_angle(r)), ocs.to_wcs(Vec3.from_deg_angle(r + 90))
    mirrored = bool(e.dxf.get("text_generation_flag", 0) & 2) != bool(e.dxf.get("text_generation_flag", 0) & 4)
    return (x.cross(y).z > 0) != mirrored


# --- the edits --------------------------------------------------------------------------


def matrix(op, a):
    if op in ("move", "copy"):
        return Matrix44.translate(a[0], a[1], 0)
    x1, y1, x2, y2 = a
    phi = math.atan2(y2 - y1, x2 - x1)
    to, back = Matrix44.translate(-x1, -y1, 0), Matrix44.translate(x1, y1, 0)
    if op == "rotate":
        return Matrix44.chain(to, Matrix44.z_rotate(phi), back)
    if op == "mirror":
        return Matrix44.chain(to, Matrix44.z_rotate(-phi), Matrix44.scale(1, -1, 1), Matrix44.z_rotate(phi), back)
    s = math.hypot(x2 - x1, y2 - y1)
    return Matrix44.chain(to, Matrix44.scale(s, s, s), back)


def run(driver, *args):
    r = subprocess.run([driver, *map(str, args)], capture_output=True, text=True, timeout=120)
    return r.returncode, (r.stdout + r.stderr).strip()


def audit(doc):
    a = doc.audit()
    return [e.message for e in a.errors], len(a.fixes)


def size_of(doc):
    size = 1.0
    for e in doc.modelspace():
        for line in polylines(e, 1.0):
            for p in line:
                size = max(size, abs(p.x), abs(p.y))
    return min(size, 1e6)


def check_edits(report, driver, path, tmp):
    name = os.path.basename(path)
    started = time.time()
    print(f"{name}:")
    original = ezdxf.readfile(path)
    base_fixes = audit(original)[1]
    size = size_of(original)
    c = round(size / 3) + 0.375
    ops = [
        ("move", [12.5, -7.25]),
        ("rotate", [c, -c, c + 1, 2 - c]),
        ("mirror", [c, c / 2, c + 3, c / 2 + math.sqrt(3)]),
        ("scale", [-c, c, -c + 2.5, c]),
        ("copy", [size / 7, -size / 9]),
        ("array", [2, 2, size / 5, size / 6, 30]),
        ("delete", []),
    ]
    msp = [e for e in original.modelspace() if e.dxftype() in EDITABLE]
    for op, a in ops:
        out = os.path.join(tmp, f"{name}.{op}.dxf")
        code, said = run(driver, path, out, op, *a)
        if not report.check(code == 0, f"{name} {op}", said):
            continue
        doc = ezdxf.readfile(out)
        errors, fixes = audit(doc)
        report.check(not errors and fixes <= base_fixes, f"{name} {op}: audit", f"{errors} {fixes} fixes")
        edited = [e for e in doc.modelspace() if e.dxftype() in EDITABLE]
        if op == "delete":
            report.check(not edited, f"{name} delete: the model is empty", f"{len(edited)} left")
            continue
        if op in ("copy", "array"):
            cells = 1 if op == "copy" else 3
            report.check(len(edited) == len(msp) * (cells + 1), f"{name} {op}: count", f"{len(edited)}")
            offsets = [a[:2]] if op == "copy" else []
            if op == "array":
                turn = Matrix44.z_rotate(math.radians(a[4]))
                for i in range(2):
                    for j in range(2):
                        if i or j:
                            offsets.append(list(turn.transform(Vec3(a[2] * i, a[3] * j, 0)))[:2])
            pairs = []
            for k, (dx, dy) in enumerate(offsets):
                pairs += [(o, n, Matrix44.translate(dx, dy, 0))
                          for o, n in zip(msp, edited[len(msp) * (k + 1):len(msp) * (k + 2)])]
            new_handles = {e.dxf.handle for e in edited[len(msp):]}
            report.check(len(new_handles) == len(edited) - len(msp) and not new_handles & {e.dxf.handle for e in msp},
                         f"{name} {op}: new handles")
        else:
            m = matrix(op, a)
            by_handle = {e.dxf.handle: e for e in edited}
            pairs = [(o, by_handle.get(o.dxf.handle), m) for o in msp]
        worst, where = 0.0, ""
        for o, n, m in pairs:
            if n is None:
                report.check(False, f"{name} {op}: {o.dxftype()} {o.dxf.handle} is gone")
                continue
            want = transformed(o, m, size)
            if want is None:
                continue
            off = apart(polylines(n, size), want)
            if off > worst:
                worst, where = off, f"{o.dxftype()} {o.dxf.handle}"
            if op == "mirror" and n.dxftype() in TEXTS:
                report.check(readable(n), f"{name} mirror: {n.dxftype()} {n.dxf.handle} reads forwards")
        report.check(worst <= size * 3e-6, f"{name} {op}: geometry", f"{where} off by {worst:.3g} (size {size:.3g})")
        print(f"  {op}: {len(pairs)} objects, worst {worst:.2g} ({time.time() - started:.1f} s)")


def check_random(report, driver, path, tmp, seed):
    name = os.path.basename(path)
    edited, undone = os.path.join(tmp, f"{name}.edited.dxf"), os.path.join(tmp, f"{name}.undone.dxf")
    code, said = run(driver, "random", path, seed, 200, edited, undone)
    print(f"{name}: random edits: {said}")
    if not report.check(code == 0, f"{name} random edits", said):
        return
    doc = ezdxf.readfile(edited)
    errors, fixes = audit(doc)
    base_fixes = audit(ezdxf.readfile(path))[1]
    report.check(not errors and fixes <= base_fixes, f"{name} random edits: audit", f"{errors[:3]} {fixes} fixes")
    with open(edited, encoding="utf-8", errors="replace") as f:
        lines = [line.strip() for line in f.read().splitlines()]
    # (An R12 dimension style's group 5 names a block, no handle.)
    handles, kind = [], ""
    for k in range(0, len(lines) - 1, 2):
        if lines[k] == "0":
            kind = lines[k + 1]
        if lines[k] == "105" or lines[k] == "5" and kind != "DIMSTYLE":
            handles.append(lines[k + 1])
    seen, twice = set(), set()
    for h in handles:
        (twice if h in seen else seen).add(h)
    report.check(not twice, f"{name} random edits: every handle once", f"{sorted(twice)[:5]}")

    def text(p):
        with open(p, "rb") as f:
            out = f.read().replace(b"\r\n", b"\n").rstrip(b"\n").split(b"\n")
        for k in range(len(out) - 3):
            if out[k].strip() == b"$HANDSEED":
                out[k + 2] = b""
        return out

    report.check(text(undone) == text(path), f"{name} random edits: undo gives the text back")
    # When redo exists: redoing every step gives EDITED back.


# The drawings every edit is checked on, and those of the random edits: ours
# (R12 to R2018), then those of the extra corpus when it is given (R12,
# R14, R2007, R2010, R2013, R2018, drawn by other programs).
OURS = ("kinds_r12.dxf", "kinds_r2000.dxf", "kinds_r2018.dxf")
EDITED = OURS + ("fingerprint.dxf", "SquareWithCircleHoleSimpleR12.dxf", "F100.dxf", "Tiglet_File.dxf",
                 "langmuirsystems.dxf", "mtext-test.dxf", "dragon.dxf")
RANDOM = OURS + ("gear.dxf", "Gear.dxf", "F100.dxf", "Tiglet_File.dxf")


def main():
    driver, folders = sys.argv[1], sys.argv[2:]
    report = Report()
    found = {}
    for folder in folders:
        for name in os.listdir(folder):
            found.setdefault(name, os.path.join(folder, name))
    for name in OURS:
        report.check(name in found, f"{name} is there")
    with tempfile.TemporaryDirectory() as tmp:
        for name in EDITED:
            if name in found:
                check_edits(report, driver, found[name], tmp)
        for seed, name in enumerate(RANDOM):
            if name in found:
                check_random(report, driver, found[name], tmp, seed + 1)
    print(f"{report.checks} checks, {report.failures} failed")
    return 1 if report.failures else 0


if __name__ == "__main__":
    sys.exit(main())
