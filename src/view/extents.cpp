#include "view/extents.h"

#include "document/tabscope.h"
#include "view/blocks.h"

namespace vestrel {

std::optional<Extents> DrawnExtents(const Drawing& d, int tab) {
  const TabScope scope = TabScope::OfTab(d, tab);
  Blocks blocks(d);
  Box3 box;
  for (const tpoly& p : d.polys)
    if (scope.shows(p) && blocks.shown(p)) box.add(DrawnBox(d, p, blocks));
  if (box.empty) return std::nullopt;
  return Extents{box.minx, box.miny, box.maxx, box.maxy};
}

}  // namespace vestrel
