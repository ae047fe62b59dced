// The drawing area's mouse events, dispatched to the step of the tool that
// runs: the first mode of the tool table that is on and has the step takes
// the event.
#include "document/numbers.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

// The drags of the zoom and pan tools, while their button is held.
struct ViewDrag {
  bool ViewState::*dragging;
  void (*step)(Editor&, int x, int y);
};
constexpr ViewDrag kViewDrags[] = {{&ViewState::inzoomit, ZoomDrag}, {&ViewState::inpan, PanDrag}};

// A press or release at the pixel (x, y), the pointer at (px, py), with
// the drawing area's transform as the view stands now.
Click ClickAt(const Editor& e, MouseButton button, ShiftState shift, int x, int y, double px, double py) {
  return {button, shift, x, y, px, py, WindowTransform(e.views)};
}

}  // namespace

void Editor::PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  // The middle button acts as the left in every tool; with nothing armed it
  // selects nothing.
  if (button == MouseButton::Middle && tool.down != ToolButton::None) button = MouseButton::Left;
  const bool typed = tool.useexact;
  const Click c = ClickAt(*this, button, shift, x, y, typed ? tool.exactx : x, typed ? tool.exacty : y);
  for (const Mode& m : Modes())
    if (m.click && tool.*m.on && (!m.rightOnly || c.right())) return m.click(*this, c);
  // Nothing runs: the armed tool's first click, or a selection.
  if (tool.down == ToolButton::None) return SelectClick(*this, c);
  for (const Tool& t : Tools())
    if (t.down == tool.down) return t.first(*this, c);
}

void Editor::PaintBox1MouseMove(ShiftState shift, int x, int y) {
  tool.lastmousex = x;
  tool.lastmousey = y;
  const Point2 w = Bildschirm2DXF(views, x, y);
  platform.SetStatusText(FormatFixed(w.x, 4) + ", " + FormatFixed(w.y, 4));
  for (const ViewDrag& d : kViewDrags)
    if (view.*d.dragging) return d.step(*this, x, y);
  for (const Mode& m : Modes())
    if (m.drag && tool.*m.on) return m.drag(*this, x, y);
  const Move move{shift, x, y};
  for (const Mode& m : Modes())
    if (m.preview && tool.*m.on) return m.preview(*this, move);
  // An armed tool shows what its first click would catch.
  if (tool.down != ToolButton::None) {
    removeall();
    PreviewPoint(*this, {static_cast<double>(x), static_cast<double>(y)}, move);
  }
}

void Editor::PaintBox1MouseUp(MouseButton button, ShiftState shift, int x, int y) {
  const Click c = ClickAt(*this, button, shift, x, y, x, y);
  for (const Mode& m : Modes())
    if (m.release && tool.*m.on) return m.release(*this, c);
}

}  // namespace vestrel
