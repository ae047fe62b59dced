// The plane an object's points lie in. Planar kinds (circles, arcs, 2-D
// polylines, solids, texts, attributes, block references, hatches: those
// the grammar of their kind gives a plane) keep their points in the object
// coordinate system of their extrusion; a mirrored arc from a CAM program,
// extrusion (0, 0, -1), has its x axis along the world's -x. Grip drags
// move such points through this plane, and the edits of whole objects map
// them in it.
#pragma once

#include <cstdint>

#include "document/linelist.h"
#include "geometry/point.h"

namespace vestrel {

struct ObjectPlane {
  // The extrusion its own groups give (0, 0, 1 without one), and whether
  // its points lie in the plane it makes: not those of a kind without a
  // plane, nor those of a 3-D polyline, a mesh or a polyface mesh.
  Point3 normal{0, 0, 1};
  bool planar = false;
  // The plan's x and y of the object's own x and y axes: the plan's own
  // where the points do not lie in the plane (or the extrusion is none).
  Point2 xaxis{1, 0}, yaxis{0, 1};

  // The object's own x and y of a displacement d in the plan, within its
  // plane; false when the plane stands upright and cannot take it.
  bool toObject(Point2 d, Point2& out) const;
};

// The plane of the object on lines [from, to], its "0" line first, from
// its kind and the groups before its first sub-entity (a polyline's
// vertices, a reference's attributes) or embedded object (an attribute's
// multi-line text).
ObjectPlane ObjectPlaneOf(const LineList& dxf, std::int32_t from, std::int32_t to);

}  // namespace vestrel
