// The zoom tool ("Vergrößern/Verkleinern": drag up to zoom in, down to
// zoom out) and the pan tool ("Verschieben": the drawing follows the
// pointer). Both stay armed until the right button or another tool ends
// them. "Zoom Fenster" zooms to a window once; "Vorherige Ansicht" goes
// back through the views each tab showed before.
#include <cmath>

#include "tools/steps.h"

namespace vestrel {

void Editor::ZoomBtnClick() {
  SetAlltoFalse();
  tool.inzoom = true;
  platform.SetCursor(Cursor::Magnifier);
}

void Editor::HandBtnClick() {
  SetAlltoFalse();
  tool.inhand = true;
  platform.SetCursor(Cursor::Hand);
}

void Editor::ZoomFenster1Click() {
  SetAlltoFalse();
  tool.inzoomwindow = true;
  tool.ellipsemode = 0;
  ResetRubberBand(tool);
  platform.SetCursor(Cursor::Magnifier);
  platform.ShowState();
}

void Editor::ZoomVorher1Click() {
  removeall();
  if (PreviousView(views)) Repaint();
}

namespace {

// The right button ends the tool; false for any other.
bool RightEnds(Editor& e, const Click& c, bool& armed) {
  if (c.button != MouseButton::Right) return false;
  armed = false;
  e.platform.SetCursor(Cursor::CrossHair);
  return true;
}

}  // namespace

void ZoomClick(Editor& e, const Click& c) {
  if (RightEnds(e, c, e.tool.inzoom)) return;
  RememberView(e.views);
  e.view.inzoomit = true;
  e.view.pansy = c.y;
  e.view.pansy2 = e.view.zoomedvalue;
}

void HandClick(Editor& e, const Click& c) {
  if (RightEnds(e, c, e.tool.inhand)) return;
  RememberView(e.views);
  e.view.inpan = true;
  e.view.pansx = c.x;
  e.view.pansy = c.y;
  e.view.pansx0 = e.view.HorzScrollbarPosition;
  e.view.pansy0 = e.view.VertScrollbarPosition;
}

void ZoomDrag(Editor& e, int x, int y) {
  DragZoom(e.views, x, y);
  e.RepaintView();
}

void PanDrag(Editor& e, int x, int y) {
  Pan(e.views, x, y);
  e.RepaintView();
}

void ZoomRelease(Editor& e, const Click&) { e.view.inzoomit = false; }
void HandRelease(Editor& e, const Click&) { e.view.inpan = false; }

namespace {

// Zooms to the window from the first corner to `c` and ends the tool.
void ZoomToWindow(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  e.removeall();
  t.inzoomwindow = false;
  t.ellipsemode = 0;
  e.platform.SetCursor(Cursor::CrossHair);
  RememberView(e.views);
  ZoomWindow(e.views, {t.linesx, t.linesy}, c.point);
  e.Repaint();
}

}  // namespace

void ZoomWindowClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (RightEnds(e, c, t.inzoomwindow)) return e.removeall(), e.platform.ShowState();
  if (t.ellipsemode == 1) return ZoomToWindow(e, c);
  e.removeall();
  t.linesx = c.point.x, t.linesy = c.point.y;
  t.ellipsemode = 1;
}

void ZoomWindowPreview(Editor& e, const Move& m) {
  const ToolState& t = e.tool;
  e.removeall();
  if (t.ellipsemode != 1) return;
  const Point2 a = m.window.toScreen(t.linesx, t.linesy);
  const double x = m.x, y = m.y;
  BandPolyline(e, {a, {x, a.y}, {x, y}, {a.x, y}, a});
}

void ZoomWindowRelease(Editor& e, const Click& c) {
  const ToolState& t = e.tool;
  // A release near the press leaves the second corner to the next click.
  constexpr double kDrag = 3;
  const Point2 first = c.window.toScreen(t.linesx, t.linesy);
  if (t.ellipsemode == 1 && (std::abs(c.x - first.x) > kDrag || std::abs(c.y - first.y) > kDrag)) ZoomToWindow(e, c);
}

int ZoomWindowStep(const ToolState& t) { return t.ellipsemode; }

}  // namespace vestrel
