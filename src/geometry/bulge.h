// The arc of a polyline segment with a bulge (the tangent of a quarter of
// its included angle; positive turns counter-clockwise).
#pragma once

#include <optional>

namespace vestrel {

struct BulgeArc {
  double cx = 0, cy = 0;  // centre
  double radius = 0;
  double aP = 0, aQ = 0;  // polar angles of the two ends seen from the centre; the arc runs from aP to aQ
};

// Nothing when the segment is straight: no bulge, or its ends coincide.
std::optional<BulgeArc> BulgeArcOf(double px, double py, double qx, double qy, double bulge);

}  // namespace vestrel
