// B-spline curves: knot vectors, the Cox-de Boor basis, curve points of
// plain and rational curves, the curve flattened span by span as its
// bends need, and control points that make a curve pass through given fit
// points. Shared by the reader, the spline writer and the spline tool's
// rubber band.
#pragma once

#include <optional>
#include <span>
#include <vector>

#include "geometry/point.h"

namespace vestrel {

// Clamped knots with integer steps for n + 1 control points and order t:
// u[0 .. n + t]. MakeKnots(4, 4) is 0 0 0 0 1 2 2 2 2.
std::vector<double> MakeKnots(int n, int t);

// A curve of order t (degree t - 1) over knots u[0 .. n + t] with controls
// [0 .. n]; rational when it has a weight per control point.
struct Spline {
  int order = 4;
  std::vector<double> knots;
  std::vector<Point3> controls;
  std::vector<double> weights;  // empty: all 1
};

// The point at v (within the curve's parameter range).
Point3 CurvePoint(const Spline& s, double v);

// The curve as a polyline, span by span through its knots: every knot of
// the range is a vertex (so a knot of full multiplicity stays a sharp
// corner), and each span gets as many vertices as its bends need to stay
// within a chord tolerance of 1/5000 of the size of the control polygon,
// at most 64. The last vertex is the end of the curve.
std::vector<Point3> FlattenSpline(const Spline& s);

// The curve a drawing file defines. With control points: degree `degree`
// over the file's knots when there are as many as the curve needs and they
// do not go back (else clamped ones), rational when each control point has
// a weight and all are positive. Without control points: the cubic through
// the fit points, with the end tangents when they are given. A spline
// without control points when neither makes a curve: a degree out of
// 1 .. 30 or fewer control points than it needs, fewer than two fit points.
Spline SplineOfFile(int degree, std::span<const Point3> controls, std::span<const double> knots,
                    std::span<const double> weights, std::span<const Point3> fits,
                    std::optional<Point3> startTangent, std::optional<Point3> endTangent);

// The cubic curve through fit points F (at least two), parameterised by
// chord length, with the tangent directions at its ends when they are
// given and else those of the parabola through the first and the last
// three points. A linear-time solve.
Spline InterpolateFitPoints(std::span<const Point3> F, std::optional<Point3> startTangent,
                            std::optional<Point3> endTangent);

// Cubic control points (as many as fit points, over the clamped integer
// knots of MakeKnots) whose curve passes through every fit point, the fit
// points spread evenly over the parameter range. The control points of the
// indexes in `fixed` are the fit points themselves (tangent handles); the
// first and the last always are. Fewer than four fit points are returned
// as they are.
std::vector<Point3> FitControlPoints(std::span<const Point3> F, std::span<const int> fixed);

}  // namespace vestrel
