#include "geometry/segments.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

double PerpendicularDistance(Point2 m, Point2 a, Point2 b) {
  constexpr double kUndefined = 1000;
  const double g = std::hypot(b.x - a.x, a.y - b.y);
  if (!(g > 0)) return kUndefined;
  const double d = ((a.y - b.y) * (m.x - b.x) + (b.x - a.x) * (m.y - b.y)) / g;
  return std::isfinite(d) ? d : kUndefined;
}

bool PointNearSegment(Point2 m, Point2 a, Point2 b, double tolerance) {
  if (!(std::abs(PerpendicularDistance(m, a, b)) < tolerance)) return false;
  const double reach = std::hypot(a.x - b.x, a.y - b.y) + tolerance;
  return std::hypot(m.x - a.x, m.y - a.y) <= reach && std::hypot(m.x - b.x, m.y - b.y) <= reach;
}

bool SegmentIntersection(Point2 a1, Point2 a2, Point2 b1, Point2 b2, Point2& at) {
  // Boxes apart: no crossing.
  if (std::max(a1.x, a2.x) < std::min(b1.x, b2.x) || std::max(b1.x, b2.x) < std::min(a1.x, a2.x)) return false;
  if (std::max(a1.y, a2.y) < std::min(b1.y, b2.y) || std::max(b1.y, b2.y) < std::min(a1.y, a2.y)) return false;
  const double ux = a2.x - a1.x, uy = a2.y - a1.y;
  const double vx = b2.x - b1.x, vy = b2.y - b1.y;
  const double det = ux * vy - uy * vx;
  if (det == 0 || !std::isfinite(det)) return false;
  // a1 + s·u = b1 + t·v
  const double wx = b1.x - a1.x, wy = b1.y - a1.y;
  const double s = (wx * vy - wy * vx) / det;
  const double t = (wx * uy - wy * ux) / det;
  if (!(s >= 0 && s <= 1 && t >= 0 && t <= 1)) return false;
  at = {a1.x + s * ux, a1.y + s * uy};
  return true;
}

}  // namespace vestrel
