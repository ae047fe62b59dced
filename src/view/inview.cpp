#include "view/inview.h"

#include <algorithm>
#include <cmath>

#include "geometry/floats.h"
#include "view/textlayout.h"

namespace vestrel {

namespace {

bool Meet(const FloatBox& a, const WorldBox& b) {
  return a.minx <= b.maxx && b.minx <= a.maxx && a.miny <= b.maxy && b.miny <= a.maxy;
}

}  // namespace

FloatBox Outwards(double minx, double miny, double maxx, double maxy) {
  return {FloatBelow(minx), FloatBelow(miny), FloatAbove(maxx), FloatAbove(maxy)};
}

bool InView::note(const Drawing& d, Blocks& blocks, std::int32_t i, std::vector<Boxed>& texts,
                  std::vector<Boxed>& references) {
  const tpoly& p = d.polys[static_cast<std::size_t>(i)];
  bool always = p.extrakind == ExtraKind::Dimension || p.isviewport() || p.ismleader() ||
                (p.setwidonce && p.thewid > 0) || (p.linweightpresent && p.lineweight > kWidestWeight);
  if (!always && p.insertstrpresent && !blocks.referenced(p).empty()) {
    const Box3 box = blocks.referenceBox(p);
    if (!box.empty) {
      if (std::isfinite(box.minx) && std::isfinite(box.miny) && std::isfinite(box.maxx) && std::isfinite(box.maxy))
        references.push_back({i, Outwards(box.minx, box.miny, box.maxx, box.maxy)});
      else
        always = true;
    }
  }
  if (!always && !p.istext() && p.anzp > 0 && p.psfrom + p.stored() <= d.points.size()) {
    // Widths of its own, at its vertices.
    const auto pts = d.ps(p);
    always = std::any_of(pts.begin(), pts.end(), [](const Tmypoi& q) { return q.setwid && (q.wid != 0 || q.startwid != 0); });
  }
  if (!always && p.istext() && p.anzp > 0) {
    const TextData& t = d.text(p);
    const Tmypoi& at = d.ps(p)[0];
    const double reach =
        TextReach(d, p) * std::max(std::hypot(t.xdirx, t.xdiry), std::hypot(t.ydirx, t.ydiry));
    if (std::isfinite(reach) && std::isfinite(at.x) && std::isfinite(at.y))
      texts.push_back({i, Outwards(at.x - reach, at.y - reach, at.x + reach, at.y + reach)});
    else
      always = true;
  }
  return always;
}

void InView::build(const Drawing& d) {
  always_.assign(d.polys.size(), 0);
  texts_.clear();
  references_.clear();
  members_.clear();
  lettersFrom_ = std::numeric_limits<double>::infinity();
  Blocks blocks(d);
  for (std::int32_t i = 0; i < d.anzpoly(); ++i) {
    always_[static_cast<std::size_t>(i)] = note(d, blocks, i, texts_, references_);
    if (d.polys[static_cast<std::size_t>(i)].isblock) members_.push_back(i);
  }
}

bool InView::update(const Drawing& d) {
  const Reparsed& r = d.reparsed;
  // A changed member of a block changes what every reference to it draws.
  if (!built_ || r.whole || r.before != generation_ ||
      std::any_of(r.ranges.begin(), r.ranges.end(), [](const EntryRange& e) { return e.block >= 0; }))
    return false;
  std::int64_t size = static_cast<std::int64_t>(always_.size());
  std::int32_t lastEnd = 0;
  for (const EntryRange& e : r.ranges) {
    if (e.newFirst != e.oldFirst + (size - static_cast<std::int64_t>(always_.size())) || e.oldFirst < lastEnd || e.oldCount < 0 || e.newCount < 0 || e.oldFirst + e.oldCount > static_cast<std::int64_t>(always_.size()) ||
        e.newFirst < 0 || e.newFirst + e.newCount > d.anzpoly())
      return false;
    lastEnd = e.oldFirst + e.oldCount;
    size += e.newCount - e.oldCount;
    for (std::int32_t i = e.newFirst; i < e.newFirst + e.newCount; ++i)
      if (d.polys[static_cast<std::size_t>(i)].isblock) return false;
  }
  if (size != static_cast<std::int64_t>(d.polys.size())) return false;
  // The entries between the ranges move by what the ranges before them
  // grew or shrank; those of the ranges are noted anew.
  std::vector<std::uint8_t> always;
  std::vector<Boxed> texts, references;
  always.reserve(d.polys.size());
  texts.reserve(texts_.size());
  references.reserve(references_.size());
  std::size_t at = 0, text = 0, reference = 0;
  std::int64_t shift = 0;
  auto keepBoxes = [&](const std::vector<Boxed>& from, std::size_t& k, std::int32_t end, std::vector<Boxed>& to) {
    for (; k < from.size() && from[k].entry < end; ++k)
      if (from[k].entry >= static_cast<std::int32_t>(at))
        to.push_back({static_cast<std::int32_t>(from[k].entry + shift), from[k].box});
  };
  std::vector<std::int32_t> members;
  members.reserve(members_.size());
  std::size_t member = 0;
  auto keep = [&](std::int32_t end) {
    always.insert(always.end(), always_.begin() + static_cast<std::ptrdiff_t>(at), always_.begin() + end);
    for (; member < members_.size() && members_[member] < end; ++member)
      if (members_[member] >= static_cast<std::int32_t>(at))
        members.push_back(static_cast<std::int32_t>(members_[member] + shift));
    keepBoxes(texts_, text, end, texts);
    keepBoxes(references_, reference, end, references);
  };
  Blocks blocks(d);
  for (const EntryRange& e : r.ranges) {
    keep(e.oldFirst);
    for (std::int32_t i = e.newFirst; i < e.newFirst + e.newCount; ++i)
      always.push_back(note(d, blocks, i, texts, references));
    at = static_cast<std::size_t>(e.oldFirst + e.oldCount);
    shift += e.newCount - e.oldCount;
  }
  keep(static_cast<std::int32_t>(always_.size()));
  always_.swap(always);
  texts_.swap(texts);
  references_.swap(references);
  members_.swap(members);
  return true;
}

void InView::refresh(const Drawing& d) {
  indexed_ = index_.current(d);
  entries_ = d.polys.size();
  if (indexed_) prepare(d);
}

void InView::prepare(const Drawing& d) {
  if (built_ && generation_ == d.generation && always_.size() == d.polys.size()) return;
  if (!update(d)) build(d);
  built_ = true;
  generation_ = d.generation;
}

void InView::entries(const WorldBox& part, double margin, const WorldBox& shown, double blockMargin,
                     std::vector<std::int32_t>& out) const {
  const WorldBox wide{part.minx - margin, part.miny - margin, part.maxx + margin, part.maxy + margin};
  if (!indexed_ || index_.Inside(wide)) {
    // All of the drawing, or nothing known of it: every entry.
    out.reserve(out.size() + entries_);
    for (std::size_t i = 0; i < entries_; ++i) out.push_back(static_cast<std::int32_t>(i));
    return;
  }
  std::vector<std::uint8_t> marks = always_;
  for (const Boxed& t : texts_)
    if (Meet(t.box, wide)) marks[static_cast<std::size_t>(t.entry)] = 1;
  const WorldBox blocks{shown.minx - blockMargin, shown.miny - blockMargin, shown.maxx + blockMargin,
                        shown.maxy + blockMargin};
  for (const Boxed& r : references_)
    if (Meet(r.box, blocks)) marks[static_cast<std::size_t>(r.entry)] = 1;
  std::vector<std::uint32_t> runs;
  index_.Find(wide, runs);
  for (const std::uint32_t r : runs) {
    const auto e = static_cast<std::size_t>(index_.run(r).entry);
    if (e < marks.size()) marks[e] = 1;
  }
  for (std::size_t i = 0; i < marks.size(); ++i)
    if (marks[i]) out.push_back(static_cast<std::int32_t>(i));
}

}  // namespace vestrel
