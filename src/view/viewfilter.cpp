#include "view/viewfilter.h"

#include <cmath>

namespace vestrel {

ViewFilter::ViewFilter(const Drawing& d, int tab) : d_(d) {
  if (tab >= 0 && tab < static_cast<int>(d.layouts.size())) {
    hasLayout_ = true;
    layhan_ = d.layouts[static_cast<std::size_t>(tab)].layhan;
    model_ = tab == 0;
    // The active paper space keeps its objects in the entities; the other
    // layouts keep theirs in their own block.
    if (!model_)
      for (const tblock& b : d.blocks)
        if (b.hand == layhan_ && Trim(b.blockname) != "*Paper_Space") {
          block_ = b.blockname;
          break;
        }
  } else {
    model_ = tab != 1;
  }
}

bool ViewFilter::inSpace(const tpoly& p) const {
  if (!hasLayout_) return p.ispaperspace != model_;
  return p.layhan == layhan_ || (model_ && p.layhan == 0);
}

bool ViewFilter::inBlock(const tpoly& p) const {
  return p.isblock ? !block_.empty() && d_.theblockname(p) == block_ : block_.empty();
}

Extents TabExtents(const Drawing& d, int tab) {
  const ViewFilter filter(d, tab);
  Extents e;
  bool seen = false;
  for (const tpoly& p : d.polys) {
    if (p.xline || p.ray || !filter.shows(p)) continue;
    for (const Tmypoi& q : d.ps(p)) {
      if (q.donotdraw) continue;  // centres, axis ends and grips are not drawn
      const double x = std::nearbyint(q.x), y = std::nearbyint(q.y);
      if (!seen) {
        e = {x, y, x, y};
        seen = true;
        continue;
      }
      e.minx = std::min(e.minx, x), e.maxx = std::max(e.maxx, x);
      e.miny = std::min(e.miny, y), e.maxy = std::max(e.maxy, y);
    }
  }
  return e;
}

}  // namespace vestrel
