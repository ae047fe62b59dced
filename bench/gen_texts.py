#!/usr/bin/python3
"""A drawing of many texts for the paint benchmark: single-line texts in every
alignment, rotated, wide and narrow, and multi-line texts that wrap and carry
formatting codes, spread over a 10000 x 10000 square.
usage: gen_texts.py OUT.dxf [COUNT]   (COUNT texts, 100000 by default)"""
import random
import sys

import ezdxf
from ezdxf.enums import TextEntityAlignment

out = sys.argv[1]
count = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
random.seed(11)
doc = ezdxf.new("R2000")
msp = doc.modelspace()
aligns = list(TextEntityAlignment)
R = lambda: random.uniform(0, 10000)
for i in range(count):
    x, y = R(), R()
    if i % 4 == 3:
        msp.add_mtext("Raum %d\\P{\\H0.7x;Fläche} %%%%c %d m\\S2^;" % (i, i % 97) + " lang" * (i % 5),
                      dxfattribs={"char_height": random.uniform(1, 4), "insert": (x, y), "width": 30,
                                  "attachment_point": 1 + i % 9, "rotation": random.choice((0, 0, 30, 90))})
    else:
        t = msp.add_text("Text %d %%%%d" % i, dxfattribs={"height": random.uniform(1, 4),
                                                          "rotation": random.choice((0, 0, 0, 45, 90)),
                                                          "width": random.choice((1, 1, 0.8, 1.2))})
        a = aligns[i % len(aligns)]
        if a in (TextEntityAlignment.ALIGNED, TextEntityAlignment.FIT):
            t.set_placement((x, y), (x + 40, y + 5), align=a)
        else:
            t.set_placement((x, y), align=a)
doc.saveas(out)
