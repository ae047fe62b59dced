#include "editing/grips.h"

#include <cmath>
#include <string>

#include "document/numbers.h"
#include "editing/editmap.h"
#include "editing/objectplane.h"
#include "geometry/placement.h"
#include "writers/insertcode.h"

namespace vestrel {

namespace {

constexpr double kDegrees = 180 / kPi;

// The shortest an ellipse's minor axis may be against its major axis, as
// other CAD programs read ellipses; shorter is no axis at all.
constexpr double kMinRatio = 1e-6;

// Whether axes `a` and `b` long make an ellipse.
bool EllipseAxes(double a, double b) {
  const double longer = std::max(a, b);
  return longer > 0 && std::isfinite(longer) && std::min(a, b) / longer >= kMinRatio;
}

struct GripEdit {
  Drawing& d;
  ChangeStep step;

  bool valid(std::int32_t line) const { return line > 0 && static_cast<std::size_t>(line) < d.dxf.size(); }
  void write(std::int32_t line, double value) {
    if (valid(line) && std::isfinite(value)) step.overwrite(line, FloatToDxf(value));
  }
  // The number at `line` plus `by`; a line that holds no number stays.
  void add(std::int32_t line, double by) {
    if (!valid(line)) return;
    if (const auto v = ParseDouble(d.value(line))) write(line, *v + by);
  }
};

// The minor-axis grip of ellipse `p` dragged `length` from its centre
// (EllipseAxes holds). Past the major axis the two swap: the axis dragged
// becomes the major one, turned a quarter from the old one about the
// extrusion, and the parameters of an elliptical arc go back a quarter
// turn, so that its ends stay where they are.
void EllipseMinorAxis(GripEdit& g, const tpoly& p, std::int32_t ratioLine, double length) {
  const double major = p.radius1;
  if (length <= major) return g.write(ratioLine, length / major);
  const Tmypoi axis = g.d.ps(p)[1];
  const auto value = [&](std::int32_t line, double otherwise) {
    const auto v = g.valid(line) ? ParseDouble(g.d.value(line)) : std::nullopt;
    return v ? *v : otherwise;
  };
  Point3 n{0, 0, 1};
  for (std::int32_t i = p.linefrom + 2; i + 1 <= p.linebis; i += 2) {
    const std::string_view code = g.d.value(i);
    if (code == "210") n.x = value(i + 1, n.x);
    if (code == "220") n.y = value(i + 1, n.y);
    if (code == "230") n.z = value(i + 1, n.z);
  }
  const Point3 z = ObjectCoordinates(n).linear({0, 0, 1});
  const Point3 m{value(axis.linex, 0), value(axis.liney, 0), value(axis.linez, 0)};
  const double k = length / major;  // the turned axis, as long as the drag
  g.write(axis.linex, (z.y * m.z - z.z * m.y) * k);
  g.write(axis.liney, (z.z * m.x - z.x * m.z) * k);
  g.write(axis.linez, (z.x * m.y - z.y * m.x) * k);
  g.write(ratioLine, major / length);
  const double start = value(p.winkel1linenr, 0), end = value(p.winkel2linenr, 2 * kPi);
  if (std::abs(start) < 1e-9 && std::abs(end - 2 * kPi) < 1e-9) return;  // the whole ellipse
  g.write(p.winkel1linenr, Normalized(start - kPi / 2, 2 * kPi));
  g.write(p.winkel2linenr, Normalized(end - kPi / 2, 2 * kPi));
}

void ViewportGrip(GripEdit& g, const tpoly& p, int grip, Point2 d) {
  ViewportValues v = ViewportValuesOf(g.d, static_cast<int>(&p - g.d.polys.data()));
  const auto pts = g.d.ps(p);
  if (grip >= 0 && grip <= 3) {
    // The corner dragged: lower left, lower right, upper right, upper left.
    const double sx[] = {-1, 1, 1, -1}, sy[] = {-1, -1, 1, 1};
    v.Breite += sx[grip] * d.x;
    v.Hoehe += sy[grip] * d.y;
    v.MitteX += d.x / 2;
    v.MitteY += d.y / 2;
    // A corner dragged past the opposite one would turn the frame inside
    // out: it stays as it was.
    if (!(v.Breite > 0 && v.Hoehe > 0)) return;
    g.write(pts[0].linex, v.MitteX);
    g.write(pts[1].linex, v.MitteY);
    g.write(pts[2].linex, v.Breite);
    g.write(pts[3].linex, v.Hoehe);
  } else if (grip == 5 && v.Hoehe != 0) {
    // The view follows the pan grip, model units for units on the sheet.
    g.write(pts[5].linex, v.InhaltX + d.x * v.HoeheInhalt / v.Hoehe);
    g.write(pts[5].liney, v.InhaltY + d.y * v.HoeheInhalt / v.Hoehe);
  } else if (grip == 6 && v.Hoehe != 0) {
    // Dragged away from the centre the zoom grip shows less of the model.
    const double u = d.x + pts[6].x - v.MitteX, w = d.y + pts[6].y - v.MitteY;
    const double ratio = std::hypot(u, w) / (v.Hoehe / 4);
    if (ratio > 0) g.write(pts[6].linex, v.HoeheInhalt / ratio);
  }
}

}  // namespace

ViewportValues ViewportValuesOf(const Drawing& d, int objnr) {
  ViewportValues v;
  if (objnr < 0 || static_cast<std::size_t>(objnr) >= d.polys.size()) return v;
  const tpoly& p = d.polys[static_cast<std::size_t>(objnr)];
  if (!p.isviewport()) return v;
  const ViewportData& vp = d.viewport(p);
  v.Breite = vp.widx, v.Hoehe = vp.widy;
  v.MitteX = p.cx, v.MitteY = p.cy;
  v.InhaltX = vp.panx, v.InhaltY = vp.pany;
  v.HoeheInhalt = vp.viewheight;
  return v;
}

EditResult MovePoint(DocumentContext& c, int objnr, int grip, Point2 d, Point2 at) {
  if (objnr >= 0 && static_cast<std::size_t>(objnr) < c.drawing.polys.size()) {
    const tpoly& p = c.drawing.polys[static_cast<std::size_t>(objnr)];
    if (!p.isviewport() && grip >= 0 && grip < p.anzp && c.drawing.ps(p)[static_cast<std::size_t>(grip)].mode == 2 &&
        !EllipseAxes(p.radius1, std::hypot(at.x - p.cx, at.y - p.cy)))
      return EditResult::ZeroAxis;
  }
  GripEdit g{c.drawing, ChangeStep(c.undos, c.drawing.dxf)};
  if (objnr >= 0 && static_cast<std::size_t>(objnr) < g.d.polys.size()) {
    const tpoly& p = g.d.polys[static_cast<std::size_t>(objnr)];
    if (p.isviewport()) {
      if (!p.issheet && p.anzp >= 8) ViewportGrip(g, p, grip, d);
    } else if (grip >= 0 && grip < p.anzp) {
      const Tmypoi q = g.d.ps(p)[static_cast<std::size_t>(grip)];
      const ObjectPlane plane = ObjectPlaneOf(g.d.dxf, p.linefrom, p.linebis);
      const Point2 fromCentre{at.x - p.cx, at.y - p.cy};
      Point2 o;
      switch (q.mode) {
        case 0:  // a point of the object: moved within its plane
          if (plane.toObject(d, o)) g.add(q.linex, o.x), g.add(q.liney, o.y);
          break;
        case 1: g.write(q.linex, std::hypot(fromCentre.x, fromCentre.y)); break;
        case 2: EllipseMinorAxis(g, p, q.linex, std::hypot(fromCentre.x, fromCentre.y)); break;
        case 3:  // the angle in the object's own plane
          if (plane.toObject(fromCentre, o)) g.write(q.linex, std::atan2(o.y, o.x) * kDegrees);
          break;
      }
    }
  }
  processdxf(g.d);
  SetChanged(c);
  return EditResult::Done;
}

void SetViewportValues(DocumentContext& c, int objnr, const ViewportValues& v) {
  GripEdit g{c.drawing, ChangeStep(c.undos, c.drawing.dxf)};
  if (objnr >= 0 && static_cast<std::size_t>(objnr) < g.d.polys.size()) {
    const tpoly& p = g.d.polys[static_cast<std::size_t>(objnr)];
    if (p.isviewport() && !p.issheet && p.anzp >= 8) {
      const auto pts = g.d.ps(p);
      g.write(pts[0].linex, v.MitteX);
      g.write(pts[1].linex, v.MitteY);
      g.write(pts[2].linex, v.Breite);
      g.write(pts[3].linex, v.Hoehe);
      g.write(pts[5].linex, v.InhaltX);
      g.write(pts[5].liney, v.InhaltY);
      g.write(pts[6].linex, v.HoeheInhalt);
    }
  }
  processdxf(g.d);
  SetChanged(c);
}

}  // namespace vestrel
