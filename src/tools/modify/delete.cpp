// "Löschen": the selection goes at once; with nothing selected, the objects
// picked until the right button.
#include "tools/modify/picking.h"

namespace vestrel {

void Editor::DelBtnClick() {
  EndTools(*this);
  if (Loeschen(doc)) return Repaint();
  StartPicking(*this, &ToolState::indelselect);
}

void DeletePicked(Editor& e, const Click&) {
  StopPicking(e, &ToolState::indelselect, Cursor::CrossHair);
  if (Loeschen(e.doc)) return e.Repaint();
  e.platform.ShowState();
}

}  // namespace vestrel
