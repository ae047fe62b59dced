// B-spline mathematics: knots, the basis, points, samples and the fit.
#include "geometry/spline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>

namespace vestrel {
namespace {

// The basis as its recursive definition says, for comparison.
double Recursive(int i, int t, const std::vector<double>& u, double v) {
  if (t == 1) return u[i] <= v && v < u[i + 1] ? 1 : 0;
  const double A = u[i + t - 1] - u[i], B = u[i + t] - u[i + 1];
  if (A == 0 && B == 0) return 0;
  if (A == 0) return (u[i + t] - v) / B * Recursive(i + 1, t - 1, u, v);
  if (B == 0) return (v - u[i]) / A * Recursive(i, t - 1, u, v);
  return (v - u[i]) / A * Recursive(i, t - 1, u, v) + (u[i + t] - v) / B * Recursive(i + 1, t - 1, u, v);
}

TEST(SplineKnots, ClampedWithIntegerSteps) {
  EXPECT_EQ(MakeKnots(3, 4), (std::vector<double>{0, 0, 0, 0, 1, 1, 1, 1}));
  EXPECT_EQ(MakeKnots(4, 4), (std::vector<double>{0, 0, 0, 0, 1, 2, 2, 2, 2}));
  EXPECT_EQ(MakeKnots(2, 2), (std::vector<double>{0, 0, 1, 2, 2}));
}

TEST(SplineBasis, AgreesWithTheRecursionAndSumsToOne) {
  const std::vector<std::vector<double>> knotSets = {
      MakeKnots(6, 4), {0, 0, 0, 1, 1, 2, 3, 3, 3}, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 0, 0, 0, 0.5, 0.5, 1, 1, 1, 1}};
  for (const auto& u : knotSets) {
    for (int t = 1; t <= 4; ++t) {
      const int n = static_cast<int>(u.size()) - t - 1;
      for (double v = u.front(); v <= u.back(); v += 0.0625) {
        double sum = 0;
        for (int i = 0; i <= n; ++i) {
          const double b = BasisValue(i, t, u, v);
          EXPECT_EQ(b, Recursive(i, t, u, v)) << "i " << i << " t " << t << " v " << v;
          sum += b;
        }
        // Inside the clamped range the basis is a partition of unity.
        if (u[t - 1] <= v && v < u[n + 1]) {
          EXPECT_NEAR(sum, 1, 1e-12);
        }
      }
    }
  }
  // The half-open first order vanishes at the last knot.
  const auto u = MakeKnots(3, 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(BasisValue(i, 4, u, 1.0), 0);
}

TEST(SplineSamples, ABezierFromItsFirstToExactlyItsLastControlPoint) {
  const std::vector<Point3> c = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 0}};
  const auto samples = SampleCurve(c, 3, MakeKnots(3, 4), 4, 100);
  ASSERT_EQ(samples.size(), 100u);
  EXPECT_EQ(samples.front().x, 0);
  EXPECT_EQ(samples.back().x, 4);
  EXPECT_EQ(samples.back().y, 0);
  // Compare with the Bernstein form.
  for (int k = 0; k < 99; ++k) {
    const double s = k / 99.0, r = 1 - s;
    const double x = 3 * r * r * s * 1 + 3 * r * s * s * 3 + s * s * s * 4;
    const double y = 3 * r * r * s * 2 + 3 * r * s * s * 2;
    EXPECT_NEAR(samples[static_cast<std::size_t>(k)].x, x, 1e-12);
    EXPECT_NEAR(samples[static_cast<std::size_t>(k)].y, y, 1e-12);
  }
}

TEST(SplineSamples, KnotsThatDoNotStartAtZeroAndOpenEndsStayOnTheCurve) {
  const std::vector<Point3> c = {{10, 10, 0}, {11, 12, 0}, {13, 12, 0}, {14, 10, 0}, {16, 11, 0}};
  // Clamped, but from 5 to 7: the curve starts on the first control point.
  auto samples = SampleCurve(c, 4, std::vector<double>{5, 5, 5, 5, 6, 7, 7, 7, 7}, 4, 100);
  EXPECT_DOUBLE_EQ(samples.front().x, 10);
  EXPECT_DOUBLE_EQ(samples.front().y, 10);
  EXPECT_DOUBLE_EQ(samples.back().x, 16);
  // Uniform, unclamped: every sample lies in the hull of the controls and
  // the curve ends smoothly instead of jumping to the last control point.
  samples = SampleCurve(c, 4, std::vector<double>{0, 1, 2, 3, 4, 5, 6, 7, 8}, 4, 100);
  for (const Point3& s : samples) {
    EXPECT_GE(s.x, 10);
    EXPECT_LE(s.x, 16);
    EXPECT_GE(s.y, 10);
  }
  EXPECT_NEAR(samples.back().x, samples[98].x, 0.1);
}

TEST(SplineFit, PassesThroughEveryFitPoint) {
  const std::vector<Point3> F = {{0, 0, 0}, {10, 20, 0}, {30, -5, 0}, {40, 10, 0}, {50, 0, 0}, {55, 7, 0}};
  const auto C = FitControlPoints(F, {});
  ASSERT_EQ(C.size(), F.size());
  EXPECT_EQ(C.front().x, F.front().x);
  EXPECT_EQ(C.back().y, F.back().y);
  const auto u = MakeKnots(static_cast<int>(C.size()) - 1, 4);
  const auto samples = SampleCurve(C, static_cast<int>(C.size()) - 1, u, 4, 100 * static_cast<int>(F.size()));
  for (const Point3& f : F) {
    double best = 1e300;
    for (const Point3& s : samples) best = std::min(best, std::hypot(s.x - f.x, s.y - f.y));
    EXPECT_LT(best, 0.05) << f.x << "," << f.y;
  }
  // The fit is not the fit points themselves: the curve must bend.
  EXPECT_NE(C[2].y, F[2].y);
}

TEST(SplineFit, FixedPointsStayAndALevelRowStaysLevel) {
  const std::vector<Point3> level = {{0, 3, 0}, {1, 3, 0}, {4, 3, 0}, {6, 3, 0}, {9, 3, 0}};
  for (const Point3& c : FitControlPoints(level, {})) EXPECT_DOUBLE_EQ(c.y, 3);
  const std::vector<Point3> F = {{0, 0, 0}, {1, 5, 0}, {4, 2, 0}, {6, 7, 0}, {9, 0, 0}};
  const std::vector<int> fixed = {1, 3};
  const auto C = FitControlPoints(F, fixed);
  EXPECT_EQ(C[1].y, 5);
  EXPECT_EQ(C[3].x, 6);
  EXPECT_NE(C[2].y, 2);
  // Too few points for a cubic: the points themselves.
  const std::vector<Point3> three = {{0, 0, 0}, {1, 1, 0}, {2, 0, 0}};
  EXPECT_EQ(FitControlPoints(three, {}).size(), 3u);
}

}  // namespace
}  // namespace vestrel
