// The point tool: every click writes a point; it stays armed until the
// right button.
#include "tools/steps.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::PointBtnClick() { Arm(ToolButton::PointBtn, tool.arcmode); }

void PointFirstClick(Editor& e, const Click& c) {
  if (c.right()) return e.Release();
  FirstClick(e, c);
  e.Report(Write(e.doc, AddPoint, {e.tool.linesx, e.tool.linesy, 0}));
  e.Repaint();
}

}  // namespace vestrel
