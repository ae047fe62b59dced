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

// The chords through every `stride`-th of the points: their length and
// twice the area the closed polygon encloses.
struct Chords {
  double length = 0, twiceArea = 0;
};
Chords ChordsOf(const std::vector<Point2>& points, std::size_t stride) {
  Chords c;
  for (std::size_t i = stride; i < points.size(); i += stride) {
    const Point2 a = points[i - stride], b = points[i];
    c.length += std::hypot(b.x - a.x, b.y - a.y);
    c.twiceArea += a.x * b.y - a.y * b.x;
  }
  const Point2 a = points.back(), b = points.front();
  c.twiceArea += a.x * b.y - a.y * b.x;
  return c;
}

}  // namespace

Contour SampledContour(const std::function<Point2(double)>& at, std::span<const double> breaks, bool withPath) {
  // Chords fall short of a smooth curve by shares that go with the square,
  // the fourth power, ... of their length: three flattenings, each twice
  // as fine as the one before, give the limit to the sixth power (Romberg).
  constexpr std::size_t kPerSpan = 128;
  std::vector<Point2> points;
  for (std::size_t i = 0; i + 1 < breaks.size(); ++i) {
    const double v0 = breaks[i], v1 = breaks[i + 1];
    if (!(v1 > v0)) continue;
    for (std::size_t k = points.empty() ? 0 : 1; k <= kPerSpan; ++k)
      points.push_back(at(k == kPerSpan ? v1 : v0 + (v1 - v0) * static_cast<double>(k) / kPerSpan));
  }
  Contour c;
  if (points.size() < 2) return c;
  const Chords fine = ChordsOf(points, 1), half = ChordsOf(points, 2), quarter = ChordsOf(points, 4);
  auto limit = [](double f, double h, double q) {
    const double f1 = (4 * f - h) / 3, h1 = (4 * h - q) / 3;
    return (16 * f1 - h1) / 15;
  };
  c.length = limit(fine.length, half.length, quarter.length);
  const Point2 a = points.front(), b = points.back();
  c.closed = std::hypot(b.x - a.x, b.y - a.y) <= 1e-9 * std::max(c.length, 1e-300);
  if (c.closed) {
    c.area = limit(fine.twiceArea, half.twiceArea, quarter.twiceArea) / 2;
    points.pop_back();
    if (withPath) c.path = PolygonPath(points);
  } else if (withPath) {
    for (std::size_t i = 1; i < points.size(); ++i) c.path.pieces.push_back(SegmentPiece(points[i - 1], points[i]));
  }
  return c;
}

namespace {

struct Box {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  void add(Point2 p, double margin = 0) {
    x0 = std::min(x0, p.x - margin), y0 = std::min(y0, p.y - margin);
    x1 = std::max(x1, p.x + margin), y1 = std::max(y1, p.y + margin);
  }
};

// A box round the path: its pieces' ends, and the whole circle or ellipse
// of an arc.
Box BoxOf(const Path& path) {
  Box b;
  for (const Piece& piece : path.pieces) {
    b.add(piece.a), b.add(piece.b);
    if (piece.elliptic) {
      const Conic& k = piece.conic;
      b.add(k.c, std::hypot(k.u.x, k.u.y) + std::hypot(k.v.x, k.v.y));
    } else if (const auto arc = CircleOf(piece)) {
      b.add(arc->c, arc->r);
    }
  }
  return b;
}

}  // namespace

Surface AreaOf(std::span<const Contour> contours) {
  Surface s;
  // How deep each closed contour lies: the others that hold a point of it
  // (the middle of its first piece, which no other contour of a sound
  // selection meets). The points go into a grid of about one cell each,
  // so that each contour tests only those within its box.
  std::vector<std::size_t> closed;
  std::vector<Point2> probes;
  Box all;
  for (std::size_t i = 0; i < contours.size(); ++i) {
    s.perimeter += contours[i].length;
    if (!contours[i].closed || contours[i].path.pieces.empty()) continue;
    closed.push_back(i);
    probes.push_back(PointAt(contours[i].path.pieces.front(), 0.5));
    all.add(probes.back());
  }
  if (closed.empty()) return s;
  const auto side = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(closed.size()))));
  const double w = std::max(all.x1 - all.x0, 1e-300) / static_cast<double>(side);
  const double h = std::max(all.y1 - all.y0, 1e-300) / static_cast<double>(side);
  auto cell = [&](double v, double lo, double size) {
    const double c = std::floor((v - lo) / size);
    return static_cast<std::size_t>(std::clamp(std::isfinite(c) ? c : 0.0, 0.0, static_cast<double>(side - 1)));
  };
  std::vector<std::vector<std::size_t>> grid(side * side);
  for (std::size_t k = 0; k < probes.size(); ++k)
    grid[cell(probes[k].y, all.y0, h) * side + cell(probes[k].x, all.x0, w)].push_back(k);
  std::vector<int> depth(closed.size(), 0);
  for (std::size_t j = 0; j < closed.size(); ++j) {
    const Contour& outer = contours[closed[j]];
    if (!(std::abs(outer.area) > 0)) continue;
    const Box b = BoxOf(outer.path);
    if (b.x1 < all.x0 || b.x0 > all.x1 || b.y1 < all.y0 || b.y0 > all.y1) continue;
    for (std::size_t cy = cell(b.y0, all.y0, h); cy <= cell(b.y1, all.y0, h); ++cy)
      for (std::size_t cx = cell(b.x0, all.x0, w); cx <= cell(b.x1, all.x0, w); ++cx)
        for (const std::size_t k : grid[cy * side + cx]) {
          const Point2 p = probes[k];
          if (k != j && p.x >= b.x0 && p.x <= b.x1 && p.y >= b.y0 && p.y <= b.y1 && WindingNumber(outer.path, p) != 0)
            ++depth[k];
        }
  }
  for (std::size_t k = 0; k < closed.size(); ++k)
    s.area += (depth[k] % 2 == 0 ? 1 : -1) * std::abs(contours[closed[k]].area);
  return s;
}

}  // namespace vestrel
