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

}  // namespace
}  // namespace vestrel
