// The curves object snaps work on, in the drawing plane: elliptic arcs
// (circles and circular arcs among them) given by a centre and two
// conjugate half-axes, and what lies on them and on segments: the nearest
// point, the foot of a perpendicular, tangent points, and where two of
// them cross.
#pragma once

#include <functional>
#include <vector>

#include "geometry/point.h"

namespace vestrel {

// The points c + u cos t + v sin t for t from t0 to t1 (t1 > t0; a whole
// turn when full). A circle has u and v of one length at right angles,
// whichever way v turns from u (a mirrored circle runs clockwise).
struct Conic {
  Point2 c, u, v;
  double t0 = 0, t1 = 2 * kPi;
  bool full = true;

  Point2 at(double t) const;
  // Whether u and v make a circle, to a relative 1e-9.
  bool circular() const;
  double radius() const;
  // The parameter of a point of the circle's plane, in [t0, t0 + 2 pi).
  double parameter(Point2 p) const;
  // Whether parameter t (any turn) lies on the arc, within `slack`
  // radians.
  bool covers(double t, double slack = 1e-12) const;
  // The arc as a polyline of `pieces` pieces.
  std::vector<Point2> flattened(int pieces) const;
};

// The point of segment a-b nearest to p.
Point2 NearestOnSegment(Point2 p, Point2 a, Point2 b);
// The point of the arc nearest to p: exactly for a circle, by Newton's
// method on the parameter for an ellipse; an end when p's own lies off it.
Point2 NearestOnConic(const Conic& k, Point2 p);

// The parameters of the arc where f changes sign (or is zero): found among
// 64 steps a turn and halved down to the last bit. A zero where f only
// touches without changing sign is missed.
std::vector<double> SignChanges(const Conic& k, const std::function<double(double)>& f);

// The feet of the perpendiculars from p on the arc, and the points where
// lines from p touch it: the sign changes of the product and of the cross
// product of the way from p with the arc's direction. (Circles have their
// closed forms below.)
std::vector<Point2> PerpendicularFeet(const Conic& k, Point2 p);
std::vector<Point2> TouchingPoints(const Conic& k, Point2 p);

// The foot of the perpendicular from p to the line through a and b, when
// it lies on the segment; false else (or when a and b coincide).
bool PerpendicularFoot(Point2 p, Point2 a, Point2 b, Point2& foot);

// The points of the circle (centre c, radius r) where a line from p
// touches it; none when p lies inside. Returns how many (0 or 2; 1 when p
// lies on the circle: p itself).
int TangentPoints(Point2 p, Point2 c, double r, Point2 out[2]);

// Where the line through a and b meets the circle: 0, 1 (touching) or 2
// points, on the line (not only the segment).
int LineCircle(Point2 a, Point2 b, Point2 c, double r, Point2 out[2]);
// Where two circles meet: 0, 1 (touching) or 2 points; none for
// concentric ones.
int CircleCircle(Point2 c1, double r1, Point2 c2, double r2, Point2 out[2]);

// The parameter of p along a-b: 0 at a, 1 at b.
double SegmentParameter(Point2 p, Point2 a, Point2 b);

}  // namespace vestrel
