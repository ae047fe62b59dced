// Placements: the object coordinate systems of extrusions, and where a
// block reference puts a block's points.
#include "geometry/placement.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vestrel {
namespace {

void ExpectNear(Point3 a, Point3 b) {
  EXPECT_NEAR(a.x, b.x, 1e-12);
  EXPECT_NEAR(a.y, b.y, 1e-12);
  EXPECT_NEAR(a.z, b.z, 1e-12);
}

TEST(Placement, TheArbitraryAxisRule) {
  struct Case {
    Point3 n, x;  // extrusion, and where the object's x axis points
  };
  const double r = std::sqrt(0.5);
  const Case cases[] = {
      {{0, 0, 1}, {1, 0, 0}},
      {{0, 0, -1}, {-1, 0, 0}},        // seen from below: x mirrored
      {{0, 0, -7}, {-1, 0, 0}},        // the length does not matter
      {{1, 1, 1}, {-r, r, 0}},         // the x axis from the world's z axis
      {{0.01, 0, 1}, {1, 0, -0.01}},  // near the z axis: from the world's y axis
  };
  for (const Case& c : cases) {
    const Placement p = ObjectCoordinates(c.n);
    const Point3 x = p.linear({1, 0, 0}), y = p.linear({0, 1, 0}), z = p.linear({0, 0, 1});
    const double lx = std::hypot(c.x.x, c.x.y, c.x.z);
    ExpectNear(x, {c.x.x / lx, c.x.y / lx, c.x.z / lx});
    // Right-handed and orthonormal.
    EXPECT_NEAR(x.x * y.x + x.y * y.y + x.z * y.z, 0, 1e-12);
    EXPECT_NEAR(x.y * y.z - x.z * y.y - z.x, 0, 1e-12);
    EXPECT_NEAR(std::hypot(y.x, y.y, y.z), 1, 1e-12);
  }
}

TEST(Placement, AReferenceScalesTurnsAndShiftsFromTheBasePoint) {
  // Base (1, 0) on (10, 20), twice as large, a quarter turn, cell (1, 0)
  // of an array three units apart.
  const Placement p = InsertPlacement({1, 0, 0}, {10, 20, 0}, {2, 2, 1}, 90, {0, 0, 1}, {3, 0, 0});
  ExpectNear(p.apply({1, 0, 0}), {10, 23, 0});   // the base point, on the insertion point and the cell's shift
  ExpectNear(p.apply({2, 0, 0}), {10, 25, 0});   // a unit along x: two units along y
  ExpectNear(p.apply({1, 1, 0}), {8, 23, 0});
  // Composed: a reference in a reference.
  const Placement outer = InsertPlacement({0, 0, 0}, {-100, 0, 0}, {1, 1, 1}, 0, {0, 0, -1}, {0, 0, 0});
  ExpectNear(outer.after(p).apply({2, 0, 0}), outer.apply({10, 25, 0}));
  ExpectNear(outer.apply({10, 25, 0}), {-110, 25, 0});
}

}  // namespace
}  // namespace vestrel
