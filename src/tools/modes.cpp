// Ending the tools of the drawing area.
#include "tools/editor.h"

namespace vestrel {

void Editor::SetAlltoFalse() {
  tool.inzoom = tool.inhand = false;
  platform.SetCursor(Cursor::CrossHair);
}

}  // namespace vestrel
