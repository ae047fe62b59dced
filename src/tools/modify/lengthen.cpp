// "Verlängern": the dialog asks by how much (or to which total length);
// then each click near an end of a line, arc, elliptic arc or open
// polyline lengthens (or shortens) it there, one undo step each, until
// Escape or the right button.
#include <cmath>
#include <vector>

#include "editing/breaking.h"
#include "tools/modify/picking.h"
#include "tools/select.h"

namespace vestrel {

void Editor::LengthenBtnClick() {
  EndTools(*this);
  if (platform.ShowLengthenDialog(dialogs.lengthen) != DialogResult::Ok) return platform.ShowState();
  if (!std::isfinite(dialogs.lengthen.DeltaEd)) {
    platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error);
    return platform.ShowState();
  }
  tool.inlengthen = true;
  platform.SetCursor(Cursor::CrossHair);
  platform.ShowState();
}

int LengthenStep(const ToolState&) { return 0; }

void LengthenClick(Editor& e, const Click& c) {
  if (c.right()) {
    StopPoints(e, &ToolState::inlengthen);
    return e.platform.ShowState();
  }
  const std::int32_t entry = ObjectAt(e, c.window, c.x, c.y);
  if (entry < 0) return;  // nothing there
  e.removeall();
  const LengthenDialogValues& v = e.dialogs.lengthen;
  ReportReshape(e, LengthenObject(e.doc, entry, c.point, v.DeltaEd, v.ArtCombo == 1), msg::CannotLengthen);
  e.platform.ShowState();
}

void LengthenPreview(Editor& e, const Move& m) {
  // The object under the pointer as the click would leave it.
  e.removeall();
  const std::int32_t entry = ObjectAt(e, m.window, m.x, m.y);
  if (entry < 0) return;
  const LengthenDialogValues& v = e.dialogs.lengthen;
  const Point2 at = m.window.toWorld(m.x, m.y);
  std::vector<Point2> band;
  for (const Point2 p : LengthenGhost(e.drawing, entry, at, v.DeltaEd, v.ArtCombo == 1))
    band.push_back(m.window.toScreen(p.x, p.y));
  if (band.size() > 1) BandPolyline(e, band);
}

}  // namespace vestrel
