// The drawing and what every change of it involves: its undo journal, its
// file's state (the changed mark) and the layout tab the user works on.
// The file lifecycle, the writers and the edits work on this context.
#pragma once

#include <string>

#include "document/drawing.h"
#include "document/journal.h"

namespace vestrel {

struct FileState {
  std::string afilename;            // full path; empty for a drawing never saved
  bool changed = false;             // the drawing differs from its file
  std::string maincap = "Vestrel";  // the caption every caption starts with
  std::string progpath;             // folder of the executable, with a trailing "/"
  bool first = false;               // the first showing of the window is done
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
