// Arming the editing tools, picking and giving up; and what the user is
// told when an edit changed nothing.
#include "i18n/msg.h"
#include "tools/modify/picking.h"

namespace vestrel {

void Editor::Report(EditResult result) {
  int nr = 0;
  switch (result) {
    case EditResult::InvalidValue: nr = msg::NotANumber; break;
    case EditResult::BadFactor: nr = msg::BadFactor; break;
    case EditResult::BadCount: nr = msg::BadArraySize; break;
    case EditResult::TooLarge: nr = msg::ArrayTooLarge; break;
    case EditResult::NoMirrorAxis: nr = msg::NoMirrorAxis; break;
    case EditResult::ZeroAxis: nr = msg::ZeroAxis; break;
    case EditResult::NoInsertionPoint: return Report(InsertResult::NoInsertionPoint);
    case EditResult::NoHandleLeft: return Report(InsertResult::NoHandleLeft);
    case EditResult::Done:
    case EditResult::Unchanged:
    case EditResult::NothingSelected:
    case EditResult::Cancelled: return;
  }
  platform.ShowMessage(nr, "", MsgIcon::Error);
}

void EndTools(Editor& e) {
  e.SetAlltoFalse();
  e.tool.down = ToolButton::None;
}

void StartPicking(Editor& e, bool ToolState::*select) {
  e.tool.*select = true;
  e.platform.SetCursor(Cursor::Arrow);
  e.platform.ShowState();
}

void StopPicking(Editor& e, bool ToolState::*select, Cursor cursor) {
  ToolState& t = e.tool;
  // A window the picking had opened closes with it.
  t.*select = t.inmassselect = false;
  e.removeall();
  e.platform.SetCursor(cursor);
}

void ArmEdit(Editor& e, bool ToolState::*select, bool ToolState::*line) {
  EndTools(e);
  if (!e.IsSelected()) return StartPicking(e, select);
  e.tool.*line = true;
  e.tool.ellipsemode = 0;
  e.platform.ShowState();
}

void EndPicking(Editor& e, bool ToolState::*select, bool ToolState::*line) {
  StopPicking(e, select, Cursor::CrossHair);
  e.tool.*line = true;
  e.tool.ellipsemode = 0;
}

void StopPoints(Editor& e, bool ToolState::*line) {
  e.tool.*line = false;
  e.removeall();
  ResetRubberBand(e.tool);
  e.platform.SetCursor(Cursor::CrossHair);
}

}  // namespace vestrel
