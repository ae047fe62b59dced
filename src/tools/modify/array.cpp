// "Array": copies of the selection in columns and rows, from the array
// dialog; with nothing selected, of the objects picked until the right
// button. A large one shows its progress and can be cancelled, leaving the
// drawing as it was.
#include "i18n/msg.h"
#include "tools/modify/picking.h"

namespace vestrel {

namespace {

void ArrayOfSelection(Editor& e) {
  if (e.platform.ShowArrayDialog(e.dialogs.array) != DialogResult::Ok) return e.platform.ShowState();
  const EditResult r = MakeArray(e.doc, e.dialogs.array, [&e](std::int64_t done, std::int64_t total) {
    return e.platform.Progress(msg::MakingArray, done, total);
  });
  e.platform.EndProgress();
  e.Report(r);
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
