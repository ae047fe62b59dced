#include "editing/objectmap.h"

#include <cmath>
#include <optional>
#include <string_view>

#include "document/numbers.h"
#include "writers/insertcode.h"

namespace vestrel {

std::string CodeText(int group) {
  std::string s = std::to_string(group);
  return s.size() < 3 ? std::string(3 - s.size(), ' ') + s : s;
}

namespace {

struct Pair {
  int group;
  std::int32_t line;  // the value line
  std::string_view value;
};

// The kinds a point group can be of.
enum class Point { World, Plane, Plane2D };

// One object at a time, from its "0" line: its pairs gathered, then each
// value given its meaning by the kind and by where in the object it
// stands.
class Mapper {
 public:
  Mapper(const LineList& dxf, const EditMap& map, LineEdits& out, std::vector<Pair>& pairs)
      : dxf_(dxf), map_(map), out_(out), pairs_(pairs) {}

  void run(std::int32_t from, std::int32_t to) {
    std::int32_t i = from;
    while (i + 1 <= to) {
      std::int32_t j = i + 2;
      while (j + 1 <= to && Trim(dxf_[static_cast<std::size_t>(j)]) != "0") j += 2;
      object(i, std::min(j - 1, to));
      i = j;
    }
  }

 private:
  // --- the object's pairs ---------------------------------------------------------
  void object(std::int32_t from, std::int32_t to) {
    kind_ = Trim(dxf_[static_cast<std::size_t>(from) + 1]);
    end_ = to;
    pairs_.clear();
    for (std::int32_t k = from + 2; k + 1 <= to; k += 2)
      pairs_.push_back({GroupCode(Trim(dxf_[static_cast<std::size_t>(k)])), k + 1,
                        Trim(dxf_[static_cast<std::size_t>(k) + 1])});
    const std::string_view k = kind_;
    if (k == "VERTEX") return vertex();
    if (k == "SEQEND") return;
    polyline_ = false;
    if (k == "LINE") return line();
    if (k == "POINT") return point();
    if (k == "CIRCLE" || k == "ARC") return arc(k == "ARC");
    if (k == "ELLIPSE") return ellipse();
    if (k == "LWPOLYLINE") return lwpolyline();
    if (k == "POLYLINE") return polylineHeader();
    if (k == "SOLID" || k == "TRACE") return solid(Point::Plane);
    if (k == "3DFACE") return solid(Point::World);
    if (k == "TEXT" || k == "ATTRIB" || k == "ATTDEF") return text();
    if (k == "MTEXT") return mtext();
    if (k == "INSERT") return insert();
    if (k == "DIMENSION") return dimension();
    if (k == "LEADER") return leader();
    if (k == "SPLINE") return spline();
    if (k == "RAY" || k == "XLINE") return ray();
    if (k == "WIPEOUT" || k == "IMAGE") return image();
    if (k == "VIEWPORT") return viewport();
    if (k == "HATCH") return hatch();
    if (k == "MULTILEADER" || k == "MLEADER") return mleader();
  }

  int find(int group) const {
    for (std::size_t i = 0; i < pairs_.size(); ++i)
      if (pairs_[i].group == group) return static_cast<int>(i);
    return -1;
  }
  std::optional<double> num(std::size_t i) const { return ParseDouble(pairs_[i].value); }

  // --- writing -------------------------------------------------------------------------
  void set(std::size_t i, double v) {
    const auto old = num(i);
    if (!old || *old == v) return;
    if (!std::isfinite(v)) out_.finite = false;
    out_.overwrite.emplace_back(pairs_[i].line, FloatToDxf(v));
  }
  void setText(std::size_t i, std::string_view text) {
    if (pairs_[i].value != text) out_.overwrite.emplace_back(pairs_[i].line, std::string(text));
  }
  // New pairs before line `at`.
  void add(std::int32_t at, std::vector<std::pair<int, double>> values) {
    LineEdits::Insertion ins{at, {}};
    for (const auto& [group, v] : values) {
      if (!std::isfinite(v)) out_.finite = false;
      ins.lines.push_back(CodeText(group));
      ins.lines.push_back(FloatToDxf(v));
    }
    if (!ins.lines.empty()) out_.insert.push_back(std::move(ins));
  }
  // Group `group` set to `v`: written where it stands, added after the
  // line `after` when it is missing and `v` is not its default.
  void ensure(int group, double v, double fallback, std::int32_t after) {
    if (const int i = find(group); i >= 0) return set(static_cast<std::size_t>(i), v);
    if (v != fallback) add(after + 1, {{group, v}});
  }

  // --- points, directions, lengths, angles --------------------------------------
  // The triple that starts with the x value at pairs_[i]: (y, z) follow as
  // the groups 10 and 20 above it. The index of its last pair.
  std::size_t extent(std::size_t i, std::optional<std::size_t>& y, std::optional<std::size_t>& z) const {
    const int g = pairs_[i].group;
    std::size_t last = i;
    if (i + 1 < pairs_.size() && pairs_[i + 1].group == g + 10) y = last = i + 1;
    if (y && *y + 1 < pairs_.size() && pairs_[*y + 1].group == g + 20) z = last = *y + 1;
    return last;
  }

  // Maps the point or vector at pairs_[i] by f; a missing z of a point in
  // space is added when it becomes other than 0.
  template <class F>
  void triple(std::size_t i, bool hasZ, F f) {
    std::optional<std::size_t> yi, zi;
    extent(i, yi, zi);
    const auto x = num(i);
    const auto y = yi ? num(*yi) : std::nullopt;
    if (!x || !y) return;
    const auto z = zi ? num(*zi) : std::optional<double>(0.0);
    if (!z) return;
    const Point3 p = f(Point3{*x, *y, *z});
    set(i, p.x);
    set(*yi, p.y);
    if (!hasZ) return;
    if (zi)
      set(*zi, p.z);
    else if (p.z != 0)
      add(pairs_[*yi].line + 1, {{pairs_[i].group + 20, p.z}});
  }
  void worldPoint(std::size_t i) { triple(i, true, [&](Point3 p) { return map_.point(p); }); }
  void planePoint(std::size_t i, const PlaneMap& pm, bool hasZ = true) {
    triple(i, hasZ, [&](Point3 p) { return pm.point(p); });
  }
  void worldVector(std::size_t i) { triple(i, true, [&](Point3 v) { return map_.vector(v); }); }
  void direction(std::size_t i) { triple(i, true, [&](Point3 v) { return map_.direction(v); }); }
  void planeVector(std::size_t i, const PlaneMap& pm) {
    triple(i, false, [&](Point3 v) { return pm.vector(v); });
  }
  void pointOf(Point kind, std::size_t i, const PlaneMap& pm) {
    switch (kind) {
      case Point::World: return worldPoint(i);
      case Point::Plane: return planePoint(i, pm);
      case Point::Plane2D: return planePoint(i, pm, false);
    }
  }
  void length(std::size_t i) {
    if (map_.factor == 1) return;
    if (const auto v = num(i)) set(i, *v * map_.factor);
  }
  void angle(std::size_t i, const PlaneMap& pm) {
    if (const auto v = num(i)) set(i, pm.reflects ? Normalized(pm.angle(*v)) : pm.angle(*v));
  }
  void radians(std::size_t i, const PlaneMap& pm) {
    if (const auto v = num(i)) {
      const double a = pm.angle(*v * 180 / kPi);
      set(i, (pm.reflects ? Normalized(a) : a) * kPi / 180);
    }
  }
  void bulge(std::size_t i) {
    if (!map_.reflects) return;
    if (const auto v = num(i); v && *v != 0) set(i, -*v);
  }
  // A height in the plane: the z of the point (0, 0, z).
  void elevation(std::size_t i, const PlaneMap& pm) {
    if (const auto v = num(i)) set(i, pm.point({0, 0, *v}).z);
  }
  // The pair of angles of an arc that runs from `start` to `end`
  // counter-clockwise: turned with the plane; mirrored, it runs from the
  // image of its end to the image of its start. The sweep stays what it
  // was. In degrees from the plane's x axis; or (`full` 2 pi) an elliptic
  // arc's parameters, measured from its own axis, which the mirror only
  // runs the other way.
  void arcEnds(int start, int end, const PlaneMap& pm, double full, std::int32_t after) {
    const bool degrees = full == 360;
    const double defaultEnd = degrees ? 0.0 : 2 * kPi;
    const int si = find(start), ei = find(end);
    const auto s = si >= 0 ? num(static_cast<std::size_t>(si)) : std::optional<double>(0.0);
    const auto e = ei >= 0 ? num(static_cast<std::size_t>(ei)) : std::optional<double>(defaultEnd);
    if (!s || !e) return;
    const double turn = degrees ? pm.turn : 0;
    if (!pm.reflects) {
      ensure(start, *s + turn, 0, after);
      ensure(end, *e + turn, defaultEnd, after);
      return;
    }
    // The sweep counter-clockwise, more than nothing and at most a turn
    // (an arc whose ends are one point keeps them so). What lies within
    // the last digits of a full turn, or of none, is one: the numbers are
    // written with 15 digits, 2 pi as 6.28318530717959.
    const double tiny = full * 1e-12;
    double sweep = *e - *s;
    if (std::abs(sweep - full) < tiny) sweep = full;
    if (sweep != 0 && (sweep < 0 || sweep > full)) {
      sweep = std::fmod(sweep, full);
      if (sweep <= 0) sweep += full;
    }
    double s2 = Normalized(turn - *e, full);
    if (s2 < tiny || full - s2 < tiny) s2 = 0;
    ensure(start, s2, 0, after);
    ensure(end, s2 + sweep, defaultEnd, after);
  }

  // --- the extrusion -----------------------------------------------------------------
  Point3 normal(int xgroup = 210) const {
    Point3 n{0, 0, 1};
    for (const Pair& p : pairs_) {
      if (p.group == 101) break;  // what follows belongs to an embedded text
      const auto v = ParseDouble(p.value);
      if (!v) continue;
      if (p.group == xgroup) n.x = *v;
      if (p.group == xgroup + 10) n.y = *v;
      if (p.group == xgroup + 20) n.z = *v;
    }
    return n;
  }
  void setNormal(const PlaneMap& pm) {
    if (!pm.normalChanged) return;
    const double v[3] = {pm.normal.x, pm.normal.y, pm.normal.z};
    const double fallback[3] = {0, 0, 1};
    std::int32_t last = -1;
    for (const Pair& p : pairs_)
      if (p.group == 210 || p.group == 220 || p.group == 230) last = std::max(last, p.line);
    if (last < 0) last = end_;
    for (int k = 0; k < 3; ++k) ensure(210 + 10 * k, v[k], fallback[k], last);
  }
  PlaneMap plane() const { return InPlane(map_, normal()); }

  // --- kinds ---------------------------------------------------------------------------
  void line() {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10 || g == 11) worldPoint(i);
      if (g == 39) length(i);
    }
    setNormal(pm);
  }

  void point() {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) worldPoint(i);
      if (g == 39) length(i);
      if (g == 50) angle(i, pm);
    }
    setNormal(pm);
  }

  void arc(bool isArc) {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) planePoint(i, pm);
      if (g == 40 || g == 39) length(i);
    }
    if (isArc) {
      const int r = find(40);
      arcEnds(50, 51, pm, 360, r >= 0 ? pairs_[static_cast<std::size_t>(r)].line : end_);
    }
    setNormal(pm);
  }

  void ellipse() {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) worldPoint(i);
      if (g == 11) worldVector(i);
    }
    // The parameters run about the extrusion; a mirror runs them back.
    if (pm.reflects) arcEnds(41, 42, pm, 2 * kPi, end_);
    setNormal(pm);
  }

  void lwpolyline() {
    const PlaneMap pm = plane();
    int first10 = -1;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) {
        if (first10 < 0) first10 = static_cast<int>(i);
        planePoint(i, pm, false);
      }
      if (g == 40 || g == 41 || g == 43 || g == 39) length(i);
      if (g == 42) bulge(i);
      if (g == 38) elevation(i, pm);
    }
    if (find(38) < 0) {
      const double e = pm.point({0, 0, 0}).z;
      const std::int32_t before = first10 >= 0 ? pairs_[static_cast<std::size_t>(first10)].line - 1 : end_ + 1;
      if (e != 0) add(before, {{38, e}});
    }
    setNormal(pm);
  }

  void polylineHeader() {
    polyline_ = true;
    const int f = find(70);
    const auto flags = f >= 0 ? ParseInt(pairs_[static_cast<std::size_t>(f)].value) : std::optional<std::int32_t>(0);
    // A 3-D polyline, a mesh and a polyface mesh have their vertices in the
    // world.
    polyline3d_ = flags && (*flags & (8 | 16 | 64));
    polyface_ = flags && (*flags & 64);
    polylinePlane_ = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 40 || g == 41 || g == 39) length(i);
      if (g == 30 && !polyline3d_) elevation(i, polylinePlane_);
    }
    if (!polyline3d_ && find(30) < 0) {
      const double e = polylinePlane_.point({0, 0, 0}).z;
      if (e != 0) add(end_ + 1, {{10, 0}, {20, 0}, {30, e}});
    }
    if (!polyline3d_) setNormal(polylinePlane_);
  }

  void vertex() {
    if (!polyline_) return;
    const int f = find(70);
    const auto flags = f >= 0 ? ParseInt(pairs_[static_cast<std::size_t>(f)].value) : std::optional<std::int32_t>(0);
    // A polyface's face records name vertices; their own point is none.
    if (polyface_ && flags && (*flags & 128) && !(*flags & 64)) return;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) polyline3d_ ? worldPoint(i) : planePoint(i, polylinePlane_);
      if (polyline3d_) continue;
      if (g == 40 || g == 41) length(i);
      if (g == 42) bulge(i);
      if (g == 50) angle(i, polylinePlane_);
    }
  }

  void solid(Point kind) {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g >= 10 && g <= 13) pointOf(kind, i, pm);
      if (g == 39) length(i);
    }
    if (kind == Point::Plane) setNormal(pm);
  }

  void text() {
    const PlaneMap pm = plane();
    bool embedded = false, rotated = false;
    std::int32_t after = end_;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 101) embedded = true;
      if (embedded) {
        // An attribute's own multi-line text: in the world.
        if (g == 10) worldPoint(i);
        if (g == 11) direction(i);
        if (g == 40 || g == 41 || g == 46) length(i);
        continue;
      }
      if (g == 10 || g == 11) planePoint(i, pm);
      if (g == 40 || g == 39) length(i);
      if (g == 40) after = pairs_[i].line;
      if (g == 50) {
        angle(i, pm);
        rotated = true;
      }
    }
    if (!rotated) {
      const double r = pm.reflects ? Normalized(pm.angle(0)) : pm.angle(0);
      if (r != 0) add(after + 1, {{50, r}});
    }
    setNormal(pm);
  }

  void mtext() {
    const PlaneMap pm = plane();
    bool columns = false, turned = false;
    int at10 = -1;
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 75) columns = true;  // from here on 48, 49 and 50 size the columns
      if (g == 10) {
        worldPoint(i);
        at10 = static_cast<int>(i);
      }
      if (g == 11) {
        direction(i);
        turned = true;
      }
      if (g == 40 || g == 41 || g == 42 || g == 43 || g == 46 || g == 48 || g == 49) length(i);
      if (g == 50) {
        if (columns) {
          length(i);
        } else {
          angle(i, pm);
          turned = true;
        }
      }
    }
    if (!turned && at10 >= 0 && (pm.turn != 0 || pm.reflects)) {
      // Its direction is the plane's x axis: written out, mapped.
      const Point3 x = map_.direction(ObjectCoordinates(normal()).linear({1, 0, 0}));
      std::optional<std::size_t> y, z;
      const std::size_t last = extent(static_cast<std::size_t>(at10), y, z);
      add(pairs_[last].line + 1, {{11, x.x}, {21, x.y}, {31, x.z}});
    }
    setNormal(pm);
  }

  void insert() {
    const PlaneMap pm = plane();
    const int at = find(10);
    if (at >= 0) planePoint(static_cast<std::size_t>(at), pm);
    auto value = [&](int group, double fallback) {
      const int i = find(group);
      return i >= 0 ? num(static_cast<std::size_t>(i)) : std::optional<double>(fallback);
    };
    const auto sx = value(41, 1), sy = value(42, 1), sz = value(43, 1), rotation = value(50, 0);
    const auto cs = value(44, 0), rs = value(45, 0);
    std::int32_t after = end_;
    if (at >= 0) {
      std::optional<std::size_t> y, z;
      after = pairs_[extent(static_cast<std::size_t>(at), y, z)].line;
    }
    const double f = map_.factor, fz = map_.m.m[2][2];
    // Mirrored, a reference is turned the other way and mirrored along its
    // own x axis: a negative x scale.
    const double mx = pm.reflects ? -f : f;
    if (sx) ensure(41, *sx * mx, 1, after);
    if (sy) ensure(42, *sy * f, 1, after);
    if (sz) ensure(43, *sz * fz, 1, after);
    if (rotation) ensure(50, pm.reflects ? Normalized(pm.turn - *rotation + 180) : *rotation + pm.turn, 0, after);
    if (cs) ensure(44, *cs * mx, 0, after);
    if (rs) ensure(45, *rs * f, 0, after);
    setNormal(pm);
  }

  void dimension() {
    const PlaneMap pm = plane();
    const int t = find(70);
    const auto type = t >= 0 ? ParseInt(pairs_[static_cast<std::size_t>(t)].value) : std::optional<std::int32_t>(0);
    const bool angular = type && ((*type & 7) == 2 || (*type & 7) == 5);
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      // Group 12 places the dimension's block and stays: the block's
      // contents are mapped with it.
      if (g == 10 || g == 13 || g == 14 || g == 15) worldPoint(i);
      if (g == 11 || g == 16) planePoint(i, pm);
      if (g >= 50 && g <= 53) angle(i, pm);
      if (g == 40) length(i);
      if (g == 42 && !angular) length(i);  // the measurement
    }
    setNormal(pm);
  }

  void leader() {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) worldPoint(i);
      if (g == 211) direction(i);
      if (g == 212 || g == 213) worldVector(i);
      if (g == 40 || g == 41) length(i);
    }
    setNormal(pm);
  }

  void spline() {
    const PlaneMap pm = plane();
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10 || g == 11) worldPoint(i);
      if (g == 12 || g == 13) direction(i);
      if (g == 43 || g == 44) length(i);
    }
    setNormal(pm);
  }

  void ray() {
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      if (pairs_[i].group == 10) worldPoint(i);
      if (pairs_[i].group == 11) direction(i);
    }
  }

  void image() {
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) worldPoint(i);
      if (g == 11 || g == 12) worldVector(i);
    }
  }

  // A viewport's frame stays upright on its sheet and its view stays what
  // it shows: its centre goes where the map takes it, its size scales.
  void viewport() {
    for (std::size_t i = 0; i < pairs_.size(); ++i) {
      const int g = pairs_[i].group;
      if (g == 10) worldPoint(i);
      if (g == 40 || g == 41) length(i);
    }
  }

  void hatch();
  void mleader();

  const LineList& dxf_;
  const EditMap& map_;
  LineEdits& out_;
  std::string_view kind_;
  std::int32_t end_ = 0;
  std::vector<Pair>& pairs_;
  // The polyline whose vertices follow.
  bool polyline_ = false, polyline3d_ = false, polyface_ = false;
  PlaneMap polylinePlane_;
};

// A hatch: the elevation and extrusion of its plane, its boundary paths
// (polylines with bulges, or edges: lines, arcs, elliptic arcs and
// splines), its pattern lines, its seed points and its gradient's angle,
// all in its plane.
void Mapper::hatch() {
  const PlaneMap pm = plane();
  enum class Part { Header, Paths, Pattern, Seeds, Gradient } part = Part::Header;
  bool polylinePath = false;
  int edge = 0;            // 1 line, 2 arc, 3 elliptic arc, 4 spline
  int e50 = -1, e51 = -1, e73 = -1;  // the arc's angles and sense
  auto finishEdge = [&] {
    if (edge == 2 || edge == 3) {
      const bool ccw = e73 < 0 || pairs_[static_cast<std::size_t>(e73)].value != "0";
      const auto s = e50 >= 0 ? num(static_cast<std::size_t>(e50)) : std::nullopt;
      const auto e = e51 >= 0 ? num(static_cast<std::size_t>(e51)) : std::nullopt;
      if (s && e) {
        // Clockwise edges keep the angles of their ends as seen from below
        // (their complements); an elliptic edge's angles are measured from
        // its major axis, which turns with it.
        double shift = edge == 2 ? (ccw ? pm.turn : -pm.turn) : 0;
        if (pm.reflects) shift = edge == 2 ? (ccw ? -pm.turn : pm.turn) : 0;
        if (shift != 0) {
          const double s2 = pm.reflects ? Normalized(*s + shift) : *s + shift;
          set(static_cast<std::size_t>(e50), s2);
          set(static_cast<std::size_t>(e51), s2 + (*e - *s));
        }
        if (pm.reflects) {
          if (e73 >= 0)
            setText(static_cast<std::size_t>(e73), ccw ? "0" : "1");
          else
            add(pairs_[static_cast<std::size_t>(e51)].line + 1, {{73, 0}});
        }
      }
    }
    edge = 0, e50 = e51 = e73 = -1;
  };
  for (std::size_t i = 0; i < pairs_.size(); ++i) {
    const int g = pairs_[i].group;
    switch (g) {
      case 91:
        if (part == Part::Header) part = Part::Paths;
        continue;
      case 92:
        if (part == Part::Header || part == Part::Paths) {
          finishEdge();
          part = Part::Paths;
          polylinePath = (ParseInt(pairs_[i].value).value_or(0) & 2) != 0;
        }
        continue;
      case 41: case 43: case 44: case 45: case 46: case 47: case 49:
      case 52: case 53: case 75: case 76: case 77: case 78: case 79:
        if (part < Part::Pattern) finishEdge(), part = Part::Pattern;
        break;
      case 98:
        if (part < Part::Seeds) finishEdge(), part = Part::Seeds;
        continue;
      default:
        if (g >= 450 && g <= 470) part = Part::Gradient;
        break;
    }
    switch (part) {
      case Part::Header:
        if (g == 30) elevation(i, pm);
        break;
      case Part::Paths:
        if (polylinePath) {
          if (g == 10) planePoint(i, pm, false);
          if (g == 42) bulge(i);
          break;
        }
        if (g == 72) {
          finishEdge();
          edge = ParseInt(pairs_[i].value).value_or(0);
          break;
        }
        switch (edge) {
          case 1:
            if (g == 10 || g == 11) planePoint(i, pm, false);
            break;
          case 2:
          case 3:
            if (g == 10) planePoint(i, pm, false);
            if (g == 11 && edge == 3) planeVector(i, pm);
            if (g == 40 && edge == 2) length(i);
            if (g == 50) e50 = static_cast<int>(i);
            if (g == 51) e51 = static_cast<int>(i);
            if (g == 73) e73 = static_cast<int>(i);
            break;
          case 4:
            if (g == 10 || g == 11) planePoint(i, pm, false);
            if (g == 12 || g == 13) {
              triple(i, false, [&](Point3 v) {
                const Point3 w = pm.vector(v);
                return Point3{w.x / pm.factor, w.y / pm.factor, 0};
              });
            }
            break;
          default: break;
        }
        break;
      case Part::Pattern:
        if (g == 52 || g == 53) angle(i, pm);
        if (g == 41 || g == 47 || g == 49) length(i);
        // The base point of a pattern line (43, 44) and its offset to the
        // next (45, 46).
        if ((g == 43 || g == 45) && i + 1 < pairs_.size() && pairs_[i + 1].group == g + 1) {
          const auto x = num(i), y = num(i + 1);
          if (x && y) {
            const Point3 p = g == 43 ? pm.point({*x, *y, 0}) : pm.vector({*x, *y, 0});
            set(i, p.x);
            set(i + 1, p.y);
          }
        }
        break;
      case Part::Seeds:
        if (g == 10) planePoint(i, pm, false);
        break;
      case Part::Gradient:
        if (g == 460) radians(i, pm);
        break;
    }
  }
  finishEdge();
  setNormal(pm);
}

// A multileader: its leaders and their lines, its text or block and the
// plane it lies in. The groups mean different things in its context data,
// in a leader and in a leader line; braces say where each begins and ends.
void Mapper::mleader() {
  enum class Part { Main, Context, Leader, Line } part = Part::Main;
  // The plane of its text (group 11) or block (14), in the context data
  // before the leaders.
  Point3 n{0, 0, 1};
  for (std::size_t i = 0; i < pairs_.size() && pairs_[i].group != 302; ++i) {
    if (pairs_[i].group != 11 && pairs_[i].group != 14) continue;
    std::optional<std::size_t> y, z;
    extent(i, y, z);
    const auto x = num(i), yy = y ? num(*y) : std::nullopt, zz = z ? num(*z) : std::nullopt;
    if (x && yy && zz) n = {*x, *yy, *zz};
    break;
  }
  const PlaneMap pm = InPlane(map_, n);
  // A block's x scale and turn, as for a block reference.
  auto blockScale = [&](std::size_t i) {
    const double f = map_.factor, mx = pm.reflects ? -f : f, fz = map_.m.m[2][2];
    triple(i, true, [&](Point3 v) { return Point3{v.x * mx, v.y * f, v.z * fz}; });
  };
  auto blockTurn = [&](std::size_t i) {
    if (const auto v = num(i)) {
      const double turn = pm.turn * kPi / 180;
      set(i, pm.reflects ? Normalized(turn - *v + kPi, 2 * kPi) : *v + turn);
    }
  };
  for (std::size_t i = 0; i < pairs_.size(); ++i) {
    const int g = pairs_[i].group;
    const std::string_view v = pairs_[i].value;
    if (g == 300 && v == "CONTEXT_DATA{") {
      part = Part::Context;
      continue;
    }
    if (g == 301) {
      part = Part::Main;
      continue;
    }
    if (g == 302 && part == Part::Context) {
      part = Part::Leader;
      continue;
    }
    if (g == 303 && part == Part::Leader) {
      part = Part::Context;
      continue;
    }
    if (g == 304 && part == Part::Leader && v == "LEADER_LINE{") {
      part = Part::Line;
      continue;
    }
    if (g == 305 && part == Part::Line) {
      part = Part::Leader;
      continue;
    }
    switch (part) {
      case Part::Main:
        if (g == 41 || g == 42 || g == 45) length(i);
        if (g == 43) blockTurn(i);
        break;
      case Part::Context:
        if (g == 10 || g == 12 || g == 15 || g == 110) worldPoint(i);
        if (g == 11 || g == 13 || g == 14 || g == 111 || g == 112) direction(i);
        if (g == 40 || g == 41 || g == 43 || g == 44 || g == 140 || g == 142 || g == 143 || g == 144 || g == 145)
          length(i);
        if (g == 42) radians(i, pm);
        if (g == 46) blockTurn(i);
        if (g == 16) blockScale(i);
        if (g == 297 && pm.reflects) setText(i, v == "0" ? "1" : "0");
        break;
      case Part::Leader:
        if (g == 10 || g == 12 || g == 13) worldPoint(i);
        if (g == 11) direction(i);
        if (g == 40) length(i);
        break;
      case Part::Line:
        if (g == 10 || g == 11 || g == 12) worldPoint(i);
        break;
    }
  }
}

}  // namespace

void MapObject(const LineList& dxf, std::int32_t from, std::int32_t to, const EditMap& map, LineEdits& out) {
  // The pairs of one object after another, in one buffer.
  thread_local std::vector<Pair> pairs;
  Mapper(dxf, map, out, pairs).run(from, to);
}

}  // namespace vestrel
