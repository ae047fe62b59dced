// Where an entry's stored coordinates lie in the plan. Planar kinds
// (circles, arcs, 2-D polylines, solids, texts, block references, hatches)
// keep their points in the object coordinate system of their extrusion; a
// mirrored arc from a CAM program, extrusion (0, 0, -1), has its x axis
// along the world's -x. Edits that move such points in the plan go through
// this plane.
#pragma once

#include "document/drawing.h"
#include "geometry/point.h"

namespace vestrel {

struct ObjectPlane {
  // The plan's x and y of the object's own x and y axes.
  Point2 xaxis{1, 0}, yaxis{0, 1};

  // The object's own x and y of a displacement d in the plan, within its
  // plane; false when the plane stands upright and cannot take it.
  bool toObject(Point2 d, Point2& out) const;
  // The plan's displacement of one in the object's own x and y.
  Point2 toPlan(Point2 o) const { return {xaxis.x * o.x + yaxis.x * o.y, xaxis.y * o.x + yaxis.y * o.y}; }
  bool identity() const { return xaxis.x == 1 && xaxis.y == 0 && yaxis.x == 0 && yaxis.y == 1; }
};

// The plane of entry `p`, from its kind and its extrusion lines.
ObjectPlane ObjectPlaneOf(const Drawing& d, const tpoly& p);

}  // namespace vestrel
