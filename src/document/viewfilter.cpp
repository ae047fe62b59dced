#include "document/viewfilter.h"

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

}  // namespace vestrel
