// The drawing area's mouse events, dispatched to the step of the tool that
// runs: the first entry of each table whose mode is on takes the event.
#include "document/numbers.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

struct PressStep {
  bool (*running)(const Editor&);
  void (*step)(Editor&, const Click&);
};
const PressStep kPress[] = {
    {[](const Editor& e) { return e.tool.inzoom; }, ZoomClick},
    {[](const Editor& e) { return e.tool.inhand; }, HandClick},
    {[](const Editor& e) { return e.tool.inmassselect; }, MassSelectClick},
    // Last: nothing runs and no tool is armed.
    {[](const Editor& e) { return e.tool.down == ToolButton::None; }, SelectClick},
};

struct DragStep {
  bool (*running)(const Editor&);
  void (*step)(Editor&, int x, int y);
};
const DragStep kDrag[] = {
    {[](const Editor& e) { return e.view.inzoomit; }, ZoomDrag},
    {[](const Editor& e) { return e.view.inpan; }, PanDrag},
    {[](const Editor& e) { return e.tool.inmassselect; }, MassSelectBand},
};

struct ReleaseStep {
  bool (*running)(const Editor&);
  void (*step)(Editor&);
};
const ReleaseStep kRelease[] = {
    {[](const Editor& e) { return e.tool.inzoom; }, ZoomRelease},
    {[](const Editor& e) { return e.tool.inhand; }, HandRelease},
    {[](const Editor& e) { return e.tool.inmove || e.tool.inmovepoint; }, DragEnd},
};

}  // namespace

void Editor::PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  const Click c{button, shift, x, y};
  for (const PressStep& s : kPress)
    if (s.running(*this)) return s.step(*this, c);
}

void Editor::PaintBox1MouseMove(ShiftState, int x, int y) {
  tool.lastmousex = x;
  tool.lastmousey = y;
  const Point2 w = Bildschirm2DXF(views, x, y);
  platform.SetStatusText(FormatFixed(w.x, 4) + ", " + FormatFixed(w.y, 4));
  for (const DragStep& s : kDrag)
    if (s.running(*this)) return s.step(*this, x, y);
}

void Editor::PaintBox1MouseUp(MouseButton, ShiftState, int, int) {
  for (const ReleaseStep& s : kRelease)
    if (s.running(*this)) return s.step(*this);
}

}  // namespace vestrel
