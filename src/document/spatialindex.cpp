#include "document/spatialindex.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "document/workers.h"
#include "geometry/floats.h"

namespace vestrel {

namespace {

// Children of a node of the tree.
constexpr std::uint32_t kFanOut = 16;

// The box around the finite points added; none until one was.
struct BoxBuilder {
  WorldBox box;
  bool any = false;
  void add(const Tmypoi& q) {
    if (!std::isfinite(q.x) || !std::isfinite(q.y)) return;
    if (!any) {
      box = {q.x, q.y, q.x, q.y};
      any = true;
      return;
    }
    box.minx = std::min(box.minx, q.x), box.maxx = std::max(box.maxx, q.x);
    box.miny = std::min(box.miny, q.y), box.maxy = std::max(box.maxy, q.y);
  }
};

FloatBox Outwards(const WorldBox& b) {
  return {FloatBelow(b.minx), FloatBelow(b.miny), FloatAbove(b.maxx), FloatAbove(b.maxy)};
}

bool Meet(const FloatBox& a, const WorldBox& b) {
  return a.minx <= b.maxx && b.minx <= a.maxx && a.miny <= b.maxy && b.miny <= a.maxy;
}

FloatBox Union(const FloatBox& a, const FloatBox& b) {
  return {std::min(a.minx, b.minx), std::min(a.miny, b.miny), std::max(a.maxx, b.maxx), std::max(a.maxy, b.maxy)};
}

// Halves first: the middle of the largest boxes stays finite.
double MiddleX(const FloatBox& b) { return b.minx / 2.0 + b.maxx / 2.0; }
double MiddleY(const FloatBox& b) { return b.miny / 2.0 + b.maxy / 2.0; }

// The bits of v as a float, in the order of the numbers: what the boxes
// are sorted by. The order need not be exact, only close.
std::uint32_t OrderedBits(double v) {
  constexpr double kLargest = std::numeric_limits<float>::max();
  const auto f = static_cast<float>(v > -kLargest ? std::min(v, kLargest) : -kLargest);
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u & 0x80000000u ? ~u : u | 0x80000000u;
}

using Keyed = std::pair<std::uint32_t, std::uint32_t>;  // sort key, item

// Sorts [first, last) by key, a byte at a time, keeping the order of equal
// keys; `spare` has room for as many.
void RadixSort(Keyed* first, Keyed* last, Keyed* spare) {
  Keyed *from = first, *to = spare;
  const auto n = static_cast<std::size_t>(last - first);
  for (int shift = 0; shift < 32; shift += 8) {
    std::size_t start[257] = {};
    for (std::size_t i = 0; i < n; ++i) ++start[((from[i].first >> shift) & 255) + 1];
    for (int b = 0; b < 256; ++b) start[b + 1] += start[b];
    for (std::size_t i = 0; i < n; ++i) to[start[(from[i].first >> shift) & 255]++] = from[i];
    std::swap(from, to);
  }
  // Four passes: the sorted keys are back where they came from.
}

// Sort-tile-recursive order of n items: in slabs by x, each slab by y, so
// that every kFanOut consecutive items lie close together. `box(i)` gives
// item i's box; keys[k].second is the item that comes k-th. `spare` is
// room to work in.
template <class BoxOf>
void TileOrder(std::size_t n, BoxOf box, std::vector<Keyed>& keys, std::vector<Keyed>& spare) {
  keys.resize(n);
  for (std::size_t i = 0; i < n; ++i) keys[i] = {OrderedBits(MiddleX(box(i))), static_cast<std::uint32_t>(i)};
  if (n <= kFanOut) return;
  spare.resize(n);
  RadixSort(keys.data(), keys.data() + n, spare.data());
  const std::size_t groups = (n + kFanOut - 1) / kFanOut;
  const auto slabs = static_cast<std::size_t>(std::ceil(std::sqrt(static_cast<double>(groups))));
  const std::size_t slab = ((groups + slabs - 1) / slabs) * kFanOut;
  for (std::size_t s = 0; s < n; s += slab) {
    Keyed* const first = keys.data() + s;
    Keyed* const last = keys.data() + std::min(n, s + slab);
    for (Keyed* k = first; k != last; ++k) k->first = OrderedBits(MiddleY(box(k->second)));
    RadixSort(first, last, spare.data());
  }
}

}  // namespace

bool SpatialIndex::current(const Drawing& d) const {
  return built_ && generation_ == d.generation && polys_ == d.polys.size() && points_ == d.points.size() &&
         snaps_ == d.snaps.size();
}

bool SpatialIndex::Refresh(const Drawing& d, const std::function<void()>& alongside) {
  const bool updated = !current(d) && Update(d);
  if (!current(d)) {
    Build(d, alongside);
    return false;
  }
  if (alongside) alongside();
  return updated;
}

bool SpatialIndex::Update(const Drawing& d) {
  const Reparsed& r = d.reparsed;
  if (!built_ || r.whole || r.before != generation_) return false;
  // The entries read again, in the order of the list; each run of an entry
  // after them moves by what those before it grew or shrank.
  std::int64_t polys = static_cast<std::int64_t>(polys_), bound = 0;
  std::int32_t lastEnd = 0;
  for (const EntryRange& e : r.ranges) {
    if (e.oldFirst < lastEnd || e.oldCount < 0 || e.newCount < 0 || e.newFirst < 0 ||
        e.newFirst + e.newCount > d.anzpoly())
      return false;
    lastEnd = e.oldFirst + e.oldCount;
    polys += e.newCount - e.oldCount;
    for (std::int32_t i = e.newFirst; i < e.newFirst + e.newCount; ++i)
      bound += static_cast<std::int64_t>(MostRuns(d.polys[static_cast<std::size_t>(i)]));
  }
  if (polys != static_cast<std::int64_t>(d.polys.size()) || lastEnd > static_cast<std::int64_t>(polys_)) return false;
  // Runs kept beside the tree are searched one by one, and dropped ones
  // cost their place in it: a few are cheaper than a build, many are not.
  const std::size_t most = 1024 + tree_ / 64;
  if (runs_.size() - tree_ + static_cast<std::size_t>(bound) > most || dropped_ > tree_ / 4) return false;

  // Until it is done the index is of no parse, as in a build.
  built_ = false;
  std::vector<std::int64_t> shift(r.ranges.size());  // what the ranges up to each one added
  std::int64_t added = 0;
  for (std::size_t k = 0; k < r.ranges.size(); ++k) shift[k] = added += r.ranges[k].newCount - r.ranges[k].oldCount;
  for (Run& run : runs_) {
    if (Dropped(run)) continue;
    // The last range that starts at or before the run's entry.
    const auto after = std::upper_bound(r.ranges.begin(), r.ranges.end(), run.entry,
                                        [](std::int32_t entry, const EntryRange& e) { return entry < e.oldFirst; });
    if (after == r.ranges.begin()) continue;
    const std::size_t k = static_cast<std::size_t>(after - r.ranges.begin()) - 1;
    if (run.entry < r.ranges[k].oldFirst + r.ranges[k].oldCount) {
      run.count = 0;
      ++dropped_;
    } else {
      run.entry = static_cast<std::int32_t>(run.entry + shift[k]);
    }
  }
  for (const EntryRange& e : r.ranges)
    for (std::int32_t i = e.newFirst; i < e.newFirst + e.newCount; ++i) {
      const std::size_t at = runs_.size();
      runs_.resize(at + MostRuns(d.polys[static_cast<std::size_t>(i)]));
      runs_.resize(at + AddRuns(d, i, runs_.data() + at));
    }
  generation_ = d.generation;
  polys_ = d.polys.size(), points_ = d.points.size(), snaps_ = d.snaps.size();
  built_ = true;
  return true;
}

void SpatialIndex::Build(const Drawing& d, const std::function<void()>& alongside) {
  // Until the build is done, the index is of no parse (a build that runs
  // out of memory leaves it so, and the next one starts again).
  built_ = false;
  tree_ = dropped_ = 0;
  runs_.clear();
  nodes_.clear();
  levels_.clear();
  // Stretches of entries find their runs on the machine's cores, each into
  // room for the most it can have; then the runs are closed up, in the
  // entries' order.
  constexpr std::size_t kStretch = 2048;
  const std::size_t n = d.polys.size(), stretches = (n + kStretch - 1) / kStretch;
  std::vector<std::size_t> room(stretches + 1), found(stretches);
  for (std::size_t s = 0; s < stretches; ++s) {
    room[s + 1] = room[s];
    for (std::size_t i = s * kStretch; i < std::min(n, (s + 1) * kStretch); ++i) room[s + 1] += MostRuns(d.polys[i]);
  }
  if (runs_.capacity() < room.back()) runs_ = std::vector<Run>(), runs_.reserve(room.back());
  runs_.resize(room.back());
  RunInRuns(
      n, kStretch, WorkerCount(), [] { return 0; },
      [&](int, std::size_t s, std::size_t from, std::size_t to) {
        std::size_t k = room[s];
        for (std::size_t i = from; i < to; ++i) k += AddRuns(d, static_cast<std::int32_t>(i), runs_.data() + k);
        found[s] = k - room[s];
      });
  std::size_t end = 0;
  for (std::size_t s = 0; s < stretches; ++s) {
    std::copy_n(runs_.begin() + static_cast<std::ptrdiff_t>(room[s]), found[s],
                runs_.begin() + static_cast<std::ptrdiff_t>(end));
    end += found[s];
  }
  runs_.resize(end);
  if (alongside)
    RunTasks(2, [&](int k) { k == 0 ? Pack() : alongside(); });
  else
    Pack();
  tree_ = runs_.size();
  generation_ = d.generation;
  polys_ = d.polys.size(), points_ = d.points.size(), snaps_ = d.snaps.size();
  built_ = true;
}

std::size_t SpatialIndex::AddRuns(const Drawing& d, std::int32_t entry, Run* out) {
  const tpoly& p = d.polys[static_cast<std::size_t>(entry)];
  std::size_t made = 0;
  auto add = [&](RunKind kind, std::int32_t from, std::int32_t count, std::int32_t before, const BoxBuilder& b) {
    if (!b.any) return;
    // Whether the pointer is near a segment is worked out in doubles on
    // the screen: along a segment of astronomic length they lose so much
    // that "near" reaches a little beyond its ends, by far less than a
    // trillionth of its length. The box reaches a trillionth farther.
    WorldBox box = b.box;
    const double slack = ((box.maxx - box.minx) + (box.maxy - box.miny)) * 1e-12;
    box.minx -= slack, box.miny -= slack, box.maxx += slack, box.maxy += slack;
    out[made++] = {Outwards(box), entry, from, before, static_cast<std::uint8_t>(count), kind};
  };
  if (p.anzp > 0 && p.psfrom + p.stored() <= d.points.size()) {
    const auto pts = d.ps(p);
    const auto n = static_cast<std::int32_t>(pts.size());
    // The closing segment runs back to where the outline's last piece
    // began: its first drawn point, or the last one that starts a piece
    // without a segment leading to it.
    std::int32_t pieceStart = -1, lastDrawn = -1;
    for (std::int32_t s = 0; s < n; s += kRunLength) {
      const std::int32_t count = std::min(kRunLength, n - s);
      BoxBuilder b;
      if (lastDrawn >= 0) b.add(pts[static_cast<std::size_t>(lastDrawn)]);
      const std::int32_t before = lastDrawn;
      for (std::int32_t j = s; j < s + count; ++j) {
        const Tmypoi& q = pts[static_cast<std::size_t>(j)];
        b.add(q);
        if (q.donotdraw) continue;
        if (pieceStart < 0 || q.moveonly) pieceStart = j;
        lastDrawn = j;
      }
      add(RunKind::Points, s, count, before, b);
    }
    if (p.isclosed && lastDrawn != pieceStart) {
      BoxBuilder b;
      b.add(pts[static_cast<std::size_t>(lastDrawn)]);
      b.add(pts[static_cast<std::size_t>(pieceStart)]);
      add(RunKind::Closing, lastDrawn, 1, pieceStart, b);
    }
  }
  if (p.anzs > 0 && p.snapfrom + static_cast<std::size_t>(p.anzs) <= d.snaps.size()) {
    const std::span<const Tmypoi> snaps = d.snap(p);
    const auto n = static_cast<std::int32_t>(snaps.size());
    for (std::int32_t s = 0; s < n; s += kRunLength) {
      const std::int32_t count = std::min(kRunLength, n - s);
      BoxBuilder b;
      for (std::int32_t j = s; j < s + count; ++j) b.add(snaps[static_cast<std::size_t>(j)]);
      add(RunKind::Snaps, s, count, -1, b);
    }
  }
  return made;
}

void SpatialIndex::Pack() {
  // The leaves: kFanOut runs each, in the order the runs are put in.
  std::vector<Keyed> keys, spare;
  TileOrder(runs_.size(), [&](std::size_t i) -> const FloatBox& { return runs_[i].box; }, keys, spare);
  order_.resize(runs_.size());
  for (std::size_t i = 0; i < runs_.size(); ++i) order_[i] = keys[i].second;
  std::vector<Keyed>().swap(keys), std::vector<Keyed>().swap(spare);  // the room goes back
  std::vector<Node> level, ordered;
  for (std::size_t i = 0; i < order_.size(); i += kFanOut) {
    const auto last = static_cast<std::uint32_t>(std::min(order_.size(), i + kFanOut));
    Node n{runs_[order_[i]].box, static_cast<std::uint32_t>(i), last};
    for (std::uint32_t k = n.first + 1; k < last; ++k) n.box = Union(n.box, runs_[order_[k]].box);
    level.push_back(n);
  }
  // Each level above groups kFanOut nodes of the one below, up to one root.
  while (!level.empty()) {
    TileOrder(level.size(), [&](std::size_t i) -> const FloatBox& { return level[i].box; }, keys, spare);
    ordered.resize(level.size());
    for (std::size_t i = 0; i < level.size(); ++i) ordered[i] = level[keys[i].second];
    level.swap(ordered);
    const auto below = static_cast<std::uint32_t>(nodes_.size());
    nodes_.insert(nodes_.end(), level.begin(), level.end());
    levels_.push_back(below);
    if (level.size() == 1) break;
    std::vector<Node> up;
    for (std::size_t i = 0; i < level.size(); i += kFanOut) {
      const auto last = static_cast<std::uint32_t>(std::min(level.size(), i + kFanOut));
      Node n{level[i].box, below + static_cast<std::uint32_t>(i), below + last};
      for (std::size_t k = i + 1; k < last; ++k) n.box = Union(n.box, level[k].box);
      up.push_back(n);
    }
    level = std::move(up);
  }
}

bool SpatialIndex::Inside(const WorldBox& box) const {
  auto inside = [&](const FloatBox& b) {
    return box.minx <= b.minx && b.maxx <= box.maxx && box.miny <= b.miny && b.maxy <= box.maxy;
  };
  for (std::size_t i = tree_; i < runs_.size(); ++i)
    if (!Dropped(runs_[i]) && !inside(runs_[i].box)) return false;
  return levels_.empty() || inside(nodes_[levels_.back()].box);
}

void SpatialIndex::Find(const WorldBox& box, std::vector<std::uint32_t>& out) const {
  for (std::size_t i = tree_; i < runs_.size(); ++i)
    if (!Dropped(runs_[i]) && Meet(runs_[i].box, box)) out.push_back(static_cast<std::uint32_t>(i));
  if (levels_.empty()) return;
  // Node indexes still to look into; a node below the leaves' level holds
  // nodes, a leaf holds runs.
  std::uint32_t stack[64 * kFanOut];
  std::size_t top = 0;
  const std::uint32_t leaves = static_cast<std::uint32_t>(levels_.size() > 1 ? levels_[1] : nodes_.size());
  stack[top++] = levels_.back();
  while (top > 0) {
    const Node& n = nodes_[stack[--top]];
    if (!Meet(n.box, box)) continue;
    const bool leaf = static_cast<std::size_t>(&n - nodes_.data()) < leaves;
    for (std::uint32_t k = n.first; k < n.last; ++k) {
      if (leaf) {
        const Run& r = runs_[order_[k]];
        if (!Dropped(r) && Meet(r.box, box)) out.push_back(order_[k]);
      } else {
        stack[top++] = k;
      }
    }
  }
}

}  // namespace vestrel
