// Where a block's contents land: a linear map and an offset in space,
// composed through nested references; and the object coordinate system
// that an extrusion direction gives (the arbitrary axis rule of DXF).
#pragma once

#include "geometry/point.h"

namespace vestrel {

struct Placement {
  // The linear part, row by row: world x = m[0][0] x + m[0][1] y + m[0][2] z.
  double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
  Point3 offset;

  Point3 apply(Point3 p) const { return add(linear(p), offset); }
  // Only the linear part: a direction or a difference of points.
  Point3 linear(Point3 p) const {
    return {m[0][0] * p.x + m[0][1] * p.y + m[0][2] * p.z, m[1][0] * p.x + m[1][1] * p.y + m[1][2] * p.z,
            m[2][0] * p.x + m[2][1] * p.y + m[2][2] * p.z};
  }
  // This placement after `inner`: p goes through `inner` first.
  Placement after(const Placement& inner) const;

 private:
  static Point3 add(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
};

// The placement of the object coordinate system of extrusion `n` (not
// normalised): its x axis, y axis and n as the columns. (0, 0, 1) is the
// identity; (0, 0, -1) mirrors x.
Placement ObjectCoordinates(Point3 n);
// The object coordinates of world point w in the system `ocs` (which its
// transpose undoes).
Point3 IntoObject(const Placement& ocs, Point3 w);

// Where a block reference puts its block's point q: base point `base` on
// the insertion point `at` (in world coordinates), scaled and rotated by
// `degrees` about it in the object coordinate system of `extrusion`, and
// moved by `shift` (the offset of an array's cell, in the rotated frame,
// unscaled).
Placement InsertPlacement(Point3 base, Point3 at, Point3 scale, double degrees, Point3 extrusion, Point3 shift);

}  // namespace vestrel
