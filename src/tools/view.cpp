// Menu "Ansicht", the layout tabs, the scroll bars and the wheel.
#include "tools/editor.h"
#include "writers/insertcode.h"

namespace vestrel {

void Editor::ZoomAllClick() {
  RememberView(views);
  ZoomFullIn(views);
  Repaint();
}

void Editor::ZoomInBtnClick() {
  RememberView(views);
  ZoomIn(views);
  RepaintView();
}

void Editor::ZoomOutBtnClick() {
  RememberView(views);
  ZoomOut(views);
  RepaintView();
}

void Editor::Druckvorschau1Click() {
  view.Druckvorschau = !view.Druckvorschau;
  Repaint();
}

void Editor::Linienbreitezeigen1Click() {
  view.Linienbreitezeigen = !view.Linienbreitezeigen;
  Repaint();
}

void Editor::TabControl1Change(int tab) {
  view.tab = tab;
  RestoreZoom(views);
  if (tab > 0 && HasInsertionPoint(drawing, tab)) AddLayoutViewports(tab);
  Repaint();
}

void Editor::HorzScrollbarChange(int position) {
  SetHorzScrollbar(views, position);
  RepaintView();
}

void Editor::VertScrollbarChange(int position) {
  SetVertScrollbar(views, position);
  RepaintView();
}

void Editor::FormMouseWheel(bool up, ShiftState shift, double x, double y) {
  RememberView(views);
  MouseWheel(views, up, shift.shift, shift.ctrl, x, y);
  RepaintView();
}

}  // namespace vestrel
