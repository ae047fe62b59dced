// Ending the tools of the drawing area.
#include <cmath>

#include "geometry/measure.h"
#include "tools/steps.h"

namespace vestrel {

void Editor::SetAlltoFalse() {
  removeall();
  for (const Mode& m : Modes()) tool.*m.on = false;
  platform.SetCursor(Cursor::CrossHair);
}

void Editor::removeall() {
  ToolState& t = tool;
  if (t.anzrem > 0) platform.DrawXor(std::span<const tremove>(t.remove.data(), static_cast<std::size_t>(t.anzrem)));
  t.anzrem = 0;
  t.caught.reset(), t.caughtKind.reset(), t.band.reset();
}

std::optional<ToolState::Measure> ToolState::measure() const {
  if (!band) return std::nullopt;
  const Distance d = DistanceOf(band->first, band->second);
  return Measure{d.distance, d.angle};
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
  constexpr int kEscape = 27, kReturn = 13;
  // Return ends a measured area as the right button does.
  if (key == kReturn && tool.inmeasure) return MeasureEnd(*this);
  // Return ends the picking of the edges of a trim or an extension.
  if (key == kReturn && (tool.intrimselect || tool.inextendselect)) return EdgesPicked(*this);
  if (key != kEscape) return;
  if (tool.down != ToolButton::None) Release();
  // A mode that keeps what is drawn finishes it; else every mode ends.
  for (const Mode& m : Modes())
    if (m.finish && tool.*m.on) return m.finish(*this);
  if (AnyModeOn(tool)) {
    SetAlltoFalse();
    return platform.ShowState();
  }
  // Nothing ran: the selection goes.
  for (tpoly& p : drawing.polys) p.selected = false;
  Repaint();
}

void Editor::SkalierungsfaktorperTastatureingeben1Click() {
  tool.SkalierungsfaktorperTastatureingeben = !tool.SkalierungsfaktorperTastatureingeben;
  platform.ShowState();
}

void Editor::SnapSwitchClick(SnapKind k) {
  tool.snaps ^= SnapBit(k);
  // Switching one on brings them all back.
  if (tool.snaps & SnapBit(k)) tool.snapsoff = false;
  platform.KeepSnaps(tool.snaps);
  platform.ShowState();
}

void Editor::Objektfang1Click() {
  tool.snapsoff = !tool.snapsoff;
  platform.ShowState();
}

void Editor::RotationsrichtungperTastatureingeben1Click() {
  tool.RotationsrichtungperTastatureingeben = !tool.RotationsrichtungperTastatureingeben;
  platform.ShowState();
}

}  // namespace vestrel
