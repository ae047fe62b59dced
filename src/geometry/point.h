// Points of the drawing plane and of space, and pi.
#pragma once

#include <numbers>

namespace vestrel {

inline constexpr double kPi = std::numbers::pi;

struct Point2 {
  double x = 0, y = 0;
};

struct Point3 {
  double x = 0, y = 0, z = 0;
};

// A vertex of a polyline being drawn, with the bulge of the segment that
// starts at it.
struct PolyVertex {
  double x = 0, y = 0, z = 0;
  double bulge = 0;
};

}  // namespace vestrel
