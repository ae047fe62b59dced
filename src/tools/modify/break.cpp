// "Brechen": a click picks an object and gives the first point, the
// second point (snapped like any) ends the part that goes; the right
// button, or the first point again (typed @0,0), breaks at the first
// alone. Each break is one undo step; the tool stays on for the next
// object until Escape or the right button.
#include <vector>

#include "editing/breaking.h"
#include "tools/modify/picking.h"
#include "tools/select.h"

namespace vestrel {

namespace {

void Broken(Editor& e, std::optional<Point2> second) {
  ToolState& t = e.tool;
  const ReshapeResult r = BreakObject(e.doc, t.breakobject, {t.linesx, t.linesy}, second);
  t.ellipsemode = 0;
  t.breakobject = -1;
  e.removeall();
  ResetRubberBand(t);
  ReportReshape(e, r, msg::CannotBreak);
  e.platform.ShowState();
}

}  // namespace

void Editor::BreakBtnClick() {
  EndTools(*this);
  tool.inbreak = true;
  tool.ellipsemode = 0;
  tool.breakobject = -1;
  platform.SetCursor(Cursor::CrossHair);
  platform.ShowState();
}

int BreakStep(const ToolState& t) { return t.ellipsemode; }

void BreakClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    if (t.ellipsemode == 1) return Broken(e, std::nullopt);
    StopPoints(e, &ToolState::inbreak);
    return e.platform.ShowState();
  }
  if (t.ellipsemode == 0) {
    const std::int32_t entry = ObjectAt(e, c.window, c.x, c.y);
    if (entry < 0) return;  // nothing there: the tool waits for an object
    const Point2 p = PointStep(e, std::nullopt, c);
    t.breakobject = entry;
    t.linesx = p.x, t.linesy = p.y;
    t.ellipsemode = 1;
    ResetRubberBand(t);
    return e.platform.ShowState();
  }
  Broken(e, PointStep(e, c));
}

void BreakPreview(Editor& e, const Move& m) {
  ToolState& t = e.tool;
  e.removeall();
  if (t.ellipsemode == 0) {
    PreviewPoint(e, std::nullopt, m);
    t.band.reset();  // no point is fixed yet
    return;
  }
  // The part that would go, from the first point to where the pointer
  // lands.
  const Point2 from{t.linesx, t.linesy};
  PreviewPoint(e, from, m);
  if (!t.band) return;
  std::vector<Point2> band;
  for (const Point2 p : BreakGhost(e.drawing, t.breakobject, from, t.band->second))
    band.push_back(m.window.toScreen(p.x, p.y));
  if (band.size() > 1) BandPolyline(e, band);
}

}  // namespace vestrel
