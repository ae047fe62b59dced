// What the transform edits do to the drawing: a move, a turn about a
// point, a mirror across a line or a uniform scale about a point, as one
// map of space; and that map as seen in the object coordinate system of an
// object's plane, where most kinds keep their points.
#pragma once

#include "geometry/placement.h"
#include "geometry/point.h"

namespace vestrel {

struct EditMap {
  // World point p goes to m.apply(p); z only changes by a scale.
  Placement m;
  double factor = 1;      // the uniform scale: lengths are multiplied by it
  bool reflects = false;  // a mirror: turns the sense of rotation

  static EditMap Move(double dx, double dy);
  // Counter-clockwise by `radians` about `centre`.
  static EditMap Rotate(Point2 centre, double radians);
  // Across the line through `p` at `radians` to the x axis.
  static EditMap Mirror(Point2 p, double radians);
  // By `factor` about `base` (in z about the plane z = 0).
  static EditMap Scale(Point2 base, double factor);

  Point3 point(Point3 p) const { return m.apply(p); }
  Point3 vector(Point3 v) const { return m.linear(v); }
  // A direction turned (or mirrored) but not scaled.
  Point3 direction(Point3 v) const;
  // The same map done in a frame that stands `offset` away: what it does
  // to the contents of a block that is drawn moved by `offset`.
  EditMap shiftedBy(Point3 offset) const;
  // Every number of the map is finite.
  bool finite() const;
};

// The map in the object coordinate system of an extrusion: what it makes
// of a point given in the coordinates of the old plane, in the coordinates
// of the plane the extrusion goes to. The extrusion keeps its direction
// through a move, a scale and any map of a plane parallel to the drawing;
// it turns with a tilted plane.
struct PlaneMap {
  Placement ocs;
  Point3 normal;       // the new extrusion, as long as the old one
  bool normalChanged = false;
  // The map in the plane is a turn by `turn` degrees (a mirror: the turn
  // after mirroring across the plane's x axis), times `factor`.
  double turn = 0;
  double factor = 1;
  bool reflects = false;

  Point3 point(Point3 p) const { return ocs.apply(p); }
  Point3 vector(Point3 v) const { return ocs.linear(v); }
  // An angle in the plane, in degrees: the direction it names, mapped.
  // Turned: the turn added; mirrored: turn minus the angle.
  double angle(double degrees) const { return reflects ? turn - degrees : degrees + turn; }
};

PlaneMap InPlane(const EditMap& map, Point3 extrusion);

// An angle brought into [0, 360) degrees (or [0, 2 pi) with `full` 2 pi).
double Normalized(double angle, double full = 360);

}  // namespace vestrel
