// The text tool: one click places the text, the text dialog gives its
// lines, height and angle.
#include "i18n/msg.h"
#include "tools/steps.h"
#include "writers/annotationwriters.h"

namespace vestrel {

void Editor::TextBtnClick() { Arm(ToolButton::TextBtn, tool.arcmode); }

TextResult AddDialogText(Editor& e, CodeLines& lines, Point2 at, double height) {
  return AddText(lines, {at.x, at.y, 0}, height, e.dialogs.text.Memo1, e.dialogs.text.WinkEd);
}

void FirstLineOnly(Editor& e) { e.platform.ShowMessage(msg::FirstLineOnly, "", MsgIcon::Error); }

void TextFirstClick(Editor& e, const Click& c) {
  const Point2 p = PointStep(e, std::nullopt, c);
  TextDialogValues& text = e.dialogs.text;
  text.Memo1.clear();
  text.dimension = false;
  text.textChange = false;
  if (e.platform.ShowTextDialog(text) == DialogResult::Ok) {
    const TextResult r = WriteText(e.doc, {p.x, p.y, 0}, text.FontSizeEd, text.Memo1, text.WinkEd);
    if (r.firstLineOnly) FirstLineOnly(e);
    e.Report(r.result);
  }
  e.Release();
  e.Repaint();
}

}  // namespace vestrel
