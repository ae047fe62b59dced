// The drawing area's mouse events, dispatched to the step of the tool that
// runs: the first mode of the tool table that is on and has the step takes
// the event; and the typed point, clicked as a press of the left button.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "document/numbers.h"
#include "i18n/msg.h"
#include "tools/drafting.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

// The drags of the zoom and pan tools, while their button is held.
struct ViewDrag {
  bool ViewState::*dragging;
  void (*step)(Editor&, int x, int y);
};
constexpr ViewDrag kViewDrags[] = {{&ViewState::inzoomit, ZoomDrag}, {&ViewState::inpan, PanDrag}};

// A press or release of the mouse at the pixel (x, y), with the drawing
// area's transform as the view stands now.
Click ClickAt(const Editor& e, MouseButton button, ShiftState shift, int x, int y) {
  const ScreenTransform window = WindowTransform(e.views);
  return {button, shift, x, y, window, window.toWorld(x, y), false, {}};
}

// A press, of the mouse or typed: the first mode of the table that is on
// and takes it, else the armed tool's first click, else a selection.
void Press(Editor& e, const Click& c) {
  const ToolState& tool = e.tool;
  for (const Mode& m : Modes())
    if (m.click && tool.*m.on && (!m.rightOnly || c.right())) return m.click(e, c);
  if (tool.down == ToolButton::None) return SelectClick(e, c);
  for (const Tool& t : Tools())
    if (t.down == tool.down) return t.first(e, c);
}

// A typed point clicked: a left click on the pixel nearest to it, which
// gives the typed point itself.
void PressTyped(Editor& e, Point2 at, std::optional<Point2> relative = std::nullopt) {
  const ScreenTransform window = WindowTransform(e.views);
  const Point2 s = window.toScreen(at.x, at.y);
  Press(e, {MouseButton::Left, {}, WholePixels(s.x), WholePixels(s.y), window, at, true, relative});
}

}  // namespace

void Editor::PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  // The middle button waits: dragged, it pans; let go, it clicks.
  if (button == MouseButton::Middle) {
    tool.middle = ToolState::MiddlePress{x, y, shift};
    return;
  }
  Press(*this, ClickAt(*this, button, shift, x, y));
}

void Editor::BenutzenBtnClick(double x, double y) { PressTyped(*this, {x, y}); }

bool Editor::KoordEdReturn(std::string_view text) {
  // Return on an empty field ends the picking of edges, as in the drawing.
  if ((tool.intrimselect || tool.inextendselect) && Trim(text).empty()) {
    EdgesPicked(*this);
    return true;
  }
  const PointEntry entry = ParsePointEntry(text);
  int error = entry.error;
  Point2 at = entry.value;
  if (error == 0 && entry.relative) {
    if (!tool.lastpoint) error = msg::NoLastPoint;
    else at = {tool.lastpoint->x + at.x, tool.lastpoint->y + at.y};
  }
  if (error == 0 && !(std::abs(at.x) <= kMostTyped && std::abs(at.y) <= kMostTyped)) error = msg::EntryTooFar;
  if (error != 0) {
    platform.SetStatusText(platform.Message(error));
    return false;
  }
  // The point, as the pointer's is shown, in place of a message before.
  platform.SetStatusText(FormatFixed(at.x, 4) + ", " + FormatFixed(at.y, 4));
  PressTyped(*this, at, entry.relative ? std::optional<Point2>(entry.value) : std::nullopt);
  return true;
}

void Editor::PaintBox1MouseMove(ShiftState shift, int x, int y) {
  tool.lastmousex = x;
  tool.lastmousey = y;
  tool.caught.reset(), tool.caughtKind.reset(), tool.band.reset();
  const ScreenTransform window = WindowTransform(views);
  const Point2 w = window.toWorld(x, y);
  platform.SetStatusText(FormatFixed(w.x, 4) + ", " + FormatFixed(w.y, 4));
  if (tool.middle) {
    ToolState::MiddlePress& m = *tool.middle;
    constexpr int kDrag = 3;
    if (!m.panning && std::max(std::abs(x - m.x), std::abs(y - m.y)) > kDrag) {
      // The view follows the pointer from where the button went down; the
      // tool keeps its points, and its rubber band comes back after.
      m.panning = true;
      removeall();
      RememberView(views);
      view.pansx = m.x, view.pansy = m.y;
      view.pansx0 = view.HorzScrollbarPosition, view.pansy0 = view.VertScrollbarPosition;
    }
    if (m.panning) return PanDrag(*this, x, y);
  }
  for (const ViewDrag& d : kViewDrags)
    if (view.*d.dragging) return d.step(*this, x, y);
  for (const Mode& m : Modes())
    if (m.drag && tool.*m.on) return m.drag(*this, x, y);
  const Move move{shift, x, y, window};
  for (const Mode& m : Modes())
    if (m.preview && tool.*m.on) return m.preview(*this, move);
  // An armed tool shows what its first click would catch.
  if (tool.down != ToolButton::None) {
    removeall();
    PreviewPoint(*this, std::nullopt, move);
    tool.band.reset();  // no point is fixed yet
  }
}

void Editor::PaintBox1MouseUp(MouseButton button, ShiftState shift, int x, int y) {
  if (button == MouseButton::Middle && tool.middle) {
    const ToolState::MiddlePress m = *tool.middle;
    tool.middle.reset();
    if (m.panning) return;
    // Not dragged: a press where it went down. The middle button acts as
    // the left in every tool; with nothing armed it selects nothing.
    Press(*this, ClickAt(*this, tool.down != ToolButton::None ? MouseButton::Left : button, m.shift, m.x, m.y));
  }
  const Click c = ClickAt(*this, button, shift, x, y);
  for (const Mode& m : Modes())
    if (m.release && tool.*m.on) return m.release(*this, c);
}

}  // namespace vestrel
