#include "editing/trimextend.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>
#include <utility>

#include "document/numbers.h"
#include "editing/shapes.h"
#include "editing/splineobject.h"
#include "geometry/placement.h"
#include "geometry/trim.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {


Point2 Flat(Point3 p) { return {p.x, p.y}; }

enum class CutShape { Line, Arc, Circle, Ellipse, LwPolyline, Polyline, Spline };

// The object as the tools cut it: its lines, its curve in the plan, and
// what its groups say that the curve is written back with.
struct Target {
  CutShape shape = CutShape::Line;
  std::int32_t from = 0, to = 0;
  Path path;
  bool finite = true;
  Point3 a, b;  // a line's ends
  Conic conic;  // an arc's, circle's or ellipse's curve
  // A polyline in its own plane: its vertices with their widths, and how
  // the plan sees that plane (x mirrored, sx = -1, from below).
  std::vector<PolyVertex> vertices;
  std::vector<std::pair<double, double>> widths;
  bool ownWidths = false;  // a vertex has a width of its own
  bool closed = false;
  double sx = 1;
  SplineObject spline;  // a spline's curve, in the world
};

struct Normal {
  Point3 n{0, 0, 1};
  void group(int g, std::string_view v) {
    if (g == 210) n.x = Number(v);
    if (g == 220) n.y = Number(v);
    if (g == 230) n.z = Number(v);
  }
  bool finite() const { return std::isfinite(n.x + n.y + n.z) && (n.x != 0 || n.y != 0 || n.z != 0); }
  Point3 unit() const {
    const double l = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
    return {n.x / l, n.y / l, n.z / l};
  }
  // Seen along z, up or down: the plan shows the plane undistorted.
  bool upright() const { return std::abs(n.x) + std::abs(n.y) <= 1e-12 * std::abs(n.z); }
  // Seen edge on the plan shows no curve at all.
  bool edgeOn() const { return std::abs(unit().z) < 1e-9; }
};

// A polyline's vertices as the plan sees them, and back.
std::vector<PolyVertex> Mirrored(std::vector<PolyVertex> v, double sx) {
  for (PolyVertex& q : v) q.x *= sx, q.bulge *= sx;
  return v;
}

std::optional<Target> Read(const Drawing& d, std::int32_t entry, std::string& kind) {
  if (entry < 0 || entry >= d.anzpoly()) return std::nullopt;
  const tpoly& p = d.polys[static_cast<std::size_t>(entry)];
  Target t;
  t.from = p.linefrom, t.to = p.linebis;
  kind = std::string(d.value(t.from + 1));
  Normal n;
  if (kind == "LINE") {
    t.shape = CutShape::Line;
    EachGroup(d, t.from, t.to, [&](std::int32_t, int g, std::string_view v) {
      if (g == 10) t.a.x = Number(v);
      if (g == 20) t.a.y = Number(v);
      if (g == 30) t.a.z = Number(v);
      if (g == 11) t.b.x = Number(v);
      if (g == 21) t.b.y = Number(v);
      if (g == 31) t.b.z = Number(v);
    });
    t.path.pieces = {SegmentPiece(Flat(t.a), Flat(t.b))};
    t.finite = std::isfinite(t.a.x + t.a.y + t.a.z + t.b.x + t.b.y + t.b.z);
    return t;
  }
  if (kind == "ARC" || kind == "CIRCLE") {
    t.shape = kind == "ARC" ? CutShape::Arc : CutShape::Circle;
    Point3 c;
    double r = 0, start = 0, end = 360;
    EachGroup(d, t.from, t.to, [&](std::int32_t, int g, std::string_view v) {
      if (g == 10) c.x = Number(v);
      if (g == 20) c.y = Number(v);
      if (g == 30) c.z = Number(v);
      if (g == 40) r = Number(v);
      if (g == 50) start = Number(v);
      if (g == 51) end = Number(v);
      n.group(g, v);
    });
    t.finite = std::isfinite(c.x + c.y + c.z + r + start + end) && r > 0 && n.finite();
    if (!t.finite) return t;
    if (n.edgeOn()) return std::nullopt;
    const Placement ocs = ObjectCoordinates(n.unit());
    t.conic.c = Flat(ocs.apply(c));
    t.conic.u = Flat(ocs.linear({r, 0, 0}));
    t.conic.v = Flat(ocs.linear({0, r, 0}));
    if (t.shape == CutShape::Arc) {
      double sweep = std::fmod(end - start, 360.0);
      if (sweep <= 0) sweep += 360;
      t.conic.t0 = start * kPi / 180, t.conic.t1 = (start + sweep) * kPi / 180, t.conic.full = false;
    }
    t.path = {{ConicPiece(t.conic)}, t.conic.full};
    return t;
  }
  if (kind == "ELLIPSE") {
    t.shape = CutShape::Ellipse;
    Point3 c, major;
    double ratio = 1, start = 0, end = 2 * kPi;
    EachGroup(d, t.from, t.to, [&](std::int32_t, int g, std::string_view v) {
      if (g == 10) c.x = Number(v);
      if (g == 20) c.y = Number(v);
      if (g == 30) c.z = Number(v);
      if (g == 11) major.x = Number(v);
      if (g == 21) major.y = Number(v);
      if (g == 31) major.z = Number(v);
      if (g == 40) ratio = Number(v);
      if (g == 41) start = Number(v);
      if (g == 42) end = Number(v);
      n.group(g, v);
    });
    t.finite = std::isfinite(c.x + c.y + c.z + major.x + major.y + major.z + ratio + start + end) && ratio > 0 &&
               n.finite() && (major.x != 0 || major.y != 0 || major.z != 0);
    if (!t.finite) return t;
    if (n.edgeOn()) return std::nullopt;
    const Point3 u = n.unit();
    const Point3 minor{(u.y * major.z - u.z * major.y) * ratio, (u.z * major.x - u.x * major.z) * ratio,
                       (u.x * major.y - u.y * major.x) * ratio};
    t.conic.c = Flat(c), t.conic.u = Flat(major), t.conic.v = Flat(minor);
    double sweep = std::fmod(end - start, 2 * kPi);
    if (sweep <= 1e-12) sweep += 2 * kPi;
    t.conic.t0 = start, t.conic.t1 = start + sweep;
    t.conic.full = sweep >= 2 * kPi * (1 - 1e-12);
    t.path = {{ConicPiece(t.conic)}, t.conic.full};
    return t;
  }
  if (kind == "SPLINE") {
    t.shape = CutShape::Spline;
    t.spline = ReadSplineObject(d, t.from, t.to);
    t.finite = t.spline.cuttable;
    // Its flattened curve tells where to look for edges.
    const std::vector<Point3> flat = FlattenSpline(t.spline.curve);
    for (std::size_t i = 1; i < flat.size(); ++i) t.path.pieces.push_back(SegmentPiece(Flat(flat[i - 1]), Flat(flat[i])));
    t.path.closed = t.spline.closed;
    return t;
  }
  int flags = 0;
  double constant = 0;
  if (kind == "LWPOLYLINE") {
    t.shape = CutShape::LwPolyline;
    EachGroup(d, t.from, t.to, [&](std::int32_t, int g, std::string_view v) {
      if (g == 10) t.vertices.push_back({Number(v), 0, 0, 0}), t.widths.emplace_back(0, 0);
      if (g == 20 && !t.vertices.empty()) t.vertices.back().y = Number(v);
      if (g == 42 && !t.vertices.empty()) t.vertices.back().bulge = Number(v);
      if ((g == 40 || g == 41) && !t.widths.empty()) {
        (g == 40 ? t.widths.back().first : t.widths.back().second) = Number(v);
        t.ownWidths = true;
      }
      if (g == 43) constant = Number(v);
      if (g == 70) flags = Integer(v);
      n.group(g, v);
    });
  } else if (kind == "POLYLINE") {
    t.shape = CutShape::Polyline;
    bool header = true;
    EachGroup(d, t.from, t.to, [&](std::int32_t, int g, std::string_view v) {
      if (g == 0) {
        header = false;
        if (v == "VERTEX") t.vertices.emplace_back(), t.widths.emplace_back(constant, constant);
        return;
      }
      if (header) {
        if (g == 40) constant = Number(v);
        if (g == 70) flags = Integer(v);
        n.group(g, v);
      } else if (!t.vertices.empty()) {
        if (g == 10) t.vertices.back().x = Number(v);
        if (g == 20) t.vertices.back().y = Number(v);
        if (g == 42) t.vertices.back().bulge = Number(v);
        if (g == 40 || g == 41) {
          (g == 40 ? t.widths.back().first : t.widths.back().second) = Number(v);
          t.ownWidths = true;
        }
      }
    });
    // 3-D polylines and meshes have no plane; curve- and spline-fit ones
    // are drawn through vertices of their own.
    if (flags & 8) kind = "POLYLINE (3D)";
    else if (flags & (16 | 64)) kind = "POLYLINE (MESH)";
    else if (flags & (2 | 4)) kind = "POLYLINE (SPLINE)";
    if (flags & (2 | 4 | 8 | 16 | 64)) return std::nullopt;
  } else {
    return std::nullopt;
  }
  (void)constant;
  t.closed = (flags & 1) != 0;
  t.finite = std::all_of(t.vertices.begin(), t.vertices.end(), FiniteVertex) && n.finite() && !t.vertices.empty();
  for (const auto& [w0, w1] : t.widths) t.finite = t.finite && std::isfinite(w0 + w1);
  if (!t.finite) return t;
  if (!n.upright()) {
    kind += " (3D)";
    return std::nullopt;
  }
  t.sx = n.n.z < 0 ? -1 : 1;
  t.path = PathOf(Mirrored(t.vertices, t.sx), t.closed);
  return t;
}

// Writes the groups of an object again: as they stand, or some with new
// values. A copy (the second part a trim leaves) gets a handle of its own
// and leaves out what belongs to the original alone: its extension
// dictionary and the reactors that name it; its vertices and its SEQEND
// name it as their owner.
class Out {
 public:
  Out(CodeLines& l, bool copy) : l_(l), d_(l.drawing()), copy_(copy) {}

  void keep(std::int32_t k) {
    const int g = GroupCode(d_.value(k));
    if (copy_) {
      if (g == 102) {
        skipping_ = d_.value(k + 1).starts_with('{');
        return;
      }
      if (skipping_) return;
      if (g == 5) {
        l_.addHandle();
        return;
      }
      if (g == 330 && !owner_.empty()) return l_.add(d_.dxf[static_cast<std::size_t>(k)], owner_);
    }
    l_.add(d_.dxf[static_cast<std::size_t>(k)], d_.dxf[static_cast<std::size_t>(k) + 1]);
  }
  void put(std::int32_t k, double value) { l_.add(d_.dxf[static_cast<std::size_t>(k)], value); }
  void put(std::int32_t k, std::string_view value) { l_.add(d_.dxf[static_cast<std::size_t>(k)], value); }
  void add(std::string_view code, double value) { l_.add(code, value); }
  void add(std::string_view code, std::string_view value) { l_.add(code, value); }
  void add(std::string_view code, int value) { l_.add(code, value); }
  void newHandle() { l_.addHandle(); }
  // What follows the object's own groups names the copy as its owner.
  void owned() {
    if (copy_ && l_.tookHandles()) owner_ = HandleText(l_.lastHandle());
  }
  bool copy() const { return copy_; }
  const Drawing& drawing() const { return d_; }

 private:
  CodeLines& l_;
  const Drawing& d_;
  bool copy_;
  bool skipping_ = false;
  std::string owner_;
};

// Where an object's application data begins (or its end): what a group
// added to it goes before.
std::int32_t DataStart(const Drawing& d, std::int32_t from, std::int32_t to) {
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2)
    if (GroupCode(d.value(k)) == 1001) return k;
  return to + 1;
}

double Degrees(double radians) {
  const double g = std::fmod(radians * 180 / kPi, 360.0);
  return g < 0 ? g + 360 : g;
}
double Turned(double radians) {
  const double t = std::fmod(radians, 2 * kPi);
  return t < 0 ? t + 2 * kPi : t;
}

// A point of the plan on the line, with the height it has there.
Point3 OnLine(const Target& t, Point2 p) {
  const double dx = t.b.x - t.a.x, dy = t.b.y - t.a.y;
  const double f = ((p.x - t.a.x) * dx + (p.y - t.a.y) * dy) / (dx * dx + dy * dy);
  return {p.x, p.y, t.a.z + f * (t.b.z - t.a.z)};
}

void WriteLine(Out& o, const Target& t, const Path& part) {
  const Point3 a = OnLine(t, part.pieces.front().a), b = OnLine(t, part.pieces.back().b);
  const double value[] = {a.x, a.y, a.z, b.x, b.y, b.z};
  o.keep(t.from);
  EachGroup(o.drawing(), t.from, t.to, [&](std::int32_t k, int g, std::string_view) {
    const int at = g == 10 ? 0 : g == 20 ? 1 : g == 30 ? 2 : g == 11 ? 3 : g == 21 ? 4 : g == 31 ? 5 : -1;
    if (at >= 0) o.put(k, value[at]);
    else o.keep(k);
  });
}

// An arc, circle or ellipse with the part of its curve from a to b: an
// arc's angles or an ellipse's parameters; a circle becomes an arc.
void WriteConic(Out& o, const Target& t, const Path& part) {
  const Drawing& d = o.drawing();
  const double t0 = t.conic.parameter(part.pieces.front().a);
  const double t1 = t.conic.parameter(part.pieces.back().b);
  const bool ellipse = t.shape == CutShape::Ellipse;
  const double start = ellipse ? Turned(t0) : Degrees(t0), end = ellipse ? Turned(t1) : Degrees(t1);
  const int first = ellipse ? 41 : 50, second = ellipse ? 42 : 51;
  bool given[2] = {false, false};
  if (t.shape == CutShape::Circle) {
    o.put(t.from, std::string_view("ARC"));
  } else {
    o.keep(t.from);
  }
  const std::int32_t data = DataStart(d, t.from, t.to);
  auto added = [&] {
    if (t.shape == CutShape::Circle && d.cadver > 1009) o.add("100", std::string_view("AcDbArc"));
    if (!given[0]) o.add(ellipse ? " 41" : " 50", start);
    if (!given[1]) o.add(ellipse ? " 42" : " 51", end);
  };
  EachGroup(d, t.from, t.to, [&](std::int32_t k, int g, std::string_view) {
    if (k == data) added();
    if (g == first && k < data && !given[0]) o.put(k, start), given[0] = true;
    else if (g == second && k < data && !given[1]) o.put(k, end), given[1] = true;
    else o.keep(k);
  });
  if (data > t.to) added();
}

// The widths of the pieces of `part` (in the polyline's own plane), each
// from those of the segment of the polyline it lies on, in proportion.
std::vector<std::pair<double, double>> WidthsOf(const Target& t, const Path& part) {
  const Path whole = PathOf(t.vertices, t.closed);
  std::vector<std::pair<double, double>> widths;
  for (const Piece& piece : part.pieces) {
    const double u = NearestParameter(whole, PointAt(piece, 0.5));
    const std::size_t k = std::min(static_cast<std::size_t>(std::max(u, 0.0)), whole.pieces.size() - 1);
    const double w0 = t.widths[k].first, w1 = t.widths[k].second;
    auto at = [&](Point2 p) { return w0 + (w1 - w0) * NearestParameter(whole.pieces[k], p); };
    widths.emplace_back(at(piece.a), at(piece.b));
  }
  return widths;
}

struct Vertices {
  std::vector<PolyVertex> at;
  std::vector<std::pair<double, double>> widths;
};

std::optional<Vertices> VerticesOfPart(const Target& t, const Path& part) {
  Path own;
  for (const Piece& q : part.pieces) own.pieces.push_back(BulgePiece({q.a.x * t.sx, q.a.y}, {q.b.x * t.sx, q.b.y}, q.bulge * t.sx));
  const std::optional<std::vector<PolyVertex>> v = VerticesOf(own);
  if (!v) return std::nullopt;
  Vertices out{*v, {}};
  if (t.ownWidths) {
    out.widths = WidthsOf(t, own);
    // The last vertex of an open polyline starts no segment.
    if (out.widths.size() < out.at.size()) out.widths.emplace_back(out.widths.back().second, out.widths.back().second);
  }
  return out;
}

void WriteLwPolyline(Out& o, const Target& t, const Vertices& v) {
  const Drawing& d = o.drawing();
  bool vertices = false;
  o.keep(t.from);
  EachGroup(d, t.from, t.to, [&](std::int32_t k, int g, std::string_view value) {
    if (g == 10 && !vertices) {
      vertices = true;
      for (std::size_t i = 0; i < v.at.size(); ++i) {
        o.add(" 10", v.at[i].x);
        o.add(" 20", v.at[i].y);
        if (t.ownWidths) {
          o.add(" 40", v.widths[i].first);
          o.add(" 41", v.widths[i].second);
        }
        if (v.at[i].bulge != 0) o.add(" 42", v.at[i].bulge);
      }
    }
    if (vertices && (g == 10 || g == 20 || g == 40 || g == 41 || g == 42 || g == 91)) return;
    if (g == 90) o.put(k, static_cast<double>(v.at.size()));
    else if (g == 70) o.put(k, static_cast<double>(Integer(value) & ~1));
    else o.keep(k);
  });
}

void WritePolyline(Out& o, const Target& t, const Vertices& v) {
  const Drawing& d = o.drawing();
  // The lines of the header, of the first vertex (each new one is written
  // like it) and of the SEQEND.
  std::int32_t firstVertex = -1, afterFirst = -1, seqend = -1;
  for (std::int32_t k = t.from + 2; k + 1 <= t.to; k += 2) {
    if (GroupCode(d.value(k)) != 0) continue;
    if (firstVertex < 0) firstVertex = k;
    else if (afterFirst < 0) afterFirst = k;
    if (d.value(k + 1) == "SEQEND") seqend = k;
  }
  if (afterFirst < 0) afterFirst = seqend;
  o.keep(t.from);
  EachGroup(d, t.from, firstVertex - 2, [&](std::int32_t k, int g, std::string_view value) {
    if (g == 70) o.put(k, static_cast<double>(Integer(value) & ~1));
    else o.keep(k);
  });
  o.owned();
  bool height = false;
  EachGroup(d, firstVertex, afterFirst - 1, [&](std::int32_t, int g, std::string_view) { height = height || g == 30; });
  for (std::size_t i = 0; i < v.at.size(); ++i) {
    o.keep(firstVertex);
    EachGroup(d, firstVertex, afterFirst - 1, [&](std::int32_t k, int g, std::string_view) {
      if (g == 20 || g == 40 || g == 41 || g == 42) return;
      // Every vertex written is a new one.
      if (g == 5) {
        o.newHandle();
      } else if (g == 10) {
        o.put(k, v.at[i].x);
        o.add(" 20", v.at[i].y);
      } else {
        o.keep(k);
      }
      // The widths and the bulge follow the point.
      if (g == (height ? 30 : 10)) {
        if (t.ownWidths) {
          o.add(" 40", v.widths[i].first);
          o.add(" 41", v.widths[i].second);
        }
        if (v.at[i].bulge != 0) o.add(" 42", v.at[i].bulge);
      }
    });
  }
  if (seqend < 0) return;
  o.keep(seqend);
  EachGroup(d, seqend, t.to, [&](std::int32_t k, int, std::string_view) { o.keep(k); });
}

using S = CutResult::Status;

CutResult Refused(S status, std::string kind = {}) { return {status, std::move(kind)}; }

// The object's lines replaced by the parts of it that are left, the first
// in its place with its handle, the others after it.
CutResult Replace(DocumentContext& c, const Target& t, const std::vector<Path>& parts,
                  const std::vector<Spline>& curves = {}) {
  CodeLines lines(c);
  std::int32_t first = 0;  // the lines of the first part
  const std::size_t count = t.shape == CutShape::Spline ? curves.size() : parts.size();
  for (std::size_t i = 0; i < count; ++i) {
    if (i == 1) first = static_cast<std::int32_t>(lines.lines().size());
    if (t.shape == CutShape::Spline) {
      WriteSpline(lines, {t.from, t.to, -1}, curves[i], i > 0);
      continue;
    }
    Out o(lines, i > 0);
    switch (t.shape) {
      case CutShape::Line: WriteLine(o, t, parts[i]); break;
      case CutShape::Arc:
      case CutShape::Circle:
      case CutShape::Ellipse: WriteConic(o, t, parts[i]); break;
      case CutShape::LwPolyline:
      case CutShape::Polyline: {
        const std::optional<Vertices> v = VerticesOfPart(t, parts[i]);
        if (!v) return Refused(S::InvalidValue);
        if (t.shape == CutShape::LwPolyline) WriteLwPolyline(o, t, *v);
        else WritePolyline(o, t, *v);
        break;
      }
      case CutShape::Spline: break;
    }
  }
  const auto written = static_cast<std::int32_t>(lines.lines().size());
  if (count < 2) first = written;
  // The second part is a new object: it goes where new objects of the tab
  // go, after the others, so that nothing but the tab's end moves.
  const std::int32_t end = lines.at();
  if (first < written && end <= t.to) return Refused(S::NoInsertionPoint);
  std::vector<std::pair<std::int32_t, std::int32_t>> at{{t.from, first}};
  if (first < written) at.emplace_back(end, written - first);
  switch (ReplaceCode(c, {{t.from, t.to}}, lines, at)) {
    case InsertResult::Inserted: break;
    case InsertResult::NoHandleLeft: return Refused(S::NoHandleLeft);
    case InsertResult::NoInsertionPoint: return Refused(S::NoInsertionPoint);
    default: return Refused(S::InvalidValue);
  }
  processdxf(c.drawing);
  CutResult done;
  if (first < written) done.second = end + first - (t.to - t.from + 1);
  return done;
}

// How far a spline's end is carried on at most when its boundaries are
// looked for: twice across everything involved.
double Reach(const Path& path, const std::vector<Piece>& boundaries, const std::vector<Spline>& curves) {
  double minx = INFINITY, miny = INFINITY, maxx = -INFINITY, maxy = -INFINITY;
  auto widen = [&](Point2 p, double r) {
    minx = std::min(minx, p.x - r), maxx = std::max(maxx, p.x + r);
    miny = std::min(miny, p.y - r), maxy = std::max(maxy, p.y + r);
  };
  for (const Piece& q : path.pieces) widen(q.a, 0), widen(q.b, 0);
  for (const Piece& q : boundaries) {
    widen(q.a, 0), widen(q.b, 0);
    if (q.elliptic) widen(q.conic.c, std::hypot(q.conic.u.x, q.conic.u.y) + std::hypot(q.conic.v.x, q.conic.v.y));
    if (const std::optional<ArcShape> arc = CircleOf(q)) widen(arc->c, arc->r);
  }
  for (const Spline& s : curves)
    for (const Point3& p : s.controls) widen(Flat(p), 0);
  const double size = std::hypot(maxx - minx, maxy - miny);
  return std::isfinite(size) ? 2 * size + 1 : 1;
}

CutResult Faulted(GeometryFault fault) {
  switch (fault) {
    case GeometryFault::NoCut: return Refused(S::NoCut);
    case GeometryFault::NoBoundary: return Refused(S::NoBoundary);
    default: return Refused(S::InvalidValue);
  }
}

}  // namespace

std::optional<Path> CuttablePath(const Drawing& d, std::int32_t entry, std::string& kind) {
  const std::optional<Target> t = Read(d, entry, kind);
  if (!t || !t->finite) return std::nullopt;
  return t->path;
}

CutResult TrimObject(DocumentContext& c, std::int32_t entry, const std::vector<Piece>& edges, Point2 picked,
                     const std::vector<Spline>& curves) {
  std::string kind;
  const std::optional<Target> t = Read(c.drawing, entry, kind);
  if (!t) return Refused(S::NotThisKind, kind);
  if (!t->finite || !(Length(t->path) > 0)) return Refused(S::InvalidValue);
  if (t->shape == CutShape::Spline) {
    const Spline& s = t->spline.curve;
    const Outcome<std::vector<Spline>> kept = Trim(s, t->spline.closed, CutParameters(s, t->spline.closed, edges, curves),
                                                   NearestSplineParameter(s, picked));
    if (!kept.ok()) return Faulted(kept.fault);
    return Replace(c, *t, {}, kept.value);
  }
  const Outcome<std::vector<Path>> kept =
      Trim(t->path, CutParameters(t->path, edges, curves), NearestParameter(t->path, picked));
  if (!kept.ok()) return Faulted(kept.fault);
  return Replace(c, *t, kept.value);
}

CutResult ExtendObject(DocumentContext& c, std::int32_t entry, const std::vector<Piece>& boundaries, Point2 picked,
                       const std::vector<Spline>& curves) {
  std::string kind;
  const std::optional<Target> t = Read(c.drawing, entry, kind);
  if (!t) return Refused(S::NotThisKind, kind);
  // What closes has no end to carry on.
  if (t->finite && t->path.closed) return Refused(S::NotThisKind, t->shape == CutShape::Spline ? kind + " (CLOSED)" : kind);
  if (!t->finite || !(Length(t->path) > 0)) return Refused(S::InvalidValue);
  const double u = NearestParameter(t->path, picked);
  const bool atEnd = LengthAt(t->path, u) > Length(t->path) / 2;
  if (t->shape == CutShape::Spline) {
    const Outcome<Spline> longer = Extend(t->spline.curve, atEnd, boundaries, curves, Reach(t->path, boundaries, curves));
    if (!longer.ok()) return Faulted(longer.fault);
    return Replace(c, *t, {}, {longer.value});
  }
  const Outcome<Path> longer = Extend(t->path, atEnd, boundaries, curves);
  if (!longer.ok()) return Faulted(longer.fault);
  return Replace(c, *t, {longer.value});
}

}  // namespace vestrel
