#include "view/arrowhead.h"

#include <cmath>

namespace vestrel {

std::optional<std::array<Point2, 3>> ArrowHead(Point2 tip, Point2 from, double length) {
  const double L = std::hypot(from.x - tip.x, from.y - tip.y);
  if (!(L > 0)) return std::nullopt;
  const double ux = (from.x - tip.x) / L * length, uy = (from.y - tip.y) / L * length;
  return std::array<Point2, 3>{tip, Point2{tip.x + ux + uy / 5, tip.y + uy - ux / 5},
                               Point2{tip.x + ux - uy / 5, tip.y + uy + ux / 5}};
}

}  // namespace vestrel
