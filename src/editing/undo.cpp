#include "editing/undo.h"

#include "document/journal.h"

namespace vestrel {

void Rckgngig1Click(Session& s) {
  if (!UndoLastStep(s.undos, s.drawing.dxf)) return;
  processdxf(s.drawing);
  s.platform.Repaint();
  SetChanged(s);
}

}  // namespace vestrel
