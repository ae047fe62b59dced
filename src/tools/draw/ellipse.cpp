// The ellipse tools: by the ends of an axis or by centre and axis end, then
// the other axis; an elliptical arc takes two more clicks for its start and
// end.
#include <cmath>

#include "i18n/msg.h"
#include "tools/steps.h"
#include "writers/entitywriters.h"

namespace vestrel {

namespace {

bool IsArc(int arcmode) { return arcmode == kEllipseArcAxes || arcmode == kEllipseArcCentre; }

}  // namespace

namespace {

// What runs ends first; then a drawing too old for ellipses is told so.
void ArmEllipse(Editor& e, int arcmode) {
  e.SetAlltoFalse();
  if (e.drawing.cadver < 1010) {
    e.platform.ShowMessage(msg::NoEllipses, "", MsgIcon::Error);
    return e.platform.ShowState();
  }
  e.Arm(ToolButton::EllipseBtn, arcmode);
  e.tool.ellipsemode = 0;
}

}  // namespace

void Editor::EllipseBtnClick() { ArmEllipse(*this, kEllipseAxes); }
void Editor::Mittelpunkt1Click() { ArmEllipse(*this, kEllipseCentre); }
void Editor::Ellipsenbogen1Click() { ArmEllipse(*this, kEllipseArcAxes); }
void Editor::EllipsenbogenMittelpunkt1Click() { ArmEllipse(*this, kEllipseArcCentre); }

void EllipseFirstClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  t.inellipse = true;
  t.ellipsemode = 0;
  ResetRubberBand(t);
  FirstClick(e, c);
  e.Release();
}

void EllipseClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    t.inellipse = false;
    return e.removeall();
  }
  const Point2 p = PointStep(e, c);
  const Point3 p1{t.linesx, t.linesy, 0}, p2{t.linesx2, t.linesy2, 0};
  if (t.ellipsemode == 0) {
    t.linesx2 = p.x, t.linesy2 = p.y, t.ellipsemode = 1;
    return;
  }
  if (!IsArc(t.arcmode)) {
    e.Report(Write(e.doc, AddEllipse, t.arcmode, p1, p2, {p.x, p.y, 0}, 0, 0));
  } else if (t.ellipsemode == 1) {
    t.linesx3 = p.x, t.linesy3 = p.y, t.ellipsemode = 2;
    return;
  } else if (t.ellipsemode == 2) {
    t.linesx4 = p.x, t.linesy4 = p.y, t.ellipsemode = 3;
    return;
  } else {
    // The angles are those the rubber band showed.
    e.Report(Write(e.doc, AddEllipse, t.arcmode, p1, p2, {t.linesx3, t.linesy3, 0}, t.ellipsewinkel1, t.ellipsewinkel2));
  }
  t.inellipse = false;
  ResetRubberBand(t);
  e.Repaint();
}

// The ellipse, on the screen: the axis, then the other semi-axis by its
// distance from the centre, then the start and the end of an arc, each
// the polar angle of the pointer in the axis frame.
void EllipsePreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  const Point2 p1 = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 pointer{static_cast<double>(m.x), static_cast<double>(m.y)};
  const Point2 p = t.ellipsemode < 2 ? PreviewPoint(e, Point2{t.linesx, t.linesy}, m) : pointer;
  if (t.ellipsemode == 0) return BandLine(e, p1, p);
  BandFrom(e, {t.linesx2, t.linesy2});
  const Point2 p2 = m.window.toScreen(t.linesx2, t.linesy2);
  const bool byCentre = t.arcmode == kEllipseCentre || t.arcmode == kEllipseArcCentre;
  const Point2 o = byCentre ? p1 : Point2{(p1.x + p2.x) / 2, (p1.y + p2.y) / 2};
  BandLine(e, p1, p2);
  const Point2 shape = t.ellipsemode >= 2 ? m.window.toScreen(t.linesx3, t.linesy3) : p;
  const double a = std::hypot(p2.x - o.x, p2.y - o.y), b = std::hypot(shape.x - o.x, shape.y - o.y);
  const double phi = std::atan2(p2.y - o.y, p2.x - o.x);
  // The polar angle of a screen point in the axis frame.
  auto angle = [&](Point2 q) {
    const double dx = q.x - o.x, dy = q.y - o.y;
    const double u = std::nearbyint(dx * std::cos(-phi) - dy * std::sin(-phi));
    const double v = std::nearbyint(dx * std::sin(-phi) + dy * std::cos(-phi));
    return std::atan2(v, u);
  };
  double s = 0, end = 2 * kPi;
  if (t.ellipsemode == 2) {
    s = angle(pointer);
    end = s < 0 ? -2 * kPi : 0;
  } else if (t.ellipsemode == 3) {
    s = angle(m.window.toScreen(t.linesx4, t.linesy4));
    end = angle(pointer);
    // In the drawing's orientation (y up) for the writer.
    t.ellipsewinkel1 = -s < 0 ? -s + 2 * kPi : -s;
    t.ellipsewinkel2 = -end < 0 ? -end + 2 * kPi : -end;
    if (s < end) end -= 2 * kPi;
  }
  std::vector<Point2> points;
  for (int i = 0; i <= 100; ++i) {
    const double u = s + (end - s) * i / 100;
    const double x = a * std::cos(u), y = b * std::sin(u);
    points.push_back({o.x + x * std::cos(phi) - y * std::sin(phi), o.y + x * std::sin(phi) + y * std::cos(phi)});
  }
  BandPolyline(e, points);
}

}  // namespace vestrel
