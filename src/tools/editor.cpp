#include "tools/editor.h"

#include <charconv>

#include "document/viewfilter.h"
#include "editing/undo.h"
#include "view/extents.h"
#include "writers/insertcode.h"

namespace vestrel {

Editor::Editor(Platform& platform) : platform(platform) {
  session.showLoaded = [this] { ZoomAllClick(); };
}

void Editor::FormCreate(std::string progpath) {
  if (!progpath.empty() && progpath.back() != '/') progpath += '/';
  file.progpath = std::move(progpath);
}

void Editor::FormShow(const std::vector<std::string>& args) {
  if (file.first) return;
  NewDrawing(session, kTemplateNew);
  file.first = true;
  if (!args.empty()) openfilewithname(session, args.front());
}

bool Editor::FormCloseQuery() { return AskToSave(session); }

void Editor::NeueDXFDatei1Click() { NewDrawing(session, kTemplateNew); }

void Editor::NeueDXFDateiR12ohneSplineohneEllipseusw1Click() { NewDrawing(session, kTemplateR12); }

void Editor::ffnen1Click() {
  if (AskToSave(session)) OpenFile(session);
}

void Editor::Speichern1Click() { SaveFile(session); }

void Editor::Speichernunter1Click() { SaveFileAs(session); }

void Editor::Drucken1Click() {
  switch (platform.ShowPrintDialog(print)) {
    case DialogResult::Ok:
      platform.Repaint();
      platform.PrintDrawing();
      break;
    case DialogResult::All:
      view.Druckvorschau = true;
      platform.Repaint();
      break;
    case DialogResult::Cancel: break;
  }
}

void Editor::Seiteeinrichten1Click() {
  if (platform.ShowPrintDialog(print) == DialogResult::All) view.Druckvorschau = true;
  platform.Repaint();
}

void Editor::Druckereinrichten1Click() {
  platform.PrinterSetupDialog();
  platform.Repaint();
}

void Editor::ZoomAllClick() { vestrel::ZoomAllClick(views); }
void Editor::ZoomInBtnClick() { vestrel::ZoomInBtnClick(views); }
void Editor::ZoomOutBtnClick() { vestrel::ZoomOutBtnClick(views); }

void Editor::ZoomBtnClick() {
  SetAlltoFalse();
  tool.inzoom = true;
  platform.SetCursor(Cursor::Magnifier);
}

void Editor::HandBtnClick() {
  SetAlltoFalse();
  tool.inhand = true;
  platform.SetCursor(Cursor::Hand);
}

void Editor::Druckvorschau1Click() {
  view.Druckvorschau = !view.Druckvorschau;
  platform.Repaint();
}

void Editor::Linienbreitezeigen1Click() {
  view.Linienbreitezeigen = !view.Linienbreitezeigen;
  platform.Repaint();
}

void Editor::Rckgngig1Click() { vestrel::Rckgngig1Click(session); }

ModelBox Editor::ModelExtents() const {
  const auto e = DrawnExtents(drawing, 0);
  return e ? ModelBox{e->minx, e->miny, e->maxx, e->maxy} : ModelBox{};
}

void Editor::Viewporthinzufgen1Click() { ViewportAdden(session, print, ModelExtents(), true, false); }

void Editor::TabControl1Change(int tab) {
  drawing.bar.TabControl1.itemIndex = tab;
  RestoreZoom(views);
  if (tab > 0 && HasInsertionPoint(drawing)) {
    // Every layout shows the model: one without viewports gets them, the
    // sheet's own (identifier 1) where the layout keeps its objects in a
    // block of its own, and one onto the model.
    const ViewFilter filter(drawing, tab);
    bool sheetViewport = false, modelViewport = false;
    for (const tpoly& p : drawing.polys) {
      if (!p.isviewport || !filter.shows(p)) continue;
      (p.viewid == 1 ? sheetViewport : modelViewport) = true;
    }
    if (!filter.block().empty() && !sheetViewport) ViewportAdden(session, print, ModelExtents(), false, true);
    if (!modelViewport) ViewportAdden(session, print, ModelExtents(), false, false);
  }
  platform.Repaint();
}

void Editor::HorzScrollbarChange(int position) { SetHorzScrollbar(views, position); }
void Editor::VertScrollbarChange(int position) { SetVertScrollbar(views, position); }

void Editor::FormMouseWheel(bool up, ShiftState shift, double x, double y) {
  MouseWheel(views, up, shift.shift, shift.ctrl, x, y);
}

void Editor::SetAlltoFalse() {
  tool.inzoom = tool.inhand = false;
  platform.SetCursor(Cursor::CrossHair);
}

void Editor::PaintBox1MouseDown(MouseButton button, ShiftState, int x, int y) {
  if (tool.inzoom) {
    if (button == MouseButton::Right) {
      tool.inzoom = false;
      platform.SetCursor(Cursor::CrossHair);
    } else {
      view.inzoomit = true;
      view.pansy = y;
      view.pansy2 = view.zoomedvalue;
    }
  } else if (tool.inhand) {
    if (button == MouseButton::Right) {
      tool.inhand = false;
      platform.SetCursor(Cursor::CrossHair);
    } else {
      view.inpan = true;
      view.pansx = x;
      view.pansy = y;
      view.pansx0 = view.HorzScrollbarPosition;
      view.pansy0 = view.VertScrollbarPosition;
    }
  }
}

namespace {

// A coordinate as the status bar shows it: fixed-point, four decimals.
std::string Fixed4(double v) {
  char buf[512];
  const auto r = std::to_chars(buf, buf + sizeof buf, v, std::chars_format::fixed, 4);
  return r.ec == std::errc() ? std::string(buf, r.ptr) : std::string();
}

}  // namespace

void Editor::PaintBox1MouseMove(ShiftState, int x, int y) {
  tool.lastmousex = x;
  tool.lastmousey = y;
  double wx, wy;
  Bildschirm2DXF(views, x, y, wx, wy);
  platform.SetStatusText(Fixed4(wx) + ", " + Fixed4(wy));
  if (view.inzoomit)
    DragZoom(views, x, y);
  else if (view.inpan)
    Pan(views, x, y);
}

void Editor::PaintBox1MouseUp(MouseButton, ShiftState, int, int) {
  if (tool.inzoom) view.inzoomit = false;
  if (tool.inhand) view.inpan = false;
}

}  // namespace vestrel
