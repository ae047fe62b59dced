#include "editing/objectplane.h"

#include <cmath>
#include <string_view>

#include "document/grammar.h"
#include "document/numbers.h"
#include "geometry/placement.h"

namespace vestrel {

bool ObjectPlane::toObject(Point2 d, Point2& out) const {
  const double det = xaxis.x * yaxis.y - yaxis.x * xaxis.y;
  if (!(std::abs(det) > 1e-12)) return false;
  out = {(d.x * yaxis.y - yaxis.x * d.y) / det, (xaxis.x * d.y - d.x * xaxis.y) / det};
  return true;
}

ObjectPlane ObjectPlaneOf(const LineList& dxf, std::int32_t from, std::int32_t to) {
  ObjectPlane plane;
  auto line = [&](std::int32_t i) { return Trim(dxf[static_cast<std::size_t>(i)]); };
  if (from + 1 > to) return plane;
  const std::string_view name = line(from + 1);
  const KindGrammar* grammar = GrammarOf(name);
  plane.planar = grammar && grammar->planar;
  for (std::int32_t i = from + 2; i + 1 <= to; i += 2) {
    const std::string_view code = line(i);
    if (code == "0") break;
    const int group = GroupCode(code);
    if (group == 101) break;  // what follows belongs to an embedded text
    if (group == 70 && name == "POLYLINE") {
      if (const auto flags = ParseInt(line(i + 1))) plane.planar = grammar->planar && !WorldVertices(*flags);
      continue;
    }
    if (group != 210 && group != 220 && group != 230) continue;
    const auto v = ParseDouble(line(i + 1));
    if (!v) continue;
    if (group == 210) plane.normal.x = *v;
    if (group == 220) plane.normal.y = *v;
    if (group == 230) plane.normal.z = *v;
  }
  const Point3 n = plane.normal;
  if (!plane.planar || (n.x == 0 && n.y == 0 && n.z == 0)) return plane;
  const Placement ocs = ObjectCoordinates(n);
  plane.xaxis = {ocs.m[0][0], ocs.m[1][0]};
  plane.yaxis = {ocs.m[0][1], ocs.m[1][1]};
  return plane;
}

}  // namespace vestrel
