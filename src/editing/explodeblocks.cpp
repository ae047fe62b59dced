#include "editing/explodeblocks.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <optional>
#include <string_view>

#include "document/numbers.h"
#include "document/tabscope.h"
#include "editing/blockindex.h"
#include "editing/copylines.h"
#include "editing/editmap.h"
#include "editing/objectmap.h"
#include "editing/shapes.h"
#include "editing/transforms.h"
#include "geometry/placement.h"

namespace vestrel {

namespace {

using S = ReshapeResult::Status;

Point3 Cross(Point3 a, Point3 b) { return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x}; }
Point3 Scaled(Point3 a, double f) { return {a.x * f, a.y * f, a.z * f}; }
Point3 Sum(Point3 a, Point3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }

// The objects of lines [from, to], each with the vertices of its polyline
// or the attributes of its reference, and their end (`alone`: each object
// by itself).
struct Member {
  std::int32_t from, to;
  std::string_view kind;
};

std::vector<Member> Members(const Drawing& d, std::int32_t from, std::int32_t to, bool alone = false) {
  std::vector<Member> out;
  for (std::int32_t k = from; k + 1 <= to;) {
    std::int32_t next = k + 2;
    while (next + 1 <= to && d.value(next) != "0") next += 2;
    const std::string_view kind = d.value(k + 1);
    if (!alone && (kind == "VERTEX" || kind == "SEQEND" || kind == "ATTRIB") && !out.empty())
      out.back().to = std::min(next - 1, to);
    else
      out.push_back({k, std::min(next - 1, to), kind});
    k = next;
  }
  return out;
}

// The object's own groups, after its "0" line, up to the next object.
template <class F>
void OwnGroups(const Drawing& d, std::int32_t from, std::int32_t to, F&& f) {
  for (std::int32_t k = from + 2; k + 1 <= to; k += 2) {
    const int g = GroupCode(d.value(k));
    if (g == 0) break;
    f(g, d.value(k + 1), k + 1);
  }
}

// What members on layer "0" and BYBLOCK take from the reference.
struct Inherit {
  std::string layer = "0", color = "256", lineType = "BYLAYER", weight = "-1";
  bool paper = false;
  std::string owner;  // the handle of the owner of the reference's space

  // The value a member's group `g` gets instead of `v`; nullopt: it keeps it.
  std::optional<std::string> of(int g, std::string_view v) const {
    if (g == 8 && v == "0") return layer;
    if (g == 62 && ParseInt(v) == 0) return color;
    if (g == 6 && SameName(v, "BYBLOCK")) return lineType;
    if (g == 370 && ParseInt(v) == -2) return weight;
    return std::nullopt;
  }
};

Inherit InheritOf(DocumentContext& c, const EditUnit& u) {
  const Drawing& d = c.drawing;
  Inherit in;
  OwnGroups(d, u.from, u.to, [&](int g, std::string_view v, std::int32_t) {
    if (g == 8) in.layer = v;
    if (g == 62) in.color = v;
    if (g == 6) in.lineType = v;
    if (g == 370) in.weight = v;
  });
  CodeLines probe(c);
  in.paper = AddToLayout(probe);
  if (!probe.lines().empty()) in.owner = probe.lines()[1];
  return in;
}

// The layer and BYBLOCK rules, and the paper-space flag, as edits of the
// member's lines.
void Inherited(const Drawing& d, const Member& m, const Inherit& in, LineEdits& e) {
  bool paper = false;
  std::int32_t layerLine = -1;
  auto flag = [&] {
    if (in.paper && !paper && layerLine >= 0) e.insert.push_back({layerLine - 1, {" 67", "1"}});
  };
  for (std::int32_t k = m.from; k + 1 <= m.to; k += 2) {
    const int g = GroupCode(d.value(k));
    const std::string_view v = d.value(k + 1);
    if (g == 0) {
      flag();
      paper = false, layerLine = -1;
      continue;
    }
    if (g == 67) paper = true;
    if (g == 8 && layerLine < 0) layerLine = k + 1;
    if (g >= 1000) continue;
    if (const auto now = in.of(g, v)) e.overwrite.emplace_back(k + 1, *now);
  }
  flag();
}

bool Uniform(Point3 s) {
  const double a = std::abs(s.x);
  return std::abs(std::abs(s.y) - a) <= 1e-12 * a && std::abs(std::abs(s.z) - a) <= 1e-12 * a;
}
bool PlanUniform(Point3 s) {
  const double a = std::abs(s.x);
  return a > 0 && std::abs(std::abs(s.y) - a) <= 1e-12 * a;
}

// A reference or dimension as a source of members: its block and where
// each cell of it puts the block's points.
struct Picture {
  const BlockLines* block = nullptr;
  std::vector<Placement> cells;
  Point3 scale{1, 1, 1};
};

S PictureOf(const Drawing& d, BlockIndex& index, const EditUnit& u, Picture& pic, std::string& name) {
  const tpoly& p = d.polys[static_cast<std::size_t>(u.entry)];
  if (p.extrakind == ExtraKind::Dimension) {
    name = d.dimensionblock(p);
    pic.block = name.empty() ? nullptr : index.find(name);
    // A dimension without its block draws nothing of its own to keep.
    if (!pic.block) return S::NoBlock;
    const DimensionData& m = d.dimension(p);
    Placement moved;
    moved.offset = {m.insx, m.insy, m.insz};
    pic.cells.push_back(moved);
    return S::Done;
  }
  name = d.insertstr(p);
  pic.block = index.find(name);
  if (!pic.block) return S::NoBlock;
  Point3 base;
  OwnGroups(d, pic.block->from, pic.block->members - 1, [&](int g, std::string_view v, std::int32_t) {
    if (g == 10) base.x = Number(v);
    if (g == 20) base.y = Number(v);
    if (g == 30) base.z = Number(v);
  });
  const InsertData& r = d.insert(p);
  Point3 at;
  if (p.anzp > 0) at = {d.ps(p)[0].x, d.ps(p)[0].y, d.ps(p)[0].z};
  pic.scale = {r.sx, r.sy, r.sz};
  const std::int64_t columns = std::max(r.columns, 1), rows = std::max(r.rows, 1);
  const std::int64_t memberLines = pic.block->endblk - pic.block->members;
  if (columns * rows > kArrayMaxCopies || columns * rows * memberLines > kArrayMaxLines) return S::TooLarge;
  for (std::int64_t row = 0; row < rows; ++row)
    for (std::int64_t column = 0; column < columns; ++column)
      pic.cells.push_back(InsertPlacement(base, at, pic.scale, r.rotation, {r.ex, r.ey, r.ez},
                                          {static_cast<double>(column) * r.colspacing,
                                           static_cast<double>(row) * r.rowspacing, 0}));
  return S::Done;
}

// The extrusion of an object (the plan's when it has none).
Point3 NormalOf(const Drawing& d, const Member& m) {
  Point3 n{0, 0, 1};
  OwnGroups(d, m.from, m.to, [&](int g, std::string_view v, std::int32_t) {
    if (g == 210) n.x = Number(v);
    if (g == 220) n.y = Number(v);
    if (g == 230) n.z = Number(v);
  });
  return n;
}

// Whether a polyline has arcs or widths: what a scale that differs
// between the axes cannot keep.
bool HasArcsOrWidths(const Drawing& d, const Member& m) {
  for (std::int32_t k = m.from; k + 1 <= m.to; k += 2) {
    const int g = GroupCode(d.value(k));
    if ((g == 42 || g == 40 || g == 41 || g == 43) && Number(d.value(k + 1)) != 0) return true;
  }
  return false;
}

enum class Way { Map, Ellipse, Text, Leave, Refuse };

// How a member goes under a scale that differs between the axes. Where x
// and y are scaled alike (`planUniform`; a reference scaled 2, 2, 1, say),
// what lies in the plan keeps its shape, as it does in CAD programs: a
// circle stays a circle.
Way Distorted(const Drawing& d, const Member& m, bool planUniform) {
  const std::string_view k = m.kind;
  if (k == "ATTDEF") return Way::Leave;
  const Point3 n = NormalOf(d, m);
  const bool plan = n.x == 0 && n.y == 0;
  if (planUniform && plan) return Way::Map;
  if (k == "CIRCLE" || k == "ARC" || k == "ELLIPSE") return Way::Ellipse;
  if (k == "LINE" || k == "POINT" || k == "SPLINE" || k == "XLINE" || k == "RAY" || k == "3DFACE") return Way::Map;
  if ((k == "SOLID" || k == "TRACE") && plan) return Way::Map;
  if (k == "TEXT" && plan) return Way::Text;
  if ((k == "LWPOLYLINE" || k == "POLYLINE") && plan && !HasArcsOrWidths(d, m)) return Way::Map;
  return Way::Refuse;
}

// An ellipse or elliptic arc: the curve c + u cos t + v sin t for t from
// t0 to t1 (any pair of conjugate half diameters u, v).
struct Conic {
  Point3 c, u, v;
  double t0 = 0, t1 = 2 * kPi;
};

// A circle, arc or ellipse of the block as such a curve, in the world.
std::optional<Conic> ConicOf(const Drawing& d, const Member& m) {
  Point3 c, axis, n{0, 0, 1};
  double r = 0, ratio = 1, a0 = 0, a1 = 360, p0 = 0, p1 = 2 * kPi;
  OwnGroups(d, m.from, m.to, [&](int g, std::string_view v, std::int32_t) {
    const double x = Number(v);
    switch (g) {
      case 10: c.x = x; break;
      case 20: c.y = x; break;
      case 30: c.z = x; break;
      case 11: axis.x = x; break;
      case 21: axis.y = x; break;
      case 31: axis.z = x; break;
      case 40: (m.kind == "ELLIPSE" ? ratio : r) = x; break;
      case 41: p0 = x; break;
      case 42: p1 = x; break;
      case 50: a0 = x; break;
      case 51: a1 = x; break;
      case 210: n.x = x; break;
      case 220: n.y = x; break;
      case 230: n.z = x; break;
      default: break;
    }
  });
  const double length = Norm(n);
  if (!(length > 0) || !std::isfinite(length)) return std::nullopt;
  n = Scaled(n, 1 / length);
  Conic k;
  if (m.kind == "ELLIPSE") {
    k.c = c, k.u = axis, k.v = Scaled(Cross(n, axis), ratio);
    k.t0 = p0, k.t1 = p1;
  } else {
    const Placement ocs = ObjectCoordinates(n);
    k.c = ocs.apply(c);
    k.u = ocs.linear({r, 0, 0}), k.v = ocs.linear({0, r, 0});
    if (m.kind == "ARC") {
      double sweep = std::fmod(a1 - a0, 360.0);
      if (sweep <= 0) sweep += 360;
      k.t0 = a0 * kPi / 180, k.t1 = (a0 + sweep) * kPi / 180;
    }
  }
  if (!std::isfinite(k.c.x + k.c.y + k.c.z + k.u.x + k.u.y + k.u.z + k.v.x + k.v.y + k.v.z + k.t0 + k.t1))
    return std::nullopt;
  return k;
}

// The lines of the ELLIPSE that member `m` (a circle, arc or ellipse)
// becomes under `place`; false when it has no such image.
bool EllipseLines(DocumentContext& c, const Member& m, const Placement& place, const Inherit& in,
                  std::vector<std::string>& out) {
  const Drawing& d = c.drawing;
  const std::optional<Conic> k = ConicOf(d, m);
  if (!k) return false;
  const Point3 centre = place.apply(k->c), u = place.linear(k->u), v = place.linear(k->v);
  Point3 n = Cross(u, v);
  const double area = Norm(n);
  if (!(area > 0) || !std::isfinite(area)) return false;
  n = Scaled(n, 1 / area);
  // The axes: where u cos t + v sin t is longest and shortest.
  double t = 0.5 * std::atan2(2 * Dot(u, v), Dot(u, u) - Dot(v, v));
  Point3 major = Sum(Scaled(u, std::cos(t)), Scaled(v, std::sin(t)));
  Point3 minor = Sum(Scaled(u, -std::sin(t)), Scaled(v, std::cos(t)));
  if (Norm(minor) > Norm(major)) {
    t += kPi / 2;
    std::swap(major, minor);
    minor = Scaled(minor, -1);
  }
  double s0 = k->t0 - t, s1 = k->t1 - t;
  // Seen from above where the plane faces down: the parameter runs back.
  if (n.z < 0) {
    n = Scaled(n, -1);
    const double from = -s1;
    s1 = -s0, s0 = from;
  }
  const bool whole = k->t1 - k->t0 >= 2 * kPi * (1 - 1e-12);
  if (whole) {
    s0 = 0, s1 = 2 * kPi;
  } else {
    const double sweep = s1 - s0;
    s0 = Normalized(s0, 2 * kPi);
    s1 = s0 + sweep;
  }
  const std::optional<Handle> h = IssueHandle(c);
  if (!h) return false;
  auto add = [&](std::string_view code, std::string_view value) {
    out.emplace_back(code);
    out.emplace_back(value);
  };
  auto num = [&](std::string_view code, double x) { add(code, FloatToDxf(x)); };
  add("  0", "ELLIPSE");
  add("  5", HandleText(*h));
  if (!in.owner.empty()) add("330", in.owner);
  add("100", "AcDbEntity");
  if (in.paper) add(" 67", "1");
  bool layer = false;
  OwnGroups(d, m.from, m.to, [&](int g, std::string_view v, std::int32_t) {
    if (g == 8 || g == 6 || g == 62 || g == 420 || g == 370 || g == 48 || g == 60 || g == 440) {
      layer = layer || g == 8;
      add(CodeText(g), in.of(g, v).value_or(std::string(v)));
    }
  });
  if (!layer) add("  8", in.layer);
  add("100", "AcDbEllipse");
  num(" 10", centre.x), num(" 20", centre.y), num(" 30", centre.z);
  num(" 11", major.x), num(" 21", major.y), num(" 31", major.z);
  num("210", n.x), num("220", n.y), num("230", n.z);
  num(" 40", Norm(minor) / Norm(major));
  num(" 41", s0), num(" 42", s1);
  return true;
}

// A text under a scale that differs between the axes: its points mapped,
// its height, width factor and rotation made those of the image of its own
// frame (as CAD programs do). False where that frame comes out sheared,
// mirrored or slanted: no text can show that.
bool TextEdits(const Drawing& d, const Member& m, const EditMap& map, LineEdits& e) {
  double height = 0, width = 1, degrees = 0, oblique = 0;
  std::int32_t heightLine = -1, widthLine = -1, rotationLine = -1;
  OwnGroups(d, m.from, m.to, [&](int g, std::string_view v, std::int32_t line) {
    if (g == 40) height = Number(v), heightLine = line;
    if (g == 41) width = Number(v), widthLine = line;
    if (g == 50) degrees = Number(v), rotationLine = line;
    if (g == 51) oblique = Number(v);
  });
  if (heightLine < 0 || oblique != 0 || map.reflects) return false;
  const Point3 n = NormalOf(d, m);
  const Placement ocs = ObjectCoordinates(n);
  const double r = degrees * kPi / 180;
  const Point3 along = map.m.linear(ocs.linear({std::cos(r), std::sin(r), 0}));
  const Point3 up = map.m.linear(ocs.linear({-std::sin(r), std::cos(r), 0}));
  const double a = Norm(along), b = Norm(up);
  if (!(a > 0 && b > 0) || std::abs(Dot(along, up)) > 1e-9 * a * b) return false;
  MapObject(d.dxf, m.from, m.to, map, e);
  const Point3 in = IntoObject(ObjectCoordinates(InPlane(map, n).normal), along);
  const double turned = Normalized(std::atan2(in.y, in.x) * 180 / kPi);
  e.overwrite.emplace_back(heightLine, FloatToDxf(height * b));
  if (widthLine >= 0)
    e.overwrite.emplace_back(widthLine, FloatToDxf(width * a / b));
  else if (a != b)
    e.insert.push_back({heightLine + 1, {" 41", FloatToDxf(width * a / b)}});
  if (rotationLine >= 0) {
    e.overwrite.emplace_back(rotationLine, FloatToDxf(turned));
  } else {
    // The map's own turn of the text, added where it had none, is replaced.
    std::erase_if(e.insert, [](const LineEdits::Insertion& i) { return !i.lines.empty() && i.lines[0] == " 50"; });
    if (turned != 0) e.insert.push_back({heightLine + 1, {" 50", FloatToDxf(turned)}});
  }
  return std::isfinite(height * b) && std::isfinite(width * a / b);
}

bool IsIdentity(const Placement& p) {
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j)
      if (p.m[i][j] != (i == j ? 1 : 0)) return false;
  return p.offset.x == 0 && p.offset.y == 0 && p.offset.z == 0;
}

}  // namespace

bool ExplodesAsPicture(const Drawing& d, const EditUnit& u) {
  const tpoly& p = d.polys[static_cast<std::size_t>(u.entry)];
  return p.extrakind == ExtraKind::Insert || p.extrakind == ExtraKind::Dimension || p.kind == Kind::HATCH;
}

ReshapeResult CopyPictures(DocumentContext& c, const std::vector<EditUnit>& units,
                           std::vector<std::vector<std::string>>& copies) {
  const Drawing& d = c.drawing;
  BlockIndex index(d);
  copies.assign(units.size(), {});
  // Everything but the frames of texts is checked before the first handle
  // is taken.
  std::vector<Picture> pictures(units.size());
  std::int64_t lines = 0;
  for (std::size_t i = 0; i < units.size(); ++i) {
    const EditUnit& u = units[i];
    const tpoly& p = d.polys[static_cast<std::size_t>(u.entry)];
    if (!ExplodesAsPicture(d, u) || p.kind == Kind::HATCH) continue;
    Picture& pic = pictures[i];
    std::string name;
    const S s = PictureOf(d, index, u, pic, name);
    if (s != S::Done) return Refused(s, name.empty() ? std::string(d.value(u.from + 1)) : name);
    for (const Placement& cell : pic.cells)
      for (const auto& row : cell.m)
        for (const double v : row)
          if (!std::isfinite(v)) return Refused(S::InvalidValue);
    lines += static_cast<std::int64_t>(pic.cells.size()) * (pic.block->endblk - pic.block->members);
    if (lines > kArrayMaxLines) return Refused(S::TooLarge);
    const bool uniform = Uniform(pic.scale);
    if (uniform && pic.scale.x == 0) return Refused(S::InvalidValue);
    for (const Member& m : Members(d, pic.block->members, pic.block->endblk - 1)) {
      if (!uniform && Distorted(d, m, PlanUniform(pic.scale)) == Way::Refuse)
        return Refused(S::Distorted, std::string(m.kind));
      // A dimension of the block keeps its own block's picture only where
      // the reference leaves the block as it is.
      if (m.kind == "DIMENSION" && (pic.cells.size() != 1 || !IsIdentity(pic.cells.front())))
        return Refused(S::Distorted, "DIMENSION");
    }
    if (!uniform && std::abs(pic.scale.z) == 0) return Refused(S::InvalidValue);
    if (!uniform && d.cadver <= 1009)
      for (const Member& m : Members(d, pic.block->members, pic.block->endblk - 1))
        if (Distorted(d, m, PlanUniform(pic.scale)) == Way::Ellipse) return Refused(S::Distorted, std::string(m.kind));
  }
  for (std::size_t i = 0; i < units.size(); ++i) {
    const Picture& pic = pictures[i];
    if (!pic.block) continue;
    const Inherit in = InheritOf(c, units[i]);
    const bool uniform = Uniform(pic.scale), planUniform = PlanUniform(pic.scale);
    CopyState state;
    // The members point at the block's record as their owner: the copies
    // at the owner of the reference's space.
    if (pic.block->recordFrom >= 0 && !in.owner.empty())
      OwnGroups(d, pic.block->recordFrom, pic.block->recordTo, [&](int g, std::string_view v, std::int32_t) {
        const auto record = ParseHandle(v), owner = ParseHandle(in.owner);
        if (g == 5 && record && owner) state.handles[*record] = *owner;
      });
    const std::vector<Member> members = Members(d, pic.block->members, pic.block->endblk - 1);
    for (const Placement& cell : pic.cells) {
      EditMap map;
      map.m = cell;
      map.factor = std::abs(uniform ? pic.scale.x : pic.scale.z);
      map.reflects = pic.scale.x * pic.scale.y * pic.scale.z < 0;
      for (const Member& m : members) {
        const Way way = uniform ? (m.kind == "ATTDEF" ? Way::Leave : Way::Map) : Distorted(d, m, planUniform);
        // What keeps its shape in the plan takes the plan's scale.
        map.factor = std::abs(uniform || (planUniform && way == Way::Map) ? pic.scale.x : pic.scale.z);
        if (way == Way::Leave) continue;
        if (way == Way::Ellipse) {
          if (!EllipseLines(c, m, cell, in, copies[i])) return Refused(S::Distorted, std::string(m.kind));
          continue;
        }
        LineEdits e;
        if (way == Way::Text) {
          if (!TextEdits(d, m, map, e)) return Refused(S::Distorted, std::string(m.kind));
        } else {
          MapObject(d.dxf, m.from, m.to, map, e);
        }
        if (!e.finite) return Refused(S::InvalidValue);
        Inherited(d, m, in, e);
        if (!CopyLines(c, d.dxf, m.from, m.to, e, state, copies[i])) return Refused(S::NoHandleLeft);
      }
    }
  }
  return {};
}

namespace {

// A reference's visible attributes as texts, where they stand.
void WriteAttributes(CodeLines& l, const EditUnit& u) {
  const Drawing& d = l.drawing();
  const bool newer = d.cadver > 1009;
  for (const Member& m : Members(d, u.from, u.to, true)) {
    if (m.kind != "ATTRIB") continue;
    bool hidden = false;
    OwnGroups(d, m.from, m.to, [&](int g, std::string_view v, std::int32_t) {
      if (g == 70 && (ParseInt(v).value_or(0) & 1) != 0) hidden = true;
    });
    if (hidden) continue;
    const EditUnit a{m.from, m.to, u.entry};
    StartLike(l, a, "TEXT", "AcDbText");
    std::string_view vertical;
    OwnGroups(d, a.from, a.to, [&](int g, std::string_view v, std::int32_t) {
      static constexpr int kText[] = {39, 10, 20, 30, 40, 1, 50, 41, 51, 7, 71, 72, 11, 21, 31, 210, 220, 230};
      if (g == 74) vertical = v;
      if (std::find(std::begin(kText), std::end(kText), g) != std::end(kText)) l.add(CodeText(g), v);
    });
    if (newer) l.add("100", std::string_view("AcDbText"));
    if (!vertical.empty()) l.add(" 73", vertical);
  }
}

// One edge of a hatch's edge path, as read.
struct Edge {
  int type = 0;  // 1 line, 2 arc, 3 elliptic arc, 4 spline
  double x1 = 0, y1 = 0, x2 = 0, y2 = 0, radius = 0, start = 0, end = 0;
  bool ccw = true;
  int degree = 3;
  bool fitCount = false;  // a spline's 97: the count of its fit points, not of the path's sources
  std::vector<Point3> controls, fits;
  std::vector<double> knots, weights;
  std::optional<Point3> startTangent, endTangent;
};

double SweepDegrees(double start, double end) {
  const double sweep = std::fmod(end - start, 360.0);
  return !std::isfinite(sweep) ? 360 : sweep > 0 ? sweep : sweep + 360;
}

// The edge as an entity of the hatch's plane `n` at `elevation`. An arc
// or elliptic arc that runs clockwise has its angles as seen from below.
void WriteEdge(CodeLines& l, const EditUnit& like, const Edge& e, Point3 n, double elevation) {
  const Placement ocs = ObjectCoordinates(n);
  const bool newer = l.drawing().cadver > 1009;
  auto point = [&](std::string_view x, std::string_view y, std::string_view z, Point3 p) {
    l.add(x, p.x), l.add(y, p.y), l.add(z, p.z);
  };
  const double from = e.ccw ? e.start : 360 - e.end, sweep = SweepDegrees(e.start, e.end);
  switch (e.type) {
    case 1:
      StartLike(l, like, "LINE", "AcDbLine");
      point(" 10", " 20", " 30", ocs.apply({e.x1, e.y1, elevation}));
      point(" 11", " 21", " 31", ocs.apply({e.x2, e.y2, elevation}));
      return;
    case 2:
      if (!(e.radius > 0)) return;
      StartLike(l, like, sweep >= 360 ? "CIRCLE" : "ARC", "AcDbCircle");
      point(" 10", " 20", " 30", {e.x1, e.y1, elevation});
      l.add(" 40", e.radius);
      AddNormal(l, n);
      if (sweep >= 360) return;
      if (newer) l.add("100", std::string_view("AcDbArc"));
      l.add(" 50", Normalized(from));
      l.add(" 51", Normalized(from + sweep));
      return;
    case 3: {
      const double ratio = e.radius;
      if ((e.x2 == 0 && e.y2 == 0) || !(ratio > 0)) return;
      // The angles are those of the points seen from the centre.
      auto parameter = [&](double degrees) {
        const double a = degrees * kPi / 180;
        return std::atan2(std::sin(a) / ratio, std::cos(a));
      };
      double t0 = 0, dt = 2 * kPi;
      if (sweep < 360) {
        t0 = Normalized(parameter(from), 2 * kPi);
        dt = std::fmod(parameter(from + sweep) - t0, 2 * kPi);
        if (dt <= 0) dt += 2 * kPi;
      }
      StartLike(l, like, "ELLIPSE", "AcDbEllipse");
      point(" 10", " 20", " 30", ocs.apply({e.x1, e.y1, elevation}));
      point(" 11", " 21", " 31", ocs.linear({e.x2, e.y2, 0}));
      point("210", "220", "230", n);
      l.add(" 40", ratio);
      l.add(" 41", t0);
      l.add(" 42", t0 + dt);
      return;
    }
    case 4: {
      StartLike(l, like, "SPLINE", "AcDbSpline");
      point("210", "220", "230", n);
      const bool rational = !e.weights.empty();
      l.add(" 70", 8 | (rational ? 4 : 0));
      l.add(" 71", e.degree);
      l.add(" 72", static_cast<int>(e.knots.size()));
      l.add(" 73", static_cast<int>(e.controls.size()));
      l.add(" 74", static_cast<int>(e.fits.size()));
      if (e.startTangent) point(" 12", " 22", " 32", ocs.linear(*e.startTangent));
      if (e.endTangent) point(" 13", " 23", " 33", ocs.linear(*e.endTangent));
      for (const double k : e.knots) l.add(" 40", k);
      for (std::size_t i = 0; i < e.controls.size(); ++i) {
        if (rational) l.add(" 41", i < e.weights.size() ? e.weights[i] : 1.0);
        point(" 10", " 20", " 30", ocs.apply({e.controls[i].x, e.controls[i].y, elevation}));
      }
      for (const Point3& f : e.fits) point(" 11", " 21", " 31", ocs.apply({f.x, f.y, elevation}));
      return;
    }
    default: return;
  }
}

// A hatch's boundary paths, in its plane.
void WriteBoundary(CodeLines& l, const EditUnit& u) {
  const Drawing& d = l.drawing();
  Point3 n{0, 0, 1};
  double elevation = 0;
  bool paths = false;
  OwnGroups(d, u.from, u.to, [&](int g, std::string_view v, std::int32_t) {
    if (g == 91) paths = true;
    if (paths) return;
    if (g == 30) elevation = Number(v);
    if (g == 210) n.x = Number(v);
    if (g == 220) n.y = Number(v);
    if (g == 230) n.z = Number(v);
  });
  if (!(Norm(n) > 0)) n = {0, 0, 1};
  enum class Part { Header, Path, Edges, Sources, Rest } part = Part::Header;
  bool closed = true;
  std::vector<PolyVertex> vertices;
  Edge edge;
  auto endEdge = [&] {
    if (edge.type != 0) WriteEdge(l, u, edge, n, elevation);
    edge = Edge{};
  };
  auto endPath = [&] {
    endEdge();
    if (part == Part::Path && !vertices.empty()) WritePolyline(l, u, vertices, closed, n, elevation);
    vertices.clear();
  };
  OwnGroups(d, u.from, u.to, [&](int g, std::string_view text, std::int32_t) {
    const double v = Number(text);
    if (part == Part::Rest) return;
    if (g == 92) {
      endPath();
      closed = true;
      part = (ParseInt(text).value_or(0) & 2) != 0 ? Part::Path : Part::Edges;
      return;
    }
    if (part == Part::Header) return;
    if (g == 97 && part == Part::Edges && edge.type == 4 && !edge.fitCount) {
      edge.fitCount = true;
      return;
    }
    if (g == 97 && part != Part::Sources) {
      // The objects the path was made from follow: no part of it.
      endPath();
      part = Part::Sources;
      return;
    }
    if (g == 75 || g == 76 || g == 52 || g == 41 || g == 77 || g == 78 || g == 98 || g == 450 || g == 47) {
      endPath();
      part = Part::Rest;
      return;
    }
    if (part == Part::Path) {
      if (g == 73) closed = v != 0;
      if (g == 10) vertices.push_back({v, 0, 0, 0});
      if (g == 20 && !vertices.empty()) vertices.back().y = v;
      if (g == 42 && !vertices.empty()) vertices.back().bulge = v;
      return;
    }
    if (part != Part::Edges) return;
    if (g == 72) {
      endEdge();
      edge.type = ParseInt(text).value_or(0);
      return;
    }
    if (edge.type == 4) {
      switch (g) {
        case 94: edge.degree = ParseInt(text).value_or(3); break;
        case 40: edge.knots.push_back(v); break;
        case 42: edge.weights.push_back(v); break;
        case 10: edge.controls.push_back({v, 0, 0}); break;
        case 20:
          if (!edge.controls.empty()) edge.controls.back().y = v;
          break;
        case 11: edge.fits.push_back({v, 0, 0}); break;
        case 21:
          if (!edge.fits.empty()) edge.fits.back().y = v;
          break;
        case 12: edge.startTangent = Point3{v, 0, 0}; break;
        case 22:
          if (edge.startTangent) edge.startTangent->y = v;
          break;
        case 13: edge.endTangent = Point3{v, 0, 0}; break;
        case 23:
          if (edge.endTangent) edge.endTangent->y = v;
          break;
        default: break;
      }
      return;
    }
    switch (g) {
      case 10: edge.x1 = v; break;
      case 20: edge.y1 = v; break;
      case 11: edge.x2 = v; break;
      case 21: edge.y2 = v; break;
      case 40: edge.radius = v; break;
      case 50: edge.start = v; break;
      case 51: edge.end = v; break;
      case 73: edge.ccw = v != 0; break;
      default: break;
    }
  });
  endPath();
}

}  // namespace

void WriteOwnParts(CodeLines& l, const EditUnit& u) {
  const Drawing& d = l.drawing();
  const tpoly& p = d.polys[static_cast<std::size_t>(u.entry)];
  if (p.kind == Kind::HATCH) return WriteBoundary(l, u);
  if (p.extrakind == ExtraKind::Insert) WriteAttributes(l, u);
}

}  // namespace vestrel
