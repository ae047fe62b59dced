// Ending the tools of the drawing area.
#include "tools/editor.h"

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

void Editor::AddRubberBand(int x1, int y1, int x2, int y2, PenStyle syl) {
  ToolState& t = tool;
  const tremove r{x1, y1, x2, y2, syl};
  platform.DrawXor(std::span<const tremove>(&r, 1));
  if (static_cast<std::size_t>(t.anzrem) >= t.remove.size()) t.remove.resize(t.remove.size() + 1000);
  t.remove[static_cast<std::size_t>(t.anzrem++)] = r;
}

}  // namespace vestrel
