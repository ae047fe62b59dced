// The editor without its window: all state of the main window, grouped by
// subsystem, and every handler of its menus, buttons and window events.
// The Qt window owns one, implements the Platform for it and hands every
// event to it.
//
// The handlers are defined by family: tools/editor.cpp (the window's
// life), tools/file.cpp (menu "Datei"), tools/view.cpp (menu "Ansicht",
// tabs, scroll bars, wheel), tools/zoompan.cpp (the zoom and pan tools),
// tools/modes.cpp (ending tools), tools/mouse.cpp (the drawing area's
// dispatch), tools/draw/ (tools that add to the drawing) and tools/modify/
// (tools that change it). A handler changes the state through the lower
// layers, shows the messages their results call for, and ends with at
// most one Repaint().
#pragma once

#include <string>
#include <vector>

#include "document/drawing.h"
#include "document/journal.h"
#include "file/context.h"
#include "platform/platform.h"
#include "tools/propertybar.h"
#include "view/transform.h"
#include "writers/insertcode.h"

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
  PropertyBar bar;
  // What the lower layers work on.
  DocumentContext doc{drawing, undos, file, view.tab};
  ViewContext views{drawing, view, print, platform};

  // Brings the window up to date after a handler's work: the lists after a
  // parse, the caption, then the one repaint.
  void Repaint();
  // Only the caption, for handlers that change nothing that is drawn.
  void ShowCaption();

  // The window's life.
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
  void Beenden1Click();

  // Menu "Bearbeiten".
  void Rckgngig1Click();

  // Menu "Ansicht", the tabs, the scroll bars and the wheel.
  void ZoomAllClick();
  void ZoomInBtnClick();
  void ZoomOutBtnClick();
  void Druckvorschau1Click();
  void Linienbreitezeigen1Click();
  void TabControl1Change(int tab);
  void HorzScrollbarChange(int position);
  void VertScrollbarChange(int position);
  void FormMouseWheel(bool up, ShiftState shift, double x, double y);

  // The zoom and pan tools.
  void ZoomBtnClick();
  void HandBtnClick();

  // Viewports.
  void Viewporthinzufgen1Click();

  // The drawing area.
  void PaintBox1MouseDown(MouseButton button, ShiftState shift, int x, int y);
  void PaintBox1MouseMove(ShiftState shift, int x, int y);
  void PaintBox1MouseUp(MouseButton button, ShiftState shift, int x, int y);

  // Ends whatever tool runs.
  void SetAlltoFalse();

  // Memory ran out in the middle of an event: the user is told, and the
  // drawing is parsed again if memory now allows (else it shows nothing
  // until it does; its lines are all there and can be saved).
  void OutOfMemory();

 private:
  // Tells the user why a writer wrote nothing, when that is worth a word.
  void Report(InsertResult result);
  // A drawing was loaded or started: the model tab zoomed to its extents.
  void ShowLoaded();
  // The viewports a layout tab is given on its visit when it has none.
  void AddLayoutViewports(int tab);
};

}  // namespace vestrel
