// The arc through three points.
#pragma once

namespace vestrel {

struct Arc3 {
  double x1 = 0, y1 = 0, x3 = 0, y3 = 0;  // the first and the last point
  double arcmx = 0, arcmy = 0;            // centre
  double arcwinkel1 = 0, arcwinkel2 = 0;  // start and end angle, radians, counter-clockwise
  double arcradius = 0;
  double bulge = 0;  // of the arc of at most 180 degrees over the chord, y pointing down
};

// The circle through p1, p2, p3 and its arc from p1 through p2 to p3. False
// (angles, bulge and radius 0) when the points lie on one line.
bool ArcDurch3Punkte(double x1, double y1, double x2, double y2, double x3, double y3, Arc3& arc);

}  // namespace vestrel
