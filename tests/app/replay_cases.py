#!/usr/bin/python3
"""Replay scripts run by the real program, offscreen: what they print, how
they end, and the files they write (or, when a line cannot run, do not).

Usage: replay_cases.py VESTREL DRAWINGS_DIR MADE_DIR

Each case is a script with its command line; @DRAWINGS@ (tests/drawings),
@MADE@ (the drawings make_drawings.py made) and @TMP@ (a fresh folder for
the case) stand for those folders, @USER@ for the per-user
program folder below it ($XDG_DATA_HOME/Korvel/Vestrel), @SCRIPT@ for
the script's path and @HOST@ for this machine's name. A case's
"meanwhile" lets other programs act while its replay waits ("wait FILE");
its "setup" makes what it needs in @TMP@ first, its "memory" limits the
replay's address space to that many bytes, and its "seconds" is the most
its run may take.
Exit status 0 when every case holds, 1 otherwise.
"""
import math
import os
import resource
import shutil
import signal
import socket
import struct
import subprocess
import sys
import tempfile
import threading
import time
import time

import ezdxf

# A replay that has not ended by then is killed, and its case fails.
LIMIT_S = 120

# The numbers of the messages about a drawing's file and other programs,
# and of recovery.
MSG_CHANGED_ON_DISK, MSG_OPEN_ELSEWHERE = 53, 55
MSG_NOTHING_TO_RECOVER = 59
# The macros' and the dictionary's.
MSG_MACRO_STOPPED, MSG_MACRO_UNREADABLE, MSG_CELL_TOO_LONG = 48, 67, 66

# The dictionary shipped with the program; the cases work on copies of it.
DICTIONARY = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "translations", "translate.dat")
with open(DICTIONARY, "rb") as _f:
    TRUNCATED_DICTIONARY = _f.read()[:3001]
# What the next start says of a damaged per-user dictionary, kept as {kept}.
DAMAGED_DICTIONARY = ("message 43: Die Übersetzungsdatei ist beschädigt und wurde nur gelesen, soweit sie lesbar ist. "
                      "Bevor das Wörterbuch neu geschrieben wird, wird sie als translate.dat.bad aufbewahrt: "
                      "@USER@/{kept}\\nDie Datei endet vor ihrem letzten Eintrag.")

def sparse_file(path, size):
    """A file of `size` bytes that takes no room on the disk."""
    with open(path, "wb") as f:
        f.truncate(size)


# A polyline of 22 vertices, 98 lines: nearly 100,000 copies of it are
# nearly the ten million lines an array may add, and take seconds.
POLYLINE_OF_22 = ("  0\nSECTION\n  2\nENTITIES\n  0\nLWPOLYLINE\n  5\n30\n  8\n0\n 90\n22\n 70\n0\n" +
                  "".join(f" 10\n{i}\n 20\n{i % 2}\n" for i in range(22)) +
                  "  0\nENDSEC\n  0\nEOF\n").encode()

# Ten blocks, each inserting the next five times over, the last a text: the
# drawing inserts the first, which draws nearly ten million texts.
def _fan_out():
    blocks = ""
    for k in range(10):
        blocks += f"  0\nBLOCK\n  2\nB{k}\n 70\n0\n 10\n0\n 20\n0\n  3\nB{k}\n"
        if k < 9:
            blocks += "".join(f"  0\nINSERT\n  8\n0\n  2\nB{k + 1}\n 10\n{r}\n 20\n{r / 2}\n" for r in range(5))
        else:
            blocks += "  0\nTEXT\n  8\n0\n 10\n0\n 20\n0\n 40\n1\n  1\nHallo\n"
        blocks += "  0\nENDBLK\n"
    return ("  0\nSECTION\n  2\nBLOCKS\n" + blocks + "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"
            "  0\nINSERT\n  8\n0\n  2\nB0\n 10\n0\n 20\n0\n  0\nENDSEC\n  0\nEOF\n").encode()


FAN_OUT = _fan_out()

# One object of every kind, drawn with the mouse (Ctrl held: taken where
# clicked, not snapped) and with typed points. {new} starts the drawing; the
# tools an R12 drawing has no entities for are refused with a message there.
EVERY_KIND = """
    {new}
    trigger LineBtn
    click @0,0 ctrl
    click @2,0 ctrl
    click @2,1 ctrl
    click @2,1 right
    {answer_xline}
    trigger Konstruktionslinie1
    typed 1 9
    typed 2 10
    click @2,10 right
    {answer_ray}
    trigger Strahl1
    typed 3 9
    typed 4 9
    click @4,9 right
    trigger ArrowBtn
    click @0,2 ctrl
    click @2,2 ctrl
    click @2,2 right
    # a straight segment, then an arc leaving it tangentially
    trigger PolyLineBtn
    click @3,0 ctrl
    click @5,0 ctrl
    trigger Kreisbogen2
    move @5,2 ctrl
    click @5,2 ctrl
    click @5,2 right
    trigger Fertig1
    # typed points only: a quarter circle after a straight segment
    trigger PolyLineBtn
    typed 13 0
    typed 15 0
    trigger Kreisbogen2
    typed 16 1
    trigger Fertig1
    trigger PenBtn
    press @6,0 ctrl
    move @7,1 left ctrl
    move @8,0 left ctrl
    release @8,0
    {spline}
    trigger RectangleBtn
    click @4,3 ctrl
    click @6,4 ctrl
    trigger StartMitteEnde1
    click @8,0 ctrl
    click @9,1 ctrl
    click @10,0 ctrl
    trigger N3PunkteStartEndeMitte1
    click @8,2 ctrl
    click @10,2 ctrl
    click @9,3 ctrl
    trigger MittelpunktStart1
    click @11,1 ctrl
    click @12,1 ctrl
    click @11,2 ctrl
    trigger MittelpunktRadius1
    click @1,7 ctrl
    click @2,7 ctrl
    trigger MittelpunktDurchmesser1
    click @4,7 ctrl
    click @6,7 ctrl
    trigger N2Punkte1
    click @7,6 ctrl
    click @9,6 ctrl
    trigger N3Punkte1
    click @10,6 ctrl
    click @11,7 ctrl
    click @12,6 ctrl
    answer PolygonForm EckenEd=6 ok
    trigger PolyGon
    click @6,9 ctrl
    click @7,9 ctrl
    {ellipses}
    trigger SolidBtn
    click @7,4 ctrl
    click @8,4 ctrl
    click @7,5 ctrl
    click @8,5 ctrl
    trigger DimensionBtn
    typed 5 5
    typed 7 5
    answer AddTextForm ok
    typed 6 6
    trigger TextBtn
    answer AddTextForm Memo1="Hallo\\nWelt" FontSizeEd=0.3 ok
    {answer_text}
    click @9,9 ctrl
    trigger PointBtn
    click @12,10 ctrl
    click @12,9 ctrl
    click @12,9 right
    saveas @TMP@/every.dxf
    state
"""

SPLINE = """
    trigger SplineBtn
    click @0,4 ctrl
    click @1,5 ctrl
    click @2,4 ctrl
    click @3,5 ctrl
    trigger Fertig1
    click @-1,4 ctrl
    click @4,5 ctrl
"""

ELLIPSES = """
    trigger EllipseBtn
    click @8,8 ctrl
    click @12,8 ctrl
    click @10,9 ctrl
    trigger Ellipsenbogen1
    click @8,3 ctrl
    click @12,3 ctrl
    click @10,4 ctrl
    click @12,4 ctrl
    click @10,5 ctrl
"""


# The editing tools on a line and a circle: picked by a window, then each
# tool on "Alles Auswählen" (Ctrl+A), the rotation by its dialog.
EDITS = """
    new
    trigger LineBtn
    click @1,1 ctrl
    click @5,1 ctrl
    click @5,1 right
    trigger MittelpunktRadius1
    click @3,3 ctrl
    click @4,3 ctrl
    # a window round both
    click @0,0.5
    click @6,4.5
    state
    trigger MoveBtn
    click @1,1 ctrl
    # the ghost shows on the way
    move @4,4 ctrl
    state
    click @3,1 ctrl
    trigger RotationsrichtungperTastatureingeben1
    key ctrl+a
    trigger RotateBtn
    answer RotationsForm RotEd=30 ok
    click @3,1 ctrl
    key ctrl+a
    trigger MirrorBtn
    click @0,5 ctrl
    click @1,5 ctrl
    key ctrl+a
    trigger ScaleBtn
    answer SkalierungForm SkalEd=50 ok
    click @0,0 ctrl
    key ctrl+a
    trigger CopyBtn
    click @0,0 ctrl
    click @0,5 ctrl
    key ctrl+a
    answer ArrayForm SpaltenEd=2 ZeilenEd=1 SpaltenAbstandEd=6 ZeilenAbstandEd=0 RotierenEd=0 ok
    trigger ArrayBtn
    # everything deleted, and back
    key ctrl+a
    key Del
    state
    key ctrl+z
    # all red, taken back and done again
    key ctrl+a
    combo ColorComboBox Rot
    key ctrl+z
    key ctrl+y
    saveas @TMP@/edits.dxf
    state
"""


def check_edits(doc):
    """What is wrong with the drawing of EDITS: the line and the circle
    moved, turned 30 degrees clockwise, mirrored, halved, copied and
    arrayed, as ezdxf maps them."""
    import math
    from ezdxf.math import Matrix44, Vec3
    m = Matrix44.chain(
        Matrix44.translate(2, 0, 0),
        Matrix44.translate(-3, -1, 0), Matrix44.z_rotate(math.radians(-30)), Matrix44.translate(3, 1, 0),
        Matrix44.translate(0, -5, 0), Matrix44.scale(1, -1, 1), Matrix44.translate(0, 5, 0),
        Matrix44.scale(0.5, 0.5, 0.5))
    wanted_lines, wanted_circles = [], []
    for dx, dy in ((0, 0), (0, 5), (6, 0), (6, 5)):
        shift = Matrix44.translate(dx, dy, 0)
        wanted_lines.append([shift.transform(m.transform(Vec3(x, 1, 0))) for x in (1, 5)])
        wanted_circles.append(shift.transform(m.transform(Vec3(3, 3, 0))))
    msp = doc.modelspace()
    problems = []
    lines = [[e.dxf.start, e.dxf.end] for e in msp.query("LINE")]
    circles = [(e.dxf.center, e.dxf.radius) for e in msp.query("CIRCLE")]
    if len(lines) != 4 or len(circles) != 4:
        return [f"{len(lines)} lines and {len(circles)} circles, wanted 4 and 4"]
    for w in wanted_lines:
        if not any(near(a, w[0], 1e-9) and near(b, w[1], 1e-9) for a, b in lines):
            problems.append(f"no line from {w[0]} to {w[1]}: {lines}")
    for w in wanted_circles:
        if not any(near(c, w, 1e-9) and near([r], [0.5], 1e-9) for c, r in circles):
            problems.append(f"no circle round {w} of radius 0.5: {circles}")
    colours = sorted({e.dxf.color for e in msp.query("LINE CIRCLE")})
    if colours != [1]:
        problems.append(f"colours {colours}, wanted all red (1) after the redo")
    return problems


def near(a, b, eps=1e-9):
    return all(abs(x - y) <= eps for x, y in zip(a, b))


def check_every_kind(doc, r12):
    """What is wrong with the drawing of EVERY_KIND."""
    msp = doc.modelspace()
    problems = []
    counts = {}
    for e in msp:
        counts[e.dxftype()] = counts.get(e.dxftype(), 0) + 1
    poly = "POLYLINE" if r12 else "LWPOLYLINE"
    text = "TEXT" if r12 else "MTEXT"
    wanted = {"LINE": 6, poly: 5, "ARC": 3, "CIRCLE": 4, "SOLID": 4, text: 2, "POINT": 2}
    if not r12:
        wanted.update({"XLINE": 1, "RAY": 1, "SPLINE": 1, "ELLIPSE": 2})
    if counts != wanted:
        problems.append(f"entities {counts}, wanted {wanted}")

    def has(kind, test, what):
        if not any(test(e) for e in msp.query(kind)):
            problems.append(f"no {kind} {what}")

    has("LINE", lambda e: near(e.dxf.start, (0, 0, 0)) and near(e.dxf.end, (2, 0, 0)), "from (0,0) to (2,0)")
    has("LINE", lambda e: near(e.dxf.start, (2, 0, 0)) and near(e.dxf.end, (2, 1, 0)), "from (2,0) to (2,1)")
    has("LINE", lambda e: near(e.dxf.start, (5, 6, 0)) and near(e.dxf.end, (7, 6, 0)), "dimension line")
    for c, r in (((9, 0), 1), ((9, 2), 1), ((11, 1), 1)):
        has("ARC", lambda e: near((e.dxf.center.x, e.dxf.center.y), c) and near([e.dxf.radius], [r]), f"round {c}")
    has("ARC", lambda e: near([e.dxf.start_angle % 360, e.dxf.end_angle % 360], [0, 90]), "from 0 to 90 degrees")
    for c in ((1, 7), (4, 7), (8, 6), (11, 6)):
        has("CIRCLE", lambda e: near((e.dxf.center.x, e.dxf.center.y), c) and near([e.dxf.radius], [1]), f"round {c}")
    has("POINT", lambda e: near(e.dxf.location, (12, 10, 0)), "at (12,10)")

    def vertices(e):
        if r12:
            return [(v.dxf.location[0], v.dxf.location[1], v.dxf.bulge) for v in e.vertices]
        return [(x, y, b) for x, y, b in e.get_points("xyb")]

    polys = [vertices(e) for e in msp.query(poly)]
    if [(3, 0, 0), (5, 0, 1), (5, 2, 0)] not in [[tuple(round(v, 9) + 0 for v in p) for p in q] for q in polys]:
        problems.append(f"no polyline (3,0) (5,0) (5,2) with a half circle: {polys}")
    quarter = [(13, 0, 0), (15, 0, round(math.tan(math.pi / 8), 9)), (16, 1, 0)]
    if quarter not in [[tuple(round(v, 9) + 0 for v in p) for p in q] for q in polys]:
        problems.append(f"no polyline (13,0) (15,0) (16,1) with a quarter circle of bulge tan(22.5): {polys}")
    hexagon = [q for q in polys if len(q) == 7]
    if not hexagon or not near(hexagon[0][0][:2], (6, 10)):
        problems.append(f"no closed six-cornered polygon from (6,10): {polys}")
    texts = sorted(e.dxf.text for e in msp.query(text))
    want = ["2.00", "Hallo"] if r12 else ["2.00", "Hallo\\PWelt"]
    if texts != want:
        problems.append(f"texts {texts}, wanted {want}")
    if not r12:
        has("XLINE", lambda e: near(e.dxf.start, (1, 9, 0)) and near(e.dxf.unit_vector, (0.5**0.5, 0.5**0.5, 0)),
            "through (1,9) at 45 degrees")
        has("RAY", lambda e: near(e.dxf.start, (3, 9, 0)) and near(e.dxf.unit_vector, (1, 0, 0)), "from (3,9)")
        has("ELLIPSE", lambda e: near(e.dxf.center, (10, 8, 0)) and near(e.dxf.major_axis, (2, 0, 0)) and
            near([e.dxf.ratio], [0.5]), "round (10,8)")
        has("SPLINE", lambda e: near(e.control_points[0], (0, 4, 0)) and near(e.control_points[-1], (3, 5, 0)),
            "from (0,4) to (3,5)")
    return problems


# What the window says about values typed that no line of the file may
# hold, a mirror across one point and an ellipse without a minor axis.
MSG_BAD_LAYER_NAME = ("message 42: Der Name der neuen Ebene enthält Zeichen, die in Ebenennamen nicht erlaubt sind "
                      "(< > / \\ \" : ; ? * | , = ` und Steuerzeichen) oder die diese DXF Datei nicht speichern kann.")
MSG_BAD_LINE_TYPE_NAME = ("message 62: Der Name des Linienstils enthält Zeichen, die in Namen nicht erlaubt sind "
                          "(< > / \\ \" : ; ? * | , = ` und Steuerzeichen) oder die diese DXF Datei nicht speichern "
                          "kann.")
MSG_CONTROL_CHARACTER = ("message 63: Der eingegebene Text enthält Steuerzeichen (etwa einen Zeilenumbruch), die hier "
                         "nicht in der DXF Datei stehen dürfen; es wurde nichts geändert.")
MSG_NO_MIRROR_AXIS = "message 64: Die beiden Punkte der Spiegelachse fallen zusammen; es wurde nichts geändert."
MSG_ZERO_AXIS = "message 65: Eine Achse der Ellipse hätte keine Länge; es wurde nichts geändert."


def check_typed(doc):
    """What is wrong with the drawing of the case of typed values: only the
    names and texts that could be written, the texts with their line breaks
    and carets."""
    problems = []
    layers = sorted(l.dxf.name for l in doc.layers)
    if layers != ["0", "Defpoints"]:
        problems.append(f"layers {layers}, wanted those of a new drawing")
    types = {t.dxf.name: t.dxf.description for t in doc.linetypes}
    if sorted(types) != ["ByBlock", "ByLayer", "Continuous", "Punktiert"] or types["Punktiert"] != "Punkte ^ Striche":
        problems.append(f"line types {types}, wanted Punktiert besides the three")
    texts = sorted((e.text, e.plain_text()) for e in doc.modelspace().query("MTEXT"))
    wanted = [("4.00\\Pmm", "4.00\nmm"), ("Zeile\\Peins^I^ 2", "Zeile\neins\t^2")]
    if texts != wanted:
        problems.append(f"texts {texts}, wanted {wanted}")
    return problems


def check_grip_and_mirror(doc):
    """What is wrong with the ellipse whose minor axis was dragged past its
    major axis, then refused a mirror and a minor axis of no length."""
    ellipses = list(doc.modelspace().query("ELLIPSE"))
    if len(ellipses) != 1:
        return [f"{len(ellipses)} ellipses, wanted 1"]
    e = ellipses[0]
    if not (near(e.dxf.center, (10, 8, 0)) and near(e.dxf.major_axis, (0, 4, 0)) and near([e.dxf.ratio], [0.5])):
        return [f"ellipse round {e.dxf.center}, major axis {e.dxf.major_axis}, ratio {e.dxf.ratio}; wanted round "
                "(10, 8), major axis (0, 4), ratio 0.5"]
    return []


def check_snapped(doc):
    """What is wrong with the lines drawn with object snaps: from the
    middle of a line to where it crosses another, tangent to a circle,
    perpendicular to an arc, from a circle's centre to its quadrant, from a
    point to the end of a line and to the nearest point of the circle,
    each exactly where the geometry says (the circle round (50, 0) of
    radius 10, the arc round (90, 0) of radius 10)."""
    d = 30.0
    along, across = 100 / d ** 2, 10 * math.sqrt(d * d - 100) / d ** 2
    tangent = (50 + d * across, d * along)  # from (50, 30), to the right
    foot = (90 + 10 / math.sqrt(2), 10 / math.sqrt(2))  # from (110, 20)
    wanted = [((15, 0), (20, 0)), ((50, 30), tangent), ((110, 20), foot), ((50, 0), (60, 0)), ((70, 30), (30, 0))]
    lines = [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in doc.modelspace().query("LINE")]
    problems = [f"no line from {a} to {b}: {lines}" for a, b in wanted
                if not any(near(s, a) and near(e, b) for s, e in lines)]
    # The nearest point on the circle, wherever the pointer was.
    if not any(near(s, (40, 25)) and abs(math.hypot(e[0] - 50, e[1]) - 10) <= 1e-9 for s, e in lines):
        problems.append(f"no line from (40, 25) to the circle: {lines}")
    return problems


def check_aids(doc):
    """What is wrong with the lines drawn with the grid of 0.5, ortho, polar
    by 30 degrees and typed points: each exactly where they put it, though
    the pointer was off by a few pixels."""
    c = 7 + 3.5 * math.cos(math.radians(30))
    wanted = [((1, 1), (5.5, 1)), ((5.5, 1), (5.5, 3)), ((5.5, 3), (5, 6)), ((7, 5), (c, 6.75)),
              ((c, 6.75), (c, 9.25))]
    lines = [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in doc.modelspace().query("LINE")]
    problems = [f"no line from {a} to {b}: {lines}" for a, b in wanted
                if not any(near(s, a) and near(e, b) for s, e in lines)]
    if len(lines) != len(wanted):
        problems.append(f"{len(lines)} lines, wanted {len(wanted)}")
    # Ortho's and the axes' exactly.
    if lines and (lines[0][1][1] != 1 or lines[1][1][0] != 5.5):
        problems.append(f"ortho's line is not exactly level: {lines[0]}, {lines[1]}")
    return problems


# What the first of two Vestrels is told when it saves over the second's
# save.
SHARED_CHANGED = (f"message {MSG_CHANGED_ON_DISK}: Die folgende Datei wurde seit dem Öffnen oder Speichern von "
                  "einem anderen Programm geändert. Speichern würde diese Änderungen überschreiben, Neu laden die "
                  "Änderungen hier verwerfen: @TMP@/shared.dxf")


def check_lines(doc, ends):
    """What is wrong with a drawing that should hold a line from ends[0]
    to ends[1]."""
    lines = [(tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]) for e in doc.modelspace().query("LINE")]
    return [] if (tuple(ends[0]), tuple(ends[1])) in lines else [f"no line {ends}: {lines}"]


def check_layers(doc):
    """What is wrong with the drawing of the layer and line-style case."""
    problems = []
    layers = {l.dxf.name: l for l in doc.layers}
    if "0" not in layers or layers["0"].is_on():
        problems.append("layer 0 is not switched off")
    new = layers.get("Waende")
    if new is None or (new.dxf.color, new.dxf.lineweight) != (5, 25):
        problems.append("no layer Waende in blue, 0.25 mm")
    if "Punktiert" not in doc.linetypes:
        problems.append("no line type Punktiert")
    lines = list(doc.modelspace().query("LINE"))
    if len(lines) != 1 or (lines[0].dxf.layer, lines[0].dxf.linetype) != ("Waende", "Punktiert"):
        problems.append("the line is not on Waende, drawn Punktiert: %s" %
                        [(e.dxf.layer, e.dxf.linetype) for e in lines])
    return problems


def measure_drawing(path):
    """A line to measure between its ends, and a contour with bulges that
    holds a circle and a reference to a circle of radius 1 scaled by 2."""
    doc = ezdxf.new("R2000")
    block = doc.blocks.new("R1")
    block.add_circle((0, 0), 1)
    msp = doc.modelspace()
    msp.add_line((3.25, 1.5), (41.7, 29.3))
    msp.add_lwpolyline([(100, 0, 0, 0, 0.5), (160, 0, 0, 0, 0), (160, 40, 0, 0, -0.3), (100, 40, 0, 0, 0)],
                       format="xyseb", close=True)
    msp.add_circle((120, 20), 5)
    msp.add_blockref("R1", (145, 20), dxfattribs={"xscale": 2, "yscale": 2})
    doc.saveas(path)


def check_measured(stdout, path):
    """What is wrong with the results `state measure` printed: the line's
    distance, the angle of the typed points, and the contour's area less
    its two holes, against ezdxf's geometry within 1e-9."""
    from ezdxf.math import bulge_to_arc
    doc = ezdxf.readfile(path)
    msp = doc.modelspace()
    line = msp.query("LINE")[0]
    dx, dy = line.dxf.end.x - line.dxf.start.x, line.dxf.end.y - line.dxf.start.y
    poly = msp.query("LWPOLYLINE")[0]
    points = list(poly.get_points("xyb"))
    area = length = 0.0
    for (x1, y1, b), (x2, y2, _) in zip(points, points[1:] + points[:1]):
        area += (x1 * y2 - x2 * y1) / 2
        if b:
            _, a0, a1, r = bulge_to_arc((x1, y1), (x2, y2), b)
            sweep = 4 * math.atan(b)
            area += r * r / 2 * (sweep - math.sin(sweep))
            length += r * abs(sweep)
        else:
            length += math.hypot(x2 - x1, y2 - y1)
    circles = list(msp.query("CIRCLE")) + [e for e in msp.query("INSERT")[0].virtual_entities()]
    for c in circles:
        area -= math.pi * c.dxf.radius ** 2
        length += 2 * math.pi * c.dxf.radius
    wanted = [dict(distance=math.hypot(dx, dy), dx=dx, dy=dy, angle=math.degrees(math.atan2(dy, dx)) % 360),
              dict(angle=math.degrees(math.atan2(abs(10 * 5 - 0 * 7), 10 * 7 + 0 * 5))),
              dict(area=abs(area), perimeter=length)]
    got = [dict(kv.split("=") for kv in l[len("measure: "):].split())
           for l in stdout.splitlines() if l.startswith("measure: ")]
    if len(got) != len(wanted):
        return [f"{len(got)} results printed, wanted {len(wanted)}: {got}"]
    problems = []
    for g, w in zip(got, wanted):
        if set(g) != set(w) or any(abs(float(g[k]) - w[k]) > 1e-9 for k in w):
            problems.append(f"measured {g}, wanted {w}")
    return problems


CUT_KINDS = ["open_contour", "near_ends", "duplicate", "overlap", "short_segment", "zero_length", "self_crossing",
             "not_cut"]


def cut_drawing(path):
    """A square of lines whose last end stops 0.004 short of its start, an
    open polyline, a circle drawn twice and a text."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    for a, b in [((0, 0), (40, 0)), ((40, 0), (40, 30)), ((40, 30), (0, 30)), ((0, 30), (0.004, 0))]:
        msp.add_line(a, b)
    msp.add_lwpolyline([(60, 0), (80, 0), (80, 20)])
    msp.add_circle((100, 15), 10)
    msp.add_circle((100, 15), 10)
    msp.add_text("Teil 1", dxfattribs={"insert": (0, 40), "height": 2.5})
    doc.saveas(path)


def cut_counts(doc, tolerance):
    """The counts of the cut check's findings, by ezdxf's reading of the
    drawing of lines, open polylines, circles and texts: ends of different
    curves closer than the tolerance but not one point, circles drawn twice,
    chains of curves whose ends meet (to 1e-9) with an end that meets no
    other: a gap, however narrow, leaves a contour open."""
    msp = doc.modelspace()
    chains = [[(l.dxf.start.x, l.dxf.start.y), (l.dxf.end.x, l.dxf.end.y)] for l in msp.query("LINE")]
    chains += [[tuple(p[:2]) for p in pl.get_points("xy")] for pl in msp.query("LWPOLYLINE") if not pl.closed]
    ends = [(i, c[k]) for i, c in enumerate(chains) for k in (0, -1)]
    counts = dict.fromkeys(CUT_KINDS, 0)
    parent = list(range(len(ends)))
    def root(i):
        while parent[i] != i:
            i = parent[i]
        return i
    for a in range(len(ends)):
        for b in range(a + 1, len(ends)):
            d = math.dist(ends[a][1], ends[b][1])
            if d <= 1e-9:
                parent[root(a)] = root(b)
            elif d <= tolerance and ends[a][0] != ends[b][0]:
                counts["near_ends"] += 1
    # A point where ends meet, and the chains through it.
    meets = {}
    for k, (i, _) in enumerate(ends):
        meets.setdefault(root(k), []).append(i)
    component = list(range(len(chains)))
    def top(i):
        while component[i] != i:
            i = component[i]
        return i
    for members in meets.values():
        for i in members[1:]:
            component[top(i)] = top(members[0])
    open_parts = {top(i) for members in meets.values() if len(members) != 2 for i in members}
    counts["open_contour"] = len(open_parts)
    circles = [(c.dxf.center.x, c.dxf.center.y, c.dxf.radius) for c in msp.query("CIRCLE")]
    counts["duplicate"] = len(circles) - len(set(circles))
    counts["not_cut"] = len(msp.query("TEXT"))
    return counts


def check_cut_states(stdout, path):
    """What is wrong with the `check`, `marked`, `undo` and `zoom` lines the
    cut check's case printed: the counts at 0.01 and at 0.001 as ezdxf's
    reading of the drawing has them, and after "Bereinigen" as its reading
    of the repaired drawing (saved beside it) has them, one undo step that
    takes it back; every finding marked until the drawing changed, and the
    view zoomed by the double click to the first finding."""
    doc = ezdxf.readfile(path)
    repaired = ezdxf.readfile(os.path.join(os.path.dirname(path), "repaired.dxf"))
    states = [dict(l.split(": ", 1) for l in block.splitlines() if ": " in l)
              for block in stdout.split("modes:")[1:]]
    if len(states) != 5:
        return [f"{len(states)} states printed, wanted 5"]
    problems = []
    for k, (state, drawing, tolerance, undo) in enumerate(zip(
            states, (doc, doc, repaired, doc), (0.01, 0.001, 0.01, 0.01), ("0", "0", "1", "0"))):
        wanted = cut_counts(drawing, tolerance)
        got = dict(kv.split("=") for kv in state.get("check", "").split())
        if {k: int(v) for k, v in got.items()} != wanted:
            problems.append(f"state {k + 1}, at {tolerance}: check {got}, ezdxf {wanted}")
        if int(state.get("marked", -1)) != sum(wanted.values()):
            problems.append(f"state {k + 1}: {state.get('marked')} marked, wanted {sum(wanted.values())}")
        if state.get("undo") != undo:
            problems.append(f"state {k + 1}: {state.get('undo')} undo steps, wanted {undo}")
    if cut_counts(repaired, 0.01)["near_ends"] or cut_counts(repaired, 0.01)["duplicate"]:
        problems.append(f"the repaired drawing still has {cut_counts(repaired, 0.01)}")
    # The first row: the square left open, zoomed to with a fifth of its
    # larger side around it, in the drawing area of 1200 x 800 pixels.
    msp = doc.modelspace()
    def box(points):
        xs, ys = [p[0] for p in points], [p[1] for p in points]
        return min(xs), min(ys), max(xs), max(ys)
    square = box([p for l in msp.query("LINE") for p in (l.dxf.start, l.dxf.end)])
    whole = box([square[:2], square[2:]] + [p for pl in msp.query("LWPOLYLINE") for p in pl.get_points("xy")] +
                [(c.dxf.center.x + dx * c.dxf.radius, c.dxf.center.y + dy * c.dxf.radius)
                 for c in msp.query("CIRCLE") for dx, dy in ((-1, -1), (1, 1))])
    w, h = square[2] - square[0], square[3] - square[1]
    margin = max(max(w, h) / 5, max(whole[2] - whole[0], whole[3] - whole[1]) / 50)
    zoom = 100 * min(1200 / (w + 2 * margin), 800 / (h + 2 * margin))
    if abs(float(states[1]["zoom"]) - zoom) > 1e-6 * zoom:
        problems.append(f"the double click zoomed to {states[1]['zoom']}, wanted {zoom}")
    if states[4].get("marked") != "0" or states[4].get("check") != states[3].get("check"):
        problems.append(f"after a line was drawn: marked {states[4].get('marked')}, check {states[4].get('check')}")
    return problems


def plain_drawing(path):
    """An R2000 drawing with the layers 0 and Waende, its header without
    $CLAYER."""
    doc = ezdxf.new("R2000")
    doc.layers.add("Waende")
    del doc.header["$CLAYER"]
    doc.saveas(path)


def check_current(doc):
    """What is wrong with the drawing of the current-layer case."""
    problems = []
    if doc.header.get("$CLAYER") != "Waende" or doc.header.get("$CECOLOR") != 1:
        problems.append("the header holds $CLAYER %r, $CECOLOR %r" %
                        (doc.header.get("$CLAYER"), doc.header.get("$CECOLOR")))
    lines = [(e.dxf.layer, e.dxf.color) for e in doc.modelspace().query("LINE")]
    if lines != [("Waende", 1)]:
        problems.append("the line is not on Waende in red: %s" % lines)
    return problems


def line_rows(path):
    """80 rows of 80 short lines by ezdxf, enough to be painted in bands."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    for i in range(80):
        for j in range(80):
            msp.add_line((j * 10, i * 10), (j * 10 + 6, i * 10))
    doc.saveas(path)


def check_one_line_gone(doc):
    """Every line where it was, but the one from (400, 400) to (406, 400)."""
    have = sorted((round(e.dxf.start.x, 9), round(e.dxf.start.y, 9), round(e.dxf.end.x, 9))
                  for e in doc.modelspace().query("LINE"))
    want = sorted((j * 10, i * 10, j * 10 + 6) for i in range(80) for j in range(80) if (i, j) != (40, 40))
    return [] if have == want else [f"{len(have)} lines, the first that differs: "
                                    f"{next((h, w) for h, w in zip(have + [None], want + [None]) if h != w)}"]


def parts_to_join(path, version):
    """Loose parts made by ezdxf: a 10 x 10 square whose right side is a
    half circle out, its sides shuffled and two drawn backwards, on the
    layer Kontur in red; and a polyline with a line going on from its end,
    their ends a thousandth apart."""
    doc = ezdxf.new(version)
    doc.layers.add("Kontur")
    msp = doc.modelspace()
    red = {"layer": "Kontur", "color": 1}
    msp.add_line((0, 10), (10, 10), dxfattribs=red)
    msp.add_arc((10, 5), 5, 270, 90, dxfattribs=red)
    msp.add_line((0, 0), (0, 10), dxfattribs=red)
    msp.add_line((0, 0), (10, 0), dxfattribs=red)
    if version == "R12":
        msp.add_polyline2d([(20, 0), (25, 0)], dxfattribs=red)
    else:
        msp.add_lwpolyline([(20, 0, 0, 0, 0), (25, 0)], dxfattribs=red)
    msp.add_line((25.001, 0), (30, 5), dxfattribs=red)
    doc.saveas(path)


def bulge_area(points, closed):
    """The area a polyline of (x, y, bulge) encloses, counter-clockwise
    positive."""
    area = 0.0
    n = len(points)
    for i in range(n if closed else n - 1):
        (x0, y0, b), (x1, y1, _) = points[i], points[(i + 1) % n]
        area += (x0 * y1 - x1 * y0) / 2
        if b:
            theta = 4 * math.atan(b)
            chord = math.hypot(x1 - x0, y1 - y0)
            r = chord / (2 * math.sin(theta / 2))
            area += r * r / 2 * (theta - math.sin(theta))
    return area


def unique_handles(path):
    """The handles that stand more than once in the file."""
    with open(path, encoding="utf-8", errors="replace") as f:
        lines = [line.strip() for line in f]
    seen, twice = set(), set()
    for code, value in zip(lines[0::2], lines[1::2]):
        if code == "5":
            (twice if value in seen else seen).add(value)
    return sorted(twice)


def polylines_of(doc, problems):
    """The 2-D polylines of the model space: their (x, y, bulge) vertices,
    whether closed, the entity; an LWPOLYLINE of an R12 drawing goes to
    `problems` instead."""
    polylines = []
    for e in doc.modelspace():
        if e.dxftype() == "LWPOLYLINE" and doc.dxfversion == "AC1009":
            problems.append("an LWPOLYLINE in an R12 drawing")
        elif e.dxftype() == "LWPOLYLINE":
            polylines.append(([(x, y, b) for x, y, _, _, b in e.get_points()], e.closed, e))
        elif e.dxftype() == "POLYLINE":
            polylines.append(([(v.dxf.location.x, v.dxf.location.y, v.dxf.bulge) for v in e.vertices],
                              e.is_closed, e))
    return polylines


def check_joined(doc):
    """The square one closed polyline, the polyline and the line one
    open polyline, exactly, on Kontur in red; each handle once."""
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    polylines = polylines_of(doc, problems)
    problems += [f"a {e.dxftype()} is left" for e in doc.modelspace() if e.dxftype() not in ("LWPOLYLINE", "POLYLINE")]
    if len(polylines) != 2:
        return problems + [f"{len(polylines)} polylines, wanted 2"]
    (square, closed, e), (open_, open_closed, _) = sorted(polylines, key=lambda p: p[0][0][0])
    if not closed or open_closed:
        problems.append(f"closed: {closed}, {open_closed}; wanted True, False")
    corners = sorted((round(x, 9), round(y, 9)) for x, y, _ in square)
    if corners != [(0, 0), (0, 10), (10, 0), (10, 10)]:
        problems.append(f"the square's corners are {corners}")
    area = bulge_area(square, True)
    if abs(abs(area) - (100 + 12.5 * math.pi)) > 1e-9:
        problems.append(f"the square encloses {area}")
    # The bulge of a half circle, from (10, 0) when it runs
    # counter-clockwise, from (10, 10) else.
    start = (10, 0) if area > 0 else (10, 10)
    bulges = {(round(x, 9), round(y, 9)): b for x, y, b in square}
    if abs(abs(bulges[start]) - 1) > 1e-9 or sum(abs(b) for b in bulges.values()) - 1 > 1e-9:
        problems.append(f"bulges {bulges}")
    if not near([c for x, y, _ in open_ for c in (x, y)], [20, 0, 25, 0, 30, 5], 1e-9):
        problems.append(f"the open polyline runs {open_}")
    if (e.dxf.layer, e.dxf.color) != ("Kontur", 1):
        problems.append(f"the square is on {e.dxf.layer} in {e.dxf.color}")
    return problems


def polylines_to_explode(path):
    """An LWPOLYLINE with a half circle and widths, and one in the mirrored
    plane of CAM programs, on Kontur."""
    doc = ezdxf.new("R2000")
    doc.layers.add("Kontur")
    msp = doc.modelspace()
    msp.add_lwpolyline([(0, 0, 0.5, 0.5, 0), (10, 0, 0.5, 0.5, 1), (10, 10, 0, 0, 0), (0, 10, 0, 0, 0)],
                       close=True, dxfattribs={"layer": "Kontur", "color": 3})
    msp.add_lwpolyline([(0, 0, 0, 0, 1), (-10, 0)], dxfattribs={"layer": "Kontur", "elevation": 2,
                                                                 "extrusion": (0, 0, -1)})
    doc.saveas(path)


def check_exploded(doc):
    """Three lines and the half circle of the first polyline, the arc of
    the second in its own plane; each handle once."""
    msp = doc.modelspace()
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    lines = sorted((tuple(round(c, 9) for c in e.dxf.start), tuple(round(c, 9) for c in e.dxf.end))
                   for e in msp.query("LINE"))
    if lines != [((0, 0, 0), (10, 0, 0)), ((0, 10, 0), (0, 0, 0)), ((10, 10, 0), (0, 10, 0))]:
        problems.append(f"lines {lines}")
    arcs = [(tuple(round(c, 9) for c in e.dxf.center), e.dxf.radius, round(e.dxf.start_angle, 9) % 360,
             round(e.dxf.end_angle, 9) % 360, tuple(e.dxf.extrusion)) for e in msp.query("ARC")]
    if sorted(arcs) != [((-5, 0, 2), 5, 0, 180, (0, 0, -1)), ((10, 5, 0), 5, 270, 90, (0, 0, 1))]:
        problems.append(f"arcs {sorted(arcs)}")
    if len(msp.query("LWPOLYLINE")) or {e.dxf.layer for e in msp} != {"Kontur"}:
        problems.append("a polyline is left, or an object is not on Kontur")
    return problems


def parts_to_trim(path, version):
    """A line between two cutting edges, a circle, an arc of a CAM program
    (extrusion -Z) and a closed polyline with a half circle, each with a
    vertical edge through it; a short line and a boundary ahead of it; on
    Kontur in green."""
    doc = ezdxf.new(version)
    doc.layers.add("Kontur")
    msp = doc.modelspace()
    kontur = {"layer": "Kontur", "color": 3}
    msp.add_line((0, 0), (10, 0), dxfattribs=kontur)
    for x in (3, 6, 20, 30, 43):
        msp.add_line((x, -5), (x, 5))
    msp.add_circle((20, 0), 3, dxfattribs=kontur)
    msp.add_arc((-30, 0), 3, 0, 180, dxfattribs=dict(kontur, extrusion=(0, 0, -1)))
    square = [(40, -3, 0, 0, 0), (46, -3, 0, 0, 1), (46, 3, 0, 0, 0), (40, 3, 0, 0, 0)]
    if version == "R12":
        msp.add_polyline2d(square, format="xyseb", close=True, dxfattribs=kontur)
    else:
        msp.add_lwpolyline(square, close=True, dxfattribs=kontur)
    msp.add_line((0, 10), (5, 10), dxfattribs=kontur)
    msp.add_line((12, 8), (12, 12))
    doc.saveas(path)


def check_trimmed(doc):
    """The line in two, the circle a half arc, the CAM arc its other
    quarter in its plane, the polyline open round its half circle, the
    short line carried on to x = 12; all still on Kontur in green, each
    handle once."""
    msp = doc.modelspace()
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    pt = lambda v: tuple(round(c, 9) for c in v)
    green = [e for e in msp if e.dxf.get("color") == 3]
    if {e.dxf.layer for e in green} != {"Kontur"} or len(green) != 6:
        problems.append(f"{len(green)} green objects on {sorted({e.dxf.layer for e in green})}; wanted 6 on Kontur")
    lines = sorted((pt(e.dxf.start), pt(e.dxf.end)) for e in green if e.dxftype() == "LINE")
    if lines != [((0, 0, 0), (3, 0, 0)), ((0, 10, 0), (12, 10, 0)), ((6, 0, 0), (10, 0, 0))]:
        problems.append(f"lines {lines}")
    arcs = sorted((pt(e.dxf.center), e.dxf.radius, round(e.dxf.start_angle, 9), round(e.dxf.end_angle, 9),
                   pt(e.dxf.extrusion)) for e in green if e.dxftype() == "ARC")
    if arcs != [((-30, 0, 0), 3, 90, 180, (0, 0, -1)), ((20, 0, 0), 3, 90, 270, (0, 0, 1))]:
        problems.append(f"arcs {arcs}")
    polylines = [e for e in green if e.dxftype() in ("LWPOLYLINE", "POLYLINE")]
    if doc.dxfversion == "AC1009" and any(e.dxftype() == "LWPOLYLINE" for e in msp):
        problems.append("an LWPOLYLINE in an R12 drawing")
    for e in polylines:
        if e.dxftype() == "LWPOLYLINE":
            points = [(round(x, 9), round(y, 9), round(b, 9)) for x, y, _, _, b in e.get_points()]
        else:
            points = [(round(v.dxf.location.x, 9), round(v.dxf.location.y, 9), round(v.dxf.bulge, 9))
                      for v in e.vertices]
        if e.closed if e.dxftype() == "LWPOLYLINE" else e.is_closed:
            problems.append("the polyline is still closed")
        if points != [(43, -3, 0), (46, -3, 1), (46, 3, 0), (43, 3, 0)]:
            problems.append(f"polyline {points}")
    if len(polylines) != 1:
        problems.append(f"{len(polylines)} polylines")
    return problems


def line_and_reference(path):
    """A line across which a block reference draws a vertical bar."""
    doc = ezdxf.new("R2000")
    bar = doc.blocks.new("BAR")
    bar.add_line((0, -5), (0, 5))
    msp = doc.modelspace()
    msp.add_line((0, 0), (10, 0))
    msp.add_blockref("BAR", (5, 0))
    doc.saveas(path)


def check_cut_at_reference(doc):
    """The line cut where the reference's bar crosses it; the reference as
    it was."""
    msp = doc.modelspace()
    lines = [(tuple(round(c, 9) for c in e.dxf.start), tuple(round(c, 9) for c in e.dxf.end))
             for e in msp.query("LINE")]
    problems = [] if lines == [((0, 0, 0), (5, 0, 0))] else [f"lines {lines}"]
    if [tuple(e.dxf.insert) for e in msp.query("INSERT")] != [(5, 0, 0)]:
        problems.append("the reference changed")
    return problems


def splines_to_cut(path):
    """Two cubic Bezier splines of ezdxf on Kurve in blue: one across two
    vertical lines at x = 4 and x = 11, and one (x = 9t, y = 20 + 6t - 6t^2)
    whose end is carried on to a line at x = 12, reached at t = 4/3."""
    doc = ezdxf.new("R2000")
    doc.layers.add("Kurve")
    msp = doc.modelspace()
    kurve = {"layer": "Kurve", "color": 5}
    msp.add_open_spline([(0, 0), (5, 10), (10, -10), (15, 0)], degree=3, dxfattribs=kurve)
    msp.add_open_spline([(0, 20), (3, 22), (6, 22), (9, 20)], degree=3, dxfattribs=kurve)
    for x, y0, y1 in ((4, -10, 10), (11, -10, 10), (12, 10, 30)):
        msp.add_line((x, y0), (x, y1))
    doc.saveas(path)


def check_splines_cut(doc):
    """The first spline in two, ending and starting on the lines at x = 4 and
    x = 11; the second carried on to (12, 17 1/3); each tracing its original
    at the same parameters of their knots within 1e-9, of degree 3, on Kurve
    in blue; each handle once."""
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    original = ezdxf.readfile(os.path.join(os.path.dirname(doc.filename), "parts.dxf"))

    # The point at parameter t of the spline's own knots (ezdxf's curves
    # run over their knots moved and scaled to start at 0).
    def curve(e):
        knots, tool = list(e.knots), e.construction_tool()
        return lambda t: tool.point((t - knots[0]) / (knots[-1] - knots[0]) * tool.max_t), knots[3], knots[-4]

    curves = [curve(e) for e in original.modelspace().query("SPLINE")]
    splines = list(doc.modelspace().query("SPLINE"))
    if len(splines) != 3:
        return problems + [f"{len(splines)} splines; wanted 3"]
    ends = []
    for e in splines:
        if (e.dxf.layer, e.dxf.get("color"), e.dxf.degree) != ("Kurve", 5, 3):
            problems.append(f"spline {e.dxf.handle} on {e.dxf.layer} in {e.dxf.get('color')} of degree {e.dxf.degree}")
        at, lo, hi = curve(e)
        mine, olo, ohi = curves[0] if e.control_points[0][1] < 15 else curves[1]
        for k in range(17):
            t = lo + (hi - lo) * k / 16
            if olo <= t <= ohi and (at(t) - mine(t)).magnitude > 1e-9:
                problems.append(f"spline {e.dxf.handle} at {t}: {tuple(at(t))}, not {tuple(mine(t))}")
                break
        ends.append((tuple(round(c, 9) for c in at(lo)), tuple(round(c, 9) for c in at(hi))))
    ends.sort()
    if [(a[0], b[0]) for a, b in ends] != [(0, 4), (0, 12), (11, 15)]:
        problems.append(f"the splines run from x to x: {[(a[0], b[0]) for a, b in ends]}")
    if ends[1][1] != (12, round(17 + 1 / 3, 9), 0):
        problems.append(f"the carried on spline ends at {ends[1][1]}")
    return problems


# The trim and extend clicks on parts_to_trim, every object an edge.
TRIM_CLICKS = """
            trigger TrimBtn
            click @0,0 right
            click @4.5,0 ctrl
            click @23,0 ctrl
            click @27.8787,2.1213 ctrl
            click @40,0 ctrl
            key Escape
            trigger ExtendBtn
            click @12,11 ctrl
            key Return
            click @4,10 ctrl
            click @4,10 right
"""


def parts_to_offset(path, version):
    """For parallels, made by ezdxf on the layer Kontur in red: the 10 x 10
    square whose right side is a half circle out, as one closed polyline;
    an arc of a CAM program, extrusion -Z, whose world centre is (30, 5);
    a line from (0, 20) to (10, 20)."""
    doc = ezdxf.new(version)
    doc.layers.add("Kontur")
    msp = doc.modelspace()
    red = {"layer": "Kontur", "color": 1}
    square = [(0, 0, 0), (10, 0, 1), (10, 10, 0), (0, 10, 0)]
    if version == "R12":
        msp.add_polyline2d([(x, y, 0, 0, b) for x, y, b in square], format="xyseb", close=True, dxfattribs=red)
    else:
        msp.add_lwpolyline([(x, y, 0, 0, b) for x, y, b in square], close=True, dxfattribs=red)
    msp.add_arc((-30, 5), 5, 90, 270, dxfattribs=dict(red, extrusion=(0, 0, -1)))
    msp.add_line((0, 20), (10, 20), dxfattribs=red)
    doc.saveas(path)


def check_offset(doc):
    """The square's parallel 1 inside, the arc's 1 inside in its own plane,
    the line's through (3, 23.5); each on Kontur in red, each handle once."""
    msp = doc.modelspace()
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    polylines = polylines_of(doc, problems)
    problems += [f"a {e.dxftype()} on {e.dxf.layer} in {e.dxf.color}" for e in msp
                 if (e.dxf.layer, e.dxf.color) != ("Kontur", 1)]
    areas = sorted(round(abs(bulge_area(p, True)), 9) for p, closed, _ in polylines if closed)
    if len(polylines) != 2 or not near(areas, [72 + 8 * math.pi, 100 + 12.5 * math.pi]):
        problems.append(f"closed polylines of areas {areas}, wanted the square's and 72 + 8 pi")
    arcs = sorted((tuple(e.dxf.center), e.dxf.radius, e.dxf.start_angle, e.dxf.end_angle, tuple(e.dxf.extrusion))
                  for e in msp.query("ARC"))
    if len(arcs) != 2 or not near([c for c in arcs[0][0]] + list(arcs[0][1:4]) + list(arcs[0][4]),
                                  [-30, 5, 0, 4, 90, 270, 0, 0, -1]):
        problems.append(f"arcs {arcs}")
    lines = sorted((tuple(e.dxf.start), tuple(e.dxf.end)) for e in msp.query("LINE"))
    if len(lines) != 2 or not near([c for p in lines[1] for c in p], [0, 23.5, 0, 10, 23.5, 0]):
        problems.append(f"lines {lines}")
    return problems


# The clicks of the parallels checked by check_offset: the square's 1
# inside, the arc's 1 inside, the line's through a typed point.
OFFSET_CLICKS = """
            answer OffsetForm AbstandEd=1 ok
            trigger OffsetBtn
            click @5,0
            click @5,5
            click @35,5
            click @33,5
            key Escape
            answer OffsetForm DurchPunktCb=1 ok
            trigger Parallele1
            click @5,20
            input 3,23.5
            key Escape
"""


def objects_to_break(path, version):
    """A line on Kontur in green, a circle, an arc in the mirrored plane of
    CAM programs (drawn from (130, 50) over (150, 70) to (170, 50)), a
    closed polyline whose right side is a half circle out, and a whole
    ellipse (R2000 only)."""
    doc = ezdxf.new(version)
    doc.layers.add("Kontur")
    msp = doc.modelspace()
    msp.add_line((0, 0), (100, 0), dxfattribs={"layer": "Kontur", "color": 3})
    msp.add_circle((50, 50), 20)
    msp.add_arc((-150, 50), 20, 0, 180, dxfattribs={"extrusion": (0, 0, -1)})
    square = [(0, 100, 0), (40, 100, 1), (40, 140, 0), (0, 140, 0)]
    if version == "R12":
        msp.add_polyline2d([(x, y) for x, y, _ in square], close=True, dxfattribs={"layer": "Kontur"})
        msp.query("POLYLINE")[0].vertices[1].dxf.bulge = 1
    else:
        msp.add_lwpolyline([(x, y, 0, 0, b) for x, y, b in square], close=True, dxfattribs={"layer": "Kontur"})
        msp.add_ellipse((150, 150), (30, 0, 0), 0.5)
    doc.saveas(path)


def polyline_vertices(e):
    if e.dxftype() == "LWPOLYLINE":
        return [(x, y, b) for x, y, _, _, b in e.get_points("xyseb")], e.closed
    return [(v.dxf.location.x, v.dxf.location.y, v.dxf.bulge) for v in e.vertices], e.is_closed


def check_opened(doc):
    """The closed polyline opened at (20, 100), on Kontur."""
    polylines = doc.modelspace().query("LWPOLYLINE POLYLINE")
    if len(polylines) != 1:
        return [f"{len(polylines)} polylines"]
    points, closed = polyline_vertices(polylines[0])
    wanted = [(20, 100, 0), (40, 100, 1), (40, 140, 0), (0, 140, 0), (0, 100, 0), (20, 100, 0)]
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    if closed or len(points) != len(wanted) or not all(near(a, b) for a, b in zip(points, wanted)):
        problems.append(f"polyline {points} closed={closed}")
    if polylines[0].dxf.layer != "Kontur":
        problems.append("the polyline is not on Kontur")
    return problems


def check_broken(doc):
    """The line broken between 30 and 60 and lengthened by 5 at its end,
    the circle broken from (70, 50) round to (50, 70), the mirrored arc
    broken at its top and lengthened by 5 at (170, 50), the polyline opened
    at (20, 100), the lower half of the ellipse left; each in its plane."""
    msp = doc.modelspace()
    problems = check_opened(doc)
    lines = sorted((tuple(e.dxf.start), tuple(e.dxf.end), e.dxf.layer, e.dxf.color) for e in msp.query("LINE"))
    wanted = [((0, 0, 0), (30, 0, 0)), ((60, 0, 0), (105, 0, 0))]
    if len(lines) != 2 or not all(near(l[0], w[0]) and near(l[1], w[1]) and l[2:] == ("Kontur", 3)
                                  for l, w in zip(lines, wanted)):
        problems.append(f"lines {lines}")
    arcs = sorted((tuple(e.dxf.center), e.dxf.radius, e.dxf.start_angle % 360, e.dxf.end_angle % 360,
                   tuple(e.dxf.extrusion)) for e in msp.query("ARC"))
    wanted = [((-150, 50, 0), 20, 0, 90, (0, 0, -1)),
              ((-150, 50, 0), 20, 90, 180 + math.degrees(0.25), (0, 0, -1)),
              ((50, 50, 0), 20, 90, 0, (0, 0, 1))]
    if len(arcs) != 3 or not all(near(a[0], w[0]) and all(abs(x - y) <= 1e-9 for x, y in zip(a[1:4], w[1:4]))
                                 and a[4] == w[4] for a, w in zip(arcs, wanted)):
        problems.append(f"arcs {arcs}")
    ellipses = [(tuple(e.dxf.center), tuple(e.dxf.major_axis), e.dxf.ratio, e.dxf.start_param, e.dxf.end_param)
                for e in msp.query("ELLIPSE")]
    if len(ellipses) != 1 or not (near(ellipses[0][0], (150, 150, 0)) and near(ellipses[0][1], (30, 0, 0))
                                  and near(ellipses[0][2:], (0.5, math.pi, 2 * math.pi))):
        problems.append(f"ellipses {ellipses}")
    return problems


def pictures_to_explode(path, hatch):
    """Block Teil (based at (1, 0): a line on layer 0 in BYBLOCK colour, a
    circle of its own layer, an arc in the BYBLOCK line type, a polyline
    and an attribute definition) referenced turned and scaled with an
    attribute, stretched, mirrored in the mirrored plane, and as an array
    of 2 x 3; and a dimension. With `hatch`, a hatch in the mirrored plane
    alone: a polyline path with an arc, an edge path of lines, an arc and
    an elliptic arc, and one of a spline."""
    doc = ezdxf.new("R2000")
    msp = doc.modelspace()
    if hatch:
        h = msp.add_hatch(color=4, dxfattribs={"layer": "Flaeche", "elevation": (0, 0, 2), "extrusion": (0, 0, -1)})
        h.paths.add_polyline_path([(0, -40, 0), (4, -40, 1), (4, -36, 0)], is_closed=True)
        e = h.paths.add_edge_path()
        e.add_line((10, -40), (16, -40))
        e.add_arc((16, -37), 3, 270, 90)
        e.add_ellipse((13, -34), (3, 0), 0.5, 0, 180)
        e.add_line((10, -34), (10, -40))
        h.paths.add_edge_path().add_spline(control_points=[(20, -40), (21, -38), (23, -38), (24, -40)],
                                           knot_values=[0, 0, 0, 0, 1, 1, 1, 1], degree=3)
        doc.saveas(path)
        return
    b = doc.blocks.new("Teil", base_point=(1, 0))
    b.add_line((1, 0), (3, 0), dxfattribs={"layer": "0", "color": 0})
    b.add_circle((1, 1), 1, dxfattribs={"layer": "Eigen", "color": 3})
    b.add_arc((1, 0), 2, 0, 90, dxfattribs={"layer": "0", "linetype": "BYBLOCK"})
    b.add_lwpolyline([(1, 2), (2, 3), (3, 2)], dxfattribs={"layer": "0"})
    b.add_attdef("NR", (1, -1), dxfattribs={"height": 0.5})
    ref = {"layer": "Ref", "color": 5}
    turned = msp.add_blockref("Teil", (10, 20), dxfattribs=dict(ref, xscale=2, yscale=2, zscale=2, rotation=30))
    turned.add_attrib("NR", "A-7", (11, 19), dxfattribs={"height": 0.5, "layer": "Ref"})
    msp.add_blockref("Teil", (50, 0), dxfattribs=dict(ref, xscale=2, yscale=1, zscale=1, rotation=30))
    msp.add_blockref("Teil", (0, 50), dxfattribs=dict(ref, xscale=-1.5, yscale=1.5, zscale=1.5, rotation=45,
                                                        extrusion=(0, 0, -1)))
    msp.add_blockref("Teil", (80, 50), dxfattribs=ref).grid(size=(2, 3), spacing=(10, 12))
    msp.add_linear_dim(base=(0, -10), p1=(0, -20), p2=(30, -20), dxfattribs={"layer": "Mass"}).render()
    doc.saveas(path)


def _near(a, b):
    return len(a) == len(b) and all(abs(x - y) <= 1e-9 * max(1, abs(x)) for x, y in zip(a, b))


def _curve_points(e):
    """An arc's or elliptic arc's ends (in either order) and middle, in the
    world: the same whichever way its plane faces."""
    if e.dxftype() == "ARC":
        a0, a1 = e.dxf.start_angle, e.dxf.end_angle + (360 if e.dxf.end_angle <= e.dxf.start_angle else 0)
        c, r, ocs = ezdxf.math.Vec3(e.dxf.center), e.dxf.radius, e.ocs()
        at = lambda a: ocs.to_wcs(c + ezdxf.math.Vec3(r * math.cos(math.radians(a)), r * math.sin(math.radians(a))))
        ends, middle = [at(a0), at(a1)], at((a0 + a1) / 2)
    else:
        t0, t1 = e.dxf.start_param, e.dxf.end_param + (math.tau if e.dxf.end_param <= e.dxf.start_param else 0)
        tool = e.construction_tool()
        ends, middle = list(tool.vertices([t0, t1])), list(tool.vertices([(t0 + t1) / 2]))[0]
    ends.sort(key=lambda v: (round(v.x, 6), round(v.y, 6), round(v.z, 6)))
    return [c for v in ends + [middle] for c in v]


def drawn(e):
    """Where an entity is drawn, in the world: a kind and numbers."""
    t = e.dxftype()
    if t == "LINE":
        return t, [*e.dxf.start, *e.dxf.end]
    if t == "CIRCLE":
        return t, [*e.ocs().to_wcs(e.dxf.center), e.dxf.radius, abs(ezdxf.math.Vec3(e.dxf.extrusion).normalize().z)]
    if t == "ARC":
        return "CURVE", [*e.ocs().to_wcs(e.dxf.center), *_curve_points(e)]
    if t == "ELLIPSE":
        if abs(e.dxf.end_param - e.dxf.start_param) >= math.tau - 1e-9:
            return "ELLIPSE", [*e.dxf.center, ezdxf.math.Vec3(e.dxf.major_axis).magnitude, e.dxf.ratio]
        return "CURVE", [*e.dxf.center, *_curve_points(e)]
    if t == "LWPOLYLINE":
        return t, [c for v in e.vertices_in_wcs() for c in v] + [b for *_, b in e.get_points("xyb")]
    if t in ("TEXT", "ATTRIB"):
        return "TEXT " + e.dxf.text, [*e.ocs().to_wcs(e.dxf.insert), e.dxf.height]
    if t == "MTEXT":
        return "MTEXT " + e.text, [*e.dxf.insert]
    if t == "INSERT":
        return "INSERT " + e.dxf.name, [*e.dxf.insert, e.dxf.xscale, e.dxf.rotation]
    if t == "POINT":
        return t, [*e.dxf.location]
    if t == "SPLINE":
        return t, [c for p in e.control_points for c in p] + list(e.knots)
    return t, []


def _ink(path):
    """Where a picture is drawn (clearly off its background), and that
    grown by a pixel each way."""
    from PIL import Image
    import numpy
    a = numpy.asarray(Image.open(path).convert("RGB")).astype(int)
    ink = numpy.abs(a - a[0, 0]).sum(axis=2) > 96
    grown = ink.copy()
    grown[1:] |= ink[:-1]
    grown[:-1] |= ink[1:]
    wide = grown.copy()
    wide[:, 1:] |= grown[:, :-1]
    wide[:, :-1] |= grown[:, 1:]
    return ink, wide


def check_exploded_pictures(doc):
    """Every reference, every cell of the array and the dimension drawn by
    what they became, where ezdxf places their blocks' members (its own
    explode), the attribute as a text where it stood; nothing left on layer
    0 or BYBLOCK; each handle once; the picture the same within a pixel."""
    folder = os.path.dirname(doc.filename)
    want = []
    for e in ezdxf.readfile(os.path.join(folder, "pictures.dxf")).modelspace():
        if e.dxftype() == "INSERT":
            for cell in e.multi_insert():
                want += [drawn(v) for v in cell.virtual_entities() if v.dxftype() != "ATTDEF"]
            want += [drawn(a) for a in e.attribs]
        elif e.dxftype() == "DIMENSION":
            want += [drawn(v) for v in e.virtual_entities()]
    have = [drawn(e) for e in doc.modelspace()]
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    for kind, numbers in want:
        match = next((i for i, (k, n) in enumerate(have) if k == kind and _near(numbers, n)), None)
        if match is None:
            problems.append(f"not drawn after the explode: {kind} {[round(x, 6) for x in numbers]}")
        else:
            del have[match]
    problems += [f"drawn only after the explode: {k} {[round(x, 6) for x in n]}" for k, n in have]
    for e in doc.modelspace():
        if e.dxf.layer == "0" or e.dxf.get("color", 256) == 0 or e.dxf.get("linetype", "BYLAYER").upper() == "BYBLOCK":
            problems.append(f"{e.dxftype()} on layer 0 or BYBLOCK")
    before, wide_before = _ink(os.path.join(folder, "before.png"))
    after, wide_after = _ink(os.path.join(folder, "after.png"))
    if before.shape != after.shape or (before & ~wide_after).any() or (after & ~wide_before).any():
        problems.append("the picture changed by more than a pixel")
    return problems


def check_exploded_hatch(doc):
    """The hatch in the mirrored plane (its x the world's -x) at height 2
    (world z -2) became its boundary: the polyline with its bulge, two
    lines, the arc, the elliptic arc and the spline; each handle once."""
    want = [("LWPOLYLINE", [0, -40, -2, -4, -40, -2, -4, -36, -2, 0, 1, 0]),
            ("LINE", [-10, -40, -2, -16, -40, -2]), ("LINE", [-10, -34, -2, -10, -40, -2]),
            ("CURVE", [-16, -37, -2, -16, -40, -2, -16, -34, -2, -19, -37, -2]),
            ("CURVE", [-13, -34, -2, -16, -34, -2, -10, -34, -2, -13, -32.5, -2]),
            ("SPLINE", [-20, -40, -2, -21, -38, -2, -23, -38, -2, -24, -40, -2, 0, 0, 0, 0, 1, 1, 1, 1])]
    have = sorted(drawn(e) for e in doc.modelspace())
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    if len(have) != len(want) or not all(k == w and _near(n, m) for (k, n), (w, m) in zip(have, sorted(want))):
        problems.append(f"the boundary is {[(k, [round(x, 9) for x in n]) for k, n in have]}")
    if {(e.dxf.layer, e.dxf.color) for e in doc.modelspace()} != {("Flaeche", 4)}:
        problems.append("a part of the boundary lost the hatch's layer or colour")
    return problems


def corners_to_make(path, version):
    """Two lines crossing at (10, 0); a line and a half circle in the
    mirrored plane of CAM programs (its centre (30, 5) in the world); an
    open polyline turning at (60, 0); all on Kontur."""
    doc = ezdxf.new(version)
    doc.layers.add("Kontur")
    msp = doc.modelspace()
    msp.add_line((0, 0), (12, 0), dxfattribs={"layer": "Kontur", "color": 1})
    msp.add_line((10, -2), (10, 10), dxfattribs={"layer": "Kontur", "color": 5})
    msp.add_line((20, 2), (40, 2), dxfattribs={"layer": "Kontur", "color": 2})
    msp.add_arc((-30, 5), 5, 90, 270, dxfattribs={"layer": "Kontur", "extrusion": (0, 0, -1)})
    if version == "R12":
        msp.add_polyline2d([(50, 0), (60, 0), (60, 10)], dxfattribs={"layer": "Kontur"})
    else:
        msp.add_lwpolyline([(50, 0), (60, 0), (60, 10)], dxfattribs={"layer": "Kontur"})
    msp.add_line((70, 0), (80, 0), dxfattribs={"layer": "Kontur"})
    msp.add_line((70, 5), (80, 5), dxfattribs={"layer": "Kontur"})
    doc.saveas(path)


# Three fillets on the drawing of corners_to_make, by the menu and the
# button.
FILLETS = """answer FilletForm RadiusEd=2 ok
            trigger FilletBtn
            click @2,0
            click @10,8
            answer FilletForm RadiusEd=1 ok
            trigger Abrunden1
            click @22,2
            click @33.5355,8.5355
            answer FilletForm RadiusEd=2 ok
            trigger FilletBtn
            click @55,0
            click @60,5"""


def check_corners(doc):
    """The fillet of radius 2 at (10, 0), of radius 1 between the line and
    the mirrored arc (kept in its plane), of radius 2 at the polyline's
    vertex; tangent, the cut ends on the arcs' ends, exactly; the parallel
    lines as they were; each handle once."""
    msp = doc.modelspace()
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    lines = [e for e in msp.query("LINE")]
    arcs = [e for e in msp.query("ARC")]
    if len(lines) != 5 or len(arcs) != 3:
        return problems + [f"{len(lines)} lines and {len(arcs)} arcs, wanted 5 and 3"]
    a, b, c = lines[0], lines[1], lines[2]
    ends = lambda e: [tuple(e.dxf.start)[:2], tuple(e.dxf.end)[:2]] if e.dxftype() == "LINE" else \
        [tuple(e.start_point)[:2], tuple(e.end_point)[:2]]
    if not near([*a.dxf.start, *a.dxf.end, *b.dxf.start, *b.dxf.end], [0, 0, 0, 8, 0, 0, 10, 2, 0, 10, 10, 0]):
        problems.append(f"the crossing lines run {a.dxf.start} {a.dxf.end}, {b.dxf.start} {b.dxf.end}")
    first = arcs[0]
    if not near([*first.dxf.center, first.dxf.radius, first.dxf.start_angle, first.dxf.end_angle % 360],
                [8, 2, 0, 2, 270, 0]) or (first.dxf.layer, first.dxf.color) != ("Kontur", 1):
        problems.append(f"the first fillet is {first.dxf.center} r{first.dxf.radius} "
                        f"{first.dxf.start_angle}..{first.dxf.end_angle} on {first.dxf.layer} in {first.dxf.color}")
    # The line and the mirrored arc: the fillet's centre at height 3, 4 from
    # the arc's centre, in the arc's plane.
    fillet, arc = arcs[1], arcs[2]
    x = 30 + math.sqrt(12)
    centre = fillet.ocs().to_wcs(fillet.dxf.center)
    if tuple(fillet.dxf.extrusion) != (0, 0, -1) or not near([centre.x, centre.y, fillet.dxf.radius], [x, 3, 1]):
        problems.append(f"the second fillet is {centre} r{fillet.dxf.radius} in {fillet.dxf.extrusion}")
    if tuple(arc.dxf.extrusion) != (0, 0, -1) or arc.dxf.radius != 5:
        problems.append(f"the mirrored arc is now {arc.dxf.center} r{arc.dxf.radius} in {arc.dxf.extrusion}")
    touch = (30 + 1.25 * (x - 30), 5 + 1.25 * (3 - 5))
    want = sorted([(x, 2), touch])
    if not near([v for p in sorted(ends(fillet)) for v in p], [v for p in want for v in p]):
        problems.append(f"the second fillet runs {ends(fillet)}, wanted {want}")
    if not near([v for p in sorted(ends(c)) for v in p], [20, 2, x, 2]):
        problems.append(f"the line to the arc runs {ends(c)}")
    if not near([v for p in sorted(ends(arc)) for v in p], [v for p in sorted([(30, 10), touch]) for v in p]):
        problems.append(f"the mirrored arc runs {ends(arc)}")
    poly = [e for e in msp if e.dxftype() in ("LWPOLYLINE", "POLYLINE")]
    if doc.dxfversion == "AC1009" and msp.query("LWPOLYLINE"):
        problems.append("an LWPOLYLINE in an R12 drawing")
    if len(poly) != 1:
        return problems + [f"{len(poly)} polylines"]
    p = poly[0]
    points = [(x, y, b) for x, y, _, _, b in p.get_points()] if p.dxftype() == "LWPOLYLINE" else \
        [(v.dxf.location.x, v.dxf.location.y, v.dxf.bulge) for v in p.vertices]
    if not near([v for q in points for v in q], [50, 0, 0, 58, 0, math.tan(math.pi / 8), 60, 2, 0, 60, 10, 0]):
        problems.append(f"the polyline runs {points}")
    if not near([*lines[3].dxf.start, *lines[3].dxf.end, *lines[4].dxf.start, *lines[4].dxf.end],
                [70, 0, 0, 80, 0, 0, 70, 5, 0, 80, 5, 0]):
        problems.append("the parallel lines changed")
    return problems


def check_chamfered(doc):
    """The chamfer of 2 and 3 at (10, 0), a new LINE with the first line's
    properties; the polyline bevelled at its one vertex; the rest as it
    was; each handle once."""
    msp = doc.modelspace()
    problems = [f"handles twice: {h}" for h in unique_handles(doc.filename)]
    lines = [e for e in msp.query("LINE")]
    if len(lines) != 6 or len(msp.query("ARC")) != 1:
        return problems + [f"{len(lines)} lines and {len(msp.query('ARC'))} arcs, wanted 6 and 1"]
    a, cut, b = lines[0], lines[1], lines[2]
    if not near([*a.dxf.start, *a.dxf.end, *cut.dxf.start, *cut.dxf.end, *b.dxf.start, *b.dxf.end],
                [0, 0, 0, 8, 0, 0, 8, 0, 0, 10, 3, 0, 10, 3, 0, 10, 10, 0]):
        problems.append(f"the lines run {[(tuple(e.dxf.start), tuple(e.dxf.end)) for e in (a, cut, b)]}")
    if (cut.dxf.layer, cut.dxf.color) != ("Kontur", 1):
        problems.append(f"the chamfer is on {cut.dxf.layer} in {cut.dxf.color}")
    p = [e for e in msp if e.dxftype() == "LWPOLYLINE"][0]
    points = [(x, y, bulge) for x, y, _, _, bulge in p.get_points()]
    if not near([v for q in points for v in q], [50, 0, 0, 58, 0, 0, 60, 2, 0, 60, 10, 0]):
        problems.append(f"the polyline runs {points}")
    return problems


CASES = [
    dict(
        name="right after an undo of a move of everything, a click picks what lies under it (the index follows the picture)",
        setup=lambda tmp: line_rows(os.path.join(tmp, "rows.dxf")),
        script="""
            open @TMP@/rows.dxf
            key ctrl+a
            trigger Verschieben1
            input 0,0
            input 1000,0
            key Escape
            key ctrl+z
            click @403,400
            trigger Lschen1
            saveas @TMP@/picked.dxf
        """,
        audit="@TMP@/picked.dxf",
        check=("@TMP@/picked.dxf", check_one_line_gone),
    ),
    dict(
        name="Verbinden joins loose lines, an arc and a polyline of an ezdxf drawing into polylines; undo gives the text back",
        setup=lambda tmp: parts_to_join(os.path.join(tmp, "parts.dxf"), "R2000"),
        script="""
            open @TMP@/parts.dxf
            key ctrl+a
            answer JoinForm ToleranzEd=0.002 ok
            trigger JoinBtn
            saveas @TMP@/joined.dxf
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        audit="@TMP@/joined.dxf",
        check=("@TMP@/joined.dxf", check_joined),
        same=("@TMP@/undone.dxf", "@TMP@/parts.dxf"),
    ),
    dict(
        name="Verbinden in an R12 drawing makes POLYLINE and VERTEX",
        setup=lambda tmp: parts_to_join(os.path.join(tmp, "parts.dxf"), "R12"),
        script="""
            open @TMP@/parts.dxf
            key ctrl+a
            answer JoinForm ToleranzEd=0.002 ok
            trigger Verbinden1
            saveas @TMP@/joined.dxf
        """,
        audit="@TMP@/joined.dxf",
        check=("@TMP@/joined.dxf", check_joined),
    ),
    dict(
        name="Zerlegen takes an ezdxf drawing's polylines apart into lines and arcs, in their own planes",
        setup=lambda tmp: polylines_to_explode(os.path.join(tmp, "polylines.dxf")),
        script="""
            open @TMP@/polylines.dxf
            key ctrl+a
            trigger Zerlegen1
            saveas @TMP@/exploded.dxf
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        audit="@TMP@/exploded.dxf",
        check=("@TMP@/exploded.dxf", check_exploded),
        same=("@TMP@/undone.dxf", "@TMP@/polylines.dxf"),
    ),
    dict(
        name="Zerlegen takes ezdxf's block references (scaled, stretched, mirrored in the mirrored plane, an array, "
             "with an attribute) and a dimension apart where ezdxf draws them; the picture stays; undo gives the text back",
        setup=lambda tmp: pictures_to_explode(os.path.join(tmp, "pictures.dxf"), False),
        script="""
            open @TMP@/pictures.dxf
            png @TMP@/before.png
            key ctrl+a
            trigger ExplodeBtn
            png @TMP@/after.png
            saveas @TMP@/exploded.dxf
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        audit="@TMP@/exploded.dxf",
        check=("@TMP@/exploded.dxf", check_exploded_pictures),
        same=("@TMP@/undone.dxf", "@TMP@/pictures.dxf"),
    ),
    dict(
        name="Zerlegen turns a hatch in the mirrored plane into its boundary",
        setup=lambda tmp: pictures_to_explode(os.path.join(tmp, "hatch.dxf"), True),
        script="""
            open @TMP@/hatch.dxf
            key ctrl+a
            trigger Zerlegen1
            saveas @TMP@/exploded.dxf
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        audit="@TMP@/exploded.dxf",
        check=("@TMP@/exploded.dxf", check_exploded_hatch),
        same=("@TMP@/undone.dxf", "@TMP@/hatch.dxf"),
    ),
    dict(
        name="Brechen and Verlängern on an ezdxf drawing: typed and clicked points, one point, a mirrored arc; undo gives the text back",
        setup=lambda tmp: objects_to_break(os.path.join(tmp, "break.dxf"), "R2000"),
        script="""
            open @TMP@/break.dxf
            trigger BreakBtn
            input 30,0
            input 60,0
            input 70,50
            input 50,70
            input 150,70
            click @150,70 right
            input 20,100
            input @0,0
            input 180,150
            input 120,150
            key Escape
            answer LengthenForm ArtCombo=um DeltaEd=5 ok
            trigger Verlngern1
            input 100,0
            input 170,50
            key Escape
            saveas @TMP@/broken.dxf
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            saveas @TMP@/undone.dxf
        """,
        audit="@TMP@/broken.dxf",
        check=("@TMP@/broken.dxf", check_broken),
        same=("@TMP@/undone.dxf", "@TMP@/break.dxf"),
    ),
    dict(
        name="a recorded macro breaks an R12 polyline open again, as a POLYLINE",
        setup=lambda tmp: objects_to_break(os.path.join(tmp, "break.dxf"), "R12"),
        script="""
            open @TMP@/break.dxf
            trigger Makroaufzeichnen1
            trigger Brechen1
            input 20,100
            input @0,0
            key Escape
            answer QFileDialog fileNameEdit=@TMP@/break.replay ok
            trigger Makroaufzeichnen1
            trigger Rckgngig1
            answer QFileDialog fileNameEdit=@TMP@/break.replay ok
            trigger Makroabspielen1
            saveas @TMP@/opened.dxf
        """,
        audit="@TMP@/opened.dxf",
        check=("@TMP@/opened.dxf", check_opened),
    ),
    dict(
        name="Ctrl+Z right after a point typed in the command field undoes the drawing, not the field's text",
        script="""
            trigger LineBtn
            input 0,0
            input 10,0
            key Escape
            key ctrl+z
            state
        """,
        stdout=["undo: 0"],
    ),
    dict(
        name="Stutzen and Dehnen on an ezdxf drawing, every object an edge; undo gives the text back",
        setup=lambda tmp: parts_to_trim(os.path.join(tmp, "parts.dxf"), "R2000"),
        script="""
            open @TMP@/parts.dxf
""" + TRIM_CLICKS + """
            state
            saveas @TMP@/trimmed.dxf
            key ctrl+z
            key ctrl+z
            key ctrl+z
            key ctrl+z
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        stdout=["undo: 5"],
        audit="@TMP@/trimmed.dxf",
        check=("@TMP@/trimmed.dxf", check_trimmed),
        same=("@TMP@/undone.dxf", "@TMP@/parts.dxf"),
    ),
    dict(
        name="Stutzen and Dehnen of ezdxf splines through their exact curves; undo gives the text back",
        setup=lambda tmp: splines_to_cut(os.path.join(tmp, "parts.dxf")),
        script="""
            open @TMP@/parts.dxf
            trigger TrimBtn
            click @0,0 right
            click @7.5,0 ctrl
            key Escape
            trigger ExtendBtn
            click @0,0 right
            click @8.1,20.54 ctrl
            click @8.1,20.54 right
            state
            saveas @TMP@/cut.dxf
            key ctrl+z
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        stdout=["undo: 2"],
        audit="@TMP@/cut.dxf",
        check=("@TMP@/cut.dxf", check_splines_cut),
        same=("@TMP@/undone.dxf", "@TMP@/parts.dxf"),
    ),
    dict(
        name="Stutzen in an R12 drawing keeps POLYLINE and VERTEX",
        setup=lambda tmp: parts_to_trim(os.path.join(tmp, "parts.dxf"), "R12"),
        script="""
            open @TMP@/parts.dxf
""" + TRIM_CLICKS + """
            saveas @TMP@/trimmed.dxf
        """,
        audit="@TMP@/trimmed.dxf",
        check=("@TMP@/trimmed.dxf", check_trimmed),
    ),
    dict(
        name="Stutzen cuts at what a block reference draws, and will not cut that",
        setup=lambda tmp: line_and_reference(os.path.join(tmp, "reference.dxf")),
        script="""
            open @TMP@/reference.dxf
            trigger TrimBtn
            click @0,0 right
            click @8,0 ctrl
            answer message ok
            click @5,3 ctrl
            saveas @TMP@/cut.dxf
        """,
        stdout=["message 90: Stutzen geht nur mit Linien, Bögen, Kreisen, Ellipsen, 2D-Polylinien und Splines; es wurde "
                "nichts geändert. Angeklickt ist: INSERT"],
        audit="@TMP@/cut.dxf",
        check=("@TMP@/cut.dxf", check_cut_at_reference),
    ),
    dict(
        name="a recorded macro trims and extends again",
        setup=lambda tmp: parts_to_trim(os.path.join(tmp, "parts.dxf"), "R2000"),
        script="""
            open @TMP@/parts.dxf
            trigger Makroaufzeichnen1
""" + TRIM_CLICKS + """
            answer QFileDialog fileNameEdit=@TMP@/trim.replay ok
            trigger Makroaufzeichnen1
            key ctrl+z
            key ctrl+z
            key ctrl+z
            key ctrl+z
            key ctrl+z
            answer QFileDialog fileNameEdit=@TMP@/trim.replay ok
            trigger Makroabspielen1
            saveas @TMP@/trimmed.dxf
        """,
        check=("@TMP@/trimmed.dxf", check_trimmed),
    ),
    dict(
        name="a recorded macro joins again with the tolerance typed while it was recorded",
        setup=lambda tmp: parts_to_join(os.path.join(tmp, "parts.dxf"), "R2000"),
        script="""
            open @TMP@/parts.dxf
            trigger Makroaufzeichnen1
            key ctrl+a
            answer JoinForm ToleranzEd=0.002 ok
            trigger JoinBtn
            answer QFileDialog fileNameEdit=@TMP@/join.replay ok
            trigger Makroaufzeichnen1
            key ctrl+z
            answer QFileDialog fileNameEdit=@TMP@/join.replay ok
            trigger Makroabspielen1
            saveas @TMP@/joined.dxf
        """,
        check=("@TMP@/joined.dxf", check_joined),
    ),
    # Undone through the menu: after a typed point the command field keeps
    # the focus, and Ctrl+Z there takes back its own text.
    dict(
        name="Parallele: an ezdxf drawing's contour, CAM arc and line, at a distance and through a point; undo gives the text back",
        setup=lambda tmp: parts_to_offset(os.path.join(tmp, "parts.dxf"), "R2000"),
        script="""
            open @TMP@/parts.dxf
        """ + OFFSET_CLICKS + """
            saveas @TMP@/offset.dxf
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            saveas @TMP@/undone.dxf
        """,
        audit="@TMP@/offset.dxf",
        check=("@TMP@/offset.dxf", check_offset),
        same=("@TMP@/undone.dxf", "@TMP@/parts.dxf"),
    ),
    dict(
        name="Parallele in an R12 drawing makes POLYLINE and VERTEX",
        setup=lambda tmp: parts_to_offset(os.path.join(tmp, "parts.dxf"), "R12"),
        script="""
            open @TMP@/parts.dxf
        """ + OFFSET_CLICKS + """
            saveas @TMP@/offset.dxf
        """,
        audit="@TMP@/offset.dxf",
        check=("@TMP@/offset.dxf", check_offset),
    ),
    dict(
        name="a recorded macro makes the parallels again",
        setup=lambda tmp: parts_to_offset(os.path.join(tmp, "parts.dxf"), "R2000"),
        script="""
            open @TMP@/parts.dxf
            trigger Makroaufzeichnen1
        """ + OFFSET_CLICKS + """
            answer QFileDialog fileNameEdit=@TMP@/offset.replay ok
            trigger Makroaufzeichnen1
            trigger Rckgngig1
            trigger Rckgngig1
            trigger Rckgngig1
            answer QFileDialog fileNameEdit=@TMP@/offset.replay ok
            trigger Makroabspielen1
            saveas @TMP@/offset.dxf
        """,
        check=("@TMP@/offset.dxf", check_offset),
    ),
    dict(
        name="Abrunden on an ezdxf drawing: two lines, a line and a mirrored CAM arc, a polyline's vertex; "
             "parallel lines refused; undo gives the text back",
        setup=lambda tmp: corners_to_make(os.path.join(tmp, "corners.dxf"), "R2000"),
        script="""
            open @TMP@/corners.dxf
            """ + FILLETS + """
            answer FilletForm ok
            trigger FilletBtn
            click @72,0
            answer message ok
            click @72,5
            saveas @TMP@/filleted.dxf
            key ctrl+z
            key ctrl+z
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        stdout=["message 102: Die beiden Linien sind parallel und bilden keine Ecke; es wurde nichts geändert."],
        audit="@TMP@/filleted.dxf",
        check=("@TMP@/filleted.dxf", check_corners),
        same=("@TMP@/undone.dxf", "@TMP@/corners.dxf"),
    ),
    dict(
        name="Abrunden in an R12 drawing rounds the POLYLINE's vertex with a VERTEX more; a recorded macro does it again",
        setup=lambda tmp: corners_to_make(os.path.join(tmp, "corners.dxf"), "R12"),
        script="""
            open @TMP@/corners.dxf
            trigger Makroaufzeichnen1
            """ + FILLETS + """
            answer QFileDialog fileNameEdit=@TMP@/fillet.replay ok
            trigger Makroaufzeichnen1
            key ctrl+z
            key ctrl+z
            key ctrl+z
            answer QFileDialog fileNameEdit=@TMP@/fillet.replay ok
            trigger Makroabspielen1
            saveas @TMP@/filleted.dxf
        """,
        audit="@TMP@/filleted.dxf",
        check=("@TMP@/filleted.dxf", check_corners),
    ),
    dict(
        name="Fasen on an ezdxf drawing: two lines, every vertex of a polyline; an arc refused naming its kind; "
             "undo gives the text back",
        setup=lambda tmp: corners_to_make(os.path.join(tmp, "corners.dxf"), "R2000"),
        script="""
            open @TMP@/corners.dxf
            answer ChamferForm Abstand1Ed=2 Abstand2Ed=3 ok
            trigger ChamferBtn
            click @2,0
            click @10,8
            answer ChamferForm Abstand1Ed=2 Abstand2Ed=2 ok
            trigger Fasen1
            click @55,0
            click @55,0 right
            answer ChamferForm ok
            trigger ChamferBtn
            click @22,2
            answer message ok
            click @33.5355,8.5355
            saveas @TMP@/chamfered.dxf
            key ctrl+z
            key ctrl+z
            saveas @TMP@/undone.dxf
        """,
        stdout=["message 101: Fasen geht mit zwei Linien, oder an einer Ecke einer 2D-Polylinie; es wurde nichts "
                "geändert. Gewählt ist: ARC"],
        audit="@TMP@/chamfered.dxf",
        check=("@TMP@/chamfered.dxf", check_chamfered),
        same=("@TMP@/undone.dxf", "@TMP@/corners.dxf"),
    ),
    dict(
        name="measuring: a line's length with snaps, an angle of typed points, an area with holes",
        setup=lambda tmp: measure_drawing(os.path.join(tmp, "measure.dxf")),
        args=["@TMP@/measure.dxf"],
        script="""
            trigger FangEndpunkt1
            trigger MessenAbstand1
            click @3.4,1.7
            answer MessenForm ok
            click @41.5,29.1
            state
            trigger MessenWinkel1
            input 60,0
            input 50,0
            answer MessenForm press=KopierenBtn ok
            input 57,5
            state
            key Escape
            trigger AllesAuswhlen1
            answer message ok
            trigger MessenFlaeche1
            click @22.475,15.4 shift
            answer MessenForm ok
            trigger MessenFlaeche1
            state
        """,
        stdout=["message 87: Nur geschlossene Objekte haben eine Fläche; nicht geschlossen ist: LINE"],
        measured=("@TMP@/measure.dxf", check_measured),
    ),
    dict(
        name="the cut check: its findings at two tolerances, a double click zooms there, the repair and its undo, "
             "the marks until a change",
        setup=lambda tmp: cut_drawing(os.path.join(tmp, "cut.dxf")),
        args=["@TMP@/cut.dxf"],
        script="""
            answer ZuschnittForm press=KopierenBtn ok
            trigger ZuschnittPruefen1
            state
            answer ZuschnittForm ToleranzEd=0.001 FehlerListe=0 dblclick=FehlerListe ok
            trigger ZuschnittPruefen1
            png @TMP@/marked.png
            state
            answer ZuschnittForm ToleranzEd=0.01 press=BereinigenBtn ok
            trigger ZuschnittPruefen1
            state
            saveas @TMP@/repaired.dxf
            key ctrl+z
            answer ZuschnittForm ok
            trigger ZuschnittPruefen1
            state
            saveas @TMP@/undone.dxf
            trigger LineBtn
            click 10 10
            click 50 50
            key Escape
            state
        """,
        png=("@TMP@/marked.png", 1200, 800),
        audit="@TMP@/repaired.dxf",
        same=("@TMP@/undone.dxf", "@TMP@/cut.dxf"),
        measured=("@TMP@/cut.dxf", check_cut_states),
    ),
    dict(
        name="blocks that insert each other many times over: each paint is quick and says not all is drawn",
        user_file=("fanout.dxf", FAN_OUT),
        script="""
            open @USER@/fanout.dxf
            key ctrl+a
            state
            trigger LineBtn
            click @30,1 ctrl
            click @35,1 ctrl
            click @35,1 right
            saveas @TMP@/fanout.dxf
            state
        """,
        stdout=["status: Nicht alles ist gezeichnet: die Blockreferenzen gehen zu tief oder zeichnen zu viel.",
                "undo: 1"],
        audit="@TMP@/fanout.dxf",
        seconds=20,
    ),
    dict(
        name="the recent files: opened and saved drawings, the latest first",
        script="""
            open @DRAWINGS@/arc.dxf
            saveas @TMP@/copy.dxf
            new
            trigger RecentFile2
            state
            trigger RecentFile2
            state
        """,
        stdout=["caption: Vestrel - [arc.dxf]", "caption: Vestrel - [copy.dxf]"],
    ),
    dict(
        name="the layer manager and a new line style",
        script="""
            trigger LineBtn
            click @1,1 ctrl
            click @8,1 ctrl
            click @8,1 right
            # a new layer from the manager, a line style of dots
            answer LayerForm BitBtn5
            answer AddNewLayerForm Edit1=Waende LineWeightBox=7 ColorComboBox=Blau ok
            trigger Layer1
            answer LinienstilForm Edit1=Punktiert press=BitBtn3 ok
            trigger Linienstile1
            # the line onto them, then layer 0 switched off
            click @4,1
            combo LayerCombo Waende
            click @4,1
            combo LineCombo Punktiert
            answer LayerForm ListView1=0 press=BitBtn4 ok
            trigger Layer1
            png @TMP@/layers.png
            saveas @TMP@/layers.dxf
            state
        """,
        stdout=["undo: 6", "modified: 0"],
        audit="@TMP@/layers.dxf",
        png=("@TMP@/layers.png", 1200, 800),
        check=("@TMP@/layers.dxf", check_layers),
    ),
    dict(
        name="with nothing selected the boxes and the layer manager choose what new objects take",
        setup=lambda tmp: plain_drawing(os.path.join(tmp, "plain.dxf")),
        script="""
            open @TMP@/plain.dxf
            state
            combo LayerCombo Waende
            combo ColorComboBox Rot
            trigger LineBtn
            click @1,1 ctrl
            click @8,1 ctrl
            click @8,1 right
            state
            saveas @TMP@/current.dxf
            # "Aktuell" in the layer manager, then every step taken back
            answer LayerForm ListView1=0 press=AktuellBtn ok
            trigger Layer1
            state
            key ctrl+z
            key ctrl+z
            key ctrl+z
            key ctrl+z
            state
        """,
        stdout=["current: $CLAYER= $CECOLOR=256 $CELTYPE=ByLayer $CELWEIGHT=-1",
                "current: $CLAYER=Waende $CECOLOR=1 $CELTYPE=ByLayer $CELWEIGHT=-1",
                "current: $CLAYER=0 $CECOLOR=1 $CELTYPE=ByLayer $CELWEIGHT=-1",
                "undo: 0",
                "current: $CLAYER= $CECOLOR=256 $CELTYPE=ByLayer $CELWEIGHT=-1"],
        audit="@TMP@/current.dxf",
        check=("@TMP@/current.dxf", check_current),
    ),
    dict(
        name="values typed with a line break: names refused, texts with their escapes",
        script="""
            answer LayerForm BitBtn5
            answer AddNewLayerForm Edit1="Wa\\nende" ok
            answer message ok
            trigger Layer1
            answer LinienstilForm Edit1="Punk\\ntiert" press=BitBtn3 ok
            answer message ok
            trigger Linienstile1
            answer LinienstilForm Edit1=Punktiert Edit2="eine\\nLinie" ok
            answer message ok
            trigger Linienstile1
            answer LinienstilForm Edit1=Punktiert Edit2="Punkte ^ Striche" ok
            trigger Linienstile1
            trigger TextBtn
            answer AddTextForm Memo1="Zeile\\neins\t^2" ok
            click @2,3 ctrl
            trigger DimensionBtn
            typed 1 5
            typed 5 5
            answer AddTextForm Memo1="4.00\\nmm" ok
            typed 3 6
            trigger TextBtn
            answer AddTextForm Memo1="DEL\x7f" ok
            answer message ok
            click @2,8 ctrl
            saveas @TMP@/typed.dxf
            state
        """,
        stdout=[MSG_BAD_LAYER_NAME, MSG_BAD_LINE_TYPE_NAME, MSG_CONTROL_CHARACTER, MSG_CONTROL_CHARACTER,
                "modified: 0"],
        audit="@TMP@/typed.dxf",
        check=("@TMP@/typed.dxf", check_typed),
    ),
    dict(
        name="an ellipse's minor axis dragged past its major one; a mirror across one point refused",
        script="""
            trigger EllipseBtn
            click @8,8 ctrl
            click @12,8 ctrl
            click @10,9 ctrl
            key Escape
            key ctrl+a
            press @10,9
            move @10,12 left
            release @10,12
            key ctrl+a
            trigger MirrorBtn
            click @0,5 ctrl
            answer message ok
            click @0,5 ctrl
            key ctrl+a
            press @8,8
            move @10,8 left
            answer message ok
            release @10,8
            saveas @TMP@/ellipse.dxf
            state
        """,
        stdout=[MSG_NO_MIRROR_AXIS, MSG_ZERO_AXIS, "undo: 2", "modified: 0"],
        audit="@TMP@/ellipse.dxf",
        check=("@TMP@/ellipse.dxf", check_grip_and_mirror),
    ),
    dict(
        name="a drawing whose name is no UTF-8: in the recent files of the next start, opened and saved",
        runs=[
            dict(copy=("@DRAWINGS@/arc.dxf", "@TMP@/lat\udce9.dxf"), args=["@TMP@/lat\udce9.dxf"],
                 script="new\nstate\n", stdout=["caption: Vestrel - [unbenannt.dxf]"]),
            dict(script_name="second.replay", script="trigger RecentFile1\nsave\nstate\n",
                 stdout=["caption: Vestrel - [lat\ufffd.dxf]"],
                 same=("@TMP@/lat\udce9.dxf", "@DRAWINGS@/arc.dxf")),
        ],
    ),
    dict(
        name="every dialog cancelled changes nothing",
        script="""
            trigger LineBtn
            click @1,1 ctrl
            click @8,1 ctrl
            click @8,1 right
            trigger TextBtn
            answer AddTextForm Memo1=Hallo FontSizeEd=1 ok
            click @2,3 ctrl
            tab 1
            tab 0
            saveas @TMP@/before.dxf
            state
            answer LayerForm ListView1=0 press=BitBtn4 press=BitBtn6 cancel
            trigger Layer1
            answer LayerForm BitBtn5
            answer AddNewLayerForm Edit1=Neu cancel
            trigger Layer1
            answer LinienstilForm Edit1=Punktiert cancel
            trigger Linienstile1
            answer PolygonForm EckenEd=6 cancel
            trigger PolyGon
            state
            key ctrl+a
            trigger RotationsrichtungperTastatureingeben1
            trigger RotateBtn
            answer RotationsForm RotEd=30 cancel
            click @1,1 ctrl
            key ctrl+a
            trigger ScaleBtn
            answer SkalierungForm SkalEd=50 cancel
            click @1,1 ctrl
            key ctrl+a
            answer ArrayForm SpaltenEd=3 cancel
            trigger ArrayBtn
            key Escape
            trigger DimensionBtn
            click @1,2 ctrl
            click @8,2 ctrl
            answer AddTextForm cancel
            click @4,2.5 ctrl
            key Escape
            click @2.01,2.99
            answer AddTextForm Memo1=Anders cancel
            dblclick @2.01,2.99
            answer DruckenForm RandEd=9 cancel
            trigger Seiteeinrichten1
            answer DruckenForm cancel
            trigger Drucken1
            tab 1
            answer ViewPortForm breiteEd=100 cancel
            trigger Viewporthinzufgen1
            tab 0
            state
            saveas @TMP@/after.dxf
        """,
        # after the polygon's dialog no tool is armed
        stdout=["undo: 3", "modified: 0", "down:", "undo: 3", "modified: 0", "undo: 3", "modified: 0"],
        same=("@TMP@/after.dxf", "@TMP@/before.dxf"),
    ),
    dict(
        name="an array too large to wait for: cancelled on its progress bar, it changes nothing",
        args=["@USER@/polyline.dxf"],
        script="""
            key ctrl+a
            answer ArrayForm SpaltenEd=316 ZeilenEd=316 SpaltenAbstandEd=1 ZeilenAbstandEd=1 ok
            answer QProgressDialog cancel
            trigger ArrayBtn
            state
            saveas @TMP@/after.dxf
        """,
        user_file=("polyline.dxf", POLYLINE_OF_22),
        stdout=["undo: 0", "modified: 0"],
        same=("@TMP@/after.dxf", "@USER@/polyline.dxf"),
    ),
    dict(
        name="every drawing tool in a new R2000 drawing",
        script=EVERY_KIND.format(new="new", answer_xline="", answer_ray="", spline=SPLINE, ellipses=ELLIPSES,
                                 answer_text=""),
        stdout=["modes:", "down:", "undo: 25", "modified: 0"],
        audit="@TMP@/every.dxf",
        check=("@TMP@/every.dxf", lambda doc: check_every_kind(doc, False)),
    ),
    dict(
        name="every drawing tool in a new R12 drawing: what it cannot hold is refused",
        script=EVERY_KIND.format(new="new12", answer_xline="answer message ok", answer_ray="answer message ok",
                                 spline="answer message ok\ntrigger SplineBtn",
                                 ellipses="answer message ok\ntrigger EllipseBtn\nanswer message ok\ntrigger Ellipsenbogen1",
                                 answer_text="answer message ok"),
        stdout=["message 13: Die DXF Version dieser DXF Datei unterstützt keine Konstruktionslinien.",
                "message 36: Die DXF Version dieser DXF untersützt keine mehrzeilen Texte. "
                "Es wird nur die erste Zeile verwendet.",
                "modes:", "down:", "undo: 20", "modified: 0"],
        audit="@TMP@/every.dxf",
        check=("@TMP@/every.dxf", lambda doc: check_every_kind(doc, True)),
    ),
    dict(
        name="the editing tools: window, move, rotate by the dialog, mirror, scale, copy, array, delete, undo, "
             "the colour, undo and redo",
        script=EDITS,
        stdout=["selected: 2", "modes: inmoveline", "ellipsemode: 1", "undo: 9", "undo: 9", "modified: 0"],
        audit="@TMP@/edits.dxf",
        check=("@TMP@/edits.dxf", check_edits),
    ),
    dict(
        name="a drawing: zoom, tabs, undo, save as",
        args=["--size", "800x600"],
        script="""
            # a layout visited for the first time gets its viewport
            open @MADE@/gear.dxf
            trigger Vergrern1
            wheel 400 300 up
            tab 1
            state
            key ctrl+z
            tab 0
            trigger Alleszeigen1
            png @TMP@/gear.png
            saveas @TMP@/copy.dxf
            state
            # the copy is the open drawing now: saving writes it again
            save
            tab 1
            answer message no
            new
            state
        """,
        stdout=["modes:", "down:", "undo: 1", "modified: 1", "tab: 1", "caption: Vestrel - [gear.dxf*]",
                "menus: Datei, Bearbeiten, Ändern, Ansicht, Zeichnen, Format, Extras, Optionen, Fang, Sprache",
                "undo: 0", "modified: 0", "tab: 0", "caption: Vestrel - [copy.dxf]",
                "undo: 0", "modified: 0", "caption: Vestrel - [unbenannt.dxf]"],
        same=("@TMP@/copy.dxf", "@MADE@/gear.dxf"),  # the viewport taken back
        png=("@TMP@/gear.png", 800, 600),
        audit="@TMP@/copy.dxf",
    ),
    dict(
        name="the question before a new drawing, and saving over a file",
        args=["@DRAWINGS@/arc.dxf"],
        script="""
            tab 1
            answer message cancel
            new12
            saveas @TMP@/arc1.dxf
            answer message yes
            saveas @TMP@/arc1.dxf
            # any file dialog, by the names of its controls
            answer QFileDialog fileNameEdit=@TMP@/other.dxf ok
            trigger Speichernunter1
            state
        """,
        stdout=["message 7: Die Datei ist noch nicht gespeichert. Wollen Sie jetzt speichern?",
                "message 0: Die Datei arc1.dxf existiert bereits.\\nSoll sie überschrieben werden?",
                "modified: 0", "caption: Vestrel - [other.dxf]"],
        same=("@TMP@/arc1.dxf", "@TMP@/other.dxf"),
        audit="@TMP@/arc1.dxf",
    ),
    dict(
        name="two Vestrels on one drawing: the second is told, the first's save after the second's asks",
        script="""
            saveas @TMP@/shared.dxf
            trigger LineBtn
            typed 1 1
            typed 8 1
            key Escape
            state
            # the other Vestrel has its turn
            wait @TMP@/go
            # kept on editing: nothing is written
            answer message cancel
            save
            state
            answer message SaveAsBtn
            answer QFileDialog fileNameEdit=@TMP@/mine.dxf ok
            save
            state
        """,
        meanwhile=dict(
            after="caption: Vestrel - [shared.dxf*]",
            runs=[dict(
                script_name="second.replay",
                script="""
                    answer message ok
                    open @TMP@/shared.dxf
                    trigger LineBtn
                    typed 1 5
                    typed 8 5
                    key Escape
                    save
                    state
                    saveas @TMP@/second.dxf
                """,
                stdout=[f"message {MSG_OPEN_ELSEWHERE}: Die folgende Datei ist bereits in einem anderen Vestrel "
                        "geöffnet. Wer später speichert, wird gefragt, bevor er die Änderungen des anderen "
                        "überschreibt: @TMP@/shared.dxf\\n@HOST@ (PID @WAITING_PID@)", "modified: 0"],
            )],
            then="@TMP@/go"),
        stdout=[SHARED_CHANGED, "modified: 1", SHARED_CHANGED, "modified: 0", "caption: Vestrel - [mine.dxf]"],
        # the shared drawing is the second's; the first's went elsewhere
        same=("@TMP@/shared.dxf", "@TMP@/second.dxf"),
        check=("@TMP@/mine.dxf", lambda doc: check_lines(doc, [(1, 1), (8, 1)])),
        # the locks went with the programs
        empty="@USER@/locks",
    ),
    dict(
        name="a program killed while its drawing has unsaved changes: the next one recovers it with its history",
        script="""
            trigger LineBtn
            click @1,1 ctrl
            click @8,1 ctrl
            click @8,4 ctrl
            click @8,4 right
            key ctrl+z
            state
            wait @TMP@/never
        """,
        # half a second and more for the record to reach the disk, then the
        # end without a word
        meanwhile=dict(
            after="undo: 1", pause=1.5, kill=True,
            runs=[dict(
                script_name="second.replay",
                script="""
                    answer message yes
                    trigger Wiederherstellen2
                    state
                    saveas @TMP@/recovered.dxf
                    key ctrl+y
                    state
                    saveas @TMP@/redone.dxf
                    answer message ok
                    trigger Wiederherstellen2
                """,
                stdout=["undo: 1", "modified: 1", "undo: 2",
                        f"message {MSG_NOTHING_TO_RECOVER}: Es gibt keine Zeichnung zum Wiederherstellen."],
                check=("@TMP@/recovered.dxf", lambda doc: check_lines(doc, [(1, 1), (8, 1)]) +
                       ([] if len(doc.modelspace().query("LINE")) == 1 else ["not one line"])),
            )]),
        exit=-9,
        stdout=["undo: 1"],
        check=("@TMP@/redone.dxf", lambda doc: check_lines(doc, [(8, 1), (8, 4)])),
        empty="@USER@/recovery",
    ),
    dict(
        name="the file to open is not given to the save dialog of the question before",
        copy=("@DRAWINGS@/arc.dxf", "@TMP@/arc1.dxf"),
        script="tab 1\nanswer message yes\nopen @TMP@/arc1.dxf\n",
        exit=1, stderr="@SCRIPT@:3: a save dialog opened, but the file is one to open",
        same=("@TMP@/arc1.dxf", "@DRAWINGS@/arc.dxf"),
    ),
    dict(
        name="an unknown word: nothing runs",
        script="state\nsaveas @TMP@/never.dxf\nfrobnicate\n",
        exit=1, stderr='@SCRIPT@:3: unknown command "frobnicate"', stdout=None, nofile="@TMP@/never.dxf",
    ),
    dict(
        name="a missing file",
        script="open @TMP@/missing.dxf\nsaveas @TMP@/never.dxf\n",
        exit=1, stderr="@SCRIPT@:1: there is no file @TMP@/missing.dxf", nofile="@TMP@/never.dxf",
    ),
    dict(
        name="a missing file to start with",
        args=["@TMP@/missing.dxf"],
        script="saveas @TMP@/never.dxf\n",
        exit=1, stderr="vestrel: cannot open @TMP@/missing.dxf", nofile="@TMP@/never.dxf",
    ),
    dict(
        name="a folder for a script",
        script="", script_arg="@TMP@",
        exit=1, stderr="vestrel: cannot read @TMP@: it is a folder",
    ),
    dict(
        name="a FIFO for a script: refused, not waited on",
        setup=lambda tmp: os.mkfifo(os.path.join(tmp, "fifo")),
        script="", script_arg="@TMP@/fifo",
        exit=1, stderr="vestrel: cannot read @TMP@/fifo: not a regular file",
    ),
    dict(
        name="/dev/zero for a script, in little memory: refused, not read",
        script="", script_arg="/dev/zero", memory=1 << 30,
        exit=1, stderr="vestrel: cannot read /dev/zero: not a regular file",
    ),
    dict(
        name="a script larger than any script",
        setup=lambda tmp: sparse_file(os.path.join(tmp, "huge.replay"), 17 << 20),
        script="", script_arg="@TMP@/huge.replay",
        exit=1, stderr="vestrel: cannot read @TMP@/huge.replay: too large",
    ),
    dict(
        name="a macro that plays itself stops at once",
        script="""
            answer QFileDialog fileNameEdit=@SCRIPT@ ok
            answer message ok
            trigger Makroabspielen1
            state
        """,
        stdout=[f"message {MSG_MACRO_STOPPED}: Das Makro lief nicht zu Ende: @SCRIPT@:4: Makroabspielen1 cannot be "
                "used now\\n", "modified: 0"],
    ),
    dict(
        name="a macro larger than any script is refused with a message",
        setup=lambda tmp: sparse_file(os.path.join(tmp, "huge.replay"), 17 << 20),
        script="""
            answer QFileDialog fileNameEdit=@TMP@/huge.replay ok
            answer message ok
            trigger Makroabspielen1
            state
        """,
        stdout=[f"message {MSG_MACRO_UNREADABLE}: Das Makro kann nicht gelesen werden: @TMP@/huge.replay\\nDie "
                "Datei ist zu groß.", "modified: 0"],
    ),
    dict(
        name="a macro played while recording is recorded as what it does",
        script="""
            trigger Makroaufzeichnen1
            trigger LineBtn
            typed 1 1
            typed 8 1
            key Escape
            answer QFileDialog fileNameEdit=@TMP@/a.replay ok
            trigger Makroaufzeichnen1
            # b: a played, then a line by hand
            trigger Makroaufzeichnen1
            answer QFileDialog fileNameEdit=@TMP@/a.replay ok
            trigger Makroabspielen1
            trigger LineBtn
            typed 1 3
            typed 8 3
            key Escape
            answer QFileDialog fileNameEdit=@TMP@/b.replay ok
            trigger Makroaufzeichnen1
            answer message no
            new
            answer QFileDialog fileNameEdit=@TMP@/b.replay ok
            trigger Makroabspielen1
            saveas @TMP@/b.dxf
            state
        """,
        stdout=["undo: 2"],
        check=("@TMP@/b.dxf", lambda doc: check_lines(doc, [(1, 1), (8, 1)]) + check_lines(doc, [(1, 3), (8, 3)]) +
               ([] if len(doc.modelspace().query("LINE")) == 2 else ["not two lines"])),
    ),
    dict(
        name="an answer for the wrong dialog",
        script="answer ViewPortForm ok\ntrigger Drucken1\nsaveas @TMP@/never.dxf\n",
        exit=1,
        stderr="@SCRIPT@:2: DruckenForm opened, but the answer queued (line 1) is for ViewPortForm",
        nofile="@TMP@/never.dxf",
    ),
    dict(
        name="an answer left over",
        script="answer message yes\nstate\nsaveas @TMP@/never.dxf\n",
        exit=1, stderr="@SCRIPT@:2: the answer of line 1 for message was not asked for", nofile="@TMP@/never.dxf",
    ),
    dict(
        name="an answer left at the end",
        script="tab 1\nanswer DruckenForm ok\n",
        exit=1, stderr="@SCRIPT@:2: the answer for DruckenForm was never asked for",
    ),
    dict(
        name="English chosen, and the next start speaks it",
        user_dictionary=True,
        runs=[
            dict(script="""
                    answer message ok
                    trigger English1
                    state
                    trigger Beenden1
                """,
                 stdout=["message 2: Please close the program and start it again.",
                         "caption: Vestrel - [unbenannt.dxf]",
                         "menus: Datei, Bearbeiten, Ändern, Ansicht, Zeichnen, Format, Extras, Optionen, Fang, Sprache"],
                 bytes={"@USER@/options.dat": b"\x01\x00\x00\x00"}),
            dict(script_name="second.replay",
                 script="""
                    state
                    new12
                    answer message ok
                    trigger Konstruktionslinie1
                    answer message ok
                    trigger Deutsch1
                    trigger Beenden1
                """,
                 stdout=["caption: Vestrel - [untitled.dxf]",
                         "menus: File, Edit, Modify, View, Draw, Format, Tools, Options, Snap, Language",
                         "message 13: The DXF version of this DXF file does not support construction lines.",
                         "message 2: Bitte schließen Sie das Program und starten Sie es neu."],
                 bytes={"@USER@/options.dat": b"\x00\x00\x00\x00",
                        "@USER@/translate.dat": DICTIONARY}),
        ],
    ),
    dict(
        name="the translation editor: a cell typed, a row deleted, a search",
        user_dictionary=True,
        script="""
            answer TranslateForm StringGrid1=Datei StringGrid1.3=Fichier StringGrid1=Beenden press=DeleteRowBtn StringGrid1=0 press=DeleteRowBtn FilterEdit=DATEI press=FilterBtn BackBtn
            answer message yes
            answer message no
            answer message yes
            answer message no
            answer message ok
            trigger bersetzen1
            state
        """,
        stdout=["message 46: Soll dieser Eintrag aus dem Wörterbuch gelöscht werden?\\nBeenden",
                "message 46: Soll dieser Eintrag aus dem Wörterbuch gelöscht werden?\\nKonte die folgende Datei "
                "nicht öffnen:",
                "message 45: Gefunden. Weitersuchen?", "message 45: Gefunden. Weitersuchen?",
                "message 2: Bitte schließen Sie das Program und starten Sie es neu.", "modified: 0"],
        # the user's file holds what is his own, not what comes shipped
        dictionary=("@USER@/translate.dat", {"Datei": (3, "Fichier"), "Datei ": (1, None), "Beenden": (0, None),
                                             "Konte die folgende Datei nicht öffnen:": (0, None),
                                             "Speichern unter...": (0, None)}),
    ),
    dict(
        name="a truncated dictionary: told once, kept as translate.dat.bad, written anew",
        user_file=("translate.dat", TRUNCATED_DICTIONARY),
        script="state\n",
        stdout=[DAMAGED_DICTIONARY.format(kept="translate.dat.bad"), "modified: 0"],
        bytes={"@USER@/translate.dat.bad": TRUNCATED_DICTIONARY},
        dictionary=("@USER@/translate.dat", {"Konte die folgende Datei nicht öffnen:": (0, None),
                                             "unbenannt.dxf": (0, None), "Datei": (0, None)}),
    ),
    dict(
        name="damaged again at the next start: every damaged dictionary is kept",
        runs=[dict(user_file=("translate.dat", TRUNCATED_DICTIONARY), script="state\n",
                   stdout=[DAMAGED_DICTIONARY.format(kept="translate.dat.bad")]),
              dict(user_file=("translate.dat", TRUNCATED_DICTIONARY[:2001]), script="state\n",
                   stdout=[DAMAGED_DICTIONARY.format(kept="translate.dat.bad.1")],
                   bytes={"@USER@/translate.dat.bad": TRUNCATED_DICTIONARY,
                          "@USER@/translate.dat.bad.1": TRUNCATED_DICTIONARY[:2001]})],
    ),
    dict(
        name="a text too long for the dictionary is refused in the editor",
        user_dictionary=True,
        script=f"""
            answer TranslateForm StringGrid1=Datei StringGrid1.3={"x" * 4_300_000} StringGrid1.4=Archivo BackBtn
            answer message ok
            answer message ok
            trigger bersetzen1
        """,
        stdout=[f"message {MSG_CELL_TOO_LONG}: Dieser Text wird nicht übernommen: mit ihm würde das Wörterbuch "
                "größer, als es beim nächsten Start gelesen werden kann.",
                "message 2: Bitte schließen Sie das Program und starten Sie es neu."],
        dictionary=("@USER@/translate.dat", {"Datei": (4, "Archivo")}),
    ),
    dict(
        name="a layout prints on its own paper: A3 landscape, whatever the page set-up of the model",
        script="""
            open @MADE@/fingerprint.dxf
            answer DruckenForm mmEd=1 UnitsEd=10 RandEd=5 ok
            trigger Seiteeinrichten1
            tab 2
            png @TMP@/detail.png
            answer DruckenForm ok
            answer QFileDialog fileNameEdit=@TMP@/detail.pdf ok
            trigger Drucken1
        """,
        png=("@TMP@/detail.png", 1200, 800),
        pdf_page=("@TMP@/detail.pdf", 420, 297),
    ),
    dict(
        name="object snaps: each switched on and off, F3 for all, the points exact in the saved drawing",
        runs=[
            dict(
                script="""
                    new
                    trigger LineBtn
                    typed 0 0
                    typed 30 0
                    click 5 5 right
                    trigger LineBtn
                    typed 20 -10
                    typed 20 20
                    click 5 5 right
                    trigger CircleBtn
                    typed 50 0
                    typed 60 0
                    trigger ArcBtn
                    typed 80 0
                    typed 90 10
                    typed 100 0
                    trigger ZoomAll
                    trigger FangMitte1
                    trigger FangSchnitt1
                    trigger LineBtn
                    click @15.1,0.1
                    click @20.1,-0.1
                    click 5 5 right
                    state
                    trigger FangMitte1
                    trigger FangSchnitt1
                    trigger FangTangente1
                    trigger LineBtn
                    typed 50 30
                    click @59.4,3.4
                    click 5 5 right
                    trigger FangTangente1
                    trigger FangLot1
                    key F3
                    state
                    key F3
                    trigger LineBtn
                    typed 110 20
                    click @97.1,7.1
                    click 5 5 right
                    trigger FangLot1
                    trigger FangZentrum1
                    trigger FangQuadrant1
                    trigger LineBtn
                    click @50.1,0.1
                    click @59.9,0.1
                    click 5 5 right
                    state
                    trigger PointBtn
                    typed 70 30
                    trigger FangZentrum1
                    trigger FangQuadrant1
                    trigger FangBasis1
                    trigger FangEndpunkt1
                    trigger LineBtn
                    click @70.1,29.9
                    click @29.9,0.1
                    click 5 5 right
                    trigger FangBasis1
                    trigger FangEndpunkt1
                    trigger FangNaechster1
                    trigger LineBtn
                    typed 40 25
                    click @57.2,-7.2
                    click 5 5 right
                    saveas @TMP@/snapped.dxf
                """,
                stdout=["snaps: FangMitte1 FangSchnitt1", "snapped: 20 0 FangSchnitt1", "snaps:",
                        "snaps: FangZentrum1 FangQuadrant1", "snapped: 60 0 FangQuadrant1"],
                check=("@TMP@/snapped.dxf", check_snapped),
            ),
            # a script starts with none on, whatever the one before left on
            dict(script_name="second.replay", script="trigger FangLot1\nstate", stdout=["snaps: FangLot1"]),
        ],
    ),
    dict(
        name="the grid, ortho, polar and typed points: exact in the saved drawing, a bad entry clicks nowhere",
        runs=[
            dict(
                script="""
                    new
                    answer RasterForm AbstandEd=0.5 ok
                    trigger Rasterabstand1
                    key F9
                    key F8
                    trigger LineBtn
                    input 1,1
                    click @5.4,1.3
                    input @0,2
                    click @5.2,6.1 shift
                    input 1,5,2
                    state
                    click 5 5 right
                    key F8
                    answer PolarForm WinkelEd=30 ok
                    trigger Polarwinkel1
                    key F10
                    trigger LineBtn
                    input 7,5
                    move @10.1,6.9
                    png @TMP@/polar.png
                    click @10.1,6.9
                    input "@2,5 < 90"
                    click 5 5 right
                    state
                    saveas @TMP@/aids.dxf
                """,
                stdout=["undo: 3", "status: Die Eingabe ist mehrdeutig: das Komma trennt die Zahlen und kann hier "
                        "auch Dezimalzeichen sein. Bitte den Punkt als Dezimalzeichen verwenden.",
                        "aids: FangRaster1=0.5 Ortho1", "undo: 5", "aids: FangRaster1=0.5 Polar1=30"],
                png=("@TMP@/polar.png", 1200, 800),
                audit="@TMP@/aids.dxf",
                check=("@TMP@/aids.dxf", check_aids),
            ),
            # a script starts with the aids off and the spacing a first start has
            dict(script_name="second.replay", script="trigger FangRaster1\nstate", stdout=["aids: FangRaster1=10"]),
        ],
    ),
    dict(
        name="the status bar asks for each step of a line and of a circle",
        script="""
            state
            trigger LineBtn
            state
            click 100 100 ctrl
            state
            click 200 100 ctrl
            state
            click 200 100 right
            state
            trigger CircleBtn
            state
            click 300 300 ctrl
            state
            click 350 300 ctrl
            state
            # typed points step on as clicks do
            trigger ArcBtn
            typed 0 0
            state
            typed 5 5
            state
        """,
        stdout=["prompt: Objekt wählen oder Fenster aufziehen", "prompt: Erster Punkt",
                "prompt: Nächster Punkt oder Rechtsklick für Ende", "prompt: Nächster Punkt oder Rechtsklick für Ende",
                "prompt: Objekt wählen oder Fenster aufziehen", "prompt: Mittelpunkt", "prompt: Radius",
                "prompt: Objekt wählen oder Fenster aufziehen", "prompt: Punkt auf dem Bogen", "prompt: Endpunkt"],
    ),
    dict(
        name="a middle drag pans while a line is drawn, which goes on from its first point",
        script="""
            trigger LineBtn
            click @0,0 ctrl
            move 600 400
            state
            press 600 400 middle
            move 650 420 middle
            release 650 420 middle
            # the point that was under the pointer is under it again
            move 650 420
            state
            click @10,0 ctrl
            click 5 5 right
            trigger ZoomVorher1
            move 600 400
            state
            saveas @TMP@/pan.dxf
        """,
        stdout=["modes: inlin", "status: 5.0667, 5.0533", "prompt: Nächster Punkt oder Rechtsklick für Ende",
                "modes: inlin", "undo: 0", "status: 5.0667, 5.0533",
                "prompt: Nächster Punkt oder Rechtsklick für Ende", "undo: 1", "status: 5.0667, 5.0533"],
        check=("@TMP@/pan.dxf", lambda doc: check_lines(doc, [(0, 0), (10, 0)])),
    ),
    dict(
        name="zoom to a dragged window and back to the view before",
        script="""
            state
            trigger ZoomFenster1
            state
            press 100 100
            move 300 200 left
            release 300 200
            state
            trigger ZoomVorher1
            state
        """,
        # a window of 200 by 100 pixels fills the 1200 by 800 of the area
        stdout=["zoom: 7500", "modes: inzoomwindow", "prompt: Erste Ecke des Fensters", "modes:", "zoom: 45000",
                "zoom: 7500"],
    ),
    dict(
        name="a recorded macro makes a layer current in the layer manager and zooms to a window again",
        setup=lambda tmp: plain_drawing(os.path.join(tmp, "plain.dxf")),
        script="""
            open @TMP@/plain.dxf
            trigger Makroaufzeichnen1
            answer LayerForm ListView1=Waende press=AktuellBtn ok
            trigger Layer1
            trigger ZoomFenster1
            press 100 100
            move 300 200 left
            release 300 200
            answer QFileDialog fileNameEdit=@TMP@/current.replay ok
            trigger Makroaufzeichnen1
            state
            trigger ZoomVorher1
            key ctrl+z
            state
            answer QFileDialog fileNameEdit=@TMP@/current.replay ok
            trigger Makroabspielen1
            state
        """,
        stdout=["zoom: 45000", "current: $CLAYER=Waende $CECOLOR=256 $CELTYPE=ByLayer $CELWEIGHT=-1",
                "zoom: 7500", "current: $CLAYER= $CECOLOR=256 $CELTYPE=ByLayer $CELWEIGHT=-1",
                "zoom: 45000", "current: $CLAYER=Waende $CECOLOR=256 $CELTYPE=ByLayer $CELWEIGHT=-1"],
    ),
    dict(
        name="with no view before there is none to go back to",
        script="trigger ZoomVorher1\n",
        exit=1, stderr="@SCRIPT@:1: ZoomVorher1 cannot be used now",
    ),
]


def pdf_page_mm(path):
    """The size of a PDF's first page in millimetres, as pdfinfo says it."""
    out = subprocess.run(["pdfinfo", path], capture_output=True, text=True).stdout
    for line in out.splitlines():
        if line.startswith("Page size:"):
            w, _, h = line.split()[2:5]
            return float(w) * 25.4 / 72, float(h) * 25.4 / 72
    return None


def png_size(path):
    with open(path, "rb") as f:
        head = f.read(24)
    if head[:8] != b"\x89PNG\r\n\x1a\n":
        return None
    return struct.unpack(">II", head[16:24])


def lines_of(path):
    """The lines of a drawing, whatever ends them, but for the value of
    $HANDSEED: a handle given out stays given out, even when its object is
    taken back."""
    with open(path, "rb") as f:
        lines = f.read().replace(b"\r\n", b"\n").split(b"\n")
    while lines and not lines[-1]:
        lines.pop()
    for i in range(len(lines) - 2):
        if lines[i].strip() == b"$HANDSEED":
            lines[i + 2] = b"(handle seed)"
    return lines


def run_one(vestrel, drawings, tmp, case):
    """Runs one script of a case in its folder `tmp`; returns what is wrong."""
    if True:
        script = os.path.join(tmp, case.get("script_name", "case.replay"))
        user = os.path.join(tmp, "data", "Korvel", "Vestrel")
        subst = lambda s: (s.replace("@DRAWINGS@", drawings[0]).replace("@MADE@", drawings[1])
                           .replace("@TMP@", tmp).replace("@SCRIPT@", script).replace("@USER@", user)
                           .replace("@HOST@", socket.gethostname())
                           .replace("@WAITING_PID@", str(case.get("waiting_pid"))))
        with open(script, "w", encoding="utf-8") as f:
            f.write("\n".join(line.strip() for line in subst(case["script"]).splitlines()) + "\n")
        if "copy" in case:
            shutil.copyfile(*(subst(x) for x in case["copy"]))
        env = dict(os.environ, QT_QPA_PLATFORM="offscreen", XDG_CONFIG_HOME=os.path.join(tmp, "config"),
                   XDG_DATA_HOME=os.path.join(tmp, "data"))
        m = case.get("meanwhile")
        if "setup" in case:
            case["setup"](tmp)
        start = time.monotonic()
        p, problems = run_replay([vestrel, "--replay", subst(case.get("script_arg", script))] +
                                 [subst(a) for a in case.get("args", [])], env, case.get("memory"),
                                 m and dict(m, after=subst(m["after"])),
                                 lambda m, pid: meanwhile(vestrel, drawings, tmp, subst, m, pid))
        if p.returncode is None:
            return problems + [f"still running after {LIMIT_S} s, killed", "stdout:", p.stdout, "stderr:", p.stderr]
        took = time.monotonic() - start
        if took > case.get("seconds", LIMIT_S):
            problems.append(f"took {took:.1f} s, wanted at most {case['seconds']} s")
        if p.returncode != case.get("exit", 0):
            problems.append(f"exit {p.returncode}, wanted {case.get('exit', 0)}")
        if "stderr" in case and subst(case["stderr"]) not in p.stderr.splitlines():
            problems.append(f"no line {subst(case['stderr'])!r} on stderr")
        if "stderr" not in case and ".replay:" in p.stderr:
            problems.append("a line could not run")
        wanted = case.get("stdout", [])
        if wanted is None:
            if p.stdout:
                problems.append("printed something, wanted nothing")
        else:
            # The lines wanted, in this order, among those printed.
            out = iter(p.stdout.splitlines())
            for line in wanted:
                line = subst(line)
                if not any(o == line for o in out):
                    problems.append(f"no line {line!r} on stdout (in its place)")
                    break
        if "nofile" in case and os.path.exists(subst(case["nofile"])):
            problems.append(f"{case['nofile']} was written")
        if "same" in case:
            a, b = (subst(x) for x in case["same"])
            if not os.path.exists(a) or lines_of(a) != lines_of(b):
                problems.append(f"{a} is not {b}")
        if "png" in case:
            path, w, h = case["png"]
            size = png_size(subst(path)) if os.path.exists(subst(path)) else None
            if size != (w, h):
                problems.append(f"{path}: {size}, wanted {(w, h)}")
        if "pdf_page" in case:
            path, w, h = case["pdf_page"]
            size = pdf_page_mm(subst(path)) if os.path.exists(subst(path)) else None
            if not size or abs(size[0] - w) > 1 or abs(size[1] - h) > 1:
                problems.append(f"{path}: a page of {size} mm, wanted {(w, h)}")
        if "audit" in case and not os.path.exists(subst(case["audit"])):
            problems.append(f"{case['audit']} was not written")
        elif "audit" in case:
            auditor = ezdxf.readfile(subst(case["audit"])).audit()
            if auditor.has_errors:
                problems.append(f"ezdxf finds errors in {case['audit']}: {[e.message for e in auditor.errors]}")
        if "check" in case and not problems:
            path, check = case["check"]
            problems += check(ezdxf.readfile(subst(path)))
        for path, want in case.get("bytes", {}).items():
            path = subst(path)
            have = open(path, "rb").read() if os.path.exists(path) else None
            if have != (want if isinstance(want, bytes) else open(subst(want), "rb").read()):
                problems.append(f"{path} holds {have!r:.80}, not what was wanted")
        if "dictionary" in case:
            path, wanted = case["dictionary"]
            problems += check_dictionary(subst(path), wanted)
        if "empty" in case and os.path.isdir(subst(case["empty"])) and os.listdir(subst(case["empty"])):
            problems.append(f"{case['empty']} holds {os.listdir(subst(case['empty']))}, wanted nothing")
        if "measured" in case:
            path, check = case["measured"]
            problems += check(p.stdout, subst(path))
        if problems:
            problems += ["stdout:", p.stdout, "stderr:", p.stderr]
        return problems


def run_replay(command, env, memory, meanwhile_case, act):
    """Runs a replay, its address space limited to `memory` bytes unless
    that is None; while it runs, once it has printed the line
    `meanwhile_case["after"]`, act(meanwhile_case, its pid) has its turn. Returns
    what ran (returncode None when it was killed, running too long) and
    what act found wrong."""
    limit = memory and (lambda: resource.setrlimit(resource.RLIMIT_AS, (memory, memory)))
    with tempfile.TemporaryFile("w+", encoding="utf-8") as err:
        p = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=err, text=True, env=env, preexec_fn=limit)
        timer = threading.Timer(LIMIT_S, p.kill)
        timer.start()
        out, problems = [], []
        for line in p.stdout:
            out.append(line)
            if meanwhile_case and line.rstrip("\n") == meanwhile_case["after"]:
                problems += act(meanwhile_case, p.pid)
                meanwhile_case = None
        killed = not timer.is_alive()
        p.wait()
        timer.cancel()
        err.seek(0)
        return subprocess.CompletedProcess(command, None if killed else p.returncode, "".join(out), err.read()), \
            problems


def meanwhile(vestrel, drawings, tmp, subst, m, pid):
    """What other programs do while a replay (process `pid`) waits: after
    `pause` seconds, the replay killed when `kill`, other replays run in
    the same folder (@WAITING_PID@ standing for `pid`), files are written,
    then the file the replay waits for. Returns what is wrong with those
    runs."""
    problems = []
    time.sleep(m.get("pause", 0))
    if m.get("kill"):
        os.kill(pid, signal.SIGKILL)
    for run in m.get("runs", []):
        problems += [f"(meanwhile) {p}" for p in run_one(vestrel, drawings, tmp, dict(run, waiting_pid=pid))]
    for path, data in m.get("write", {}).items():
        with open(subst(path), "wb") as f:
            f.write(data)
    if "then" in m:
        open(subst(m["then"]), "w").close()
    return problems


def read_dictionary(path):
    """The entries of a translate.dat: a list of lists of texts."""
    with open(path, "rb") as f:
        data = f.read()
    slots, count = struct.unpack_from("<II", data)
    at, entries = 8, []
    for _ in range(count):
        entry = []
        for _ in range(slots):
            (n,) = struct.unpack_from("<I", data, at)
            entry.append(data[at + 4:at + 4 + 2 * n].decode("utf-16-le"))
            at += 4 + 2 * n
        entries.append(entry)
    if at != len(data):
        raise ValueError(f"{len(data) - at} bytes after the last entry")
    return entries


def check_dictionary(path, wanted):
    """`wanted` maps German texts to (slot, text); text None: no such entry."""
    try:
        entries = {e[0]: e for e in reversed(read_dictionary(path))}
    except (OSError, ValueError, struct.error) as e:
        return [f"{path} is no dictionary: {e}"]
    problems = []
    for german, (slot, text) in wanted.items():
        have = entries[german][slot] if german in entries else None
        if have != text:
            problems.append(f"{path}: slot {slot} of {german!r} is {have!r}, wanted {text!r}")
    return problems


def run_case(vestrel, drawings, case):
    """Returns what is wrong with the case, an empty list when nothing. A
    case of several runs ("runs") runs them in one folder, one after the
    other, as starts of the program by the same user; a run's "user_file" is
    put into the per-user folder before it."""
    tmp = tempfile.mkdtemp(prefix="vestrel-replay-")
    try:
        user = os.path.join(tmp, "data", "Korvel", "Vestrel")
        os.makedirs(user)
        if case.get("user_dictionary"):
            shutil.copyfile(DICTIONARY, os.path.join(user, "translate.dat"))
        problems = []
        for run in case.get("runs", [case]):
            if "user_file" in run:
                name, data = run["user_file"]
                with open(os.path.join(user, name), "wb") as f:
                    f.write(data)
            problems += run_one(vestrel, drawings, tmp, run)
            if problems:
                break
        return problems
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


def main(argv):
    if len(argv) != 4:
        print(__doc__)
        return 2
    vestrel, drawings = argv[1], [os.path.abspath(d) for d in argv[2:4]]
    failed = 0
    for case in CASES:
        problems = run_case(vestrel, drawings, case)
        print(("FAIL " if problems else "ok   ") + case["name"])
        for p in problems:
            print("     " + p)
        failed += bool(problems)
    print(f"{len(CASES) - failed} of {len(CASES)} cases hold")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
