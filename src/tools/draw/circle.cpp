// The circle tools: centre and radius, centre and diameter, two points
// across, three points on it - and the regular polygon, placed like a
// circle by its centre and a corner.
#include <algorithm>
#include <cmath>

#include "geometry/arc3.h"
#include "tools/steps.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::CircleBtnClick() {
  Arm(ToolButton::CircleBtn, kCircleCentreRadius);
  tool.ellipsemode = 0;
}

void Editor::MittelpunktDurchmesser1Click() {
  Arm(ToolButton::CircleBtn, kCircleCentreDiameter);
  tool.ellipsemode = 0;
}

// Asks for the number of corners first; cancelled, nothing is armed.
void Editor::PolyGonClick() {
  if (platform.ShowPolygonDialog(dialogs.polygon) != DialogResult::Ok) return platform.ShowState();
  Arm(ToolButton::CircleBtn, kPolygon);
  tool.ellipsemode = 0;
}

void Editor::N2Punkte1Click() { Arm(ToolButton::CircleBtn, kCircleTwoPoints); }
void Editor::N3Punkte1Click() { Arm(ToolButton::CircleBtn, kCircleThreePoints); }

void CircleFirstClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  t.incircle = true;
  t.ellipsemode = 0;
  ResetRubberBand(t);
  FirstClick(e, c);
  e.Release();
}

void CircleClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    t.incircle = false;
    return e.removeall();
  }
  const Point2 p = PointStep(e, c);
  const Point3 first{t.linesx, t.linesy, 0}, at{p.x, p.y, 0};
  if (t.arcmode == kCircleThreePoints && t.ellipsemode == 0) {
    t.linesx2 = p.x, t.linesy2 = p.y;
    ++t.ellipsemode;
    return;
  }
  switch (t.arcmode) {
    case kCircleThreePoints: e.Report(Write(e.doc, AddCircleDurch3Punkte, first, {t.linesx2, t.linesy2, 0}, at)); break;
    case kCircleTwoPoints:
      e.Report(Write(e.doc, AddCircle, t.arcmode, {(first.x + at.x) / 2, (first.y + at.y) / 2, 0}, at));
      break;
    case kPolygon: e.Report(Write(e.doc, AddPolyGon, first, at, e.dialogs.polygon.EckenEd)); break;
    default: e.Report(Write(e.doc, AddCircle, t.arcmode, first, at)); break;
  }
  ResetRubberBand(t);
  t.incircle = false;
  e.Repaint();
}

void CirclePreview(Editor& e, const Move& m) {
  const ToolState& t = e.tool;
  Point2 centre = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{t.linesx, t.linesy}, m);
  // A closed outline of `n` chords round `centre`.
  auto outline = [&](Point2 centre, double r, int n, double a0) {
    std::vector<Point2> points;
    for (int k = 0; k <= n; ++k) {
      const double a = a0 + 2 * kPi * k / n;
      points.push_back({std::nearbyint(centre.x + r * std::sin(a)), std::nearbyint(centre.y + r * std::cos(a))});
    }
    BandPolyline(e, points);
  };
  if (t.arcmode == kCircleThreePoints) {
    BandLine(e, centre, p);
    if (t.ellipsemode == 0) return;
    BandFrom(e, {t.linesx2, t.linesy2});
    const Point2 p2 = m.window.toScreen(t.linesx2, t.linesy2);
    Arc3 arc;
    if (ArcDurch3Punkte(centre.x, centre.y, p2.x, p2.y, p.x, p.y, arc))
      outline({arc.arcmx, arc.arcmy}, arc.arcradius, 100, 0);
    return;
  }
  if (t.arcmode == kCircleTwoPoints) centre = {(centre.x + p.x) / 2, (centre.y + p.y) / 2};
  double r = std::hypot(centre.x - p.x, centre.y - p.y);
  if (t.arcmode == kCircleCentreDiameter) r /= 2;
  BandLine(e, centre, p);
  // A polygon's first corner lies where the pointer is.
  if (t.arcmode == kPolygon)
    outline(centre, r, std::clamp(e.dialogs.polygon.EckenEd, 3, 1000), -std::atan2(centre.y - p.y, centre.x - p.x));
  else
    outline(centre, r, 100, 0);
}

}  // namespace vestrel
