// The filled heads of arrows as the screen shows them (dimension lines,
// leaders, polylines that start with one), made without a toolkit.
#pragma once

#include <array>
#include <optional>

#include "geometry/point.h"

namespace vestrel {

// The head of an arrow whose tip is at `tip` and whose shaft runs towards
// `from`, in painter coordinates: a triangle `length` pixels long (a
// negative length turns it back over the tip) and two fifths as wide,
// from the tip to its two back corners. None when the two points meet.
std::optional<std::array<Point2, 3>> ArrowHead(Point2 tip, Point2 from, double length);

}  // namespace vestrel
