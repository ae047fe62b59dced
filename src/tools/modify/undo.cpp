// "Rückgängig": the last operation taken back.
#include "editing/undo.h"
#include "tools/editor.h"

namespace vestrel {

void Editor::Rckgngig1Click() {
  if (UndoLastOperation(doc)) Repaint();
}

}  // namespace vestrel
