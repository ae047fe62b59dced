// "Array": copies of the selection in columns and rows, from the array
// dialog; with nothing selected, of the objects picked until the right
// button.
#include "tools/modify/picking.h"

namespace vestrel {

namespace {

void ArrayOfSelection(Editor& e) {
  if (e.platform.ShowArrayDialog(e.dialogs.array) != DialogResult::Ok) return e.platform.ShowState();
  e.Report(MakeArray(e.doc, e.dialogs.array));
  e.Repaint();
}

}  // namespace

void Editor::ArrayBtnClick() {
  EndTools(*this);
  if (IsSelected()) return ArrayOfSelection(*this);
  StartPicking(*this, &ToolState::inarrayselect);
}

void ArrayPicked(Editor& e, const Click&) {
  StopPicking(e, &ToolState::inarrayselect, Cursor::Cross);
  ArrayOfSelection(e);
}

}  // namespace vestrel
