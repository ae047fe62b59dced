#include "tools/snap.h"

#include <cmath>

#include "tools/screensearch.h"

namespace vestrel {

namespace {

constexpr double kAlign = 5;  // pixels
constexpr double kCatch = 5;  // pixels, in x and in y
// What the index is asked about around the pointer: the catch and the
// rounding to pixels, with room to spare.
constexpr double kSearchMargin = kCatch + 3;
constexpr int kMarker = 5;  // half the marker square

}  // namespace

bool SnapPoints(Editor& e, const ScreenTransform& window, double xx, double yy, double& x, double& y, double& ex,
                double& ey, ShiftState shift) {
  const double ox = x, oy = y;
  if (shift.ctrl) return false;

  if (std::abs(xx - ox) <= kAlign) x = xx;
  if (std::abs(yy - oy) <= kAlign) y = yy;
  if (std::abs(std::abs(xx - ox) - std::abs(yy - oy)) <= kAlign) y = y < yy ? yy - std::abs(xx - x) : yy + std::abs(xx - x);

  // The nearest point, measured from the pointer as it came; on equal
  // distances the first in the display list, an entry's own points before
  // its snap points.
  const ScreenSearch s(e, window);
  std::vector<std::uint32_t> runs;
  s.Runs(ox, oy, ox, oy, kSearchMargin, runs);
  bool caught = false;
  double best = 0;
  Point2 at, world;
  for (const std::uint32_t i : runs) {
    const SpatialIndex::Run& r = s.index.run(i);
    if (r.kind == SpatialIndex::RunKind::Closing) continue;
    if (!s.snappable(s.d.polys[static_cast<std::size_t>(r.entry)])) continue;
    for (const Tmypoi& q : s.points(r).subspan(static_cast<std::size_t>(r.from), static_cast<std::size_t>(r.count))) {
      const Point2 sp = s.pixel(q);
      if (!(std::abs(sp.x - ox) <= kCatch && std::abs(sp.y - oy) <= kCatch)) continue;
      const double dx = sp.x - ox, dy = sp.y - oy;
      const double dist = std::sqrt(dx * dx + dy * dy);
      if (caught && !(dist < best)) continue;
      caught = true;
      best = dist, at = sp, world = {q.x, q.y};
    }
  }
  if (!caught) return false;

  x = at.x, y = at.y;
  ex = world.x, ey = world.y;
  const int sx = WholePixels(at.x), sy = WholePixels(at.y);
  e.AddRubberBand(sx - kMarker, sy - kMarker, sx + kMarker, sy - kMarker);
  e.AddRubberBand(sx + kMarker, sy - kMarker, sx + kMarker, sy + kMarker);
  e.AddRubberBand(sx + kMarker, sy + kMarker, sx - kMarker, sy + kMarker);
  e.AddRubberBand(sx - kMarker, sy + kMarker, sx - kMarker, sy - kMarker);
  return true;
}

}  // namespace vestrel
