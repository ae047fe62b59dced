// Which display-list entries belong to the tab that is shown: model space,
// a layout's paper space, or the block that holds a layout's objects. Zoom
// to extents, snapping, selection, the edit operations and the writers all
// ask this.
#pragma once

#include <string_view>

#include "document/drawing.h"

namespace vestrel {

class ViewFilter {
 public:
  ViewFilter(const Drawing& d, int tab);

  // The entry lies in the tab's space (model or paper).
  bool inSpace(const tpoly& p) const;
  // The entry lies in the tab's block, or in no block when the tab has none.
  bool inBlock(const tpoly& p) const;
  bool shows(const tpoly& p) const { return inSpace(p) && inBlock(p); }
  // The block that holds the layout's objects; empty for none.
  std::string_view block() const { return block_; }

 private:
  const Drawing& d_;
  bool hasLayout_ = false;  // the drawing has a layout for this tab
  Handle layhan_ = 0;       // that layout's block record
  std::string_view block_;  // the block holding the layout's objects; empty for none
  bool model_ = true;
};

}  // namespace vestrel
