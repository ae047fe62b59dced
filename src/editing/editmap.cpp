#include "editing/editmap.h"

#include <cmath>

namespace vestrel {

namespace {

// The cosine and sine of an angle, exact where they are 0 or 1: a quarter
// turn should leave 3 as 3, not as 2.9999999999999996.
void CosSin(double radians, double& c, double& s) {
  c = std::cos(radians), s = std::sin(radians);
  constexpr double kNoise = 1e-15;
  if (std::abs(c) < kNoise) c = 0, s = s > 0 ? 1 : -1;
  if (std::abs(s) < kNoise) s = 0, c = c > 0 ? 1 : -1;
}

// The linear map a x + b y, c x + d y in the plane, about point (px, py).
EditMap Planar(double a, double b, double c, double d, Point2 about) {
  EditMap e;
  e.m.m[0][0] = a, e.m.m[0][1] = b;
  e.m.m[1][0] = c, e.m.m[1][1] = d;
  e.m.offset = {about.x - (a * about.x + b * about.y), about.y - (c * about.x + d * about.y), 0};
  return e;
}

Placement Transposed(const Placement& p) {
  Placement t;
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) t.m[i][j] = p.m[j][i];
  return t;
}

double Length(Point3 v) { return std::hypot(v.x, v.y, v.z); }

}  // namespace

EditMap EditMap::Move(double dx, double dy) {
  EditMap e;
  e.m.offset = {dx, dy, 0};
  return e;
}

EditMap EditMap::Rotate(Point2 centre, double radians) {
  double c, s;
  CosSin(radians, c, s);
  return Planar(c, -s, s, c, centre);
}

EditMap EditMap::Mirror(Point2 p, double radians) {
  double c, s;
  CosSin(2 * radians, c, s);
  EditMap e = Planar(c, s, s, -c, p);
  e.reflects = true;
  return e;
}

EditMap EditMap::Scale(Point2 base, double factor) {
  EditMap e = Planar(factor, 0, 0, factor, base);
  e.m.m[2][2] = factor;
  e.factor = factor;
  return e;
}

Point3 EditMap::direction(Point3 v) const {
  const Point3 w = m.linear(v);
  if (factor == 1) return w;
  return {w.x / factor, w.y / factor, w.z / factor};
}

EditMap EditMap::shiftedBy(Point3 offset) const {
  // p -> map(p + offset) - offset.
  EditMap e = *this;
  const Point3 moved = m.apply(offset);
  e.m.offset = {moved.x - offset.x, moved.y - offset.y, moved.z - offset.z};
  return e;
}

bool EditMap::finite() const {
  for (const auto& row : m.m)
    for (const double v : row)
      if (!std::isfinite(v)) return false;
  return std::isfinite(m.offset.x) && std::isfinite(m.offset.y) && std::isfinite(m.offset.z) &&
         std::isfinite(factor);
}

PlaneMap InPlane(const EditMap& map, Point3 extrusion) {
  PlaneMap p;
  p.factor = map.factor;
  p.reflects = map.reflects;
  const double length = Length(extrusion);
  if (!(length > 0) || !std::isfinite(length)) extrusion = {0, 0, 1};
  Point3 normal = map.direction(extrusion);
  p.normalChanged = normal.x != extrusion.x || normal.y != extrusion.y || normal.z != extrusion.z;
  if (!p.normalChanged) normal = extrusion;
  p.normal = normal;
  // Old plane coordinates into the world, mapped, into the new plane's
  // coordinates; the plane's axes are orthonormal, so the way back is the
  // transpose.
  const Placement back = Transposed(ObjectCoordinates(normal));
  p.ocs = back.after(map.m.after(ObjectCoordinates(extrusion)));
  // In the plane the map is factor * turn (* mirror across the x axis):
  // its first column is the mapped x axis.
  p.turn = std::atan2(p.ocs.m[1][0], p.ocs.m[0][0]) * 180 / kPi;
  if (p.turn == -180) p.turn = 180;
  return p;
}

double Normalized(double angle, double full) {
  double a = std::fmod(angle, full);
  if (a < 0) a += full;
  if (a >= full) a -= full;
  return a;
}

}  // namespace vestrel
