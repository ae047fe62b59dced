// Parallels: a path moved a distance to one side, its corners joined and,
// where the moved path would cross itself, the loops that come too near
// the original cut away (what laser and CNC users need for the kerf).
#pragma once

#include <vector>

#include "geometry/path.h"

namespace vestrel {

// The parallel of `path` at `distance`, positive to the left of its
// direction of travel (inside a counter-clockwise contour), negative to
// the right: segments moved, circular arcs and circles on concentric
// circles, elliptic pieces approximated by arcs within 1/1000 of the
// distance. Corners that open are joined by arcs round the original
// vertex; where pieces overlap they are cut at their crossing; arcs that
// shrink to nothing and every part that comes nearer the original than
// the distance are dropped. So the result may be several paths (a
// contour that pinches apart), each without self-crossings. Vanished when
// nothing is left; ZeroLength for a path of no length.
Outcome<std::vector<Path>> Offset(const Path& path, double distance);

// The parallel of one elliptic arc (or whole ellipse) at `distance`, to the
// left of its direction, as circular arcs that stay within `tolerance` of
// the true parallel; as it is, loops included, where the distance exceeds
// the curvature's radius.
Path ConicParallel(const Piece& piece, double distance, double tolerance);

}  // namespace vestrel
