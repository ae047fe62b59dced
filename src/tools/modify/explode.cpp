// "Zerlegen": the selected polylines become lines and arcs, block
// references and dimensions what their blocks draw, hatches their
// boundaries; with nothing selected, the objects picked until the right
// button.
#include "tools/modify/picking.h"

namespace vestrel {

void Editor::ExplodeBtnClick() {
  EndTools(*this);
  if (IsSelected()) return ReportReshape(*this, ExplodeObjects(doc), msg::CannotExplode);
  StartPicking(*this, &ToolState::inexplodeselect);
}

void ExplodePicked(Editor& e, const Click&) {
  StopPicking(e, &ToolState::inexplodeselect, Cursor::CrossHair);
  if (e.IsSelected()) return ReportReshape(e, ExplodeObjects(e.doc), msg::CannotExplode);
  e.platform.ShowState();
}

}  // namespace vestrel
