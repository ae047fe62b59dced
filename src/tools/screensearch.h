// Finding display-list points and segments on the drawing area: the shown
// tab, the window's transform with its rounding to whole pixels, and the
// drawing's spatial index to narrow the search down to what lies near.
#pragma once

#include <vector>

#include "document/spatialindex.h"
#include "document/tabscope.h"
#include "tools/editor.h"
#include "view/colors.h"

namespace vestrel {

class ScreenSearch {
 public:
  // A search through `window`, the drawing area's transform; brings the
  // editor's index up to the drawing's last parse.
  ScreenSearch(Editor& e, const ScreenTransform& window);

  Drawing& d;
  const ScreenTransform t;
  const TabScope scope;
  const SpatialIndex& index;
  const StyleTables tables;

  // What can be snapped to: the shown tab's objects, but for those on
  // layers switched off, which are not drawn.
  bool snappable(const tpoly& p) const { return scope.shows(p) && !tables.layer(p).off; }
  // What can be picked: of those, the ones not on locked layers.
  bool pickable(const tpoly& p) const {
    if (!scope.shows(p)) return false;
    const LayerLook look = tables.layer(p);
    return !look.off && !look.locked;
  }

  // Where a point of the drawing lies on the screen, in whole pixels.
  Point2 pixel(const Tmypoi& q) const { return t.toPixel(q.x, q.y); }

  // The runs of the index that may hold a point whose pixel lies in the
  // screen box between (x1, y1) and (x2, y2) widened by `margin` pixels,
  // or a segment that passes there; sorted by entry, then own points
  // before snap points before the closing segment, then by their first
  // point: the order of the display list.
  void Runs(double x1, double y1, double x2, double y2, double margin, std::vector<std::uint32_t>& out) const;

  // The points of a run: the entry's own or its snap points.
  EntryPoints points(const SpatialIndex::Run& r) const;
};

}  // namespace vestrel
