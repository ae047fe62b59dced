// The edit map of hatches: the meaning of a group depends on where it
// stands, in a boundary path, an edge, the pattern, the seed points or the
// gradient.
#include "editing/mapper.h"

namespace vestrel::objectmap {

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
      case Part::Header: apply(grammar_->meaning(g), i, plane_.planar, pm); break;
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

}  // namespace vestrel::objectmap
