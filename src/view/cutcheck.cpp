#include "view/cutcheck.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <deque>
#include <numeric>
#include <unordered_map>

#include "document/tabscope.h"
#include "document/workers.h"
#include "geometry/crossings.h"
#include "geometry/segments.h"
#include "view/cutgrid.h"
#include "view/measure.h"

namespace vestrel {

void CutBox::add(Point2 p) {
  if (!std::isfinite(p.x) || !std::isfinite(p.y)) return;
  if (empty) {
    minx = maxx = p.x, miny = maxy = p.y, empty = false;
    return;
  }
  minx = std::min(minx, p.x), maxx = std::max(maxx, p.x);
  miny = std::min(miny, p.y), maxy = std::max(maxy, p.y);
}

void CutBox::add(const CutBox& b) {
  if (!b.empty) add(Point2{b.minx, b.miny}), add(Point2{b.maxx, b.maxy});
}

bool CutCheck::ready() const {
  for (std::size_t k = 0; k < counts.size(); ++k)
    if (counts[k] > 0 && static_cast<CutFinding::Kind>(k) != CutFinding::Kind::NotCut) return false;
  return true;
}

std::string_view FindingName(CutFinding::Kind k) {
  switch (k) {
    case CutFinding::Kind::OpenContour: return "open_contour";
    case CutFinding::Kind::NearEnds: return "near_ends";
    case CutFinding::Kind::Duplicate: return "duplicate";
    case CutFinding::Kind::Overlap: return "overlap";
    case CutFinding::Kind::ShortSegment: return "short_segment";
    case CutFinding::Kind::ZeroLength: return "zero_length";
    case CutFinding::Kind::SelfCrossing: return "self_crossing";
    case CutFinding::Kind::NotCut: return "not_cut";
  }
  return "";
}

namespace {

using Kind = CutFinding::Kind;
constexpr std::size_t kNone = CutFinding::kNone;
// Of a crowd of candidates that start after a piece, so many are looked at
// (those that start before it are met through the one reaching farthest),
// and so many pieces of a contour are crossed with each: what keeps a
// hostile drawing linear.
constexpr int kCrowd = 64;

Point2 Mid(Point2 a, Point2 b) { return {(a.x + b.x) / 2, (a.y + b.y) / 2}; }
double Apart(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }
Point2 Centre(const CutBox& b) { return {(b.minx + b.maxx) / 2, (b.miny + b.maxy) / 2}; }

// The box of a piece: its ends and, on an arc, the points where it turns
// through the axes' directions.
CutBox BoxOf(const Piece& piece) {
  CutBox box;
  box.add(piece.a), box.add(piece.b);
  if (piece.elliptic) {
    const Conic& k = piece.conic;
    // x = c.x + u.x cos t + v.x sin t is extreme where tan t = v.x / u.x.
    for (const double t : {std::atan2(k.v.x, k.u.x), std::atan2(k.v.y, k.u.y)})
      for (const double s : {t, t + kPi})
        if (k.full || k.covers(s)) box.add(k.at(s));
  } else if (const auto arc = CircleOf(piece)) {
    for (int q = 0; q < 4; ++q) {
      const double angle = q * kPi / 2;
      // How far past the start the arc reaches that angle, the way it turns.
      double past = std::remainder(arc->sweep > 0 ? angle - arc->start : arc->start - angle, 2 * kPi);
      if (past < 0) past += 2 * kPi;
      if (past <= std::abs(arc->sweep))
        box.add(Point2{arc->c.x + arc->r * std::cos(angle), arc->c.y + arc->r * std::sin(angle)});
    }
  }
  return box;
}

CutBox BoxOf(const Path& path) {
  CutBox box;
  for (const Piece& p : path.pieces) box.add(BoxOf(p));
  return box;
}

double Dot(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }
Point2 Sub(Point2 a, Point2 b) { return {a.x - b.x, a.y - b.y}; }

// The size of the numbers of a box: what "one point" is measured against.
double Scale(const CutBox& b) {
  return b.empty ? 1 : std::max({1.0, std::abs(b.minx), std::abs(b.maxx), std::abs(b.miny), std::abs(b.maxy)});
}

CutBox Flat(const Box3& b) {
  CutBox box;
  if (!b.empty) box.add(Point2{b.minx, b.miny}), box.add(Point2{b.maxx, b.maxy});
  return box;
}

// The kinds the machines do not take: listed, not cut. (A block reference
// is listed, and what it draws is checked as drawn.)
bool NotCut(vestrel::Kind k) {
  switch (k) {
    case vestrel::Kind::TEXT:
    case vestrel::Kind::MTEXT:
    case vestrel::Kind::ATTRIB:
    case vestrel::Kind::DIMENSION:
    case vestrel::Kind::LEADER:
    case vestrel::Kind::MULTILEADER:
    case vestrel::Kind::HATCH:
    case vestrel::Kind::POINT:
    case vestrel::Kind::INSERT:
    case vestrel::Kind::RAY:
    case vestrel::Kind::XLINE:
    case vestrel::Kind::WIPEOUT: return true;
    default: return false;
  }
}

// One curve an object draws, as measured.
struct Curve {
  Path path;
  double length = 0, area = 0;
  bool closed = false;
  bool chords = false;  // the path flattens a spline: its pieces are not the drawing's
  std::size_t entry = 0;
  std::string_view type;
  CutBox box;
};

// A contour that closes: one closed curve, or a chain of curves whose
// ends meet in pairs.
struct Loop {
  std::size_t curve = kNone;  // a closed curve, else `chained`: the curves of a chain one after the other
  Path chained;
  double length = 0, area = 0;
  CutBox box;
  std::size_t parent = kNone;
  int depth = 0;
};

class UnionFind {
 public:
  explicit UnionFind(std::size_t n) : up_(n) { std::iota(up_.begin(), up_.end(), std::size_t{0}); }
  std::size_t root(std::size_t i) {
    while (up_[i] != i) i = up_[i] = up_[up_[i]];
    return i;
  }
  void unite(std::size_t a, std::size_t b) {
    a = root(a), b = root(b);
    if (a != b) up_[std::max(a, b)] = std::min(a, b);
  }

 private:
  std::vector<std::size_t> up_;
};

// The end points in a tree of boxes halved along their longer side: the
// points that meet one, and the nearest one a test accepts, in about
// log n steps each. A box no wider than the numbers' precision is one
// point to both questions, so that no crowd of points costs more than
// its size.
class PointTree {
 public:
  // The tree of those of `points` that `among` names.
  PointTree(const std::vector<Point2>& points, std::vector<std::size_t> among, double eps)
      : p_(points), eps_(eps), order_(std::move(among)) {
    nodes_.resize(order_.size());
    if (!order_.empty()) build(0, order_.size());
  }

  // Of the points near `q`: `meet` is called with each point within the
  // precision of it (with one of a group no wider than the precision that
  // lies wholly there); the nearest one within `r` and beyond the
  // precision that `accept` takes is returned, or kNone.
  template <class Meet, class Accept>
  std::size_t search(Point2 q, double r, Meet meet, Accept accept) const {
    Search<Meet, Accept> s{q, std::max(r, eps_) * std::max(r, eps_), r * r, kNone, meet, accept};
    if (!order_.empty()) search(0, order_.size(), s);
    return s.best;
  }

 private:
  struct Node {
    CutBox box;
    bool alongX = true;
    bool tight = false;  // no wider than the precision
  };
  static constexpr std::size_t kLeaf = 8;

  void build(std::size_t lo, std::size_t hi) {
    const std::size_t mid = lo + (hi - lo) / 2;
    Node& node = nodes_[mid];
    for (std::size_t i = lo; i < hi; ++i) node.box.add(p_[order_[i]]);
    node.alongX = node.box.maxx - node.box.minx >= node.box.maxy - node.box.miny;
    node.tight = Squared({node.box.minx, node.box.miny}, {node.box.maxx, node.box.maxy}) <= eps_ * eps_;
    if (hi - lo <= kLeaf) return;
    const bool x = node.alongX;
    std::nth_element(order_.begin() + static_cast<std::ptrdiff_t>(lo), order_.begin() + static_cast<std::ptrdiff_t>(mid),
                     order_.begin() + static_cast<std::ptrdiff_t>(hi), [&](std::size_t a, std::size_t b) {
                       return x ? p_[a].x < p_[b].x : p_[a].y < p_[b].y;
                     });
    build(lo, mid);
    build(mid + 1, hi);
  }

  // Squared distances (no square roots on the way down): to the nearest
  // and the farthest point of a box, between two points.
  static double Near(const CutBox& b, Point2 q) {
    const double dx = std::max({b.minx - q.x, 0.0, q.x - b.maxx}), dy = std::max({b.miny - q.y, 0.0, q.y - b.maxy});
    return dx * dx + dy * dy;
  }
  static double Far(const CutBox& b, Point2 q) {
    const double dx = std::max(q.x - b.minx, b.maxx - q.x), dy = std::max(q.y - b.miny, b.maxy - q.y);
    return dx * dx + dy * dy;
  }
  static double Squared(Point2 a, Point2 b) { return (a.x - b.x) * (a.x - b.x) + (a.y - b.y) * (a.y - b.y); }

  template <class Meet, class Accept>
  struct Search {
    Point2 q;
    double reach;  // squared: how far a point may still matter
    double within; // squared: how far the nearest may lie
    std::size_t best;
    Meet& meet;
    Accept& accept;
  };

  template <class Meet, class Accept>
  void search(std::size_t lo, std::size_t hi, Search<Meet, Accept>& s) const {
    if (lo >= hi) return;
    const std::size_t mid = lo + (hi - lo) / 2;
    const Node& node = nodes_[mid];
    if (!(Near(node.box, s.q) <= s.reach)) return;
    // A tight box wholly within the precision of q: one meeting point, and
    // no candidate.
    if (node.tight && Far(node.box, s.q) <= eps_ * eps_) return s.meet(order_[mid]);
    auto consider = [&](std::size_t i) {
      const double d = Squared(p_[i], s.q);
      if (d <= eps_ * eps_) return s.meet(i);
      if (d <= s.within && (s.best == kNone || d < s.within || i < s.best) && s.accept(i))
        s.best = i, s.within = d, s.reach = std::max(d, eps_ * eps_);
    };
    if (hi - lo <= kLeaf) {
      for (std::size_t i = lo; i < hi; ++i) consider(order_[i]);
      return;
    }
    consider(order_[mid]);
    // The side of q first.
    if (node.alongX ? s.q.x <= p_[order_[mid]].x : s.q.y <= p_[order_[mid]].y) {
      search(lo, mid, s), search(mid + 1, hi, s);
    } else {
      search(mid + 1, hi, s), search(lo, mid, s);
    }
  }

  const std::vector<Point2>& p_;
  double eps_;
  std::vector<std::size_t> order_;
  std::vector<Node> nodes_;
};

// A piece on the line or circle it runs on, from t0 to t1 along it (in
// drawing units).
struct Span {
  std::size_t curve = 0;
  const Piece* piece = nullptr;
  double t0 = 0, t1 = 0;
};
struct BucketKey {
  bool circle = false;
  std::int64_t a = 0, b = 0, c = 0;
  auto operator<=>(const BucketKey&) const = default;
};

// Ids in buckets: sorted once by bucket, and within a bucket in the order
// the caller gives; a bucket's ids are found through a hash table of where
// each bucket begins and ends. (One sorted list, no allocation per bucket.)
class Buckets {
 public:
  struct Item {
    BucketKey key;
    std::size_t id = 0;
    std::size_t from = 0, to = 0;  // its bucket's items
  };
  // The ids of a bucket: all of them from `lo`, those after a given id from `from`.
  struct Range {
    const Item *lo = nullptr, *from = nullptr, *to = nullptr;
  };
  void add(const BucketKey& key, std::size_t id) { items_.push_back({key, id}); }
  template <class Less>
  void sort(Less within) {
    std::sort(items_.begin(), items_.end(), [&](const Item& x, const Item& y) {
      return x.key != y.key ? x.key < y.key : within(x.id, y.id);
    });
    // An open-addressed table of the buckets, at most half full: one
    // probe of memory for most look-ups.
    std::size_t groups = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) groups += i == 0 || items_[i].key != items_[i - 1].key;
    std::size_t size = 16;
    while (size < 2 * groups) size *= 2;
    table_.assign(size, Slot{});
    tags_.assign(size, 0);
    // Four bits a bucket, at least a word.
    std::size_t bits = 64;
    while (bits < 4 * groups) bits *= 2;
    filter_.assign(bits / 64, 0);
    for (std::size_t i = 0, j = 0; i < items_.size(); i = j) {
      for (j = i + 1; j < items_.size() && items_[j].key == items_[i].key;) ++j;
      for (std::size_t k = i; k < j; ++k) items_[k].from = i, items_[k].to = j;
      const std::size_t hash = Hash(items_[i].key);
      std::size_t h = hash & (size - 1);
      while (tags_[h] != 0) h = (h + 1) & (size - 1);
      table_[h] = {items_[i].key, i};
      tags_[h] = Tag(hash);
      const std::size_t bit = Bit(hash, filter_.size());
      filter_[bit / 64] |= std::uint64_t{1} << (bit % 64);
    }
  }
  const std::vector<Item>& items() const { return items_; }
  // The ids of bucket `key`, and those that come after `id` in the order it was sorted by.
  template <class Less>
  Range after(const BucketKey& key, std::size_t id, Less within) const {
    const Slot* slot = find(key);
    if (!slot) return {};
    const Item* lo = items_.data() + slot->first;
    const Item* hi = items_.data() + lo->to;
    const Item* from = std::upper_bound(lo, hi, id, [&](std::size_t v, const Item& x) { return within(v, x.id); });
    return {lo, from, hi};
  }
  // The same for the item at `index` of items(), in its own bucket: no
  // search within the bucket.
  Range afterItem(std::size_t index) const {
    const Item& item = items_[index];
    return {items_.data() + item.from, items_.data() + index + 1, items_.data() + item.to};
  }

 private:
  // splitmix64's finaliser over the three numbers: neighbouring cells land
  // far apart.
  static std::size_t Hash(const BucketKey& k) {
    auto mix = [](std::uint64_t h) {
      h = (h ^ (h >> 30)) * 0xBF58476D1CE4E5B9ull;
      h = (h ^ (h >> 27)) * 0x94D049BB133111EBull;
      return h ^ (h >> 31);
    };
    std::uint64_t h = mix(static_cast<std::uint64_t>(k.a) + (k.circle ? 0x9E3779B97F4A7C15ull : 0));
    h = mix(h ^ static_cast<std::uint64_t>(k.b));
    return static_cast<std::size_t>(mix(h ^ static_cast<std::uint64_t>(k.c)));
  }
  // A slot's tag: a byte of its key's hash, never 0 (0: the slot is empty).
  static std::uint8_t Tag(std::size_t hash) { return static_cast<std::uint8_t>(hash >> 56) | 1; }
  // A bucket's bit in the filter of `words` words (a power of two).
  static std::size_t Bit(std::size_t hash, std::size_t words) { return (hash >> 20) & (64 * words - 1); }
  struct Slot {
    BucketKey key;
    std::size_t first = 0;  // the bucket's first item
  };
  // Most look-ups are of empty buckets beside a span's own: a filter of a
  // bit for every key that may be there answers most of them from the
  // processor's cache, and the tags, a byte a slot, most of the others
  // without reading the slots themselves.
  const Slot* find(const BucketKey& key) const {
    if (table_.empty()) return nullptr;
    const std::size_t hash = Hash(key), mask = table_.size() - 1;
    const std::size_t bit = Bit(hash, filter_.size());
    if (!(filter_[bit / 64] >> (bit % 64) & 1)) return nullptr;
    const std::uint8_t tag = Tag(hash);
    for (std::size_t h = hash & mask; tags_[h] != 0; h = (h + 1) & mask)
      if (tags_[h] == tag && table_[h].key == key) return &table_[h];
    return nullptr;
  }
  std::vector<Item> items_;
  std::vector<Slot> table_;
  std::vector<std::uint8_t> tags_;
  std::vector<std::uint64_t> filter_;
};

// Where two pieces lie on each other: the length they share and its ends.
struct Shared {
  double length = 0;
  Point2 from, to, mid;
  bool same = false;  // the two have the same ends
};

class Checker {
 public:
  Checker(const Drawing& d, double tolerance) : d_(d), tol_(tolerance) {}

  CutCheck run(int tab) {
    collect(tab);
    for (const Curve& c : curves_) box_.add(c.box);
    eps_ = 1e-9 * Scale(box_);
    // The overlaps only read the curves: they are sought on another core
    // while the ends and the short segments are. (Each kind of finding
    // comes from one of them, in its own order.)
    std::vector<CutFinding> shorts, overlapping;
    RunTasks(2, [&](int task) {
      if (task == 0) {
        ends();
        shorts = shortSegments();
      } else {
        overlapping = overlaps();
      }
    });
    out_.findings.insert(out_.findings.end(), shorts.begin(), shorts.end());
    out_.findings.insert(out_.findings.end(), overlapping.begin(), overlapping.end());
    parts();
    // By kind, each kind in the order found: counted, then moved into place.
    for (const CutFinding& f : out_.findings) ++out_.counts[static_cast<std::size_t>(f.kind)];
    std::array<std::size_t, CutFinding::kKinds> place{};
    for (std::size_t k = 1; k < place.size(); ++k)
      place[k] = place[k - 1] + static_cast<std::size_t>(out_.counts[k - 1]);
    std::vector<CutFinding> sorted(out_.findings.size());
    for (CutFinding& f : out_.findings) sorted[place[static_cast<std::size_t>(f.kind)]++] = std::move(f);
    out_.findings = std::move(sorted);
    return std::move(out_);
  }

 private:
  CutFinding finding(Kind kind, std::size_t entry, Point2 at, const CutBox& box, double width = 0,
                     std::size_t other = kNone) const {
    CutFinding f;
    f.kind = kind, f.entry = entry, f.other = other, f.at = at, f.box = box, f.width = width;
    if (entry < d_.polys.size()) f.type = d_.value(d_.polys[entry].linefrom + 1);
    return f;
  }
  void find(Kind kind, std::size_t entry, Point2 at, const CutBox& box, double width = 0, std::size_t other = kNone) {
    out_.findings.push_back(finding(kind, entry, at, box, width, other));
  }

  // The curves of the shown objects; what draws nothing of any length, and
  // what the machines do not take, as findings. A long list is shared out
  // to two cores in runs of entries, every other run to each (costly kinds
  // come together in a drawing), and the runs' curves and findings put one
  // after the other as a single pass would have them.
  void collect(int tab) {
    const TabScope scope = TabScope::OfTab(d_, tab);
    const std::size_t n = d_.polys.size();
    std::vector<Collected> got((n + kRun - 1) / kRun);
    RunInRuns(
        n, kRun, n >= kSharedFrom ? 2 : 1, [&] { return Blocks(d_); },
        [&](Blocks& blocks, std::size_t run, std::size_t from, std::size_t to) {
          collect(scope, blocks, from, to, got[run]);
        });
    for (Collected& c : got) {
      curves_.insert(curves_.end(), std::make_move_iterator(c.curves.begin()), std::make_move_iterator(c.curves.end()));
      out_.findings.insert(out_.findings.end(), c.findings.begin(), c.findings.end());
    }
  }
  static constexpr std::size_t kSharedFrom = 20000, kRun = 256;
  struct Collected {
    std::vector<Curve> curves;
    std::vector<CutFinding> findings;
  };
  // Those of the entries from `from` to `to`.
  void collect(const TabScope& scope, Blocks& blocks, std::size_t from, std::size_t to, Collected& out) const {
    std::vector<Contour> got;
    for (std::size_t i = from; i < to; ++i) {
      const tpoly& p = d_.polys[i];
      if (p.kind == vestrel::Kind::VIEWPORT || !scope.shows(p) || !blocks.shown(p)) continue;
      if (NotCut(p.kind)) {
        const CutBox box = Flat(DrawnBox(d_, p, blocks));
        out.findings.push_back(finding(Kind::NotCut, i, Centre(box), box));
        if (p.kind != vestrel::Kind::INSERT) continue;
      }
      got.clear();
      if (!AddContours(d_, blocks, i, got, true)) {
        // A kind without an outline to cut along (a mesh is a surface).
        const CutBox box = Flat(DrawnBox(d_, p, blocks));
        out.findings.push_back(finding(Kind::NotCut, i, Centre(box), box));
        continue;
      }
      bool drawn = false;
      for (Contour& c : got) {
        Curve curve;
        curve.box = BoxOf(c.path);
        if (!IsFinite(c.path) || !(c.length > 1e-9 * Scale(curve.box))) continue;
        drawn = true;
        if (c.path.pieces.empty()) continue;  // (a curve is measured along where it runs)
        curve.length = c.length, curve.area = c.area, curve.closed = c.closed;
        curve.chords = p.kind == vestrel::Kind::SPLINE;
        curve.entry = i;
        curve.path = std::move(c.path);
        out.curves.push_back(std::move(curve));
      }
      if (!drawn && p.kind != vestrel::Kind::INSERT) {
        CutBox box = Flat(DrawnBox(d_, p, blocks));
        for (const Tmypoi& v : d_.ps(p))
          if (!v.donotdraw) box.add(Point2{v.x, v.y});
        out.findings.push_back(finding(Kind::ZeroLength, i, Centre(box), box));
      }
    }
  }

  // Segments and arcs shorter than the tolerance, and of no length, inside
  // the curves (not the chords a spline is measured by).
  std::vector<CutFinding> shortSegments() const {
    std::vector<CutFinding> got;
    for (const Curve& c : curves_) {
      if (c.chords) continue;
      for (const Piece& piece : c.path.pieces) {
        const double l = Length(piece);
        if (l < tol_ || l <= eps_)
          got.push_back(finding(Kind::ShortSegment, c.entry, Mid(piece.a, piece.b), BoxOf(piece), l));
      }
    }
    return got;
  }

  // The ends of the open curves: those that meet (within the numbers'
  // precision) chain the curves into contours; those within the tolerance
  // but apart are near ends; a chain with a free end is an open contour.
  void ends() {
    const std::size_t n = curves_.size();
    std::vector<Point2> at(2 * n);
    // The free ends with their places, sorted by place (kept side by side
    // for the sort).
    struct End {
      Point2 at;
      std::size_t e;
    };
    std::vector<End> open;
    for (std::size_t k = 0; k < n; ++k)
      if (!curves_[k].closed) {
        at[2 * k] = curves_[k].path.pieces.front().a, at[2 * k + 1] = curves_[k].path.pieces.back().b;
        open.push_back({at[2 * k], 2 * k}), open.push_back({at[2 * k + 1], 2 * k + 1});
      }
    UnionFind meet(2 * n);
    // Ends at the very same point are one point of the tree: a crowd of
    // ends drawn to one point costs no more than one end.
    std::sort(open.begin(), open.end(), [](const End& u, const End& v) {
      return u.at.x != v.at.x ? u.at.x < v.at.x : u.at.y != v.at.y ? u.at.y < v.at.y : u.e < v.e;
    });
    std::vector<Point2> points;
    std::vector<std::size_t> first, ends;  // each point's lowest end, and how many ends it has
    for (std::size_t i = 0; i < open.size(); ++i) {
      const std::size_t e = open[i].e;
      if (i > 0 && open[i].at.x == open[i - 1].at.x && open[i].at.y == open[i - 1].at.y) {
        meet.unite(e, first.back());
        first.back() = std::min(first.back(), e), ++ends.back();
        continue;
      }
      points.push_back(open[i].at), first.push_back(e), ends.push_back(1);
    }
    // Most points have no other within reach. The points lie sorted by x:
    // a look at their neighbours in that order tells which, and only the
    // others are put in the tree and ask it (whatever lies within reach of
    // one of them is one of them too).
    const double slab = std::max(tol_, eps_) * (1 + 1e-6);
    auto alone = [&](std::size_t i) {
      int looked = 0;
      for (std::size_t j = i; j-- > 0 && points[i].x - points[j].x <= slab;)
        if (++looked > kCrowd || std::abs(points[j].y - points[i].y) <= slab) return false;
      for (std::size_t j = i + 1; j < points.size() && points[j].x - points[i].x <= slab; ++j)
        if (++looked > kCrowd || std::abs(points[j].y - points[i].y) <= slab) return false;
      return true;
    };
    std::vector<std::size_t> near;
    for (std::size_t i = 0; i < points.size(); ++i)
      if (!alone(i)) near.push_back(i);
    const PointTree tree(points, near, eps_);
    // The ends within the numbers' precision of each other meet; of the
    // others, each point's nearest within the tolerance is a near end (not
    // the other end of its own straight segment: that is a short segment).
    std::vector<std::size_t> nearest(points.size(), kNone);
    std::vector<double> gap(points.size(), 0);
    for (const std::size_t i : near) {
      const std::size_t e = first[i];
      const bool segment = ends[i] == 1 && curves_[e / 2].path.pieces.size() == 1 &&
                           !curves_[e / 2].path.pieces.front().elliptic;
      const auto meets = [&](std::size_t j) { meet.unite(e, first[j]); };
      const auto accept = [&](std::size_t j) { return j != i && !(segment && ends[j] == 1 && first[j] / 2 == e / 2); };
      nearest[i] = tree.search(points[i], tol_, meets, accept);
      if (nearest[i] != kNone) gap[i] = Apart(points[i], points[nearest[i]]);
    }
    // Each pair once, in the order of the drawing.
    std::vector<std::size_t> byEnd(points.size());
    std::iota(byEnd.begin(), byEnd.end(), std::size_t{0});
    std::sort(byEnd.begin(), byEnd.end(), [&](std::size_t i, std::size_t j) { return first[i] < first[j]; });
    std::vector<bool> named(points.size(), false);
    for (const std::size_t i : byEnd) {
      const std::size_t j = nearest[i];
      if (j == kNone || (nearest[j] == i && named[j])) continue;
      named[i] = true;
      CutBox box;
      box.add(points[i]), box.add(points[j]);
      find(Kind::NearEnds, curves_[first[i] / 2].entry, Mid(points[i], points[j]), box, gap[i],
           curves_[first[j] / 2].entry);
    }

    // The ends of each meeting point, and the chains.
    std::vector<std::size_t> size(2 * n, 0), partner(2 * n, kNone);
    for (std::size_t e = 0; e < 2 * n; ++e)
      if (!curves_[e / 2].closed) {
        const std::size_t r = meet.root(e);
        if (++size[r] == 2) partner[r] = e;  // the second end of a meeting point
      }
    UnionFind chain(n);
    for (std::size_t e = 0; e < 2 * n; ++e)
      if (!curves_[e / 2].closed) chain.unite(e / 2, meet.root(e) / 2);
    // Each chain kept at its root curve: its curves in their order as a
    // list through `later`, its first two free ends and how many it has.
    struct Chain {
      std::size_t first = kNone, last = kNone;
      std::array<std::size_t, 2> free{kNone, kNone};
      std::size_t frees = 0;
      bool simple = true;  // every meeting point joins two ends
      CutBox box;
    };
    std::vector<Chain> chains(n);
    std::vector<std::size_t> later(n, kNone);
    std::size_t openChains = 0;
    for (std::size_t k = 0; k < n; ++k) {
      if (curves_[k].closed) {
        Loop l;
        l.curve = k, l.length = curves_[k].length, l.area = curves_[k].area, l.box = curves_[k].box;
        loops_.push_back(std::move(l));
        crossing(curves_[k].path, curves_[k].entry, true);
        continue;
      }
      Chain& c = chains[chain.root(k)];
      if (c.first == kNone) {
        ++openChains, c.first = k;
      } else {
        later[c.last] = k;
      }
      c.last = k;
      c.box.add(curves_[k].box);
      for (const std::size_t e : {2 * k, 2 * k + 1}) {
        const std::size_t s = size[meet.root(e)];
        if (s == 1 && c.frees++ < 2) c.free[c.frees - 1] = e;
        if (s != 2) c.simple = false;
      }
    }
    out_.contours = static_cast<int>(loops_.size() + openChains);
    // In the order of the curves, so that the findings come in the drawing's order.
    for (std::size_t k = 0; k < n; ++k) {
      if (curves_[k].closed || chain.root(k) != k) continue;
      const Chain& c = chains[k];
      if (c.frees > 0) {
        for (std::size_t j = c.first; j != kNone; j = later[j]) crossing(curves_[j].path, curves_[j].entry, false);
        const Point2 a = at[c.free[0]], b = c.frees > 1 ? at[c.free[1]] : a;
        find(Kind::OpenContour, curves_[c.free[0] / 2].entry, Mid(a, b), c.box, Apart(a, b));
        continue;
      }
      if (!c.simple) continue;
      // Round the chain: out at each curve's other end, into the curve
      // whose end meets it.
      auto other = [&](std::size_t e) {
        const std::size_t r = meet.root(e);
        return partner[r] == e ? r : partner[r];
      };
      Loop l;
      l.box = c.box;
      std::size_t i = k;
      bool reversed = false;
      for (std::size_t steps = 0; steps < n; ++steps) {
        std::vector<Piece>& into = l.chained.pieces;
        if (reversed) {
          const Path back = Reversed(curves_[i].path);
          into.insert(into.end(), back.pieces.begin(), back.pieces.end());
        } else {
          into.insert(into.end(), curves_[i].path.pieces.begin(), curves_[i].path.pieces.end());
        }
        l.length += curves_[i].length;
        const std::size_t next = other(2 * i + (reversed ? 0 : 1));
        i = next / 2, reversed = next % 2 == 1;
        if (i == k) break;
      }
      l.chained.closed = true;
      l.area = SignedArea(l.chained);
      crossing(l.chained, curves_[k].entry, true);
      loops_.push_back(std::move(l));
    }
  }

  // Where a contour crosses or touches itself away from the points where
  // its pieces follow each other; the first such point as a finding.
  void crossing(const Path& path, std::size_t entry, bool closed) {
    if (path.pieces.size() < 2) return;
    // (Pieces of no length are passed over: those on either side follow
    // each other.)
    std::vector<Piece> pieces;
    for (const Piece& p : path.pieces)
      if (Length(p) > eps_) pieces.push_back(p);
    const std::size_t m = pieces.size();
    if (m < 2) return;
    std::vector<CutBox> boxes(m);
    std::vector<std::size_t> order(m);
    for (std::size_t i = 0; i < m; ++i) boxes[i] = BoxOf(pieces[i]), order[i] = i;
    std::sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return boxes[a].minx < boxes[b].minx; });
    std::vector<std::size_t> active;
    const double slack = eps_;
    for (const std::size_t i : order) {
      const CutBox& bi = boxes[i];
      std::erase_if(active, [&](std::size_t j) { return boxes[j].maxx < bi.minx - slack; });
      int looked = 0;
      for (const std::size_t j : active) {
        const CutBox& bj = boxes[j];
        if (bj.maxy < bi.miny - slack || bi.maxy < bj.miny - slack) continue;
        if (++looked > kCrowd) break;
        const std::size_t a = std::min(i, j), b = std::max(i, j);
        // The points where the two follow each other.
        std::vector<Point2> joints;
        if (b == a + 1) joints.push_back(pieces[a].b);
        if (closed && a == 0 && b == m - 1) joints.push_back(pieces[0].a);
        for (const Crossing& x : Crossings(pieces[a], pieces[b])) {
          if (std::any_of(joints.begin(), joints.end(), [&](Point2 p) { return Apart(p, x.at) <= 1e3 * slack; }))
            continue;
          CutBox box = BoxOf(path);
          find(Kind::SelfCrossing, entry, x.at, box);
          return;
        }
      }
      active.push_back(i);
    }
  }

  // Pieces lying on each other: pieces are put in buckets by the line or
  // circle they run on (to the tolerance, and to an angle that moves the
  // drawing's far corner by about the tolerance); within a bucket and its
  // neighbours, sorted along it, those that reach into each other are
  // compared. Each curve is reported once, against the first earlier one
  // it lies on; the findings are returned in the order of the curves.
  std::vector<CutFinding> overlaps() const {
    const Point2 origin = Centre(box_);
    const double reach = std::max(Scale(box_), 1.0);
    const double q = 2 * std::max(tol_, eps_);
    const double qa = std::clamp(q / reach, 1e-12, 1e-4);
    std::vector<Span> spans;
    // Each span's bucket, and the buckets beside it on the nearer sides.
    std::vector<BucketKey> keys, sides;
    Buckets buckets;
    auto add = [&](const BucketKey& key, const BucketKey& side, Span s) {
      buckets.add(key, spans.size());
      spans.push_back(s), keys.push_back(key), sides.push_back(side);
    };
    // A spline takes part by a coarser flattening, a chord for every
    // kStride of those it is measured by; `entered` is the length each
    // curve takes part with.
    constexpr std::size_t kStride = 16;
    std::deque<Piece> coarse;
    std::vector<double> entered(curves_.size(), 0);
    for (std::size_t k = 0; k < curves_.size(); ++k) {
      const std::vector<Piece>& pieces = curves_[k].path.pieces;
      const std::size_t stride = curves_[k].chords ? kStride : 1;
      for (std::size_t j = 0; j < pieces.size(); j += stride) {
        if (stride > 1) coarse.push_back(SegmentPiece(pieces[j].a, pieces[std::min(j + stride, pieces.size()) - 1].b));
        const Piece& piece = stride > 1 ? coarse.back() : pieces[j];
        const double l = Length(piece);
        if (!(l > eps_)) continue;
        entered[k] += l;
        if (const auto arc = CircleOf(piece)) {
          const auto [start, sweep] = CounterClockwise(arc->start, arc->sweep);
          const Cell x = CellOf(arc->c.x - origin.x, q), y = CellOf(arc->c.y - origin.y, q), r = CellOf(arc->r, q);
          const BucketKey key{true, x.k, y.k, r.k}, side{true, x.side, y.side, r.side};
          add(key, side, {k, &piece, start * arc->r, std::min(start + sweep, 2 * kPi) * arc->r});
          if (start + sweep > 2 * kPi) add(key, side, {k, &piece, 0, (start + sweep - 2 * kPi) * arc->r});
        } else if (!piece.elliptic) {
          const LineBucket line = LineBucketOf(piece.a, piece.b, origin, q, qa);
          const Cell ka = line.angle, ko = line.offset;
          const Point2 along = line.along, a = Sub(piece.a, origin), b = Sub(piece.b, origin);
          add({false, ka.k, ko.k, 0}, {false, ka.side, ko.side, 0},
              {k, &piece, std::min(Dot(along, a), Dot(along, b)), std::max(Dot(along, a), Dot(along, b))});
        }
      }
    }
    auto before = [&](std::size_t x, std::size_t y) { return spans[x].t0 < spans[y].t0 || (spans[x].t0 == spans[y].t0 && x < y); };
    buckets.sort(before);

    struct Over {
      std::size_t with = kNone;
      double length = 0;
      CutBox box;
      Point2 at;
    };
    // Of each bucket's spans so far in its order, the one that reaches
    // farthest: the earlier-starting span most likely to lie on the next.
    const std::vector<Buckets::Item>& items = buckets.items();
    std::vector<std::size_t> farthest(items.size());
    for (std::size_t i = 0; i < items.size(); ++i) {
      const std::size_t f = i > 0 && items[i - 1].key == items[i].key ? farthest[i - 1] : kNone;
      farthest[i] = f != kNone && spans[items[f].id].t1 >= spans[items[i].id].t1 ? f : i;
    }
    std::vector<std::size_t> position(spans.size());
    for (std::size_t i = 0; i < items.size(); ++i) position[items[i].id] = i;
    // Whether span `c`, looking at those that start after it, has met span
    // `s` already: s lies in a bucket it looks into, among the first of it.
    auto metBy = [&](std::size_t c, std::size_t s) {
      const BucketKey &key = keys[c], &side = sides[c], &at = keys[s];
      const bool looks = at.circle == key.circle && (at.a == key.a || at.a == key.a + side.a) &&
                         (at.b == key.b || at.b == key.b + side.b) &&
                         (!key.circle || at.c == key.c || at.c == key.c + side.c);
      if (!looks) return false;
      const Buckets::Range r = buckets.after(at, c, before);
      return static_cast<std::ptrdiff_t>(position[s]) - (r.from - items.data()) < kCrowd;
    };
    std::unordered_map<std::size_t, Over> found;
    auto compare = [&](std::size_t s, std::size_t c, bool circle) {
      const Span& x = spans[s];
      const Span& y = spans[c];
      if (x.curve == y.curve && x.piece == y.piece) return;
      const Shared shared = circle ? onCircle(x, y) : onLine(x, y);
      if (!(shared.length > tol_ || shared.same)) return;
      const std::size_t later = std::max(x.curve, y.curve), earlier = std::min(x.curve, y.curve);
      Over& o = found[later];
      if (o.with == kNone) o.with = earlier, o.at = shared.mid;
      if (o.with != earlier) return;
      o.length += shared.length;
      o.box.add(shared.from), o.box.add(shared.to), o.box.add(shared.mid);
    };
    for (std::size_t s = 0; s < spans.size(); ++s) {
      const BucketKey &key = keys[s], &side = sides[s];
      for (const std::int64_t da : {std::int64_t{0}, side.a})
        for (const std::int64_t db : {std::int64_t{0}, side.b})
          for (int ic = 0; ic < (key.circle ? 2 : 1); ++ic) {
            const std::int64_t dc = ic == 0 ? 0 : side.c;
            const Buckets::Range r = da == 0 && db == 0 && dc == 0
                                         ? buckets.afterItem(position[s])
                                         : buckets.after({key.circle, key.a + da, key.b + db, key.c + dc}, s, before);
            // Those that start later, as far as they may reach into it (a
            // crowd of them as far as kCrowd: the farthest-reaching one
            // finds each of the crowd in its turn) ...
            int looked = 0;
            for (const Buckets::Item* c = r.from; c != r.to && looked < kCrowd && spans[c->id].t0 <= spans[s].t1 + q;
                 ++c, ++looked)
              compare(s, c->id, key.circle);
            // ... and of those that start before it, the one reaching farthest.
            if (r.from == r.lo) continue;
            const std::size_t far = items[farthest[static_cast<std::size_t>(r.from - items.data()) - 1]].id;
            if (spans[far].t1 >= spans[s].t0 - q && !metBy(far, s)) compare(s, far, key.circle);
          }
    }
    std::vector<std::size_t> later;
    for (const auto& [k, o] : found) later.push_back(k);
    std::sort(later.begin(), later.end());
    std::vector<CutFinding> got;
    for (const std::size_t k : later) {
      const Over& o = found[k];
      const bool whole =
          o.with != k && o.length >= entered[k] - tol_ - eps_ && o.length >= entered[o.with] - tol_ - eps_;
      got.push_back(finding(whole ? Kind::Duplicate : Kind::Overlap, curves_[k].entry, o.at, o.box, o.length,
                            curves_[o.with].entry));
    }
    return got;
  }

  Shared onLine(const Span& x, const Span& y) const {
    Shared r;
    const Piece& p = *x.piece;
    const Piece& q = *y.piece;
    if (CircleOf(q) || q.elliptic) return r;
    for (const Point2 m : {q.a, q.b})
      if (!(std::abs(PerpendicularDistance(m, p.a, p.b)) <= tol_)) return r;
    for (const Point2 m : {p.a, p.b})
      if (!(std::abs(PerpendicularDistance(m, q.a, q.b)) <= tol_)) return r;
    const double l = Length(p);
    const Point2 u{(p.b.x - p.a.x) / l, (p.b.y - p.a.y) / l};
    const double s1 = Dot(Sub(q.a, p.a), u), s2 = Dot(Sub(q.b, p.a), u);
    const double from = std::max(0.0, std::min(s1, s2)), to = std::min(l, std::max(s1, s2));
    r.same = (Apart(p.a, q.a) <= tol_ && Apart(p.b, q.b) <= tol_) || (Apart(p.a, q.b) <= tol_ && Apart(p.b, q.a) <= tol_);
    r.length = std::max(0.0, to - from);
    r.from = {p.a.x + u.x * from, p.a.y + u.y * from}, r.to = {p.a.x + u.x * to, p.a.y + u.y * to};
    r.mid = Mid(r.from, r.to);
    return r;
  }

  Shared onCircle(const Span& x, const Span& y) const {
    Shared r;
    const auto p = CircleOf(*x.piece);
    const auto q = CircleOf(*y.piece);
    if (!p || !q || Apart(p->c, q->c) > tol_ || std::abs(p->r - q->r) > tol_) return r;
    const double from = std::max(x.t0, y.t0), to = std::min(x.t1, y.t1);
    r.same = std::abs(x.t0 - y.t0) <= tol_ && std::abs(x.t1 - y.t1) <= tol_;
    r.length = std::max(0.0, to - from);
    auto on = [&](double t) { return Point2{p->c.x + p->r * std::cos(t / p->r), p->c.y + p->r * std::sin(t / p->r)}; };
    r.from = on(from), r.to = on(to), r.mid = on((from + to) / 2);
    return r;
  }

  // The loops nested: each inside the smallest of the larger ones that
  // holds a point of it; an even depth is the outer contour of a part, an
  // odd one a hole of its parent's part.
  void parts() {
    const std::size_t n = loops_.size();
    std::vector<std::size_t> order(n);
    std::iota(order.begin(), order.end(), std::size_t{0});
    std::stable_sort(order.begin(), order.end(),
                     [&](std::size_t a, std::size_t b) { return std::abs(loops_[a].area) > std::abs(loops_[b].area); });
    // A grid of about one cell per loop; a loop over many cells is looked
    // at from every cell.
    const std::size_t side = std::max<std::size_t>(1, static_cast<std::size_t>(std::sqrt(static_cast<double>(n))));
    const double w = std::max(box_.maxx - box_.minx, eps_) / static_cast<double>(side);
    const double h = std::max(box_.maxy - box_.miny, eps_) / static_cast<double>(side);
    auto column = [&](double x) { return std::min(side - 1, static_cast<std::size_t>(std::max(0.0, (x - box_.minx) / w))); };
    auto row = [&](double y) { return std::min(side - 1, static_cast<std::size_t>(std::max(0.0, (y - box_.miny) / h))); };
    std::vector<std::vector<std::size_t>> cells(side * side);
    std::vector<std::size_t> wide;
    std::vector<std::size_t> part(n, kNone);
    for (const std::size_t j : order) {
      Loop& l = loops_[j];
      // A chain that runs there and back (a line drawn twice) encloses
      // nothing: cut, but no part.
      if (!(std::abs(l.area) > eps_ * l.length)) continue;
      const Point2 p = path(l).pieces.front().a;
      // Its container: among the larger loops seen so far (their boxes
      // hold p), the smallest that winds round p.
      auto consider = [&](std::size_t i) {
        const Loop& o = loops_[i];
        if (p.x < o.box.minx || p.x > o.box.maxx || p.y < o.box.miny || p.y > o.box.maxy) return;
        // (A contour drawn twice is no hole in itself.)
        if (!(std::abs(o.area) > std::abs(l.area) * (1 + 1e-9))) return;
        if (l.parent != kNone && std::abs(loops_[l.parent].area) <= std::abs(o.area)) return;
        if (WindingNumber(path(o), p) != 0) l.parent = i;
      };
      int looked = 0;
      for (const std::size_t i : cells[row(p.y) * side + column(p.x)])
        if (++looked <= 4 * kCrowd) consider(i);
      for (const std::size_t i : wide)
        if (++looked <= 4 * kCrowd) consider(i);
      l.depth = l.parent == kNone ? 0 : loops_[l.parent].depth + 1;
      if (l.depth % 2 == 0) {
        part[j] = out_.parts.size();
        out_.parts.push_back({l.length, 1, std::abs(l.area), l.box});
      } else {
        CutFigures& f = out_.parts[part[l.parent]];
        f.length += l.length, ++f.pierces, f.area -= std::abs(l.area);
      }
      const std::size_t c0 = column(l.box.minx), c1 = column(l.box.maxx), r0 = row(l.box.miny), r1 = row(l.box.maxy);
      if ((c1 - c0 + 1) * (r1 - r0 + 1) > 16) {
        wide.push_back(j);
      } else {
        for (std::size_t r = r0; r <= r1; ++r)
          for (std::size_t c = c0; c <= c1; ++c) cells[r * side + c].push_back(j);
      }
    }
    CutFigures& t = out_.total;
    for (const Curve& c : curves_) t.length += c.length;
    for (const CutFigures& f : out_.parts) t.area += f.area;
    t.pierces = out_.contours;
    t.box = box_;
  }

  const Path& path(const Loop& l) const { return l.curve != kNone ? curves_[l.curve].path : l.chained; }

  const Drawing& d_;
  double tol_;
  double eps_ = 0;
  CutBox box_;
  std::vector<Curve> curves_;
  std::vector<Loop> loops_;
  CutCheck out_;
};

}  // namespace

CutCheck CheckCut(const Drawing& d, int tab, double tolerance) {
  if (!std::isfinite(tolerance) || tolerance < 0) tolerance = kCutTolerance;
  return Checker(d, tolerance).run(tab);
}

}  // namespace vestrel
