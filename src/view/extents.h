// The extents of a tab: what zoom to extents fits into the window.
#pragma once

#include "document/drawing.h"

namespace vestrel {

// The box that zoom to extents fits into the window, in whole drawing units:
// every drawn point of the tab's entries, and of the blocks they refer to,
// rounded to the nearest integer, halves to even; construction lines and
// rays do not count. (0, 0)-(10, 10) when nothing counts.
struct Extents {
  double minx = 0, miny = 0, maxx = 10, maxy = 10;
};
Extents TabExtents(const Drawing& d, int tab);

}  // namespace vestrel
