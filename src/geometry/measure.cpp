#include "geometry/measure.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

Distance DistanceOf(Point2 a, Point2 b) {
  Distance d;
  d.dx = b.x - a.x, d.dy = b.y - a.y;
  d.distance = std::hypot(d.dx, d.dy);
  d.angle = std::atan2(d.dy, d.dx) * 180 / kPi;
  if (d.angle < 0) d.angle += 360;
  if (d.angle >= 360) d.angle = 0;
  return d;
}

double AngleAt(Point2 a, Point2 vertex, Point2 b) {
  const Point2 u{a.x - vertex.x, a.y - vertex.y}, v{b.x - vertex.x, b.y - vertex.y};
  if ((u.x == 0 && u.y == 0) || (v.x == 0 && v.y == 0)) return std::nan("");
  // atan2 of the cross and dot products stays exact near 0 and 180 degrees.
  return std::atan2(std::abs(u.x * v.y - u.y * v.x), u.x * v.x + u.y * v.y) * 180 / kPi;
}

Contour ContourOf(Path path) {
  Contour c;
  c.length = Length(path);
  c.closed = path.closed;
  if (c.closed) c.area = SignedArea(path);
  c.path = std::move(path);
  return c;
}

Path PolygonPath(std::span<const Point2> points) {
  Path p;
  p.closed = true;
  for (std::size_t i = 0; i < points.size(); ++i)
    p.pieces.push_back(SegmentPiece(points[i], points[(i + 1) % points.size()]));
  return p;
}

namespace {

struct Chords {
  double length = 0, twiceArea = 0;
  std::vector<Point2> points;
};

Chords ChordsOf(const std::function<Point2(double)>& at, std::span<const double> breaks, int perSpan) {
  Chords c;
  for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
    const double v0 = breaks[i], v1 = breaks[i + 1];
    if (!(v1 > v0)) continue;
    for (int k = c.points.empty() ? 0 : 1; k <= perSpan; ++k)
      c.points.push_back(at(k == perSpan ? v1 : v0 + (v1 - v0) * k / perSpan));
  }
  for (std::size_t i = 1; i < c.points.size(); ++i) {
    const Point2 a = c.points[i - 1], b = c.points[i];
    c.length += std::hypot(b.x - a.x, b.y - a.y);
    c.twiceArea += a.x * b.y - a.y * b.x;
  }
  if (!c.points.empty()) {
    const Point2 a = c.points.back(), b = c.points.front();
    c.twiceArea += a.x * b.y - a.y * b.x;
  }
  return c;
}

}  // namespace

Contour SampledContour(const std::function<Point2(double)>& at, std::span<const double> breaks) {
  // Chords fall short of the curve by a share that goes with the square
  // of their length: two flattenings, one twice as fine, give the limit.
  constexpr int kCoarse = 256;
  const Chords coarse = ChordsOf(at, breaks, kCoarse), fine = ChordsOf(at, breaks, 2 * kCoarse);
  Contour c;
  if (fine.points.size() < 2) return c;
  c.length = (4 * fine.length - coarse.length) / 3;
  const Point2 a = fine.points.front(), b = fine.points.back();
  c.closed = std::hypot(b.x - a.x, b.y - a.y) <= 1e-9 * std::max(c.length, 1e-300);
  std::vector<Point2> ring = fine.points;
  if (c.closed) {
    c.area = (4 * fine.twiceArea - coarse.twiceArea) / 6;
    ring.pop_back();
    c.path = PolygonPath(ring);
  } else {
    for (std::size_t i = 1; i < ring.size(); ++i) c.path.pieces.push_back(SegmentPiece(ring[i - 1], ring[i]));
  }
  return c;
}

Surface AreaOf(std::span<const Contour> contours) {
  Surface s;
  for (std::size_t i = 0; i < contours.size(); ++i) {
    const Contour& c = contours[i];
    s.perimeter += c.length;
    if (!c.closed || c.path.pieces.empty()) continue;
    // How deep it lies: the others that hold a point of it (the middle of
    // its first piece, which no other contour of a sound selection meets).
    const Point2 probe = PointAt(c.path.pieces.front(), 0.5);
    int depth = 0;
    for (std::size_t j = 0; j < contours.size(); ++j)
      if (j != i && contours[j].closed && std::abs(contours[j].area) > 0 &&
          WindingNumber(contours[j].path, probe) != 0)
        ++depth;
    s.area += (depth % 2 == 0 ? 1 : -1) * std::abs(c.area);
  }
  return s;
}

}  // namespace vestrel
