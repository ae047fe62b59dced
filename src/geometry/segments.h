// Points against segments and boxes, on the screen or in the drawing:
// how far a point lies from a line, whether it is near a segment or in a
// box, and where two segments cross.
#pragma once

#include "geometry/point.h"

namespace vestrel {

// The distance of m from the line through a and b, its sign telling the
// side. 1000 when a and b coincide or the numbers do not make one.
double PerpendicularDistance(Point2 m, Point2 a, Point2 b);

// m is near the segment a–b: less than `tolerance` from its line, and no
// farther than its length plus `tolerance` from either end, so a little
// beyond the ends counts too.
bool PointNearSegment(Point2 m, Point2 a, Point2 b, double tolerance = 3);

// p lies in the box with the corners c1 and c2 (in any order), edges
// included.
inline bool PointInBox(Point2 p, Point2 c1, Point2 c2) {
  const bool inx = c1.x <= c2.x ? c1.x <= p.x && p.x <= c2.x : c2.x <= p.x && p.x <= c1.x;
  const bool iny = c1.y <= c2.y ? c1.y <= p.y && p.y <= c2.y : c2.y <= p.y && p.y <= c1.y;
  return inx && iny;
}

// Where the segments a1–a2 and b1–b2 cross; false, and `at` untouched,
// when they do not (parallel, apart, or crossing only beyond their ends).
bool SegmentIntersection(Point2 a1, Point2 a2, Point2 b1, Point2 b2, Point2& at);

}  // namespace vestrel
