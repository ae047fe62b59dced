#!/usr/bin/python3
"""Compare what vestrel draws of each drawing's model space with what ezdxf
draws of it, and vestrel's extents with ezdxf's bounding box.

Usage: render_oracle.py [--out DIR] [--size WxH] [--jobs N]
                        VESTREL DIR... [NAME.dxf ...]

Every .dxf in the folders and below them is checked; with names, only the
drawings of those names.  --size (600x400) sets how
many pixels a picture has; its shape follows the drawing's.

Pictures: vestrel's `--export-png` (zoom to extents) and ezdxf's drawing
add-on (matplotlib, every colour black on white, thin lines) at the same
pixel size, shaped like the drawing.  Our origin icon is found in our
picture and left out.  ezdxf's picture is laid onto ours (scale and shift
from the ink boxes, refined by the best overlap); the score is the largest
share of ink pixels of either picture that lie more than TOLERANCE_PX pixels
from any ink of the other, counted for all ink and for the filled areas
alone (so a solid hatch drawn as lines, or not at all, is seen).

Extents: the `extents:` line of `vestrel --info` against ezdxf's bounding box
of the visible model-space entities (layers off or frozen left out, infinite
lines left out: ezdxf does not bound them, and they must not count for the
zoom either).

KNOWN lists the drawings where a difference is expected, check by check, and
why.  A listed check that passes fails the run ("no longer seen"), so the
list cannot go stale; an unlisted check that fails fails the run too.

A drawing ezdxf cannot read even in recover mode is reported and skipped.
With --out DIR, each drawing leaves DIR/NAME.png: vestrel | ezdxf |
difference (black: both; red: only vestrel, blue: only ezdxf, pale where
still within the tolerance).

Exit status: 0 when every drawing passes or is known, 1 otherwise, 2 on bad
usage.
"""
import argparse
import collections
import concurrent.futures
import logging
import math
import os
import re
import subprocess
import sys
import tempfile
import time

import matplotlib

matplotlib.use("Agg")
# Texts whose font is not here (Arial, the SHX fonts) fall back to Liberation
# Sans, the Arial stand-in that vestrel draws with too: the pictures then
# differ in where and how big texts are, not in the design of the letters.
matplotlib.rcParams["font.sans-serif"] = ["Liberation Sans", "DejaVu Sans"]
import matplotlib.image  # noqa: E402
import matplotlib.pyplot as plt  # noqa: E402
import numpy as np  # noqa: E402

import ezdxf  # noqa: E402
from ezdxf import bbox, recover  # noqa: E402
from ezdxf.addons.drawing.config import Configuration  # noqa: E402
from ezdxf.addons.drawing.frontend import Frontend  # noqa: E402
from ezdxf.addons.drawing.matplotlib import MatplotlibBackend  # noqa: E402
from ezdxf.addons.drawing.properties import (  # noqa: E402
    LayoutProperties, RenderContext)
from ezdxf.entities import Insert  # noqa: E402
from ezdxf.protocols import SupportsVirtualEntities, virtual_entities  # noqa: E402

# Drawings whose difference is expected: name -> (checks that differ, why).
# Checks are "render" and "extents".  Each entry is a to-do item: it says
# what differs and whose fault it is.
KINDS = (("render",),
         "not looked into in full; seen: we step over the TRACE, which ezdxf "
         "fills, and we take the face records of the polyface mesh (VERTEX "
         "with flag 128, at 0,0,0) for vertices, drawing a line from the mesh "
         "to the origin: ours")
KNOWN = {
    **{f"kinds_{v}.dxf": KINDS for v in ("r12", "r2000", "r2004", "r2007", "r2010", "r2013", "r2018")},
    "dimensions.dxf": (("render",),
                       "we draw the definition points of every dimension (the "
                       "POINTs on layer Defpoints in its block), as CAD "
                       "programs show them on screen; ezdxf leaves them out. "
                       "Hundreds of dots at this size: a choice, no fault"),
    "cut_short.dxf": (("render",),
                      "the file ends inside its ENTITIES section: ezdxf's "
                      "recover mode leaves out the section without ENDSEC "
                      "and draws nothing, we draw what is there: ezdxf"),
    "mleader.dxf": (("render", "extents"),
                    "the leader lines agree; our texts have Arial's widths, "
                    "while ezdxf measures texts with its own font, not "
                    "Arial's, about 2 % wider, so the right end of the "
                    "longest text and the extents differ: ezdxf's font"),
    "mtext-test.dxf": (("render", "extents"),
                       "the long paragraph wraps at its width in both, but "
                       "ezdxf measures texts with its own font, not Arial's, "
                       "whose letters are wider, so its lines break earlier "
                       "and it has more of them, reaching further down: "
                       "ezdxf's font"),
}

TOLERANCE_PX = 3          # ink this close to the other picture's ink matches
RENDER_LIMIT = 0.05       # largest share of unmatched ink that still passes
EXTENTS_REL = 0.01        # extents tolerance: share of ezdxf's diagonal ...
EXTENTS_ABS = 1e-6        # ... but at least this, in drawing units
SOLID_PX = 3              # filled: every pixel this close is ink too
SOLID_MIN = 0.02          # filled areas count from this share of the ink
INK_LEVEL = 0.85          # a pixel is ink when its darkest channel is below
INFINITE = frozenset({"XLINE", "RAY"})
TIMEOUT_S = 60

logging.getLogger("ezdxf").setLevel(logging.ERROR)
logging.getLogger("matplotlib").setLevel(logging.ERROR)


# --- our side ------------------------------------------------------------

class Crash(RuntimeError):
    """vestrel died or hung: a fault whatever the drawing holds."""


def run_vestrel(args, timeout=TIMEOUT_S):
    env = dict(os.environ, QT_QPA_PLATFORM="offscreen")
    try:
        run = subprocess.run(args, capture_output=True, text=True,
                             errors="replace", timeout=timeout, env=env)
    except subprocess.TimeoutExpired:
        raise Crash(f"vestrel took more than {timeout} s")
    if run.returncode < 0:
        raise Crash(f"vestrel died with signal {-run.returncode}")
    if run.returncode != 0:
        said = " / ".join(line.strip() for line in run.stderr.splitlines()
                          if line.strip() and not line.startswith("QStandardPaths"))
        raise RuntimeError(f"vestrel exit {run.returncode}: {said[-300:]}")
    return run.stdout


def vestrel_picture(vestrel, path, size, workdir):
    png = os.path.join(workdir, os.path.basename(path) + ".png")
    run_vestrel([vestrel, "--export-png", png, "--size", f"{size[0]}x{size[1]}",
                 "--tab", "0", path])
    picture = matplotlib.image.imread(png)
    if picture.shape[:2] != (size[1], size[0]):
        raise RuntimeError(f"vestrel wrote a {picture.shape[1]}x"
                           f"{picture.shape[0]} picture")
    return ink(picture)


EXTENTS = re.compile(r"^extents: (\S+) (\S+) (\S+) (\S+)\s*$", re.M)


def vestrel_extents(vestrel, path):
    out = run_vestrel([vestrel, "--info", path])
    m = EXTENTS.search(out)
    if not m:
        raise RuntimeError("vestrel --info printed no 'extents:' line")
    return tuple(float(v) for v in m.groups())


# --- ezdxf's side --------------------------------------------------------

# A drawing without a header is read by ezdxf as R12, which has no subclass
# markers: it then drops the group codes that follow them (a spline loses
# its degree and flags).  Such a drawing whose entities do carry the markers
# is given to ezdxf with this header in front.
R2000_HEADER = b"0\nSECTION\n2\nHEADER\n9\n$ACADVER\n1\nAC1015\n0\nENDSEC\n"


def load_with_ezdxf(path):
    """Return (doc, None) or (None, why ezdxf cannot read it)."""
    with open(path, "rb") as f:
        data = f.read()
    with tempfile.TemporaryDirectory(prefix="oracle-") as workdir:
        if b"$ACADVER" not in data and b"AcDbEntity" in data:
            path = os.path.join(workdir, os.path.basename(path))
            with open(path, "wb") as f:
                f.write(R2000_HEADER + data)
        try:
            return ezdxf.readfile(path), None
        except Exception as first:
            first_error = f"{type(first).__name__}: {first}"
        try:
            doc, _auditor = recover.readfile(path)
            return doc, None
        except Exception as second:
            return None, (f"readfile: {first_error}; recover: "
                          f"{type(second).__name__}: {second}")


class BlackFrontend(Frontend):
    """Every entity in black, with the thinnest line; an entity that ezdxf
    fails on is left out and noted, the others are still drawn."""

    def __init__(self, *args, **kwargs):
        super().__init__(*args, **kwargs)
        self.failed = []

    def override_properties(self, entity, properties):
        properties.color = "#000000"
        properties.lineweight = 0.0

    def draw_entity(self, entity, properties):
        try:
            super().draw_entity(entity, properties)
        except Exception as e:
            self.failed.append(f"{entity.dxftype()}: {type(e).__name__}: {e}")


def ezdxf_picture(doc, size):
    """(ink picture, what ezdxf failed to draw).

    ezdxf draws infinite lines as short stubs that would count in its zoom:
    they are drawn here afterwards, across the picture, as CAD programs
    (and vestrel) show them."""
    msp = doc.modelspace()
    fig = figure(size)
    try:
        ax = fig.add_axes((0, 0, 1, 1))
        failed = draw_black(doc, ax, msp, lambda e: e.dxftype() not in INFINITE)
        xlim, ylim = ax.get_xlim(), ax.get_ylim()
        reach = 10 * math.hypot(xlim[1] - xlim[0], ylim[1] - ylim[0])
        for e in visible_leaves(msp, None, shown_layers(doc)):
            if e.dxftype() in INFINITE and not e.dxf.unit_vector.is_null:
                start, step = e.dxf.start, e.dxf.unit_vector.normalize(reach)
                a = start - step if e.dxftype() == "XLINE" else start
                b = start + step
                ax.plot((a.x, b.x), (a.y, b.y), color="black", linewidth=THIN)
        ax.set_xlim(xlim)
        ax.set_ylim(ylim)
        return figure_ink(fig, size), failed
    finally:
        plt.close(fig)


DPI = 100
THIN = 72 / DPI  # one pixel, in points


def figure(size):
    """A matplotlib figure of `size` (width, height) pixels: a hair over,
    as matplotlib rounds the pixels down."""
    return plt.figure(figsize=((size[0] + 0.1) / DPI, (size[1] + 0.1) / DPI), dpi=DPI)


def figure_ink(fig, size):
    """The ink of the figure's picture."""
    fig.canvas.draw()
    picture = np.asarray(fig.canvas.buffer_rgba(), dtype=np.float64) / 255
    if picture.shape[:2] != (size[1], size[0]):
        raise RuntimeError(f"matplotlib drew {picture.shape[1]}x{picture.shape[0]} "
                           f"pixels, not {size[0]}x{size[1]}")
    return ink(picture)


def draw_black(doc, ax, space, filter_func):
    """ezdxf draws the entities of `space` (a layout) that pass `filter_func`
    into `ax`, black on white with the thinnest lines, and zooms to them;
    returns what it failed to draw."""
    properties = LayoutProperties.from_layout(space)
    properties.set_colors("#ffffff")
    config = Configuration.defaults().with_changes(lineweight_scaling=0.0)
    frontend = BlackFrontend(RenderContext(doc), MatplotlibBackend(ax, adjust_figure=False),
                             config)
    frontend.draw_layout(space, finalize=True, layout_properties=properties,
                         filter_func=filter_func)
    return frontend.failed


def shown_layers(doc):
    """Whether a layer name is that of a layer shown (not off or frozen)."""
    hidden = {layer.dxf.name.upper() for layer in doc.layers
              if layer.is_off() or layer.is_frozen()}
    return lambda name: name.upper() not in hidden


def visible_leaves(entities, inherited_layer, is_shown):
    """The simple entities of `entities`, blocks and dimensions taken apart,
    without the invisible ones and those on layers that are off or frozen.
    Entities on layer 0 inside a block take the reference's layer."""
    for e in entities:
        layer = e.dxf.get("layer", "0")
        if layer == "0" and inherited_layer is not None:
            layer = inherited_layer
        if not is_shown(layer) or e.dxf.get("invisible", 0):
            continue
        if isinstance(e, Insert):
            yield from visible_leaves(e.attribs, layer, is_shown)
            parts = e.multi_insert() if e.mcount > 1 else [e]
            for part in parts:
                yield from visible_leaves(virtual_entities(part), layer, is_shown)
        elif isinstance(e, SupportsVirtualEntities):
            yield from visible_leaves(virtual_entities(e), layer, is_shown)
        else:
            yield e


def ezdxf_extents(doc):
    """((minx, miny, maxx, maxy) or None, what ezdxf failed to bound).
    Infinite lines have no extents (ezdxf would skip them too)."""
    box, failed = bbox.BoundingBox(), []
    for e in visible_leaves(doc.modelspace(), None, shown_layers(doc)):
        if e.dxftype() in INFINITE:
            continue
        try:
            box.extend(bbox.extents([e]))
        except Exception as error:
            failed.append(f"{e.dxftype()}: {type(error).__name__}: {error}")
    if not box.has_data:
        return None, failed
    return (box.extmin.x, box.extmin.y, box.extmax.x, box.extmax.y), failed


# --- pictures ------------------------------------------------------------

def ink(picture):
    """Boolean picture: True where a pixel is not (nearly) white."""
    rgb = picture[..., :3]
    if picture.shape[-1] == 4:  # a transparent pixel shows the white page
        alpha = picture[..., 3:4]
        rgb = rgb * alpha + (1 - alpha)
    return rgb.min(axis=-1) < INK_LEVEL


def disk(radius):
    return [(dy, dx) for dy in range(-radius, radius + 1)
            for dx in range(-radius, radius + 1) if dx * dx + dy * dy <= radius * radius]


def dilate(mask, radius):
    out = np.zeros_like(mask)
    h, w = mask.shape
    for dy, dx in disk(radius):
        out[max(dy, 0):h + min(dy, 0), max(dx, 0):w + min(dx, 0)] |= \
            mask[max(-dy, 0):h - max(dy, 0), max(-dx, 0):w - max(dx, 0)]
    return out


def shifted_matches(picture, pattern):
    """For every shift (dy, dx), how many True pixels of `pattern` land on
    True pixels of `picture` (cyclic correlation through the FFT)."""
    f = np.fft.rfft2(picture.astype(np.float64))
    g = np.fft.rfft2(pattern.astype(np.float64), s=picture.shape)
    return np.rint(np.fft.irfft2(f * np.conj(g), s=picture.shape))


def without_icon(picture, icons):
    """Our picture without the origin icon, and the icon's pixels (a mask).

    `icons` are small pictures of the icon alone, as vestrel draws it at the
    origin and in the corner.  Where all of an icon's ink is ink of the
    picture, with the fewest other ink pixels in its box, it is taken out."""
    best = None
    for icon in icons:
        hits = shifted_matches(picture, icon)
        strays = shifted_matches(picture, ~icon)
        score = np.where(hits >= icon.sum() * 0.97, hits - strays, -np.inf)
        at = np.unravel_index(np.argmax(score), score.shape)
        if np.isfinite(score[at]) and (best is None or score[at] > best[0]):
            best = (score[at], icon, at)
    mask = np.zeros_like(picture)
    if best is not None:
        _score, icon, (y, x) = best
        h, w = mask.shape
        part = icon[:h - y, :w - x]
        mask[y:y + part.shape[0], x:x + part.shape[1]] = part
        mask = dilate(mask, 1)
    return picture & ~mask, mask


def icon_pictures(vestrel, workdir):
    """Our origin icon alone, at the origin and in the corner, each cut to
    its ink: drawn for two tiny drawings, one around the origin and one far
    from it, whose few lines lie outside the box that the icon takes."""
    w, h = 600, 400
    drawings = {
        "at_origin": ([((-100, -100), (-99, -100)), ((100, 100), (99, 100))],
                      (w // 2 - 15, w // 2 + 110, h // 2 - 110, h // 2 + 15)),
        "in_corner": ([((100, 110), (110, 110)), ((110, 100), (110, 110))],
                      (0, 120, h - 120, h)),
    }
    icons = []
    for name, (lines, (x0, x1, y0, y1)) in drawings.items():
        path = os.path.join(workdir, f"icon_{name}.dxf")
        with open(path, "w") as f:
            f.write("0\nSECTION\n2\nENTITIES\n")
            for (ax, ay), (bx, by) in lines:
                f.write(f"0\nLINE\n8\n0\n10\n{ax}\n20\n{ay}\n30\n0\n"
                        f"11\n{bx}\n21\n{by}\n31\n0\n")
            f.write("0\nENDSEC\n0\nEOF\n")
        part = vestrel_picture(vestrel, path, (w, h), workdir)[y0:y1, x0:x1]
        box = crop(part)
        if box is not None:
            icons.append(part[box[0]:box[1], box[2]:box[3]])
    return icons


def crop(mask):
    ys, xs = np.nonzero(mask)
    if len(ys) == 0:
        return None
    return ys.min(), ys.max() + 1, xs.min(), xs.max() + 1


def carry(mask, scale, source, target, shape):
    """The ink of `mask` scaled by `scale` about the point `source`, which
    lands on `target`, in a picture of `shape`.  Every pixel lands (as a
    block when it grows), so thin lines are not lost when it shrinks."""
    ys, xs = np.nonzero(mask)
    y = np.rint((ys - source[0]) * scale + target[0]).astype(int)
    x = np.rint((xs - source[1]) * scale + target[1]).astype(int)
    out = np.zeros(shape, dtype=bool)
    inside = (y >= 0) & (y < shape[0]) & (x >= 0) & (x < shape[1])
    block = max(1, round(scale))
    for dy in range(block):
        for dx in range(block):
            out[np.minimum(y[inside] + dy, shape[0] - 1),
                np.minimum(x[inside] + dx, shape[1] - 1)] = True
    return out


def register(ours, theirs):
    """How ezdxf's picture maps onto ours: (scale, source, target), found
    from the ink boxes and refined over scales within 10 % and shifts by
    the best overlap of the two (slightly widened) inks.  The ink boxes
    alone would be thrown off by one text that runs longer in one font."""
    (ay0, ay1, ax0, ax1), (by0, by1, bx0, bx1) = crop(ours), crop(theirs)
    # A side of a few pixels (a straight line along an axis) tells no scale.
    ratios = [a / b for a, b in ((ay1 - ay0, by1 - by0), (ax1 - ax0, bx1 - bx0))
              if min(a, b) > 4]
    scale0 = math.exp(np.mean(np.log(ratios))) if ratios else 1.0
    source = ((by0 + by1 - 1) / 2, (bx0 + bx1 - 1) / 2)
    centre = ((ay0 + ay1 - 1) / 2, (ax0 + ax1 - 1) / 2)
    h, w = ours.shape
    reach_y, reach_x = int(0.1 * h) + 4, int(0.1 * w) + 4
    wide = dilate(ours, 2).astype(np.float64)
    f = np.fft.rfft2(wide)
    best = None
    for step in range(-10, 11):
        scale = scale0 * 1.01 ** step
        moved = dilate(carry(theirs, scale, source, centre, ours.shape), 2)
        overlap = np.fft.irfft2(f * np.conj(np.fft.rfft2(moved)), s=ours.shape)
        overlap[reach_y:h - reach_y, :] = -1  # shifts beyond the reach
        overlap[:, reach_x:w - reach_x] = -1
        dy, dx = np.unravel_index(np.argmax(overlap), overlap.shape)
        value = overlap[dy, dx] / math.sqrt(max(wide.sum() * moved.sum(), 1))
        if best is None or value > best[0]:
            dy, dx = (dy if dy < h / 2 else dy - h), (dx if dx < w / 2 else dx - w)
            best = (value, scale, (centre[0] + dy, centre[1] + dx))
    return best[1], source, best[2]


def solid(mask):
    """The filled areas of a picture: ink pixels whose whole neighbourhood
    of radius SOLID_PX is ink.  Lines of either renderer are thinner than
    that and leave nothing; hatch fills, wide polylines and big letters do."""
    return ~dilate(~mask, SOLID_PX)


def unmatched(a, b):
    """The ink of `a` farther than TOLERANCE_PX from any ink of `b`, and its
    share of `a`'s ink."""
    far = a & ~dilate(b, TOLERANCE_PX)
    return far, far.sum() / max(a.sum(), 1)


def compare_pictures(ours, theirs, icon_mask):
    """Return (score, note, difference picture or None).

    ezdxf's picture is brought onto ours (see register).  The score is the
    largest share of unmatched ink, lines and filled areas each counted both
    ways; filled areas count only where one picture has enough of them."""
    if not ours.any() and not theirs.any():
        return 0.0, "both blank", None
    if not ours.any() or not theirs.any():
        return 1.0, f"{'vestrel' if not ours.any() else 'ezdxf'} picture blank", None
    scale, source, target = register(ours, theirs)
    # What falls outside our picture is not compared (infinite lines run
    # off both; what our zoom leaves out the extents check finds).
    b = carry(theirs, scale, source, target, ours.shape)
    # Ink under our icon cannot be seen in our picture: left out of both.
    b &= ~icon_mask
    only_a, share_a = unmatched(ours, b)
    only_b, share_b = unmatched(b, ours)
    fill_a = solid(ours)
    fill_b = carry(solid(theirs), scale, source, target, ours.shape) & ~icon_mask
    fill_shares = [0.0, 0.0]
    if max(fill_a.sum(), fill_b.sum()) >= SOLID_MIN * max(ours.sum(), b.sum()):
        fill_shares = [unmatched(fill_a, fill_b)[1], unmatched(fill_b, fill_a)[1]]
    note = (f"unmatched ink: vestrel {share_a:.1%}, ezdxf {share_b:.1%}; "
            f"filled areas: vestrel {fill_shares[0]:.1%}, ezdxf {fill_shares[1]:.1%}; "
            f"ezdxf's picture scaled by {scale:.3f}")
    return max(share_a, share_b, *fill_shares), note, difference_picture(ours, b, only_a, only_b)


def difference_picture(a, b, only_a, only_b):
    """Black: ink of both; pale red / blue: only of `a` / only of `b` but
    within the tolerance; red / blue: farther (`only_a`, `only_b`)."""
    diff = np.ones(a.shape + (3,))
    diff[a & b] = (0, 0, 0)
    diff[a & ~b] = (1, 0.6, 0.6)
    diff[b & ~a] = (0.6, 0.6, 1)
    diff[only_a] = (0.9, 0, 0)
    diff[only_b] = (0, 0, 0.9)
    return diff


def side_by_side(out_dir, name, ours, icon_mask, theirs, diff):
    """vestrel (the pixels left out of the comparison, such as our icon's,
    `icon_mask`, in light grey) | ezdxf | the
    difference, on our picture (black: both; pale red / blue: only vestrel /
    only ezdxf but within the tolerance; red / blue: farther)."""
    h, w = ours.shape
    gap = 8
    sheet = np.full((h, 3 * w + 2 * gap, 3), 0.6)
    for i, panel in enumerate((ours, theirs, diff)):
        part = sheet[:, i * (w + gap):i * (w + gap) + w]
        part[:] = 1.0
        if i == 0:
            part[icon_mask] = 0.85
        if panel is None:
            continue
        if panel.ndim == 3:
            part[:] = panel
        else:
            part[panel] = 0.0
    matplotlib.image.imsave(os.path.join(out_dir, name + ".png"), sheet)


def picture_size(budget, box):
    """A picture of about `budget` pixels shaped like the drawing (at most
    4:1 either way), so that long thin drawings keep some height."""
    if box is None or box[2] <= box[0] or box[3] <= box[1]:
        aspect = 1.5
    else:
        aspect = min(max((box[2] - box[0]) / (box[3] - box[1]), 0.25), 4.0)
    w = int(math.sqrt(budget * aspect)) // 2 * 2
    return w, int(budget / w) // 2 * 2


# --- one drawing ---------------------------------------------------------

def compare_extents(ours, theirs):
    diagonal = math.hypot(theirs[2] - theirs[0], theirs[3] - theirs[1])
    tolerance = max(EXTENTS_REL * diagonal, EXTENTS_ABS)
    off = max(abs(a - b) for a, b in zip(ours, theirs))
    text = (f"extents: ours {' '.join(f'{v:g}' for v in ours)}, ezdxf "
            f"{' '.join(f'{v:.4g}' for v in theirs)}")
    return off <= tolerance, f"{text} (off by {off:.3g}, allowed {tolerance:.3g})"


def check_drawing(vestrel, path, budget, icons, out_dir):
    """Return a dict: name, render and extents results (True, False or None
    when not compared), the score, notes."""
    result = {"name": os.path.basename(path), "render": None, "extents": None,
              "score": None, "notes": []}
    try:
        compare_drawing(result, vestrel, path, budget, icons, out_dir)
    except Exception as e:  # a fault here is reported with its drawing
        result["error"] = f"the comparison failed: {type(e).__name__}: {e}"
    return result


def compare_drawing(result, vestrel, path, budget, icons, out_dir):
    name, notes = result["name"], result["notes"]
    doc, why = load_with_ezdxf(path)
    their_box, failed_bounds = ezdxf_extents(doc) if doc is not None else (None, [])
    size = picture_size(budget, their_box)
    with tempfile.TemporaryDirectory(prefix="oracle-") as workdir:
        try:
            ours = vestrel_picture(vestrel, path, size, workdir)
            our_box = vestrel_extents(vestrel, path)
        except Crash as e:
            result["error"] = str(e)
            return
        except RuntimeError as e:
            if doc is None:  # neither reads it: nothing to compare
                result["skip"] = f"ezdxf cannot read it ({why}); {e}"
            else:
                result["error"] = f"vestrel cannot load it: {e}"
            return
    if doc is None:
        result["skip"] = f"ezdxf cannot read it ({why})"
        return
    ours, icon_mask = without_icon(ours, icons)
    theirs, failed_drawing = ezdxf_picture(doc, size)
    for what, failures in (("draw", failed_drawing), ("bound", failed_bounds)):
        for failure, count in collections.Counter(failures).items():
            notes.append(f"ezdxf cannot {what} {count}x {failure}")

    if theirs.any() or not failed_drawing:
        result["score"], note, diff = compare_pictures(ours, theirs, icon_mask)
        result["render"] = bool(result["score"] <= RENDER_LIMIT)
        notes.append(f"{size[0]}x{size[1]}: {note}")
        if out_dir:
            side_by_side(out_dir, name, ours, icon_mask, theirs, diff)
    else:
        notes.append("pictures not compared: ezdxf could draw none of it")

    if their_box is not None:
        ok, note = compare_extents(our_box, their_box)
        result["extents"] = bool(ok)
        notes.append(note)
    elif not failed_bounds:
        # Nothing visible with extents: our numbers are a default view.
        result["extents"] = True
        notes.append("extents: ezdxf finds nothing to bound")
    else:
        notes.append("extents not compared: ezdxf could bound none of it")


CHECKS = ("render", "extents")


def verdict(result, known_list=KNOWN, checks=CHECKS):
    """('PASS' | 'FAIL' | 'KNOWN' | 'SKIP', reason): `result` holds True,
    False or None for each of `checks`; `known_list` is a list like KNOWN."""
    known, why = known_list.get(result["name"], ((), ""))
    if "error" in result:
        return "FAIL", result["error"]
    if "skip" in result:
        if known:
            return "FAIL", f"known difference cannot be checked: {result['skip']}"
        return "SKIP", result["skip"]
    failed = {c for c in checks if result[c] is False}
    passed = {c for c in checks if result[c] is True}
    unchecked = set(known) - failed - passed
    if set(known) & passed:
        return "FAIL", (f"known difference no longer seen in "
                        f"{', '.join(sorted(set(known) & passed))}: remove it "
                        f"from the list ({why})")
    if unchecked:
        return "FAIL", (f"known difference in {', '.join(sorted(unchecked))} "
                        f"cannot be checked ({why})")
    if failed - set(known):
        return "FAIL", f"{' and '.join(sorted(failed - set(known)))} differ"
    if failed:
        return "KNOWN", why
    if not passed:
        return "SKIP", "ezdxf can neither draw nor bound any of it"
    return "PASS", ""


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("vestrel")
    parser.add_argument("where", nargs="+", metavar="DIR or NAME.dxf")
    parser.add_argument("--out", help="leave side-by-side pictures here")
    parser.add_argument("--size", default="600x400",
                        help="pixels of a picture, as W x H; shaped like the drawing")
    parser.add_argument("--jobs", type=int, default=2)
    args = parser.parse_args(argv[1:])
    try:
        size = tuple(int(v) for v in args.size.lower().split("x"))
        if len(size) != 2 or min(size) < 200:
            raise ValueError
    except ValueError:
        parser.error("--size wants WxH, each at least 200")
    if not os.access(args.vestrel, os.X_OK):
        parser.error(f"not an executable: {args.vestrel}")
    folders = [w for w in args.where if os.path.isdir(w)]
    names = [w for w in args.where if not os.path.isdir(w)]
    if not folders:
        parser.error("no folder of drawings given")
    files = [os.path.join(d, f) for folder in folders for d, _, fs in os.walk(folder) for f in fs
             if f.lower().endswith(".dxf")]
    if set(names) - {os.path.basename(f) for f in files}:
        parser.error(f"no such drawings: {', '.join(set(names) - {os.path.basename(f) for f in files})}")
    paths = sorted(f for f in files if not names or os.path.basename(f) in names)
    if not paths:
        parser.error(f"no drawings to check in {', '.join(folders)}")
    if args.out:
        os.makedirs(args.out, exist_ok=True)

    start = time.monotonic()
    with tempfile.TemporaryDirectory(prefix="oracle-icon-") as workdir:
        try:
            icons = icon_pictures(args.vestrel, workdir)
        except RuntimeError as e:
            print(f"FAIL vestrel cannot draw a two-line drawing: {e}")
            return 1
    if len(icons) != 2:
        print(f"note: our origin icon found in {len(icons)} of 2 test pictures")
    with concurrent.futures.ProcessPoolExecutor(max(args.jobs, 1)) as pool:
        results = list(pool.map(check_drawing, [args.vestrel] * len(paths),
                                paths, [size[0] * size[1]] * len(paths),
                                [icons] * len(paths), [args.out] * len(paths)))

    print(f"ezdxf {ezdxf.__version__}; pictures of {size[0]}x{size[1]} pixels, "
          f"render passes at most {RENDER_LIMIT:.0%} unmatched ink "
          f"({TOLERANCE_PX} px), extents within {EXTENTS_REL:.0%} of the diagonal")
    counts = {}
    for result in results:
        word, reason = verdict(result)
        counts[word] = counts.get(word, 0) + 1
        score = "-" if result["score"] is None else f"{result['score']:.3f}"
        ext = {True: "ok", False: "DIFF", None: "-"}[result["extents"]]
        print(f"{word:<5} {result['name']:<36} render {score:>5}  extents {ext:<4}"
              + (f"  {reason}" if reason else ""))
        for note in result["notes"]:
            print(f"        {note}")
    absent = sorted(set(KNOWN) - {r["name"] for r in results})
    if absent and not names:
        print(f"note: known differences not checked, no such drawings here: "
              f"{', '.join(absent)}")
    print(f"summary: {len(results)} drawings, " + ", ".join(
        f"{counts.get(w, 0)} {w.lower()}" for w in ("PASS", "KNOWN", "FAIL", "SKIP"))
        + f"; {time.monotonic() - start:.0f} s")
    return 1 if counts.get("FAIL") else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
