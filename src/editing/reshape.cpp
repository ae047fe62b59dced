#include "editing/reshape.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "document/numbers.h"
#include "editing/editunits.h"
#include "editing/objectmap.h"
#include "editing/shapes.h"
#include "geometry/join.h"
#include "geometry/placement.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

double Number(std::string_view v) { return ParseDouble(v).value_or(kNaN); }
int Integer(std::string_view v) {
  const double x = Number(v);
  return std::isfinite(x) && std::abs(x) < 1e9 ? static_cast<int>(x) : 0;
}

double Dot(Point3 a, Point3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
double Norm(Point3 a) { return std::sqrt(Dot(a, a)); }
bool FiniteVertex(const PolyVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.bulge); }

// The groups of an object, pair by pair, after its "0" line to its last.
template <class F>
void EachGroup(const Drawing& d, std::int32_t from, std::int32_t to, F&& f) {
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2) f(GroupCode(d.value(k)), d.value(k + 1));
}

void ReadNormal(int g, std::string_view v, Point3& n) {
  if (g == 210) n.x = Number(v);
  if (g == 220) n.y = Number(v);
  if (g == 230) n.z = Number(v);
}

}  // namespace

Shape ReadShape(const Drawing& d, const EditUnit& u) {
  Shape s;
  s.kind = d.value(u.from + 1);
  s.refused = std::string(s.kind);
  if (s.kind == "LINE") {
    s.line = true;
    EachGroup(d, u.from, u.to, [&](int g, std::string_view v) {
      if (g == 10) s.a.x = Number(v);
      if (g == 20) s.a.y = Number(v);
      if (g == 30) s.a.z = Number(v);
      if (g == 11) s.b.x = Number(v);
      if (g == 21) s.b.y = Number(v);
      if (g == 31) s.b.z = Number(v);
    });
    s.path.pieces = {SegmentPiece({s.a.x, s.a.y}, {s.b.x, s.b.y})};
    s.finite = std::isfinite(s.a.x + s.a.y + s.a.z + s.b.x + s.b.y + s.b.z);
  } else if (s.kind == "ARC" || s.kind == "CIRCLE") {
    Point3 c;
    double r = 0, start = 0, end = 0;
    EachGroup(d, u.from, u.to, [&](int g, std::string_view v) {
      if (g == 10) c.x = Number(v);
      if (g == 20) c.y = Number(v);
      if (g == 30) c.z = Number(v);
      if (g == 40) r = Number(v);
      if (g == 50) start = Number(v);
      if (g == 51) end = Number(v);
      ReadNormal(g, v, s.normal);
    });
    s.elevation = c.z;
    s.finite = std::isfinite(c.x + c.y + c.z + r + start + end) && r > 0;
    if (s.kind == "CIRCLE") {
      s.path = {{ConicPiece({{c.x, c.y}, {r, 0}, {0, r}})}, true};
    } else {
      // Counter-clockwise in its own plane from start to end, less than a
      // whole turn.
      double sweep = std::fmod(end - start, 360.0);
      if (sweep <= 0) sweep += 360;
      const double a0 = start * kPi / 180, a1 = a0 + sweep * kPi / 180;
      s.path.pieces = {BulgePiece({c.x + r * std::cos(a0), c.y + r * std::sin(a0)},
                                  {c.x + r * std::cos(a1), c.y + r * std::sin(a1)}, std::tan(sweep * kPi / 720))};
    }
  } else if (s.kind == "LWPOLYLINE") {
    std::vector<PolyVertex> v;
    int flags = 0;
    EachGroup(d, u.from, u.to, [&](int g, std::string_view t) {
      if (g == 10) v.push_back({Number(t), 0, 0, 0});
      if (g == 20 && !v.empty()) v.back().y = Number(t);
      if (g == 42 && !v.empty()) v.back().bulge = Number(t);
      if (g == 38) s.elevation = Number(t);
      if (g == 70) flags = Integer(t);
      ReadNormal(g, t, s.normal);
    });
    s.path = PathOf(v, (flags & 1) != 0);
    s.finite = std::all_of(v.begin(), v.end(), FiniteVertex) && std::isfinite(s.elevation);
    s.vertices = std::move(v);
    s.explodable = true;
  } else if (s.kind == "POLYLINE") {
    std::vector<PolyVertex> v;
    int flags = 0, vertexFlags = 0;
    bool header = true;
    auto endVertex = [&] {
      // The frame of a spline-fit polyline is not drawn.
      if (!header && (vertexFlags & 16) != 0) v.pop_back();
    };
    EachGroup(d, u.from, u.to, [&](int g, std::string_view t) {
      if (g == 0) {
        endVertex();
        header = false;
        vertexFlags = 0;
        if (t == "VERTEX") v.push_back({});
        return;
      }
      if (header) {
        if (g == 30) s.elevation = Number(t);
        if (g == 70) flags = Integer(t);
        ReadNormal(g, t, s.normal);
      } else if (!v.empty()) {
        if (g == 10) v.back().x = Number(t);
        if (g == 20) v.back().y = Number(t);
        if (g == 42) v.back().bulge = Number(t);
        if (g == 70) vertexFlags = Integer(t);
      }
    });
    endVertex();
    s.path = PathOf(v, (flags & 1) != 0);
    s.finite = std::all_of(v.begin(), v.end(), FiniteVertex) && std::isfinite(s.elevation);
    s.vertices = std::move(v);
    // 3-D polylines, polygon meshes and polyface meshes have no plane.
    s.explodable = (flags & (8 | 16 | 64)) == 0;
    if (!s.explodable) s.refused = (flags & 8) ? "POLYLINE (3D)" : "POLYLINE (MESH)";
  } else if (s.kind == "ELLIPSE") {
    // Its centre and major axis are in the world: taken into the plane of
    // its extrusion, where the minor axis turns a quarter counter-clockwise
    // from the major one.
    Point3 c, major;
    double ratio = 1, t0 = 0, t1 = 2 * kPi;
    EachGroup(d, u.from, u.to, [&](int g, std::string_view v) {
      if (g == 10) c.x = Number(v);
      if (g == 20) c.y = Number(v);
      if (g == 30) c.z = Number(v);
      if (g == 11) major.x = Number(v);
      if (g == 21) major.y = Number(v);
      if (g == 31) major.z = Number(v);
      if (g == 40) ratio = Number(v);
      if (g == 41) t0 = Number(v);
      if (g == 42) t1 = Number(v);
      ReadNormal(g, v, s.normal);
    });
    if (Norm(s.normal) == 0) s.normal = {0, 0, 1};
    const Placement own = ObjectCoordinates(s.normal);
    const Point3 oc = IntoObject(own, c), om = IntoObject(own, major);
    if (t1 <= t0) t1 += 2 * kPi;
    Conic k{{oc.x, oc.y}, {om.x, om.y}, {-om.y * ratio, om.x * ratio}, t0, t1, t1 - t0 >= 2 * kPi * (1 - 1e-12)};
    s.elevation = oc.z;
    s.path = {{ConicPiece(k)}, k.full};
    s.finite = std::isfinite(oc.x + oc.y + oc.z + om.x + om.y + ratio + t0 + t1) && ratio > 0 &&
               std::hypot(om.x, om.y) > 0;
  } else {
    s.joinable = false;
  }
  s.joinable = s.joinable && (s.kind == "LINE" || s.kind == "ARC" || s.explodable);
  if (!std::isfinite(s.normal.x + s.normal.y + s.normal.z)) s.finite = false;
  if (Norm(s.normal) == 0) s.normal = {0, 0, 1};
  return s;
}

// The world point of a point of a shape's own plane.
Point3 World(const Shape& s, const Placement& plane, Point2 p) {
  return plane.apply({p.x, p.y, s.elevation});
}

namespace {

bool IsPlan(Point3 n) { return n.x == 0 && n.y == 0 && n.z > 0; }

// Where the new objects of one edit go: their lines, in pieces, and the
// objects they replace.
struct Replacement {
  explicit Replacement(const DocumentContext& c) : lines(c) {}
  CodeLines lines;
  std::vector<std::pair<std::int32_t, std::int32_t>> erase, at;
  std::size_t written = 0;  // lines of the list placed so far

  // What was written since the last place goes in at `line`.
  void place(std::int32_t line) {
    at.emplace_back(line, static_cast<std::int32_t>(lines.lines().size() - written));
    written = lines.lines().size();
  }
};

ReshapeResult Refused(ReshapeResult::Status status, std::string kind = {}) {
  ReshapeResult r;
  r.status = status;
  r.kind = std::move(kind);
  return r;
}

}  // namespace

// How a new entity starts: as a writer starts it, with the layer, colour,
// line type, line weight, line-type scale, visibility and transparency of
// the object `like`.
void StartLike(CodeLines& l, const EditUnit& like, std::string_view type, std::string_view subclass) {
  const Drawing& d = l.drawing();
  const bool newer = d.cadver > 1009;
  l.add("  0", type);
  l.addHandle();
  const bool paper = AddToLayout(l);
  if (newer) l.add("100", std::string_view("AcDbEntity"));
  if (paper) l.add(" 67", std::string_view("1"));
  bool layer = false;
  for (std::int32_t k = like.from + 2; k + 1 <= like.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0 || g == 1001) break;  // a vertex, or the application data
    if (g == 8 || g == 6 || g == 62 || g == 420 || g == 370 || g == 48 || g == 60 || g == 440) {
      layer = layer || g == 8;
      l.add(CodeText(g), d.value(k + 1));
    }
  }
  if (!layer) l.add("  8", std::string_view("0"));
  if (newer) l.add("100", subclass);
}

void AddNormal(CodeLines& l, Point3 n) {
  if (IsPlan(n)) return;
  l.add("210", n.x);
  l.add("220", n.y);
  l.add("230", n.z);
}

namespace {

std::string_view LayerOf(const Drawing& d, const EditUnit& u) {
  for (std::int32_t k = u.from + 2; k + 1 <= u.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0) break;
    if (g == 8) return d.value(k + 1);
  }
  return "0";
}

}  // namespace

void WritePolyline(CodeLines& l, const EditUnit& like, const std::vector<PolyVertex>& v, bool closed, Point3 normal,
                   double elevation) {
  const Drawing& d = l.drawing();
  if (d.cadver > 1009) {
    StartLike(l, like, "LWPOLYLINE", "AcDbPolyline");
    l.add(" 90", static_cast<int>(v.size()));
    l.add(" 70", closed ? 1 : 0);
    if (elevation != 0) l.add(" 38", elevation);
    for (const PolyVertex& q : v) {
      l.add(" 10", q.x);
      l.add(" 20", q.y);
      if (q.bulge != 0) l.add(" 42", q.bulge);
    }
    AddNormal(l, normal);
    return;
  }
  const std::string layer(LayerOf(d, like));
  StartLike(l, like, "POLYLINE", "AcDb2dPolyline");
  l.add(" 66", 1);
  l.add(" 10", 0.0);
  l.add(" 20", 0.0);
  l.add(" 30", elevation);
  l.add(" 70", closed ? 1 : 0);
  AddNormal(l, normal);
  for (const PolyVertex& q : v) {
    l.add("  0", std::string_view("VERTEX"));
    l.addHandle();
    l.add("  8", std::string_view(layer));
    l.add(" 10", q.x);
    l.add(" 20", q.y);
    l.add(" 30", 0.0);
    if (q.bulge != 0) l.add(" 42", q.bulge);
  }
  l.add("  0", std::string_view("SEQEND"));
  l.addHandle();
  l.add("  8", std::string_view(layer));
}

void WriteArc(CodeLines& l, const EditUnit& like, const ArcShape& arc, Point3 normal, double elevation) {
  StartLike(l, like, "ARC", "AcDbCircle");
  l.add(" 10", arc.c.x);
  l.add(" 20", arc.c.y);
  l.add(" 30", elevation);
  l.add(" 40", arc.r);
  AddNormal(l, normal);
  if (l.drawing().cadver > 1009) l.add("100", std::string_view("AcDbArc"));
  // Counter-clockwise from the start: a clockwise piece runs from its end.
  const double from = arc.sweep > 0 ? arc.start : arc.start + arc.sweep;
  auto degrees = [](double a) {
    const double g = std::fmod(a * 180 / kPi, 360.0);
    return g < 0 ? g + 360 : g;
  };
  l.add(" 50", degrees(from));
  l.add(" 51", degrees(from + std::abs(arc.sweep)));
}

namespace {

// Makes the replacement as one step and parses the drawing again.
ReshapeResult Commit(DocumentContext& c, const std::vector<EditUnit>& gone, Replacement& r, int made, int apart) {
  using S = ReshapeResult::Status;
  for (const auto& [from, to] : OwnedObjects(c.drawing, gone)) r.erase.emplace_back(from, to);
  for (const EditUnit& u : gone) r.erase.emplace_back(u.from, u.to);
  switch (ReplaceCode(c, r.erase, r.lines, r.at)) {
    case InsertResult::Inserted: break;
    case InsertResult::NoHandleLeft: return Refused(S::NoHandleLeft);
    case InsertResult::NoInsertionPoint: return Refused(S::NoInsertionPoint);
    default: return Refused(S::InvalidValue);
  }
  processdxf(c.drawing);
  return {S::Done, {}, made, apart};
}

}  // namespace

ReshapeResult JoinObjects(DocumentContext& c, double tolerance) {
  using S = ReshapeResult::Status;
  const Drawing& d = c.drawing;
  if (!std::isfinite(tolerance) || tolerance < 0) return Refused(S::InvalidValue);
  const std::vector<EditUnit> units = EditUnits(d, c.tab, false);
  if (units.empty()) return Refused(S::NothingSelected);
  std::vector<Shape> shapes;
  for (const EditUnit& u : units) {
    shapes.push_back(ReadShape(d, u));
    const Shape& s = shapes.back();
    if (!s.joinable) return Refused(S::NotThisKind, s.refused);
    if (!s.finite) return Refused(S::InvalidValue);
  }
  // The plane of the first arc or polyline, at the height of the first part.
  Point3 n{0, 0, 1};
  for (const Shape& s : shapes)
    if (!s.line) {
      const double length = Norm(s.normal);
      n = {s.normal.x / length, s.normal.y / length, s.normal.z / length};
      break;
    }
  const Placement plane = ObjectCoordinates(n);
  auto toPlane = [&plane](Point3 p) {
    Point3 q;
    for (int j = 0; j < 3; ++j) (j == 0 ? q.x : j == 1 ? q.y : q.z) = plane.m[0][j] * p.x + plane.m[1][j] * p.y + plane.m[2][j] * p.z;
    return q;
  };
  std::optional<double> elevation;
  int apart = 0;
  std::vector<Path> parts;
  std::vector<std::size_t> unitOf;
  for (std::size_t i = 0; i < shapes.size(); ++i) {
    const Shape& s = shapes[i];
    if (s.path.closed) continue;  // nothing to join it to
    const Placement own = ObjectCoordinates(s.normal);
    const double length = Norm(s.normal), facing = Dot(s.normal, n) / length;
    if (!s.line && std::abs(facing) < 1 - 1e-9) {
      ++apart;
      continue;
    }
    Path p;
    bool inPlane = true;
    for (const Piece& piece : s.path.pieces) {
      const Point3 a = toPlane(s.line ? s.a : World(s, own, piece.a));
      const Point3 b = toPlane(s.line ? s.b : World(s, own, piece.b));
      if (!elevation) elevation = a.z;
      const double slack = std::max(tolerance, 1e-9 * (1 + std::abs(*elevation)));
      inPlane = inPlane && std::abs(a.z - *elevation) <= slack && std::abs(b.z - *elevation) <= slack;
      // Seen from the other side, an arc turns the other way.
      p.pieces.push_back(BulgePiece({a.x, a.y}, {b.x, b.y}, facing < 0 ? -piece.bulge : piece.bulge));
    }
    if (!inPlane) {
      ++apart;
      continue;
    }
    parts.push_back(std::move(p));
    unitOf.push_back(i);
  }
  const Outcome<std::vector<Joined>> joined = Join(parts, tolerance);
  if (!joined.ok()) return Refused(S::InvalidValue);
  Replacement r(c);
  std::vector<EditUnit> gone;
  int made = 0;
  for (const Joined& chain : joined.value) {
    const bool closedNow = chain.path.closed && !parts[chain.parts.front()].closed;
    if (chain.parts.size() < 2 && !closedNow) continue;
    const std::optional<std::vector<PolyVertex>> vertices = VerticesOf(chain.path);
    if (!vertices) continue;
    const EditUnit& first = units[unitOf[chain.parts.front()]];
    std::int32_t at = first.from;
    for (const std::size_t k : chain.parts) {
      gone.push_back(units[unitOf[k]]);
      at = std::min(at, gone.back().from);
    }
    WritePolyline(r.lines, first, *vertices, chain.path.closed, n, elevation.value_or(0));
    r.place(at);
    ++made;
  }
  if (made == 0) return {S::NothingToJoin, {}, 0, apart};
  std::sort(gone.begin(), gone.end(), [](const EditUnit& a, const EditUnit& b) { return a.from < b.from; });
  return Commit(c, gone, r, made, apart);
}

ReshapeResult ExplodeObjects(DocumentContext& c) {
  using S = ReshapeResult::Status;
  const Drawing& d = c.drawing;
  const std::vector<EditUnit> units = EditUnits(d, c.tab, false);
  if (units.empty()) return Refused(S::NothingSelected);
  Replacement r(c);
  std::vector<EditUnit> gone;
  for (const EditUnit& u : units) {
    const Shape s = ReadShape(d, u);
    if (!s.explodable) return Refused(S::NotThisKind, s.refused);
    if (!s.finite) return Refused(S::InvalidValue);
    const Placement own = ObjectCoordinates(s.normal);
    for (const Piece& piece : s.path.pieces) {
      if (Length(piece) == 0) continue;
      if (const std::optional<ArcShape> arc = CircleOf(piece)) {
        WriteArc(r.lines, u, *arc, s.normal, s.elevation);
      } else {
        const Point3 a = World(s, own, piece.a), b = World(s, own, piece.b);
        StartLike(r.lines, u, "LINE", "AcDbLine");
        r.lines.add(" 10", a.x);
        r.lines.add(" 20", a.y);
        r.lines.add(" 30", a.z);
        r.lines.add(" 11", b.x);
        r.lines.add(" 21", b.y);
        r.lines.add(" 31", b.z);
      }
    }
    // A polyline of no length at all stays as it is.
    if (r.lines.lines().size() == r.written) continue;
    r.place(u.from);
    gone.push_back(u);
  }
  if (gone.empty()) return Refused(S::NoLength);
  return Commit(c, gone, r, static_cast<int>(gone.size()), 0);
}

}  // namespace vestrel
