// "Zuschnitt prüfen" in the menu "Extras": the shown tab checked for
// cutting machines in its dialog, what the check found marked in the
// drawing area (until the drawing changes, another tab shows or the check
// runs again), the view zoomed to a finding on request, and the repair
// ("Bereinigen").
#include <algorithm>
#include <cmath>
#include <initializer_list>
#include <string>

#include "document/numbers.h"
#include "file/encoding.h"
#include "i18n/msg.h"
#include "tools/editor.h"
#include "view/cutmarks.h"
#include "view/cutrepair.h"
#include "view/transform.h"

namespace vestrel {

namespace {

std::string Fixed(double v) { return FormatFixed(v, 4); }

// The names of the kinds of findings, then "Teil" and "Gesamt", in the
// language in force.
std::vector<std::string> Labels(Editor& e) {
  std::vector<std::string> labels;
  const std::string all = e.platform.Message(msg::CutCheckLabels);
  for (std::size_t from = 0; from <= all.size();) {
    const std::size_t to = std::min(all.find(';', from), all.size());
    labels.push_back(all.substr(from, to - from));
    from = to + 1;
  }
  labels.resize(CutFinding::kKinds + 2);
  return labels;
}

// What a finding's figure is: a gap, a distance or a length; nothing for
// the kinds that have none.
bool HasWidth(CutFinding::Kind k) {
  using K = CutFinding::Kind;
  return k != K::ZeroLength && k != K::SelfCrossing && k != K::NotCut;
}

CutFigureRow FigureRow(std::string part, const CutFigures& f) {
  const CutBox& b = f.box;
  return {std::move(part), Fixed(f.length), std::to_string(f.pierces), Fixed(f.area),
          b.empty ? std::string() : Fixed(b.minx) + ", " + Fixed(b.miny) + " – " + Fixed(b.maxx) + ", " + Fixed(b.maxy)};
}

// Message `nr` in the language in force, %1, %2, ... replaced by the counts.
std::string Counted(Editor& e, int nr, std::initializer_list<std::size_t> counts) {
  std::string text = e.platform.Message(nr);
  int k = 1;
  for (const std::size_t n : counts) {
    const std::string mark = "%" + std::to_string(k++);
    if (const auto at = text.find(mark); at != std::string::npos) text.replace(at, mark.size(), std::to_string(n));
  }
  return text;
}

// What is said of `count` rows left out of a list; nothing for none.
std::string LeftOut(Editor& e, std::size_t count) {
  return count == 0 ? std::string() : Counted(e, msg::CutRowsLeftOut, {count});
}

// What the repair did, in the dialog's words; a repair refused is told in
// a message box, and the dialog says nothing of it.
std::string Repaired(Editor& e, const CutRepair& r) {
  using S = CutRepair::Status;
  auto count = [](int n) { return static_cast<std::size_t>(std::max(n, 0)); };
  switch (r.status) {
    case S::Done:
      return Counted(e, msg::CutRepaired,
                     {count(r.duplicates), count(r.overlaps), count(r.ends), count(r.contours), count(r.gaps)});
    case S::NothingToRepair: return e.platform.Message(msg::NothingToRepair);
    case S::InvalidValue: e.platform.ShowMessage(msg::InvalidValue, "", MsgIcon::Error); break;
    case S::NoInsertionPoint: e.platform.ShowMessage(msg::NoInsertionPoint, "", MsgIcon::Error); break;
    case S::NoHandleLeft: e.platform.ShowMessage(msg::NoHandleLeft, "", MsgIcon::Error); break;
  }
  return {};
}

void Fill(Editor& e, const CutCheck& c, CutCheckDialogValues& v) {
  const std::vector<std::string> labels = Labels(e);
  v.errors.clear(), v.notCut.clear();
  std::size_t errorsLeftOut = 0, notCutLeftOut = 0;
  for (std::size_t i = 0; i < c.findings.size(); ++i) {
    const CutFinding& f = c.findings[i];
    const bool error = f.kind != CutFinding::Kind::NotCut;
    std::vector<CutFindingRow>& rows = error ? v.errors : v.notCut;
    if (rows.size() == kCutRowsShown) {
      ++(error ? errorsLeftOut : notCutLeftOut);
      continue;
    }
    rows.push_back({labels[static_cast<std::size_t>(f.kind)], Fixed(f.at.x) + ", " + Fixed(f.at.y),
                    HasWidth(f.kind) ? Fixed(f.width) : std::string(), DecodeUnicode(f.type, e.drawing.dxf.encoding),
                    i});
  }
  v.errorsLeftOut = LeftOut(e, errorsLeftOut);
  v.notCutLeftOut = LeftOut(e, notCutLeftOut);
  v.summary = e.platform.Message(c.ready() ? msg::ReadyToCut : msg::NotReadyToCut);
  v.figures.clear();
  const std::size_t parts = std::min(c.parts.size(), kCutRowsShown);
  for (std::size_t i = 0; i < parts; ++i)
    v.figures.push_back(FigureRow(labels[CutFinding::kKinds] + " " + std::to_string(i + 1), c.parts[i]));
  v.partsLeftOut = LeftOut(e, c.parts.size() - parts);
  v.figures.push_back(FigureRow(labels[CutFinding::kKinds + 1], c.total));
}

class CutCheckRun final : public CutCheckSteps {
 public:
  explicit CutCheckRun(Editor& e) : e_(e) {}

  void Check(CutCheckDialogValues& v) override {
    if (!std::isfinite(v.ToleranzEd) || v.ToleranzEd < 0) v.ToleranzEd = kCutTolerance;
    const std::uint64_t run = e_.cutchecked ? e_.cutchecked->run + 1 : 1;
    // Assigned, not emplaced: clang takes a member type of a class to be
    // default-constructible only once the class is complete.
    e_.cutchecked = Editor::CutChecked{};
    Editor::CutChecked& c = *e_.cutchecked;
    c.check = CheckCut(e_.drawing, e_.view.tab, v.ToleranzEd);
    c.generation = e_.drawing.generation;
    c.tab = e_.view.tab;
    c.run = run;
    v.repaired.clear();
    Fill(e_, c.check, v);
    e_.Repaint();
  }

  void ShowFinding(std::size_t finding) override {
    const CutCheck* c = e_.CutMarksShown();
    if (!c || finding >= c->findings.size()) return;
    const auto [a, b] = CutZoomWindow(c->findings[finding], c->total.box);
    RememberView(e_.views);
    ZoomWindow(e_.views, a, b);
    e_.RepaintView();
  }

  void Repair(CutCheckDialogValues& v) override {
    if (!std::isfinite(v.LueckenEd) || v.LueckenEd < 0) v.LueckenEd = 0;
    const std::string said = Repaired(e_, RepairCut(e_.doc, v.ToleranzEd, v.LueckenEd));
    Check(v);
    v.repaired = said;
  }

 private:
  Editor& e_;
};

}  // namespace

const CutCheck* Editor::CutMarksShown() const {
  if (!cutchecked || cutchecked->generation != drawing.generation || cutchecked->tab != view.tab) return nullptr;
  return &cutchecked->check;
}

void Editor::ZuschnittPruefen1Click() {
  SetAlltoFalse();
  CutCheckDialogValues v;
  v.ToleranzEd = dialogs.cutTolerance;
  v.LueckenEd = dialogs.cutGaps;
  CutCheckRun steps(*this);
  steps.Check(v);
  platform.ShowCutCheckDialog(v, steps);
  dialogs.cutTolerance = v.ToleranzEd;
  dialogs.cutGaps = v.LueckenEd;
}

}  // namespace vestrel
