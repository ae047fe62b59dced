#include "editing/objectplane.h"

#include <cmath>
#include <string_view>

#include "document/numbers.h"
#include "geometry/placement.h"

namespace vestrel {

namespace {

bool Planar(std::string_view kind) {
  for (const std::string_view k : {"CIRCLE", "ARC", "LWPOLYLINE", "POLYLINE", "SOLID", "TRACE", "TEXT", "ATTRIB",
                                   "INSERT", "HATCH"})
    if (kind == k) return true;
  return false;
}

}  // namespace

bool ObjectPlane::toObject(Point2 d, Point2& out) const {
  const double det = xaxis.x * yaxis.y - yaxis.x * xaxis.y;
  if (!(std::abs(det) > 1e-12)) return false;
  out = {(d.x * yaxis.y - yaxis.x * d.y) / det, (xaxis.x * d.y - d.x * xaxis.y) / det};
  return true;
}

ObjectPlane ObjectPlaneOf(const Drawing& d, const tpoly& p) {
  ObjectPlane plane;
  if (!Planar(d.value(p.linefrom + 1))) return plane;
  // The entity's own groups, up to its first sub-entity (a polyline's
  // vertices, a reference's attributes).
  Point3 n{0, 0, 1};
  for (std::int32_t i = p.linefrom + 2; i + 1 <= p.linebis; i += 2) {
    const std::string_view code = d.value(i);
    if (code == "0") break;
    const auto v = ParseDouble(d.value(i + 1));
    if (!v) continue;
    if (code == "210") n.x = *v;
    if (code == "220") n.y = *v;
    if (code == "230") n.z = *v;
    // 3-D polylines, meshes and polyface meshes keep world coordinates.
    if (code == "70" && d.value(p.linefrom + 1) == "POLYLINE" && (static_cast<int>(*v) & (8 | 16 | 64))) return plane;
  }
  if (n.x == 0 && n.y == 0 && n.z == 0) return plane;
  const Placement ocs = ObjectCoordinates(n);
  plane.xaxis = {ocs.m[0][0], ocs.m[1][0]};
  plane.yaxis = {ocs.m[0][1], ocs.m[1][1]};
  return plane;
}

}  // namespace vestrel
