// The arc tools: three points (start, middle, end or start, end, middle),
// or centre, start and end.
#include <cmath>

#include "geometry/arc3.h"
#include "tools/steps.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::ArcBtnClick() {
  Arm(ToolButton::ArcBtn, kArcStartMiddleEnd);
  tool.ellipsemode = 0;
}

void Editor::N3PunkteStartEndeMitte1Click() {
  Arm(ToolButton::ArcBtn, kArcStartEndMiddle);
  tool.ellipsemode = 0;
}

void Editor::MittelpunktStart1Click() {
  Arm(ToolButton::ArcBtn, kArcCentreStartEnd);
  tool.ellipsemode = 0;
}

void ArcFirstClick(Editor& e, const Click& c) {
  e.tool.inarc = true;
  ResetRubberBand(e.tool);
  FirstClick(e, c);
  e.Release();
}

void ArcClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    t.inarc = false;
    return e.removeall();
  }
  const Point2 p = PointStep(e, c);
  if (t.ellipsemode == 0) {
    t.linesx2 = p.x, t.linesy2 = p.y;
    ++t.ellipsemode;
    return;
  }
  e.Report(Write(e.doc, AddArc, t.arcmode, {t.linesx, t.linesy, 0}, {t.linesx2, t.linesy2, 0}, {p.x, p.y, 0}));
  t.inarc = false;
  ResetRubberBand(t);
  e.Repaint();
}

// The arc as the next click would make it, on the screen (angles measured
// there, with y pointing down).
void ArcPreview(Editor& e, const Move& m) {
  const ToolState& t = e.tool;
  const Point2 p1 = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{t.linesx, t.linesy}, m);
  if (t.ellipsemode == 0) return BandLine(e, p1, p);
  BandFrom(e, {t.linesx2, t.linesy2});
  const Point2 p2 = m.window.toScreen(t.linesx2, t.linesy2);
  double cx, cy, r, a1, a2;
  if (t.arcmode == kArcCentreStartEnd) {
    cx = p1.x, cy = p1.y;
    r = std::hypot(p2.x - p1.x, p2.y - p1.y);
    a1 = std::atan2(p2.y - p1.y, p2.x - p1.x);
    a2 = std::atan2(p.y - p1.y, p.x - p1.x);
    if (a2 > a1) a2 -= 2 * kPi;
    std::swap(a1, a2);  // from the pointer's direction to the start's
  } else {
    Arc3 arc;
    const bool found = t.arcmode == kArcStartEndMiddle ? ArcDurch3Punkte(p1.x, p1.y, p.x, p.y, p2.x, p2.y, arc)
                                                       : ArcDurch3Punkte(p1.x, p1.y, p2.x, p2.y, p.x, p.y, arc);
    if (!found) return;
    cx = arc.arcmx, cy = arc.arcmy, r = arc.arcradius;
    a1 = arc.arcwinkel1, a2 = arc.arcwinkel2;
    if (a2 <= a1) a2 += 2 * kPi;
  }
  std::vector<Point2> points;
  for (int i = 0; i <= 100; ++i) {
    const double a = a1 + (a2 - a1) * i / 100;
    points.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  BandPolyline(e, points);
}

}  // namespace vestrel
