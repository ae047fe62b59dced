// The grids the cut check and its repair find candidates in: cells of a
// size, and on which side of its cell a value lies nearer to the next.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

#include "geometry/point.h"

namespace vestrel {

// The cell of v among cells of `size` (clamped to what the numbers hold),
// and the side its nearer neighbour lies on: whatever lies within half a
// cell of v lies in one of the two.
struct Cell {
  std::int64_t k = 0;
  int side = 1;
};
inline Cell CellOf(double v, double size) {
  const double x = std::clamp(v / size, -4e18, 4e18);
  const double k = std::floor(x);
  if (!std::isfinite(k)) return {};
  return {static_cast<std::int64_t>(k), x - k < 0.5 ? -1 : 1};
}

// The line a straight piece from a to b runs on, as a bucket: its
// direction's cell among cells of `qa` (the direction taken within half a
// turn), its distance across from `origin` among cells of `q`, and the
// direction of the bucket's middle, along which spans in it are measured.
struct LineBucket {
  Cell angle, offset;
  Point2 along;
};
inline LineBucket LineBucketOf(Point2 a, Point2 b, Point2 origin, double q, double qa) {
  const double l = std::hypot(b.x - a.x, b.y - a.y);
  Point2 u{(b.x - a.x) / l, (b.y - a.y) / l};
  if (u.y < 0 || (u.y == 0 && u.x < 0)) u = {-u.x, -u.y};
  double theta = std::atan2(u.y, u.x);
  if (theta >= kPi - qa) theta -= kPi;
  const Cell angle = CellOf(theta, qa);
  const double middle = (static_cast<double>(angle.k) + 0.5) * qa;
  const Point2 along{std::cos(middle), std::sin(middle)};
  return {angle, CellOf(-along.y * (a.x - origin.x) + along.x * (a.y - origin.y), q), along};
}

// Where an arc starting at `start` and turning through `sweep` (radians,
// signed) begins counter-clockwise, in [0, 2 pi), and how far it turns
// (at most a whole turn).
inline std::pair<double, double> CounterClockwise(double start, double sweep) {
  double from = std::fmod(sweep < 0 ? start + sweep : start, 2 * kPi);
  if (from < 0) from += 2 * kPi;
  return {from, std::min(std::abs(sweep), 2 * kPi)};
}

}  // namespace vestrel
