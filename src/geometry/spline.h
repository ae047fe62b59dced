// B-spline curves: knot vectors, the Cox-de Boor basis, curve points of
// plain and rational curves, the curve flattened span by span as its
// bends need, and control points that make a curve pass through given fit
// points. Shared by the reader, the spline writer and the spline tool's
// rubber band. And what the construction tools do with a curve: split it
// exactly, carry its ends on, find where it crosses other curves and how
// long it is.
#pragma once

#include <optional>
#include <span>
#include <utility>
#include <vector>

#include "geometry/path.h"
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

// The parameters the curve runs from and to: u[t - 1] and u[n + 1].
double SplineStart(const Spline& s);
double SplineEnd(const Spline& s);
// Whether the curve can be cut and carried on: as many knots as it needs,
// not going back, a range of some length, finite numbers and positive
// weights.
bool Cuttable(const Spline& s);

// The point at v and the derivative there by the parameter, through the
// polynomial of the span of v (the first or the last span beyond the
// curve's ends, so the curve goes on as its end spans do).
struct CurveDerivative {
  Point3 at, d;
};
CurveDerivative CurveAndDerivative(const Spline& s, double v);

// The part of the curve from v0 to v1 (inside its range, v0 < v1) as a
// curve of its own that traces exactly that part: the same order, the
// knots v0 and v1 each order times at its ends, the knots between them
// kept, its controls (and, for a rational curve, its weights) those that
// inserting v0 and v1 gives (Boehm's algorithm on the homogeneous
// controls). Empty when the curve is not cuttable or the range is not.
Spline SubSpline(const Spline& s, double v0, double v1);

// The curve `b` after the curve `a`, as one curve (both of one order and
// clamped, b starting where a ends): b's knots moved on to follow a's, b's
// weights scaled to meet a's at the joint.
Spline JoinSplines(const Spline& a, const Spline& b);

// The curve carried on past its end to parameter v (> its end), or before
// its start (< its start): the polynomial of its end span continued (the
// span as a Bezier curve, extended by de Casteljau's algorithm), the knots
// clamped again at v. Empty when that is not a curve (a weight would not
// stay positive).
Spline ExtendSpline(const Spline& s, double v);

// In the plan (x and y; z is carried along): the length of the curve from
// v0 to v1, the parameter where the length from v0 reaches `length`
// (clamped to the range), and the parameter of the point of the curve
// nearest to p.
double SplineLength(const Spline& s, double v0, double v1);
double SplineParameterAt(const Spline& s, double v0, double length);
double NearestSplineParameter(const Spline& s, Point2 p);

// Where the curve crosses a piece of a path in the plan (the piece taken
// whole, its line, circle or ellipse, with `wholeEdge`): the curve's
// parameters, sorted, each once. Found on the flattened curve, then on the
// exact one to 1e-12 of the curve's size; a touching point counts once.
std::vector<double> SplineCrossings(const Spline& s, const Piece& edge, bool wholeEdge = false);

// The curve in the plan as circular arcs (bulge pieces), two to each step
// of its parameter, that meet each other tangentially where the curve
// runs on smoothly (biarcs through its points with its directions there)
// and stay within `tolerance` of it. Its knots where the curve turns a
// corner stay corners.
Path SplineArcs(const Spline& s, double tolerance);

// Where two curves cross in the plan: the parameter on `a` and on `b` of
// each point, sorted along `a`.
std::vector<std::pair<double, double>> SplineCrossings(const Spline& a, const Spline& b);

}  // namespace vestrel
