// The editor without its window: all state of the main window, grouped by
// subsystem, and the handlers of its menus, buttons and window events. The
// Qt window owns one, implements the Platform for it and delegates every
// event to it.
#pragma once

#include <string>
#include <vector>

#include "document/drawing.h"
#include "document/journal.h"
#include "file/lifecycle.h"
#include "file/platform.h"

namespace vestrel {

class Editor {
 public:
  explicit Editor(Platform& platform) : platform(platform) {}
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  Platform& platform;
  Drawing drawing;
  Journal undos;
  FileState file;
  FileSession files{drawing, undos, file, platform};

  // Window events.
  void FormCreate(std::string progpath);
  // The first showing: a new drawing, then the file named on the command
  // line, if any.
  void FormShow(const std::vector<std::string>& args);
  // Closing the window; false keeps it open.
  bool FormCloseQuery();

  // Menu "Datei".
  void NeueDXFDatei1Click();
  void NeueDXFDateiR12ohneSplineohneEllipseusw1Click();
  void ffnen1Click();
  void Speichern1Click();
  void Speichernunter1Click();
};

}  // namespace vestrel
