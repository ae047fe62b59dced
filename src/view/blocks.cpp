#include "view/blocks.h"

#include <algorithm>
#include <array>
#include <unordered_set>

#include "view/textlayout.h"

namespace vestrel {

namespace {

// The block an INSERT or a DIMENSION names, whether the drawing has it or
// not; empty for every other entry.
std::string_view Named(const Drawing& d, const tpoly& p) {
  if (p.extrakind == ExtraKind::Dimension) return d.dimensionblock(p);
  return p.insertstrpresent ? d.insertstr(p) : std::string_view{};
}

}  // namespace

void Box3::add(Point3 p) {
  if (empty) {
    minx = maxx = p.x, miny = maxy = p.y, minz = maxz = p.z;
    empty = false;
    return;
  }
  minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
  miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
  minz = std::min(minz, p.z), maxz = std::max(maxz, p.z);
}

void Box3::add(const Box3& b) {
  if (b.empty) return;
  add(Point3{b.minx, b.miny, b.minz});
  add(Point3{b.maxx, b.maxy, b.maxz});
}

Box3 Box3::placed(const Placement& p) const {
  Box3 r;
  if (empty) return r;
  for (int k = 0; k < 8; ++k)
    r.add(p.apply({k & 1 ? maxx : minx, k & 2 ? maxy : miny, k & 4 ? maxz : minz}));
  return r;
}

void Blocks::index() {
  if (indexed_) return;
  indexed_ = true;
  if (memberEntries_) {
    for (const std::int32_t i : *memberEntries_) {
      const tpoly& p = d_.polys[static_cast<std::size_t>(i)];
      members_[d_.theblockname(p)].push_back(static_cast<std::size_t>(i));
    }
  } else {
    for (std::size_t i = 0; i < d_.polys.size(); ++i)
      if (d_.polys[i].isblock) members_[d_.theblockname(d_.polys[i])].push_back(i);
  }
  for (const tblock& b : d_.blocks) blocks_.try_emplace(b.blockname, &b);
}

const std::vector<std::size_t>& Blocks::members(std::string_view name) {
  index();
  static const std::vector<std::size_t> none;
  const auto it = members_.find(name);
  return it == members_.end() ? none : it->second;
}

const tblock* Blocks::block(std::string_view name) {
  index();
  const auto it = blocks_.find(name);
  return it == blocks_.end() ? nullptr : it->second;
}

std::pair<std::int32_t, std::int32_t> Blocks::cells(const tpoly& insert) const {
  const InsertData& r = d_.insert(insert);
  return {std::max(r.columns, 1), std::max(r.rows, 1)};
}

std::string_view Blocks::referenced(const tpoly& p) {
  const std::string_view name = Named(d_, p);
  if (p.extrakind == ExtraKind::Dimension && !name.empty() && !block(name)) return {};
  return name;
}

Placement Blocks::placement(const tpoly& insert, std::int32_t column, std::int32_t row) {
  if (insert.extrakind == ExtraKind::Dimension) {
    // A dimension's block is drawn where it stands, moved by the
    // dimension's own offset; its base point does not count.
    const DimensionData& m = d_.dimension(insert);
    Placement moved;
    moved.offset = {m.insx, m.insy, m.insz};
    return moved;
  }
  const InsertData& r = d_.insert(insert);
  const tblock* b = block(d_.insertstr(insert));
  const Point3 base = b ? Point3{b->basex, b->basey, b->basez} : Point3{};
  Point3 at;
  if (insert.anzp > 0) {
    const Tmypoi& q = d_.ps(insert)[0];
    at = {q.x, q.y, q.z};
  }
  return InsertPlacement(base, at, {r.sx, r.sy, r.sz}, r.rotation, {r.ex, r.ey, r.ez},
                         {column * r.colspacing, row * r.rowspacing, 0});
}

Box3 Blocks::referenceBox(const tpoly& insert) {
  Box3 r;
  const Box3& inner = box(referenced(insert));
  if (inner.empty) return r;
  // The cells lie on a lattice: the corner cells span the box of them all.
  const auto [columns, rows] = cells(insert);
  for (const std::int32_t c : {0, columns - 1})
    for (const std::int32_t w : {0, rows - 1}) r.add(inner.placed(placement(insert, c, w)));
  return r;
}

std::vector<std::size_t> Blocks::drawing(std::vector<std::string_view> names) {
  // The references, and the blocks whose members refer to each block; with
  // them, what draws one of `names` however deep. (Every name here is a
  // block's, so what a reference names is what it draws.)
  std::vector<std::pair<std::string_view, std::size_t>> references;
  std::unordered_map<std::string_view, std::vector<std::string_view>> drawnIn;
  for (std::size_t i = 0; i < d_.polys.size(); ++i) {
    const tpoly& p = d_.polys[i];
    const std::string_view name = Named(d_, p);
    if (name.empty()) continue;
    references.emplace_back(name, i);
    if (p.isblock) drawnIn[name].push_back(d_.theblockname(p));
  }
  std::unordered_set<std::string_view> drawn(names.begin(), names.end());
  while (!names.empty()) {
    const auto it = drawnIn.find(names.back());
    names.pop_back();
    if (it == drawnIn.end()) continue;
    for (const std::string_view outer : it->second)
      if (drawn.insert(outer).second) names.push_back(outer);
  }
  std::vector<std::size_t> out;
  for (const auto& [name, i] : references)
    if (drawn.contains(name)) out.push_back(i);
  return out;
}

const Box3& Blocks::box(std::string_view name) {
  if (const Cached& c = boxes_[name]; c.done || c.busy) return c.box;
  // Members on layer "0" are shown as their reference is.
  auto counts = [&](std::size_t i) { return OnLayerZero(d_, d_.polys[i]) || shown(d_.polys[i]); };
  // The blocks its members refer to first, in their order and however deep,
  // on a stack of its own: a chain of blocks each referring to the next is
  // as long as the file makes it. A block met again within itself adds
  // nothing there.
  std::vector<std::string_view> stack{name};
  while (!stack.empty()) {
    const std::string_view block = stack.back();
    Cached& c = boxes_[block];
    if (c.done) {
      stack.pop_back();
      continue;
    }
    if (!c.busy) {
      c.busy = true;
      const std::vector<std::size_t>& inside = members(block);
      const std::size_t waiting = stack.size();
      for (auto i = inside.rbegin(); i != inside.rend(); ++i)
        if (const std::string_view inner = referenced(d_.polys[*i]); !inner.empty() && counts(*i)) {
          const Cached& m = boxes_[inner];
          if (!m.done && !m.busy) stack.push_back(inner);
        }
      if (stack.size() > waiting) continue;
    }
    Box3 box;
    for (const std::size_t i : members(block))
      if (counts(i)) box.add(DrawnBox(d_, d_.polys[i], *this));
    // The map may have grown meanwhile: look the entry up again.
    Cached& done = boxes_[block];
    done.box = box;
    done.done = true;
    done.busy = false;
    stack.pop_back();
  }
  return boxes_[name].box;
}

Box3 DrawnBox(const Drawing& d, const tpoly& p, Blocks& blocks) {
  if (p.xline() || p.ray()) return {};
  if (!blocks.referenced(p).empty()) return blocks.referenceBox(p);
  Box3 box;
  for (const Tmypoi& q : d.ps(p))
    if (!q.donotdraw) box.add(Point3{q.x, q.y, q.z});  // centres, axis ends and grips are not drawn
  if (p.istext()) {
    // The box of its letters as they are laid out.
    thread_local TextLayout scratch;
    std::array<Point3, 4> corners;
    if (TextCorners(d, p, scratch, corners))
      for (const Point3& c : corners) box.add(c);
  }
  return box;
}

}  // namespace vestrel
