#!/usr/bin/python3
"""Writes the project's own test drawings, made by ezdxf (an independent
writer); every test that runs over drawings runs over these.

Usage: make_drawings.py OUTDIR

OUTDIR/kinds_r12.dxf, kinds_r2000.dxf, ... kinds_r2018.dxf: every kind of
object the editor reads, in each version ezdxf writes (R12 without the
kinds it cannot hold): objects in their own planes (an arc and a circle
seen from below, a text and a block reference on a tilted plane), mirrored
and turned block references with attributes and a nested block, every
kind of dimension drawn by its block, hatches of polyline and edge paths
with a pattern, leaders and multileaders, splines by control and by fit
points, layers with colours and line types, and layouts with viewports.

OUTDIR/dimensions.dxf: 300 dimensions of every kind, each drawn by an
anonymous block of its own (*D1, *D2, ...), more than 300 blocks in all.

OUTDIR/gear.dxf: an R12 gear wheel, its teeth as 240 polylines, its holes
and centre lines, with layers switched off, frozen and locked.

OUTDIR/fingerprint.dxf: R2018, a fingerprint's ridges as 900 splines,
with lines, polylines and ellipses and two layouts: a larger drawing for
the window's tests of reading and painting in part.
"""
import math
import os
import sys

import ezdxf
from ezdxf.math import Vec3


def common(doc, msp, r12):
    doc.layers.add("WAENDE", color=1, linetype="DASHED")
    doc.layers.add("TEXTE", color=5)
    msp.add_line((0, 0, 0), (10, 5, 0))
    msp.add_line((0, -5), (12, -5), dxfattribs={"layer": "WAENDE"})
    msp.add_line((1, 2, 3), (4, 5, 6), dxfattribs={"thickness": 2})
    msp.add_point((3, 4, 0))
    msp.add_circle((20, 0), 3)
    msp.add_arc((30, 0), 4, 10, 120)
    # Seen from below: the object's x axis runs along the world's -x.
    msp.add_arc((-35, 5, 0), 2, 30, 150, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_circle((-40, 5, 0), 1.5, dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_arc((5, 5, 2), 3, 0, 90, dxfattribs={"extrusion": (0.3, 0.2, 0.9)})
    msp.add_solid([(0, 20), (4, 20), (0, 24), (4, 25)])
    msp.add_trace([(10, 20), (14, 20), (10, 24), (14, 25)])
    t = msp.add_text("Hallo", dxfattribs={"height": 1.5, "rotation": 20})
    t.set_placement((40, 10))
    t2 = msp.add_text("Mitte", dxfattribs={"height": 1})
    t2.set_placement((40, 20), (46, 21), align=ezdxf.enums.TextEntityAlignment.ALIGNED)
    msp.add_text("Ebene", dxfattribs={"height": 1, "insert": (40, 30), "layer": "TEXTE"})
    msp.add_text("schief", dxfattribs={"height": 1, "insert": (2, 3, 0), "extrusion": (0.2, -0.1, 0.95)})
    p = msp.add_polyline2d([(0, 30), (5, 30), (5, 35)], dxfattribs={"closed": False})
    p.vertices[0].dxf.bulge = 0.5
    p.vertices[1].dxf.start_width = 0.2
    p.vertices[1].dxf.end_width = 0.4
    msp.add_polyline3d([(0, 40, 0), (3, 41, 2), (6, 44, 1)])
    mesh = msp.add_polymesh((3, 3))
    for m in range(3):
        for n in range(3):
            mesh.set_mesh_vertex((m, n), (50 + m, 50 + n, m * n))
    pf = msp.add_polyface()
    pf.append_face([(60, 0, 0), (62, 0, 0), (62, 2, 1)])
    pf.append_face([(60, 0, 0), (62, 2, 1), (60, 2, 0)])
    blk = doc.blocks.new("KREUZ", base_point=(1, 1))
    blk.add_line((0, 0), (2, 2))
    blk.add_line((0, 2), (2, 0))
    blk.add_circle((1, 1), 0.5)
    blk.add_attdef("NR", (0, -1), dxfattribs={"height": 0.5})
    ref = msp.add_blockref("KREUZ", (70, 10), dxfattribs={"xscale": 2, "yscale": 1.5, "rotation": 30})
    ref.add_auto_attribs({"NR": "17"})
    msp.add_blockref("KREUZ", (80, 10), dxfattribs={"xscale": -1, "rotation": 10})
    msp.add_blockref("KREUZ", (90, 10, 0), dxfattribs={"extrusion": (0, 0, -1)})
    msp.add_blockref("KREUZ", (95, 10, 0), dxfattribs={"extrusion": (0.1, 0.3, 0.9), "rotation": 45})
    table = doc.blocks.new("TISCH")
    table.add_lwpolyline([(0, 0), (4, 0), (4, 2), (0, 2)], close=True) if not r12 else \
        table.add_polyline2d([(0, 0), (4, 0), (4, 2), (0, 2)], close=True)
    table.add_blockref("KREUZ", (1, 1), dxfattribs={"xscale": 0.5, "yscale": 0.5})
    msp.add_blockref("TISCH", (70, 25), dxfattribs={"rotation": 90})
    if not r12:
        msp.add_blockref("KREUZ", (100, 0), dxfattribs={
            "column_count": 3, "row_count": 2, "column_spacing": 4, "row_spacing": 5, "rotation": 15})


def newer(doc, msp):
    msp.add_ellipse((0, -20), major_axis=(6, 2), ratio=0.4, start_param=0.3, end_param=4.0)
    msp.add_ellipse((15, -20), major_axis=(0, 3), ratio=0.5)
    msp.add_ellipse((30, -20, 1), major_axis=(3, 1, 0), ratio=0.6, start_param=1, end_param=2.5,
                    dxfattribs={"extrusion": (0, 0, -1)})
    lw = msp.add_lwpolyline([(0, -40, 0.1, 0.3, 0.4), (6, -40, 0, 0, -1), (6, -34, 0, 0, 0), (0, -34)],
                            format="xyseb", close=True)
    lw.dxf.const_width = 0
    msp.add_lwpolyline([(10, -40), (16, -38, 0, 0, 0.7), (20, -40)], format="xyseb",
                       dxfattribs={"elevation": 2, "extrusion": (0, 0, -1)})
    msp.add_spline([(40, -40), (42, -35), (46, -38), (50, -30)])
    s = msp.add_spline_control_frame([(60, -40), (62, -35), (66, -38), (70, -30)])
    s2 = msp.add_spline(fit_points=[(80, -40), (82, -36), (86, -37)])
    s2.dxf.start_tangent = (1, 1, 0)
    s2.dxf.end_tangent = (1, -1, 0)
    msp.add_xline((0, -60), (1, 1))
    msp.add_ray((10, -60), (1, 0.5))
    mt = msp.add_mtext("Zwei\\PZeilen", dxfattribs={"char_height": 0.8, "width": 8})
    mt.set_location((20, -60), rotation=25)
    mt2 = msp.add_mtext("Richtung", dxfattribs={"char_height": 1, "insert": (30, -60), "text_direction": (1, 1, 0)})
    dim = msp.add_linear_dim(base=(0, -75), p1=(0, -80), p2=(10, -80))
    dim.render()
    d2 = msp.add_linear_dim(base=(20, -70), p1=(20, -80), p2=(28, -76), angle=30)
    d2.render()
    d3 = msp.add_aligned_dim(p1=(40, -80), p2=(48, -74), distance=2)
    d3.render()
    d4 = msp.add_radius_dim(center=(60, -80), radius=3, angle=45)
    d4.render()
    d5 = msp.add_diameter_dim(center=(75, -80), radius=3, angle=135)
    d5.render()
    d6 = msp.add_angular_dim_cra(center=(90, -80), radius=4, start_angle=10, end_angle=80, distance=2)
    d6.render()
    d7 = msp.add_ordinate_x_dim(feature_location=(100, -80), offset=(2, 3), origin=(95, -85))
    d7.render()
    h = msp.add_hatch(color=3)
    h.paths.add_polyline_path([(0, -100, 0), (10, -100, 0.5), (10, -92, 0), (0, -92, 0)], is_closed=True)
    h.set_pattern_fill("ANSI31", scale=0.5, angle=15)
    h.set_seed_points([(5, -96)])
    h2 = msp.add_hatch(color=5)
    edges = h2.paths.add_edge_path()
    edges.add_line((20, -100), (30, -100))
    edges.add_arc((30, -96), 4, 270, 360, ccw=True)
    edges.add_line((34, -96), (34, -92))
    edges.add_ellipse((30, -92), major_axis=(4, 0), ratio=0.5, start_angle=0, end_angle=90, ccw=True)
    edges.add_line((30, -90), (20, -90))
    edges.add_arc((20, -95), 5, 90, 270, ccw=True)
    inner = h2.paths.add_edge_path()
    inner.add_arc((26, -95), 1.5, 0, 360)
    h2.set_solid_fill(color=5)
    h3 = msp.add_hatch(color=1, dxfattribs={"extrusion": (0, 0, -1), "elevation": (0, 0, 1)})
    cw = h3.paths.add_edge_path()
    cw.add_line((-40, -100), (-30, -100))
    cw.add_arc((-35, -100), 5, 180, 360, ccw=False)
    h3.set_pattern_fill("ANSI32", scale=0.3)
    h4 = msp.add_hatch(color=2)
    sp = h4.paths.add_edge_path()
    sp.add_spline(control_points=[(50, -100), (55, -95), (60, -100), (55, -105), (50, -100)], degree=3)
    h4.set_solid_fill(color=2)
    ldr = msp.add_leader([(0, -120), (5, -115), (10, -115)])
    ldr.dxf.horizontal_direction = (1, 0, 0)
    if doc.dxfversion >= "AC1021":
        ml = msp.add_multileader_mtext("Standard")
        ml.set_content("Hinweis", char_height=0.7)
        ml.add_leader_line(ezdxf.render.mleader.ConnectionSide.left, [ezdxf.math.Vec2(20, -125)])
        ml.build(insert=ezdxf.math.Vec2(25, -120))
    msp.add_wipeout([(70, -120), (76, -120), (76, -116), (70, -116)])
    layout = doc.layouts.get("Layout1")
    layout.add_viewport(center=(150, 100), size=(120, 80), view_center_point=(20, -40), view_height=150)
    layout.add_line((10, 10), (40, 10))
    layout.add_text("Blatt", dxfattribs={"height": 3, "insert": (10, 20)})
    second = doc.layouts.new("Blatt 2")
    second.add_viewport(center=(80, 60), size=(100, 80), view_center_point=(0, 0), view_height=60)
    second.add_viewport(center=(200, 60), size=(80, 80), view_center_point=(25, -95), view_height=30)


def kinds(version):
    doc = ezdxf.new(version, setup=True)
    msp = doc.modelspace()
    common(doc, msp, version == "R12")
    if version != "R12":
        newer(doc, msp)
    return doc


def dimensions():
    """300 dimensions in rows of 20, each kind in turn."""
    doc = ezdxf.new("R2000", setup=True)
    msp = doc.modelspace()
    msp.add_circle((-50, -50), 10)
    for i in range(300):
        x, y, k = (i % 20) * 40.0, (i // 20) * 30.0, i % 6
        if k == 0:
            dim = msp.add_linear_dim(base=(x, y + 8), p1=(x, y), p2=(x + 10 + i % 7, y))
        elif k == 1:
            dim = msp.add_linear_dim(base=(x + 20, y), p1=(x, y), p2=(x + 3, y + 12), angle=90)
        elif k == 2:
            dim = msp.add_aligned_dim(p1=(x, y), p2=(x + 12, y + 9), distance=3)
        elif k == 3:
            dim = msp.add_radius_dim(center=(x + 8, y + 8), radius=6, angle=i * 7)
        elif k == 4:
            dim = msp.add_diameter_dim(center=(x + 8, y + 8), radius=5, angle=i * 11)
        else:
            dim = msp.add_angular_dim_cra(center=(x, y), radius=12, start_angle=i % 40, end_angle=60 + i % 30,
                                          distance=3)
        dim.render()
    return doc


def gear():
    """A wheel of 40 teeth, each tooth six polylines, a hub and spokes."""
    doc = ezdxf.new("R12", setup=True)
    msp = doc.modelspace()
    doc.layers.add("KONTUR", color=7)
    doc.layers.add("MITTE", color=1, linetype="CENTER")
    doc.layers.add("VERDECKT", color=8, linetype="HIDDEN").off()
    doc.layers.add("HILFE", color=3).freeze()
    doc.layers.add("BOHRUNG", color=4).lock()
    teeth, root, tip = 40, 95.0, 105.0
    step = 2 * math.pi / teeth
    at = lambda r, a: (r * math.cos(a), r * math.sin(a))
    for t in range(teeth):
        a = t * step
        corners = [at(root, a), at(root, a + 0.2 * step), at(tip, a + 0.35 * step), at(tip, a + 0.65 * step),
                   at(root, a + 0.8 * step), at(root, a + step)]
        for k in range(len(corners) - 1):
            msp.add_polyline2d([corners[k], corners[k + 1]], dxfattribs={"layer": "KONTUR"})
        msp.add_polyline2d([at(root - 4, a), at(root - 4, a + step)], dxfattribs={"layer": "VERDECKT"})
    for k in range(6):
        a = k * math.pi / 3
        p = msp.add_polyline2d([at(25, a + 0.25), at(80, a + 0.15), at(80, a + 0.9), at(25, a + 0.8)],
                               close=True, dxfattribs={"layer": "KONTUR"})
        p.vertices[1].dxf.bulge = 0.12
        p.vertices[3].dxf.bulge = -0.2
        msp.add_circle(at(52, a + 0.52), 4, dxfattribs={"layer": "BOHRUNG"})
    msp.add_circle((0, 0), 12, dxfattribs={"layer": "KONTUR"})
    msp.add_circle((0, 0), 20, dxfattribs={"layer": "HILFE"})
    msp.add_line((-115, 0), (115, 0), dxfattribs={"layer": "MITTE"})
    msp.add_line((0, -115), (0, 115), dxfattribs={"layer": "MITTE"})
    msp.add_text("Z=40", dxfattribs={"height": 5, "insert": (-10, -130)})
    return doc


def fingerprint():
    """Ridges of a whorl: closed loops round the core, arches above them."""
    doc = ezdxf.new("R2018", setup=True)
    msp = doc.modelspace()
    doc.layers.add("RIDGES", color=250)
    doc.layers.add("FRAME", color=1)
    for ring in range(60):
        for part in range(15):
            r = 2 + ring * 1.5
            a0, a1 = part * 2 * math.pi / 15, (part + 1.1) * 2 * math.pi / 15
            pts = []
            for k in range(6):
                a = a0 + (a1 - a0) * k / 5
                wave = 0.35 * math.sin(7 * a + ring * 0.4)
                pts.append(((r + wave) * math.cos(a) * 0.8, (r + wave) * math.sin(a)))
            msp.add_spline(pts, dxfattribs={"layer": "RIDGES"})
    for k in range(60):
        y = -100 + k * 3.4
        msp.add_line((-80, y), (-78 + k % 7, y + 1.5), dxfattribs={"layer": "RIDGES"})
    msp.add_lwpolyline([(-85, -105), (85, -105), (85, 105), (-85, 105)], close=True, dxfattribs={"layer": "FRAME"})
    msp.add_lwpolyline([(-60, 95, 0, 0, 0.3), (0, 100, 0, 0, 0.3), (60, 95)], format="xyseb")
    msp.add_ellipse((0, 0), major_axis=(0, 3), ratio=0.5)
    msp.add_ellipse((40, -80), major_axis=(10, 2), ratio=0.3, start_param=0.5, end_param=5)
    msp.add_text("Abdruck", dxfattribs={"height": 4, "insert": (-80, -115)})
    # The first layout's objects end the ENTITIES section: a title, no
    # viewport, so that what is drawn last may be read again alone.
    doc.layouts.get("Layout1").add_text("Blatt", dxfattribs={"height": 5, "insert": (20, 20)})
    doc.layouts.new("Detail").add_viewport(center=(100, 100), size=(150, 150), view_center_point=(0, 0),
                                            view_height=30)
    return doc


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    # The same drawings at every build: no dates or GUIDs of the moment.
    ezdxf.options.write_fixed_meta_data_for_testing = True
    drawings = {f"kinds_{v.lower()}.dxf": (kinds, v)
                for v in ("R12", "R2000", "R2004", "R2007", "R2010", "R2013", "R2018")}
    drawings.update({"dimensions.dxf": (dimensions,), "gear.dxf": (gear,), "fingerprint.dxf": (fingerprint,)})
    for name, (make, *args) in drawings.items():
        make(*args).saveas(os.path.join(out, name))


if __name__ == "__main__":
    main()
