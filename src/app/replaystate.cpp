#include "app/replaystate.h"

#include <QAction>
#include <QMenuBar>
#include <QLabel>
#include <QStatusBar>
#include <string>
#include <utility>

#include "app/MainUnit.h"
#include "app/replaywidgets.h"
#include "file/encoding.h"
#include "tools/snap.h"
#include "tools/tooltable.h"

namespace vestrel {

void PrintState(TMainForm& form, std::ostream& out) {
  const Editor& e = form.editor();
  const ToolState& t = e.tool;
  std::string modes;
  for (const Mode& m : Modes())
    if (t.*m.on) modes += std::string(modes.empty() ? "" : " ") + std::string(m.name);
  for (const auto& [name, on] : {std::pair{"inzoomit", e.view.inzoomit}, std::pair{"inpan", e.view.inpan}})
    if (on) modes += std::string(modes.empty() ? "" : " ") + name;
  std::size_t selected = 0;
  for (const tpoly& p : e.drawing.polys) selected += p.selected ? 1 : 0;
  std::string menus;
  for (const QAction* a : form.menuBar()->actions())
    if (a->isVisible()) menus += (menus.empty() ? "" : ", ") + Shown(a->text());
  auto line = [&](const char* key, const std::string& value) {
    out << key << ':' << (value.empty() ? "" : " ") << value << '\n';
  };
  line("modes", modes);
  line("down", std::string(ButtonName(t.down)));
  line("arcmode", std::to_string(t.arcmode));
  line("ellipsemode", std::to_string(t.ellipsemode));
  line("polyline0", std::to_string(t.polyline0.size()));
  line("selected", std::to_string(selected));
  line("anzrem", std::to_string(t.anzrem));
  line("undo", std::to_string(e.undos.undos.size()));
  line("modified", e.file.changed ? "1" : "0");
  line("zoom", Number(e.view.zoomedvalue));
  line("tab", std::to_string(e.view.tab));
  line("status", OneLine(form.StatusBar1->currentMessage()));
  line("prompt", OneLine(form.PromptLabel->text()));
  line("caption", OneLine(form.windowTitle()));
  line("menus", menus);
  // What new objects take, as the header holds it (nothing where it has none).
  std::string takes;
  for (std::size_t k = 0; k < current::kVariables.size(); ++k)
    takes += (k ? " " : "") + std::string(current::kVariables[k].name) + '=' +
               DecodeUnicode(e.drawing.currentValue(static_cast<current::Id>(k)), e.drawing.dxf.encoding);
  line("current", takes);
  std::string snaps;
  for (int k = 0; k < kSnapKinds; ++k)
    if (t.activeSnaps() & SnapBit(static_cast<SnapKind>(k)))
      snaps += std::string(snaps.empty() ? "" : " ") + std::string(kSnapItems[k]);
  line("snaps", snaps);
  line("snapped", t.snapped ? Number(t.snapped->point.x) + " " + Number(t.snapped->point.y) + " " +
                                  std::string(kSnapItems[static_cast<int>(t.snapped->kind)])
                            : std::string());
  // The grid (with its spacing), ortho and polar (with its step) on.
  std::string aids;
  for (const auto& [on, item] : {std::pair{t.aids.raster, "FangRaster1=" + Number(t.aids.grid.AbstandEd)},
                                 std::pair{t.aids.ortho, std::string("Ortho1")},
                                 std::pair{t.aids.polar, "Polar1=" + Number(t.aids.angle.WinkelEd)}})
    if (on) aids += (aids.empty() ? "" : " ") + item;
  line("aids", aids);
  // The last result of "Messen", to the last digit.
  std::string measure;
  for (const auto& [key, value] : t.measured) {
    char digits[32];
    std::snprintf(digits, sizeof digits, "%.17g", value);
    measure += (measure.empty() ? "" : " ") + std::string(key) + '=' + digits;
  }
  line("measure", measure);
  // The counts of each kind of finding of the last "Zuschnitt prüfen", and
  // how many of its findings the drawing area marks now.
  std::string check;
  if (e.cutchecked)
    for (std::size_t k = 0; k < CutFinding::kKinds; ++k)
      check += (k ? " " : "") + std::string(FindingName(static_cast<CutFinding::Kind>(k))) + '=' +
               std::to_string(e.cutchecked->check.counts[k]);
  line("check", check);
  const CutCheck* marked = e.CutMarksShown();
  line("marked", std::to_string(marked ? marked->findings.size() : 0));
  out << std::flush;
}

}  // namespace vestrel
