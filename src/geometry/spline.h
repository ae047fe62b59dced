// B-spline curves: knot vectors, the Cox-de Boor basis, curve points,
// evenly spaced samples, and control points that make a curve pass through
// given fit points. Shared by the reader, the spline writer and the spline
// tool's rubber band.
#pragma once

#include <span>
#include <vector>

#include "geometry/point.h"

namespace vestrel {

// Clamped knots with integer steps for n + 1 control points and order t:
// u[0 .. n + t]. MakeKnots(4, 4) is 0 0 0 0 1 2 2 2 2.
std::vector<double> MakeKnots(int n, int t);

// The basis function N(i, t) at v; the first order is the half-open
// interval u[i] <= v < u[i + 1].
double BasisValue(int i, int t, std::span<const double> u, double v);

// The point at v of the curve of order t over knots u with controls[0 .. n].
Point3 CurvePoint(std::span<const double> u, int n, int t, double v, std::span<const Point3> controls);

// S >= 2 samples evenly spaced over the curve's parameter range, the last
// one at its end.
std::vector<Point3> SampleCurve(std::span<const Point3> controls, int n, std::span<const double> u, int t,
                                     int S);

// Cubic control points (as many as fit points) whose curve passes through
// every fit point. The control points of the indexes in `fixed` stay on
// their fit points; the first and the last always do.
std::vector<Point3> FitControlPoints(std::span<const Point3> F, std::span<const int> fixed);

}  // namespace vestrel
