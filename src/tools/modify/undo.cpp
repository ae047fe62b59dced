// "Rückgängig" and "Wiederherstellen": the last operation taken back, and
// the one taken back last done again.
#include "editing/undo.h"
#include "tools/editor.h"

namespace vestrel {

void Editor::Rckgngig1Click() {
  if (UndoLastOperation(doc)) Repaint();
}

void Editor::Wiederherstellen1Click() {
  if (RedoLastOperation(doc)) Repaint();
}

}  // namespace vestrel
