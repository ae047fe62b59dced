#!/usr/bin/python3
"""Writes a large drawing of mixed objects with ezdxf (an independent
writer), for the benchmarks and the killed-save test.

Usage: gen_big.py OUT.dxf [SCALE] [VERSION]

SCALE 1 (the default) gives about 184,000 objects and five million lines
on a square of 10,000 units: 100,000 lines, 20,000 each of circles, arcs
and polylines of ten vertices, 10,000 texts, 5,000 references of a block
of three objects, and, from R2000 on (the default version), 5,000
two-line multi-line texts, 2,000 splines and 2,000 ellipses. Other scales
multiply every count. The same arguments always give the same drawing.
"""
import random
import sys

import ezdxf


def main(argv):
    if not 2 <= len(argv) <= 4:
        print(__doc__, file=sys.stderr)
        return 2
    out = argv[1]
    scale = float(argv[2]) if len(argv) > 2 else 1.0
    version = argv[3] if len(argv) > 3 else "R2000"
    rnd = random.Random(7)
    count = lambda n: int(n * scale)
    anywhere = lambda: (rnd.uniform(0, 10000), rnd.uniform(0, 10000))
    near = lambda p, d: (p[0] + rnd.uniform(-d, d), p[1] + rnd.uniform(-d, d))

    doc = ezdxf.new(version)
    msp = doc.modelspace()
    for name, color in (("WALLS", 1), ("DOORS", 3), ("TEXT", 5), ("HIDDEN", 8)):
        doc.layers.add(name, color=color)
    chair = doc.blocks.new("CHAIR")
    chair.add_line((0, 0), (1, 0))
    chair.add_circle((0.5, 0.5), 0.4)
    chair.add_lwpolyline([(0, 0), (1, 0), (1, 1), (0, 1)], close=True)

    for _ in range(count(100000)):
        p = anywhere()
        msp.add_line(p, near(p, 50), dxfattribs={"layer": "WALLS"})
    for _ in range(count(20000)):
        msp.add_circle(anywhere(), rnd.uniform(1, 30), dxfattribs={"layer": "DOORS"})
    for _ in range(count(20000)):
        msp.add_arc(anywhere(), rnd.uniform(1, 30), rnd.uniform(0, 360), rnd.uniform(0, 360))
    for _ in range(count(20000)):
        p = anywhere()
        points = [near(p, 20) for _ in range(10)]
        if version == "R12":
            msp.add_polyline2d(points)
        else:
            msp.add_lwpolyline(points)
    for i in range(count(10000)):
        msp.add_text(f"Room {i}", dxfattribs={"height": 2.5, "layer": "TEXT", "insert": anywhere()})
    for _ in range(count(5000)):
        msp.add_blockref("CHAIR", anywhere())
    if version != "R12":
        for i in range(count(5000)):
            msp.add_mtext(f"Line one\\PLine two {i}", dxfattribs={"char_height": 2.0, "insert": anywhere()})
        for _ in range(count(2000)):
            x, y = anywhere()
            msp.add_spline([(x, y), (x + 10, y + 20), (x + 30, y - 5), (x + 40, y + 10), (x + 50, y)])
        for _ in range(count(2000)):
            msp.add_ellipse(anywhere(), major_axis=(rnd.uniform(5, 20), 0), ratio=0.5)
    doc.saveas(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
