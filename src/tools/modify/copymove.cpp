// "Kopieren" and "Verschieben": the selection copied or moved by the way
// from a base point to a target.
#include "tools/modify/picking.h"

namespace vestrel {

void Editor::CopyBtnClick() { ArmEdit(*this, &ToolState::incopyselect, &ToolState::incopyline); }
void Editor::MoveBtnClick() { ArmEdit(*this, &ToolState::inmoveselect, &ToolState::inmoveline); }

void CopyPicked(Editor& e, const Click&) { EndPicking(e, &ToolState::incopyselect, &ToolState::incopyline); }
void MovePicked(Editor& e, const Click&) { EndPicking(e, &ToolState::inmoveselect, &ToolState::inmoveline); }

void CopyClick(Editor& e, const Click& c) {
  const ToolState& t = e.tool;
  TwoPoints(e, c, &ToolState::incopyline,
            [&](Point2 p) { return CopyObjects(e.doc, p.x - t.linesx, p.y - t.linesy); });
}

void MoveClick(Editor& e, const Click& c) {
  const ToolState& t = e.tool;
  TwoPoints(e, c, &ToolState::inmoveline, [&](Point2 p) { return MoveObjects(e.doc, p.x - t.linesx, p.y - t.linesy); });
}

}  // namespace vestrel
