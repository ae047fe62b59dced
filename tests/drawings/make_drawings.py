#!/usr/bin/python3
"""Writes drawings with every kind of object the editor reads, made by
ezdxf (an independent writer), for the tests of the editing operations.

Usage: make_kinds.py OUTDIR

OUTDIR/kinds_r12.dxf, kinds_r2000.dxf and kinds_r2018.dxf: objects in
their own planes (an arc and a circle seen from below, a text and a block
reference on a tilted plane), mirrored and turned block references with
attributes, every kind of dimension drawn by its block, hatches of
polyline and edge paths with a pattern, leaders and multileaders, splines
by control and by fit points, and a viewport on a layout.
"""
import math
import os
import sys

import ezdxf
from ezdxf.math import Vec3


def common(doc, msp, r12):
    msp.add_line((0, 0, 0), (10, 5, 0))
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


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, version in (("kinds_r12.dxf", "R12"), ("kinds_r2000.dxf", "R2000"), ("kinds_r2018.dxf", "R2018")):
        doc = ezdxf.new(version, setup=True)
        msp = doc.modelspace()
        common(doc, msp, version == "R12")
        if version != "R12":
            newer(doc, msp)
        doc.saveas(os.path.join(out, name))


if __name__ == "__main__":
    main()
