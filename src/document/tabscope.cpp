#include "document/tabscope.h"

#include <algorithm>
#include <cmath>

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

std::optional<LayoutPaper> PaperOfTab(const Drawing& d, int tab) {
  if (tab <= 0 || tab >= static_cast<int>(d.layouts.size())) return std::nullopt;
  const Tlayout& l = d.layouts[static_cast<std::size_t>(tab)];
  if (!l.plotsettings) return std::nullopt;
  // Paper units in millimetres: inches, millimetres, or pixels (taken at
  // 96 to the inch, as the screen's).
  const double unit = l.paperunits == 0 ? 25.4 : l.paperunits == 2 ? 25.4 / 96 : 1;
  // The plot rotation turns the drawing on the paper anticlockwise, 90° a
  // step (some programs write the degrees themselves): on the sheet, the
  // paper and its margins turn clockwise.
  const int turns = l.plotrotation >= 90 ? l.plotrotation / 90 % 4 : l.plotrotation & 3;
  double w = l.paperwidth, h = l.paperheight;
  double m[4] = {l.marginleft, l.marginbottom, l.marginright, l.margintop};  // left, bottom, right, top
  for (int i = 0; i < turns; ++i) {
    std::swap(w, h);
    // A quarter turn clockwise: the paper's bottom edge goes to the left,
    // its right to the bottom, its top to the right, its left to the top.
    std::rotate(m, m + 1, m + 4);
  }
  auto finite = [](double v) { return std::isfinite(v) && std::abs(v) < 1e12; };
  for (double& v : m) v = finite(v) && v > 0 ? v / unit : 0;
  LayoutPaper paper;
  Sheet& s = paper.sheet;
  const bool limits = finite(l.lminx) && finite(l.lminy) && finite(l.lmaxx) && finite(l.lmaxy) &&
                      l.lmaxx > l.lminx && l.lmaxy > l.lminy;
  if (limits) {
    s = {l.lminx, l.lminy, l.lmaxx, l.lmaxy};
  } else if (finite(w) && finite(h) && w > 0 && h > 0) {
    s = {-m[0], -m[1], w / unit - m[0], h / unit - m[1]};
  } else {
    return std::nullopt;
  }
  s.px0 = s.x0 + m[0], s.py0 = s.y0 + m[1], s.px1 = s.x1 - m[2], s.py1 = s.y1 - m[3];
  if (s.px1 < s.px0 || s.py1 < s.py0) s.px0 = s.x0, s.py0 = s.y0, s.px1 = s.x1, s.py1 = s.y1;  // margins wider than the paper
  paper.widthMm = (s.x1 - s.x0) * unit, paper.heightMm = (s.y1 - s.y0) * unit;
  const double scale = l.scalenumerator / l.scaledenominator;
  paper.mmPerUnit = unit * (finite(scale) && scale > 0 ? scale : 1);
  return paper;
}

}  // namespace vestrel
