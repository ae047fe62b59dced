#include "geometry/bulge.h"

#include <cmath>

#include "geometry/point.h"

namespace vestrel {

std::optional<BulgeArc> BulgeArcOf(double px, double py, double qx, double qy, double bulge) {
  if (bulge == 0) return std::nullopt;
  const double theta = -4 * std::atan(bulge);  // the included angle
  const double dx = qx - px, dy = qy - py;
  const double chord = std::hypot(dx, dy);
  const double h = chord / 2;
  const double s = h * bulge;
  if (s == 0 || !std::isfinite(s)) return std::nullopt;
  const double R = (h * h + s * s) / (2 * s);
  const double r = std::abs(R);
  if (!std::isfinite(r)) return std::nullopt;

  // The two circles of radius |R| around P and Q meet on the chord's
  // perpendicular bisector.
  const double mx = (px + qx) / 2, my = (py + qy) / 2;
  const double k = std::sqrt(std::max(0.0, r * r - h * h));
  const double nx = -dy / chord, ny = dx / chord;
  const double centres[2][2] = {{mx + k * nx, my + k * ny}, {mx - k * nx, my - k * ny}};

  // Of the four sweeps (each centre, the short and the long way round), take
  // the one closest to the included angle; a later one wins only when
  // strictly closer.
  BulgeArc best;
  double bestDiff = 0;
  bool bestComplement = false, any = false;
  for (const auto& c : centres) {
    const double aP = std::atan2(py - c[1], px - c[0]);
    const double aQ = std::atan2(qy - c[1], qx - c[0]);
    const double d = aP - aQ;
    const double complement = d < 0 ? 2 * kPi - std::abs(d) : -(2 * kPi - std::abs(d));
    const double sweeps[2] = {d, complement};
    for (int j = 0; j < 2; ++j) {
      const double diff = std::abs(sweeps[j] - theta);
      if (!any || diff < bestDiff) {
        any = true;
        bestDiff = diff;
        best = {c[0], c[1], r, aP, aQ};
        bestComplement = j == 1;
      }
    }
  }
  if (bestComplement) {
    if (bulge <= 0)
      best.aP += 2 * kPi;
    else
      best.aQ += 2 * kPi;
  }
  return best;
}

double TangentTurn(Point2 tangent, Point2 a, Point2 b) {
  double turn = std::atan2(b.y - a.y, b.x - a.x) - std::atan2(tangent.y, tangent.x);
  if (turn > kPi) turn -= 2 * kPi;
  if (turn <= -kPi) turn += 2 * kPi;
  // Within a thousandth of a radian of none or of a half turn (a point
  // right behind, which no arc leaving along the tangent reaches) it is
  // none.
  return std::abs(turn) < 0.001 || std::abs(turn) > kPi - 0.001 ? 0 : turn;
}

Point2 BulgeEndDirection(Point2 a, Point2 b, double bulge) {
  // An arc meets its chord at the same angle at both ends: half its sweep.
  const double turn = 2 * std::atan(bulge);
  const double dx = b.x - a.x, dy = b.y - a.y, c = std::cos(turn), s = std::sin(turn);
  return {dx * c - dy * s, dx * s + dy * c};
}

}  // namespace vestrel
