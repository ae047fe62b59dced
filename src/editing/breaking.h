// Break and lengthen: what the tools "Brechen" and "Verlängern" make of
// one picked object of the shown tab. Each replaces the object by what is
// left of it, in its place and in its plane, as one undo step, and parses
// the drawing again; the new objects keep the layer, colour, line type,
// line weight and line-type scale of the old. What cannot be done leaves
// the drawing as it was. Telling the user and painting is the caller's.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "editing/reshape.h"
#include "geometry/point.h"

namespace vestrel {

// The object of display-list entry `entry` (a line, arc, circle, ellipse,
// 2-D polyline or spline) broken where it lies under the drawing points
// `first` and `second`: the part between them goes. A closed object loses
// the part that runs counter-clockwise (as the drawing shows it) from the
// first point to the second; a circle keeps the rest as an arc, a closed
// polyline or spline stays one open one. Without a second point (or with
// one at the first) it is broken there: an open object into two, a closed
// polyline or spline opened. A spline is cut through its exact curve (in
// the plan), into splines that trace exactly what stays. `made` counts
// the objects it became.
ReshapeResult BreakObject(DocumentContext& c, std::int32_t entry, Point2 first, std::optional<Point2> second);

// The line, arc, elliptic arc, open 2-D polyline or open spline of entry
// `entry` made longer (or, by a negative `value`, shorter) at the end
// nearer to the drawing point `near`: by `value`, or with `total` to a
// length of `value`. Lines go on along their direction, arcs along their circle or
// ellipse, a polyline along its end segment, a spline along the
// polynomial of its end span.
ReshapeResult LengthenObject(DocumentContext& c, std::int32_t entry, Point2 near, double value, bool total);

// What the tools show while the pointer moves, as world points of the
// drawing plane (none when the edit would be refused): the part a break
// between `first` and `second` takes away, and the object as a lengthen
// at the end nearer `near` would leave it.
std::vector<Point2> BreakGhost(const Drawing& d, std::int32_t entry, Point2 first, Point2 second);
std::vector<Point2> LengthenGhost(const Drawing& d, std::int32_t entry, Point2 near, double value, bool total);

}  // namespace vestrel
