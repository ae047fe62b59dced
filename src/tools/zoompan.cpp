// The zoom tool ("Vergrößern/Verkleinern": drag up to zoom in, down to
// zoom out) and the pan tool ("Verschieben": the drawing follows the
// pointer). Both stay armed until the right button or another tool ends
// them.
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
  e.view.inzoomit = true;
  e.view.pansy = c.y;
  e.view.pansy2 = e.view.zoomedvalue;
}

void HandClick(Editor& e, const Click& c) {
  if (RightEnds(e, c, e.tool.inhand)) return;
  e.view.inpan = true;
  e.view.pansx = c.x;
  e.view.pansy = c.y;
  e.view.pansx0 = e.view.HorzScrollbarPosition;
  e.view.pansy0 = e.view.VertScrollbarPosition;
}

void ZoomDrag(Editor& e, int x, int y) {
  DragZoom(e.views, x, y);
  e.Repaint();
}

void PanDrag(Editor& e, int x, int y) {
  Pan(e.views, x, y);
  e.Repaint();
}

void ZoomRelease(Editor& e, const Click&) { e.view.inzoomit = false; }
void HandRelease(Editor& e, const Click&) { e.view.inpan = false; }

}  // namespace vestrel
