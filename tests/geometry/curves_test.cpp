// Circles, arcs and ellipses against points, lines and each other.
#include "geometry/curves.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vestrel {
namespace {

constexpr double kEps = 1e-12;

void ExpectAt(Point2 got, Point2 want, double eps = kEps) {
  EXPECT_NEAR(got.x, want.x, eps);
  EXPECT_NEAR(got.y, want.y, eps);
}

TEST(Curves, CrossingsOfLinesAndCirclesTouchingIncluded) {
  struct Case {
    Point2 a, b, c;
    double r;
    int n;
    Point2 first, second;
  } cases[] = {
      {{-10, 0}, {10, 0}, {0, 0}, 5, 2, {-5, 0}, {5, 0}},
      {{0, -10}, {0, 10}, {3, 0}, 5, 2, {0, -4}, {0, 4}},
      {{-10, 5}, {10, 5}, {0, 0}, 5, 1, {0, 5}, {}},                 // touching
      {{-10, 5 + 1e-13}, {10, 5 + 1e-13}, {0, 0}, 5, 1, {0, 5}, {}},  // touching as drawn
      {{-10, 5.001}, {10, 5.001}, {0, 0}, 5, 0, {}, {}},
      {{1, 1}, {1, 1}, {0, 0}, 5, 0, {}, {}},  // no line
  };
  for (const Case& c : cases) {
    Point2 x[2];
    ASSERT_EQ(LineCircle(c.a, c.b, c.c, c.r, x), c.n) << c.a.y;
    if (c.n > 0) ExpectAt(x[0], c.first, 1e-6);
    if (c.n > 1) ExpectAt(x[1], c.second);
  }
}

TEST(Curves, CrossingsOfTwoCircles) {
  struct Case {
    Point2 c1;
    double r1;
    Point2 c2;
    double r2;
    int n;
    Point2 first, second;
  } cases[] = {
      {{0, 0}, 5, {8, 0}, 5, 2, {4, 3}, {4, -3}},
      {{0, 0}, 5, {10, 0}, 5, 1, {5, 0}, {}},  // outside each other, touching
      {{0, 0}, 5, {2, 0}, 3, 1, {5, 0}, {}},   // inside, touching
      {{0, 0}, 5, {11, 0}, 5, 0, {}, {}},
      {{0, 0}, 5, {1, 0}, 1, 0, {}, {}},       // one inside the other
      {{0, 0}, 5, {0, 0}, 5, 0, {}, {}},       // concentric
  };
  for (const Case& c : cases) {
    Point2 x[2];
    ASSERT_EQ(CircleCircle(c.c1, c.r1, c.c2, c.r2, x), c.n) << c.c2.x << " " << c.r2;
    if (c.n > 0) ExpectAt(x[0], c.first);
    if (c.n > 1) ExpectAt(x[1], c.second);
  }
}

TEST(Curves, TangentPointsFromOutsideOnAndInside) {
  Point2 t[2];
  ASSERT_EQ(TangentPoints({10, 0}, {0, 0}, 5, t), 2);
  ExpectAt(t[0], {2.5, 5 * std::sqrt(3.0) / 2});
  ExpectAt(t[1], {2.5, -5 * std::sqrt(3.0) / 2});
  ASSERT_EQ(TangentPoints({0, 5}, {0, 0}, 5, t), 1);
  EXPECT_EQ(t[0].y, 5);
  EXPECT_EQ(TangentPoints({1, 1}, {0, 0}, 5, t), 0);
}

TEST(Curves, ArcsKnowTheirParametersWhicheverWayTheyTurn) {
  // A quarter arc drawn clockwise on the screen (v the other way round).
  Conic k{{10, 0}, {-5, 0}, {0, 5}, 0, kPi / 2, false};
  EXPECT_TRUE(k.circular());
  EXPECT_NEAR(k.parameter({5, 0}), 0, kEps);
  EXPECT_NEAR(k.parameter({10, 5}), kPi / 2, kEps);
  EXPECT_TRUE(k.covers(k.parameter({10 - 5 / std::sqrt(2.0), 5 / std::sqrt(2.0)})));
  EXPECT_FALSE(k.covers(k.parameter({15, 0})));
  // The nearest point of a point off the arc is its nearer end.
  ExpectAt(NearestOnConic(k, {16, -1}), {10, 5});
  EXPECT_FALSE((Conic{{0, 0}, {5, 0}, {0, 2}}).circular());
}

TEST(Curves, NearestPointOfAnEllipseIsWhereTheDistanceIsAtRightAngles) {
  const Conic k{{100, 0}, {6, 8}, {-2, 1.5}};  // turned, axes 10 and 2.5
  for (const Point2 p : {Point2{110, 9}, Point2{95, -3}, Point2{100.5, 0.2}, Point2{120, -20}}) {
    const Point2 n = NearestOnConic(k, p);
    const double t = k.parameter(n);
    EXPECT_NEAR(std::hypot(n.x - k.at(t).x, n.y - k.at(t).y), 0, 1e-9);  // on the ellipse
    const Point2 tangent{-k.u.x * std::sin(t) + k.v.x * std::cos(t), -k.u.y * std::sin(t) + k.v.y * std::cos(t)};
    EXPECT_NEAR(((p.x - n.x) * tangent.x + (p.y - n.y) * tangent.y) / std::hypot(tangent.x, tangent.y), 0, 1e-9);
    // and no point of it is nearer
    for (int i = 0; i < 720; ++i)
      EXPECT_GE(std::hypot(k.at(i * kPi / 360).x - p.x, k.at(i * kPi / 360).y - p.y) + 1e-9,
                std::hypot(n.x - p.x, n.y - p.y));
  }
}

}  // namespace
}  // namespace vestrel
