// The rectangle: two opposite corners, written as a closed polyline.
#include "tools/steps.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::RectangleBtnClick() { Arm(ToolButton::RectangleBtn, tool.arcmode); }

void RectangleFirstClick(Editor& e, const Click& c) {
  e.tool.inrec = true;
  ResetRubberBand(e.tool);
  FirstClick(e, c);
  e.Release();
}

void RectangleClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    t.inrec = false;
    return e.removeall();
  }
  const Point2 p = PointStep(e, c);
  t.polyline0 = {{t.linesx, t.linesy, 0, 0}, {p.x, t.linesy, 0, 0}, {p.x, p.y, 0, 0}, {t.linesx, p.y, 0, 0}};
  e.Report(Write(e.doc, AddPolyLine, t.polyline0, true));
  ResetRubberBand(t);
  t.inrec = false;
  e.Repaint();
}

void RectanglePreview(Editor& e, const Move& m) {
  const Point2 c = m.window.toScreen(e.tool.linesx, e.tool.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{e.tool.linesx, e.tool.linesy}, m);
  BandPolyline(e, {c, {p.x, c.y}, p, {c.x, p.y}, c});
}

}  // namespace vestrel
