#include "view/cutcheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <deque>
#include <numeric>
#include <unordered_map>

#include "document/tabscope.h"
#include "geometry/crossings.h"
#include "geometry/segments.h"
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
// Of a crowd of candidates, so many are looked at: what keeps a hostile
// drawing (ten thousand lines through one point) linear.
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

// The cell of v among cells of `size` (clamped to what the numbers hold),
// and the side its nearer neighbour lies on: whatever lies within half a
// cell of v lies in one of the two.
struct Cell {
  std::int64_t k = 0;
  int side = 1;
};
Cell CellOf(double v, double size) {
  const double x = std::clamp(v / size, -4e18, 4e18);
  const double k = std::floor(x);
  if (!std::isfinite(k)) return {};
  return {static_cast<std::int64_t>(k), x - k < 0.5 ? -1 : 1};
}

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
  Path path;
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
// the caller gives; a bucket's ids are found by halving. (One sorted list,
// no allocation per bucket.)
class Buckets {
 public:
  struct Item {
    BucketKey key;
    std::size_t id = 0;
  };
  void add(const BucketKey& key, std::size_t id) { items_.push_back({key, id}); }
  template <class Less>
  void sort(Less within) {
    std::sort(items_.begin(), items_.end(), [&](const Item& x, const Item& y) {
      return x.key != y.key ? x.key < y.key : within(x.id, y.id);
    });
  }
  // The ids of bucket `key` that come after `id` in the order it was sorted by.
  template <class Less>
  std::pair<const Item*, const Item*> after(const BucketKey& key, std::size_t id, Less within) const {
    const auto [lo, hi] = std::equal_range(items_.begin(), items_.end(), Item{key, 0},
                                           [](const Item& x, const Item& y) { return x.key < y.key; });
    const auto from = std::upper_bound(lo, hi, id, [&](std::size_t v, const Item& x) { return within(v, x.id); });
    return {items_.data() + (from - items_.begin()), items_.data() + (hi - items_.begin())};
  }

 private:
  std::vector<Item> items_;
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
    shortSegments();
    ends();
    overlaps();
    parts();
    std::stable_sort(out_.findings.begin(), out_.findings.end(),
                     [](const CutFinding& a, const CutFinding& b) { return a.kind < b.kind; });
    for (const CutFinding& f : out_.findings) ++out_.counts[static_cast<std::size_t>(f.kind)];
    return std::move(out_);
  }

 private:
  void find(Kind kind, std::size_t entry, Point2 at, const CutBox& box, double width = 0,
            std::size_t other = kNone) {
    CutFinding f;
    f.kind = kind, f.entry = entry, f.other = other, f.at = at, f.box = box, f.width = width;
    if (entry < d_.polys.size()) f.type = d_.value(d_.polys[entry].linefrom + 1);
    out_.findings.push_back(f);
  }

  // The curves of the shown objects; what draws nothing of any length, and
  // what the machines do not take, as findings.
  void collect(int tab) {
    const TabScope scope = TabScope::OfTab(d_, tab);
    Blocks blocks(d_);
    std::vector<Contour> got;
    for (std::size_t i = 0; i < d_.polys.size(); ++i) {
      const tpoly& p = d_.polys[i];
      if (p.kind == vestrel::Kind::VIEWPORT || !scope.shows(p) || !blocks.shown(p)) continue;
      if (NotCut(p.kind)) {
        const CutBox box = Flat(DrawnBox(d_, p, blocks));
        find(Kind::NotCut, i, Centre(box), box);
        if (p.kind != vestrel::Kind::INSERT) continue;
      }
      got.clear();
      if (!AddContours(d_, blocks, i, got)) {
        // A kind without an outline to cut along (a mesh is a surface).
        const CutBox box = Flat(DrawnBox(d_, p, blocks));
        find(Kind::NotCut, i, Centre(box), box);
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
        curves_.push_back(std::move(curve));
      }
      if (!drawn && p.kind != vestrel::Kind::INSERT) {
        CutBox box = Flat(DrawnBox(d_, p, blocks));
        for (const Tmypoi& v : d_.ps(p))
          if (!v.donotdraw) box.add(Point2{v.x, v.y});
        find(Kind::ZeroLength, i, Centre(box), box);
      }
    }
  }

  // Segments and arcs shorter than the tolerance, and of no length, inside
  // the curves (not the chords a spline is measured by).
  void shortSegments() {
    for (const Curve& c : curves_) {
      if (c.chords) continue;
      for (const Piece& piece : c.path.pieces) {
        const double l = Length(piece);
        if (l < tol_ || l <= eps_) find(Kind::ShortSegment, c.entry, Mid(piece.a, piece.b), BoxOf(piece), l);
      }
    }
  }

  // The ends of the open curves: those that meet (within the numbers'
  // precision) chain the curves into contours; those within the tolerance
  // but apart are near ends; a chain with a free end is an open contour.
  void ends() {
    const std::size_t n = curves_.size();
    std::vector<Point2> at(2 * n);
    for (std::size_t k = 0; k < n; ++k)
      if (!curves_[k].closed) at[2 * k] = curves_[k].path.pieces.front().a, at[2 * k + 1] = curves_[k].path.pieces.back().b;
    // Cells twice the tolerance wide: ends within reach lie in the cell of
    // one or in a neighbour on its nearer side.
    const double cell = 2 * std::max(tol_, eps_);
    auto key = [](std::int64_t x, std::int64_t y) { return BucketKey{false, x, y, 0}; };
    const auto byEnd = [](std::size_t e, std::size_t f) { return e < f; };
    Buckets grid;
    for (std::size_t e = 0; e < 2 * n; ++e)
      if (!curves_[e / 2].closed) grid.add(key(CellOf(at[e].x, cell).k, CellOf(at[e].y, cell).k), e);
    grid.sort(byEnd);
    UnionFind meet(2 * n);
    std::vector<bool> reported(2 * n, false);  // an end already named as near another
    for (std::size_t e = 0; e < 2 * n; ++e) {
      if (curves_[e / 2].closed) continue;
      const Cell x = CellOf(at[e].x, cell), y = CellOf(at[e].y, cell);
      int looked = 0;
      std::size_t nearest = kNone;
      double nearestGap = 0;
      for (const std::int64_t cx : {x.k, x.k + x.side})
        for (const std::int64_t cy : {y.k, y.k + y.side}) {
          const auto [from, to] = grid.after(key(cx, cy), e, byEnd);
          for (const Buckets::Item* it = from; it != to && looked < kCrowd; ++it) {
            const std::size_t* f = &it->id;
            const double gap = Apart(at[e], at[*f]);
            ++looked;
            if (gap > tol_ && gap > eps_) continue;
            if (gap <= eps_) {
              meet.unite(e, *f);
            } else if (!(*f == e + 1 && e % 2 == 0 && curves_[e / 2].path.pieces.size() < 2 &&
                         !curves_[e / 2].path.pieces.front().elliptic) &&
                       (nearest == kNone || gap < nearestGap)) {
              nearest = *f, nearestGap = gap;
            }
          }
        }
      if (nearest != kNone && !reported[nearest]) {
        reported[nearest] = true;
        CutBox box;
        box.add(at[e]), box.add(at[nearest]);
        find(Kind::NearEnds, curves_[e / 2].entry, Mid(at[e], at[nearest]), box, nearestGap,
             curves_[nearest / 2].entry);
      }
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
    struct Chain {
      std::vector<std::size_t> curves, free;
      bool simple = true;  // every meeting point joins two ends
      CutBox box;
    };
    std::unordered_map<std::size_t, Chain> chains;
    for (std::size_t k = 0; k < n; ++k) {
      if (curves_[k].closed) {
        Loop l;
        l.path = curves_[k].path, l.length = curves_[k].length, l.area = curves_[k].area, l.box = curves_[k].box;
        loops_.push_back(std::move(l));
        crossing(curves_[k].path, curves_[k].entry, true);
        continue;
      }
      Chain& c = chains[chain.root(k)];
      c.curves.push_back(k);
      c.box.add(curves_[k].box);
      for (const std::size_t e : {2 * k, 2 * k + 1}) {
        const std::size_t s = size[meet.root(e)];
        if (s == 1) c.free.push_back(e);
        if (s != 2) c.simple = false;
      }
    }
    out_.contours = static_cast<int>(loops_.size() + chains.size());
    // In the order of the curves, so that the findings come in the drawing's order.
    for (std::size_t k = 0; k < n; ++k) {
      if (curves_[k].closed || chain.root(k) != k) continue;
      const Chain& c = chains[k];
      if (!c.free.empty()) {
        for (const std::size_t j : c.curves) crossing(curves_[j].path, curves_[j].entry, false);
        const Point2 a = at[c.free.front()], b = c.free.size() > 1 ? at[c.free[1]] : a;
        find(Kind::OpenContour, curves_[c.free.front() / 2].entry, Mid(a, b), c.box, Apart(a, b));
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
        const Path part = reversed ? Reversed(curves_[i].path) : curves_[i].path;
        l.path.pieces.insert(l.path.pieces.end(), part.pieces.begin(), part.pieces.end());
        l.length += curves_[i].length;
        const std::size_t next = other(2 * i + (reversed ? 0 : 1));
        i = next / 2, reversed = next % 2 == 1;
        if (i == k) break;
      }
      l.path.closed = true;
      l.area = SignedArea(l.path);
      crossing(l.path, curves_[k].entry, true);
      loops_.push_back(std::move(l));
    }
  }

  // Where a contour crosses or touches itself away from the points where
  // its pieces follow each other; the first such point as a finding.
  void crossing(const Path& path, std::size_t entry, bool closed) {
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
  // it lies on.
  void overlaps() {
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
          double start = arc->sweep < 0 ? arc->start + arc->sweep : arc->start;
          const double sweep = std::min(std::abs(arc->sweep), 2 * kPi);
          start = std::fmod(start, 2 * kPi);
          if (start < 0) start += 2 * kPi;
          const Cell x = CellOf(arc->c.x - origin.x, q), y = CellOf(arc->c.y - origin.y, q), r = CellOf(arc->r, q);
          const BucketKey key{true, x.k, y.k, r.k}, side{true, x.side, y.side, r.side};
          add(key, side, {k, &piece, start * arc->r, std::min(start + sweep, 2 * kPi) * arc->r});
          if (start + sweep > 2 * kPi) add(key, side, {k, &piece, 0, (start + sweep - 2 * kPi) * arc->r});
        } else if (!piece.elliptic) {
          Point2 u{(piece.b.x - piece.a.x) / l, (piece.b.y - piece.a.y) / l};
          if (u.y < 0 || (u.y == 0 && u.x < 0)) u = {-u.x, -u.y};
          double theta = std::atan2(u.y, u.x);
          if (theta >= kPi - qa) theta -= kPi;
          const Cell ka = CellOf(theta, qa);
          const double bucketAngle = (static_cast<double>(ka.k) + 0.5) * qa;
          const Point2 along{std::cos(bucketAngle), std::sin(bucketAngle)}, across{-along.y, along.x};
          const Point2 a = Sub(piece.a, origin), b = Sub(piece.b, origin);
          const Cell ko = CellOf(Dot(across, a), q);
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
    std::unordered_map<std::size_t, Over> found;
    for (std::size_t s = 0; s < spans.size(); ++s) {
      const BucketKey &key = keys[s], &side = sides[s];
      for (const std::int64_t da : {std::int64_t{0}, side.a})
        for (const std::int64_t db : {std::int64_t{0}, side.b})
          for (int ic = 0; ic < (key.circle ? 2 : 1); ++ic) {
            const std::int64_t dc = ic == 0 ? 0 : side.c;
            const auto [from, to] = buckets.after({key.circle, key.a + da, key.b + db, key.c + dc}, s, before);
            int looked = 0;
            for (const Buckets::Item* c = from; c != to && looked < kCrowd && spans[c->id].t0 <= spans[s].t1 + q;
                 ++c, ++looked) {
              const Span& x = spans[s];
              const Span& y = spans[c->id];
              if (x.curve == y.curve && x.piece == y.piece) continue;
              const Shared shared = key.circle ? onCircle(x, y) : onLine(x, y);
              if (!(shared.length > tol_ || shared.same)) continue;
              const std::size_t later = std::max(x.curve, y.curve), earlier = std::min(x.curve, y.curve);
              Over& o = found[later];
              if (o.with == kNone) o.with = earlier, o.at = shared.mid;
              if (o.with != earlier) continue;
              o.length += shared.length;
              o.box.add(shared.from), o.box.add(shared.to), o.box.add(shared.mid);
            }
          }
    }
    std::vector<std::size_t> later;
    for (const auto& [k, o] : found) later.push_back(k);
    std::sort(later.begin(), later.end());
    for (const std::size_t k : later) {
      const Over& o = found[k];
      const bool whole =
          o.with != k && o.length >= entered[k] - tol_ - eps_ && o.length >= entered[o.with] - tol_ - eps_;
      find(whole ? Kind::Duplicate : Kind::Overlap, curves_[k].entry, o.at, o.box, o.length, curves_[o.with].entry);
    }
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
      const Point2 p = l.path.pieces.front().a;
      // Its container: among the larger loops seen so far (their boxes
      // hold p), the smallest that winds round p.
      auto consider = [&](std::size_t i) {
        const Loop& o = loops_[i];
        if (p.x < o.box.minx || p.x > o.box.maxx || p.y < o.box.miny || p.y > o.box.maxy) return;
        // (A contour drawn twice is no hole in itself.)
        if (!(std::abs(o.area) > std::abs(l.area) * (1 + 1e-9))) return;
        if (l.parent != kNone && std::abs(loops_[l.parent].area) <= std::abs(o.area)) return;
        if (WindingNumber(o.path, p) != 0) l.parent = i;
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
