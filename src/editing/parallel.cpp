#include "editing/parallel.h"

#include <algorithm>
#include <cmath>

#include "editing/shapes.h"
#include "editing/splineobject.h"
#include "geometry/offset.h"

namespace vestrel {

namespace {

using S = ParallelResult::Status;

double Cross(Point2 a, Point2 b) { return a.x * b.y - a.y * b.x; }
Point2 Minus(Point2 a, Point2 b) { return {a.x - b.x, a.y - b.y}; }

// The kinds that have a parallel, as read.
bool HasParallel(const Shape& s) {
  return s.line || s.kind == "ARC" || s.kind == "CIRCLE" || s.kind == "ELLIPSE" || s.explodable || s.kind == "SPLINE";
}

// A spline in its own plane: its curve there, at its elevation; refused as
// "SPLINE (3D)" when its points do not lie in one plane.
struct PlaneSpline {
  Spline curve;
  bool planar = false;
  double size = 0;  // across its controls
};
PlaneSpline SplineInPlane(const Drawing& d, const EditUnit& u, Shape& s) {
  PlaneSpline out;
  EachGroup(d, u.from, u.to, [&](int g, std::string_view v) {
    if (g == 210) s.normal.x = Number(v);
    if (g == 220) s.normal.y = Number(v);
    if (g == 230) s.normal.z = Number(v);
  });
  if (!std::isfinite(s.normal.x + s.normal.y + s.normal.z) || Norm(s.normal) == 0) s.normal = {0, 0, 1};
  out.curve = SplineOf(d, u.from, u.to);
  s.finite = Cuttable(out.curve);
  if (!s.finite) return out;
  const Placement own = ObjectCoordinates(s.normal);
  for (Point3& c : out.curve.controls) c = IntoObject(own, c);
  const Point3 first = out.curve.controls.front();
  for (const Point3& c : out.curve.controls) out.size = std::max(out.size, Norm({c.x - first.x, c.y - first.y, c.z - first.z}));
  s.elevation = first.z;
  out.planar = std::all_of(out.curve.controls.begin(), out.curve.controls.end(),
                           [&](const Point3& c) { return std::abs(c.z - s.elevation) <= 1e-9 * out.size; });
  if (!out.planar) s.refused = "SPLINE (3D)";
  return out;
}

std::string RefusedKind(const Shape& s) {
  if (HasParallel(s)) return {};
  return s.refused.empty() ? std::string("?") : s.refused;
}

// The point of the object's plane that the plan shows at p: along the
// world's z onto the plane (a plane seen edge on takes p as it is).
Point2 InPlane(const Shape& s, Point2 p) {
  if (s.line) return p;
  const Placement own = ObjectCoordinates(s.normal);
  const double nx = own.m[0][2], ny = own.m[1][2], nz = own.m[2][2];
  const double z = std::abs(nz) > 1e-9 ? (s.elevation - nx * p.x - ny * p.y) / nz : 0;
  const Point3 o = IntoObject(own, {p.x, p.y, z});
  return {o.x, o.y};
}

int Sign(double x) { return x > 0 ? 1 : x < 0 ? -1 : 0; }

// Where q lies from the path, and how far: the side (+1 left of its
// direction of travel, which is inside a counter-clockwise contour, -1
// right, 0 on it) and the distance a parallel through q keeps. A single
// segment or arc counts from its whole line or circle.
struct Beside {
  int side = 0;
  double distance = 0;
};
Beside BesideOf(const Path& p, Point2 q) {
  if (p.pieces.size() == 1) {
    const Piece& k = p.pieces.front();
    if (const auto arc = CircleOf(k)) {
      const double from = std::hypot(q.x - arc->c.x, q.y - arc->c.y) - arc->r;
      // Inside the circle is left of an arc that turns counter-clockwise.
      return {Sign(-from) * Sign(arc->sweep), std::abs(from)};
    }
    if (!k.elliptic) {
      const Point2 d = Minus(k.b, k.a);
      const double length = std::hypot(d.x, d.y);
      const double cross = length > 0 ? Cross(d, Minus(q, k.a)) / length : 0;
      return {Sign(cross), std::abs(cross)};
    }
  }
  const double u = NearestParameter(p, q);
  const Point2 near = PointAt(p, u);
  const double distance = std::hypot(q.x - near.x, q.y - near.y);
  if (p.closed) {
    const bool inside = WindingNumber(p, q) != 0;
    return {distance == 0 ? 0 : inside == (SignedArea(p) > 0) ? 1 : -1, distance};
  }
  // At a vertex, the side of both pieces that meet there.
  const auto n = static_cast<double>(p.pieces.size());
  const double i = std::min(std::floor(u), n - 1), s = u - i;
  Point2 dir = DirectionAt(p, u);
  if (s < 1e-9 && i > 0) {
    const Point2 before = DirectionAt(p.pieces[static_cast<std::size_t>(i) - 1], 1);
    dir = {dir.x + before.x, dir.y + before.y};
  } else if (s > 1 - 1e-9 && i + 1 < n) {
    const Point2 after = DirectionAt(p.pieces[static_cast<std::size_t>(i) + 1], 0);
    dir = {dir.x + after.x, dir.y + after.y};
  }
  return {Sign(Cross(dir, Minus(q, near))), distance};
}

// The parallels of one object, in its own plane.
struct Planned {
  S status = S::Done;
  std::string kind;
  EditUnit unit{};
  Shape shape;
  std::vector<Path> paths;
};

Planned Plan(const Drawing& d, std::int32_t entry, Point2 side, std::optional<double> distance) {
  Planned p;
  if (entry < 0 || entry >= d.anzpoly()) {
    p.status = S::NotThisKind;
    return p;
  }
  const tpoly& o = d.polys[static_cast<std::size_t>(entry)];
  p.unit = {o.linefrom, o.linebis, entry};
  p.shape = ReadShape(d, p.unit);
  // A spline's curve as arcs, finely first, to find the side and distance.
  PlaneSpline spline;
  if (p.shape.kind == "SPLINE") {
    spline = SplineInPlane(d, p.unit, p.shape);
    if (!spline.planar) p.shape.kind = {};
    else p.shape.path = SplineArcs(spline.curve, 1e-6 * spline.size);
  }
  Shape& s = p.shape;
  p.kind = RefusedKind(s);
  if (!p.kind.empty()) {
    p.status = S::NotThisKind;
    return p;
  }
  if (!s.finite || !std::isfinite(side.x + side.y) || (distance && !(std::isfinite(*distance) && *distance > 0))) {
    p.status = S::InvalidValue;
    return p;
  }
  p.kind = s.refused;  // as a message about its length names it
  if (!(Length(s.path) > 0)) {
    p.status = S::NoLength;
    return p;
  }
  const Beside b = BesideOf(s.path, InPlane(s, side));
  const double away = distance.value_or(b.distance);
  if (b.side == 0 || away == 0) {
    // On the object itself: no side is shown, and through it there is
    // only the object again.
    p.status = S::OnTheObject;
    return p;
  }
  // Arcs whose parallels stay within a thousandth of the distance of the
  // spline's (half of it for the arcs, half for where they meet).
  if (!spline.curve.controls.empty()) s.path = SplineArcs(spline.curve, away / 4000);
  const Outcome<std::vector<Path>> r = Offset(s.path, b.side * away);
  switch (r.fault) {
    case GeometryFault::None: break;
    case GeometryFault::ZeroLength: p.status = S::NoLength; return p;
    case GeometryFault::Vanished: p.status = S::Vanished; return p;
    default: p.status = S::InvalidValue; return p;
  }
  p.paths = r.value;
  if (p.paths.empty()) p.status = S::Vanished;
  return p;
}

// The path with its circular conics (circles, arcs of ellipses that are
// round) as bulge arcs, as polylines take them.
Path Bulged(const Path& path) {
  Path out{{}, path.closed};
  for (const Piece& k : path.pieces) {
    const auto arc = k.elliptic ? CircleOf(k) : std::nullopt;
    if (!arc) {
      out.pieces.push_back(k);
    } else if (k.conic.full) {
      // Two halves, turning the way the circle runs.
      const double turn = Cross(k.conic.u, k.conic.v) > 0 ? 1 : -1;
      const Point2 a = k.conic.at(k.conic.t0), b = k.conic.at(k.conic.t0 + kPi);
      out.pieces.push_back(BulgePiece(a, b, turn));
      out.pieces.push_back(BulgePiece(b, a, turn));
    } else {
      out.pieces.push_back(BulgePiece(k.a, k.b, std::tan(arc->sweep / 4)));
    }
  }
  return out;
}

// One parallel, of the kind of its object: a line of a line, an arc of an
// arc, a circle of a circle, a polyline of the rest.
void WriteParallel(CodeLines& l, const EditUnit& u, const Shape& s, const Path& path) {
  const Piece* only = path.pieces.size() == 1 ? &path.pieces.front() : nullptr;
  if (s.line && only && !only->elliptic && only->bulge == 0) {
    StartLike(l, u, "LINE", "AcDbLine");
    l.add(" 10", only->a.x);
    l.add(" 20", only->a.y);
    l.add(" 30", s.a.z);
    l.add(" 11", only->b.x);
    l.add(" 21", only->b.y);
    l.add(" 31", s.b.z);
    return;
  }
  if (only && (s.kind == "ARC" || s.kind == "CIRCLE")) {
    if (const auto arc = CircleOf(*only)) {
      if (s.kind == "ARC") return WriteArc(l, u, *arc, s.normal, s.elevation);
      StartLike(l, u, "CIRCLE", "AcDbCircle");
      l.add(" 10", arc->c.x);
      l.add(" 20", arc->c.y);
      l.add(" 30", s.elevation);
      l.add(" 40", arc->r);
      AddNormal(l, s.normal);
      return;
    }
  }
  if (const auto v = VerticesOf(Bulged(path))) WritePolyline(l, u, *v, path.closed, s.normal, s.elevation);
}

// The world points of a path, its arcs in chords of at most 1/32 of a
// turn.
std::vector<Point3> Outline(const Shape& s, const Path& path) {
  const Placement own = ObjectCoordinates(s.normal);
  std::vector<Point3> out;
  auto add = [&](Point2 p) {
    if (s.line) {
      out.push_back({p.x, p.y, s.a.z});
    } else {
      out.push_back(World(s, own, p));
    }
  };
  for (const Piece& k : path.pieces) {
    if (out.empty()) add(PointAt(k, 0));
    const auto arc = CircleOf(k);
    const double turn = arc ? std::abs(arc->sweep) : k.elliptic ? k.conic.t1 - k.conic.t0 : 0;
    const int chords = std::clamp(static_cast<int>(std::ceil(turn / (kPi / 16))), 1, 64);
    for (int j = 1; j <= chords; ++j) add(PointAt(k, static_cast<double>(j) / chords));
  }
  return out;
}

}  // namespace

std::string ParallelRefused(const Drawing& d, std::int32_t entry) {
  if (entry < 0 || entry >= d.anzpoly()) return {};
  const tpoly& o = d.polys[static_cast<std::size_t>(entry)];
  return RefusedKind(ReadShape(d, {o.linefrom, o.linebis, entry}));
}

ParallelResult AddParallel(DocumentContext& c, std::int32_t entry, Point2 side, std::optional<double> distance) {
  const Planned p = Plan(c.drawing, entry, side, distance);
  if (p.status != S::Done) return {p.status, p.kind, 0};
  CodeLines lines(c);
  lines.insertAt(p.unit.to + 1);
  for (const Path& path : p.paths) WriteParallel(lines, p.unit, p.shape, path);
  switch (InsertAndParse(c, lines)) {
    case InsertResult::Inserted: return {S::Done, {}, static_cast<int>(p.paths.size())};
    case InsertResult::NoHandleLeft: return {S::NoHandleLeft, {}, 0};
    case InsertResult::NoInsertionPoint: return {S::NoInsertionPoint, {}, 0};
    default: return {S::InvalidValue, {}, 0};
  }
}

std::vector<std::vector<Point3>> ParallelOutlines(const Drawing& d, std::int32_t entry, Point2 side,
                                                  std::optional<double> distance) {
  const Planned p = Plan(d, entry, side, distance);
  std::vector<std::vector<Point3>> out;
  for (const Path& path : p.paths) out.push_back(Outline(p.shape, path));
  return out;
}

}  // namespace vestrel
