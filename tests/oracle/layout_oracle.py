#!/usr/bin/python3
"""Compare what vestrel draws of paper layouts with what ezdxf draws of them,
and check what it prints of them.

Usage: layout_oracle.py [--out DIR] VESTREL DIR...

Layouts: made here with ezdxf into a temporary folder (see LAYOUTS: paper in
millimetres and inches, turned and not, margins, limits set and unset, no
paper at all, R12's paper space, a layout that was not current when saved,
attributes of references on layers that are off or frozen), and the layouts
of CORPUS_LAYOUTS when the folders hold those drawings.

Each drawing is first opened in the window, its tab visited and the drawing
saved (`--replay`): a layout without a viewport onto the model is given one
then.  That saved drawing is what both sides draw.

Sheet: the layout's paper in paper units, worked out here from its plot
settings (see expected_sheet).  In our `--export-png --tab N` picture the
sheet is the black rectangle on the grey ground; its shape must be the
expected one (within SHEET_PX pixels), and the dashed printable rectangle
must lie where the margins put it.

Render: ezdxf's drawing of the layout at the pixels per unit and over the
window that our sheet gives, every colour black on white.  ezdxf 0.18 draws
no viewport frames and cannot clip in matplotlib: the frames are drawn here
as rectangles, and each viewport that shows the model gets an axes of its
own over its box, in which ezdxf draws the model through the viewport's
view (matplotlib clips to the axes).  Our ink is what is not black on the
sheet.  Compared inside the sheet, leaving out EDGE_PX pixels along its
outline and along the printable rectangle (ezdxf draws neither): the share
of ink of either side farther than TOLERANCE_PX from ink of the other, at
most RENDER_LIMIT.

Print: `--export-pdf --tab N` of the layouts of PRINTS: the page is the
paper as turned, and a line of known length lies at its place on the page
with its length in millimetres (pdftoppm).

KNOWN lists the checks expected to differ and why, as in render_oracle.py:
a listed check that passes fails the run, so the list cannot go stale.
With --out DIR, each layout leaves DIR/NAME.png: vestrel | ezdxf |
difference (see render_oracle.side_by_side).

Exit status: 0 when every check passes or is known, 1 otherwise, 2 on bad
usage.
"""
import argparse
import concurrent.futures
import math
import os
import re
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import render_oracle as ro  # noqa: E402  (sets up matplotlib for ezdxf)

import matplotlib.image  # noqa: E402
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import ezdxf  # noqa: E402
from ezdxf.enums import TextEntityAlignment  # noqa: E402
from ezdxf.math import Vec2  # noqa: E402

GROUND = 0xC0 / 255      # the grey around the sheet
SHEET_PX = 3              # the sheet's sides may be off by this, or ...
SHEET_REL = 0.01          # ... by this share of the side
EDGE_PX = 4               # left out along the sheet's and the printable outline
BRIGHT = 0.3              # on the black sheet a pixel is ink above this
DASHED_MIN = 0.3          # share of the printable outline that must be ink
LONG_SIDE = 1000          # pixels of the picture's longer side
TOLERANCE_PX = ro.TOLERANCE_PX
RENDER_LIMIT = ro.RENDER_LIMIT
PAGE_PT = 1.5             # the PDF page may be off by this many points
PRINT_DPI = 100
PRINT_MM = 0.6            # a printed line may be off by this many millimetres
SWITCHED_OFF = 0x20000    # bit of a viewport's flags (90)
MM = 1                    # plot paper units (72)
INCH = 0
PRINTER_PAGE = (0.0, 0.0, 210.0, 297.0)  # A4 at 1 mm per unit, margin 0

KNOWN = {}
CHECKS = ("sheet", "render", "print")


# --- the layouts made here ----------------------------------------------

def set_paper(layout, paper, units, rotation, margins, limits):
    """Plot settings of a layout: paper (width, height) and margins (left,
    bottom, right, top) in millimetres; limits ((x, y), (x, y)) in paper
    units or None for unset."""
    d = layout.dxf_layout.dxf
    d.paper_width, d.paper_height = paper
    d.plot_paper_units = units
    d.plot_rotation = rotation
    d.left_margin, d.bottom_margin, d.right_margin, d.top_margin = margins
    d.limmin, d.limmax = limits or ((0, 0), (0, 0))
    d.scale_numerator = d.scale_denominator = 1


def model(msp):
    """What the viewports look at: a 100 x 60 frame, its diagonals, two
    circles about its middle and an arc."""
    msp.add_polyline2d([(0, 0), (100, 0), (100, 60), (0, 60)], close=True)
    msp.add_circle((50, 30), 25)
    msp.add_circle((50, 30), 10)
    msp.add_line((0, 0), (100, 60))
    msp.add_line((0, 60), (100, 0))
    msp.add_arc((80, 45), 12, 0, 270)


def in_printable(printable):
    """Paper coordinates by shares of the printable area."""
    x0, y0, x1, y1 = printable
    return lambda fx, fy: (x0 + fx * (x1 - x0), y0 + fy * (y1 - y0))


def paper_drawing(layout, at, size):
    """A title block, a text and a circle in shares of the printable area;
    `size` is the printable area's height in paper units."""
    layout.add_polyline2d([at(0.05, 0.05), at(0.95, 0.05), at(0.95, 0.95),
                           at(0.05, 0.95)], close=True)
    layout.add_polyline2d([at(0.6, 0.05), at(0.6, 0.18), at(0.95, 0.18)])
    layout.add_line(at(0.6, 0.115), at(0.95, 0.115))
    layout.add_text("Blatt 1", dxfattribs={"height": 0.03 * size}).set_placement(
        at(0.63, 0.135))
    layout.add_circle(at(0.78, 0.6), 0.08 * size)
    layout.add_line(at(0.7, 0.6), at(0.86, 0.6))


def model_viewport(layout, at, centre, share, view_height, **dxfattribs):
    """A viewport of `share` (width, height) of the printable area, onto the
    model around (50, 30)."""
    (x0, y0), (x1, y1) = at(centre[0] - share[0] / 2, centre[1] - share[1] / 2), \
        at(centre[0] + share[0] / 2, centre[1] + share[1] / 2)
    vp = layout.add_viewport(((x0 + x1) / 2, (y0 + y1) / 2), (x1 - x0, y1 - y0),
                             (50, 30), view_height, dxfattribs={"layer": "0"})
    for name, value in dxfattribs.items():
        vp.dxf.set(name, value)
    return vp


def plain(doc, layout, at, size):
    paper_drawing(layout, at, size)
    vp = model_viewport(layout, at, (0.3, 0.5), (0.4, 0.5), 50)
    if doc.dxfversion == "AC1009":
        # Switched off by its status, as R12 has no flags (90); ezdxf reads
        # no view from R12's viewports.
        vp.dxf.status = 0


def not_current(doc, layout, at, size):
    """A second layout, not the current one: every viewport has 68 = 0 and
    69 = 0, the first one is the layout's paper view (centred on its own
    centre, its view height its height), one is switched off by its flags,
    one (of an older file) has no flags and is off by its status."""
    plain(doc, layout, at, size)
    other = doc.layouts.new("Blatt2")
    set_paper(other, *LAYOUTS["not_current"][1:6])
    # The paper view: narrower than the sheet, so a frame would show.
    (x0, y0), (x1, y1) = at(0, 0), at(1, 1)
    centre = ((x0 + x1) / 2, (y0 + y1) / 2)
    paper_view = other.add_viewport(centre, (0.85 * (x1 - x0), 1.1 * (y1 - y0)), centre,
                                    1.1 * (y1 - y0), dxfattribs={"layer": "0"})
    on = model_viewport(other, at, (0.28, 0.7), (0.4, 0.3), 50, flags=0)
    off = model_viewport(other, at, (0.72, 0.7), (0.4, 0.3), 50, flags=SWITCHED_OFF)
    old = model_viewport(other, at, (0.5, 0.3), (0.6, 0.3), 70)
    paper_view.dxf.flags = 0
    for vp in (paper_view, on, off, old):
        vp.dxf.status = 0
        vp.dxf.id = 0
    other.add_circle(at(0.5, 0.1), 0.04 * size)
    return old.dxf.handle


def attributes(doc, layout, at, size):
    """Callout bubbles whose numbers are attributes on layer 0: references
    on a layer that is off and one that is frozen, which hide both, and one
    on a layer that is shown."""
    doc.layers.add("BUBBLES").on = True
    doc.layers.add("BUBBLES_OFF").off()
    doc.layers.add("BUBBLES_FROZEN").freeze()
    r = 0.06 * size
    bubble = doc.blocks.new("BUBBLE")
    bubble.add_circle((0, 0), r)
    bubble.add_line((-r, 0), (r, 0))
    bubble.add_attdef("NR", (0, 0.2 * r), dxfattribs={"height": 0.7 * r})
    for layer, fx, fy, number in (("BUBBLES", 0.25, 0.75, "12"),
                                  ("BUBBLES_OFF", 0.55, 0.75, "34"),
                                  ("BUBBLES_OFF", 0.75, 0.4, "56"),
                                  ("BUBBLES_FROZEN", 0.35, 0.2, "78")):
        ref = layout.add_blockref("BUBBLE", at(fx, fy), dxfattribs={"layer": layer})
        x, y = at(fx, fy)
        attrib = ref.add_attrib("NR", number, (0, 0), dxfattribs={
            "layer": "0", "color": 1, "height": 0.7 * r})
        attrib.set_placement((x, y + 0.15 * r), align=TextEntityAlignment.BOTTOM_CENTER)
    model_viewport(layout, at, (0.3, 0.45), (0.3, 0.2), 80)


# name: (version, paper (w, h) mm, units, rotation, margins (l, b, r, t) mm,
#        limits or None, what the layout holds, tab)
LAYOUTS = {
    "a4_mm": ("R2010", (210, 297), MM, 0, (0, 0, 0, 0), None, plain, 1),
    "a3_mm_margins": ("R2010", (420, 297), MM, 0, (10, 15, 20, 5), None, plain, 1),
    "tabloid_inch": ("R2013", (431.8, 279.4), INCH, 0, (6.35, 12.7, 6.35, 6.35), None, plain, 1),
    # Turned: the margins are equal in pairs, so that which way the paper
    # is turned does not matter, only that it is.
    "a4_mm_turned": ("R2010", (210, 297), MM, 1, (5, 12, 5, 12), None, plain, 1),
    "letter_inch_turned": ("R2018", (215.9, 279.4), INCH, 1, (6.35, 12.7, 6.35, 12.7), None,
                           plain, 1),
    "limits_set": ("R2010", (297, 210), MM, 0, (10, 10, 10, 10), ((0, 0), (250, 180)), plain, 1),
    "no_paper_size": ("R2010", (0, 0), MM, 0, (0, 0, 0, 0), None, plain, 1),
    "r12_paper_space": ("R12", None, None, None, None, None, plain, 1),
    "not_current": ("R2010", (210, 297), MM, 0, (0, 0, 0, 0), None, not_current, 2),
    "attributes": ("R2010", (210, 297), MM, 0, (0, 0, 0, 0), None, attributes, 1),
}

# Drawings of the corpus whose first paper layout is checked too.
CORPUS_LAYOUTS = ("dragon.dxf", "extendeddata.dxf")

# name: (paper (w, h) mm, units, rotation, margins mm, the line (from, to) in
#        paper units, its length on paper in mm)
PRINTS = {
    "print_tabloid_inch": ((431.8, 279.4), INCH, 0, (6.35, 12.7, 6.35, 6.35),
                           ((1, 1), (2, 1)), 25.4),
    "print_a4_mm_turned": ((210, 297), MM, 1, (5, 12, 5, 12), ((10, 10), (110, 10)), 100.0),
}


def make_layout(path, name):
    """Write the drawing of LAYOUTS[name]; return the tab to look at."""
    version, paper, units, rotation, margins, limits, holds, tab = LAYOUTS[name]
    doc = ezdxf.new(version)
    model(doc.modelspace())
    layout = doc.layouts.active_layout()
    if paper is not None:
        set_paper(layout, paper, units, rotation, margins, limits)
    _sheet, printable = expected_sheet(doc, layout)
    at = in_printable(printable)
    without_flags = holds(doc, layout, at, printable[3] - printable[1])
    # A mark leaving the origin: the zoom of a tab on the printer's page
    # covers the page from the origin on.
    layout.add_line((0, 0), at(0.03, 0.03))
    doc.saveas(path)
    if without_flags:  # an older file's viewport: no group 90
        drop_group(path, without_flags, "90")
    return tab


def drop_group(path, handle, code):
    """Take group `code` out of the object with `handle` in a DXF file."""
    with open(path, encoding="utf-8") as f:
        lines = f.read().split("\n")
    start = next(i for i in range(0, len(lines) - 1, 2)
                 if lines[i].strip() == "5" and lines[i + 1].strip() == handle)
    i = start
    while lines[i].strip() != "0":
        if lines[i].strip() == code:
            del lines[i:i + 2]
            break
        i += 2
    with open(path, "w", encoding="utf-8") as f:
        f.write("\n".join(lines))


def make_print(path, name):
    paper, units, rotation, margins, (a, b), _mm = PRINTS[name]
    doc = ezdxf.new("R2010")
    layout = doc.layouts.active_layout()
    set_paper(layout, paper, units, rotation, margins, None)
    layout.add_line(a, b)
    sheet, _printable = expected_sheet(doc, layout)
    # A viewport far from the line, so that none is added.
    w, h = sheet[2] - sheet[0], sheet[3] - sheet[1]
    layout.add_viewport((sheet[0] + 0.8 * w, sheet[1] + 0.8 * h), (0.1 * w, 0.1 * h),
                        (0, 0), 10, dxfattribs={"layer": "0"})
    doc.saveas(path)


# --- what the layout's values say -----------------------------------------

def expected_sheet(doc, layout):
    """(sheet, printable area), each (x0, y0, x1, y1) in paper units.

    The limits when they are set; else the paper (44 x 45 mm, in inches for
    paper units 0) turned by the rotation (73), its lower left corner at
    minus the left and bottom margins, so that the origin is the printable
    area's lower left corner.  The printable area is the sheet inset by the
    margins (40 left, 41 bottom, 42 right, 43 top, millimetres of the paper
    as it lies in the printer), turned with the paper.  Without plot
    settings, or with neither paper nor limits, the printer's page as the
    print dialog sets it up (A4 at 1 mm per unit in a fresh set-up)."""
    d = layout.dxf_layout.dxf if doc.dxfversion > "AC1009" else None
    if d is None or not d.hasattr("paper_width"):
        return PRINTER_PAGE, PRINTER_PAGE
    per_mm = 1 / 25.4 if d.get("plot_paper_units", MM) == INCH else 1.0
    w, h = d.get("paper_width", 0) * per_mm, d.get("paper_height", 0) * per_mm
    margins = [d.get(k, 0) * per_mm for k in
               ("left_margin", "bottom_margin", "right_margin", "top_margin")]
    turn = d.get("plot_rotation", 0) % 4
    if turn % 2:
        w, h = h, w
    # Plotted turned by 90 degrees anticlockwise, the paper's bottom edge
    # lies at the sheet's left, and so on round.  (Which way round is left
    # open by the layouts made here: their turned papers have margins equal
    # in pairs.)
    left, bottom, right, top = margins[turn:] + margins[:turn]
    low, high = Vec2(d.get("limmin", (0, 0))), Vec2(d.get("limmax", (0, 0)))
    if high.x > low.x and high.y > low.y:
        sheet = (low.x, low.y, high.x, high.y)
    elif w > 0 and h > 0:
        sheet = (-left, -bottom, w - left, h - bottom)
    else:
        return PRINTER_PAGE, PRINTER_PAGE
    return sheet, (sheet[0] + left, sheet[1] + bottom, sheet[2] - right, sheet[3] - top)


def is_paper_view(vp, first):
    """The viewport that stands for the sheet itself: id 1, or (in a layout
    that was not current when saved) the layout's first viewport, whose view
    is centred on its own centre with its own height."""
    d = vp.dxf
    if d.get("id", 2) == 1:
        return True
    return first and d.hasattr("view_height") and \
        Vec2(d.view_center_point).isclose(Vec2(d.center), abs_tol=1e-9) and \
        math.isclose(d.view_height, d.height, abs_tol=1e-9)


def is_switched_off(vp):
    """By bit 0x20000 of the flags (90) when they are there, else (older
    files) by a status (68) of 0."""
    if vp.dxf.hasattr("flags"):
        return bool(vp.dxf.flags & SWITCHED_OFF)
    return vp.dxf.get("status", 1) == 0


# --- our side ------------------------------------------------------------

def visit_and_save(vestrel, path, tab, workdir):
    """The drawing as the window leaves it after a visit of the tab."""
    saved = os.path.join(workdir, "visited_" + os.path.basename(path))
    script = os.path.join(workdir, "visit.txt")
    with open(script, "w") as f:
        f.write(f'tab {tab}\nsaveas "{saved}"\n')
    ro.run_vestrel([vestrel, "--replay", script, path])
    return saved


def our_picture(vestrel, path, tab, size, workdir):
    png = os.path.join(workdir, "ours.png")
    ro.run_vestrel([vestrel, "--export-png", png, "--size", f"{size[0]}x{size[1]}",
                    "--tab", str(tab), path])
    picture = matplotlib.image.imread(png)[..., :3]
    if picture.shape[:2] != (size[1], size[0]):
        raise RuntimeError(f"vestrel wrote a {picture.shape[1]}x{picture.shape[0]} picture")
    return picture


def find_sheet(picture):
    """(x0, y0, x1, y1): the first and last pixel columns and rows of the
    sheet, the black rectangle on the grey ground; None when it is not there
    whole.  Rows and columns count when at least half as many of their
    pixels as the most are black (lines drawn on the sheet leave enough, a
    line drawn off it has none); the white outline is one pixel further."""
    black = picture.max(axis=-1) < 0.05
    cols, rows = black.sum(axis=0), black.sum(axis=1)
    if not cols.any():
        return None
    xs = np.nonzero(cols >= cols.max() / 2)[0]
    ys = np.nonzero(rows >= rows.max() / 2)[0]
    h, w = black.shape
    x0, x1, y0, y1 = xs[0] - 1, xs[-1] + 1, ys[0] - 1, ys[-1] + 1
    ground = np.abs(picture - GROUND).max(axis=-1) < 8 / 255
    if x0 <= 0 or y0 <= 0 or x1 >= w - 1 or y1 >= h - 1 or not (
            ground[:, :x0].any() and ground[:, x1 + 1:].any()
            and ground[:y0].any() and ground[y1 + 1:].any()):
        return None
    return x0, y0, x1, y1


class Window:
    """Paper units to pixels of a picture, from where the sheet lies in it:
    (u, v) pixels from the left and top edges (a pixel's centre at +0.5)."""

    def __init__(self, box, sheet):
        self.box, self.sheet = box, sheet
        self.per_unit = (box[2] - box[0]) / (sheet[2] - sheet[0])

    def pixel(self, x, y):
        return ((x - self.sheet[0]) * self.per_unit + self.box[0] + 0.5,
                (self.sheet[3] - y) * self.per_unit + self.box[1] + 0.5)

    def world(self, u, v):
        return (self.sheet[0] + (u - self.box[0] - 0.5) / self.per_unit,
                self.sheet[3] - (v - self.box[1] - 0.5) / self.per_unit)


def check_sheet(box, sheet, printable, picture):
    """(ok, note): the sheet's height for its width, and the dashed
    printable rectangle at the margins."""
    window = Window(box, sheet)
    want = (sheet[3] - sheet[1]) * window.per_unit
    got = box[3] - box[1]
    notes = [f"sheet {box[2] - box[0]}x{got} px for {sheet[2] - sheet[0]:.4g} x "
             f"{sheet[3] - sheet[1]:.4g} units (height {want:.0f} px expected)"]
    ok = abs(got - want) <= max(SHEET_PX, SHEET_REL * want)
    bright = picture.max(axis=-1) > BRIGHT
    (u0, v1), (u1, v0) = window.pixel(printable[0], printable[1]), \
        window.pixel(printable[2], printable[3])
    h, w = bright.shape
    shares = []
    for side, inset in (("left", u0 - box[0]), ("right", box[2] - u1),
                        ("bottom", box[3] - v1), ("top", v0 - box[1])):
        if inset < 2 * EDGE_PX:
            continue  # on the sheet's own outline
        if side in ("left", "right"):
            at = int(u0 if side == "left" else u1)
            cut = bright[int(v0) + EDGE_PX:int(v1) - EDGE_PX,
                         max(at - 2, 0):min(at + 3, w)].any(axis=1)
        else:
            at = int(v0 if side == "top" else v1)
            cut = bright[max(at - 2, 0):min(at + 3, h),
                         int(u0) + EDGE_PX:int(u1) - EDGE_PX].any(axis=0)
        share = cut.mean() if len(cut) else 0.0
        shares.append(f"{side} {share:.0%}")
        ok &= bool(share >= DASHED_MIN)
    if shares:
        notes.append("printable outline drawn on " + ", ".join(shares))
    return ok, "; ".join(notes)


def compared_area(shape, box, window, printable):
    """The sheet less EDGE_PX along its outline and around the printable
    rectangle."""
    area = np.zeros(shape, dtype=bool)
    x0, y0, x1, y1 = box
    area[y0 + EDGE_PX:y1 - EDGE_PX + 1, x0 + EDGE_PX:x1 - EDGE_PX + 1] = True
    (u0, v1), (u1, v0) = window.pixel(printable[0], printable[1]), \
        window.pixel(printable[2], printable[3])
    outline = np.zeros(shape, dtype=bool)
    u0, u1, v0, v1 = (int(round(t)) for t in (u0, u1, v0, v1))
    for u in (u0, u1):
        outline[max(v0 - EDGE_PX, 0):max(v1 + EDGE_PX + 1, 0),
                max(u - EDGE_PX, 0):max(u + EDGE_PX + 1, 0)] = True
    for v in (v0, v1):
        outline[max(v - EDGE_PX, 0):max(v + EDGE_PX + 1, 0),
                max(u0 - EDGE_PX, 0):max(u1 + EDGE_PX + 1, 0)] = True
    return area & ~outline


# --- ezdxf's side --------------------------------------------------------

def ezdxf_picture(doc, layout, window, size):
    """(ink picture, what ezdxf failed to draw): the layout's paper space,
    the frames of its viewports (not of its paper view), and what each
    viewport that is on shows of the model, clipped to the viewport."""
    is_shown = ro.shown_layers(doc)
    fig = ro.figure(size)
    try:
        paper = fig.add_axes((0, 0, 1, 1))
        paper.set_axis_off()
        # References on layers that are off or frozen hide all they hold,
        # their attributes too; ezdxf would still draw members on other
        # layers.
        failed = ro.draw_black(doc, paper, layout, lambda e: e.dxftype() != "VIEWPORT"
                               and is_shown(e.dxf.get("layer", "0")))
        viewports = [e for e in layout if e.dxftype() == "VIEWPORT"]
        for i, vp in enumerate(viewports):
            d = vp.dxf
            if is_paper_view(vp, i == 0) or not is_shown(d.get("layer", "0")):
                continue
            corners = [(d.center.x + sx * d.width / 2, d.center.y + sy * d.height / 2)
                       for sx, sy in ((-1, -1), (1, -1), (1, 1), (-1, 1), (-1, -1))]
            paper.plot(*zip(*corners), color="black", linewidth=ro.THIN)
            if is_switched_off(vp) or d.height <= 0 or d.view_height <= 0:
                continue
            (u0, v0), (u1, v1) = window.pixel(*corners[3]), window.pixel(*corners[1])
            view = fig.add_axes((u0 / size[0], 1 - v1 / size[1],
                                 (u1 - u0) / size[0], (v1 - v0) / size[1]))
            view.set_axis_off()
            failed += ro.draw_black(doc, view, doc.modelspace(),
                                    lambda e: e.dxftype() not in ro.INFINITE)
            half_h = d.view_height / 2
            half_w = half_h * d.width / d.height
            c = d.view_center_point
            view.set_xlim(c.x - half_w, c.x + half_w)
            view.set_ylim(c.y - half_h, c.y + half_h)
            view.patch.set_alpha(0)
        (x0, y1), (x1, y0) = window.world(0, 0), window.world(size[0], size[1])
        paper.set_xlim(x0, x1)
        paper.set_ylim(y0, y1)
        return ro.figure_ink(fig, size), failed
    finally:
        plt.close(fig)


def paper_layout(doc, tab):
    """The paper layout of tab `tab` (1 the first), in our tab order: the
    model, then the others by their tab order."""
    names = [n for n in doc.layouts.names() if n.upper() != "MODEL"]
    names.sort(key=lambda n: doc.layouts.get(n).dxf_layout.dxf.get("taborder", 0)
               if doc.dxfversion > "AC1009" else 0)
    return doc.layouts.get(names[tab - 1])


# --- one layout ----------------------------------------------------------

def picture_size(sheet):
    aspect = (sheet[2] - sheet[0]) / (sheet[3] - sheet[1])
    if aspect >= 1:
        return LONG_SIDE, int(LONG_SIDE / aspect) // 2 * 2
    return int(LONG_SIDE * aspect) // 2 * 2, LONG_SIDE


def compare_layout(result, vestrel, path, workdir, tab, out_dir):
    """The sheet and the render check of tab `tab` of a drawing."""
    notes = result["notes"]
    saved = visit_and_save(vestrel, path, tab, workdir)
    doc, why = ro.load_with_ezdxf(saved)
    if doc is None:
        raise RuntimeError(f"ezdxf cannot read what we saved: {why}")
    layout = paper_layout(doc, tab)
    sheet, printable = expected_sheet(doc, layout)
    notes.append(f"tab {tab} '{layout.name}': sheet {' '.join(f'{v:.4g}' for v in sheet)}, "
                 f"printable {' '.join(f'{v:.4g}' for v in printable)}")
    size = picture_size(sheet)
    picture = our_picture(vestrel, saved, tab, size, workdir)
    box = find_sheet(picture)
    if box is None:
        result["sheet"] = False
        notes.append("no sheet on a grey ground in our picture")
        return
    result["sheet"], note = check_sheet(box, sheet, printable, picture)
    notes.append(note)
    window = Window(box, sheet)
    area = compared_area(picture.shape[:2], box, window, printable)
    ours = (picture.max(axis=-1) > BRIGHT) & area
    theirs, failed = ezdxf_picture(doc, layout, window, size)
    theirs &= area
    for failure in sorted(set(failed)):
        notes.append(f"ezdxf cannot draw {failure}")
    if not ours.any() and not theirs.any():
        result["score"], result["render"] = 0.0, True
        notes.append("both blank on the sheet")
        return
    only_a, share_a = ro.unmatched(ours, theirs)
    only_b, share_b = ro.unmatched(theirs, ours)
    result["score"] = max(share_a, share_b)
    result["render"] = bool(result["score"] <= RENDER_LIMIT)
    notes.append(f"{size[0]}x{size[1]}, {window.per_unit:.3g} px per unit: unmatched "
                 f"ink on the sheet: vestrel {share_a:.1%}, ezdxf {share_b:.1%}")
    if out_dir:
        ro.side_by_side(out_dir, os.path.splitext(result["name"])[0], ours, ~area, theirs,
                        ro.difference_picture(ours, theirs, only_a, only_b))


# --- printing ------------------------------------------------------------

PAGE_SIZE = re.compile(r"^Page size:\s+([\d.]+) x ([\d.]+) pts", re.M)


def measure_print(result, vestrel, path, workdir):
    """The page is the paper as turned; the line lies where the sheet's
    corner on the page's corner puts it, as long as it is."""
    paper, units, rotation, margins, (a, b), length_mm = PRINTS[result["name"]]
    doc = ezdxf.readfile(path)
    sheet, _printable = expected_sheet(doc, doc.layouts.active_layout())
    mm_per_unit = 25.4 if units == INCH else 1.0
    page_mm = ((sheet[2] - sheet[0]) * mm_per_unit, (sheet[3] - sheet[1]) * mm_per_unit)
    pdf = os.path.join(workdir, "page.pdf")
    ro.run_vestrel([vestrel, "--export-pdf", pdf, "--tab", "1", path])
    info = subprocess.run(["pdfinfo", pdf], capture_output=True, text=True, check=True).stdout
    m = PAGE_SIZE.search(info)
    if not m:
        raise RuntimeError("pdfinfo names no page size")
    got_mm = tuple(float(v) * 25.4 / 72 for v in m.groups())
    notes = result["notes"]
    notes.append(f"page {got_mm[0]:.1f} x {got_mm[1]:.1f} mm, paper "
                 f"{page_mm[0]:.1f} x {page_mm[1]:.1f} mm")
    ok = all(abs(g - w) <= PAGE_PT * 25.4 / 72 for g, w in zip(got_mm, page_mm))

    stem = os.path.join(workdir, "page")
    subprocess.run(["pdftoppm", "-r", str(PRINT_DPI), "-gray", "-png", "-singlefile",
                    pdf, stem], check=True)
    page = matplotlib.image.imread(stem + ".png")
    if page.ndim == 3:
        page = page[..., 0]
    px = PRINT_DPI / 25.4  # pixels per millimetre
    # Where the line should lie: millimetres from the left and bottom edges.
    left = (a[0] - sheet[0]) * mm_per_unit
    right = (b[0] - sheet[0]) * mm_per_unit
    up = (a[1] - sheet[1]) * mm_per_unit
    # Dark pixels within 10 mm of it.
    h, w = page.shape
    rows = slice(max(int(h - (up + 10) * px), 0), max(int(h - (up - 10) * px), 0))
    cols = slice(max(int((left - 10) * px), 0), max(int((right + 10) * px), 0))
    ys, xs = np.nonzero(page[rows, cols] < 0.5)
    if not len(xs):
        notes.append(f"no line within 10 mm of where it belongs ({left:.1f} mm from "
                     f"the left, {up:.1f} mm from the bottom)")
        result["print"] = False
        return
    xs = xs + cols.start
    ys = ys + rows.start
    got_left, got_len = xs.min() / px, (xs.max() - xs.min() + 1) / px
    got_up = (h - 0.5 - np.median(ys)) / px
    notes.append(f"line {got_len:.1f} mm long ({length_mm:g}), {got_left:.1f} mm from "
                 f"the left ({left:.1f}), {got_up:.1f} mm from the bottom ({up:.1f})")
    ok &= abs(got_len - length_mm) <= PRINT_MM + 1 / px
    ok &= abs(got_left - left) <= PRINT_MM + 1 / px
    ok &= abs(got_up - up) <= PRINT_MM + 1 / px
    result["print"] = bool(ok)


# --- the run -------------------------------------------------------------

def corpus_drawings(folders):
    found = {}
    for folder in folders:
        for d, _, files in os.walk(folder):
            for f in files:
                if f in CORPUS_LAYOUTS:
                    found.setdefault(f, os.path.join(d, f))
    return [found[n] for n in CORPUS_LAYOUTS if n in found]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("vestrel")
    parser.add_argument("folders", nargs="+", metavar="DIR")
    parser.add_argument("--out", help="leave side-by-side pictures here")
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args(argv[1:])
    if not os.access(args.vestrel, os.X_OK):
        parser.error(f"not an executable: {args.vestrel}")
    if not all(os.path.isdir(f) for f in args.folders):
        parser.error("not a folder: " + ", ".join(f for f in args.folders
                                                  if not os.path.isdir(f)))
    if args.out:
        os.makedirs(args.out, exist_ok=True)
    start = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="layout-oracle-") as tmp:
        # A fresh user: the page set-up and the program folder as new.
        os.environ["XDG_CONFIG_HOME"] = os.path.join(tmp, "config")
        os.environ["XDG_DATA_HOME"] = os.path.join(tmp, "data")
        jobs = []
        for name in LAYOUTS:
            path = os.path.join(tmp, name + ".dxf")
            jobs.append((compare_layout, args.vestrel, name, path, make_layout(path, name),
                         args.out))
        for path in corpus_drawings(args.folders):
            jobs.append((compare_layout, args.vestrel, os.path.basename(path), path, 1,
                         args.out))
        for name in PRINTS:
            path = os.path.join(tmp, name + ".dxf")
            make_print(path, name)
            jobs.append((measure_print, args.vestrel, name, path))
        with concurrent.futures.ProcessPoolExecutor(max(args.jobs, 1)) as pool:
            results = list(pool.map(run_job, jobs))

    print(f"ezdxf {ezdxf.__version__}; sheets within {SHEET_PX} px or {SHEET_REL:.0%}, "
          f"render passes at most {RENDER_LIMIT:.0%} unmatched ink ({TOLERANCE_PX} px), "
          f"prints within {PRINT_MM} mm")
    counts = {}
    for result in results:
        word, reason = ro.verdict(result, KNOWN, CHECKS)
        counts[word] = counts.get(word, 0) + 1
        marks = "  ".join(f"{c} {({True: 'ok', False: 'DIFF', None: '-'})[result[c]]:<4}"
                          for c in CHECKS)
        print(f"{word:<5} {result['name']:<24} {marks}" + (f"  {reason}" if reason else ""))
        for note in result["notes"]:
            print(f"        {note}")
    absent = sorted(set(CORPUS_LAYOUTS) - {r["name"] for r in results})
    if absent:
        print(f"note: not in the folders, not checked: {', '.join(absent)}")
    print(f"summary: {len(results)} layouts and prints, " + ", ".join(
        f"{counts.get(w, 0)} {w.lower()}" for w in ("PASS", "KNOWN", "FAIL", "SKIP"))
        + f"; {time.monotonic() - start:.0f} s")
    return 1 if counts.get("FAIL") else 0


def run_job(job):
    """(check, vestrel, name, path, more arguments): the result of the check,
    a dict of the name, True, False or None for each of CHECKS, the score of
    the render check and notes; a fault of the check is its error."""
    check, vestrel, name, path, *more = job
    result = {"name": name, **dict.fromkeys(CHECKS), "score": None, "notes": []}
    try:
        with tempfile.TemporaryDirectory(prefix="layout-oracle-") as workdir:
            check(result, vestrel, path, workdir, *more)
    except ro.Crash as e:
        result["error"] = str(e)
    except Exception as e:  # reported with its layout
        result["error"] = f"the check failed: {type(e).__name__}: {e}"
    return result


if __name__ == "__main__":
    sys.exit(main(sys.argv))
