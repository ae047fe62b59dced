#include "editing/shapes.h"

#include <algorithm>
#include <limits>
#include <optional>

#include "document/numbers.h"
#include "editing/objectmap.h"

namespace vestrel {

double Number(std::string_view v) { return ParseDouble(v).value_or(std::numeric_limits<double>::quiet_NaN()); }
int Integer(std::string_view v) {
  const double x = Number(v);
  return std::isfinite(x) && std::abs(x) < 1e9 ? static_cast<int>(x) : 0;
}

bool FiniteVertex(const PolyVertex& v) { return std::isfinite(v.x) && std::isfinite(v.y) && std::isfinite(v.bulge); }

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

void ReadNormal(int g, std::string_view v, Point3& n) {
  if (g == 210) n.x = Number(v);
  if (g == 220) n.y = Number(v);
  if (g == 230) n.z = Number(v);
}

std::string_view LayerOf(const Drawing& d, const EditUnit& u) {
  for (std::int32_t k = u.from + 2; k + 1 <= u.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0) break;
    if (g == 8) return d.value(k + 1);
  }
  return "0";
}

// Widths a vertex does not give are the polyline's.
void DefaultWidths(std::vector<SegmentWidth>& widths, SegmentWidth given) {
  for (SegmentWidth& w : widths) {
    if (std::isnan(w.start)) w.start = given.start;
    if (std::isnan(w.end)) w.end = given.end;
  }
}

bool FiniteWidths(const std::vector<SegmentWidth>& widths) {
  return std::all_of(widths.begin(), widths.end(),
                     [](const SegmentWidth& w) { return std::isfinite(w.start) && std::isfinite(w.end); });
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
  } else if (s.kind == "ARC") {
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
    // Counter-clockwise in its own plane from start to end, less than a
    // whole turn.
    double sweep = std::fmod(end - start, 360.0);
    if (sweep <= 0) sweep += 360;
    const double a0 = start * kPi / 180, a1 = a0 + sweep * kPi / 180;
    s.elevation = c.z;
    s.path.pieces = {BulgePiece({c.x + r * std::cos(a0), c.y + r * std::sin(a0)},
                                {c.x + r * std::cos(a1), c.y + r * std::sin(a1)}, std::tan(sweep * kPi / 720))};
    s.finite = std::isfinite(c.x + c.y + c.z + r + start + end) && r > 0;
  } else if (s.kind == "CIRCLE" || s.kind == "ELLIPSE") {
    Point3 c, major;
    double r = 0, ratio = 1, t0 = 0, t1 = 2 * kPi;
    EachGroup(d, u.from, u.to, [&](int g, std::string_view v) {
      if (g == 10) c.x = Number(v);
      if (g == 20) c.y = Number(v);
      if (g == 30) c.z = Number(v);
      if (g == 11) major.x = Number(v);
      if (g == 21) major.y = Number(v);
      if (g == 31) major.z = Number(v);
      if (g == 40) (s.kind == "CIRCLE" ? r : ratio) = Number(v);
      if (g == 41) t0 = Number(v);
      if (g == 42) t1 = Number(v);
      ReadNormal(g, v, s.normal);
    });
    Conic k;
    if (s.kind == "CIRCLE") {
      // The centre is in its own plane already.
      s.elevation = c.z;
      k.c = {c.x, c.y}, k.u = {r, 0}, k.v = {0, r};
      s.finite = std::isfinite(c.x + c.y + c.z + r) && r > 0;
    } else {
      // Centre and axis are world ones: into the ellipse's own plane, where
      // its parameter runs counter-clockwise.
      const Placement ocs = ObjectCoordinates(s.normal);
      const Point3 centre = IntoObject(ocs, c), axis = IntoObject(ocs, major);
      s.elevation = centre.z;
      k.c = {centre.x, centre.y}, k.u = {axis.x, axis.y}, k.v = {-axis.y * ratio, axis.x * ratio};
      if (t1 <= t0) t1 += 2 * kPi;
      k.t0 = t0, k.t1 = t1, k.full = t1 - t0 >= 2 * kPi * (1 - 1e-12);
      s.finite = std::isfinite(centre.x + centre.y + centre.z + axis.x + axis.y + ratio + t0 + t1) && ratio > 0 &&
                 ratio <= 1 && std::abs(axis.z) <= 1e-9 * (1 + Norm(major)) && Norm(major) > 0;
    }
    s.path = {{ConicPiece(k)}, k.full};
  } else if (s.kind == "LWPOLYLINE") {
    std::vector<PolyVertex> v;
    int flags = 0;
    SegmentWidth constant;
    EachGroup(d, u.from, u.to, [&](int g, std::string_view t) {
      if (g == 10) v.push_back({Number(t), 0, 0, 0}), s.widths.push_back({kNaN, kNaN});
      if (g == 20 && !v.empty()) v.back().y = Number(t);
      if (g == 42 && !v.empty()) v.back().bulge = Number(t);
      if (g == 40 && !v.empty()) s.widths.back().start = Number(t);
      if (g == 41 && !v.empty()) s.widths.back().end = Number(t);
      if (g == 43) constant = {Number(t), Number(t)};
      if (g == 38) s.elevation = Number(t);
      if (g == 70) flags = Integer(t);
      ReadNormal(g, t, s.normal);
    });
    s.path = PathOf(v, (flags & 1) != 0);
    DefaultWidths(s.widths, constant);
    s.finite = std::all_of(v.begin(), v.end(), FiniteVertex) && std::isfinite(s.elevation) && FiniteWidths(s.widths);
    s.vertices = std::move(v);
    s.explodable = s.polyline = true;
  } else if (s.kind == "POLYLINE") {
    std::vector<PolyVertex> v;
    int flags = 0, vertexFlags = 0;
    bool header = true;
    SegmentWidth defaults;
    auto endVertex = [&] {
      // The frame of a spline-fit polyline is not drawn.
      if (!header && (vertexFlags & 16) != 0 && !v.empty()) v.pop_back(), s.widths.pop_back();
    };
    EachGroup(d, u.from, u.to, [&](int g, std::string_view t) {
      if (g == 0) {
        endVertex();
        header = false;
        vertexFlags = 0;
        if (t == "VERTEX") v.push_back({}), s.widths.push_back({kNaN, kNaN});
        return;
      }
      if (header) {
        if (g == 30) s.elevation = Number(t);
        if (g == 70) flags = Integer(t);
        if (g == 40) defaults.start = Number(t);
        if (g == 41) defaults.end = Number(t);
        ReadNormal(g, t, s.normal);
      } else if (!v.empty()) {
        if (g == 40) s.widths.back().start = Number(t);
        if (g == 41) s.widths.back().end = Number(t);
        if (g == 10) v.back().x = Number(t);
        if (g == 20) v.back().y = Number(t);
        if (g == 42) v.back().bulge = Number(t);
        if (g == 70) vertexFlags = Integer(t);
      }
    });
    endVertex();
    s.path = PathOf(v, (flags & 1) != 0);
    DefaultWidths(s.widths, defaults);
    s.finite = std::all_of(v.begin(), v.end(), FiniteVertex) && std::isfinite(s.elevation) && FiniteWidths(s.widths);
    s.vertices = std::move(v);
    // 3-D polylines, polygon meshes and polyface meshes have no plane.
    s.explodable = s.polyline = (flags & (8 | 16 | 64)) == 0;
    if (!s.explodable) s.refused = (flags & 8) ? "POLYLINE (3D)" : "POLYLINE (MESH)";
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

bool IsPlan(Point3 n) { return n.x == 0 && n.y == 0 && n.z > 0; }

ReshapeResult Refused(ReshapeResult::Status status, std::string kind) {
  ReshapeResult r;
  r.status = status;
  r.kind = std::move(kind);
  return r;
}

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

void WriteLine(CodeLines& l, const EditUnit& like, Point3 a, Point3 b) {
  StartLike(l, like, "LINE", "AcDbLine");
  l.add(" 10", a.x);
  l.add(" 20", a.y);
  l.add(" 30", a.z);
  l.add(" 11", b.x);
  l.add(" 21", b.y);
  l.add(" 31", b.z);
}

namespace {

double Degrees(double radians) {
  const double g = std::fmod(radians * 180 / kPi, 360.0);
  return g < 0 ? g + 360 : g;
}

}  // namespace

void WriteArc(CodeLines& l, const EditUnit& like, const ArcShape& arc, Point3 normal, double elevation) {
  StartLike(l, like, "ARC", "AcDbCircle");
  l.add(" 10", arc.c.x);
  l.add(" 20", arc.c.y);
  l.add(" 30", elevation);
  l.add(" 40", arc.r);
  AddNormal(l, normal);
  if (l.drawing().cadver > 1009) l.add("100", std::string_view("AcDbArc"));
  // Counter-clockwise from the start: a clockwise arc runs from its end.
  const double from = arc.sweep > 0 ? arc.start : arc.start + arc.sweep;
  l.add(" 50", Degrees(from));
  l.add(" 51", Degrees(from + std::abs(arc.sweep)));
}

void WriteEllipse(CodeLines& l, const EditUnit& like, const Conic& k, Point3 normal, double elevation) {
  // An ellipse runs counter-clockwise round its normal: a conic turning
  // the other way is the same curve with v and the parameters negated.
  Conic e = k;
  if (k.u.x * k.v.y - k.u.y * k.v.x < 0) e.v = {-k.v.x, -k.v.y}, e.t0 = -k.t1, e.t1 = -k.t0;
  // u is the major axis: the shapes read have no ratio above 1.
  const double lu = std::hypot(e.u.x, e.u.y), lv = std::hypot(e.v.x, e.v.y);
  const Placement ocs = ObjectCoordinates(normal);
  const Point3 c = ocs.apply({e.c.x, e.c.y, elevation}), axis = ocs.linear({e.u.x, e.u.y, 0});
  StartLike(l, like, "ELLIPSE", "AcDbEllipse");
  l.add(" 10", c.x);
  l.add(" 20", c.y);
  l.add(" 30", c.z);
  l.add(" 11", axis.x);
  l.add(" 21", axis.y);
  l.add(" 31", axis.z);
  if (!IsPlan(normal)) {
    const double n = Norm(normal);
    l.add("210", normal.x / n);
    l.add("220", normal.y / n);
    l.add("230", normal.z / n);
  }
  l.add(" 40", lv / lu);
  double t0 = e.full ? 0 : std::fmod(e.t0, 2 * kPi);
  if (t0 < 0) t0 += 2 * kPi;
  l.add(" 41", t0);
  l.add(" 42", e.full ? 2 * kPi : t0 + (e.t1 - e.t0));
}

void WritePolyline(CodeLines& l, const EditUnit& like, const std::vector<PolyVertex>& v, bool closed, Point3 normal,
                   double elevation, const std::vector<SegmentWidth>& widths) {
  const Drawing& d = l.drawing();
  const bool wide = widths.size() == v.size() && std::any_of(widths.begin(), widths.end(), [](const SegmentWidth& w) {
                      return w.start != 0 || w.end != 0;
                    });
  // One width all along is the polyline's own.
  const bool constant = wide && std::all_of(widths.begin(), widths.end(), [&widths](const SegmentWidth& w) {
                          return w.start == widths.front().start && w.end == widths.front().start;
                        });
  auto addWidths = [&](std::size_t i) {
    if (!wide || constant) return;
    l.add(" 40", widths[i].start);
    l.add(" 41", widths[i].end);
  };
  if (d.cadver > 1009) {
    StartLike(l, like, "LWPOLYLINE", "AcDbPolyline");
    l.add(" 90", static_cast<int>(v.size()));
    l.add(" 70", closed ? 1 : 0);
    if (elevation != 0) l.add(" 38", elevation);
    if (constant) l.add(" 43", widths.front().start);
    for (std::size_t i = 0; i < v.size(); ++i) {
      l.add(" 10", v[i].x);
      l.add(" 20", v[i].y);
      addWidths(i);
      if (v[i].bulge != 0) l.add(" 42", v[i].bulge);
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
  if (constant) {
    l.add(" 40", widths.front().start);
    l.add(" 41", widths.front().start);
  }
  AddNormal(l, normal);
  for (std::size_t i = 0; i < v.size(); ++i) {
    l.add("  0", std::string_view("VERTEX"));
    l.addHandle();
    l.add("  8", std::string_view(layer));
    l.add(" 10", v[i].x);
    l.add(" 20", v[i].y);
    l.add(" 30", 0.0);
    addWidths(i);
    if (v[i].bulge != 0) l.add(" 42", v[i].bulge);
  }
  l.add("  0", std::string_view("SEQEND"));
  l.addHandle();
  l.add("  8", std::string_view(layer));
}

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

}  // namespace vestrel
