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
#include "view/transform.h"
#include "writers/tablewriters.h"

namespace vestrel {

enum class MouseButton { Left, Right, Middle };
struct ShiftState {
  bool shift = false, ctrl = false, alt = false;
};

// The tools of the drawing area.
struct ToolState {
  bool inzoom = false;  // the drag-zoom tool is armed
  bool inhand = false;  // the pan tool is armed
  int lastmousex = 0, lastmousey = 0;
};

class Editor {
 public:
  explicit Editor(Platform& platform);
  Editor(const Editor&) = delete;
  Editor& operator=(const Editor&) = delete;

  Platform& platform;
  Drawing drawing;
  Journal undos;
  FileState file;
  ViewState view;
  PrintSetup print;
  ToolState tool;
  Session session{drawing, undos, file, platform, {}};
  ViewSession views{drawing, view, print, platform};

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
  void Drucken1Click();
  void Seiteeinrichten1Click();
  void Druckereinrichten1Click();

  // Menu "Bearbeiten".
  void Rckgngig1Click();

  // Menu "Ansicht" and the view's buttons.
  void ZoomAllClick();
  void ZoomInBtnClick();
  void ZoomOutBtnClick();
  void ZoomBtnClick();
  void HandBtnClick();
  void Druckvorschau1Click();
  void Linienbreitezeigen1Click();
  void Viewporthinzufgen1Click();
  void TabControl1Change(int tab);
  void HorzScrollbarChange(int position);
  void VertScrollbarChange(int position);
  void FormMouseWheel(bool up, ShiftState shift, double x, double y);

  // The drawing area.
  void PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y);
  void PaintBox1MouseMove(ShiftState shift, int x, int y);
  void PaintBox1MouseUp(MouseButton button, ShiftState shift, int x, int y);

  // Ends whatever tool runs.
  void SetAlltoFalse();

 private:
  // The model's drawn box, for the view of a new viewport.
  ModelBox ModelExtents() const;
};

}  // namespace vestrel
