// Arming the editing tools, picking and giving up; and what the user is
// told when an edit changed nothing.
#include "tools/modify/picking.h"

namespace vestrel {

namespace {

// Why an edit changed nothing (where copies found no place or no handle,
// as for the writers).
constexpr int kMsgNotANumber = 49;
constexpr int kMsgBadFactor = 50;
constexpr int kMsgBadCount = 51;
constexpr int kMsgTooLarge = 52;
constexpr int kMsgNoMirrorAxis = 64;
constexpr int kMsgZeroAxis = 65;

}  // namespace

void Editor::Report(EditResult result) {
  int nr = 0;
  switch (result) {
    case EditResult::InvalidValue: nr = kMsgNotANumber; break;
    case EditResult::BadFactor: nr = kMsgBadFactor; break;
    case EditResult::BadCount: nr = kMsgBadCount; break;
    case EditResult::TooLarge: nr = kMsgTooLarge; break;
    case EditResult::NoMirrorAxis: nr = kMsgNoMirrorAxis; break;
    case EditResult::ZeroAxis: nr = kMsgZeroAxis; break;
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
