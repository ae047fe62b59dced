// What every tool does with the pointer: the point a click gives, the
// first click, the rubber band's lines and its reset.
#include <cmath>

#include "tools/drafting.h"
#include "tools/snap.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

// Polar's guide: a dashed line on from the pixel `to`, where the band from
// the last fixed point (pixel `from`) ends, to beyond the drawing area.
// (Drawn over the band, the XOR would wipe the two out.)
void GuideLine(Editor& e, Point2 from, Point2 to) {
  const double dx = to.x - from.x, dy = to.y - from.y, length = std::hypot(dx, dy);
  if (!(length > 0)) return;
  const PixelSize area = e.platform.PaintBoxSize();
  const double far = 2.0 * (area.width + area.height) + std::abs(to.x) + std::abs(to.y);
  const Point2 u{dx / length, dy / length};
  e.AddRubberBand(WholePixels(to.x + 2 * u.x), WholePixels(to.y + 2 * u.y), WholePixels(to.x + u.x * far),
                  WholePixels(to.y + u.y * far), PenStyle::Dot);
}

// Where the pointer (x, y), in pixels of `window`, lands from the last
// fixed point `from`: on the point of the drawing that catches it, exactly;
// else where the grid, ortho (inverted while Shift is held) and polar put
// it; else aligned with `from`. Ctrl takes it as it is. The marker of a
// catch is drawn, and on a preview polar's guide line.
struct Landed {
  Point2 world, pixel;
  bool caught = false;  // by a point of the drawing
};
Landed Pointer(Editor& e, const ScreenTransform& window, std::optional<Point2> from, double x, double y,
               ShiftState shift, bool preview) {
  const Point2 reference = from ? window.toScreen(from->x, from->y) : Point2{x, y};
  const Point2 pointer{x, y};
  Point2 caught;
  if (SnapPoints(e, window, reference.x, reference.y, x, y, caught.x, caught.y, shift)) return {caught, {x, y}, true};
  const DraftAids& aids = e.tool.aids;
  const bool ortho = aids.ortho != shift.shift;
  const std::optional<Point2> placed =
      shift.ctrl ? std::nullopt : AidedPoint(aids, ortho, from, window.toWorld(pointer.x, pointer.y));
  if (!placed) return {window.toWorld(x, y), {x, y}};
  const Point2 pixel = window.toScreen(placed->x, placed->y);
  if (preview && from && !ortho && aids.polar) GuideLine(e, reference, pixel);
  return {*placed, pixel};
}

}  // namespace

Point2 PointStep(Editor& e, std::optional<Point2> from, const Click& c) {
  e.removeall();
  Point2 p = c.point;
  if (!c.typed) p = Pointer(e, c.window, from, c.x, c.y, c.shift, false).world;
  else if (c.relative && from) p = {from->x + c.relative->x, from->y + c.relative->y};
  e.tool.lastpoint = p;
  return p;
}

Point2 DropPoint(Editor& e, Point2 from, const Click& c) {
  double x = c.x, y = c.y;
  Point2 caught;
  if (SnapPoints(e, c.window, x, y, x, y, caught.x, caught.y, c.shift)) return caught;
  if (c.shift.ctrl) return c.point;
  const DraftAids& aids = e.tool.aids;
  return AidedPoint(aids, aids.ortho != c.shift.shift, from, c.point).value_or(c.point);
}

Point2 PointStep(Editor& e, const Click& c) { return PointStep(e, Point2{e.tool.linesx, e.tool.linesy}, c); }

void FirstClick(Editor& e, const Click& c) {
  const Point2 p = PointStep(e, std::nullopt, c);
  e.tool.linesx = p.x, e.tool.linesy = p.y;
}

void ResetRubberBand(ToolState& t) {
  t.anzrem = 0;
  t.remove.resize(100);
}

Point2 PreviewPoint(Editor& e, std::optional<Point2> from, const Move& m) {
  const Landed l = Pointer(e, m.window, from, m.x, m.y, m.shift, true);
  ToolState& t = e.tool;
  if (l.caught) {
    t.caught = l.world;
    if (t.activeSnaps() && t.snapped) t.caughtKind = t.snapped->kind;
  }
  t.band = {from.value_or(l.world), l.world};
  return {std::nearbyint(l.pixel.x), std::nearbyint(l.pixel.y)};
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
