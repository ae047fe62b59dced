// The arc of a polyline segment with a bulge.
#include "geometry/bulge.h"

#include <gtest/gtest.h>

#include <cmath>

#include "geometry/point.h"

namespace vestrel {
namespace {


// The arc's middle, half way from aP to aQ.
void Middle(const BulgeArc& a, double& x, double& y) {
  const double m = (a.aP + a.aQ) / 2;
  x = a.cx + a.radius * std::cos(m);
  y = a.cy + a.radius * std::sin(m);
}

TEST(BulgeArc, HalfCircles) {
  // Bulge 1 turns counter-clockwise: from (0,0) to (2,0) below the chord.
  auto a = BulgeArcOf(0, 0, 2, 0, 1);
  ASSERT_TRUE(a);
  EXPECT_NEAR(a->cx, 1, 1e-12);
  EXPECT_NEAR(a->cy, 0, 1e-12);
  EXPECT_NEAR(a->radius, 1, 1e-12);
  double x, y;
  Middle(*a, x, y);
  EXPECT_NEAR(x, 1, 1e-12);
  EXPECT_NEAR(y, -1, 1e-12);
  // Bulge -1: clockwise, above.
  a = BulgeArcOf(0, 0, 2, 0, -1);
  Middle(*a, x, y);
  EXPECT_NEAR(y, 1, 1e-12);
}

TEST(BulgeArc, TheSweepMatchesTheIncludedAngle) {
  for (const double angle : {kPi / 3, kPi / 2, 2 * kPi / 3, 1.5 * kPi}) {
    for (const double sign : {1.0, -1.0}) {
      const double b = sign * std::tan(angle / 4);
      const auto a = BulgeArcOf(1, 1, 4, 5, b);
      ASSERT_TRUE(a);
      EXPECT_NEAR(std::abs(a->aQ - a->aP), angle, 1e-9) << angle << " " << sign;
      // Both ends lie on the circle.
      EXPECT_NEAR(std::hypot(1 - a->cx, 1 - a->cy), a->radius, 1e-9);
      EXPECT_NEAR(std::hypot(4 - a->cx, 5 - a->cy), a->radius, 1e-9);
      // Counter-clockwise for a positive bulge.
      EXPECT_EQ(a->aQ > a->aP, sign > 0);
    }
  }
}

TEST(BulgeArc, StraightSegmentsHaveNone) {
  EXPECT_FALSE(BulgeArcOf(0, 0, 2, 0, 0));
  EXPECT_FALSE(BulgeArcOf(3, 3, 3, 3, 1));
}

TEST(BulgeArc, AnArcLeavingAlongATangent) {
  // The turn from the tangent to the chord; the arc of half its tangent as
  // bulge arrives turned as far again, and run backwards it arrives against
  // the tangent.
  struct Case {
    Point2 tangent, b;
    double turn;
  } cases[] = {
      {{1, 0}, {1, 1}, kPi / 4},        {{1, 0}, {0, 1}, kPi / 2},     {{1, 0}, {-1, 1}, 3 * kPi / 4},
      {{0, 2}, {1, -1}, -3 * kPi / 4},  {{1, 1}, {1, 0}, -kPi / 4},    {{1, 0}, {5, 0.001}, 0},
      {{1, 0}, {-5, 0.001}, 0},  // right behind: no arc reaches it
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.b.x) + " " + std::to_string(c.b.y));
    const double turn = TangentTurn(c.tangent, {0, 0}, c.b);
    EXPECT_NEAR(turn, c.turn, 1e-12);
    if (turn == 0) continue;
    // How far direction v is turned from the angle a.
    auto off = [](Point2 v, double a) { return std::remainder(std::atan2(v.y, v.x) - a, 2 * kPi); };
    const double bulge = std::tan(turn / 2);
    EXPECT_NEAR(off(BulgeEndDirection({0, 0}, c.b, bulge), std::atan2(c.b.y, c.b.x) + turn), 0, 1e-12);
    EXPECT_NEAR(off(BulgeEndDirection(c.b, {0, 0}, -bulge), std::atan2(-c.tangent.y, -c.tangent.x)), 0, 1e-12);
  }
}

}  // namespace
}  // namespace vestrel
