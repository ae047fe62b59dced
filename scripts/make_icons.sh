#!/bin/bash
# Renders the program's icon, packaging/icons/vestrel.svg, into the PNG sizes
# the desktop's icon themes look for. Needs ImageMagick (convert) with an
# SVG reader; run it again after changing the SVG and commit the PNGs.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for n in 16 32 48 64 128 256; do
  convert -background none -density 300 vestrel.svg -resize "${n}x${n}" -depth 8 "vestrel-$n.png"
done
