// What every tool does with the pointer: the point a click gives, the
// first click, the rubber band's lines and its reset.
#include <cmath>

#include "tools/snap.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

// The pointer aligned with and caught by what lies near it; false when no
// point of the drawing caught it (x, y then hold the aligned pointer).
bool Snap(Editor& e, const ScreenTransform& window, Point2 reference, double& x, double& y, Point2& caught,
          ShiftState shift) {
  return SnapPoints(e, window, reference.x, reference.y, x, y, caught.x, caught.y, shift);
}

}  // namespace

Point2 PointStep(Editor& e, Point2 reference, const Click& c) {
  e.removeall();
  if (c.typed) return c.point;
  double x = c.x, y = c.y;
  Point2 caught;
  if (Snap(e, c.window, reference, x, y, caught, c.shift)) return caught;
  return c.window.toWorld(x, y);
}

Point2 PointStep(Editor& e, const Click& c) { return PointStep(e, c.window.toScreen(e.tool.linesx, e.tool.linesy), c); }

void FirstClick(Editor& e, const Click& c) {
  const Point2 p = PointStep(e, c.pixel(), c);
  e.tool.linesx = p.x, e.tool.linesy = p.y;
}

void ResetRubberBand(ToolState& t) {
  t.anzrem = 0;
  t.remove.resize(100);
}

Point2 PreviewPoint(Editor& e, Point2 reference, const Move& m) {
  double x = m.x, y = m.y;
  Point2 caught;
  ToolState& t = e.tool;
  const bool snapped = Snap(e, m.window, reference, x, y, caught, m.shift);
  if (snapped) {
    t.caught = caught;
    if (t.activeSnaps() && t.snapped) t.caughtKind = t.snapped->kind;
  }
  t.band = {m.window.toWorld(reference.x, reference.y), snapped ? caught : m.window.toWorld(x, y)};
  return {std::nearbyint(x), std::nearbyint(y)};
}

void BandFrom(Editor& e, Point2 fixed) {
  if (e.tool.band) e.tool.band->first = fixed;
}

void BandLine(Editor& e, Point2 a, Point2 b) {
  e.AddRubberBand(WholePixels(a.x), WholePixels(a.y), WholePixels(b.x), WholePixels(b.y));
}

void BandPolyline(Editor& e, const std::vector<Point2>& points) {
  for (std::size_t i = 1; i < points.size(); ++i) BandLine(e, points[i - 1], points[i]);
}

}  // namespace vestrel
