#include "editing/breaking.h"

#include <algorithm>
#include <cmath>
#include <string>
#include <utility>
#include <vector>

#include "editing/shapes.h"
#include "editing/splineobject.h"
#include "geometry/trim.h"

namespace vestrel {

namespace {

using S = ReshapeResult::Status;

// The object of a display-list entry as read, and its lines.
struct Picked {
  EditUnit unit{};
  Shape shape;
  bool found = false;
};

Picked Pick(const Drawing& d, std::int32_t entry) {
  Picked p;
  if (entry < 0 || entry >= d.anzpoly()) return p;
  const tpoly& q = d.polys[static_cast<std::size_t>(entry)];
  p.unit = {q.linefrom, q.linebis, entry};
  p.shape = ReadShape(d, p.unit);
  p.found = true;
  return p;
}

bool Takes(const Shape& s) {
  return s.line || s.polyline || s.kind == "ARC" || s.kind == "CIRCLE" || s.kind == "ELLIPSE";
}

// The kind as a refusal names it: a closed polyline or whole ellipse with
// its closing.
std::string Closed(const Shape& s) {
  return s.refused + (s.path.closed && s.kind != "CIRCLE" ? " (CLOSED)" : "");
}

Point3 Unit(Point3 n) {
  const double l = Norm(n);
  return {n.x / l, n.y / l, n.z / l};
}

// The path parameter of what lies under the drawing point p: on a line
// the nearest point; on a curve in its own plane the nearest to where the
// plane lies under p.
double ParameterOf(const Shape& s, Point2 p) {
  if (s.line) return NearestParameter(s.path, p);
  const Point3 n = Unit(s.normal);
  const double z = std::abs(n.z) > 1e-12 ? (s.elevation - n.x * p.x - n.y * p.y) / n.z : 0;
  const Point3 q = IntoObject(ObjectCoordinates(s.normal), {p.x, p.y, z});
  return NearestParameter(s.path, {q.x, q.y});
}

// A point of a line's path in the world: its height taken along the line.
Point3 OnLine(const Shape& s, Point2 p) {
  const double dx = s.b.x - s.a.x, dy = s.b.y - s.a.y;
  const double t = ((p.x - s.a.x) * dx + (p.y - s.a.y) * dy) / (dx * dx + dy * dy);
  return {p.x, p.y, s.a.z + t * (s.b.z - s.a.z)};
}

// A path of an object of one curve as one piece: a cut across the start
// of a circle or ellipse comes back in two pieces of the one conic.
Piece OnePiece(const Path& p) {
  Piece first = p.pieces.front();
  if (p.pieces.size() < 2 || !first.elliptic) return first;
  Conic k = first.conic;
  for (std::size_t i = 1; i < p.pieces.size(); ++i) k.t1 += p.pieces[i].conic.t1 - p.pieces[i].conic.t0;
  k.full = false;
  return ConicPiece(k);
}

// The widths of the vertices of `p`, a part of the polyline `s`: each
// segment tapers as the part of the segment of `s` it lies on did; none
// when `s` has no width.
std::vector<SegmentWidth> WidthsOf(const Shape& s, const Path& p) {
  const std::size_t n = s.path.pieces.size();
  if (s.widths.size() < n || std::all_of(s.widths.begin(), s.widths.end(), [](const SegmentWidth& w) {
        return w.start == 0 && w.end == 0;
      }))
    return {};
  std::vector<SegmentWidth> out;
  for (const Piece& piece : p.pieces) {
    const double u = NearestParameter(s.path, PointAt(piece, 0.5));
    const std::size_t i = std::min(static_cast<std::size_t>(std::max(u, 0.0)), n - 1);
    const Piece& from = s.path.pieces[i];
    const SegmentWidth w = s.widths[i];
    auto at = [&](Point2 q) { return w.start + (w.end - w.start) * NearestParameter(from, q); };
    out.push_back({at(piece.a), at(piece.b)});
  }
  // An open polyline's last vertex starts no segment.
  if (!p.closed) out.push_back({out.back().end, out.back().end});
  return out;
}

// What is left of `s` as an object of its kind (a circle's part as an arc).
bool Write(CodeLines& l, const Picked& o, const Path& p) {
  const Shape& s = o.shape;
  if (p.pieces.empty()) return false;
  if (s.line) {
    WriteLine(l, o.unit, OnLine(s, p.pieces.front().a), OnLine(s, p.pieces.back().b));
    return true;
  }
  if (s.polyline) {
    const auto vertices = VerticesOf(p);
    if (!vertices) return false;
    WritePolyline(l, o.unit, *vertices, p.closed, s.normal, s.elevation, WidthsOf(s, p));
    return true;
  }
  const Piece piece = OnePiece(p);
  if (s.kind == "ELLIPSE") {
    WriteEllipse(l, o.unit, piece.conic, s.normal, s.elevation);
    return true;
  }
  const auto arc = CircleOf(piece);
  if (!arc) return false;
  WriteArc(l, o.unit, *arc, s.normal, s.elevation);
  return true;
}

// The world points of a path of the shape, each piece in 32 steps.
std::vector<Point2> Outline(const Shape& s, const Path& p) {
  std::vector<Point2> out;
  const Placement ocs = ObjectCoordinates(s.normal);
  for (const Piece& piece : p.pieces)
    for (int k = out.empty() ? 0 : 1; k <= 32; ++k) {
      const Point2 q = PointAt(piece, k / 32.0);
      if (s.line) {
        out.push_back(q);
      } else {
        const Point3 w = World(s, ocs, q);
        out.push_back({w.x, w.y});
      }
    }
  return out;
}

// The parameters a break between two points cuts at: the part from the
// first to the second goes, on a closed object counter-clockwise as the
// drawing shows it (in its plane unless that faces away, or the path runs
// clockwise).
std::pair<double, double> Cuts(const Shape& s, Point2 first, Point2 second) {
  double u0 = ParameterOf(s, first), u1 = ParameterOf(s, second);
  if (s.path.closed && (SignedArea(s.path) < 0) != (Unit(s.normal).z < 0)) std::swap(u0, u1);
  return {u0, u1};
}

ReshapeResult Fault(GeometryFault f) {
  switch (f) {
    case GeometryFault::ZeroLength: return Refused(S::NothingLeft);
    case GeometryFault::FullTurn: return Refused(S::WouldClose);
    default: return Refused(S::InvalidValue);
  }
}

// The parts in place of the object, as one step.
ReshapeResult Replace(DocumentContext& c, const Picked& o, const std::vector<Path>& parts) {
  Replacement r(c);
  for (const Path& p : parts)
    if (!Write(r.lines, o, p)) return Refused(S::InvalidValue);
  r.place(o.unit.from);
  return Commit(c, {o.unit}, r, static_cast<int>(parts.size()), 0);
}

// A spline is cut through its exact curve, in the plan.
bool IsSpline(const Picked& o) { return o.found && o.shape.kind == "SPLINE"; }

SplineObject SplineOfPick(const Drawing& d, const Picked& o) { return ReadSplineObject(d, o.unit.from, o.unit.to); }

ReshapeResult Replace(DocumentContext& c, const Picked& o, const std::vector<Spline>& parts) {
  Replacement r(c);
  for (const Spline& p : parts) WriteSpline(r.lines, o.unit, p, true);
  r.place(o.unit.from);
  return Commit(c, {o.unit}, r, static_cast<int>(parts.size()), 0);
}

// The spline parameters a break between two points cuts at: on a closed
// curve the part that goes runs counter-clockwise from the first.
std::pair<double, double> Cuts(const SplineObject& so, Point2 first, Point2 second) {
  double v0 = NearestSplineParameter(so.curve, first), v1 = NearestSplineParameter(so.curve, second);
  if (so.closed) {
    const std::vector<Point3> flat = FlattenSpline(so.curve);
    double twice = 0;
    for (std::size_t i = 1; i < flat.size(); ++i) twice += flat[i - 1].x * flat[i].y - flat[i].x * flat[i - 1].y;
    if (twice < 0) std::swap(v0, v1);
  }
  return {v0, v1};
}

ReshapeResult BreakSpline(DocumentContext& c, const Picked& o, Point2 first, std::optional<Point2> second) {
  const SplineObject so = SplineOfPick(c.drawing, o);
  if (!so.cuttable) return Refused(S::InvalidValue);
  const double lo = SplineStart(so.curve), hi = SplineEnd(so.curve);
  Outcome<std::vector<Spline>> parts;
  if (!second || (second->x == first.x && second->y == first.y)) {
    const double v = NearestSplineParameter(so.curve, first);
    if (!so.closed && (v <= lo || v >= hi)) return Refused(S::NoBreakHere);
    parts = BreakAt(so.curve, so.closed, v);
    if (parts.ok() && !so.closed && parts.value.size() < 2) return Refused(S::NoBreakHere);
  } else {
    const auto [v0, v1] = Cuts(so, first, *second);
    parts = BreakBetween(so.curve, so.closed, v0, v1);
  }
  if (!parts.ok()) return Fault(parts.fault);
  return Replace(c, o, parts.value);
}

// Whether a spline is lengthened at its end: the click lies nearer to it
// along the curve.
bool AtEnd(const Spline& s, Point2 near) {
  const double lo = SplineStart(s), hi = SplineEnd(s);
  return SplineLength(s, lo, NearestSplineParameter(s, near)) >= SplineLength(s, lo, hi) / 2;
}

Outcome<Spline> Lengthened(const Spline& s, Point2 near, double value, bool total) {
  const bool atEnd = AtEnd(s, near);
  return total ? LengthenTo(s, atEnd, value) : Lengthen(s, atEnd, value);
}

std::vector<Point2> Outline(const Spline& s) {
  std::vector<Point2> out;
  for (const Point3& p : FlattenSpline(s)) out.push_back({p.x, p.y});
  return out;
}

}  // namespace

ReshapeResult BreakObject(DocumentContext& c, std::int32_t entry, Point2 first, std::optional<Point2> second) {
  const Picked o = Pick(c.drawing, entry);
  if (!o.found) return Refused(S::NothingSelected);
  const Shape& s = o.shape;
  if (!Takes(s) && !IsSpline(o)) return Refused(S::NotThisKind, s.refused);
  if (!s.finite || !std::isfinite(first.x + first.y)) return Refused(S::InvalidValue);
  if (second && !std::isfinite(second->x + second->y)) return Refused(S::InvalidValue);
  if (IsSpline(o)) return BreakSpline(c, o, first, second);
  if (!(Length(s.path) > 0)) return Refused(S::NothingLeft);
  const double u0 = ParameterOf(s, first);
  const bool atOne = !second || (second->x == first.x && second->y == first.y);
  if (atOne) {
    // A circle or ellipse opened at one point would be a whole turn still;
    // at an end of an open object nothing is broken.
    const double n = static_cast<double>(s.path.pieces.size());
    if ((s.path.closed && !s.polyline) || (!s.path.closed && (u0 <= 0 || u0 >= n))) return Refused(S::NoBreakHere);
    const Outcome<std::vector<Path>> parts = BreakAt(s.path, u0);
    if (!parts.ok()) return Fault(parts.fault);
    if (!s.path.closed && parts.value.size() < 2) return Refused(S::NoBreakHere);
    return Replace(c, o, parts.value);
  }
  const auto [from, to] = Cuts(s, first, *second);
  const Outcome<std::vector<Path>> parts = BreakBetween(s.path, from, to);
  if (!parts.ok()) return Fault(parts.fault);
  return Replace(c, o, parts.value);
}

ReshapeResult LengthenObject(DocumentContext& c, std::int32_t entry, Point2 near, double value, bool total) {
  const Picked o = Pick(c.drawing, entry);
  if (!o.found) return Refused(S::NothingSelected);
  const Shape& s = o.shape;
  if (IsSpline(o)) {
    const SplineObject so = SplineOfPick(c.drawing, o);
    if (so.closed) return Refused(S::NotThisKind, s.refused + " (CLOSED)");
    if (!so.cuttable || !std::isfinite(near.x + near.y) || !std::isfinite(value)) return Refused(S::InvalidValue);
    const Outcome<Spline> longer = Lengthened(so.curve, near, value, total);
    if (!longer.ok()) return Fault(longer.fault);
    return Replace(c, o, std::vector<Spline>{longer.value});
  }
  if (!Takes(s) || s.path.closed) return Refused(S::NotThisKind, Closed(s));
  if (!s.finite || !std::isfinite(near.x + near.y) || !std::isfinite(value)) return Refused(S::InvalidValue);
  if (!(Length(s.path) > 0)) return Refused(S::NothingLeft);
  // The end nearer to the click along the object.
  const double u = ParameterOf(s, near);
  const bool atEnd = LengthAt(s.path, u) >= Length(s.path) / 2;
  const Outcome<Path> longer = total ? LengthenTo(s.path, atEnd, value) : Lengthen(s.path, atEnd, value);
  if (!longer.ok()) return Fault(longer.fault);
  return Replace(c, o, {longer.value});
}

std::vector<Point2> BreakGhost(const Drawing& d, std::int32_t entry, Point2 first, Point2 second) {
  const Picked o = Pick(d, entry);
  const Shape& s = o.shape;
  if (!std::isfinite(first.x + first.y + second.x + second.y)) return {};
  if (IsSpline(o)) {
    const SplineObject so = SplineOfPick(d, o);
    if (!so.cuttable) return {};
    auto [v0, v1] = Cuts(so, first, second);
    if (!so.closed && v1 < v0) std::swap(v0, v1);
    if (so.closed && v1 < v0) {
      return Outline(JoinSplines(SubSpline(so.curve, v0, SplineEnd(so.curve)), SubSpline(so.curve, SplineStart(so.curve), v1)));
    }
    return Outline(SubSpline(so.curve, v0, v1));
  }
  if (!o.found || !Takes(s) || !s.finite || !IsFinite(s.path)) return {};
  auto [from, to] = Cuts(s, first, second);
  const double n = static_cast<double>(s.path.pieces.size());
  if (!s.path.closed && to < from) std::swap(from, to);
  if (s.path.closed && to < from) to += n;
  return Outline(s, Slice(s.path, from, to));
}

std::vector<Point2> LengthenGhost(const Drawing& d, std::int32_t entry, Point2 near, double value, bool total) {
  const Picked o = Pick(d, entry);
  const Shape& s = o.shape;
  if (IsSpline(o)) {
    const SplineObject so = SplineOfPick(d, o);
    if (so.closed || !so.cuttable || !std::isfinite(near.x + near.y + value)) return {};
    const Outcome<Spline> longer = Lengthened(so.curve, near, value, total);
    return longer.ok() ? Outline(longer.value) : std::vector<Point2>{};
  }
  if (!o.found || !Takes(s) || s.path.closed || !s.finite || !std::isfinite(near.x + near.y + value)) return {};
  const double u = ParameterOf(s, near);
  const bool atEnd = LengthAt(s.path, u) >= Length(s.path) / 2;
  const Outcome<Path> longer = total ? LengthenTo(s.path, atEnd, value) : Lengthen(s.path, atEnd, value);
  return longer.ok() ? Outline(s, longer.value) : std::vector<Point2>{};
}

}  // namespace vestrel
