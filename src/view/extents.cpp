#include "view/extents.h"

#include <cmath>

#include "document/tabscope.h"
#include "view/blocks.h"

namespace vestrel {

std::optional<Extents> DrawnExtents(const Drawing& d, int tab) {
  const TabScope scope = TabScope::OfTab(d, tab);
  Blocks blocks(d);
  Box3 box;
  for (const tpoly& p : d.polys)
    if (scope.shows(p)) box.add(DrawnBox(d, p, blocks));
  if (box.empty) return std::nullopt;
  return Extents{std::nearbyint(box.minx), std::nearbyint(box.miny), std::nearbyint(box.maxx), std::nearbyint(box.maxy)};
}

}  // namespace vestrel
