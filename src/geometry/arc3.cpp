#include "geometry/arc3.h"

#include <cmath>

namespace vestrel {

bool ArcDurch3Punkte(double x1, double y1, double x2, double y2, double x3, double y3, Arc3& arc) {
  arc.x1 = x1, arc.y1 = y1, arc.x3 = x3, arc.y3 = y3;
  const double D = x1 * y2 + x2 * y3 + x3 * y1 - x1 * y3 - x2 * y1 - x3 * y2;
  if (!(std::abs(D) > 1E-8)) {
    arc.arcwinkel1 = arc.arcwinkel2 = arc.bulge = arc.arcradius = 0;
    return false;
  }
  const double s1 = x1 * x1 + y1 * y1, s2 = x2 * x2 + y2 * y2, s3 = x3 * x3 + y3 * y3;
  const double cx = (s1 * (y2 - y3) + s2 * (y3 - y1) + s3 * (y1 - y2)) / (2 * D);
  const double cy = (s1 * (x3 - x2) + s2 * (x1 - x3) + s3 * (x2 - x1)) / (2 * D);
  const double r = std::sqrt((x1 - cx) * (x1 - cx) + (y1 - cy) * (y1 - cy));
  const double a1 = std::atan2(y1 - cy, x1 - cx);
  const double a3 = std::atan2(y3 - cy, x3 - cx);
  // Which side of p1 -> p2 the third point lies on: positive turns
  // counter-clockwise.
  const double theta = std::atan2(y2 - y1, x2 - x1);
  const double s = std::sin(-theta) * (x3 - x1) + std::cos(-theta) * (y3 - y1);
  arc.arcmx = cx, arc.arcmy = cy;
  const double k = std::sqrt((x1 - x3) * (x1 - x3) + (y1 - y3) * (y1 - y3));
  const double half = k / (2 * r);
  const double beta = half >= -1 && half <= 1 ? std::tan(std::asin(half) / 2) : 0;
  if (s > 0) {
    arc.arcwinkel1 = a1, arc.arcwinkel2 = a3, arc.bulge = beta;
  } else {
    arc.arcwinkel1 = a3, arc.arcwinkel2 = a1, arc.bulge = -beta;
  }
  arc.arcradius = r;
  return true;
}

}  // namespace vestrel
