// Fillets, sharp corners and chamfers, between objects and at polyline
// vertices.
#include "geometry/fillet.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vestrel {
namespace {

void ExpectAt(Point2 got, Point2 want, double eps = 1e-9) {
  EXPECT_NEAR(got.x, want.x, eps);
  EXPECT_NEAR(got.y, want.y, eps);
}

void ExpectPiece(const Piece& got, Point2 a, Point2 b, double bulge) {
  ExpectAt(got.a, a);
  ExpectAt(got.b, b);
  EXPECT_NEAR(got.bulge, bulge, 1e-9);
}

const double kR3 = std::sqrt(3.0);
const double kR175 = std::sqrt(1.75);

TEST(Corner, FilletsBetweenLinesAndArcs) {
  const Piece bottom = SegmentPiece({0, 0}, {10, 0}), left = SegmentPiece({0, 0}, {0, 10});
  // The right half of the circle of radius 1 round (0, 2), counter-clockwise.
  const Piece halfCircle = BulgePiece({0, 1}, {0, 3}, 1);
  struct Case {
    const char* name;
    Piece p;
    Point2 pickP;
    Piece q;
    Point2 pickQ;
    double radius;
    GeometryFault fault;
    Piece first, join, second;
    Point2 centre;
  } cases[] = {
      {"corner of two lines", bottom, {5, 0}, left, {0, 5}, 2, GeometryFault::None,
       SegmentPiece({10, 0}, {2, 0}), BulgePiece({2, 0}, {0, 2}, -std::tan(kPi / 8)), SegmentPiece({0, 2}, {0, 10}),
       {2, 2}},
      {"crossing lines, the quarter picked", SegmentPiece({-10, 0}, {10, 0}), {5, 0}, SegmentPiece({0, -10}, {0, 10}),
       {0, -5}, 1, GeometryFault::None, SegmentPiece({10, 0}, {1, 0}), BulgePiece({1, 0}, {0, -1}, std::tan(kPi / 8)),
       SegmentPiece({0, -1}, {0, -10}), {1, -1}},
      {"sharp corner of lines apart", SegmentPiece({1, 0}, {5, 0}), {3, 0}, SegmentPiece({0, 1}, {0, 5}), {0, 3}, 0,
       GeometryFault::None, SegmentPiece({5, 0}, {0, 0}), SegmentPiece({0, 0}, {0, 0}), SegmentPiece({0, 0}, {0, 5}),
       {0, 0}},
      {"line and arc", SegmentPiece({-5, 0}, {5, 0}), {5, 0}, halfCircle, {1, 2}, 1, GeometryFault::None,
       SegmentPiece({5, 0}, {kR3, 0}), BulgePiece({kR3, 0}, {kR3 / 2, 1.5}, -1 / kR3),
       BulgePiece({kR3 / 2, 1.5}, {0, 3}, 1 / kR3), {kR3, 1}},
      {"two arcs", BulgePiece({1, 0}, {-1, 0}, 1), {0, 1}, BulgePiece({4, 0}, {2, 0}, 1), {3, 1}, 1,
       GeometryFault::None, BulgePiece({-1, 0}, {0.75, kR175 / 2}, -std::tan((kPi - std::acos(0.75)) / 4)),
       BulgePiece({0.75, kR175 / 2}, {2.25, kR175 / 2}, std::tan((kPi - 2 * std::acos(0.75)) / 4)),
       BulgePiece({2.25, kR175 / 2}, {4, 0}, -std::tan((kPi - std::acos(0.75)) / 4)), {1.5, kR175}},
      // The line crosses the circle of the arc (the right half round
      // (0, 0)) twice, the arc once: the corner is there, though the pick
      // on the line lies outside the circle.
      {"line through the circle of an arc", SegmentPiece({-10, -3}, {10, -3}), {-8, -3},
       BulgePiece({0, -5}, {0, 5}, 1), {3.5, 3.5}, 1, GeometryFault::None, SegmentPiece({-10, -3}, {2 * kR3, -3}),
       BulgePiece({2 * kR3, -3}, {2.5 * kR3, -2.5}, std::tan(kPi / 12)),
       BulgePiece({2.5 * kR3, -2.5}, {0, 5}, std::tan(kPi / 6)), {2 * kR3, -2}},
      {"parallel lines", bottom, {5, 0}, SegmentPiece({0, 1}, {10, 1}), {5, 1}, 1, GeometryFault::Parallel, {}, {}, {},
       {}},
      {"radius too large", SegmentPiece({0, 0}, {1, 0}), {0.5, 0}, SegmentPiece({0, 0}, {0, 1}), {0, 0.5}, 2,
       GeometryFault::RadiusTooLarge, {}, {}, {}, {}},
      {"touching circles", BulgePiece({1, 0}, {-1, 0}, 1), {0, 1}, BulgePiece({3, 0}, {1, 0}, 1), {2, 1}, 0.5,
       GeometryFault::Tangent, {}, {}, {}, {}},
      {"circles apart, no radius", BulgePiece({1, 0}, {-1, 0}, 1), {0, 1}, BulgePiece({5, 0}, {3, 0}, 1), {4, 1}, 0,
       GeometryFault::NoCorner, {}, {}, {}, {}},
      {"ellipse", bottom, {5, 0}, ConicPiece({{0, 0}, {2, 0}, {0, 1}}), {0, 1}, 1, GeometryFault::Elliptic, {}, {},
       {}, {}},
      {"radius not a number", bottom, {5, 0}, left, {0, 5}, NAN, GeometryFault::NotFinite, {}, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = Fillet(c.p, c.pickP, c.q, c.pickQ, c.radius);
    ASSERT_EQ(r.fault, c.fault);
    if (!r.ok()) continue;
    ExpectPiece(r.value.first, c.first.a, c.first.b, c.first.bulge);
    ExpectPiece(r.value.join, c.join.a, c.join.b, c.join.bulge);
    ExpectPiece(r.value.second, c.second.a, c.second.b, c.second.bulge);
    ExpectAt(r.value.centre, c.centre);
  }
}

TEST(Corner, ChamfersOfLines) {
  const Piece bottom = SegmentPiece({0, 0}, {10, 0}), left = SegmentPiece({0, 0}, {0, 10});
  struct Case {
    const char* name;
    Piece p, q;
    double d1, d2;
    GeometryFault fault;
    Point2 from, to;  // the chamfer's segment
  } cases[] = {
      {"two distances", bottom, left, 2, 3, GeometryFault::None, {2, 0}, {0, 3}},
      {"lines apart", SegmentPiece({1, 0}, {10, 0}), SegmentPiece({0, 1}, {0, 10}), 2, 2, GeometryFault::None, {2, 0},
       {0, 2}},
      {"sharp", SegmentPiece({1, 0}, {10, 0}), SegmentPiece({0, 1}, {0, 10}), 0, 0, GeometryFault::None, {0, 0},
       {0, 0}},
      {"longer than the line", bottom, left, 11, 1, GeometryFault::DistanceTooLarge, {}, {}},
      {"parallel", bottom, SegmentPiece({0, 1}, {10, 1}), 1, 1, GeometryFault::Parallel, {}, {}},
      {"an arc", bottom, BulgePiece({0, 0}, {0, 10}, 0.5), 1, 1, GeometryFault::NotStraight, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = Chamfer(c.p, PointAt(c.p, 0.5), c.q, PointAt(c.q, 0.5), c.d1, c.d2);
    ASSERT_EQ(r.fault, c.fault);
    if (!r.ok()) continue;
    ExpectAt(r.value.join.a, c.from);
    ExpectAt(r.value.join.b, c.to);
    ExpectAt(r.value.first.a, c.p.b);
    ExpectAt(r.value.second.b, c.q.b);
  }
}

TEST(Corner, AtPolylineVertices) {
  const std::vector<PolyVertex> open{{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}};
  const std::vector<PolyVertex> square{{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}};
  const double quarter = std::tan(kPi / 8);
  struct Case {
    const char* name;
    std::vector<PolyVertex> vertices;
    bool closed, chamfer;
    std::size_t vertex;
    double a, b;  // radius, or the two chamfer distances
    GeometryFault fault;
    std::vector<PolyVertex> result;
  } cases[] = {
      {"fillet", open, false, false, 1, 2, 0, GeometryFault::None,
       {{0, 0, 0, 0}, {8, 0, 0, quarter}, {10, 2, 0, 0}, {10, 10, 0, 0}}},
      {"fillet at the closing vertex", square, true, false, 0, 1, 0, GeometryFault::None,
       {{1, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}, {0, 1, 0, quarter}}},
      {"radius 0 leaves it", open, false, false, 1, 0, 0, GeometryFault::None, open},
      {"chamfer", open, false, true, 1, 2, 3, GeometryFault::None,
       {{0, 0, 0, 0}, {8, 0, 0, 0}, {10, 3, 0, 0}, {10, 10, 0, 0}}},
      {"an end of an open one", open, false, false, 0, 1, 0, GeometryFault::NoCorner, {}},
      {"radius too large", open, false, false, 1, 11, 0, GeometryFault::RadiusTooLarge, {}},
      {"chamfer next to an arc", {{0, 0, 0, 0.3}, {10, 0, 0, 0}, {10, 10, 0, 0}}, false, true, 1, 1, 1,
       GeometryFault::NotStraight, {}},
      {"vertex out of range", open, false, true, 7, 1, 1, GeometryFault::NoCorner, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const auto r = c.chamfer ? ChamferVertex(c.vertices, c.closed, c.vertex, c.a, c.b)
                             : FilletVertex(c.vertices, c.closed, c.vertex, c.a);
    ASSERT_EQ(r.fault, c.fault);
    ASSERT_EQ(r.value.size(), c.result.size());
    for (std::size_t i = 0; i < r.value.size(); ++i) {
      ExpectAt({r.value[i].x, r.value[i].y}, {c.result[i].x, c.result[i].y});
      EXPECT_NEAR(r.value[i].bulge, c.result[i].bulge, 1e-9) << i;
    }
  }
  // A fillet between an arc segment and a straight one keeps the arc on
  // its circle: the quarter circle of radius 10 round (0, 10), then to the
  // right; the fillet's centre lies 2 below the line and 12 from (0, 10).
  const auto r = FilletVertex({{0, 0, 0, quarter}, {10, 10, 0, 0}, {20, 10, 0, 0}}, false, 1, 2);
  ASSERT_TRUE(r.ok());
  ASSERT_EQ(r.value.size(), 4u);
  const Point2 tangent{r.value[1].x, r.value[1].y};
  EXPECT_NEAR(std::hypot(tangent.x, tangent.y - 10), 10, 1e-9);
  ExpectAt({r.value[2].x, r.value[2].y}, {std::sqrt(140.0), 10});
}

TEST(Corner, AtEveryVertexOfAPolyline) {
  const std::vector<PolyVertex> strip{{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 1, 0, 0}, {0, 1, 0, 0}};
  struct Case {
    const char* name;
    std::vector<PolyVertex> vertices;
    bool closed, chamfer;
    double a, b;
    std::size_t made, left, count;
    double area;  // of the closed result, or its length when open
  } cases[] = {
      {"fillets round a strip", strip, true, false, 0.4, 0, 4, 0, 8, 10 - 0.64 + 0.16 * kPi},
      {"radius longer than its short sides", strip, true, false, 1, 0, 0, 4, 4, 10},
      {"chamfers along an open one", {{0, 0, 0, 0}, {10, 0, 0, 0}, {10, 10, 0, 0}, {0, 10, 0, 0}}, false, true, 1, 2, 2,
       0, 6, 30 - 6 + 2 * std::sqrt(5.0)},
      {"straight on: nothing to round", {{0, 0, 0, 0}, {5, 0, 0, 0}, {10, 0, 0, 0}}, false, false, 1, 0, 0, 1, 3, 10},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const AllCorners all = c.chamfer ? ChamferAllVertices(c.vertices, c.closed, c.a, c.b)
                                     : FilletAllVertices(c.vertices, c.closed, c.a);
    EXPECT_EQ(all.made, c.made);
    EXPECT_EQ(all.left, c.left);
    ASSERT_EQ(all.vertices.size(), c.count);
    const Path path = PathOf(all.vertices, c.closed);
    EXPECT_NEAR(c.closed ? SignedArea(path) : Length(path), c.area, 1e-9);
  }
}

}  // namespace
}  // namespace vestrel
