#include "view/cutrepair.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "document/tabscope.h"
#include "editing/objectmap.h"
#include "editing/shapes.h"
#include "geometry/join.h"
#include "geometry/segments.h"
#include "view/colors.h"
#include "view/cutgrid.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

constexpr std::size_t kNone = std::numeric_limits<std::size_t>::max();
// Of a crowd of candidates, so many are looked at: what keeps a hostile
// drawing (ten thousand copies of one line) linear.
constexpr int kCrowd = 64;

double Apart(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }
double Dot(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }
Point2 Sub(Point2 a, Point2 b) { return {a.x - b.x, a.y - b.y}; }

// Parameter spans [lo, hi] of a piece, ascending and apart.
using Spans = std::vector<std::pair<double, double>>;

void Subtract(Spans& keep, double lo, double hi) {
  Spans out;
  for (const auto& [a, b] : keep) {
    if (hi <= a || lo >= b) {
      out.emplace_back(a, b);
      continue;
    }
    if (lo > a) out.emplace_back(a, lo);
    if (hi < b) out.emplace_back(hi, b);
  }
  keep = std::move(out);
}

// A line, arc, circle or 2-D polyline of the tab, in the plan.
struct Part {
  EditUnit unit;
  std::vector<Piece> pieces;
  bool closed = false;
  double z = 0;
  // What became of it: of each piece, what no other draws (none while
  // all of it is left).
  std::vector<Spans> keep;
  bool trimmed = false, gone = false, moved = false, joined = false;
};

// What is left of an open part after the overlaps went (or a segment
// closing a gap), as it goes into the join.
struct Fragment {
  std::size_t part = 0;
  Path path;
  bool bridge = false;
  bool joined = false;
};

// The groups a new object copies from the one it replaces (see StartLike).
std::string LookOf(const Drawing& d, const EditUnit& u) {
  std::string look;
  for (std::int32_t k = u.from + 2; k + 1 <= u.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0 || g == 1001) break;
    if (g == 8 || g == 6 || g == 62 || g == 420 || g == 370 || g == 48 || g == 60 || g == 440 || g == 39)
      look.append(std::to_string(g)).append("=").append(d.value(k + 1)).push_back('\n');
  }
  return look;
}

// The part an object makes in the plan: none for a kind the repair does
// not take, for one not lying in the plan, or for a polyline with widths.
std::optional<Part> PlanPart(const Drawing& d, const EditUnit& u) {
  const Shape s = ReadShape(d, u);
  const bool circle = s.kind == "CIRCLE";
  if (!s.finite || !(s.kind == "LINE" || s.kind == "ARC" || circle || s.polyline)) return std::nullopt;
  if (std::any_of(s.widths.begin(), s.widths.end(), [](const SegmentWidth& w) { return w.start != 0 || w.end != 0; }))
    return std::nullopt;
  Part part;
  part.unit = u;
  if (s.line) {
    if (std::abs(s.a.z - s.b.z) > 1e-9 * (1 + std::abs(s.a.z))) return std::nullopt;
    part.z = s.a.z;
    part.pieces.push_back(SegmentPiece({s.a.x, s.a.y}, {s.b.x, s.b.y}));
  } else {
    const double n = Norm(s.normal);
    if (std::abs(s.normal.x) > 1e-12 * n || std::abs(s.normal.y) > 1e-12 * n) return std::nullopt;
    const Placement own = ObjectCoordinates(s.normal);
    const double turn = s.normal.z > 0 ? 1 : -1;  // seen from below, an arc turns the other way
    part.z = World(s, own, {0, 0}).z;
    if (circle) {
      const Conic& k = s.path.pieces.front().conic;
      const Point3 c = World(s, own, k.c);
      const double r = std::hypot(k.u.x, k.u.y);
      const Point2 e{c.x + r, c.y}, w{c.x - r, c.y};
      part.pieces = {BulgePiece(e, w, 1), BulgePiece(w, e, 1)};
      part.closed = true;
    } else {
      for (const Piece& p : s.path.pieces) {
        const Point3 a = World(s, own, p.a), b = World(s, own, p.b);
        part.pieces.push_back(BulgePiece({a.x, a.y}, {b.x, b.y}, turn * p.bulge));
      }
      part.closed = s.path.closed;
    }
  }
  if (part.pieces.empty()) return std::nullopt;
  return part;
}

struct Key {
  bool circle = false;
  std::int64_t a = 0, b = 0, c = 0;
  bool operator==(const Key&) const = default;
};
struct KeyHash {
  std::size_t operator()(const Key& k) const {
    std::uint64_t h = k.circle ? 0x9E3779B97F4A7C15ull : 0;
    for (const std::int64_t v : {k.a, k.b, k.c}) h = (h ^ static_cast<std::uint64_t>(v)) * 0x100000001B3ull;
    return static_cast<std::size_t>(h ^ (h >> 29));
  }
};

// A filter of the keys in use: most cells looked at are empty, and a bit
// tells so without the cache miss of a hash table.
class KeyFilter {
 public:
  void add(const Key& k) { bits_[Bit(k) / 64] |= std::uint64_t{1} << (Bit(k) % 64); }
  bool mayHold(const Key& k) const { return (bits_[Bit(k) / 64] >> (Bit(k) % 64)) & 1; }

 private:
  static constexpr std::size_t kBits = std::size_t{1} << 22;
  static std::size_t Bit(const Key& k) { return KeyHash{}(k) & (kBits - 1); }
  std::vector<std::uint64_t> bits_ = std::vector<std::uint64_t>(kBits / 64);
};

// Ends in cells twice the reach wide: those within reach of an end lie in
// its cell or in the neighbours on its nearer sides.
class EndGrid {
 public:
  EndGrid(double reach, std::size_t ends) : cell_(2 * reach) { cells_.reserve(ends); }
  void add(Point2 p, std::size_t e) {
    const Key k{false, CellOf(p.x, cell_).k, CellOf(p.y, cell_).k, 0};
    cells_[k].push_back(e);
    used_.add(k);
  }
  // f(e) for the ends near p, the first kCrowd of them that `counts`.
  template <class Counts, class F>
  void near(Point2 p, Counts counts, F f) const {
    const Cell x = CellOf(p.x, cell_), y = CellOf(p.y, cell_);
    int looked = 0;
    for (const std::int64_t cx : {x.k, x.k + x.side})
      for (const std::int64_t cy : {y.k, y.k + y.side}) {
        const Key k{false, cx, cy, 0};
        if (!used_.mayHold(k)) continue;
        const auto it = cells_.find(k);
        if (it == cells_.end()) continue;
        for (const std::size_t e : it->second)
          if (looked < kCrowd && counts(e)) ++looked, f(e);
      }
  }

 private:
  double cell_;
  std::unordered_map<Key, std::vector<std::size_t>, KeyHash> cells_;
  KeyFilter used_;
};

class Repairer {
 public:
  Repairer(DocumentContext& c, double tolerance, double gaps) : c_(c), d_(c.drawing), tol_(tolerance), gaps_(gaps) {}

  CutRepair run() {
    collect();
    if (parts_.empty()) return nothing();
    overlaps();
    fragments();
    ends();
    if (gaps_ > tol_) bridges();
    join();
    return commit();
  }

 private:
  CutRepair nothing() const {
    CutRepair r = report_;
    r.status = CutRepair::Status::NothingToRepair;
    return r;
  }

  // The parts: what the tab shows outside blocks on layers shown and not
  // locked.
  void collect() {
    const TabScope scope = TabScope::OfTab(d_, c_.tab);
    const StyleTables tables(d_);
    double extent = 1;
    for (std::int32_t i = 0; i < d_.anzpoly(); ++i) {
      const tpoly& p = d_.polys[static_cast<std::size_t>(i)];
      if (p.isblock || !scope.shows(p)) continue;
      if (p.kind != Kind::LINE && p.kind != Kind::ARC && p.kind != Kind::CIRCLE && p.kind != Kind::LWPOLYLINE &&
          p.kind != Kind::POLYLINE)
        continue;
      const LayerLook layer = tables.layer(p);
      if (layer.off || layer.locked) continue;
      std::optional<Part> part = PlanPart(d_, {p.linefrom, p.linebis, i});
      if (!part) continue;
      for (const Piece& piece : part->pieces) {
        extent = std::max({extent, std::abs(piece.a.x), std::abs(piece.a.y), std::abs(piece.b.x), std::abs(piece.b.y)});
        box_.minx = std::min(box_.minx, std::min(piece.a.x, piece.b.x));
        box_.maxx = std::max(box_.maxx, std::max(piece.a.x, piece.b.x));
        box_.miny = std::min(box_.miny, std::min(piece.a.y, piece.b.y));
        box_.maxy = std::max(box_.maxy, std::max(piece.a.y, piece.b.y));
      }
      parts_.push_back(std::move(*part));
    }
    eps_ = 1e-9 * extent;
    reach_ = extent;
  }

  // Pieces lying on pieces drawn before them: taken out where they lie.
  // Closed parts come first and are kept whole unless all of them lies on
  // others; then open polylines, then lines and arcs, each in the
  // drawing's order. Pieces are found through buckets of the line or
  // circle they run on, as the check finds them.
  void overlaps() {
    origin_ = {(box_.minx + box_.maxx) / 2, (box_.miny + box_.maxy) / 2};
    q_ = 2 * std::max(tol_, eps_);
    qa_ = std::clamp(q_ / std::max(reach_, 1.0), 1e-12, 1e-4);
    accepted_.reserve(parts_.size());
    std::vector<std::size_t> order(parts_.size());
    for (std::size_t i = 0; i < order.size(); ++i) order[i] = i;
    auto rank = [&](std::size_t i) { return parts_[i].closed ? 0 : parts_[i].pieces.size() > 1 ? 1 : 2; };
    std::stable_sort(order.begin(), order.end(), [&](std::size_t a, std::size_t b) { return rank(a) < rank(b); });
    for (const std::size_t i : order) {
      Part& part = parts_[i];
      if (part.closed) {
        if (std::all_of(part.pieces.begin(), part.pieces.end(), [&](const Piece& p) { return uncovered(p).empty(); })) {
          part.gone = true;
          ++report_.duplicates;
          continue;
        }
        for (const Piece& p : part.pieces) accept(p);
        continue;
      }
      // An open part piece by piece: a piece that runs back over one
      // before it lies on it too.
      bool left = false;
      for (std::size_t k = 0; k < part.pieces.size(); ++k) {
        Spans keep = uncovered(part.pieces[k]);
        if (keep.size() != 1 || keep.front() != std::pair{0.0, 1.0}) {
          // What is left beside a piece that lies on another is kept only
          // where it is longer than the tolerance.
          const double length = Length(part.pieces[k]);
          std::erase_if(keep, [&](const auto& s) { return (s.second - s.first) * length <= tol_; });
          part.trimmed = true;
        }
        for (const auto& [lo, hi] : keep) accept(SubPiece(part.pieces[k], lo, hi));
        left = left || !keep.empty();
        if (part.trimmed && part.keep.empty()) part.keep.assign(part.pieces.size(), Spans{{0.0, 1.0}});
        if (part.trimmed) part.keep[k] = std::move(keep);
      }
      if (!left) {
        part.gone = true, part.trimmed = false;
        ++report_.duplicates;
      } else if (part.trimmed) {
        ++report_.overlaps;
      }
    }
  }

  // The line a straight piece runs on: its bucket, its neighbours on the
  // nearer sides, and the direction its spans are measured along.
  struct Frame {
    Key key, side;
    Point2 along;
  };
  Frame LineFrame(const Piece& p) const {
    const LineBucket line = LineBucketOf(p.a, p.b, origin_, q_, qa_);
    return {{false, line.angle.k, line.offset.k, 0}, {false, line.angle.side, line.offset.side, 0}, line.along};
  }
  Point2 AlongOf(const Key& k) const {
    const double angle = (static_cast<double>(k.a) + 0.5) * qa_;
    return {std::cos(angle), std::sin(angle)};
  }
  Frame CircleFrame(const ArcShape& arc) const {
    const Cell x = CellOf(arc.c.x - origin_.x, q_), y = CellOf(arc.c.y - origin_.y, q_), r = CellOf(arc.r, q_);
    return {{true, x.k, y.k, r.k}, {true, x.side, y.side, r.side}, {}};
  }

  // The spans a piece takes in its bucket: along the line, or the angles
  // (counter-clockwise, split where they pass 2 pi) round the circle.
  Spans SpansIn(const Piece& p, const Key& key) const {
    if (key.circle) {
      const auto arc = CircleOf(p);
      const auto [start, sweep] = CounterClockwise(arc->start, arc->sweep);
      if (start + sweep <= 2 * kPi) return {{start, start + sweep}};
      return {{start, 2 * kPi}, {0, start + sweep - 2 * kPi}};
    }
    const Point2 along = AlongOf(key);
    const double s = Dot(along, Sub(p.a, origin_)), t = Dot(along, Sub(p.b, origin_));
    return {{std::min(s, t), std::max(s, t)}};
  }

  template <class F>
  void EachKey(const Frame& f, F&& visit) const {
    for (const std::int64_t da : {std::int64_t{0}, std::int64_t{f.side.a}})
      for (const std::int64_t db : {std::int64_t{0}, std::int64_t{f.side.b}})
        for (const std::int64_t dc : {std::int64_t{0}, std::int64_t{f.key.circle ? f.side.c : 0}}) {
          visit(Key{f.key.circle, f.key.a + da, f.key.b + db, f.key.c + dc});
          if (!f.key.circle) break;
        }
  }

  std::optional<Frame> FrameOf(const Piece& p) const {
    if (!(Length(p) > eps_) || p.elliptic) return std::nullopt;
    if (const auto arc = CircleOf(p)) return CircleFrame(*arc);
    return LineFrame(p);
  }

  // What of piece `p` no piece accepted before draws, as spans of its
  // parameter.
  Spans uncovered(const Piece& p) const {
    Spans keep{{0.0, 1.0}};
    const std::optional<Frame> frame = FrameOf(p);
    if (!frame) return keep;
    const double length = Length(p);
    EachKey(*frame, [&](const Key& key) {
      if (!used_.mayHold(key)) return;
      const auto bucket = accepted_.find(key);
      if (bucket == accepted_.end()) return;
      const auto& spans = bucket->second.spans;
      for (const auto& [lo, hi] : SpansIn(p, key)) {
        // Back over the spans that start before lo and may reach it.
        auto it = spans.lower_bound(lo);
        for (int back = 0; back < kCrowd && it != spans.begin() && std::prev(it)->first + bucket->second.longest > lo;
             ++back)
          --it;
        for (int looked = 0; it != spans.end() && it->first < hi && looked < 2 * kCrowd; ++it, ++looked) {
          if (it->second.hi <= lo) continue;
          for (const auto& [s0, s1] : covered(p, it->second.piece))
            if ((s1 - s0) * length > tol_ || (s0 <= 0 && s1 >= 1)) Subtract(keep, s0, s1);
          if (keep.empty()) return;
        }
      }
    });
    return keep;
  }

  void accept(const Piece& p) {
    const std::optional<Frame> frame = FrameOf(p);
    if (!frame) return;
    pieces_.push_back(p);
    Bucket& bucket = accepted_[frame->key];
    used_.add(frame->key);
    for (const auto& [lo, hi] : SpansIn(p, frame->key)) {
      bucket.spans.emplace(lo, Accepted{hi, pieces_.size() - 1});
      bucket.longest = std::max(bucket.longest, hi - lo);
    }
  }

  // Where piece `q` covers piece `p` (lying on the same line or circle
  // within the tolerance): spans of p's parameter.
  Spans covered(const Piece& p, std::size_t qi) const {
    const Piece& q = pieces_[qi];
    const auto pc = CircleOf(p), qc = CircleOf(q);
    if (pc.has_value() != qc.has_value()) return {};
    if (!pc) {
      for (const Point2 m : {q.a, q.b})
        if (!(std::abs(PerpendicularDistance(m, p.a, p.b)) <= tol_)) return {};
      for (const Point2 m : {p.a, p.b})
        if (!(std::abs(PerpendicularDistance(m, q.a, q.b)) <= tol_)) return {};
      const double l = Length(p);
      const Point2 u{(p.b.x - p.a.x) / l, (p.b.y - p.a.y) / l};
      const double s1 = Dot(Sub(q.a, p.a), u) / l, s2 = Dot(Sub(q.b, p.a), u) / l;
      const double lo = std::max(0.0, std::min(s1, s2)), hi = std::min(1.0, std::max(s1, s2));
      return hi > lo ? Spans{{lo, hi}} : Spans{};
    }
    if (Apart(pc->c, qc->c) > tol_ || std::abs(pc->r - qc->r) > tol_) return {};
    // Both counter-clockwise from p's lower end; q's span where it falls
    // on p, once and once round.
    const double pFrom = pc->sweep > 0 ? pc->start : pc->start + pc->sweep, pLength = std::abs(pc->sweep);
    const double qFrom = qc->sweep > 0 ? qc->start : qc->start + qc->sweep, qLength = std::abs(qc->sweep);
    double off = std::fmod(qFrom - pFrom, 2 * kPi);
    if (off < 0) off += 2 * kPi;
    Spans out;
    for (const double start : {off - 2 * kPi, off}) {
      const double lo = std::max(0.0, start), hi = std::min(pLength, start + qLength);
      if (hi <= lo) continue;
      // p's parameter runs from its start, which is its lower end only
      // when it turns counter-clockwise.
      if (pc->sweep > 0)
        out.emplace_back(lo / pLength, hi / pLength);
      else
        out.emplace_back(1 - hi / pLength, 1 - lo / pLength);
    }
    std::sort(out.begin(), out.end());
    return out;
  }

  // The open parts as the runs of pieces that are left of them.
  void fragments() {
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      const Part& part = parts_[i];
      if (part.gone || part.closed) continue;
      Path run;
      auto flush = [&] {
        if (!run.pieces.empty() && Length(run) > eps_) fragments_.push_back({i, std::move(run)});
        run = {};
      };
      if (part.keep.empty()) {
        fragments_.push_back({i, {part.pieces, false}});
        continue;
      }
      for (std::size_t k = 0; k < part.pieces.size(); ++k) {
        const Spans& keep = part.keep[k];
        if (keep.size() == 1 && keep.front() == std::pair{0.0, 1.0}) {
          run.pieces.push_back(part.pieces[k]);
          continue;
        }
        if (keep.empty()) flush();
        for (const auto& [lo, hi] : keep) {
          if (lo > 0) flush();
          run.pieces.push_back(SubPiece(part.pieces[k], lo, hi));
          if (hi < 1) flush();
        }
      }
      flush();
    }
  }

  // Ends that meet (within the numbers' precision) made one point; then
  // free ends (those that meet no other) within the tolerance of one
  // another paired, the nearest first, the later moving onto the earlier.
  // Where more ends crowd, or a free end lies near a point where two meet
  // already, nothing is certain and all stays. A single piece's two ends
  // never go to one point, but an arc that nearly closes is halved, so
  // that its ends can meet.
  void ends() {
    for (Fragment& f : fragments_) {
      if (f.path.pieces.size() != 1 || !CircleOf(f.path.pieces.front())) continue;
      const Piece p = f.path.pieces.front();
      if (Apart(p.a, p.b) <= tol_ && std::abs(CircleOf(p)->sweep) > kPi)
        f.path.pieces = {SubPiece(p, 0, 0.5), SubPiece(p, 0.5, 1)};
    }
    const std::size_t n = 2 * fragments_.size();
    EndGrid grid(eps_, n);
    for (std::size_t e = 0; e < n; ++e) grid.add(endAt(e), e);
    rep_.assign(n, kNone);
    for (std::size_t e = 0; e < n; ++e) {
      if (rep_[e] != kNone) continue;
      rep_[e] = e;
      const Point2 p = endAt(e);
      grid.near(p, [&](std::size_t f) { return rep_[f] == kNone; }, [&](std::size_t f) {
        if (fragments_[f / 2].path.pieces.size() < 2 && rep_[f ^ 1] == e) return;
        if (Apart(p, endAt(f)) <= eps_) rep_[f] = e, endAt(f) = p;
      });
    }
    degree_.assign(n, 0);
    for (std::size_t e = 0; e < n; ++e) ++degree_[rep_[e]];
    for (const auto& [gap, e, f] : freePairs(tol_, false)) {
      if (gap > eps_) parts_[fragments_[f / 2].part].moved = true, ++report_.ends;
      endAt(f) = endAt(e);
      rep_[f] = rep_[e];
      ++degree_[rep_[e]];
    }
  }

  // End e of the fragments: 2k the start of fragment k, 2k + 1 its end.
  Point2& endAt(std::size_t e) {
    Path& path = fragments_[e / 2].path;
    return e % 2 == 0 ? path.pieces.front().a : path.pieces.back().b;
  }

  // The free ends within `reach` of one another, in pairs, the nearest
  // first; not the two ends of a single piece (`arcs`: but for an arc's).
  struct Pair {
    double gap;
    std::size_t e, f;
  };
  std::vector<Pair> freePairs(double reach, bool arcs) {
    const std::size_t n = 2 * fragments_.size();
    std::vector<std::size_t> free;
    for (std::size_t e = 0; e < n; ++e)
      if (degree_[rep_[e]] == 1) free.push_back(e);
    EndGrid grid(reach, free.size());
    for (const std::size_t e : free) grid.add(endAt(e), e);
    std::vector<Pair> pairs;
    for (const std::size_t e : free) {
      const Path& own = fragments_[e / 2].path;
      grid.near(endAt(e), [&](std::size_t f) { return f > e; }, [&](std::size_t f) {
        if (f / 2 == e / 2 && own.pieces.size() == 1 && !(arcs && CircleOf(own.pieces.front()))) return;
        const double gap = Apart(endAt(e), endAt(f));
        if (gap <= reach && gap > 0) pairs.push_back({gap, e, f});
      });
    }
    std::sort(pairs.begin(), pairs.end(),
              [](const Pair& x, const Pair& y) { return x.gap != y.gap ? x.gap < y.gap : x.e < y.e; });
    std::vector<bool> used(n, false);
    std::vector<Pair> out;
    for (const Pair& p : pairs) {
      if (used[p.e] || used[p.f]) continue;
      used[p.e] = used[p.f] = true;
      out.push_back(p);
    }
    return out;
  }

  // Free ends within the second tolerance of one another bridged by a
  // straight segment, the nearest pairs first.
  void bridges() {
    for (const Pair& p : freePairs(gaps_, true)) {
      Fragment bridge;
      bridge.part = fragments_[p.e / 2].part;
      bridge.path.pieces = {SegmentPiece(endAt(p.e), endAt(p.f))};
      bridge.bridge = true;
      fragments_.push_back(std::move(bridge));
      // Its ends meet the two it bridges.
      rep_.push_back(rep_[p.e]), rep_.push_back(rep_[p.f]);
      ++degree_[rep_[p.e]], ++degree_[rep_[p.f]];
      ++report_.gaps;
    }
  }

  // The chains that close, of parts that look alike and lie at one
  // height, joined into closed polylines; not where more than two ends
  // meet (a chain through a junction would leave the rest of it open).
  void join() {
    std::vector<Path> paths;
    paths.reserve(fragments_.size());
    for (const Fragment& f : fragments_) paths.push_back(f.path);
    const Outcome<std::vector<Joined>> joined = Join(paths, 0);
    if (!joined.ok()) return;
    for (const Joined& chain : joined.value) {
      if (!chain.path.closed) continue;
      if (!std::all_of(chain.parts.begin(), chain.parts.end(), [&](std::size_t k) {
            return degree_[rep_[2 * k]] == 2 && degree_[rep_[2 * k + 1]] == 2;
          }))
        continue;
      const Part& first = parts_[fragments_[chain.parts.front()].part];
      const std::string look = LookOf(d_, first.unit);
      const bool alike = std::all_of(chain.parts.begin(), chain.parts.end(), [&](std::size_t k) {
        const Part& p = parts_[fragments_[k].part];
        return std::abs(p.z - first.z) <= tol_ && (&p == &first || LookOf(d_, p.unit) == look);
      });
      if (!alike || !VerticesOf(chain.path)) continue;
      for (const std::size_t k : chain.parts) fragments_[k].joined = true, parts_[fragments_[k].part].joined = true;
      chains_.push_back(chain);
      ++report_.contours;
    }
  }

  bool touched(const Part& p) const { return p.gone || p.trimmed || p.moved || p.joined; }

  // The new objects where the old ones stood, and the old ones out, as
  // one step.
  CutRepair commit() {
    std::vector<EditUnit> gone;
    for (const Part& p : parts_)
      if (touched(p)) gone.push_back(p.unit);
    if (gone.empty() && report_.gaps == 0) return nothing();
    Replacement r(c_);
    const Point3 up{0, 0, 1};
    auto write = [&](const Fragment& f) {
      const Part& part = parts_[f.part];
      const Path& path = f.path;
      if (path.pieces.size() == 1) {
        const Piece& p = path.pieces.front();
        if (const auto arc = CircleOf(p))
          WriteArc(r.lines, part.unit, *arc, up, part.z);
        else
          WriteLine(r.lines, part.unit, {p.a.x, p.a.y, part.z}, {p.b.x, p.b.y, part.z});
      } else if (const auto v = VerticesOf(path)) {
        WritePolyline(r.lines, part.unit, *v, false, up, part.z);
      }
    };
    // Each part's own pieces where it stood; a bridge left on its own
    // beside the part it starts at.
    std::vector<std::vector<std::size_t>> ofPart(parts_.size());
    for (std::size_t k = 0; k < fragments_.size(); ++k)
      if (!fragments_[k].joined) ofPart[fragments_[k].part].push_back(k);
    for (std::size_t i = 0; i < parts_.size(); ++i) {
      const Part& part = parts_[i];
      bool any = false;
      for (const std::size_t k : ofPart[i])
        if (touched(part) || fragments_[k].bridge) write(fragments_[k]), any = true;
      if (any) r.place(part.unit.from);
    }
    for (const Joined& chain : chains_) {
      const Part& first = parts_[fragments_[chain.parts.front()].part];
      std::int32_t at = first.unit.from;
      for (const std::size_t k : chain.parts) at = std::min(at, parts_[fragments_[k].part].unit.from);
      WritePolyline(r.lines, first.unit, *VerticesOf(chain.path), true, up, first.z);
      r.place(at);
    }
    if (!r.lines.valid()) return failed(CutRepair::Status::InvalidValue);
    if (!r.lines.handlesLeft()) return failed(CutRepair::Status::NoHandleLeft);
    // The splices in the order of their places: what goes out at a place,
    // then what comes in there.
    std::map<std::int32_t, std::pair<std::size_t, std::vector<std::string>>> at;
    for (const auto& [from, to] : OwnedObjects(d_, gone)) at[from].first = static_cast<std::size_t>(to - from + 1);
    for (const EditUnit& u : gone) at[u.from].first = static_cast<std::size_t>(u.to - u.from + 1);
    std::size_t next = 0;
    for (const auto& [where, count] : r.at) {
      auto& lines = at[where].second;
      const auto begin = r.lines.lines().begin() + static_cast<std::ptrdiff_t>(next);
      lines.insert(lines.end(), begin, begin + count);
      next += static_cast<std::size_t>(count);
    }
    std::vector<LineList::Splice> splices;
    std::int64_t seedShift = 0;
    for (const auto& [where, s] : at) {
      const auto line = static_cast<std::size_t>(where);
      if (line + s.first > d_.dxf.size()) return failed(CutRepair::Status::NoInsertionPoint);
      if (!splices.empty() && splices.back().at + splices.back().erase > line)
        return failed(CutRepair::Status::NoInsertionPoint);
      splices.push_back({line, s.first, s.second.empty() ? nullptr : &s.second});
      if (d_.handleseedpos >= 0 && where + static_cast<std::int64_t>(s.first) <= d_.handleseedpos)
        seedShift += static_cast<std::int64_t>(s.second.size()) - static_cast<std::int64_t>(s.first);
    }
    ChangeStep(c_.undos, d_.dxf).splice(splices);
    if (r.lines.tookHandles()) d_.maxhandle = c_.undos.handlesIssued = r.lines.lastHandle();
    if (d_.handleseedpos >= 0 && d_.maxhandle < std::numeric_limits<Handle>::max())
      OverwriteKept(c_.undos, d_.dxf, static_cast<std::size_t>(d_.handleseedpos + seedShift),
                    HandleText(d_.maxhandle + 1));
    SetChanged(c_);
    processdxf(d_);
    CutRepair done = report_;
    done.status = CutRepair::Status::Done;
    return done;
  }

  CutRepair failed(CutRepair::Status s) const {
    CutRepair r;
    r.status = s;
    return r;
  }

  DocumentContext& c_;
  Drawing& d_;
  double tol_, gaps_;
  double eps_ = 0, reach_ = 1, q_ = 0, qa_ = 0;
  Point2 origin_;
  struct {
    double minx = std::numeric_limits<double>::max(), miny = std::numeric_limits<double>::max();
    double maxx = std::numeric_limits<double>::lowest(), maxy = std::numeric_limits<double>::lowest();
  } box_;
  std::vector<Part> parts_;
  std::vector<Piece> pieces_;  // the pieces accepted, in the buckets by index
  struct Accepted {
    double hi;
    std::size_t piece;
  };
  struct Bucket {
    std::multimap<double, Accepted> spans;  // by where they start
    double longest = 0;
  };
  std::unordered_map<Key, Bucket, KeyHash> accepted_;
  KeyFilter used_;
  std::vector<Fragment> fragments_;
  std::vector<std::size_t> rep_;  // of each end, the end it was made one with
  std::vector<int> degree_;       // of each such end, how many ends meet there
  std::vector<Joined> chains_;
  CutRepair report_;
};

}  // namespace

CutRepair RepairCut(DocumentContext& c, double tolerance, double gaps) {
  if (!std::isfinite(tolerance) || tolerance < 0 || !std::isfinite(gaps) || gaps < 0) {
    CutRepair r;
    r.status = CutRepair::Status::InvalidValue;
    return r;
  }
  return Repairer(c, tolerance, gaps).run();
}

}  // namespace vestrel
