#include "geometry/placement.h"

#include <cmath>

namespace vestrel {

Placement Placement::after(const Placement& inner) const {
  Placement r;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) r.m[i][j] = m[i][0] * inner.m[0][j] + m[i][1] * inner.m[1][j] + m[i][2] * inner.m[2][j];
  r.offset = apply(inner.offset);
  return r;
}

namespace {

Point3 Cross(Point3 a, Point3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }

Point3 Unit(Point3 a) {
  const double l = std::hypot(a.x, a.y, a.z);
  return l > 0 && std::isfinite(l) ? Point3{a.x / l, a.y / l, a.z / l} : Point3{0, 0, 1};
}

}  // namespace

Placement ObjectCoordinates(Point3 n) {
  const Point3 z = Unit(n);
  Placement p;
  if (z.x == 0 && z.y == 0 && z.z == 1) return p;
  // Near the world's z axis the x axis comes from the world's y axis,
  // elsewhere from its z axis.
  constexpr double kNear = 1.0 / 64;
  const Point3 x = Unit(std::abs(z.x) < kNear && std::abs(z.y) < kNear ? Cross({0, 1, 0}, z) : Cross({0, 0, 1}, z));
  const Point3 y = Unit(Cross(z, x));
  const Point3 axes[3] = {x, y, z};
  for (int j = 0; j < 3; ++j) p.m[0][j] = axes[j].x, p.m[1][j] = axes[j].y, p.m[2][j] = axes[j].z;
  return p;
}

Placement InsertPlacement(Point3 base, Point3 at, Point3 scale, double degrees, Point3 extrusion, Point3 shift) {
  const double r = degrees * kPi / 180, c = std::cos(r), s = std::sin(r);
  // In the object coordinates: q -> R (shift + S (q - base)); then into
  // the world and onto the insertion point.
  Placement local;
  local.m[0][0] = c * scale.x, local.m[0][1] = -s * scale.y, local.m[0][2] = 0;
  local.m[1][0] = s * scale.x, local.m[1][1] = c * scale.y, local.m[1][2] = 0;
  local.m[2][0] = 0, local.m[2][1] = 0, local.m[2][2] = scale.z;
  const Point3 toBase = local.linear({-base.x, -base.y, -base.z});
  local.offset = {c * shift.x - s * shift.y + toBase.x, s * shift.x + c * shift.y + toBase.y, shift.z + toBase.z};
  Placement world = ObjectCoordinates(extrusion).after(local);
  world.offset = {world.offset.x + at.x, world.offset.y + at.y, world.offset.z + at.z};
  return world;
}

Point3 IntoObject(const Placement& ocs, Point3 w) {
  return {ocs.m[0][0] * w.x + ocs.m[1][0] * w.y + ocs.m[2][0] * w.z,
          ocs.m[0][1] * w.x + ocs.m[1][1] * w.y + ocs.m[2][1] * w.z,
          ocs.m[0][2] * w.x + ocs.m[1][2] * w.y + ocs.m[2][2] * w.z};
}

}  // namespace vestrel
