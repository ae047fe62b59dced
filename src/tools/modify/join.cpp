// "Verbinden": the selected lines, arcs and open polylines whose ends meet
// become polylines, within the tolerance the dialog asks for (proposed as
// a millionth of the drawing's size); with nothing selected, of the
// objects picked until the right button.
#include <algorithm>
#include <cmath>
#include <string>

#include "tools/modify/picking.h"
#include "view/extents.h"

namespace vestrel {

namespace {

// What the dialog proposes: a millionth of the size of the tab's drawn
// extents.
double DefaultTolerance(const Drawing& d, int tab) {
  const Extents x = TabExtents(d, tab);
  const double size = std::max(x.maxx - x.minx, x.maxy - x.miny);
  return std::isfinite(size) && size > 0 ? size * 1e-6 : 1e-6;
}

void JoinSelection(Editor& e) {
  e.dialogs.join.ToleranzEd = DefaultTolerance(e.drawing, e.view.tab);
  if (e.platform.ShowJoinDialog(e.dialogs.join) != DialogResult::Ok) return e.platform.ShowState();
  const ReshapeResult r = JoinObjects(e.doc, e.dialogs.join.ToleranzEd);
  ReportReshape(e, r, msg::CannotJoin);
  if (r.status == ReshapeResult::Status::Done && r.apart > 0)
    e.platform.ShowMessage(msg::JoinedApart, std::to_string(r.apart), MsgIcon::Information);
}

}  // namespace

void ReportReshape(Editor& e, const ReshapeResult& r, msg::Nr refused) {
  using S = ReshapeResult::Status;
  switch (r.status) {
    case S::Done:
    case S::NothingSelected: break;
    case S::NothingToJoin: e.platform.ShowMessage(msg::NothingToJoin, "", MsgIcon::Information); break;
    case S::NoLength: e.platform.ShowMessage(msg::NoLengthToExplode, "", MsgIcon::Information); break;
    case S::NotThisKind: e.platform.ShowMessage(refused, r.kind, MsgIcon::Error); break;
    case S::InvalidValue: e.platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error); break;
    case S::NoInsertionPoint: e.platform.ShowMessage(msg::NoInsertionPoint, "", MsgIcon::Error); break;
    case S::NoHandleLeft: e.platform.ShowMessage(msg::NoHandleLeft, "", MsgIcon::Error); break;
    case S::Distorted: e.platform.ShowMessage(msg::CannotExplodeDistorted, r.kind, MsgIcon::Error); break;
    case S::NoBlock: e.platform.ShowMessage(msg::MissingBlock, r.kind, MsgIcon::Error); break;
    case S::TooLarge: e.platform.ShowMessage(msg::ExplodeTooLarge, "", MsgIcon::Error); break;
    case S::NothingLeft: e.platform.ShowMessage(msg::NothingWouldRemain, "", MsgIcon::Error); break;
    case S::WouldClose: e.platform.ShowMessage(msg::ArcWouldClose, "", MsgIcon::Error); break;
    case S::NoBreakHere: e.platform.ShowMessage(msg::NoBreakHere, "", MsgIcon::Error); break;
  }
  e.Repaint();
}

void Editor::JoinBtnClick() {
  EndTools(*this);
  if (IsSelected()) return JoinSelection(*this);
  StartPicking(*this, &ToolState::injoinselect);
}

void JoinPicked(Editor& e, const Click&) {
  StopPicking(e, &ToolState::injoinselect, Cursor::CrossHair);
  if (e.IsSelected()) return JoinSelection(e);
  e.platform.ShowState();
}

}  // namespace vestrel
