// The drawing as a file: new from a template, open, save, save as, the
// unsaved-changes question and the window caption.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "document/drawing.h"
#include "document/journal.h"
#include "file/platform.h"

namespace vestrel {

struct FileState {
  std::string afilename;          // full path; empty for a drawing never saved
  bool changed = false;           // the drawing differs from its file
  std::string maincap = "Vestrel";  // the caption every caption starts with
  std::string progpath;           // folder of the executable, with a trailing "/"
  bool first = false;             // the first showing of the window is done
};

// The drawing and what every change of it involves: its undo journal, its
// file's state (the changed mark in the caption) and the window system. The
// file lifecycle, the writers and the edits work on it.
struct Session {
  Drawing& drawing;
  Journal& undos;
  FileState& state;
  Platform& platform;
  // Shows a drawing that was just loaded (the model tab is selected):
  // zoom to its extents and repaint. Repaints only when not set.
  std::function<void()> showLoaded;
};

inline constexpr std::string_view kTemplateNew = "template1.dat";     // "Neue DXF Datei "
inline constexpr std::string_view kTemplateR12 = "template0.dat";     // "Neue DXF Datei (R12 ...)"

void SetChanged(Session& s);
void SetUnChanged(Session& s);

// The unsaved-changes question before anything that would drop the
// drawing. Returns whether to go on.
bool AskToSave(Session& s);

// Loads a file as the drawing. On failure the user is told and the
// drawing stays as it was.
bool openfilewithname(Session& s, const std::string& name);
// Asks for a file, then loads it; false when the dialog is cancelled.
bool OpenFile(Session& s);
// A new, unnamed drawing from a template (after the question).
void NewDrawing(Session& s, std::string_view templateName);

bool SaveFileUnder(Session& s, const std::string& name);
bool SaveTheFile(Session& s);
// Saves under the current name, or asks for one when there is none.
bool SaveFile(Session& s);
// Saves under a name chosen in the save dialog.
void SaveFileAs(Session& s);

}  // namespace vestrel
