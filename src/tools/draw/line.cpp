// The line tools: lines in a chain, construction lines and rays through
// one base point, and the arrow (a line with an arrow head at its start).
#include "i18n/msg.h"
#include "tools/steps.h"
#include "writers/annotationwriters.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::LineBtnClick() { Arm(ToolButton::LineBtn, kLineSegment); }

// Construction lines and rays: a drawing too old for them is told so, and
// what runs goes on.
void Editor::Konstruktionslinie1Click() {
  if (drawing.cadver < 1010) return platform.ShowMessage(msg::NoXLines, "", MsgIcon::Error), platform.ShowState();
  Arm(ToolButton::LineBtn, kConstructionLine);
}

void Editor::Strahl1Click() {
  if (drawing.cadver < 1010) return platform.ShowMessage(msg::NoRays, "", MsgIcon::Error), platform.ShowState();
  Arm(ToolButton::LineBtn, kRay);
}

void Editor::ArrowBtnClick() { Arm(ToolButton::ArrowBtn, tool.arcmode); }

void LineFirstClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  t.inlin = true;
  if (t.down == ToolButton::ArrowBtn) t.inarrow = true, t.arcmode = kLineSegment;
  ResetRubberBand(t);
  FirstClick(e, c);
  e.Release();
}

// Each click writes a line: a plain line chains on from its end, a
// construction line or ray adds one more through the same base point.
void LineClick(Editor& e, const Click& c) {
  ToolState& t = e.tool;
  if (c.right()) {
    t.inlin = t.inarrow = false;
    return e.removeall();
  }
  const Point2 p = PointStep(e, c);
  const Point3 from{t.linesx, t.linesy, 0}, to{p.x, p.y, 0};
  // The arrow's head goes in with its line, as one step.
  CodeLines lines(e.doc);
  InsertResult r = AddLine(lines, LineKindOf(t.arcmode), from, to);
  if (t.inarrow && r == InsertResult::Inserted) r = AddArrowToLine(lines, {from.x, from.y}, {to.x, to.y});
  e.Report(lines.lines().empty() ? r : InsertAndParse(e.doc, lines));
  t.inarrow = false;
  ResetRubberBand(t);
  if (t.arcmode == kLineSegment) t.linesx = p.x, t.linesy = p.y;
  e.Repaint();
}

void LinePreview(Editor& e, const Move& m) {
  const ToolState& t = e.tool;
  const Point2 b = m.window.toScreen(t.linesx, t.linesy);
  e.removeall();
  const Point2 p = PreviewPoint(e, Point2{t.linesx, t.linesy}, m);
  Point2 from = b, to = p;
  if (t.arcmode == kConstructionLine || t.arcmode == kRay) {
    // Construction lines and rays reach far out.
    constexpr double kFar = 100000;
    to = {b.x + (p.x - b.x) * kFar, b.y + (p.y - b.y) * kFar};
    if (t.arcmode == kConstructionLine) from = {b.x - (p.x - b.x) * kFar, b.y - (p.y - b.y) * kFar};
  }
  BandLine(e, from, to);
}

}  // namespace vestrel
