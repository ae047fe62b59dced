// The drawing area's mouse events, dispatched to the step of the tool that
// runs: the first entry of each table whose mode is on takes the event.
#include "document/numbers.h"
#include "tools/steps.h"

namespace vestrel {

namespace {

struct PressStep {
  bool (*running)(const Editor&);
  void (*step)(Editor&, const Click&);
  bool rightOnly = false;  // the row takes the right button only
};
const PressStep kPress[] = {
    // The editing tools: the right button ends their picking, then their
    // points.
    {[](const Editor& e) { return e.tool.incopyselect; }, CopyPicked, true},
    {[](const Editor& e) { return e.tool.inmoveselect; }, MovePicked, true},
    {[](const Editor& e) { return e.tool.inrotateselect; }, RotatePicked, true},
    {[](const Editor& e) { return e.tool.inscaleselect; }, ScalePicked, true},
    {[](const Editor& e) { return e.tool.inarrayselect; }, ArrayPicked, true},
    {[](const Editor& e) { return e.tool.inmirrorselect; }, MirrorPicked, true},
    {[](const Editor& e) { return e.tool.indelselect; }, DeletePicked, true},
    {[](const Editor& e) { return e.tool.incopyline; }, CopyClick},
    {[](const Editor& e) { return e.tool.inmoveline; }, MoveClick},
    {[](const Editor& e) { return e.tool.inrotateline; }, RotateClick},
    {[](const Editor& e) { return e.tool.inscaleline; }, ScaleClick},
    {[](const Editor& e) { return e.tool.inmirrorline; }, MirrorClick},
    {[](const Editor& e) { return e.tool.inzoom; }, ZoomClick},
    {[](const Editor& e) { return e.tool.inhand; }, HandClick},
    {[](const Editor& e) { return e.tool.inmassselect; }, MassSelectClick},
    {[](const Editor& e) { return e.tool.incircle; }, CircleClick},
    {[](const Editor& e) { return e.tool.inellipse; }, EllipseClick},
    {[](const Editor& e) { return e.tool.insolid; }, SolidClick},
    {[](const Editor& e) { return e.tool.indim; }, DimensionClick},
    {[](const Editor& e) { return e.tool.inpoly; }, PolyClick},
    {[](const Editor& e) { return e.tool.inarc; }, ArcClick},
    {[](const Editor& e) { return e.tool.inlin; }, LineClick},
    {[](const Editor& e) { return e.tool.inrec; }, RectangleClick},
    // Last: nothing runs and no tool is armed.
    {[](const Editor& e) { return e.tool.down == ToolButton::None; }, SelectClick},
};

// The first click of the armed tool, by its button.
struct FirstStep {
  ToolButton button;
  void (*step)(Editor&, const Click&);
};
const FirstStep kFirst[] = {
    {ToolButton::EllipseBtn, EllipseFirstClick},     {ToolButton::SolidBtn, SolidFirstClick},
    {ToolButton::TextBtn, TextFirstClick},           {ToolButton::PolyLineBtn, PolyFirstClick},
    {ToolButton::SplineBtn, PolyFirstClick},         {ToolButton::PenBtn, PolyFirstClick},
    {ToolButton::CircleBtn, CircleFirstClick},       {ToolButton::ArcBtn, ArcFirstClick},
    {ToolButton::RectangleBtn, RectangleFirstClick}, {ToolButton::DimensionBtn, DimensionFirstClick},
    {ToolButton::PointBtn, PointFirstClick},         {ToolButton::ArrowBtn, LineFirstClick},
    {ToolButton::LineBtn, LineFirstClick},
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

// The rubber band of the running tool.
struct PreviewStep {
  bool (*running)(const Editor&);
  void (*step)(Editor&, const Move&);
};
const PreviewStep kPreview[] = {
    {EditPreviewRunning, EditPreview},
    {[](const Editor& e) { return e.tool.inlin; }, LinePreview},
    {[](const Editor& e) { return e.tool.insolid; }, SolidPreview},
    {[](const Editor& e) { return e.tool.indim; }, DimensionPreview},
    {[](const Editor& e) { return e.tool.inrec; }, RectanglePreview},
    {[](const Editor& e) { return e.tool.inpoly; }, PolyPreview},
    {[](const Editor& e) { return e.tool.incircle; }, CirclePreview},
    {[](const Editor& e) { return e.tool.inellipse; }, EllipsePreview},
    {[](const Editor& e) { return e.tool.inarc; }, ArcPreview},
};

struct ReleaseStep {
  bool (*running)(const Editor&);
  void (*step)(Editor&, const Click&);
};
const ReleaseStep kRelease[] = {
    {[](const Editor& e) { return e.tool.inpoly && e.tool.arcmode == 1; }, [](Editor& e, const Click&) { PolyRelease(e); }},
    {[](const Editor& e) { return e.tool.inzoom; }, [](Editor& e, const Click&) { ZoomRelease(e); }},
    {[](const Editor& e) { return e.tool.inhand; }, [](Editor& e, const Click&) { HandRelease(e); }},
    {[](const Editor& e) { return e.tool.inmove || e.tool.inmovepoint; }, DragEnd},
};

}  // namespace

void Editor::PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y) {
  // The middle button acts as the left in every tool; with nothing armed it
  // selects nothing.
  if (button == MouseButton::Middle && tool.down != ToolButton::None) button = MouseButton::Left;
  const bool typed = tool.useexact;
  const Click c{button, shift, x, y, typed ? tool.exactx : x, typed ? tool.exacty : y};
  for (const PressStep& s : kPress)
    if (s.running(*this) && (!s.rightOnly || c.right())) return s.step(*this, c);
  for (const FirstStep& s : kFirst)
    if (tool.down == s.button) return s.step(*this, c);
}

void Editor::PaintBox1MouseMove(ShiftState shift, int x, int y) {
  tool.lastmousex = x;
  tool.lastmousey = y;
  const Point2 w = Bildschirm2DXF(views, x, y);
  platform.SetStatusText(FormatFixed(w.x, 4) + ", " + FormatFixed(w.y, 4));
  for (const DragStep& s : kDrag)
    if (s.running(*this)) return s.step(*this, x, y);
  const Move m{shift, x, y};
  for (const PreviewStep& s : kPreview)
    if (s.running(*this)) return s.step(*this, m);
  // An armed tool shows what its first click would catch.
  if (tool.down != ToolButton::None) {
    removeall();
    PreviewPoint(*this, {static_cast<double>(x), static_cast<double>(y)}, m);
  }
}

void Editor::PaintBox1MouseUp(MouseButton button, ShiftState shift, int x, int y) {
  const Click c{button, shift, x, y, static_cast<double>(x), static_cast<double>(y)};
  for (const ReleaseStep& s : kRelease)
    if (s.running(*this)) return s.step(*this, c);
}

}  // namespace vestrel
