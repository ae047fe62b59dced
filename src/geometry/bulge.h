// The arc of a polyline segment with a bulge (the tangent of a quarter of
// its included angle; positive turns counter-clockwise).
#pragma once

#include <optional>

#include "geometry/anglesteps.h"
#include "geometry/point.h"

namespace vestrel {

struct BulgeArc {
  double cx = 0, cy = 0;  // centre
  double radius = 0;
  double aP = 0, aQ = 0;  // polar angles of the two ends seen from the centre; the arc runs from aP to aQ
};

// Nothing when the segment is straight: no bulge, or its ends coincide.
std::optional<BulgeArc> BulgeArcOf(double px, double py, double qx, double qy, double bulge);

// The angle from `tangent` to the chord from a to b, in (-pi, pi]; within a
// thousandth of a radian of none or of a half turn, none. The arc from a to
// b that leaves a along `tangent` turns twice as far and has the bulge
// tan(turn / 2).
double TangentTurn(Point2 tangent, Point2 a, Point2 b);

// The direction in which the segment from a to b with `bulge` arrives at b:
// a straight one along its chord, an arc along its tangent there.
Point2 BulgeEndDirection(Point2 a, Point2 b, double bulge);

// Calls f(x, y) for the points of the arc between its two ends, evenly
// spaced, as many as its sweep needs (ArcSegments).
template <class F>
void EachInnerArcPoint(const BulgeArc& arc, F&& f) {
  const int n = ArcSegments(arc.aQ - arc.aP);
  AngleSteps a(arc.aP, (arc.aQ - arc.aP) / n);
  a.next();
  for (int k = 1; k < n; ++k, a.next()) f(arc.cx + arc.radius * a.cos(), arc.cy + arc.radius * a.sin());
}

}  // namespace vestrel
