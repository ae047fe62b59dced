// The ghost of the selection while an editing tool waits for its second
// point, and while the selection or one of its grips is dragged: each
// selected object as the pointer would move, turn, mirror or scale it,
// stroked as one path of its own.
#include <cmath>

#include "document/tabscope.h"
#include "tools/steps.h"
#include "view/transform.h"

namespace vestrel {

void EditPreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  const bool drag = t.inmove || t.inmovepoint;
  if (t.ellipsemode == 0 && !drag) return;  // no base point yet
  const Point2 b = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{t.linesx, t.linesy}, m);
  BandLine(e, b, p);
  const Point2 w = m.window.toWorld(p.x, p.y);
  t.linesx2 = w.x, t.linesy2 = w.y;

  // The map of the screen about b: a turn or a mirror by the pointer's
  // angle, or a scale by its distance in drawing units; copies, moves and
  // drags move the points by the way instead.
  const bool moves = drag || t.incopyline || t.inmoveline;
  const double dx = moves ? w.x - t.linesx : 0, dy = moves ? w.y - t.linesy : 0;
  const double theta = std::atan2(p.y - b.y, p.x - b.x);
  double a = 1, bb = 0, c = 0, d = 1;
  if (t.inrotateline) {
    a = d = std::cos(theta), c = std::sin(theta), bb = -c;
  } else if (t.inmirrorline) {
    a = std::cos(2 * theta), bb = c = std::sin(2 * theta), d = -a;
  } else if (t.inscaleline) {
    a = d = std::hypot(t.linesx2 - t.linesx, t.linesy2 - t.linesy);
  }
  const ScreenTransform& screen = m.window;
  auto at = [&](const Tmypoi& q, bool moved) {
    const Point2 s = moved ? screen.toScreen(q.x + dx, q.y + dy, q.z) : screen.toScreen(q.x, q.y, q.z);
    const double ux = s.x - b.x, uy = s.y - b.y;
    return Point2{std::nearbyint(b.x + a * ux + bb * uy), std::nearbyint(b.y + c * ux + d * uy)};
  };

  const Drawing& dr = e.drawing;
  const TabScope scope = TabScope::OfTab(dr, e.view.tab);
  for (std::int32_t i = dr.anzpoly() - 1; i >= 0; --i) {
    const tpoly& o = dr.polys[static_cast<std::size_t>(i)];
    if (!scope.edits(o)) continue;
    const auto pts = dr.ps(o);
    bool started = false, joined = false;
    Point2 first, last;
    for (std::size_t j = 0; j < pts.size(); ++j) {
      const Tmypoi& q = pts[j];
      if (q.donotdraw) continue;
      // A grip drag moves only the grabbed point.
      const bool moved = !t.inmovepoint || (i == t.moveobjnr && static_cast<int>(j) == t.movepointnr);
      const Point2 s = at(q, moved);
      if (!started) {
        first = last = s, started = true;
        continue;
      }
      if (!q.moveonly && (s.x != last.x || s.y != last.y)) {
        e.AddRubberBand(WholePixels(last.x), WholePixels(last.y), WholePixels(s.x), WholePixels(s.y), PenStyle::Solid,
                        joined);
        joined = true;
      }
      last = s;
    }
    if (started && o.isclosed && (first.x != last.x || first.y != last.y))
      e.AddRubberBand(WholePixels(last.x), WholePixels(last.y), WholePixels(first.x), WholePixels(first.y),
                      PenStyle::Solid, joined);
  }
}

}  // namespace vestrel
