#include "editing/undo.h"

namespace vestrel {

bool UndoLastOperation(DocumentContext& c) {
  if (!UndoLastStep(c.undos, c.drawing.dxf)) return false;
  processdxf(c.drawing);
  SetChanged(c);
  return true;
}

bool RedoLastOperation(DocumentContext& c) {
  if (!RedoLastStep(c.undos, c.drawing.dxf)) return false;
  processdxf(c.drawing);
  SetChanged(c);
  return true;
}

}  // namespace vestrel
