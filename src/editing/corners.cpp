#include "editing/corners.h"

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string_view>
#include <utility>

#include "document/numbers.h"
#include "document/tabscope.h"
#include "editing/shapes.h"
#include "geometry/fillet.h"
#include "geometry/placement.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

using S = CornerResult::Status;

CornerResult Refused(S status, std::string kind = {}) {
  CornerResult r;
  r.status = status;
  r.kind = std::move(kind);
  return r;
}

Point3 Unit(Point3 n) {
  const double l = std::sqrt(Dot(n, n));
  return {n.x / l, n.y / l, n.z / l};
}

// The plane a corner is made in: an object coordinate system and the
// height in it.
struct Plane {
  Point3 normal{0, 0, 1};
  Placement ocs;
  double elevation = 0;
  Point3 world(Point2 p) const { return ocs.apply({p.x, p.y, elevation}); }
  // Where the plane lies under a point of the plan: seen from above, as
  // the user clicks it.
  std::optional<Point2> under(Point2 at) const {
    const Point3 p = IntoObject(ocs, {at.x, at.y, 0}), up = IntoObject(ocs, {0, 0, 1});
    if (std::abs(up.z) < 1e-9) return std::nullopt;
    const double t = (elevation - p.z) / up.z;
    return Point2{p.x + t * up.x, p.y + t * up.y};
  }
};

// A picked object as the corner takes it.
struct Picked {
  EditUnit unit{};
  Shape shape;
  Piece piece;  // in the plane of the corner
  Point2 at;    // the pick, in that plane
};

bool Fitted(const Drawing& d, const EditUnit& u) {
  if (d.value(u.from + 1) != "POLYLINE") return false;
  for (std::int32_t k = u.from + 2; k + 1 <= u.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0) break;
    if (g == 70) return (static_cast<int>(ParseDouble(d.value(k + 1)).value_or(0)) & 6) != 0;
  }
  return false;
}

// The object of `entry`, read; a kind the tool cannot take refused.
std::optional<CornerResult> Read(const Drawing& d, int tab, std::int32_t entry, bool chamfer, Picked& out) {
  if (entry < 0 || entry >= d.anzpoly()) return Refused(S::NoCorner);
  const tpoly& p = d.polys[static_cast<std::size_t>(entry)];
  if (!TabScope::OfTab(d, tab).shows(p) || p.isblock) return Refused(S::NoCorner);
  out.unit = {p.linefrom, p.linebis, entry};
  out.shape = ReadShape(d, out.unit);
  const Shape& s = out.shape;
  const bool polyline = s.explodable && !Fitted(d, out.unit);
  if (!(s.line || polyline || (s.kind == "ARC" && !chamfer)))
    return Refused(S::NotThisKind, s.explodable ? s.refused + " (FIT)" : s.refused);
  if (!s.finite) return Refused(S::InvalidValue);
  return std::nullopt;
}

// The plane of the first arc or polyline (the plan for two lines), and
// both objects in it; none when they do not lie in one plane.
std::optional<Plane> InOnePlane(Picked& a, Picked& b) {
  Plane plane;
  for (const Picked* p : {&a, &b})
    if (!p->shape.line) {
      plane.normal = Unit(p->shape.normal);
      break;
    }
  plane.ocs = ObjectCoordinates(plane.normal);
  std::optional<double> elevation;
  for (Picked* p : {&a, &b}) {
    const Shape& s = p->shape;
    const Placement own = ObjectCoordinates(s.normal);
    const double facing = Dot(Unit(s.normal), plane.normal);
    if (!s.line && std::abs(facing) < 1 - 1e-9) return std::nullopt;
    auto into = [&](Point2 q) { return IntoObject(plane.ocs, own.apply({q.x, q.y, s.elevation})); };
    // A line's ends, or the ends of the clicked piece.
    const Point3 e0 = s.line ? IntoObject(plane.ocs, s.a) : into(s.path.pieces.front().a);
    const Point3 e1 = s.line ? IntoObject(plane.ocs, s.b) : into(s.path.pieces.front().b);
    if (!elevation) elevation = e0.z;
    const double slack = 1e-9 * (1 + std::abs(*elevation) + std::abs(e0.x) + std::abs(e0.y));
    if (std::abs(e0.z - *elevation) > slack || std::abs(e1.z - *elevation) > slack) return std::nullopt;
    if (s.line) {
      p->piece = SegmentPiece({e0.x, e0.y}, {e1.x, e1.y});
    } else if (s.kind == "ARC") {
      const Piece& q = s.path.pieces.front();
      const Point3 qa = into(q.a), qb = into(q.b);
      // Seen from the other side, an arc turns the other way.
      p->piece = BulgePiece({qa.x, qa.y}, {qb.x, qb.y}, facing < 0 ? -q.bulge : q.bulge);
    }
  }
  plane.elevation = elevation.value_or(0);
  return plane;
}

S StatusOf(GeometryFault f) {
  switch (f) {
    case GeometryFault::None: return S::Done;
    case GeometryFault::NotFinite: return S::InvalidValue;
    case GeometryFault::Parallel: return S::Parallel;
    case GeometryFault::RadiusTooLarge:
    case GeometryFault::DistanceTooLarge: return S::TooLarge;
    default: return S::NoCorner;
  }
}

bool SizeValid(const CornerSize& size) {
  const double r = size.chamfer ? std::min(size.d1, size.d2) : size.radius;
  return std::isfinite(size.radius + size.d1 + size.d2) && r >= 0;
}

// Two objects read and put into one plane, ready for their corner.
struct Pair {
  Picked a, b;
  Plane plane;
};

std::optional<CornerResult> Prepare(const Drawing& d, int tab, CornerPick first, CornerPick second,
                                    const CornerSize& size, Pair& pair) {
  if (!SizeValid(size)) return Refused(S::InvalidValue);
  if (auto r = Read(d, tab, first.entry, size.chamfer, pair.a)) return r;
  if (auto r = Read(d, tab, second.entry, size.chamfer, pair.b)) return r;
  if (first.entry == second.entry) return std::nullopt;  // a polyline's vertex, or nothing
  for (const Picked* p : {&pair.a, &pair.b})
    if (!p->shape.line && p->shape.kind != "ARC") return Refused(S::NotThisKind, p->shape.refused);
  const std::optional<Plane> plane = InOnePlane(pair.a, pair.b);
  if (!plane) return Refused(S::NoCorner);
  pair.plane = *plane;
  const auto at = plane->under(first.at), bt = plane->under(second.at);
  if (!at || !bt) return Refused(S::NoCorner);
  pair.a.at = *at, pair.b.at = *bt;
  return std::nullopt;
}

Outcome<Corner> CornerOf(const Pair& p, const CornerSize& size) {
  return size.chamfer ? Chamfer(p.a.piece, p.a.at, p.b.piece, p.b.at, size.d1, size.d2)
                      : Fillet(p.a.piece, p.a.at, p.b.piece, p.b.at, size.radius);
}

// The splices of one corner: lines of the objects that change, and the new
// object, in the order of their places.
struct Edit {
  std::int32_t at;                                    // where the lines go
  std::optional<std::pair<std::int32_t, std::int32_t>> erase;  // what they replace
  std::function<void(CodeLines&)> write;
};

// A line of the drawing as it stands, blanks and all.
std::string_view Raw(const Drawing& d, std::int32_t k) { return d.dxf[static_cast<std::size_t>(k)]; }

// The value of the group at line k written anew; its code line as it was.
// A value that reads back as the same number keeps its text.
Edit Value(const Drawing& d, std::int32_t k, double v) {
  const std::string code(Raw(d, k)), old(Raw(d, k + 1));
  return {k, std::pair(k, k + 1), [code, old, v](CodeLines& l) {
            if (ParseDouble(Trim(old)) == v) l.add(code, std::string_view(old));
            else l.add(code, v);
          }};
}

// The line of group `code` in the object's own groups (before its first
// vertex); -1 when it has none.
std::int32_t GroupLine(const Drawing& d, const EditUnit& u, int code) {
  for (std::int32_t k = u.from + 2; k + 1 <= u.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0 || (g == 10 && code != 10 && d.value(u.from + 1) == "LWPOLYLINE")) break;
    if (g == code) return k;
  }
  return -1;
}

void SetGroup(const Drawing& d, const EditUnit& u, int code, double v, std::vector<Edit>& edits) {
  if (const std::int32_t k = GroupLine(d, u, code); k >= 0) edits.push_back(Value(d, k, v));
}

double Degrees(Point2 p, Point2 c) {
  const double g = std::fmod(std::atan2(p.y - c.y, p.x - c.x) * 180 / kPi, 360.0);
  return g < 0 ? g + 360 : g;
}

// The line or arc cut or run to `kept` (a piece of the corner's plane that
// keeps the object's far end at `far`).
void Reshape(const Drawing& d, const Picked& p, const Plane& plane, const Piece& kept, bool farAtStart,
             std::vector<Edit>& edits) {
  const Shape& s = p.shape;
  if (s.line) {
    const Point3 far = plane.world(farAtStart ? kept.a : kept.b), now = plane.world(farAtStart ? kept.b : kept.a);
    auto dist = [](Point3 x, Point3 y) { return std::hypot(x.x - y.x, x.y - y.y, x.z - y.z); };
    const bool startStays = dist(s.a, far) <= dist(s.b, far);
    const int base = startStays ? 11 : 10;
    SetGroup(d, p.unit, base, now.x, edits);
    SetGroup(d, p.unit, base + 10, now.y, edits);
    SetGroup(d, p.unit, base + 20, now.z, edits);
    return;
  }
  // An arc keeps its circle: its angles in its own plane.
  const Placement own = ObjectCoordinates(s.normal);
  auto ownPoint = [&](Point2 q) {
    const Point3 o = IntoObject(own, plane.world(q));
    return Point2{o.x, o.y};
  };
  const double facing = Dot(Unit(s.normal), plane.normal);
  const Piece piece = BulgePiece(ownPoint(kept.a), ownPoint(kept.b), facing < 0 ? -kept.bulge : kept.bulge);
  const std::optional<ArcShape> circle = CircleOf(s.path.pieces.front());
  if (!circle) return;
  const bool ccw = piece.bulge > 0;
  SetGroup(d, p.unit, 50, Degrees(ccw ? piece.a : piece.b, circle->c), edits);
  SetGroup(d, p.unit, 51, Degrees(ccw ? piece.b : piece.a, circle->c), edits);
}

// The fillet's arc or the chamfer's line, with the properties of `like`.
Edit Joining(const Picked& like, const Plane& plane, const Corner& corner, bool chamfer) {
  const Piece join = corner.join;
  return {like.unit.to + 1, std::nullopt, [=](CodeLines& l) {
            if (chamfer) {
              const Point3 a = plane.world(join.a), b = plane.world(join.b);
              StartLike(l, like.unit, "LINE", "AcDbLine");
              l.add(" 10", a.x), l.add(" 20", a.y), l.add(" 30", a.z);
              l.add(" 11", b.x), l.add(" 21", b.y), l.add(" 31", b.z);
              return;
            }
            // The arc about the corner's centre, as exactly as it was found.
            std::optional<ArcShape> arc = CircleOf(join);
            if (!arc) return;
            arc->c = corner.centre, arc->r = corner.radius;
            WriteArc(l, like.unit, *arc, plane.normal, plane.elevation);
          }};
}

// Makes the edits as one step and parses the drawing again.
CornerResult Commit(DocumentContext& c, std::vector<Edit>& edits, int made, int left) {
  std::stable_sort(edits.begin(), edits.end(), [](const Edit& a, const Edit& b) { return a.at < b.at; });
  CodeLines lines(c);
  std::vector<std::pair<std::int32_t, std::int32_t>> erase, at;
  for (const Edit& e : edits) {
    const std::size_t before = lines.lines().size();
    e.write(lines);
    at.emplace_back(e.at, static_cast<std::int32_t>(lines.lines().size() - before));
    if (e.erase) erase.push_back(*e.erase);
  }
  switch (ReplaceCode(c, erase, lines, at)) {
    case InsertResult::Inserted: break;
    case InsertResult::NoHandleLeft: return Refused(S::NoHandleLeft);
    case InsertResult::NoInsertionPoint: return Refused(S::NoInsertionPoint);
    default: return Refused(S::InvalidValue);
  }
  processdxf(c.drawing);
  CornerResult r;
  r.made = made, r.left = left;
  return r;
}

// --- polylines -----------------------------------------------------------

// The lines of each vertex of a polyline: from its 10 group to its last
// (LWPOLYLINE), or its VERTEX entity (POLYLINE).
std::vector<std::pair<std::int32_t, std::int32_t>> VertexLines(const Drawing& d, const EditUnit& u) {
  std::vector<std::pair<std::int32_t, std::int32_t>> out;
  const bool lw = d.value(u.from + 1) == "LWPOLYLINE";
  for (std::int32_t k = u.from + 2; k + 1 <= u.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (lw) {
      if (g == 10) out.emplace_back(k, k + 1);
      else if (!out.empty() && out.back().second == k - 1 && (g == 20 || g == 40 || g == 41 || g == 42 || g == 91))
        out.back().second = k + 1;
    } else if (g == 0) {
      if (!out.empty() && out.back().second < 0) out.back().second = k - 1;
      if (d.value(k + 1) == "VERTEX") out.emplace_back(k, -1);
    }
  }
  if (!out.empty() && out.back().second < 0) out.back().second = u.to;
  return out;
}

// The polyline's vertices rewritten as `now`: a vertex where one was keeps
// its lines (its bulge written anew where it changed); a new one is made
// of the lines of the vertex it stands in for (its widths), a VERTEX with
// a handle of its own.
std::optional<Edit> Revertexed(const Drawing& d, const Picked& p, const std::vector<PolyVertex>& now) {
  const std::vector<PolyVertex>& was = p.shape.vertices;
  const auto blocks = VertexLines(d, p.unit);
  if (blocks.size() != was.size() || was.empty()) return std::nullopt;
  // Each new vertex: the old one it is, or stands in for, and whether it is
  // a copy of that.
  struct From {
    std::size_t old;
    bool copy;
  };
  std::vector<From> from;
  std::vector<bool> used(was.size(), false);
  std::size_t next = 0, last = 0;
  for (const PolyVertex& v : now) {
    std::optional<std::size_t> same;
    for (std::size_t m = next; m < std::min(next + 2, was.size()) && !same; ++m)
      if (was[m].x == v.x && was[m].y == v.y) same = m;
    if (same) {
      next = *same + 1;
      from.push_back({last = *same, false});
      used[*same] = true;
      continue;
    }
    const std::size_t k = next < was.size() ? next : last;
    from.push_back({last = k, used[k]});
    used[k] = true;
  }
  const bool closed = p.shape.path.closed;
  const std::int32_t first = blocks.front().first, end = blocks.back().second;
  return Edit{first, std::pair(first, end), [=, &d](CodeLines& l) {
                for (std::size_t i = 0; i < now.size(); ++i) {
                  const auto [b0, b1] = blocks[from[i].old];
                  const PolyVertex& v = now[i];
                  // The last vertex of an open polyline starts no segment.
                  const bool bulgeKept = !closed && i + 1 == now.size();
                  bool bulge = false;
                  auto number = [&](std::int32_t k, double x) {
                    if (ParseDouble(d.value(k + 1)) == x) l.add(Raw(d, k), Raw(d, k + 1));
                    else l.add(Raw(d, k), x);
                  };
                  for (std::int32_t k = b0; k + 1 <= b1; k += 2) {
                    const int g = GroupCode(d.value(k));
                    if (g == 5 && from[i].copy) l.addHandle();
                    else if (g == 10) number(k, v.x);
                    else if (g == 20) number(k, v.y);
                    else if (g == 42 && !bulgeKept) bulge = true, number(k, v.bulge);
                    else l.add(Raw(d, k), Raw(d, k + 1));
                  }
                  if (!bulge && !bulgeKept && v.bulge != 0) l.add(" 42", v.bulge);
                }
              }};
}

CornerResult Revertex(DocumentContext& c, const Picked& p, const std::vector<PolyVertex>& now, int made, int left) {
  const Drawing& d = c.drawing;
  std::optional<Edit> vertices = Revertexed(d, p, now);
  if (!vertices) return Refused(S::InvalidValue);
  std::vector<Edit> edits{std::move(*vertices)};
  if (p.shape.kind == "LWPOLYLINE") {
    const std::int32_t k = GroupLine(d, p.unit, 90);
    if (k >= 0) {
      const std::string code(Raw(d, k));
      const int n = static_cast<int>(now.size());
      edits.push_back({k, std::pair(k, k + 1), [code, n](CodeLines& l) { l.add(code, n); }});
    }
  }
  return Commit(c, edits, made, left);
}

// The segment of the polyline picked at `at` (a point of the plan).
std::optional<std::size_t> SegmentAt(const Picked& p, Point2 at) {
  Plane own;
  own.normal = Unit(p.shape.normal);
  own.ocs = ObjectCoordinates(own.normal);
  own.elevation = p.shape.elevation;
  const auto q = own.under(at);
  const std::size_t n = p.shape.path.pieces.size();
  if (!q || n == 0) return std::nullopt;
  const double u = NearestParameter(p.shape.path, *q);
  return std::min(static_cast<std::size_t>(std::max(0.0, std::floor(u))), n - 1);
}

CornerResult AtVertex(DocumentContext& c, const Picked& p, Point2 at1, Point2 at2, const CornerSize& size) {
  if (p.shape.line || p.shape.kind == "ARC") return Refused(S::NoCorner);
  const auto i = SegmentAt(p, at1), j = SegmentAt(p, at2);
  const std::size_t n = p.shape.path.pieces.size();
  if (!i || !j || *i == *j) return Refused(S::NoCorner);
  const std::size_t lo = std::min(*i, *j), hi = std::max(*i, *j);
  std::size_t vertex;
  if (hi == lo + 1) vertex = hi;
  else if (p.shape.path.closed && lo == 0 && hi == n - 1) vertex = 0;
  else return Refused(S::NoCorner);
  const std::vector<PolyVertex>& v = p.shape.vertices;
  const bool closed = p.shape.path.closed;
  const Outcome<std::vector<PolyVertex>> r = size.chamfer ? ChamferVertex(v, closed, vertex, size.d1, size.d2)
                                                          : FilletVertex(v, closed, vertex, size.radius);
  if (!r.ok()) return Refused(StatusOf(r.fault));
  // A sharp corner at a vertex is what there is already.
  if (r.value.size() == v.size()) return Refused(S::NoCorner);
  return Revertex(c, p, r.value, 1, 0);
}

}  // namespace

CornerResult MakeCorner(DocumentContext& c, CornerPick first, CornerPick second, const CornerSize& size) {
  const Drawing& d = c.drawing;
  Pair pair;
  if (auto r = Prepare(d, c.tab, first, second, size, pair)) return *r;
  if (first.entry == second.entry) return AtVertex(c, pair.a, first.at, second.at, size);
  const Outcome<Corner> corner = CornerOf(pair, size);
  if (!corner.ok()) return Refused(StatusOf(corner.fault));
  const Corner& k = corner.value;
  std::vector<Edit> edits;
  Reshape(d, pair.a, pair.plane, k.first, true, edits);
  Reshape(d, pair.b, pair.plane, k.second, false, edits);
  if (Length(k.join) > 0) edits.push_back(Joining(pair.a, pair.plane, k, size.chamfer));
  if (edits.empty()) return Refused(S::NoCorner);
  return Commit(c, edits, 1, 0);
}

CornerResult MakeAllCorners(DocumentContext& c, std::int32_t entry, const CornerSize& size) {
  if (!SizeValid(size)) return Refused(S::InvalidValue);
  Picked p;
  if (auto r = Read(c.drawing, c.tab, entry, size.chamfer, p)) return *r;
  if (p.shape.line || p.shape.kind == "ARC") return Refused(S::NotThisKind, p.shape.refused);
  const bool closed = p.shape.path.closed;
  const AllCorners all = size.chamfer ? ChamferAllVertices(p.shape.vertices, closed, size.d1, size.d2)
                                      : FilletAllVertices(p.shape.vertices, closed, size.radius);
  if (all.made == 0) {
    CornerResult r = Refused(S::NoCorner);
    r.left = static_cast<int>(all.left);
    return r;
  }
  return Revertex(c, p, all.vertices, static_cast<int>(all.made), static_cast<int>(all.left));
}

std::vector<Point2> CornerGhost(const Drawing& d, int tab, CornerPick first, CornerPick second,
                                const CornerSize& size) {
  Pair pair;
  if (Prepare(d, tab, first, second, size, pair) || first.entry == second.entry) return {};
  const Outcome<Corner> corner = CornerOf(pair, size);
  if (!corner.ok()) return {};
  const Piece& join = corner.value.join;
  const int steps = CircleOf(join) ? 32 : 1;
  std::vector<Point2> out;
  for (int k = 0; k <= steps; ++k) {
    const Point3 w = pair.plane.world(PointAt(join, static_cast<double>(k) / steps));
    out.push_back({w.x, w.y});
  }
  return out;
}

}  // namespace vestrel
