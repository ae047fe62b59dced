// Paths of segments, bulge arcs and ellipses, and where their pieces meet.
#include "geometry/path.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/crossings.h"

namespace vestrel {
namespace {

void ExpectAt(Point2 got, Point2 want, double eps = 1e-12) {
  EXPECT_NEAR(got.x, want.x, eps);
  EXPECT_NEAR(got.y, want.y, eps);
}

const double kQuarter = std::tan(kPi / 8);  // the bulge of a quarter turn
// The perimeter of the ellipse with half-axes 2 and 1.
constexpr double kEllipse21 = 9.688448220547675;

Piece Ellipse21(double t0 = 0, double t1 = 2 * kPi) { return ConicPiece({{0, 0}, {2, 0}, {0, 1}, t0, t1, false}); }

TEST(Path, PiecesHaveTheirLengthPointsAndDirections) {
  struct Case {
    const char* name;
    Piece piece;
    double length;
    double s;
    Point2 at, direction;
  } cases[] = {
      {"segment", SegmentPiece({0, 0}, {3, 4}), 5, 0.5, {1.5, 2}, {0.6, 0.8}},
      {"half turn left", BulgePiece({1, 0}, {-1, 0}, 1), kPi, 0.5, {0, 1}, {-1, 0}},
      {"half turn right", BulgePiece({1, 0}, {-1, 0}, -1), kPi, 0.5, {0, -1}, {-1, 0}},
      {"quarter, at its start", BulgePiece({1, 0}, {0, 1}, kQuarter), kPi / 2, 0, {1, 0}, {0, 1}},
      {"quarter, halfway", BulgePiece({1, 0}, {0, 1}, kQuarter), kPi / 2, 0.5, {std::sqrt(0.5), std::sqrt(0.5)},
       {-std::sqrt(0.5), std::sqrt(0.5)}},
      {"quarter, on its extension", BulgePiece({1, 0}, {0, 1}, kQuarter), kPi / 2, 2, {-1, 0}, {0, -1}},
      {"ellipse", Ellipse21(), kEllipse21, 0.25, {0, 1}, {-1, 0}},
      {"ellipse backwards", Reversed(Ellipse21(0, kPi / 2)), kEllipse21 / 4, 0, {0, 1}, {1, 0}},
      {"circle as a conic", ConicPiece({{1, 1}, {0, 2}, {-2, 0}}), 4 * kPi, 0.25, {-1, 1}, {0, -1}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_NEAR(Length(c.piece), c.length, 1e-12);
    ExpectAt(PointAt(c.piece, c.s), c.at);
    ExpectAt(DirectionAt(c.piece, c.s), c.direction);
  }
}

TEST(Path, PartsReversedAndNearestPoints) {
  const Piece quarter = BulgePiece({1, 0}, {0, 1}, kQuarter);
  const Piece middle = SubPiece(quarter, 0.25, 0.75);
  ExpectAt(middle.a, {std::cos(kPi / 8), std::sin(kPi / 8)});
  EXPECT_NEAR(middle.bulge, std::tan(kPi / 16), 1e-15);
  const Piece back = SubPiece(quarter, 1, 0);
  EXPECT_NEAR(back.bulge, -kQuarter, 1e-15);
  ExpectAt(PointAt(Reversed(Ellipse21(0, 1)), 0), {2 * std::cos(1), std::sin(1)});

  struct Case {
    Piece piece;
    Point2 p;
    double s;
  } cases[] = {
      {SegmentPiece({0, 0}, {10, 0}), {3, 5}, 0.3},
      {SegmentPiece({0, 0}, {10, 0}), {-3, 5}, 0},
      {quarter, {5, 5}, 0.5},
      {quarter, {-1, -0.1}, 1},    // past the end, nearer it round the circle
      {quarter, {0.1, -1}, 0},     // past the start
      {Ellipse21(0, kPi), {0, 3}, 0.5},
  };
  for (const Case& c : cases) EXPECT_NEAR(NearestParameter(c.piece, c.p), c.s, 1e-9) << c.p.x << " " << c.p.y;
}

TEST(Path, PolylinesLengthsAreasAndSlices) {
  // A 2 by 2 square, counter-clockwise, its right side bulging out in a
  // half circle.
  const std::vector<PolyVertex> square{{0, 0, 0, 0}, {2, 0, 0, 1}, {2, 2, 0, 0}, {0, 2, 0, 0}};
  const Path path = PathOf(square, true);
  ASSERT_EQ(path.pieces.size(), 4u);
  EXPECT_NEAR(Length(path), 6 + kPi, 1e-12);
  EXPECT_NEAR(SignedArea(path), 4 + kPi / 2, 1e-12);
  EXPECT_NEAR(SignedArea(Reversed(path)), -4 - kPi / 2, 1e-12);
  EXPECT_NEAR(SignedArea({{Ellipse21()}, true}), 2 * kPi, 1e-12);
  // Inside the square, inside its half circle, beyond it; the other way
  // round; inside an ellipse; round a circle turning clockwise.
  struct Winding {
    Path path;
    Point2 p;
    int turns;
  } windings[] = {
      {path, {1, 1}, 1},
      {path, {2.5, 1}, 1},
      {path, {3.1, 1}, 0},
      {path, {2.5, 2.5}, 0},
      {Reversed(path), {2.5, 1}, -1},
      {{{Ellipse21()}, true}, {1.9, 0}, 1},
      {{{Ellipse21()}, true}, {0, 1.1}, 0},
      {{{ConicPiece({{0, 0}, {1, 0}, {0, -1}})}, true}, {0.5, 0.5}, -1},
      // A bulge of 3 sweeps most of a turn: (0, 0) lies in its big segment.
      {PathOf({{-0.5, 0.5, 0, 0}, {0.5, 0.5, 0, -3}}, true), {0, 0}, -1},
  };
  for (const Winding& w : windings) EXPECT_EQ(WindingNumber(w.path, w.p), w.turns) << w.p.x << " " << w.p.y;
  EXPECT_NEAR(LengthAt(path, 1.5), 2 + kPi / 2, 1e-12);
  EXPECT_NEAR(ParameterAt(path, 2 + kPi / 2), 1.5, 1e-12);
  EXPECT_NEAR(ParameterAt({{Ellipse21()}}, kEllipse21 / 2), 0.5, 1e-12);
  EXPECT_NEAR(NearestParameter(path, {3.5, 1}), 1.5, 1e-12);
  // Round the start of the closed path: the last half side, the first.
  const Path slice = Slice(path, 3.5, 4.5);
  ASSERT_EQ(slice.pieces.size(), 2u);
  ExpectAt(slice.pieces.front().a, {0, 1});
  ExpectAt(slice.pieces.back().b, {1, 0});
  const auto back = VerticesOf(path);
  ASSERT_TRUE(back);
  ASSERT_EQ(back->size(), 4u);
  EXPECT_EQ((*back)[1].bulge, 1);
  // A whole circle comes back as two half arcs.
  const auto circle = VerticesOf({{ConicPiece({{0, 0}, {1, 0}, {0, 1}})}, true});
  ASSERT_TRUE(circle);
  ASSERT_EQ(circle->size(), 2u);
  EXPECT_NEAR((*circle)[0].bulge, 1, 1e-12);
  EXPECT_FALSE(VerticesOf({{Ellipse21()}}));
}

TEST(Crossings, EveryPairOfKindsOnPiecesAndExtensions) {
  const Piece upper = BulgePiece({1, 0}, {-1, 0}, 1), lower = BulgePiece({1, 0}, {-1, 0}, -1);
  const double h = std::sqrt(0.75);
  struct Case {
    const char* name;
    Piece p, q;
    bool wholeP, wholeQ;
    std::vector<Point2> at;  // in order along p
  } cases[] = {
      {"segments crossing", SegmentPiece({0, 0}, {2, 2}), SegmentPiece({0, 2}, {2, 0}), false, false, {{1, 1}}},
      {"segments apart", SegmentPiece({0, 0}, {1, 1}), SegmentPiece({3, 0}, {4, -1}), false, false, {}},
      {"one extended", SegmentPiece({0, 0}, {1, 1}), SegmentPiece({3, 0}, {1, 2}), true, false, {{1.5, 1.5}}},
      {"parallel", SegmentPiece({0, 0}, {1, 0}), SegmentPiece({0, 1}, {1, 1}), true, true, {}},
      {"nearly parallel", SegmentPiece({0, 0}, {1, 0}), SegmentPiece({0, 1}, {1, 1 + 1e-13}), true, true, {}},
      {"segment through an arc", SegmentPiece({-2, 0.5}, {2, 0.5}), upper, false, false, {{-h, 0.5}, {h, 0.5}}},
      {"arc on the other side", SegmentPiece({-2, 0.5}, {2, 0.5}), lower, false, false, {}},
      {"its circle", SegmentPiece({-2, 0.5}, {2, 0.5}), lower, false, true, {{-h, 0.5}, {h, 0.5}}},
      {"touching an arc", SegmentPiece({-2, 1}, {2, 1}), upper, false, false, {{0, 1}}},
      {"an end on the other", SegmentPiece({1, 0}, {1, -1}), upper, false, false, {{1, 0}}},
      {"two arcs", upper, BulgePiece({2, 0}, {0, 0}, 1), false, false, {{0.5, h}}},
      {"segment and ellipse", SegmentPiece({-3, 0}, {3, 0}), Ellipse21(), false, false, {{-2, 0}, {2, 0}}},
      {"ellipse arc and its extension", SegmentPiece({-3, 0}, {3, 0}), Ellipse21(0, 1), false, true, {{-2, 0}, {2, 0}}},
      {"circle and ellipse", ConicPiece({{0, 0}, {1.5, 0}, {0, 1.5}}), Ellipse21(), false, false,
       {{std::sqrt(5.0 / 3), std::sqrt(7.0 / 12)}, {-std::sqrt(5.0 / 3), std::sqrt(7.0 / 12)},
        {-std::sqrt(5.0 / 3), -std::sqrt(7.0 / 12)}, {std::sqrt(5.0 / 3), -std::sqrt(7.0 / 12)}}},
      {"two ellipses", Ellipse21(), ConicPiece({{0, 0}, {0, 2}, {-1, 0}}), false, false,
       {{std::sqrt(0.8), std::sqrt(0.8)}, {-std::sqrt(0.8), std::sqrt(0.8)}, {-std::sqrt(0.8), -std::sqrt(0.8)},
        {std::sqrt(0.8), -std::sqrt(0.8)}}},
      {"not a number", SegmentPiece({NAN, 0}, {1, 1}), upper, true, true, {}},
      {"no length", SegmentPiece({0, 0.5}, {0, 0.5}), upper, true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<Crossing> got = Crossings(c.p, c.q, c.wholeP, c.wholeQ);
    ASSERT_EQ(got.size(), c.at.size());
    for (std::size_t i = 0; i < got.size(); ++i) {
      ExpectAt(got[i].at, c.at[i], 1e-9);
      ExpectAt(PointAt(c.p, got[i].s), c.at[i], 1e-9);
      ExpectAt(PointAt(c.q, got[i].t), c.at[i], 1e-9);
    }
  }
}

}  // namespace
}  // namespace vestrel
