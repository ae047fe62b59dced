#include "view/extents.h"

#include <algorithm>
#include <cmath>
#include <unordered_map>
#include <vector>

#include "document/tabscope.h"

namespace vestrel {

namespace {

// Gathers the extents of entries, following block references into their
// blocks as they are drawn (the block's base point on the insertion point).
class ExtentsWalk {
 public:
  explicit ExtentsWalk(const Drawing& d) : d_(d) {
    for (std::size_t i = 0; i < d.polys.size(); ++i)
      if (d.polys[i].isblock) members_[d.theblockname(d.polys[i])].push_back(i);
  }

  void entry(const tpoly& p, double dx, double dy) {
    if (p.xline || p.ray) return;
    for (const Tmypoi& q : d_.ps(p)) {
      if (q.donotdraw) continue;  // centres, axis ends and grips are not drawn
      add(std::nearbyint(q.x + dx), std::nearbyint(q.y + dy));
    }
    if (p.insertstrpresent && p.anzp > 0) insert(d_.insertstr(p), d_.ps(p)[0].x + dx, d_.ps(p)[0].y + dy);
  }

  std::optional<Extents> result() const { return seen_ ? std::optional<Extents>(e_) : std::nullopt; }

 private:
  void insert(std::string_view name, double x, double y) {
    const auto it = members_.find(name);
    // A block that refers to itself, directly or through others, counts once.
    if (it == members_.end() || std::find(stack_.begin(), stack_.end(), name) != stack_.end() || stack_.size() > 32)
      return;
    stack_.push_back(name);
    for (const std::size_t i : it->second) {
      const tpoly& m = d_.polys[i];
      entry(m, x - d_.blockbasex(m), y - d_.blockbasey(m));
    }
    stack_.pop_back();
  }

  void add(double x, double y) {
    if (!seen_) {
      e_ = {x, y, x, y};
      seen_ = true;
      return;
    }
    e_.minx = std::min(e_.minx, x), e_.maxx = std::max(e_.maxx, x);
    e_.miny = std::min(e_.miny, y), e_.maxy = std::max(e_.maxy, y);
  }

  const Drawing& d_;
  std::unordered_map<std::string_view, std::vector<std::size_t>> members_;
  std::vector<std::string_view> stack_;
  Extents e_;
  bool seen_ = false;
};

}  // namespace

std::optional<Extents> DrawnExtents(const Drawing& d, int tab) {
  const TabScope scope = TabScope::OfTab(d, tab);
  ExtentsWalk walk(d);
  for (const tpoly& p : d.polys)
    if (scope.shows(p)) walk.entry(p, 0, 0);
  return walk.result();
}

}  // namespace vestrel
