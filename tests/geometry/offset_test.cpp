// Parallels of pieces, polylines with bulges, circles and ellipses.
#include "geometry/offset.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "geometry/crossings.h"

namespace vestrel {
namespace {

// Whether two pieces of the path cross or touch anywhere but where one
// ends and the next begins. (Pieces whose bounding circles are apart are
// skipped.)
bool CrossesItself(const Path& path) {
  const std::size_t n = path.pieces.size();
  auto reach = [](const Piece& p, Point2& mid) {
    mid = {(p.a.x + p.b.x) / 2, (p.a.y + p.b.y) / 2};
    return Length(p) / 2 + 1e-9;
  };
  for (std::size_t i = 0; i < n; ++i)
    for (std::size_t j = i + 1; j < n; ++j) {
      Point2 mi, mj;
      const double ri = reach(path.pieces[i], mi), rj = reach(path.pieces[j], mj);
      if (std::hypot(mi.x - mj.x, mi.y - mj.y) > ri + rj) continue;
      for (const Crossing& c : Crossings(path.pieces[i], path.pieces[j])) {
        const bool joint = (j == i + 1 && c.s > 1 - 1e-9 && c.t < 1e-9) ||
                           (path.closed && i == 0 && j == n - 1 && c.s < 1e-9 && c.t > 1 - 1e-9);
        if (!joint) return true;
      }
    }
  return false;
}

Path Polygon(const std::vector<PolyVertex>& v) { return PathOf(v, true); }

const Path kSquare = Polygon({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}});
// The square with a slot 1 wide and 5 deep cut down from the middle of its top.
const Path kSlotted = Polygon({{0, 0, 0, 0},
                               {10, 0, 0, 0},
                               {10, 10, 0, 0},
                               {5.5, 10, 0, 0},
                               {5.5, 5, 0, 0},
                               {4.5, 5, 0, 0},
                               {4.5, 10, 0, 0},
                               {0, 10, 0, 0}});

TEST(Offset, ClosedContoursAndOpenPaths) {
  const double h = std::sqrt(0.75);
  struct Case {
    const char* name;
    Path path;
    double distance;
    GeometryFault fault;
    double length, area;  // area NaN: an open result, from `from` to `to`
    Point2 from, to;
  } cases[] = {
      {"segment", {{SegmentPiece({0, 0}, {10, 0})}}, 1, GeometryFault::None, 10, NAN, {0, 1}, {10, 1}},
      {"arc inwards", {{BulgePiece({2, 0}, {0, 2}, std::tan(kPi / 8))}}, 1, GeometryFault::None, kPi / 2, NAN, {1, 0},
       {0, 1}},
      {"arc outwards", {{BulgePiece({2, 0}, {0, 2}, std::tan(kPi / 8))}}, -1, GeometryFault::None, 1.5 * kPi, NAN,
       {3, 0}, {0, 3}},
      {"arc shrinks away", {{BulgePiece({2, 0}, {0, 2}, std::tan(kPi / 8))}}, 3, GeometryFault::Vanished, 0, NAN, {}, {}},
      {"circle inwards", {{ConicPiece({{0, 0}, {5, 0}, {0, 5}})}, true}, 2, GeometryFault::None, 6 * kPi, 9 * kPi, {},
       {}},
      {"circle outwards", {{ConicPiece({{0, 0}, {5, 0}, {0, 5}})}, true}, -2, GeometryFault::None, 14 * kPi,
       49 * kPi, {}, {}},
      {"circle shrinks away", {{ConicPiece({{0, 0}, {5, 0}, {0, 5}})}, true}, 5, GeometryFault::Vanished, 0, 0, {}, {}},
      {"square outwards, corners rounded", kSquare, -1, GeometryFault::None, 40 + 2 * kPi, 140 + kPi, {}, {}},
      {"square inwards", kSquare, 1, GeometryFault::None, 32, 64, {}, {}},
      {"square nearly gone", kSquare, 4.9, GeometryFault::None, 0.8, 0.04, {}, {}},
      {"square gone", kSquare, 5, GeometryFault::Vanished, 0, 0, {}, {}},
      // The slot fills but for a notch above it where neither corner's
      // circle reaches: 1 - sqrt(3)/4 - pi/6 of area.
      {"slot closes", kSlotted, -1, GeometryFault::None, 40 + 2 * kPi - 1 + 2 * (kPi / 6), 140 + kPi - (1 - h / 2 - kPi / 6),
       {}, {}},
      {"L, inside its corner", {PathOf({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}}, false)}, 1, GeometryFault::None, 18,
       NAN, {0, 1}, {9, 10}},
      {"L, round its corner", {PathOf({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}}, false)}, -1, GeometryFault::None,
       20 + kPi / 2, NAN, {0, -1}, {11, 10}},
      // A step of 0.5 up: its own parallel vanishes, the arc round its top
      // corner meets the first line's.
      {"step too small to keep", {PathOf({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 0.5, 0, 0}, {20, 0.5, 0, 0}}, false)}, 1,
       GeometryFault::None, 20 - h + kPi / 3, NAN, {0, 1}, {20, 1.5}},
      {"no length", {{SegmentPiece({1, 1}, {1, 1})}}, 1, GeometryFault::ZeroLength, 0, NAN, {}, {}},
      {"distance not a number", kSquare, NAN, GeometryFault::NotFinite, 0, 0, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = Offset(c.path, c.distance);
    ASSERT_EQ(r.fault, c.fault);
    if (!r.ok()) continue;
    ASSERT_EQ(r.value.size(), 1u);
    const Path& got = r.value[0];
    EXPECT_NEAR(Length(got), c.length, 1e-9);
    EXPECT_EQ(got.closed, !std::isnan(c.area));
    EXPECT_FALSE(CrossesItself(got));
    if (!std::isnan(c.area)) {
      EXPECT_NEAR(SignedArea(got), c.area, 1e-9);
    } else {
      EXPECT_NEAR(got.pieces.front().a.x, c.from.x, 1e-9);
      EXPECT_NEAR(got.pieces.front().a.y, c.from.y, 1e-9);
      EXPECT_NEAR(got.pieces.back().b.x, c.to.x, 1e-9);
      EXPECT_NEAR(got.pieces.back().b.y, c.to.y, 1e-9);
    }
  }
}

TEST(Offset, ContoursThatPinchApartOrCloseRoundAHole) {
  // Where two circles of radius 1 round corners 1 apart leave a notch:
  // 1 - sqrt(3)/4 - pi/6 of area either side.
  const double notch = 1 - std::sqrt(3.0) / 4 - kPi / 6;
  // Two 10 by 10 squares joined by a bridge 1 wide: inwards by 1 the
  // bridge goes and each square keeps 8 by 8, bulging a notch's worth
  // into the bridge's mouth.
  const Path dumbbell = Polygon({{0, 0, 0, 0},
                                 {10, 0, 0, 0},
                                 {10, 4.5, 0, 0},
                                 {15, 4.5, 0, 0},
                                 {15, 0, 0, 0},
                                 {25, 0, 0, 0},
                                 {25, 10, 0, 0},
                                 {15, 10, 0, 0},
                                 {15, 5.5, 0, 0},
                                 {10, 5.5, 0, 0},
                                 {10, 10, 0, 0},
                                 {0, 10, 0, 0}});
  const auto two = Offset(dumbbell, 1);
  ASSERT_TRUE(two.ok());
  ASSERT_EQ(two.value.size(), 2u);
  for (const Path& loop : two.value) {
    EXPECT_TRUE(loop.closed);
    EXPECT_NEAR(SignedArea(loop), 64 + notch, 1e-9);
  }
  // A square ring, 2 thick, open at the top through a gap 1 wide:
  // outwards by 1 the gap closes and the 6 by 6 cavity stays a hole of 4
  // by 4 (and a notch under the gap), running the other way.
  const Path ring = Polygon({{0, 0, 0, 0},
                             {10, 0, 0, 0},
                             {10, 10, 0, 0},
                             {5.5, 10, 0, 0},
                             {5.5, 8, 0, 0},
                             {8, 8, 0, 0},
                             {8, 2, 0, 0},
                             {2, 2, 0, 0},
                             {2, 8, 0, 0},
                             {4.5, 8, 0, 0},
                             {4.5, 10, 0, 0},
                             {0, 10, 0, 0}});
  const auto holed = Offset(ring, -1);
  ASSERT_TRUE(holed.ok());
  ASSERT_EQ(holed.value.size(), 2u);
  std::vector<double> areas;
  for (const Path& loop : holed.value) {
    EXPECT_FALSE(CrossesItself(loop));
    areas.push_back(SignedArea(loop));
  }
  std::sort(areas.begin(), areas.end());
  EXPECT_NEAR(areas[0], -16 - notch, 1e-9);
  EXPECT_NEAR(areas[1], 140 + kPi - notch, 1e-9);
}

TEST(Offset, AnOpenPathsParallelKeepsAwayFromItsEnds) {
  // Round three sides of a square, then down past the start: the last
  // side's parallel runs 0.5 from the start point, inside the circle of
  // the distance round it, without crossing the first side's.
  const Path path = PathOf({{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {-1.5, 10, 0, 0}, {-1.5, -5, 0, 0}}, false);
  const auto r = Offset(path, 1);
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.value.size(), 2u);
  const double h = std::sqrt(0.75);
  EXPECT_NEAR(Length(r.value[0]), 35.5 - h, 1e-9);
  EXPECT_NEAR(r.value[0].pieces.back().b.y, h, 1e-9);
  EXPECT_NEAR(Length(r.value[1]), 5 - h, 1e-9);
  EXPECT_NEAR(r.value[1].pieces.front().a.y, -h, 1e-9);
}

// 500 vertices at jittered even angles round a circle of radius 100, each
// segment an arc bulging inwards (bulge in [-0.2, 0.001]): every vertex
// turns left, the arcs make the polygon far from convex, and no arc is
// tighter than a radius of 0.65.
std::vector<PolyVertex> Scalloped(int n, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> jitter(-0.3, 0.3), bulge(-0.2, 0.001);
  std::vector<PolyVertex> v;
  for (int k = 0; k < n; ++k) {
    const double a = 2 * kPi * (k + jitter(random)) / n;
    v.push_back({100 * std::cos(a), 100 * std::sin(a), 0, bulge(random)});
  }
  return v;
}

TEST(Offset, RandomPolygonWithBulgesAgainstSteinersFormula) {
  const std::vector<PolyVertex> v = Scalloped(500, 11);
  // Its area and perimeter in closed form: the chords' polygon, and per
  // arc of included angle t and radius r its length t r and the circular
  // segment r^2 (t - sin t) / 2.
  double area = 0, perimeter = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    const PolyVertex &p = v[i], &q = v[(i + 1) % v.size()];
    const double chord = std::hypot(q.x - p.x, q.y - p.y), t = 4 * std::atan(p.bulge);
    const double r = chord / (2 * std::sin(std::abs(t) / 2));
    area += (p.x * q.y - q.x * p.y) / 2 + r * r * (t - std::sin(t)) / 2;
    perimeter += std::abs(t) * r;
  }
  const Path path = PathOf(v, true);
  // Outwards: every corner opens and every arc keeps some radius, so the
  // parallel region is exactly A + P d + pi d^2 (Steiner's formula).
  const double d = 0.25;
  const auto out = Offset(path, -d);
  ASSERT_TRUE(out.ok());
  ASSERT_EQ(out.value.size(), 1u);
  const double exact = area + perimeter * d + kPi * d * d;
  EXPECT_NEAR(SignedArea(out.value[0]) / exact, 1, 1e-6);
  EXPECT_TRUE(out.value[0].closed);
  EXPECT_FALSE(CrossesItself(out.value[0]));
  // Inwards every corner closes into a loop that must go: what remains is
  // one contour that does not cross itself, none of it nearer the
  // original than d.
  const auto in = Offset(path, d);
  ASSERT_TRUE(in.ok());
  ASSERT_EQ(in.value.size(), 1u);
  EXPECT_TRUE(in.value[0].closed);
  EXPECT_FALSE(CrossesItself(in.value[0]));
  double nearest = INFINITY;
  for (const Piece& piece : in.value[0].pieces)
    for (const double s : {0.0, 0.5})
      for (const Piece& original : path.pieces) {
        const Point2 p = PointAt(piece, s), q = PointAt(original, NearestParameter(original, p));
        nearest = std::min(nearest, std::hypot(p.x - q.x, p.y - q.y));
      }
  EXPECT_NEAR(nearest, d, 1e-9);
}

TEST(Offset, EllipsesWithinAThousandthOfTheDistance) {
  const Conic ellipse{{1, 2}, {4, 0}, {0, 2}};
  // Inwards beyond 1 the radius of curvature at the ends of the long axis
  // is smaller than the distance: the loops there must go.
  for (const double d : {-0.5, 0.5, 1.5}) {
    SCOPED_TRACE(d);
    const auto r = Offset({{ConicPiece(ellipse)}, true}, d);
    ASSERT_TRUE(r.ok());
    ASSERT_EQ(r.value.size(), 1u);
    EXPECT_TRUE(r.value[0].closed);
    double worst = 0;
    for (const Piece& piece : r.value[0].pieces)
      for (const double s : {0.0, 0.25, 0.5, 0.75}) {
        const Point2 p = PointAt(piece, s), q = NearestOnConic(ellipse, p);
        worst = std::max(worst, std::abs(std::hypot(p.x - q.x, p.y - q.y) - std::abs(d)));
      }
    EXPECT_LE(worst, std::abs(d) / 1000);
  }
}

}  // namespace
}  // namespace vestrel
