#include "geometry/clickedspline.h"

#include <cmath>

namespace vestrel {

namespace {

Point3 Flat(const PolyVertex& q) { return {q.x, q.y, 0}; }

// The control point a direction handle stands for: `end` moved away from
// `handle` by half the distance of `end` and `next`.
Point3 HandlePoint(const PolyVertex& end, const PolyVertex& handle, const PolyVertex& next) {
  const double d = std::hypot(end.x - next.x, end.y - next.y) / 2;
  const double t = std::atan2(end.y - handle.y, end.x - handle.x);
  return {end.x + d * std::cos(t), end.y + d * std::sin(t), 0};
}

}  // namespace

Spline SplineOfClicks(std::span<const PolyVertex> polyline0, int splinemode) {
  const std::size_t handles = splinemode == 2 ? 2 : splinemode == 1 ? 1 : 0;
  Spline s;
  if (polyline0.size() < handles + 2) return s;
  const std::span<const PolyVertex> P = polyline0.first(polyline0.size() - handles);
  const std::size_t q = P.size();

  // What the curve is fitted to: the points with the handles' control
  // points next to the ends, and the indexes that are control points
  // already.
  std::vector<Point3> F;
  F.reserve(polyline0.size());
  std::vector<int> fixed;
  F.push_back(Flat(P[0]));
  if (handles >= 1) {
    F.push_back(HandlePoint(P[0], polyline0[q], P[1]));
    fixed.push_back(1);
  }
  for (std::size_t i = 1; i + 1 < q; ++i) F.push_back(Flat(P[i]));
  if (handles == 2) {
    F.push_back(HandlePoint(P[q - 1], polyline0[q + 1], P[q - 2]));
    fixed.push_back(static_cast<int>(F.size()) - 1);
  }
  F.push_back(Flat(P[q - 1]));

  const int m = static_cast<int>(F.size());
  if (m >= 4) {
    s.order = 4;
    s.knots = MakeKnots(m - 1, 4);
    s.controls = FitControlPoints(F, fixed);
    return s;
  }
  // Too few for a cubic: a curve of a lower degree through them.
  s.order = m;
  s.knots = MakeKnots(m - 1, m);
  s.controls = F;
  if (m == 3 && fixed.empty()) {
    // The quadratic's middle control point that puts its middle on F[1].
    s.controls[1] = {2 * F[1].x - (F[0].x + F[2].x) / 2, 2 * F[1].y - (F[0].y + F[2].y) / 2, 0};
  }
  return s;
}

std::vector<Point3> SplinePreview(std::span<const PolyVertex> polyline0, Point2 pointer, int splinemode) {
  std::vector<PolyVertex> clicks(polyline0.begin(), polyline0.end());
  PolyVertex next;
  next.x = pointer.x, next.y = pointer.y;
  clicks.push_back(next);
  return FlattenSpline(SplineOfClicks(clicks, splinemode));
}

}  // namespace vestrel
