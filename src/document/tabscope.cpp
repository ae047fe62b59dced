#include "document/tabscope.h"

namespace vestrel {

TabScope TabScope::OfTab(const Drawing& d, int tab) {
  TabScope s(d);
  if (tab >= 0 && tab < static_cast<int>(d.layouts.size())) {
    const Handle h = d.layouts[static_cast<std::size_t>(tab)].layhan;
    s.layhan_ = h;
    s.model_ = tab == 0;
    for (const tblock& b : d.blocks) {
      if (b.hand != h) continue;
      if (!s.recordBlock_) s.recordBlock_ = &b;
      if (s.model_) break;
      if (Trim(b.blockname) != "*Paper_Space") {
        s.ownBlock_ = &b;
        s.block_ = b.blockname;
        break;
      }
    }
  } else {
    s.model_ = tab != 1;
  }
  return s;
}

TabScope TabScope::ModelSpace(const Drawing& d) {
  TabScope s(d);
  if (!d.layouts.empty()) s.layhan_ = d.layouts.front().layhan;
  return s;
}

TabScope TabScope::BlockContents(const Drawing& d, std::string_view name, bool model) {
  TabScope s(d);
  s.model_ = model;
  s.block_ = name;
  return s;
}

TabScope TabScope::outsideBlocks() const {
  TabScope s = *this;
  s.block_ = {};
  return s;
}

TabScope TabScope::membersOf(const tblock& b) const {
  TabScope s(*d_);
  s.layhan_ = layhan_;
  s.block_ = b.blockname;
  return s;
}

bool TabScope::inSpace(const tpoly& p) const {
  if (!layhan_) return model_ ? !p.ispaperspace : p.ispaperspace || !block_.empty();
  return p.layhan == *layhan_ || (model_ && p.layhan == 0);
}

bool TabScope::inBlock(const tpoly& p) const {
  return p.isblock ? !block_.empty() && d_->theblockname(p) == block_ : block_.empty();
}

}  // namespace vestrel
