#include "geometry/offset.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numeric>
#include <unordered_map>

#include "geometry/crossings.h"

namespace vestrel {

namespace {

double Cross(Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; }
double Dot(Point2 a, Point2 b) { return a.x * b.x + a.y * b.y; }
double Distance(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }
Point2 Left(Point2 d) { return {-d.y, d.x}; }

struct Box {
  double x0 = INFINITY, y0 = INFINITY, x1 = -INFINITY, y1 = -INFINITY;
  void add(Point2 p) { x0 = std::min(x0, p.x), y0 = std::min(y0, p.y), x1 = std::max(x1, p.x), y1 = std::max(y1, p.y); }
  Box grown(double m) const { return {x0 - m, y0 - m, x1 + m, y1 + m}; }
  bool meets(const Box& o) const { return x0 <= o.x1 && o.x0 <= x1 && y0 <= o.y1 && o.y0 <= y1; }
};

// The box round a piece (round a whole ellipse for an elliptic one).
Box BoxOf(const Piece& piece) {
  Box box;
  box.add(piece.a), box.add(piece.b);
  if (const auto arc = CircleOf(piece)) {
    // The ends, and the points of the circle at the axes the arc passes.
    for (int k = -8; k <= 8; ++k) {
      const double angle = k * kPi / 2;
      double s = (angle - arc->start) / arc->sweep;
      if (s > 0 && s < 1) box.add({arc->c.x + arc->r * std::cos(angle), arc->c.y + arc->r * std::sin(angle)});
    }
  } else if (piece.elliptic) {
    const Conic& k = piece.conic;
    const double ex = std::hypot(k.u.x, k.v.x), ey = std::hypot(k.u.y, k.v.y);
    box.add({k.c.x - ex, k.c.y - ey}), box.add({k.c.x + ex, k.c.y + ey});
  }
  return box;
}

// Boxes in a hash grid of square cells, for finding the pieces near a
// place without looking at all of them. A box that would cover too many
// cells is looked at always.
class BoxGrid {
 public:
  BoxGrid(const std::vector<Box>& boxes, double cell) : boxes_(boxes), cell_(cell), seen_(boxes.size(), 0) {
    for (std::size_t i = 0; i < boxes.size(); ++i)
      if (!Each(boxes[i], 64, [&](std::uint64_t key) { cells_[key].push_back(i); })) always_.push_back(i);
  }

  // Calls f(i) once for each box that meets `box`.
  template <class F>
  void near(const Box& box, F&& f) {
    ++stamp_;
    auto visit = [&](std::size_t i) {
      if (seen_[i] == stamp_ || !boxes_[i].meets(box)) return;
      seen_[i] = stamp_;
      f(i);
    };
    for (const std::size_t i : always_) visit(i);
    const bool few = Each(box, 4096, [&](std::uint64_t key) {
      const auto it = cells_.find(key);
      if (it != cells_.end())
        for (const std::size_t i : it->second) visit(i);
    });
    if (!few)
      for (std::size_t i = 0; i < boxes_.size(); ++i) visit(i);
  }

 private:
  // Calls f with the key of each cell the box covers, unless they are
  // more than `most` (or the box lies beyond where cells are numbered):
  // false then, and f is not called.
  template <class F>
  bool Each(const Box& b, double most, F&& f) const {
    const double fx0 = std::floor(b.x0 / cell_), fx1 = std::floor(b.x1 / cell_);
    const double fy0 = std::floor(b.y0 / cell_), fy1 = std::floor(b.y1 / cell_);
    constexpr double kNumbered = 1e15;
    for (const double v : {fx0, fx1, fy0, fy1})
      if (!(std::abs(v) < kNumbered)) return false;
    if (!((fx1 - fx0 + 1) * (fy1 - fy0 + 1) <= most)) return false;
    const auto x0 = static_cast<std::int64_t>(fx0), x1 = static_cast<std::int64_t>(fx1);
    const auto y0 = static_cast<std::int64_t>(fy0), y1 = static_cast<std::int64_t>(fy1);
    for (auto x = x0; x <= x1; ++x)
      for (auto y = y0; y <= y1; ++y)
        f(static_cast<std::uint64_t>(x) * 0x9E3779B97F4A7C15ull ^ static_cast<std::uint64_t>(y));
    return true;
  }

  const std::vector<Box>& boxes_;
  double cell_;
  std::unordered_map<std::uint64_t, std::vector<std::size_t>> cells_;
  std::vector<std::size_t> always_;
  std::vector<unsigned> seen_;
  unsigned stamp_ = 0;
};

// A cell for the grid of `boxes`: about the size of a typical box, and
// never so small that coordinates overflow the cell numbers.
double CellFor(const std::vector<Box>& boxes, double atLeast) {
  Box all;
  double sum = 0;
  for (const Box& b : boxes) {
    all.add({b.x0, b.y0}), all.add({b.x1, b.y1});
    sum += std::max(b.x1 - b.x0, b.y1 - b.y0);
  }
  const double extent = std::max(all.x1 - all.x0, all.y1 - all.y0);
  const double typical = boxes.empty() ? 1 : sum / static_cast<double>(boxes.size());
  return std::max({typical, atLeast, extent * 1e-6, std::max(std::abs(all.x0), std::abs(all.y0)) * 1e-12,
                   std::max(std::abs(all.x1), std::abs(all.y1)) * 1e-12, 1e-300});
}

// The bulge of the arc from a through m to b.
double BulgeThrough(Point2 a, Point2 m, Point2 b) {
  const Point2 ma{a.x - m.x, a.y - m.y}, mb{b.x - m.x, b.y - m.y};
  const double inscribed = std::atan2(std::abs(Cross(ma, mb)), Dot(ma, mb));
  return (Cross(ma, mb) < 0 ? 1 : -1) * std::tan((kPi - inscribed) / 2);
}

// How far p lies from the nearest point of the piece.
double DistanceToPiece(const Piece& piece, Point2 p) {
  if (piece.elliptic && !CircleOf(piece)) return Distance(NearestOnConic(piece.conic, p), p);
  return Distance(PointAt(piece, NearestParameter(piece, p)), p);
}

// The pieces of the parallel of one piece; nothing for a piece of no
// length. An arc that shrinks past its centre becomes the segment between
// its moved ends, which lies too near the original to survive.
void MovePiece(const Piece& piece, double d, std::vector<Piece>& out) {
  if (!(Length(piece) > 0)) return;
  if (const auto arc = CircleOf(piece)) {
    const double r = arc->r - d * (arc->sweep > 0 ? 1 : -1);
    if (piece.elliptic && r > 0) {
      Conic k = piece.conic;
      const double f = r / arc->r;
      k.u = {k.u.x * f, k.u.y * f}, k.v = {k.v.x * f, k.v.y * f};
      out.push_back(ConicPiece(k));
      return;
    }
    const double a0 = arc->start, a1 = arc->start + arc->sweep;
    const Point2 p{arc->c.x + r * std::cos(a0), arc->c.y + r * std::sin(a0)};
    const Point2 q{arc->c.x + r * std::cos(a1), arc->c.y + r * std::sin(a1)};
    out.push_back(r > 0 ? BulgePiece(p, q, std::tan(arc->sweep / 4)) : SegmentPiece(p, q));
    return;
  }
  if (piece.elliptic) {
    // (Half the thousandth: where two such approximations cross, their
    // crossing may stray a little further than either.)
    const Path approx = ConicParallel(piece, d, std::abs(d) / 2000);
    out.insert(out.end(), approx.pieces.begin(), approx.pieces.end());
    return;
  }
  const Point2 n = Left(DirectionAt(piece, 0));
  out.push_back(SegmentPiece({piece.a.x + n.x * d, piece.a.y + n.y * d}, {piece.b.x + n.x * d, piece.b.y + n.y * d}));
}

// The moved pieces with the gaps at the corners closed: an arc round the
// vertex where they part (it runs backwards, into a loop, at a corner that
// closes), the ends snapped together where they nearly meet.
std::vector<Piece> RawParallel(const Path& path, double d) {
  std::vector<Piece> raw;
  const std::size_t n = path.pieces.size();
  Piece previous;
  bool any = false;
  auto joinTo = [&](const Piece& before, const Piece& after, Point2 from, Point2 to) {
    // (Nearly meeting: within what rounding leaves of the distance and
    // of the coordinates.)
    const double snap = std::max(std::abs(d) * 1e-9, (std::abs(from.x) + std::abs(from.y)) * 1e-13);
    if (Distance(from, to) <= snap) return false;
    const Point2 t1 = DirectionAt(before, 1), t2 = DirectionAt(after, 0);
    const double turn = std::atan2(Cross(t1, t2), Dot(t1, t2));
    raw.push_back(BulgePiece(from, to, std::tan(turn / 4)));
    return true;
  };
  for (std::size_t i = 0; i < n; ++i) {
    const Piece& piece = path.pieces[i];
    const std::size_t start = raw.size();
    MovePiece(piece, d, raw);
    if (raw.size() == start) continue;
    if (any) {
      std::vector<Piece> moved(raw.begin() + static_cast<std::ptrdiff_t>(start), raw.end());
      raw.resize(start);
      if (!joinTo(previous, piece, raw.back().b, moved.front().a)) moved.front().a = raw.back().b;
      raw.insert(raw.end(), moved.begin(), moved.end());
    }
    previous = piece;
    any = true;
  }
  if (path.closed && !raw.empty()) {
    const Piece* first = nullptr;
    for (const Piece& piece : path.pieces)
      if (Length(piece) > 0) {
        first = &piece;
        break;
      }
    if (!joinTo(previous, *first, raw.back().b, raw.front().a)) raw.back().b = raw.front().a;
  }
  return raw;
}

struct Split {
  double u;          // on the raw parallel
  std::size_t node;  // the crossing it is at
};

// The node that stands for i's set of nodes (union-find, paths halved).
std::size_t Find(std::vector<std::size_t>& parent, std::size_t i) {
  while (parent[i] != i) i = parent[i] = parent[parent[i]];
  return i;
}

}  // namespace

Path ConicParallel(const Piece& piece, double distance, double tolerance) {
  Path out;
  const Conic& k = piece.conic;
  const double turn = k.t1 > k.t0 ? 1 : -1;
  auto at = [&](double t) {
    Point2 d{-k.u.x * std::sin(t) + k.v.x * std::cos(t), -k.u.y * std::sin(t) + k.v.y * std::cos(t)};
    const double l = std::hypot(d.x, d.y);
    const Point2 p = k.at(t);
    if (!(l > 0)) return p;
    const Point2 n = Left({d.x / l * turn, d.y / l * turn});
    return Point2{p.x + n.x * distance, p.y + n.y * distance};
  };
  tolerance = std::max(tolerance, 1e-12 * (std::abs(distance) + k.radius() + Distance(k.c, {})));
  // Halves each step until the arc through its ends and middle stays
  // within the tolerance at its quarters; bounded depth and count.
  struct Step {
    double t0, t1;
    int depth;
  };
  // (Worked from the end of the list: the later half pushed first.)
  std::vector<Step> todo{{k.t0, k.t1, 0}};
  std::vector<Step> done;
  while (!todo.empty() && done.size() < 100000) {
    const Step step = todo.back();
    todo.pop_back();
    const double tm = (step.t0 + step.t1) / 2;
    const Point2 a = at(step.t0), m = at(tm), b = at(step.t1);
    const Piece arc = BulgePiece(a, b, BulgeThrough(a, m, b));
    double error = 0;
    for (const double f : {0.25, 0.75}) {
      const Point2 q = at(step.t0 + (step.t1 - step.t0) * f);
      error = std::max(error, DistanceToPiece(arc, q));
    }
    if ((error <= tolerance && step.depth >= 2) || step.depth >= 40) {
      out.pieces.push_back(arc);
      continue;
    }
    todo.push_back({tm, step.t1, step.depth + 1});
    todo.push_back({step.t0, tm, step.depth + 1});
  }
  for (std::size_t i = 1; i < out.pieces.size(); ++i) out.pieces[i].a = out.pieces[i - 1].b;
  return out;
}

Outcome<std::vector<Path>> Offset(const Path& path, double distance) {
  using Result = std::vector<Path>;
  if (!IsFinite(path) || !std::isfinite(distance)) return Refused<Result>(GeometryFault::NotFinite);
  if (!(Length(path) > 0)) return Refused<Result>(GeometryFault::ZeroLength);
  if (distance == 0) return {{path}};
  const std::vector<Piece> raw = RawParallel(path, distance);
  if (raw.empty()) return Refused<Result>(GeometryFault::Vanished);

  // Where the raw parallel crosses itself, neighbours' common ends left out.
  std::vector<Box> boxes;
  boxes.reserve(raw.size());
  for (const Piece& piece : raw) boxes.push_back(BoxOf(piece));
  const double extent = std::abs(distance);
  BoxGrid grid(boxes, CellFor(boxes, extent * 1e-3));
  const std::size_t n = raw.size();
  std::vector<Split> splits;
  std::size_t nodes = 0;
  for (std::size_t i = 0; i < n; ++i)
    grid.near(boxes[i], [&](std::size_t j) {
      if (j <= i) return;
      const bool next = j == i + 1, wrap = path.closed && i == 0 && j == n - 1;
      for (const Crossing& c : Crossings(raw[i], raw[j])) {
        if (next && c.s > 1 - 1e-9 && c.t < 1e-9) continue;
        if (wrap && c.s < 1e-9 && c.t > 1 - 1e-9) continue;
        splits.push_back({static_cast<double>(i) + c.s, nodes});
        splits.push_back({static_cast<double>(j) + c.t, nodes});
        ++nodes;
      }
    });
  const auto count = static_cast<double>(n);
  // An open path's parallel may come near its ends without crossing
  // itself: where it enters or leaves the circles of the distance round
  // them it is cut too (points of one piece, nodes of their own).
  if (!path.closed) {
    for (const Point2 end : {path.pieces.front().a, path.pieces.back().b}) {
      const Piece cap = ConicPiece({end, {extent, 0}, {0, extent}});
      grid.near(BoxOf(cap), [&](std::size_t i) {
        for (const Crossing& c : Crossings(raw[i], cap)) {
          const double u = static_cast<double>(i) + c.s;
          if (u > 1e-9 && u < count - 1e-9) splits.push_back({u, nodes++});
        }
      });
    }
  }
  // Splits at one place (a crossing at a vertex, found on both pieces)
  // are one node; on a closed parallel its end is its start.
  for (Split& s : splits)
    if (path.closed && s.u >= count - 1e-9) s.u = 0;
  std::sort(splits.begin(), splits.end(), [](const Split& a, const Split& b) { return a.u < b.u; });
  std::vector<std::size_t> parent(nodes);
  std::iota(parent.begin(), parent.end(), 0);
  for (std::size_t k = 1; k < splits.size(); ++k)
    if (splits[k].u - splits[k - 1].u < 1e-9) parent[Find(parent, splits[k].node)] = Find(parent, splits[k - 1].node);
  std::vector<Split> cuts;
  for (const Split& s : splits)
    if (cuts.empty() || s.u - cuts.back().u >= 1e-9) cuts.push_back({s.u, Find(parent, s.node)});

  // The slices between the cuts; an open parallel's ends are nodes of
  // their own.
  const std::size_t kStart = nodes, kEnd = nodes + 1, kLoop = nodes + 2;
  struct Run {
    double u0, u1;
    std::size_t from, to;
  };
  std::vector<Run> slices;
  Path rawPath{raw, path.closed};
  if (cuts.empty()) {
    slices.push_back({0, count, path.closed ? kLoop : kStart, path.closed ? kLoop : kEnd});
  } else {
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k)
      slices.push_back({cuts[k].u, cuts[k + 1].u, cuts[k].node, cuts[k + 1].node});
    if (path.closed) {
      slices.push_back({cuts.back().u, cuts.front().u + count, cuts.back().node, cuts.front().node});
    } else {
      slices.push_back({0, cuts.front().u, kStart, cuts.front().node});
      slices.push_back({cuts.back().u, count, cuts.back().node, kEnd});
    }
  }

  // A slice stays when none of its pieces comes nearer the original than
  // the distance (less what the approximation of ellipses may take).
  const bool elliptic =
      std::any_of(path.pieces.begin(), path.pieces.end(), [](const Piece& p) { return p.elliptic && !CircleOf(p); });
  const double reach = extent * (1 - (elliptic ? 2e-3 : 1e-9));
  std::vector<Box> originalBoxes;
  for (const Piece& piece : path.pieces) originalBoxes.push_back(BoxOf(piece));
  BoxGrid original(originalBoxes, CellFor(originalBoxes, extent));
  auto tooNear = [&](Point2 p) {
    bool near = false;
    original.near(Box{p.x, p.y, p.x, p.y}.grown(reach), [&](std::size_t i) {
      if (!near && DistanceToPiece(path.pieces[i], p) < reach) near = true;
    });
    return near;
  };
  std::vector<Path> kept(slices.size());
  std::vector<bool> stays(slices.size(), false);
  for (std::size_t k = 0; k < slices.size(); ++k) {
    const Path part = Slice(rawPath, slices[k].u0, slices[k].u1);
    if (part.pieces.empty()) continue;
    bool ok = true;
    for (const Piece& piece : part.pieces)
      if (tooNear(PointAt(piece, 0.5))) {
        ok = false;
        break;
      }
    if (ok) stays[k] = true, kept[k] = part;
  }

  // The slices that stay, chained from node to node: from an open
  // parallel's start first, then round the loops.
  std::unordered_map<std::size_t, std::vector<std::size_t>> from;
  for (std::size_t k = 0; k < slices.size(); ++k)
    if (stays[k]) from[slices[k].from].push_back(k);
  std::vector<bool> used(slices.size(), false);
  Result result;
  auto chain = [&](std::size_t k) {
    Path out;
    const std::size_t begin = slices[k].from;
    while (true) {
      used[k] = true;
      for (const Piece& piece : kept[k].pieces) out.pieces.push_back(piece);
      const std::size_t at = slices[k].to;
      if (at == begin && at != kStart) {
        out.closed = true;
        break;
      }
      auto it = from.find(at);
      if (it == from.end()) break;
      const auto next = std::find_if(it->second.begin(), it->second.end(), [&](std::size_t j) { return !used[j]; });
      if (next == it->second.end()) break;
      k = *next;
    }
    // Where slices meet at a crossing, their ends meet exactly.
    for (std::size_t i = 1; i < out.pieces.size(); ++i)
      if (!out.pieces[i].elliptic) out.pieces[i].a = out.pieces[i - 1].b;
    if (out.closed && !out.pieces.back().elliptic) out.pieces.back().b = out.pieces.front().a;
    if (Length(out) > 0) result.push_back(std::move(out));
  };
  for (std::size_t k = 0; k < slices.size(); ++k)
    if (stays[k] && !used[k] && slices[k].from == kStart) chain(k);
  for (std::size_t k = 0; k < slices.size(); ++k)
    if (stays[k] && !used[k]) chain(k);
  // A loop of a closed contour's parallel lies on the side of the
  // distance: inside the contour for the way into it, outside for the
  // way out (where the nearness above cannot tell, as at a distance that
  // dwarfs the contour).
  if (path.closed) {
    const bool inwards = (distance > 0) == (SignedArea(path) > 0);
    std::erase_if(result, [&](const Path& loop) {
      return loop.closed && (WindingNumber(path, PointAt(loop.pieces.front(), 0.5)) != 0) != inwards;
    });
  }
  if (result.empty()) return Refused<Result>(GeometryFault::Vanished);
  return {result};
}

}  // namespace vestrel
