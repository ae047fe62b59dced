// B-spline mathematics: knots, the basis, flattening, rational curves and
// the fits.
#include "geometry/spline.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

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

// The basis read off a curve: control i at x = 1 and the others at 0 give
// N(i, t) as the curve's x; every control at y = 1 gives the sum.
TEST(SplineBasis, AgreesWithTheRecursionAndSumsToOne) {
  const std::vector<std::vector<double>> knotSets = {
      MakeKnots(6, 4), {0, 0, 0, 1, 1, 2, 3, 3, 3}, {0, 1, 2, 3, 4, 5, 6, 7}, {0, 0, 0, 0, 0.5, 0.5, 1, 1, 1, 1}};
  for (const auto& u : knotSets) {
    for (int t = 1; t <= 4; ++t) {
      const int n = static_cast<int>(u.size()) - t - 1;
      for (int i = 0; i <= n; ++i) {
        Spline s{t, u, std::vector<Point3>(static_cast<std::size_t>(n) + 1, Point3{0, 1, 0}), {}};
        s.controls[static_cast<std::size_t>(i)].x = 1;
        for (double v = u.front(); v <= u.back(); v += 0.0625) {
          const Point3 p = CurvePoint(s, v);
          EXPECT_EQ(p.x, Recursive(i, t, u, v)) << "i " << i << " t " << t << " v " << v;
          // Inside the clamped range the basis is a partition of unity.
          if (u[t - 1] <= v && v < u[n + 1]) EXPECT_NEAR(p.y, 1, 1e-12);
        }
      }
    }
  }
  // The half-open first order vanishes at the last knot.
  const Spline s{4, MakeKnots(3, 4), {{1, 1, 1}, {1, 1, 1}, {1, 1, 1}, {1, 1, 1}}, {}};
  const Point3 end = CurvePoint(s, 1.0);
  EXPECT_EQ(end.x, 0);
}

// The distance of p from the nearest of `curve`'s vertices.
double Nearest(const std::vector<Point3>& curve, const Point3& p) {
  double best = 1e300;
  for (const Point3& c : curve) best = std::min(best, std::hypot(c.x - p.x, c.y - p.y));
  return best;
}

TEST(SplineFlatten, ABezierFromItsFirstToExactlyItsLastControlPoint) {
  Spline s;
  s.controls = {{0, 0, 0}, {1, 2, 0}, {3, 2, 1}, {4, 0, 0}};
  s.knots = MakeKnots(3, 4);
  const auto curve = FlattenSpline(s);
  ASSERT_GT(curve.size(), 8u);
  EXPECT_EQ(curve.front().x, 0);
  EXPECT_EQ(curve.back().x, 4);
  EXPECT_EQ(curve.back().y, 0);
  // Every vertex is a point of the Bernstein form.
  for (const Point3& c : curve) {
    double best = 1e300;
    for (int k = 0; k <= 20000; ++k) {
      const double t = k / 20000.0, r = 1 - t;
      best = std::min(best, std::hypot(c.x - (3 * r * r * t + 9 * r * t * t + 4 * t * t * t),
                                       c.y - (6 * r * r * t + 6 * r * t * t)));
    }
    EXPECT_LT(best, 1e-3);
  }
  // And the chords stay within the tolerance of the curve.
  for (int k = 0; k <= 100; ++k) {
    const Point3 p = CurvePoint(s, k / 100.0);
    EXPECT_LT(Nearest(curve, p), 0.05) << k;
  }
}

TEST(SplineFlatten, KnotsThatDoNotStartAtZeroAndOpenEndsStayOnTheCurve) {
  Spline s;
  s.controls = {{10, 10, 0}, {11, 12, 0}, {13, 12, 0}, {14, 10, 0}, {16, 11, 0}};
  // Clamped, but from 5 to 7: the curve starts on the first control point.
  s.knots = {5, 5, 5, 5, 6, 7, 7, 7, 7};
  auto curve = FlattenSpline(s);
  EXPECT_DOUBLE_EQ(curve.front().x, 10);
  EXPECT_DOUBLE_EQ(curve.front().y, 10);
  EXPECT_DOUBLE_EQ(curve.back().x, 16);
  // Uniform, unclamped: every vertex lies in the hull of the controls and
  // the curve ends smoothly instead of jumping to the last control point.
  s.knots = {0, 1, 2, 3, 4, 5, 6, 7, 8};
  curve = FlattenSpline(s);
  for (const Point3& c : curve) {
    EXPECT_GE(c.x, 10);
    EXPECT_LE(c.x, 16);
    EXPECT_GE(c.y, 10);
  }
  EXPECT_LT(curve.back().x, 15);
}

TEST(SplineFlatten, ARationalCircleIsRoundAndACornerKnotStaysSharp) {
  // A full circle of radius 5 about (1, 2): nine controls, weights 1 and
  // 1/sqrt(2), knots of multiplicity two.
  const double w = std::sqrt(0.5);
  Spline circle;
  circle.order = 3;
  circle.controls = {{6, 2, 0}, {6, 7, 0}, {1, 7, 0}, {-4, 7, 0}, {-4, 2, 0}, {-4, -3, 0}, {1, -3, 0}, {6, -3, 0}, {6, 2, 0}};
  circle.weights = {1, w, 1, w, 1, w, 1, w, 1};
  circle.knots = {0, 0, 0, 0.25, 0.25, 0.5, 0.5, 0.75, 0.75, 1, 1, 1};
  const auto round = FlattenSpline(circle);
  ASSERT_GT(round.size(), 40u);
  for (const Point3& c : round) EXPECT_NEAR(std::hypot(c.x - 1, c.y - 2), 5, 5e-9);
  // A cubic with a triple knot at 1 has a corner at its control point 3.
  Spline corner;
  corner.controls = {{0, 0, 0}, {1, 1, 0}, {2, 1, 0}, {3, 0, 0}, {4, 1, 0}, {5, 1, 0}, {6, 0, 0}};
  corner.knots = {0, 0, 0, 0, 1, 1, 1, 2, 2, 2, 2};
  const auto sharp = FlattenSpline(corner);
  EXPECT_EQ(Nearest(sharp, {3, 0, 0}), 0);
}

TEST(SplineFit, ControlPointsThroughEveryFitPoint) {
  const std::vector<Point3> F = {{0, 0, 0}, {10, 20, 0}, {30, -5, 0}, {40, 10, 0}, {50, 0, 0}, {55, 7, 0}};
  Spline s;
  s.controls = FitControlPoints(F, {});
  ASSERT_EQ(s.controls.size(), F.size());
  EXPECT_EQ(s.controls.front().x, F.front().x);
  EXPECT_EQ(s.controls.back().y, F.back().y);
  s.knots = MakeKnots(static_cast<int>(F.size()) - 1, 4);
  for (std::size_t i = 0; i + 1 < F.size(); ++i) {
    const Point3 p = CurvePoint(s, 3.0 * i / 5);
    EXPECT_NEAR(p.x, F[i].x, 1e-9);
    EXPECT_NEAR(p.y, F[i].y, 1e-9);
  }
  // The fit is not the fit points themselves: the curve must bend.
  EXPECT_NE(s.controls[2].y, F[2].y);
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

TEST(SplineInterpolation, ThroughTheFitPointsOfLinesCirclesAndLongRows) {
  struct Case {
    const char* what;
    std::vector<Point3> fits;
    double radius;  // > 0: every vertex lies on the circle about the origin
  };
  std::vector<Point3> line, circle, wave;
  for (int i = 0; i < 110; ++i) line.push_back({static_cast<double>(i), 0, 0});
  for (int i = 0; i < 200; ++i) circle.push_back({std::cos(i * 2 * kPi / 200) * 3, std::sin(i * 2 * kPi / 200) * 3, 0});
  for (int i = 0; i < 100000; ++i) wave.push_back({static_cast<double>(i), std::sin(i), 0});
  const Case cases[] = {{"110 points on a line", line, 0}, {"200 points on a circle", circle, 3},
                        {"100000 points", wave, 0}, {"two points", {{0, 0, 0}, {4, 3, 0}}, 0}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const Spline s = InterpolateFitPoints(c.fits, std::nullopt, std::nullopt);
    ASSERT_EQ(s.controls.size(), c.fits.size() + 2);
    const auto curve = FlattenSpline(s);
    ASSERT_FALSE(curve.empty());
    // Each fit point is a vertex (it stands at a knot).
    for (std::size_t i = 0; i < c.fits.size(); i += std::max<std::size_t>(1, c.fits.size() / 50))
      EXPECT_LT(Nearest(curve, c.fits[i]), 1e-9 * (1 + std::abs(c.fits[i].x)));
    for (const Point3& v : curve) {
      if (c.radius > 0) {
        EXPECT_NEAR(std::hypot(v.x, v.y), c.radius, 1e-4);
      }
      if (&c == &cases[0]) {
        EXPECT_EQ(v.y, 0);  // a straight row stays straight
      }
    }
    EXPECT_LT(curve.size(), 8 * c.fits.size() + 16);
  }
  // Given end tangents set the directions at the ends.
  const Spline s = InterpolateFitPoints(std::vector<Point3>{{0, 0, 0}, {10, 0, 0}, {20, 0, 0}},
                                        Point3{0, 1, 0}, Point3{0, -1, 0});
  EXPECT_EQ(s.controls[1].x, 0);
  EXPECT_GT(s.controls[1].y, 0);
  EXPECT_EQ(s.controls[s.controls.size() - 2].x, 20);
  EXPECT_GT(s.controls[s.controls.size() - 2].y, 0);
}

// Curves whose points are known exactly: a straight line (x = v, y = 2v
// for v in [0, 3]), the parabola y = x (2 - x) as a quadratic Bezier (x =
// 2v), a rational quarter of the unit circle, a cubic over uneven knots,
// a closed uniform (unclamped) cubic and a quadratic with a double knot.
Spline Straight() { return {2, {0, 0, 1, 2, 3, 3}, {{0, 0, 0}, {1, 2, 0}, {2, 4, 0}, {3, 6, 0}}, {}}; }
Spline Parabola() { return {3, {0, 0, 0, 1, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {}}; }
Spline Quarter() {
  return {3, {0, 0, 0, 1, 1, 1}, {{1, 0, 0}, {1, 1, 0}, {0, 1, 0}}, {1, std::sqrt(0.5), 1}};
}
Spline Uneven() {
  return {4, {0, 0, 0, 0, 0.3, 1.1, 2, 2, 2, 2}, {{0, 0, 1}, {1, 3, 1}, {3, 4, 2}, {5, 1, 0}, {6, -2, 1}, {8, 0, 0}}, {}};
}
Spline Periodic() {
  return {4, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {{0, 0, 0}, {4, 0, 0}, {4, 4, 0}, {0, 4, 0}, {0, 0, 0}, {4, 0, 0}, {4, 4, 0}}, {}};
}
Spline Cornered() {
  return {3, {0, 0, 0, 1, 2, 2, 3, 3, 3}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}, {3, 1, 0}, {4, 3, 0}, {5, 0, 0}}, {2, 1, 0.5, 1, 3, 1}};
}

double Apart(Point3 a, Point3 b) { return std::hypot(a.x - b.x, a.y - b.y, a.z - b.z); }

// The parts of a split trace the curve at the same parameters, joined
// again they are the whole, and the end spans carried on keep their
// polynomial: the line stays the line, the parabola the parabola and the
// quarter circle the circle.
TEST(SplineCut, PartsTraceTheCurveExactly) {
  for (const Spline& s : {Straight(), Parabola(), Quarter(), Uneven(), Periodic(), Cornered()}) {
    const double lo = SplineStart(s), hi = SplineEnd(s);
    for (const double f : {0.0, 0.13, 0.5, 0.77}) {
      for (const double g : {0.2, 0.61, 0.9, 1.0}) {
        if (g <= f) continue;
        const double v0 = lo + (hi - lo) * f, v1 = lo + (hi - lo) * g;
        const Spline part = SubSpline(s, v0, v1);
        ASSERT_EQ(part.order, s.order);
        ASSERT_EQ(part.knots.size(), part.controls.size() + static_cast<std::size_t>(part.order));
        EXPECT_EQ(part.weights.size(), s.weights.empty() ? 0u : part.controls.size());
        for (int k = 0; k <= 16; ++k) {
          const double v = v0 + (v1 - v0) * k / 16;
          EXPECT_LT(Apart(CurveAndDerivative(part, v).at, CurveAndDerivative(s, v).at), 1e-12) << f << " " << g << " " << k;
        }
        // The part begins and ends at its own first and last controls.
        EXPECT_LT(Apart(part.controls.front(), CurveAndDerivative(s, v0).at), 1e-12);
        EXPECT_LT(Apart(part.controls.back(), CurveAndDerivative(s, v1).at), 1e-12);
      }
    }
    const double m = lo + (hi - lo) * 0.4;
    const Spline joined = JoinSplines(SubSpline(s, lo, m), SubSpline(s, m, hi));
    for (int k = 0; k <= 16; ++k) {
      const double v = lo + (hi - lo) * k / 16;
      EXPECT_LT(Apart(CurveAndDerivative(joined, v).at, CurveAndDerivative(s, v).at), 1e-12);
    }
  }
  struct Carried {
    Spline s;
    double v;
    Point3 expected;
  };
  const Carried carried[] = {
      {Straight(), 4.5, {4.5, 9, 0}},
      {Straight(), -1, {-1, -2, 0}},
      {Parabola(), 1.5, {3, -3, 0}},
      {Parabola(), -0.5, {-1, -3, 0}},
  };
  for (const Carried& c : carried) {
    const Spline longer = ExtendSpline(c.s, c.v);
    ASSERT_FALSE(longer.controls.empty());
    EXPECT_EQ(c.v > SplineEnd(c.s) ? SplineEnd(longer) : SplineStart(longer), c.v);
    EXPECT_LT(Apart(c.v > SplineEnd(c.s) ? longer.controls.back() : longer.controls.front(), c.expected), 1e-12);
    for (int k = 0; k <= 8; ++k) {
      const double v = SplineStart(c.s) + (SplineEnd(c.s) - SplineStart(c.s)) * k / 8;
      EXPECT_LT(Apart(CurveAndDerivative(longer, v).at, CurveAndDerivative(c.s, v).at), 1e-12);
    }
  }
  const Spline round = ExtendSpline(Quarter(), 1.4);
  for (int k = 0; k <= 8; ++k) {
    const Point3 p = CurveAndDerivative(round, 1.4 * k / 8).at;
    EXPECT_NEAR(std::hypot(p.x, p.y), 1, 1e-12);
  }
  // What is no curve, or no range, gives none.
  EXPECT_TRUE(SubSpline(Parabola(), 0.5, 0.5).controls.empty());
  EXPECT_TRUE(SubSpline({3, {0, 0, 0, 1, 1}, {{0, 0, 0}, {1, 2, 0}, {2, 0, 0}}, {}}, 0, 1).controls.empty());
  EXPECT_TRUE(ExtendSpline(Parabola(), NAN).controls.empty());
}

// Crossings on the exact curve, against lines, arcs, circles, ellipses and
// other curves; a touching point counts once, a piece's end bounds it.
TEST(SplineCut, CrossingsOnTheExactCurve) {
  const Conic ellipse{{1, 0}, {2, 0}, {0, 0.5}};
  Conic unit{{0, 0}, {1, 0}, {0, 1}};
  Conic upperHalf = unit;
  upperHalf.t0 = 0, upperHalf.t1 = kPi, upperHalf.full = false;
  struct Case {
    const char* name;
    Spline s;
    Piece edge;
    bool whole;
    std::vector<double> expected;
  };
  const double h = std::sqrt(3.0) / 2;
  const Case cases[] = {
      {"parabola across a line", Parabola(), SegmentPiece({-1, 0.75}, {3, 0.75}), false, {0.25, 0.75}},
      {"parabola touching a line", Parabola(), SegmentPiece({-1, 1}, {3, 1}), false, {0.5}},
      {"line ends short", Parabola(), SegmentPiece({-1, 0.75}, {1, 0.75}), false, {0.25}},
      {"line taken whole", Parabola(), SegmentPiece({-1, 0.75}, {0, 0.75}), true, {0.25, 0.75}},
      {"line through the ends", Parabola(), SegmentPiece({-1, 0}, {3, 0}), false, {0, 1}},
      {"straight across a circle", Straight(), ConicPiece({{0, 0}, {std::sqrt(5.0), 0}, {0, std::sqrt(5.0)}}), false, {1}},
      // (x - 1)^2 / 4 + 4 (2x)^2 = 1: 65 x^2 - 2x - 3 = 0.
      {"straight out of an ellipse", Straight(), ConicPiece(ellipse), false, {3.0 / 13}},
      {"straight across a half circle", Straight(), ConicPiece(upperHalf), false, {1 / std::sqrt(5.0)}},
      {"straight past a bulge arc", Straight(), BulgePiece({1, 0}, {-1, 0}, -1), false, {}},
  };
  for (const Case& c : cases) {
    const std::vector<double> got = SplineCrossings(c.s, c.edge, c.whole);
    ASSERT_EQ(got.size(), c.expected.size()) << c.name;
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], c.expected[i], 1e-12) << c.name;
  }
  // The parabola meets the ellipse where x (2 - x) = 0.5 sqrt(1 - (x - 1)^2 / 4).
  for (const double v : SplineCrossings(Parabola(), ConicPiece(ellipse))) {
    const Point3 p = CurveAndDerivative(Parabola(), v).at;
    EXPECT_NEAR((p.x - 1) * (p.x - 1) / 4 + p.y * p.y * 4, 1, 1e-12);
  }
  EXPECT_EQ(SplineCrossings(Parabola(), ConicPiece(ellipse)).size(), 2u);
  // The quarter circle against the circle round (1, 0): at (1/2, h).
  const std::vector<double> q = SplineCrossings(Quarter(), ConicPiece({{1, 0}, {1, 0}, {0, 1}}));
  ASSERT_EQ(q.size(), 1u);
  EXPECT_LT(Apart(CurveAndDerivative(Quarter(), q[0]).at, {0.5, h, 0}), 1e-12);
  // Two curves: the parabola against the straight line y = 2x meets it at
  // the start only; a parabola upside down, y = 1.5 - x (2 - x), where
  // x (2 - x) = 0.75.
  const std::vector<std::pair<double, double>> start = SplineCrossings(Parabola(), Straight());
  ASSERT_EQ(start.size(), 1u);
  EXPECT_NEAR(start[0].first, 0, 1e-12);
  const Spline down{3, {0, 0, 0, 1, 1, 1}, {{0, 1.5, 0}, {1, -0.5, 0}, {2, 1.5, 0}}, {}};
  const std::vector<std::pair<double, double>> two = SplineCrossings(Parabola(), down);
  ASSERT_EQ(two.size(), 2u);
  EXPECT_NEAR(two[0].first, 0.25, 1e-12);
  EXPECT_NEAR(two[1].second, 0.75, 1e-12);
}

TEST(SplineCut, LengthsAndNearestPoints) {
  EXPECT_NEAR(SplineLength(Straight(), 0, 3), 3 * std::sqrt(5.0), 1e-12);
  EXPECT_NEAR(SplineLength(Straight(), 1, 2.5), 1.5 * std::sqrt(5.0), 1e-12);
  EXPECT_NEAR(SplineLength(Quarter(), 0, 1), kPi / 2, 1e-10);
  // y = x (2 - x) from 0 to 2: the integral of sqrt(1 + (2 - 2x)^2).
  EXPECT_NEAR(SplineLength(Parabola(), 0, 1), std::sqrt(5.0) + std::asinh(2.0) / 2, 1e-10);
  EXPECT_NEAR(SplineParameterAt(Straight(), 1, std::sqrt(5.0)), 2, 1e-10);
  EXPECT_EQ(SplineParameterAt(Straight(), 1, 100), 3);
  struct Near {
    Spline s;
    Point2 p;
    double v;
  };
  const Near near[] = {{Parabola(), {1, 5}, 0.5}, {Straight(), {1, 2}, 1}, {Straight(), {-5, 0}, 0},
                       {Straight(), {2 + 2, 4 - 1}, 2}, {Quarter(), {2, 2}, 0.5}};
  for (const Near& n : near) EXPECT_NEAR(NearestSplineParameter(n.s, n.p), n.v, 1e-9);
}

}  // namespace
}  // namespace vestrel
