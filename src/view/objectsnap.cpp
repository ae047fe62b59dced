#include "view/objectsnap.h"

#include <algorithm>
#include <cmath>

#include "document/grammar.h"
#include "editing/objectplane.h"
#include "geometry/bulge.h"
#include "geometry/segments.h"
#include "geometry/spline.h"

namespace vestrel {

namespace {

// References inside references are followed this deep.
constexpr int kDepth = 16;
// An ellipse meets other objects through this many pieces a full turn.
constexpr int kEllipsePieces = 512;
// What one mouse move may look at: objects, cells of arrays and pairs of
// pieces that may cross. A hostile drawing (an array of a billion cells,
// a block that refers to itself, thousands of lines through one point)
// gets the snaps found until then, and the move stays quick.
constexpr std::int64_t kWork = 200000;

double Dist(Point2 a, Point2 b) { return std::hypot(a.x - b.x, a.y - b.y); }
Point2 Flat(Point3 p) { return {p.x, p.y}; }
Point3 Sub3(Point3 a, Point3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }

double Number(const Drawing& d, std::int32_t line, double otherwise) {
  if (line <= 0) return otherwise;
  return ParseDouble(d.value(line)).value_or(otherwise);
}

}  // namespace

std::optional<Conic> ConicOf(const Drawing& d, const tpoly& p, const Placement& pl) {
  const auto pts = d.ps(p);
  Conic k;
  if (p.kind == Kind::ARC || p.kind == Kind::CIRCLE) {
    if (pts.empty()) return std::nullopt;
    const Placement ocs = ObjectCoordinates(ObjectPlaneOf(d.dxf, p.linefrom, p.linebis).normal);
    const double r = p.radius;
    k.c = Flat(pl.apply({p.cx, p.cy, p.cz}));
    k.u = Flat(pl.linear(ocs.linear({r, 0, 0})));
    k.v = Flat(pl.linear(ocs.linear({0, r, 0})));
    if (p.kind == Kind::ARC) {
      double s = Number(d, p.winkel1linenr, 0), e = Number(d, p.winkel2linenr, 0);
      if (e <= s) e += 360;
      k.t0 = s * kPi / 180, k.t1 = e * kPi / 180, k.full = false;
    }
    return k;
  }
  if (p.kind != Kind::ELLIPSE || pts.size() < 3) return std::nullopt;
  const Point3 c{pts[0].x, pts[0].y, pts[0].z};
  k.c = Flat(pl.apply(c));
  k.u = Flat(pl.linear(Sub3({pts[1].x, pts[1].y, pts[1].z}, c)));
  k.v = Flat(pl.linear(Sub3({pts[2].x, pts[2].y, pts[2].z}, c)));
  double s = Number(d, p.winkel1linenr, 0), e = Number(d, p.winkel2linenr, 2 * kPi);
  if (e <= s) e += 2 * kPi;
  k.t0 = s, k.t1 = e;
  k.full = e - s >= 2 * kPi * (1 - 1e-12);
  return k;
}

double VertexBulge(const Drawing& d, const tpoly& p, const Tmypoi& v) {
  // It follows the vertex's x in the file, before the next vertex.
  for (std::int32_t k = v.linex + 1; k + 1 <= p.linebis; k += 2) {
    const std::string_view code = d.value(k);
    if (code == "10" || code == "0") break;
    if (code == "42") return ParseDouble(d.value(k + 1)).value_or(0.0);
  }
  return 0.0;
}

namespace {

// One piece of an object's outline in the world: a segment or an arc of
// a conic; `object` tells the objects apart for their crossings.
struct Piece {
  bool conic = false;
  Point2 a, b;
  Conic k;
  int object = 0;
};

class Search {
 public:
  Search(const Drawing& d, const SpatialIndex& index, Blocks& blocks, const SnapQuery& q)
      : d_(d), index_(index), blocks_(blocks), q_(q) {
    const double r = q.aperture;
    box_ = {q.pointer.x - r, q.pointer.y - r, q.pointer.x + r, q.pointer.y + r};
  }

  // Entry i of the tab itself.
  void entry(std::size_t i) { object(i, Placement{}, false, 0); }
  // Everything reference `ref` draws, placed by `outer` (its own
  // reference's placement; none at the top).
  void reference(const tpoly& ref, const Placement& outer, int depth);
  std::optional<SnapHit> result();

  const WorldBox& box() const { return box_; }

 private:
  void object(std::size_t i, const Placement& pl, bool member, int depth);
  void offer(Point2 p, SnapKind k) {
    if (!(q_.modes & SnapBit(k))) return;
    const double dist = Dist(p, q_.pointer);
    if (!(dist <= q_.aperture)) return;
    const double tie = 1e-9 * q_.aperture;
    if (best_) {
      if (dist > best_->distance + tie) return;
      if (dist >= best_->distance - tie && k >= best_->kind) return;
    }
    best_ = SnapHit{p, k, dist};
  }
  bool on(SnapKind k) const { return (q_.modes & SnapBit(k)) != 0; }
  bool near(Point2 lo, Point2 hi) const {
    return lo.x <= box_.maxx && hi.x >= box_.minx && lo.y <= box_.maxy && hi.y >= box_.miny;
  }
  // A segment; `exact` false for a piece of a curve's flattening, which
  // gives no nearest point nor foot of its own.
  void segment(Point2 a, Point2 b, bool ends, bool middle, bool exact = true);
  void spline(const tpoly& p, const Placement& pl);
  void conic(const Conic& k, bool ends, bool middle, bool quadrants);
  void outline(const tpoly& p, const Placement& pl, bool ends, bool middles);
  void polyline(const tpoly& p, const Placement& pl);
  void crossings();

  const Drawing& d_;
  const SpatialIndex& index_;
  Blocks& blocks_;
  const SnapQuery& q_;
  WorldBox box_;
  std::vector<Piece> pieces_;
  int object_ = 0;
  std::optional<SnapHit> best_;
  std::int64_t work_ = kWork;
  // Takes `n` from what the move may still do; false once it is spent.
  bool spend(std::int64_t n = 1) { return (work_ -= n) >= 0; }
};

void Search::segment(Point2 a, Point2 b, bool ends, bool middle, bool exact) {
  if (!near({std::min(a.x, b.x), std::min(a.y, b.y)}, {std::max(a.x, b.x), std::max(a.y, b.y)})) return;
  if (ends) offer(a, SnapKind::Endpoint), offer(b, SnapKind::Endpoint);
  if (middle) offer({(a.x + b.x) / 2, (a.y + b.y) / 2}, SnapKind::Midpoint);
  if (Point2 foot; exact && q_.from && on(SnapKind::Perpendicular) && PerpendicularFoot(*q_.from, a, b, foot))
    offer(foot, SnapKind::Perpendicular);
  if (exact && on(SnapKind::Nearest)) offer(NearestOnSegment(q_.pointer, a, b), SnapKind::Nearest);
  if (on(SnapKind::Intersection)) pieces_.push_back({false, a, b, {}, object_});
}

void Search::conic(const Conic& k, bool ends, bool middle, bool quadrants) {
  const double reach = std::hypot(k.u.x, k.u.y) + std::hypot(k.v.x, k.v.y);
  if (!near({k.c.x - reach, k.c.y - reach}, {k.c.x + reach, k.c.y + reach})) return;
  const bool circle = k.circular();
  if (ends && !k.full) offer(k.at(k.t0), SnapKind::Endpoint), offer(k.at(k.t1), SnapKind::Endpoint);
  if (middle && !k.full) offer(k.at((k.t0 + k.t1) / 2), SnapKind::Midpoint);
  offer(k.c, SnapKind::Centre);
  if (quadrants && on(SnapKind::Quadrant))
    for (int j = 0; j < 4; ++j)
      if (k.covers(j * kPi / 2)) offer(k.at(j * kPi / 2), SnapKind::Quadrant);
  if (circle && q_.from) {
    const double r = k.radius();
    if (on(SnapKind::Perpendicular)) {
      const double l = Dist(*q_.from, k.c);
      if (l > 0)
        for (const double s : {r / l, -r / l}) {
          const Point2 f{k.c.x + (q_.from->x - k.c.x) * s, k.c.y + (q_.from->y - k.c.y) * s};
          if (k.covers(k.parameter(f))) offer(f, SnapKind::Perpendicular);
        }
    }
    if (on(SnapKind::Tangent)) {
      Point2 t[2];
      const int n = TangentPoints(*q_.from, k.c, r, t);
      for (int j = 0; j < n; ++j)
        if (k.covers(k.parameter(t[j]))) offer(t[j], SnapKind::Tangent);
    }
  }
  if (!circle && q_.from) {
    if (on(SnapKind::Perpendicular))
      for (const Point2 f : PerpendicularFeet(k, *q_.from)) offer(f, SnapKind::Perpendicular);
    if (on(SnapKind::Tangent))
      for (const Point2 t : TouchingPoints(k, *q_.from)) offer(t, SnapKind::Tangent);
  }
  if (on(SnapKind::Nearest)) offer(NearestOnConic(k, q_.pointer), SnapKind::Nearest);
  if (on(SnapKind::Intersection)) pieces_.push_back({true, {}, {}, k, object_});
}

// A spline: its crossings through its flattening, its nearest point and
// the feet of perpendiculars on the curve itself.
void Search::spline(const tpoly& p, const Placement& pl) {
  // The flattening, for the crossings and to find whether it comes near.
  bool have = false, close = false;
  Point2 last;
  for (const Tmypoi& v : d_.ps(p)) {
    if (v.donotdraw) break;
    const Point2 w = Flat(pl.apply({v.x, v.y, v.z}));
    if (have) {
      segment(last, w, false, false, false);
      close = close || Dist(NearestOnSegment(q_.pointer, last, w), q_.pointer) <= 2 * q_.aperture;
    }
    last = w, have = true;
  }
  if (!close || !(on(SnapKind::Nearest) || (q_.from && on(SnapKind::Perpendicular)))) return;
  const Spline s = SplineOf(d_, p);
  if (s.controls.empty()) return;
  const int t = s.order;
  const auto n = s.controls.size() - 1;
  if (s.knots.size() < n + t + 1) return;
  const double lo = s.knots[static_cast<std::size_t>(t - 1)], hi = s.knots[n + 1];
  if (!(hi > lo)) return;
  auto at = [&](double v) { return Flat(pl.apply(CurvePoint(s, std::clamp(v, lo, hi)))); };
  const int samples = static_cast<int>(std::min<std::size_t>(32 * (n + 1), 4000));
  const double step = (hi - lo) / samples;
  auto parameter = [&](int i) { return lo + step * i; };
  // Where the curve's direction stands at right angles to the way from
  // point f: the product of the two, and its zero between a and b (where
  // its sign changes), halved down.
  const double h = 1e-7 * (hi - lo);
  auto across = [&](Point2 f, double v) {
    const Point2 c = at(v), d1 = at(v + h), d0 = at(v - h);
    return (c.x - f.x) * (d1.x - d0.x) + (c.y - f.y) * (d1.y - d0.y);
  };
  auto zero = [&](Point2 f, double a, double b) -> std::optional<Point2> {
    double ga = across(f, a);
    if ((ga < 0) == (across(f, b) < 0)) return std::nullopt;
    for (int k = 0; k < 100 && b - a > 1e-15 * (hi - lo); ++k) {
      const double m = (a + b) / 2, gm = across(f, m);
      if ((gm < 0) == (ga < 0))
        a = m, ga = gm;
      else
        b = m;
    }
    return at((a + b) / 2);
  };
  // The curve at its samples, and whether the way from f turns to stand
  // at right angles to it between two samples (their chords taken for
  // its direction): where the search above narrows the feet down.
  std::vector<Point2> pts(static_cast<std::size_t>(samples) + 1);
  for (int i = 0; i <= samples; ++i) pts[static_cast<std::size_t>(i)] = at(parameter(i));
  auto turns = [&](Point2 f, int i) {
    auto g = [&](int k) {
      const Point2 c = pts[static_cast<std::size_t>(k)];
      const Point2 d1 = pts[static_cast<std::size_t>(std::min(k + 1, samples))];
      const Point2 d0 = pts[static_cast<std::size_t>(std::max(k - 1, 0))];
      return (c.x - f.x) * (d1.x - d0.x) + (c.y - f.y) * (d1.y - d0.y);
    };
    return (g(i) < 0) != (g(i + 1) < 0);
  };
  if (on(SnapKind::Nearest)) {
    // The closest sample; the nearest point lies next to it, or it is an
    // end.
    int best = 0;
    for (int i = 1; i <= samples; ++i)
      if (Dist(pts[static_cast<std::size_t>(i)], q_.pointer) < Dist(pts[static_cast<std::size_t>(best)], q_.pointer))
        best = i;
    offer(pts[static_cast<std::size_t>(best)], SnapKind::Nearest);
    for (const int i : {best - 1, best})
      if (i >= 0 && i < samples)
        if (const auto p = zero(q_.pointer, parameter(i), parameter(i + 1))) offer(*p, SnapKind::Nearest);
  }
  if (q_.from && on(SnapKind::Perpendicular))
    for (int i = 0; i < samples; ++i)
      if (turns(*q_.from, i))
        if (const auto p = zero(*q_.from, parameter(i), parameter(i + 1))) offer(*p, SnapKind::Perpendicular);
}

// The drawn outline of an entry through its points: a point marked
// moveonly starts a new piece, a closed entry goes back to where its last
// piece began.
void Search::outline(const tpoly& p, const Placement& pl, bool ends, bool middles) {
  bool have = false;
  Point2 last, start;
  for (const Tmypoi& v : d_.ps(p)) {
    if (v.donotdraw) continue;
    const Point2 w = Flat(pl.apply({v.x, v.y, v.z}));
    if (have && !v.moveonly) segment(last, w, ends, middles);
    else start = w;
    last = w, have = true;
  }
  if (have && p.isclosed && (last.x != start.x || last.y != start.y)) segment(last, start, ends, middles);
}

// A 2-D polyline exactly: its vertices as the file gives them, and the
// arc of every segment with a bulge in the polyline's own plane.
void Search::polyline(const tpoly& p, const Placement& pl) {
  const ObjectPlane plane = ObjectPlaneOf(d_.dxf, p.linefrom, p.linebis);
  if (!plane.planar) return outline(p, pl, true, true);
  const Placement ocs = ObjectCoordinates(plane.normal);
  const Placement toWorld = pl.after(ocs);
  std::vector<const Tmypoi*> vertices;
  for (const Tmypoi& v : d_.ps(p))
    if (v.linex != 0 && !v.donotdraw) vertices.push_back(&v);
  if (vertices.size() == 1) offer(Flat(pl.apply({vertices[0]->x, vertices[0]->y, vertices[0]->z})), SnapKind::Endpoint);
  for (std::size_t i = 0; i + 1 < vertices.size(); ++i) {
    const Point3 P = IntoObject(ocs, {vertices[i]->x, vertices[i]->y, vertices[i]->z});
    const Point3 Q = IntoObject(ocs, {vertices[i + 1]->x, vertices[i + 1]->y, vertices[i + 1]->z});
    const auto arc = BulgeArcOf(P.x, P.y, Q.x, Q.y, VertexBulge(d_, p, *vertices[i]));
    if (!arc) {
      segment(Flat(toWorld.apply(P)), Flat(toWorld.apply(Q)), true, true);
      continue;
    }
    Conic k;
    k.c = Flat(toWorld.apply({arc->cx, arc->cy, P.z}));
    k.u = Flat(toWorld.linear({arc->radius, 0, 0}));
    k.v = Flat(toWorld.linear({0, arc->radius, 0}));
    k.t0 = std::min(arc->aP, arc->aQ), k.t1 = std::max(arc->aP, arc->aQ);
    k.full = false;
    conic(k, true, true, false);
  }
}

void Search::object(std::size_t i, const Placement& pl, bool member, int depth) {
  if (!spend()) return;
  const tpoly& p = d_.polys[i];
  ++object_;
  const auto pts = d_.ps(p);
  auto at = [&](const Tmypoi& v) { return Flat(pl.apply({v.x, v.y, v.z})); };
  switch (p.kind) {
    case Kind::LINE: outline(p, pl, true, true); break;
    case Kind::LEADER: outline(p, pl, true, true); break;
    case Kind::SOLID: outline(p, pl, true, false); break;
    case Kind::SPLINE: {
      spline(p, pl);
      // Its ends: the first drawn point and the last of the same run.
      const Tmypoi* first = nullptr;
      const Tmypoi* last = nullptr;
      for (const Tmypoi& v : pts) {
        if (v.donotdraw) break;
        if (!first) first = &v;
        last = &v;
      }
      if (first && !p.isclosed) offer(at(*first), SnapKind::Endpoint), offer(at(*last), SnapKind::Endpoint);
      break;
    }
    case Kind::RAY:
    case Kind::XLINE: outline(p, pl, false, false); break;
    case Kind::LWPOLYLINE: polyline(p, pl); break;
    case Kind::POLYLINE: polyline(p, pl); break;
    case Kind::ARC:
    case Kind::CIRCLE:
      if (const auto k = ConicOf(d_, p, pl)) conic(*k, true, true, true);
      break;
    case Kind::ELLIPSE:
      if (const auto k = ConicOf(d_, p, pl)) conic(*k, true, false, true);
      break;
    case Kind::POINT:
    case Kind::TEXT:
    case Kind::MTEXT:
      if (!pts.empty()) offer(at(pts[0]), SnapKind::Base);
      break;
    case Kind::ATTRIB:
      if (!pts.empty() && !d_.text(p).invisible) offer(at(pts[0]), SnapKind::Base);
      break;
    case Kind::INSERT:
      if (!pts.empty()) offer(at(pts[0]), SnapKind::Base);
      // A reference among a block's members: its own block, placed twice.
      if (member) reference(p, pl, depth + 1);
      break;
    case Kind::DIMENSION:
      if (member) reference(p, pl, depth + 1);
      break;
    default: break;
  }
}

void Search::reference(const tpoly& ref, const Placement& outer, int depth) {
  if (depth > kDepth) return;
  const std::string_view name = blocks_.referenced(ref);
  if (name.empty()) return;
  const Box3& inside = blocks_.box(name);
  if (inside.empty) return;
  const auto& members = blocks_.members(name);
  const auto [columns, rows] = blocks_.cells(ref);
  std::vector<std::uint32_t> runs;
  std::vector<std::size_t> nearby;
  for (std::int32_t row = 0; row < rows; ++row)
    for (std::int32_t col = 0; col < columns; ++col) {
      if (!spend()) return;
      const Placement pl = outer.after(blocks_.placement(ref, col, row));
      const Box3 b = inside.placed(pl);
      if (!near({b.minx, b.miny}, {b.maxx, b.maxy})) continue;
      // The members near the pointer: through the index where the
      // placement keeps the block's plane level, by the box the aperture
      // makes in the block's own coordinates.
      nearby.clear();
      const double det = pl.m[0][0] * pl.m[1][1] - pl.m[0][1] * pl.m[1][0];
      if (pl.m[0][2] == 0 && pl.m[1][2] == 0 && std::isfinite(det) && det != 0) {
        WorldBox own{INFINITY, INFINITY, -INFINITY, -INFINITY};
        const double margin = (box_.maxx - box_.minx) * 0.3;
        for (const Point2 w : {Point2{box_.minx - margin, box_.miny - margin}, Point2{box_.maxx + margin, box_.miny - margin},
                               Point2{box_.minx - margin, box_.maxy + margin}, Point2{box_.maxx + margin, box_.maxy + margin}}) {
          const double x = w.x - pl.offset.x, y = w.y - pl.offset.y;
          const double bx = (pl.m[1][1] * x - pl.m[0][1] * y) / det, by = (pl.m[0][0] * y - pl.m[1][0] * x) / det;
          own.minx = std::min(own.minx, bx), own.maxx = std::max(own.maxx, bx);
          own.miny = std::min(own.miny, by), own.maxy = std::max(own.maxy, by);
        }
        runs.clear();
        index_.Find(own, runs);
        for (const std::uint32_t r : runs) {
          const auto e = static_cast<std::size_t>(index_.run(r).entry);
          if (d_.polys[e].isblock && d_.theblockname(d_.polys[e]) == name) nearby.push_back(e);
        }
        std::sort(nearby.begin(), nearby.end());
        nearby.erase(std::unique(nearby.begin(), nearby.end()), nearby.end());
      } else {
        nearby = members;
      }
      for (const std::size_t e : nearby) {
        const tpoly& m = d_.polys[e];
        // Members on layer "0" are shown as their reference is.
        if (!OnLayerZero(d_, m) && !blocks_.shown(m)) continue;
        object(e, pl, true, depth);
      }
    }
}

void Search::crossings() {
  // The pieces of ellipses meet others through their flattening: those
  // of its segments that come near the pointer.
  std::vector<std::vector<std::pair<Point2, Point2>>> flat(pieces_.size());
  std::vector<char> elliptic(pieces_.size(), 0);
  for (std::size_t i = 0; i < pieces_.size(); ++i)
    if (pieces_[i].conic && !pieces_[i].k.circular()) {
      const Conic& k = pieces_[i].k;
      elliptic[i] = 1;
      const std::vector<Point2> pts =
          k.flattened(std::max(8, static_cast<int>(kEllipsePieces * (k.t1 - k.t0) / (2 * kPi))));
      for (std::size_t j = 1; j < pts.size(); ++j) {
        const Point2 a = pts[j - 1], b = pts[j];
        if (near({std::min(a.x, b.x), std::min(a.y, b.y)}, {std::max(a.x, b.x), std::max(a.y, b.y)}))
          flat[i].push_back({a, b});
      }
    }
  auto onSegment = [](Point2 p, Point2 a, Point2 b) {
    const double s = SegmentParameter(p, a, b);
    return s >= -1e-12 && s <= 1 + 1e-12;
  };
  auto segSeg = [&](Point2 a1, Point2 a2, Point2 b1, Point2 b2) {
    if (Point2 x; SegmentIntersection(a1, a2, b1, b2, x)) offer(x, SnapKind::Intersection);
  };
  auto segCircle = [&](Point2 a, Point2 b, const Conic& k) {
    Point2 x[2];
    const int n = LineCircle(a, b, k.c, k.radius(), x);
    for (int j = 0; j < n; ++j)
      if (onSegment(x[j], a, b) && k.covers(k.parameter(x[j]))) offer(x[j], SnapKind::Intersection);
  };
  // Calls f(a, b) for each straight piece of piece i: itself, or its
  // flattening.
  auto straight = [&](std::size_t i, auto&& f) {
    if (!pieces_[i].conic) return f(pieces_[i].a, pieces_[i].b);
    for (const auto& [a, b] : flat[i]) f(a, b);
  };
  for (std::size_t i = 0; i < pieces_.size(); ++i)
    for (std::size_t j = i + 1; j < pieces_.size(); ++j) {
      const Piece &A = pieces_[i], &B = pieces_[j];
      if (A.object == B.object) continue;
      if (!spend(static_cast<std::int64_t>(std::max<std::size_t>(flat[i].size(), 1) *
                                           std::max<std::size_t>(flat[j].size(), 1))))
        return;
      const bool ca = A.conic && !elliptic[i], cb = B.conic && !elliptic[j];
      if (ca && cb) {
        Point2 x[2];
        const int n = CircleCircle(A.k.c, A.k.radius(), B.k.c, B.k.radius(), x);
        for (int m = 0; m < n; ++m)
          if (A.k.covers(A.k.parameter(x[m])) && B.k.covers(B.k.parameter(x[m]))) offer(x[m], SnapKind::Intersection);
      } else if (ca) {
        straight(j, [&](Point2 a, Point2 b) { segCircle(a, b, A.k); });
      } else if (cb) {
        straight(i, [&](Point2 a, Point2 b) { segCircle(a, b, B.k); });
      } else {
        straight(i, [&](Point2 a1, Point2 a2) { straight(j, [&](Point2 b1, Point2 b2) { segSeg(a1, a2, b1, b2); }); });
      }
    }
}

std::optional<SnapHit> Search::result() {
  if (on(SnapKind::Intersection)) crossings();
  return best_;
}

}  // namespace

void ObjectSnap::prepare(const Drawing& d, const TabScope& scope, int tab) {
  if (drawing_ == &d && generation_ == d.generation && tab_ == tab && blocks_) return;
  drawing_ = &d, generation_ = d.generation, tab_ = tab;
  blocks_ = std::make_unique<Blocks>(d);
  references_.clear();
  const StyleTables tables(d);
  for (std::size_t i = 0; i < d.polys.size(); ++i) {
    const tpoly& p = d.polys[i];
    if (p.kind != Kind::INSERT && p.kind != Kind::DIMENSION) continue;
    if (!scope.shows(p) || tables.layer(p).off || blocks_->referenced(p).empty()) continue;
    const Box3 b = blocks_->referenceBox(p);
    if (!b.empty) references_.push_back({{b.minx, b.miny, b.maxx, b.maxy}, i});
  }
}

std::optional<SnapHit> ObjectSnap::find(const Drawing& d, const SpatialIndex& index, const TabScope& scope, int tab,
                                        const SnapQuery& q) {
  if (!q.modes || !(q.aperture > 0)) return std::nullopt;
  prepare(d, scope, tab);
  const StyleTables tables(d);
  Search s(d, index, *blocks_, q);
  // The entries near the pointer; the margin takes in arcs between their
  // flattened points.
  const WorldBox& b = s.box();
  const double margin = (b.maxx - b.minx) * 0.3;
  std::vector<std::uint32_t> runs;
  index.Find({b.minx - margin, b.miny - margin, b.maxx + margin, b.maxy + margin}, runs);
  std::vector<std::size_t> entries;
  entries.reserve(runs.size());
  for (const std::uint32_t r : runs) entries.push_back(static_cast<std::size_t>(index.run(r).entry));
  std::sort(entries.begin(), entries.end());
  entries.erase(std::unique(entries.begin(), entries.end()), entries.end());
  for (const std::size_t i : entries) {
    const tpoly& p = d.polys[i];
    // A reference met here gives its insertion point; what it draws comes
    // below.
    if (scope.shows(p) && !tables.layer(p).off) s.entry(i);
  }
  for (const auto& [box, i] : references_)
    if (box.minx <= b.maxx && box.maxx >= b.minx && box.miny <= b.maxy && box.maxy >= b.miny)
      s.reference(d.polys[i], Placement{}, 0);
  return s.result();
}

}  // namespace vestrel
