// The curve the spline tool makes of the points the user clicked. The
// writer writes it and the rubber band shows it, so both are the same curve.
#pragma once

#include <span>
#include <vector>

#include "geometry/point.h"
#include "geometry/spline.h"

namespace vestrel {

// The clicks in `polyline0` and what `splinemode` says of the last of them:
//   0: all are points the curve passes through;
//   1: the last is a handle of the start direction: the curve leaves the
//      first point away from it;
//   2: the last two are handles of the start and the end direction: the
//      curve ends on the last point coming from the side away from the
//      second handle.
// A handle becomes the control point next to the curve's end, half as far
// from the end as the next point; the curve passes through every other
// click. Four or more points make a cubic over clamped integer knots with
// a control point per point; three a quadratic, two a straight line. A
// spline without control points when there are fewer than two points
// besides the handles.
Spline SplineOfClicks(std::span<const PolyVertex> polyline0, int splinemode);

// What the rubber band of the spline tool shows while the pointer is at
// `pointer`: the curve the clicks would make with the pointer as the next
// click, flattened as the reader flattens a spline of the drawing. Empty
// when that makes no curve.
std::vector<Point3> SplinePreview(std::span<const PolyVertex> polyline0, Point2 pointer, int splinemode);

}  // namespace vestrel
