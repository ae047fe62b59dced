#include "tools/screensearch.h"

#include <algorithm>
#include <cmath>

namespace vestrel {

ScreenSearch::ScreenSearch(Editor& e, const ScreenTransform& window)
    : d(e.drawing), t(window), scope(TabScope::OfTab(e.drawing, e.view.tab)), index(e.spatialindex),
      tables(e.drawing) {
  e.spatialindex.Refresh(e.drawing);
}

void ScreenSearch::Runs(double x1, double y1, double x2, double y2, double margin, std::vector<std::uint32_t>& out) const {
  out.clear();
  const Point2 a = t.toWorld(std::min(x1, x2) - margin, std::min(y1, y2) - margin);
  const Point2 b = t.toWorld(std::max(x1, x2) + margin, std::max(y1, y2) + margin);
  // The margin covers the rounding to pixels; the world box is widened a
  // little more for the rounding of the arithmetic.
  auto widen = [](double lo, double hi) {
    const double slack = (std::abs(lo) + std::abs(hi)) * 1e-9;
    return std::pair{lo - slack, hi + slack};
  };
  const auto [minx, maxx] = widen(std::min(a.x, b.x), std::max(a.x, b.x));
  const auto [miny, maxy] = widen(std::min(a.y, b.y), std::max(a.y, b.y));
  index.Find({minx, miny, maxx, maxy}, out);
  std::sort(out.begin(), out.end(), [&](std::uint32_t i, std::uint32_t k) {
    const SpatialIndex::Run &r = index.run(i), &s = index.run(k);
    if (r.entry != s.entry) return r.entry < s.entry;
    if (r.kind != s.kind) return r.kind < s.kind;
    return r.from < s.from;
  });
}

EntryPoints ScreenSearch::points(const SpatialIndex::Run& r) const {
  const tpoly& p = d.polys[static_cast<std::size_t>(r.entry)];
  if (r.kind == SpatialIndex::RunKind::Snaps) return EntryPoints(d.snap(p));
  return d.ps(p);
}

}  // namespace vestrel
