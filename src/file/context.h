// The drawing and what every change of it involves: its undo journal, its
// file's state (the changed mark, what the file was, its lock) and the
// layout tab the user works on.
// The file lifecycle, the writers and the edits work on this context.
#pragma once

#include <string>

#include "document/drawing.h"
#include "document/journal.h"
#include "file/dxffile.h"
#include "file/lock.h"

namespace vestrel {

struct FileState {
  std::string afilename;            // full path; empty for a drawing never saved
  bool changed = false;             // the drawing differs from its file
  std::string maincap = "Vestrel";  // the caption every caption starts with
  std::string progpath;             // folder of the executable, with a trailing "/"
  bool first = false;               // the first showing of the window is done
  // The file as it was opened or last saved, to tell when others changed
  // it; and the change the user was last asked about.
  FileIdentity identity, toldOf;
  // The per-user folder, where the locks of open drawings lie (none when
  // empty), and the lock of this drawing, when this editor holds it.
  std::string lockFolder;
  HeldLock lock;
};

struct DocumentContext {
  Drawing& drawing;
  Journal& undos;
  FileState& file;
  // The layout tab that is shown: new objects go there.
  const int& tab;
};

inline void SetChanged(DocumentContext& c) { c.file.changed = true; }
inline void SetUnChanged(DocumentContext& c) { c.file.changed = false; }

}  // namespace vestrel
