#!/usr/bin/python3
"""Writes a drawing of 1,000 rings, each of 100 loose lines in random
directions, for the join of bench_transforms:

    /usr/bin/python3 bench/gen_rings.py rings.dxf
"""
import math
import random
import sys

import ezdxf

random.seed(3)
doc = ezdxf.new("R2000")
msp = doc.modelspace()
for ring in range(1000):
    cx, cy = (ring % 40) * 30.0, (ring // 40) * 30.0
    for k in range(100):
        a0, a1 = 2 * math.pi * k / 100, 2 * math.pi * (k + 1) / 100
        a = (cx + 10 * math.cos(a0), cy + 10 * math.sin(a0))
        b = (cx + 10 * math.cos(a1), cy + 10 * math.sin(a1))
        msp.add_line(*((b, a) if random.random() < 0.5 else (a, b)))
doc.saveas(sys.argv[1])
