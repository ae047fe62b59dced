// Ending the tools of the drawing area.
#include "tools/editor.h"
#include "writers/entitywriters.h"

namespace vestrel {

void Editor::SetAlltoFalse() {
  removeall();
  ToolState& t = tool;
  t.inlin = t.inarrow = t.indim = t.inarrayselect = t.incopyline = t.inscaleline = t.inscaleselect = false;
  t.inmirrorselect = t.inmirrorline = t.inrotateline = t.inrotateselect = t.inmoveselect = t.inmoveline = false;
  t.inmove = t.inmovepoint = t.inhand = t.incopyselect = t.inzoom = t.indelselect = t.inpoly = false;
  t.inellipse = t.insolid = t.inarc = t.inmassselect = t.incircle = t.inrec = false;
  platform.SetCursor(Cursor::CrossHair);
}

void Editor::removeall() {
  ToolState& t = tool;
  if (t.anzrem > 0) platform.DrawXor(std::span<const tremove>(t.remove.data(), static_cast<std::size_t>(t.anzrem)));
  t.anzrem = 0;
}

void Editor::AddRubberBand(int x1, int y1, int x2, int y2, PenStyle syl, bool joined) {
  ToolState& t = tool;
  const tremove r{x1, y1, x2, y2, syl, joined};
  platform.DrawXor(std::span<const tremove>(&r, 1));
  if (static_cast<std::size_t>(t.anzrem) >= t.remove.size()) t.remove.resize(t.remove.size() + 1000);
  t.remove[static_cast<std::size_t>(t.anzrem++)] = r;
}


void Editor::Arm(ToolButton button, int arcmode) {
  SetAlltoFalse();
  tool.down = button;
  tool.arcmode = arcmode;
  platform.ShowState();
}

void Editor::Release() {
  tool.down = ToolButton::None;
  platform.ShowState();
}

void Editor::keyeditKeyDown(int key) {
  constexpr int kEscape = 27;
  if (key != kEscape) return;
  ToolState& t = tool;
  if (t.down != ToolButton::None) Release();
  if (t.inpoly) {
    // Escape keeps a polyline drawn so far; a spline goes on to its two
    // direction clicks as with "Fertig".
    if (t.arcmode == 2) return Fertig1Click();
    t.inpoly = false;
    removeall();
    if (t.polyline0.size() >= 2) Report(Write(doc, AddPolyLine, t.polyline0, false));
    return Repaint();
  }
  const bool running = t.insolid || t.indim || t.inlin || t.inrec || t.inmassselect || t.incircle || t.inellipse ||
                       t.inarc || t.inhand || t.inzoom || t.indelselect || t.incopyselect || t.incopyline ||
                       t.inmoveselect || t.inmoveline || t.inrotateselect || t.inrotateline || t.inmirrorselect ||
                       t.inmirrorline || t.inscaleselect || t.inscaleline || t.inarrayselect || t.inmove ||
                       t.inmovepoint;
  if (running) {
    SetAlltoFalse();
    return platform.ShowState();
  }
  // Nothing ran: the selection goes.
  for (tpoly& p : drawing.polys) p.selected = false;
  Repaint();
}

void Editor::BenutzenBtnClick(double x, double y) {
  const Point2 s = DXF2Bildschirm(views, x, y);
  tool.exactx = s.x, tool.exacty = s.y;
  tool.useexact = true;
  PaintBox1MouseDown(MouseButton::Left, {}, WholePixels(s.x), WholePixels(s.y));
  tool.useexact = false;
}

void Editor::SkalierungsfaktorperTastatureingeben1Click() {
  tool.SkalierungsfaktorperTastatureingeben = !tool.SkalierungsfaktorperTastatureingeben;
  platform.ShowState();
}

void Editor::RotationsrichtungperTastatureingeben1Click() {
  tool.RotationsrichtungperTastatureingeben = !tool.RotationsrichtungperTastatureingeben;
  platform.ShowState();
}

}  // namespace vestrel
