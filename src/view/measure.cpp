#include "view/measure.h"

#include <algorithm>
#include <cmath>

#include "editing/objectplane.h"
#include "geometry/bulge.h"
#include "document/numbers.h"
#include "geometry/spline.h"
#include "view/colors.h"
#include "view/objectsnap.h"

namespace vestrel {

namespace {

// References inside references are followed this deep, and a hostile
// drawing (an array of a billion cells) is measured this far: so many
// members of references visited.
constexpr int kDepth = 16;
constexpr std::size_t kMostVisits = 1000000;

Point2 Flat(Point3 p) { return {p.x, p.y}; }

// A path whose ends meet closes, flagged or not.
Contour Closing(Path path, bool flagged) {
  if (!path.pieces.empty() && !flagged) {
    const Point2 a = path.pieces.front().a, b = path.pieces.back().b;
    const double l = Length(path);
    path.closed = path.pieces.size() > 1 && std::hypot(b.x - a.x, b.y - a.y) <= 1e-12 * l;
  } else {
    path.closed = flagged && !path.pieces.empty();
  }
  return ContourOf(std::move(path));
}

// The drawn points of an entry, as straight segments; `closed` adds the
// way back to its first.
Contour Outline(const Drawing& d, const tpoly& p, const Placement& pl, bool closed) {
  std::vector<Point2> points;
  for (const Tmypoi& v : d.ps(p))
    if (!v.donotdraw && !(v.moveonly && !points.empty())) points.push_back(Flat(pl.apply({v.x, v.y, v.z})));
  Path path;
  for (std::size_t i = 1; i < points.size(); ++i) path.pieces.push_back(SegmentPiece(points[i - 1], points[i]));
  if (closed && points.size() > 2 && (points.back().x != points.front().x || points.back().y != points.front().y))
    path.pieces.push_back(SegmentPiece(points.back(), points.front()));
  return Closing(std::move(path), closed && points.size() > 2);
}

// A 2-D polyline: its vertices as the file gives them, each segment with
// a bulge the arc it makes in the polyline's plane, placed.
Contour Polyline(const Drawing& d, const tpoly& p, const Placement& pl) {
  const ObjectPlane plane = ObjectPlaneOf(d.dxf, p.linefrom, p.linebis);
  if (!plane.planar) return Outline(d, p, pl, p.isclosed);
  const Placement ocs = ObjectCoordinates(plane.normal);
  const Placement toWorld = pl.after(ocs);
  std::vector<const Tmypoi*> vertices;
  for (const Tmypoi& v : d.ps(p))
    if (v.linex != 0 && !v.donotdraw) vertices.push_back(&v);
  // The reader ends a closed outline with a copy of its first vertex: the
  // closing segment below draws that way back.
  if (p.isclosed && vertices.size() > 1 && vertices.back()->linex == vertices.front()->linex) vertices.pop_back();
  Path path;
  const std::size_t n = vertices.size();
  const std::size_t segments = p.isclosed && n > 1 ? n : n - std::min<std::size_t>(n, 1);
  for (std::size_t i = 0; i < segments; ++i) {
    const Tmypoi& from = *vertices[i];
    const Tmypoi& to = *vertices[(i + 1) % n];
    const Point3 P = IntoObject(ocs, {from.x, from.y, from.z}), Q = IntoObject(ocs, {to.x, to.y, to.z});
    const double b = VertexBulge(d, p, from);
    const auto arc = BulgeArcOf(P.x, P.y, Q.x, Q.y, b);
    if (!arc || !std::isfinite(b)) {
      path.pieces.push_back(SegmentPiece(Flat(toWorld.apply(P)), Flat(toWorld.apply(Q))));
      continue;
    }
    // The arc from P, turning the bulge's way, through its sweep.
    const Point3 u{P.x - arc->cx, P.y - arc->cy, 0};
    const double turn = b > 0 ? 1 : -1;
    Conic k;
    k.c = Flat(toWorld.apply({arc->cx, arc->cy, P.z}));
    k.u = Flat(toWorld.linear(u));
    k.v = Flat(toWorld.linear({-u.y * turn, u.x * turn, 0}));
    k.t0 = 0, k.t1 = 4 * std::atan(std::abs(b)), k.full = false;
    path.pieces.push_back(ConicPiece(k));
  }
  return Closing(std::move(path), p.isclosed && n > 1);
}

// A polygon mesh or a polyface mesh is a surface: its vertices are a grid
// or the corners of its faces, no path along which it could be measured.
bool IsMesh(const Drawing& d, const tpoly& p) {
  for (std::int32_t i = p.linefrom + 2; i + 1 <= p.linebis; i += 2) {
    const std::string_view code = d.value(i);
    if (code == "0") break;
    if (GroupCode(code) != 70) continue;
    const auto flags = ParseInt(d.value(i + 1));
    return flags && (*flags & (16 | 64)) != 0;
  }
  return false;
}

class Measurer {
 public:
  Measurer(const Drawing& d, Blocks& blocks, std::vector<Contour>& out, bool withPaths)
      : d_(d), blocks_(blocks), out_(out), withPaths_(withPaths) {}

  bool object(std::size_t i, const Placement& pl, int depth) {
    const tpoly& p = d_.polys[i];
    switch (p.kind) {
      case Kind::LINE:
      case Kind::LEADER: add(Outline(d_, p, pl, false)); return true;
      case Kind::SOLID:
      case Kind::WIPEOUT: add(Outline(d_, p, pl, true)); return true;
      case Kind::POLYLINE:
        if (IsMesh(d_, p)) return false;
        add(Polyline(d_, p, pl));
        return true;
      case Kind::LWPOLYLINE: add(Polyline(d_, p, pl)); return true;
      case Kind::ARC:
      case Kind::CIRCLE:
      case Kind::ELLIPSE:
        if (const auto k = ConicOf(d_, p, pl)) add(Closing({{ConicPiece(*k)}, k->full}, k->full));
        return true;
      case Kind::SPLINE: {
        const Spline s = SplineOf(d_, p);
        const std::size_t t = static_cast<std::size_t>(std::max(s.order, 1));
        if (s.controls.empty() || s.knots.size() < s.controls.size() + t) return true;
        std::vector<double> breaks(s.knots.begin() + static_cast<std::ptrdiff_t>(t - 1),
                                   s.knots.begin() + static_cast<std::ptrdiff_t>(s.controls.size() + 1));
        breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
        // The spans are open at their ends: the curve's end is their limit.
        const double end = std::nextafter(breaks.back(), breaks.front());
        add(SampledContour([&](double v) { return Flat(pl.apply(CurvePoint(s, std::min(v, end)))); }, breaks,
                           withPaths_));
        return true;
      }
      case Kind::INSERT: {
        if (depth > kDepth) return true;
        const std::string_view name = blocks_.referenced(p);
        if (name.empty()) return true;
        const auto [columns, rows] = blocks_.cells(p);
        const std::vector<std::size_t> members = blocks_.members(name);
        for (std::int32_t row = 0; row < rows; ++row)
          for (std::int32_t col = 0; col < columns; ++col) {
            const Placement cell = pl.after(blocks_.placement(p, col, row));
            for (const std::size_t m : members) {
              if (++visits_ > kMostVisits) return true;
              const tpoly& member = d_.polys[m];
              if (!OnLayerZero(d_, member) && !blocks_.shown(member)) continue;
              object(m, cell, depth + 1);
            }
          }
        return true;
      }
      default: return false;
    }
  }

 private:
  void add(Contour c) {
    if (!c.path.pieces.empty() || c.length > 0) out_.push_back(std::move(c));
  }

  const Drawing& d_;
  Blocks& blocks_;
  std::vector<Contour>& out_;
  const bool withPaths_;
  std::size_t visits_ = 0;
};

}  // namespace

bool AddContours(const Drawing& d, Blocks& blocks, std::size_t entry, std::vector<Contour>& out, bool withPaths) {
  if (entry >= d.polys.size()) return false;
  return Measurer(d, blocks, out, withPaths).object(entry, Placement{}, 0);
}

}  // namespace vestrel
