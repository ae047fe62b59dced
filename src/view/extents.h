// The extents of a tab: what zoom to extents fits into the window.
#pragma once

#include <optional>

#include "document/drawing.h"

namespace vestrel {

// The box of every drawn point of the tab's entries and of what their
// block references draw, exactly; construction lines and rays do not
// count, nor what lies on layers that are off or frozen.
struct Extents {
  double minx = 0, miny = 0, maxx = 10, maxy = 10;
};
// Nothing when no point counts.
std::optional<Extents> DrawnExtents(const Drawing& d, int tab);
// What zoom to extents fits into the window: the drawn extents, or
// (0, 0)-(10, 10) when nothing counts.
inline Extents TabExtents(const Drawing& d, int tab) { return DrawnExtents(d, tab).value_or(Extents{}); }

}  // namespace vestrel
